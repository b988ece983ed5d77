// What the data-pack readers hold between calls: the race module list, the hull index
// with the needed-hull set, and the scratch records that reads fill.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "universe/record.h"
#include "universe/table.h"
#include "universe/tables.h"

namespace tarvik {

inline constexpr int MAX_HULL_TYPE = 2000;
inline constexpr int RACE_RECORD_SIZE = 622;
inline constexpr int RACE_UNIT_RECORD_SIZE = 98;
inline constexpr int RACE_EXTRA_RECORD_SIZE = 74;
inline constexpr int HULL_RECORD_SIZE = 190;

// RaceRecord (622 bytes), RaceUnitRecord (98), RaceExtraRecord (74) and the hull
// record (190) of the ship packs, described as field tables.
const RecordLayout& RaceRecordLayout();
const RecordLayout& RaceUnitRecordLayout();
const RecordLayout& RaceExtraRecordLayout();
const RecordLayout& HullRecordLayout();

// The parts of the data files around those records, for the tools that show a file:
// the race module's header (the identifier, revision and directory position at
// PACK_ID_POS, PACK_REVISION_POS and PACK_INDEX_POS) and its directory of record
// positions; the ship pack's header and one entry of its hull table; the map file's
// header and one entry of its coordinate list; the main data file's header.
const RecordLayout& RaceModuleHeaderLayout();     // 453 bytes
const RecordLayout& RaceModuleDirectoryLayout();  // 100 bytes
const RecordLayout& ShipPackHeaderLayout();       // 461 bytes
const RecordLayout& HullTableEntryLayout();       // 10 bytes
const RecordLayout& MapFileHeaderLayout();        // 112 bytes
const RecordLayout& MapCoordinateLayout();        // 6 bytes
inline constexpr int MAP_NAME_SIZE = 40;          // one entry of a map's name list
const RecordLayout& DataFileHeaderLayout();       // 100 bytes

struct RaceModuleEntry {
  int32_t raceId = 0;
  int32_t revision = 0;
  std::string fileStem = std::string(8, '\0');  // NUL-padded, cut to 8
  std::string raceName;                          // 44 characters, unscrambled
};

struct HullIndexEntry {
  int16_t packSlot = 0;       // 0 or less: no pack provides the type
  int32_t entryPosition = 0;  // 1-based position of the hull's table entry
  bool kept = false;          // whether the pack of packSlot was kept
};

// The bytes of a kept ship pack as last read, so that loading hull after hull does not
// reread the file; reread whenever the file's length changes.
struct PackFileCache {
  std::string path;
  long long length = -1;
  std::vector<uint8_t> bytes;
};

// The hull records LoadHull made while the steady span's number (SteadyFoldersEpoch)
// stayed the same, so that loading a hull again is a copy: under one number no pack file
// has changed, and with the same hull index LoadHull would make the same record again.
// Only records that were found are kept; LoadShipPacks, which makes the index afresh,
// forgets them, and so does another ships folder.
struct LoadedHulls {
  uint64_t epoch = 0;                            // the number they were made under; 0: none
  std::string shipsDir;                          // the ships folder they were read from
  std::vector<int32_t> at;  // by hull type: 1 + the record's place in `records`; 0: not made (empty: none)
  std::vector<uint8_t> records;                  // HULL_RECORD_SIZE bytes each
};

// The race modules read whole while the steady span's number (SteadyFoldersEpoch)
// stayed the same, by the path they were read under, so that reading a record again
// is a copy: under one number no file has changed, so the same path gives the same
// bytes as the file would. Only modules read without a fault are kept; another number
// forgets them all.
// Modules larger than KEPT_MODULE_BYTES (a real one is under 2 KB) are not kept: they
// pass through `passing`, so that a folder of huge files is never held all at once.
struct LoadedModules {
  static constexpr size_t KEPT_MODULE_BYTES = 64 << 10;
  uint64_t epoch = 0;  // the number they were read under; 0: none
  std::unordered_map<std::string, std::vector<uint8_t>> bytes;
  std::vector<uint8_t> passing;  // the last module read and not kept
};

struct PackState {
  Table<RaceModuleEntry, MAX_RACES> raceList;
  int raceCount = 0;
  // The race form's list of race modules: the entry number behind each list item.
  std::vector<int> raceListItems;
  int selectedRaceIndex = 0;  // selectedRacePack: the race-list entry chosen on the race form
  // Why race modules found by the listing are not used, one line each; logged again at
  // every build, since each build begins an empty run log.
  std::vector<std::string> raceModuleNotices;

  Table<HullIndexEntry, MAX_HULL_TYPE> hullIndex;
  std::array<bool, MAX_HULL_TYPE + 1> neededHulls{};
  // Index 0..MAX_SHIP_PACKS - 1 for pack slots 1..MAX_SHIP_PACKS.
  std::array<PackFileCache, MAX_SHIP_PACKS> packFiles;
  LoadedHulls loadedHulls;
  LoadedModules loadedModules;

  Record scratchRace{RaceRecordLayout()};
  Record scratchRaceUnit{RaceUnitRecordLayout()};
  Record scratchRaceExtra{RaceExtraRecordLayout()};
  Record scratchHull{HullRecordLayout()};
};

}  // namespace tarvik
