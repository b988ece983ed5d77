// Field tables of the race records of the race modules and of the hull record of the
// ship packs. Fields without a name are carried: copied byte for byte, never read.
#include "packs/pack_state.h"

#include "packs/data_files.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"

namespace tarvik {

TARVIK_RECORD_LAYOUT(RaceRecordLayout, "RaceRecord", RACE_RECORD_SIZE,
    Chars("", 0, 8),
    Chars("raceName", 8, 44),
    Chars("", 52, 20),
    Chars("", 72, 30),
    Chars("", 102, 30),
    I16("nameKey", 132),
    I32("", 134, 7),
    I32("", 162, 12),
    I32("", 210, 22),
    I16("requiredHulls", 298, 40),
    I32("", 378),
    I32("", 382, 50),
    I32("", 582, 10))

TARVIK_RECORD_LAYOUT(RaceUnitRecordLayout, "RaceUnitRecord", RACE_UNIT_RECORD_SIZE,
    I32("", 0),
    Chars("", 4, 30),
    I16("", 34, 26),
    I32("", 86, 3))

TARVIK_RECORD_LAYOUT(RaceExtraRecordLayout, "RaceExtraRecord", RACE_EXTRA_RECORD_SIZE,
    I32("", 0),
    Chars("", 4, 30),
    I16("", 34, 11),
    I32("", 56),
    I16("", 60),
    I32("", 62, 3))

TARVIK_RECORD_LAYOUT(HullRecordLayout, "HullRecord", HULL_RECORD_SIZE,
    I16("", 0),
    Chars("hullName", 2, 40),
    I16("", 42),
    I32("", 44),
    I16("hugeWeaponMask", 48),
    I16("", 50),
    I32("", 52),
    I16("pdWeaponSlots", 56),
    I16("lWeaponSlots", 58),
    I16("sWeaponSlots", 60),
    I32("fuelCapacity", 62),
    I16("", 66, 3),
    I16("generatorSlots", 72),
    I16("", 74),
    I32("", 76, 2),
    I32("crewCapacity", 84),
    I32("passengerCapacity", 88),
    I16("nameKey", 92),
    I16("", 94, 2),
    I32("armorCapacity", 98),
    I32("", 102),
    I16("", 106, 4),
    I32("", 114, 3),
    I16("", 126, 2),
    I32("", 130),
    I32("hullValues", 134, 3),
    I32("cargoCapacity", 146),
    I32("ordnanceCapacity", 150),
    I32("fixCapacity", 154),
    I32("", 158, 3),
    I16("", 170, 6),
    I32("", 182, 2))

// Offsets from the positions the readers use (1-based positions, 0-based offsets).
constexpr int ID_OFFSET = static_cast<int>(PACK_ID_POS) - 1;
constexpr int REVISION_OFFSET = static_cast<int>(PACK_REVISION_POS) - 1;
constexpr int INDEX_OFFSET = static_cast<int>(PACK_INDEX_POS) - 1;

TARVIK_RECORD_LAYOUT(RaceModuleHeaderLayout, "RaceModuleHeader", INDEX_OFFSET + 4,
    Chars("title", 0, static_cast<int>(RACE_MODULE_HEADER.size())),
    Chars("", 68, ID_OFFSET - 68),
    I32("raceId", ID_OFFSET),
    I32("revision", REVISION_OFFSET),
    Chars("", REVISION_OFFSET + 4, INDEX_OFFSET - REVISION_OFFSET - 4),
    I32("directoryPos", INDEX_OFFSET))

// The slots that the race module reader reads: the three extra records at +0, the
// three unit records at +36, the race record at +96.
TARVIK_RECORD_LAYOUT(RaceModuleDirectoryLayout, "RaceModuleDirectory", 100,
    I32("extraRecordPos", 0, 3),
    I32("", 12, 6),
    I32("unitRecordPos", 36, 3),
    I32("", 48, 12),
    I32("raceRecordPos", 96))

TARVIK_RECORD_LAYOUT(ShipPackHeaderLayout, "ShipPackHeader", INDEX_OFFSET + 12,
    Chars("title", 0, static_cast<int>(SHIP_PACK_HEADER.size())),
    Chars("", 66, ID_OFFSET - 66),
    I32("packId", ID_OFFSET),
    I32("revision", REVISION_OFFSET),
    Chars("", REVISION_OFFSET + 4, INDEX_OFFSET - REVISION_OFFSET - 4),
    I32("hullTablePos", INDEX_OFFSET),
    I32("", INDEX_OFFSET + 4, 2))  // read, not used

// An entry of a ship pack's hull table, which begins with the int32 count of entries.
TARVIK_RECORD_LAYOUT(HullTableEntryLayout, "HullTableEntry", 10,
    I16("hullType", 0),
    I32("", 2),
    I32("recordPos", 6))

TARVIK_RECORD_LAYOUT(MapFileHeaderLayout, "MapFileHeader", 112,
    Chars("title", 0, static_cast<int>(MAP_FILE_HEADER.size())),
    Chars("", 22, 7),
    Chars("numberText", 29, 4),
    Chars("", 33, 67),
    I32("planetCount", 100),
    I32("coordinatePos", 104),
    I32("namePos", 108))

TARVIK_RECORD_LAYOUT(MapCoordinateLayout, "MapCoordinate", 6,
    I16("x", 0),
    I16("y", 2),
    I16("star", 4))

TARVIK_RECORD_LAYOUT(DataFileHeaderLayout, "DataFileHeader", 100,
    Chars("title", 0, static_cast<int>(DATA_FILE_HEADER.size())),
    Chars("", 32, 68))

}  // namespace tarvik
