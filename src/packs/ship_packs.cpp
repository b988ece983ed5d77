#include "packs/ship_packs.h"

#include <vector>

#include "app/run_log.h"
#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "packs/data_files.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "platform/files.h"
#include "session.h"

namespace tarvik {

namespace {

constexpr long long kPackIdPos = 401;
constexpr long long kRevisionPos = 405;
constexpr long long kTablePos = 450;
// The header reaches to the two values after T that are read and not used.
constexpr long long kHeaderLength = 461;
constexpr long long kEntrySize = 10;

std::string StemText(const std::string& fileStem) {
  std::string out;
  for (char c : fileStem) {
    if (c != '\0') out += c;
  }
  return out;
}

// A ship pack held in memory; every read is checked against its length.
struct PackBytes {
  const std::vector<uint8_t>& b;
  long long length() const { return static_cast<long long>(b.size()); }
  bool Has(long long pos, long long n) const { return pos >= 1 && n >= 0 && pos - 1 + n <= length(); }
  int32_t I32(long long pos) const { return GetI32(b.data() + pos - 1); }
  int16_t I16(long long pos) const { return GetI16(b.data() + pos - 1); }
};

// A pack's hull table. `ok` is false when the header is cut short or the table does not
// lie inside the file (T outside it, a negative count, or more entries than it holds).
struct HullTable {
  bool ok = false;
  long long tablePos = 0;  // T
  long long count = 0;     // N
  long long EntryPos(long long k) const { return tablePos + 4 + kEntrySize * (k - 1); }
};

HullTable ReadHullTable(const PackBytes& f) {
  HullTable t;
  if (f.length() < kHeaderLength) return t;
  long long pos = f.I32(kTablePos);
  if (!f.Has(pos, 4)) return t;
  long long n = f.I32(pos);
  if (n < 0 || !f.Has(pos + 4, kEntrySize * n)) return t;
  t.tablePos = pos;
  t.count = n;
  t.ok = true;
  return t;
}

void BuildGameRaceList(Session& s) {
  UniverseTables& t = s.tables;
  for (int k = 1; k <= MAX_PLAYERS; ++k) t.gameRaceList[k] = PackEntry{};
  int count = 0;
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    int r = t.playerRace[p];
    if (r < 1) continue;
    const RaceModuleEntry& race = s.packs.raceList[r];
    if (race.raceId < 1) continue;
    bool present = false;
    for (int k = 1; k <= count; ++k) present = present || t.gameRaceList[k].id == race.raceId;
    if (present) continue;
    ++count;
    t.gameRaceList[count] = PackEntry{race.raceId, race.revision, race.fileStem, r};
  }
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    int r = t.playerRace[p];
    if (r < 1) continue;
    int32_t id = s.packs.raceList[r].raceId;
    for (int k = 1; k <= MAX_PLAYERS; ++k) {
      if (t.gameRaceList[k].id == id) {
        t.playerGameRace[p] = static_cast<int16_t>(k);
        break;
      }
    }
  }
}

void MarkNeededHulls(Session& s) {
  PackState& packs = s.packs;
  packs.neededHulls.fill(false);
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    int r = s.tables.playerRace[p];
    if (r < 1 || packs.raceList[r].raceId < 1) continue;
    ReadRaceRecord(s, r);
    for (int i = 1; i <= 40; ++i) {
      int h = packs.scratchRace.Get("requiredHulls", i);
      if (h >= 1 && h <= MAX_HULL_TYPE) packs.neededHulls[h] = true;
    }
  }
  for (int h = 1; h <= 125; ++h) packs.neededHulls[h] = true;
}

// The slot a pack takes: the last slot of the same pack with a lower revision, else the
// last free slot; 0 when there is neither.
int ChooseSlot(const UniverseTables& t, int32_t packId, int32_t revision) {
  int freeSlot = 0, upgradeSlot = 0;
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) {
    const PackEntry& e = t.shipPackList[i];
    if (e.id == 0) freeSlot = i;
    if (e.id == packId && e.revision < revision) upgradeSlot = i;
  }
  return upgradeSlot > 0 ? upgradeSlot : freeSlot;
}

void ProcessPack(Session& s, const std::string& name) {
  std::string path = s.paths.shipsDir + name;
  std::vector<uint8_t> bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const RuntimeError&) {
    bytes.clear();  // unreadable now: handled as a damaged pack below
  }
  PackBytes f{bytes};
  HullTable table = ReadHullTable(f);
  if (!table.ok) {
    LogLine(s, "Ship Pack damaged, not used: " + path);
    return;
  }
  int32_t packId = f.I32(kPackIdPos);
  int32_t revision = f.I32(kRevisionPos);
  int slot = ChooseSlot(s.tables, packId, revision);
  if (slot == 0) return;

  std::vector<int> types;
  bool anyNeeded = false;
  for (long long k = 1; k <= table.count; ++k) {
    long long e = table.EntryPos(k);
    int h = f.I16(e);
    if (h < 1 || h > MAX_HULL_TYPE) continue;
    // An entry whose record does not lie inside the file is left out of the index.
    if (!f.Has(f.I32(e + 6), HULL_RECORD_SIZE)) continue;
    anyNeeded = anyNeeded || s.packs.neededHulls[h];
    HullIndexEntry& entry = s.packs.hullIndex[h];
    entry.packSlot = static_cast<int16_t>(slot);
    entry.entryPosition = static_cast<int32_t>(e);
    types.push_back(h);
  }
  for (int h : types) s.packs.hullIndex[h].kept = anyNeeded;
  if (!anyNeeded) return;
  s.tables.shipPackList[slot] = PackEntry{packId, revision, MakeFileStem(name), 0};
  PackFileCache& cache = s.packs.packFiles[slot - 1];
  cache.path = ShipPackPath(s, slot);
  cache.length = f.length();
  cache.bytes = std::move(bytes);
}

}  // namespace

void LoadShipPacks(Session& s) {
  BuildGameRaceList(s);
  MarkNeededHulls(s);
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) s.tables.shipPackList[i] = PackEntry{};
  s.packs.packFiles.fill(PackFileCache{});
  s.packs.hullIndex.Fill(HullIndexEntry{});
  for (const std::string& name : ListFiles(s.paths.shipsDir, "*.spk")) {
    if (!HasHeader(s.paths.shipsDir + name, SHIP_PACK_HEADER, static_cast<long long>(SHIP_PACK_HEADER.size()))) {
      continue;
    }
    ProcessPack(s, name);
  }
}

bool HullKnown(const Session& s, int hullType) {
  return hullType >= 1 && hullType <= MAX_HULL_TYPE && s.packs.hullIndex[hullType].packSlot >= 1;
}

std::string ShipPackPath(const Session& s, int slot) {
  return s.paths.shipsDir + StemText(s.tables.shipPackList[slot].fileStem) + ".spk";
}

void LoadHull(Session& s, int hullType) {
  if (!HullKnown(s, hullType)) {
    throw FatalError{"Hull load error! Ship hull: " + NumText(hullType) + " missing "};
  }
  const HullIndexEntry& entry = s.packs.hullIndex[hullType];
  std::string path = ShipPackPath(s, entry.packSlot);
  long long length = FileLength(path);  // -1: no such file
  if (!entry.kept || length < 0) {
    if (s.ui) {
      s.ui->ShowMessage("",
                        "Error: Ship Pack / Race Pack for ship hull " + NumText(hullType) +
                            " is missing or not included in script file listing.",
                        MessageIcon::None);
    }
    return;
  }
  // The pack as read when it was indexed, unless its file has changed since.
  PackFileCache& cache = s.packs.packFiles[entry.packSlot - 1];
  if (cache.path != path || cache.length != length) {
    cache.path = path;
    cache.length = length;
    try {
      cache.bytes = ReadWholeFile(path);
    } catch (const RuntimeError&) {
      cache.bytes.clear();
    }
  }
  // A pack whose table or record no longer lies inside the file counts as a pack
  // without the hull.
  PackBytes f{cache.bytes};
  HullTable table = ReadHullTable(f);
  for (long long k = 1; table.ok && k <= table.count; ++k) {
    long long e = table.EntryPos(k);
    if (f.I16(e) != hullType) continue;
    long long q = f.I32(e + 6);
    if (!f.Has(q, HULL_RECORD_SIZE)) break;
    Record& hull = s.packs.scratchHull;
    hull.Clear();
    std::copy(f.b.begin() + (q - 1), f.b.begin() + (q - 1 + HULL_RECORD_SIZE), hull.bytes().begin());
    std::string name = hull.Text("hullName");
    ScrambleName(hull.Get("nameKey"), name);
    hull.SetBytes(hull.layout().Get("hullName"), name);
    return;
  }
  LogLine(s, "Hull data missing!");
}

}  // namespace tarvik
