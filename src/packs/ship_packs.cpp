#include "packs/ship_packs.h"

#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "packs/data_files.h"
#include "packs/pack_session.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "platform/files.h"

namespace tarvik {

namespace {

// The header reaches to the two values after T (the hull table's position, at
// PACK_INDEX_POS) that are read and not used.
constexpr long long HEADER_LENGTH = 461;
constexpr long long ENTRY_SIZE = 10;
// Offsets in a hull table entry: the hull type (int16) and the record position Q.
constexpr long long ENTRY_RECORD_POS = 6;

// A pack's hull table. `ok` is false when the header is cut short or the table does not
// lie inside the file (T outside it, a negative count, or more entries than it holds).
// Once it is ok, every entry lies inside the file.
struct HullTable {
  bool ok = false;
  long long tablePos = 0;  // T
  long long count = 0;     // N
  long long EntryPos(long long k) const { return tablePos + 4 + ENTRY_SIZE * (k - 1); }
};

HullTable ReadHullTable(const ByteView& pack) {
  HullTable t;
  if (pack.length() < HEADER_LENGTH) return t;
  const std::optional<int32_t> pos = pack.I32(PACK_INDEX_POS);
  const std::optional<int32_t> n = pos ? pack.I32(*pos) : std::nullopt;
  if (!n || *n < 0 || !pack.Has(*pos + 4, ENTRY_SIZE * *n)) return t;
  t.tablePos = *pos;
  t.count = *n;
  t.ok = true;
  return t;
}

// The hull type of table entry k (inside the file once the table is ok).
int HullTypeOf(const ByteView& pack, const HullTable& table, long long k) { return *pack.I16(table.EntryPos(k)); }

// The hull record of table entry k, or nothing when it does not lie inside the file.
std::optional<std::span<const uint8_t>> HullRecordOf(const ByteView& pack, const HullTable& table, long long k) {
  return pack.Bytes(*pack.I32(table.EntryPos(k) + ENTRY_RECORD_POS), HULL_RECORD_SIZE);
}

void BuildGameRaceList(PackSession& s) {
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

void MarkNeededHulls(PackSession& s) {
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

// Lists one "*.spk" file. A file that fails the header test is skipped without a word;
// a pack that cannot be used, and every hull entry left out for damage, is logged with
// the pack's path.
void ProcessPack(PackSession& s, const std::string& name) {
  const std::string path = s.paths.shipsDir + name;
  std::string why;
  std::vector<uint8_t> bytes;
  switch (TestHeader(path, SHIP_PACK_HEADER, static_cast<long long>(SHIP_PACK_HEADER.size()), &why)) {
    case HeaderTest::Fails:
      return;
    case HeaderTest::Unreadable:
      LogNotice(s, "Ship Pack unreadable, not used: " + path + " (" + why + ")");
      return;
    case HeaderTest::Passes:
      break;
  }
  // The pack list keeps the stem cut to 8 characters, which would name another file.
  if (!StemFits(name)) {
    LogNotice(s, "Ship Pack name longer than 8 characters, not used: " + path);
    return;
  }
  try {
    bytes = ReadWholeFile(path);
  } catch (const FileError& e) {
    LogNotice(s, "Ship Pack unreadable, not used: " + path + " (" + e.why + ")");
    return;
  }
  const ByteView pack(bytes);
  const HullTable table = ReadHullTable(pack);
  if (!table.ok) {
    LogNotice(s, "Ship Pack damaged, not used: " + path);
    return;
  }
  // Both lie inside the header, which an ok table has.
  const int32_t packId = *pack.I32(PACK_ID_POS);
  const int32_t revision = *pack.I32(PACK_REVISION_POS);
  const int slot = ChooseSlot(s.tables, packId, revision);
  if (slot == 0) return;

  std::vector<int> types;
  bool anyNeeded = false;
  for (long long k = 1; k <= table.count; ++k) {
    const int h = HullTypeOf(pack, table, k);
    if (h < 1 || h > MAX_HULL_TYPE) continue;
    // An entry whose record does not lie inside the file is left out of the index.
    if (!HullRecordOf(pack, table, k)) {
      LogNotice(s, "Ship Pack hull " + NumText(h) + " damaged, not used: " + path);
      continue;
    }
    anyNeeded = anyNeeded || s.packs.neededHulls[h];
    HullIndexEntry& entry = s.packs.hullIndex[h];
    entry.packSlot = static_cast<int16_t>(slot);
    entry.entryPosition = static_cast<int32_t>(table.EntryPos(k));
    types.push_back(h);
  }
  for (int h : types) s.packs.hullIndex[h].kept = anyNeeded;
  if (!anyNeeded) return;
  s.tables.shipPackList[slot] = PackEntry{packId, revision, MakeFileStem(name), 0};
  PackFileCache& cache = s.packs.packFiles[slot - 1];
  cache.path = ShipPackPath(s, slot);
  cache.length = pack.length();
  cache.bytes = std::move(bytes);
}

// LoadHull read from the hull's pack: the pack's bytes as read when it was indexed,
// unless its file has changed since. True when the hull record was found and is in
// s.packs.scratchHull.
bool ReadHull(PackSession& s, int hullType) {
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
    return false;
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
  const ByteView pack(cache.bytes);
  const HullTable table = ReadHullTable(pack);
  for (long long k = 1; table.ok && k <= table.count; ++k) {
    if (HullTypeOf(pack, table, k) != hullType) continue;
    const std::optional<std::span<const uint8_t>> record = HullRecordOf(pack, table, k);
    if (!record) break;
    // The hull's name and its key, found once: every ship built loads its hull.
    static const Field& hullName = HullRecordLayout().Get("hullName");
    static const Field& nameKey = HullRecordLayout().Get("nameKey");
    Record& hull = s.packs.scratchHull;
    hull.bytes().assign(record->begin(), record->end());
    std::string name = hull.Text(hullName);
    ScrambleName(hull.Get(nameKey), name);
    hull.SetBytes(hullName, name);
    return true;
  }
  LogLine(s, "Hull data missing!");
  return false;
}

}  // namespace

void LoadShipPacks(PackSession& s) {
  // The race modules that the listing left out: this build's run log says so too.
  for (const std::string& line : s.packs.raceModuleNotices) LogNotice(s, line);
  BuildGameRaceList(s);
  MarkNeededHulls(s);
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) s.tables.shipPackList[i] = PackEntry{};
  s.packs.packFiles.fill(PackFileCache{});
  s.packs.loadedHulls = LoadedHulls{};
  s.packs.hullIndex.Fill(HullIndexEntry{});
  for (const std::string& name : ListFiles(s.paths.shipsDir, "*.spk")) ProcessPack(s, name);
}

bool HullKnown(const PackSession& s, int hullType) {
  return hullType >= 1 && hullType <= MAX_HULL_TYPE && s.packs.hullIndex[hullType].packSlot >= 1;
}

std::string ShipPackPath(const PackSession& s, int slot) {
  return s.paths.shipsDir + StemText(s.tables.shipPackList[slot].fileStem) + ".spk";
}

void LoadHull(PackSession& s, int hullType) {
  if (!HullKnown(s, hullType)) {
    throw FatalError{"Hull load error! Ship hull: " + NumText(hullType) + " missing "};
  }
  LoadedHulls& loaded = s.packs.loadedHulls;
  const uint64_t epoch = SteadyFoldersEpoch();
  if (loaded.epoch != epoch || loaded.shipsDir != s.paths.shipsDir) {
    loaded.epoch = epoch;
    loaded.shipsDir = s.paths.shipsDir;
    loaded.at.clear();
    loaded.records.clear();
  }
  std::vector<uint8_t>& hull = s.packs.scratchHull.bytes();
  if (epoch != 0 && !loaded.at.empty() && loaded.at[hullType] > 0) {
    const auto from = loaded.records.begin() + (loaded.at[hullType] - 1);
    std::copy(from, from + HULL_RECORD_SIZE, hull.begin());
    return;
  }
  if (ReadHull(s, hullType) && epoch != 0 && SteadyFoldersEpoch() == epoch) {
    if (loaded.at.empty()) loaded.at.assign(MAX_HULL_TYPE + 1, 0);
    loaded.at[hullType] = static_cast<int32_t>(loaded.records.size()) + 1;
    loaded.records.insert(loaded.records.end(), hull.begin(), hull.end());
  }
}

}  // namespace tarvik
