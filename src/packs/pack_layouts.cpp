// Field tables of the race records of the race modules and of the hull record of the
// ship packs. Fields without a name are carried: copied byte for byte, never read.
#include "packs/pack_state.h"

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

}  // namespace tarvik
