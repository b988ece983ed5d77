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

constexpr long long kPackIdOffset = 400;
constexpr long long kRevisionOffset = 404;
constexpr long long kTableOffset = 449;
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

// A pack's hull table, read whole. `ok` is false when the table does not lie inside
// the file (T outside it, a negative count, or more entries than the file holds).
struct HullTable {
  bool ok = false;
  long long tablePos = 0;         // T
  std::vector<uint8_t> entries;   // N entries of 10 bytes
  long long count() const { return static_cast<long long>(entries.size()) / kEntrySize; }
  long long EntryPos(long long k) const { return tablePos + 4 + kEntrySize * (k - 1); }
  int16_t Type(long long k) const { return GetI16(entries.data() + kEntrySize * (k - 1)); }
  int32_t RecordPos(long long k) const { return GetI32(entries.data() + kEntrySize * (k - 1) + 6); }
};

HullTable ReadHullTable(BinaryFile& f, long long length) {
  HullTable t;
  if (length < kHeaderLength) return t;
  long long pos = f.ReadI32(kTableOffset + 1);
  if (pos < 1 || pos - 1 + 4 > length) return t;
  long long n = f.ReadI32(pos);
  if (n < 0 || pos - 1 + 4 + kEntrySize * n > length) return t;
  t.tablePos = pos;
  t.entries = f.Read(pos + 4, static_cast<size_t>(kEntrySize * n));
  t.ok = true;
  return t;
}

bool RecordInside(long long q, long long length) { return q >= 1 && q - 1 + HULL_RECORD_SIZE <= length; }

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
  int32_t packId = 0, revision = 0;
  HullTable table;
  long long length = 0;
  try {
    BinaryFile f(path, BinaryFile::Mode::Read);
    length = f.Length();
    if (length >= kHeaderLength) {
      packId = f.ReadI32(kPackIdOffset + 1);
      revision = f.ReadI32(kRevisionOffset + 1);
      table = ReadHullTable(f, length);
    }
  } catch (const RuntimeError&) {
    table.ok = false;
  }
  if (!table.ok) {
    LogLine(s, "Ship Pack damaged, not used: " + path);
    return;
  }
  int slot = ChooseSlot(s.tables, packId, revision);
  if (slot == 0) return;

  std::vector<int> types;
  bool anyNeeded = false;
  for (long long k = 1; k <= table.count(); ++k) {
    int h = table.Type(k);
    if (h < 1 || h > MAX_HULL_TYPE) continue;
    // An entry whose record lies outside the file is left out of the index.
    if (!RecordInside(table.RecordPos(k), length)) continue;
    anyNeeded = anyNeeded || s.packs.neededHulls[h];
    HullIndexEntry& e = s.packs.hullIndex[h];
    e.packSlot = static_cast<int16_t>(slot);
    e.entryPosition = static_cast<int32_t>(table.EntryPos(k));
    types.push_back(h);
  }
  for (int h : types) s.packs.hullIndex[h].kept = anyNeeded;
  if (anyNeeded) s.tables.shipPackList[slot] = PackEntry{packId, revision, MakeFileStem(name), 0};
}

}  // namespace

void LoadShipPacks(Session& s) {
  BuildGameRaceList(s);
  MarkNeededHulls(s);
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) s.tables.shipPackList[i] = PackEntry{};
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
    ShowFatalError(s, "Hull load error! Ship hull: " + NumText(hullType) + " missing ");
  }
  const HullIndexEntry& entry = s.packs.hullIndex[hullType];
  std::string path = ShipPackPath(s, entry.packSlot);
  if (!entry.kept || !FileExists(path)) {
    if (s.ui) {
      s.ui->ShowMessage("",
                        "Error: Ship Pack / Race Pack for ship hull " + NumText(hullType) +
                            " is missing or not included in script file listing.",
                        MessageIcon::None);
    }
    return;
  }
  // A pack that changed since it was indexed, so that its table or the record no longer
  // lies inside the file, counts as a pack without the hull.
  try {
    BinaryFile f(path, BinaryFile::Mode::Read);
    long long length = f.Length();
    HullTable table = ReadHullTable(f, length);
    if (table.ok) {
      for (long long k = 1; k <= table.count(); ++k) {
        if (table.Type(k) != hullType) continue;
        long long q = table.RecordPos(k);
        if (!RecordInside(q, length)) break;
        std::vector<uint8_t> bytes = f.Read(q, HULL_RECORD_SIZE);
        Record& hull = s.packs.scratchHull;
        hull.Clear();
        hull.bytes() = std::move(bytes);
        std::string name = hull.Text("hullName");
        ScrambleName(hull.Get("nameKey"), name);
        hull.SetBytes(hull.layout().Get("hullName"), name);
        return;
      }
    }
  } catch (const RuntimeError&) {
  }
  LogLine(s, "Hull data missing!");
}

}  // namespace tarvik
