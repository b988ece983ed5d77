// The descriptor table of the object kinds and their keyword rows.
#include "objects/object_kinds.h"

#include <array>
#include <string>
#include <vector>

#include "objects/constructors.h"
#include "objects/object_store.h"
#include "objects/planet_defaults.h"
#include "base/errors.h"
#include "base/name_table.h"
#include "base/text.h"
#include "objects/ship_construction.h"
#include "packs/scramble.h"
#include "universe/tables.h"

namespace tarvik {

namespace {

constexpr int32_t COORD_MAX = 99000;
constexpr int32_t BILLION = 1000000000;

// PLANET (PlanetRecord).
constexpr KeywordRow PLANET_ROWS[] = {
    Row("NAME", "name", ValueKind::PlanetName, 0, 0, 40),
    Num("STATE", "state", 0, 3),
    Num16("SOIL", "soil", 0, 1000),
    Num16("CLIMATE", "climate", 0, 100),
    Num16("STAR", "star", 1, 21).Then(ExtraAction::StarHeat),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num("NATIVE", "native", 0, 1000000).Indexed(1, 10),
    Num16("HDSTRESS", "hdStress", 0, 1000),
    Num16("HDINTERIA", "hdInteria", 1, 1000),
    Num16("HDBASEFREQ", "hdBaseFreq", -100, 100),
    Num16("EASYN", "easyN", 1, 100),
    Num16("EASYD", "easyD", 1, 100),
    Num16("EASYT", "easyT", 1, 100),
    Num16("EASYM", "easyM", 1, 100),
    Num("OREN", "oreN", 0, 1000000),
    Num("ORED", "oreD", 0, 1000000),
    Num("ORET", "oreT", 0, 1000000),
    Num("OREM", "oreM", 0, 1000000),
    Num("ELEN", "eleN", 0, 1000000),
    Num("ELED", "eleD", 0, 1000000),
    Num("ELET", "eleT", 0, 1000000),
    Num("ELEM", "eleM", 0, 1000000),
    Num("RESN", "resN", 0, 1000000),
    Num("RESD", "resD", 0, 1000000),
    Num("REST", "resT", 0, 1000000),
    Num("RESM", "resM", 0, 1000000),
    Num("ELEFOOD", "eleFood", 0, 1000000),
    Num("ELEMED", "eleMed", 0, 1000000),
    Num("CONTRABAND", "contraband", 0, 1000000).Indexed(1, 12),
    Num("ELEFIX", "eleFix", 0, 1000000),
    Num("ELES", "eleS", 0, 1000000),
    Num("ELEORD", "eleOrd", 0, 1000000),
    Num("CASH", "cash", 0, 1000000),
};

// SHIP (ShipRecord).
constexpr KeywordRow SHIP_ROWS[] = {
    Text("NAME", "name", 40),
    Text("SHIPLOG", "shipLog", 40),
    Num16("PNUM", "pNum", 0, 30),
    Num16("HULL", "hull", 1, 2000).Then(ExtraAction::HullRebuild),
    Num16("PDWEAPON", "pdWeapon", 0, 10).Indexed(1, 10),
    Num16("LWEAPON", "lWeapon", 0, 20).Indexed(1, 20),
    Num16("SWEAPON", "sWeapon", 0, 10).Indexed(1, 30),
    Num16("GENERATOR", "generator", 0, 10).Indexed(1, 5),
    Num16("HUGEWEAPON", "hugeWeapon", 0, 5),
    Num16("HYPENG", "hypEng", 0, 10),
    Num16("ENG", "eng", 0, 20),
    Num16("SHIELDFLAVOR", "shieldFlavor", 0, 10).Also("SHIELD"),
    Num("FUEL", "fuel", 0, 10000).Also("ELEN"),
    Num("ELEORD", "eleOrd", 0, 2000000000),
    Num("ELES", "eleS", 0, 30000),
    Num("ELEFIX", "eleFix", 0, 300000),
    Num("CASH", "cash", 0, 30000),
    Num("CREW", "crew", 0, BILLION),
    Num("TROOPS", "troops", 0, BILLION),
    Num("COLONISTS", "colonists", 0, BILLION),
    Num("HIGHGUARD", "highGuard", 0, BILLION),
    Num("ELED", "eleD", 0, 30000),
    Num("ELET", "eleT", 0, 30000),
    Num("ELEM", "eleM", 0, 30000),
    Num("ELEFOOD", "eleFood", 0, 30000),
    Num("ELEMED", "eleMed", 0, 30000),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Code("FCODE", "fCode"),
    Num16("DAMAGEENGINE", "damageEngine", 0, 100),
    Num16("DAMAGEHYP", "damageHyp", 0, 100),
    Num16("DAMAGEHULL", "damageHull", 0, 100),
    Num16("DAMAGESYS", "damageSys", 0, 100),
    Num16("DAMAGELIFE", "damageLife", 0, 100),
    Num16("DAMAGESHIELD", "damageShield", 0, 100),
    Num16("DAMAGEWEAPONS", "damageWeapons", 0, 100),
    Num("ARMOR", "armor", 0, 30000),
    Num16("HAPPY", "happy", 0, 100),
    Num16("SKILL", "skill", 0, 100),
    Num("EXPERIENCE", "experience", 0, 100),
    Num16("HULLPLANS", "hullPlans", 0, 2000),
    Num16("LOST", "lost", 0, 50),
    Strict("ATTACKENEMY", "attackEnemy"),
    Strict("SWITCHWEAPONS", "switchWeapons"),
    Strict("ATTACKPLAN", "attackPlan"),
    Num("STANDOFFRANGE", "standoffRange", 0, 1000),
    Num16("ATTACKVECTOR", "attackVector", 0, 8),
    Num("SPEED", "speed", 0, 400),
    Num("WAYPOINTX", "waypointX", 0, 30000).Indexed(1, 6),
    Num("WAYPOINTY", "waypointY", 0, 30000).Indexed(1, 6),
};

// BASE (BaseRecord).
constexpr KeywordRow BASE_ROWS[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 40),
    Num("NATIVE", "native", 0, BILLION).Indexed(1, 10),
    Num("NATIVEHAPPY", "nativeHappy", 0, 100).Indexed(1, 10),
    Num("COLONISTHAPPY", "colonistHappy", 0, 100),
    Num("OREN", "oreN", 0, 1000000),
    Num("ORED", "oreD", 0, 1000000),
    Num("ORET", "oreT", 0, 1000000),
    Num("OREM", "oreM", 0, 1000000),
    Num("ELEN", "eleN", 0, 1000000),
    Num("ELED", "eleD", 0, 1000000),
    Num("ELET", "eleT", 0, 1000000),
    Num("ELEM", "eleM", 0, 1000000),
    Num("ELEFOOD", "eleFood", 0, 1000000),
    Num("ELEMED", "eleMed", 0, 1000000),
    Num("CONTRAGOOD", "contraGood", 0, 1000000).Indexed(1, 12),
    Num("CONTRABAD", "contraBad", 0, 1000000).Indexed(1, 12),
    Num("ELEFIX", "eleFix", 0, 1000000),
    Num("ELES", "eleS", 0, 1000000),
    Bit("PODPAD", "structures", 0).Also("STRUCT(0)"),
    Bit("AABASE", "structures", 1).Also("STRUCT(1)"),
    Bit("MILSPACEPORT", "structures", 2).Also("STRUCT(2)"),
    Bit("ENGINEPLANT", "structures", 3).Also("STRUCT(3)"),
    Bit("ASSAULTPLANT", "structures", 4).Also("STRUCT(4)"),
    Bit("FIGHTERPLANT", "structures", 5).Also("STRUCT(5)"),
    Bit("MEDLAB", "structures", 6).Also("STRUCT(6)"),
    Bit("GOVCENTER", "structures", 7).Also("STRUCT(7)"),
    Bit("BASESHIELD", "structures", 8).Also("STRUCT(8)"),
    Bit("ORDPLANT", "structures", 9).Also("STRUCT(9)"),
    Bit("WEAPONFACTORY", "structures", 10).Also("STRUCT(10)"),
    Bit("PARTSFACTORY", "structures", 11).Also("STRUCT(11)"),
    Bit("STRUCT(12)", "structures", 12),
    Bit("STRUCT(13)", "structures", 13),
    Num16("SMELTER", "smelter", 0, 100),
    Num("CREW", "crew", 0, BILLION),
    Num("TROOP", "troop", 0, BILLION),
    Num("HIGHGUARD", "highGuard", 0, BILLION),
    Num("COLONISTS", "colonists", 0, BILLION),
    Num("CASH", "cash", 0, 1000000),
    Num16("FACTORY", "factory", 0, 1000),
    Num16("MINE", "mine", 0, 500),
    Num16("RACESTRUCT1", "raceStruct1", 0, 100),
    Num16("RACESTRUCT2", "raceStruct2", 0, 100),
    Num16("RACESTRUCT3", "raceStruct3", 0, 100),
    Num16("RACESTRUCT4", "raceStruct4", 0, 100),
    Num16("ANTIAIR", "antiAir", 0, 10000).Then(ExtraAction::AntiAirLog),
    Num("FIGHTER", "fighter", 0, 1000).Indexed(1, 3),
    Num16("TRAINING", "training", 0, 100),
    Num("ELEORD", "eleOrd", 0, 1000000).Also("ORD"),
    Num("PTROOP", "pTroop", 0, 1000000).Indexed(1, 30),
    Num("PCOLONIST", "pColonist", 0, 1000000).Indexed(1, 30),
    Num("PGUARD", "pGuard", 0, 1000000).Indexed(1, 30),
    Num("PCREW", "pCrew", 0, 1000000).Indexed(1, 30),
    Num("CITY", "city", 0, 100),
    Num16("TERRAFORMER", "terraformer", 0, 100),
    Num16("FARM", "farm", 0, 1000),
    Num16("LASERCANNON", "laserCannon", 0, 10000),
    Num16("IONCANNON", "ionCannon", 0, 10000),
    Num16("RAIDSHELTER", "raidShelter", 0, 1000),
    Num16("PUBSPACEPORT", "pubSpacePort", 0, 100),
    Num("MECH", "mech", 0, 1000).Indexed(1, 3),
    Num16("HUGE", "huge", 0, 1000).Indexed(1, 5),
    Num16("PDWEAPON", "pdWeapon", 0, 1000).Indexed(1, 10),
    Num16("LWEAPON", "lWeapon", 0, 1000).Indexed(1, 20),
    Num16("SWEAPON", "sWeapon", 0, 1000).Indexed(1, 10),
    Num16("ENG", "eng", 0, 1000).Indexed(1, 20),
    Num16("HYP", "hyp", 0, 1000).Indexed(1, 10),
    Num16("SHIELD", "shield", 0, 1000).Indexed(1, 10),
    Num16("GEN", "gen", 0, 1000).Indexed(1, 10),
    Num("ARMOR", "armor", 0, 1000000),
    Num("UNDERCITY", "underCity", 0, 1000),
    Num16("SCANNER", "scanner", 0, 100),
    Num16("HULLPLANS", "hullPlans", 0, 2000),
    Num16("CRIME", "crime", 0, 1000),
    Num("ROUGECOLONISTS", "rougeColonists", 0, 1000000),
    Num("ROUGENATIVES", "rougeNatives", 0, 1000000),
    Code("FCODE", "fCode"),
    Num("X", "x", 1, COORD_MAX).Also("XBASE"),
    Num("Y", "y", 1, COORD_MAX).Also("YBASE"),
    Num16("ATTACKMODE", "attackMode", 0, 4),
};

// CONPOD (ConPodRecord).
constexpr KeywordRow CON_POD_ROWS[] = {
    Text("NAME", "name", 20),
    Num("ELED", "eleD", 0, 100000),
    Num("ELET", "eleT", 0, 100000),
    Num("ELEM", "eleM", 0, 100000),
    Num("CASH", "cash", 0, 1000000),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("PNUM", "pNum", 0, 30),
    Num16("HULLPLANS", "hullPlans", 0, 2000),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// OREPOD (OrePodRecord).
constexpr KeywordRow ORE_POD_ROWS[] = {
    Text("NAME", "name", 20),
    Num("OREN", "oreN", 0, 1000),
    Num("ORED", "oreD", 0, 1000),
    Num("ORET", "oreT", 0, 1000),
    Num("OREM", "oreM", 0, 1000),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("PNUM", "pNum", 0, 30),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// LIFEPOD (LifePodRecord).
constexpr KeywordRow LIFE_POD_ROWS[] = {
    Text("NAME", "name", 20),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("PNUM", "pNum", 0, 30),
    Num("PTROOP", "pTroop", 0, 1000000),
    Num("PCOLONIST", "pColonist", 0, 1000000),
    Num("PGUARD", "pGuard", 0, 1000000),
    Num("PCREW", "pCrew", 0, 1000000),
    Num("PRACE", "pRace", 0, 30),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Bit("FREEZE", "freeze", 4),
};

// ASSAULTPOD (AssaultPodRecord). Its position fields are 16-bit although the bounds
// reach 99000: a value above 32767 fails the store.
constexpr KeywordRow ASSAULT_POD_ROWS[] = {
    Text("NAME", "name", 20),
    Num16("PNUM", "pNum", 0, 30),
    Num16("X", "x", 1, COORD_MAX),
    Num16("Y", "y", 1, COORD_MAX),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("TROOP", "troop", 0, 1000000),
    Num("COLONIST", "colonist", 0, 1000000),
    Num("GUARD", "guard", 0, 1000000),
    Num("CREW", "crew", 0, 1000000),
    Num("MECH", "mech", 0, 1000).Indexed(1, 3),
    Num("FIGHTER", "fighter", 0, 1000).Indexed(1, 3),
};

// OUTFITPOD (OutfitPodRecord).
constexpr KeywordRow OUTFIT_POD_ROWS[] = {
    Text("NAME", "name", 20),
    Num16("PNUM", "pNum", 0, 30),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("PDWEAPON", "pdWeapon", 0, 10).Indexed(1, 10),
    Num16("LWEAPON", "lWeapon", 0, 20).Indexed(1, 20),
    Num16("SWEAPON", "sWeapon", 0, 10).Indexed(1, 30),
    Num16("GEN", "gen", 0, 5).Indexed(1, 5),
    Num16("HUGEWEAPON", "hugeWeapon", 0, 5),
    Num16("HYPENG", "hypEng", 0, 10),
    Num16("ENG", "eng", 0, 20),
    Num16("ENGCOUNT", "engCount", 0, 20),
    Num16("SHIELDFLAVOR", "shieldFlavor", 0, 10),
    Num("ARMOR", "armor", 0, 30000),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// NATIVEPOD (NativePodRecord).
constexpr KeywordRow NATIVE_POD_ROWS[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 20),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("NATIVE", "native", 0, 1000000).Indexed(1, 10),
};

// RESUPPLYPOD (ResupplyPodRecord).
constexpr KeywordRow RESUPPLY_POD_ROWS[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 20),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("ELEN", "eleN", 0, 1000),
    Num("ELEORD", "eleOrd", 0, 100000).Also("ORD"),
    Num("ELES", "eleS", 0, 1000),
    Num("ELEFIX", "eleFix", 0, 100000),
    Num("ELEMED", "eleMed", 0, 1000),
    Num("ELEFOOD", "eleFood", 0, 1000),
    Num("CASH", "cash", 0, 1000000),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
};

// GOLDPOD (GoldPodRecord).
constexpr KeywordRow GOLD_POD_ROWS[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 20),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("HULLPLANS", "hullPlans", 0, 2000),
    Num("CONTRABAND", "contraband", 0, 1000).Indexed(1, 12),
    Num("CASH", "cash", 0, 1000000),
};

// WRECKAGE (WreckageRecord).
constexpr KeywordRow WRECKAGE_ROWS[] = {
    Text("NAME", "name", 20),
    Num("ELED", "eleD", 0, 1000),
    Num("ELET", "eleT", 0, 1000),
    Num("ELEM", "eleM", 0, 1000),
    Num("CASH", "cash", 0, 1000000),
    Num("ELEN", "eleN", 0, 1000),
    Num("ELEORD", "eleOrd", 0, 1000).Also("ORD"),
    Num("ELES", "eleS", 0, 1000),
    Num("ELEFIX", "eleFix", 0, 100000),
    Num("ELEMED", "eleMed", 0, 1000),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("PNUM", "pNum", 0, 30),
    Num16("PDWEAPON", "pdWeapon", 0, 10).Indexed(1, 10),
    Num16("LWEAPON", "lWeapon", 0, 20).Indexed(1, 20),
    Num16("SWEAPON", "sWeapon", 0, 10).Indexed(1, 30),
    Num16("GEN", "gen", 0, 5).Indexed(1, 5),
    Num16("HUGEWEAPON", "hugeWeapon", 0, 5),
    Num16("HYPENG", "hypEng", 0, 10),
    Num16("ENG", "eng", 0, 20),
    Num16("ENGCOUNT", "engCount", 0, 20),
    Num16("SHIELDFLAVOR", "shieldFlavor", 0, 10).Also("SHIELD"),
    Num16("COUNTDOWN", "countdown", 0, 500),
    Num("CONTRABAND", "contraband", 0, 1000000).Indexed(1, 12),
};

// MINEFIELD (MinefieldRecord).
constexpr KeywordRow MINEFIELD_ROWS[] = {
    Num16("PNUM", "pNum", 0, 30),
    Num("FLAVOR", "flavor", 0, BILLION),
    Num("CMDFLAG", "cmdFlag", 0, BILLION),
    Num("RADIUS", "radius", 0, 3000),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// THING (ThingRecord). FLAVOR, MARKER and BIN are 16-bit fields with bounds beyond
// 32767: a larger value fails the store.
constexpr KeywordRow THING_ROWS[] = {
    Text("NAME", "name", 40),
    Num16("FLAVOR", "flavor", 0, BILLION),
    Num16("DAMAGE", "damage", 0, 100),
    Num("ENERGY", "energy", 0, 1000000),
    Num("LIFE", "life", 0, 1000000),
    Num("CREW", "crew", 0, 1000000),
    Num("SPEED", "speed", 0, 300),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num("XWAY", "xWay", 500, COORD_MAX),
    Num("YWAY", "yWay", 500, COORD_MAX),
    Num16("MARKER", "marker", 0, 1000000),
    Text("INFO1", "info1", 20),
    Text("INFO2", "info2", 20),
    Num16("HARDNESS", "hardness", 0, 30000),
    Num16("STEALTH", "stealth", 0, 30000),
    Num16("EDGE", "edge", 0, 3000),
    Num("PARENT", "parent", 0, BILLION),
    Text("BINFILE", "binFile", 8),
    Num16("BIN", "bin", 0, 1000000),
    Num("MASS", "mass", 0, 1000000),
    Row("DATA1", "data1", ValueKind::ThingCode, 0, 0, 32).Also("CODE"),
};

// BUOY (BuoyRecord).
constexpr KeywordRow BUOY_ROWS[] = {
    Text("NAME", "name", 40),
    Text("MESSAGE", "message", 120),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Num("RANGE", "range", 500, COORD_MAX),
    Num("PFLAG", "pFlag", 0, 1900000000),
    Num16("PNUM", "pNum", 0, 30),
    Num("EDGE", "edge", 0, 3000),
    Num("COLOR", "color", 1, 16),
    Num16("SHOWPNUM", "showPNum", 0, 1),
    Num("COUNTDOWN", "countdown", 1, 500),
};

// WING (WingRecord). MISSION is a 16-bit field with bounds beyond 32767.
constexpr KeywordRow WING_ROWS[] = {
    Text("NAME", "name", 40),
    Num("X", "x", 1, COORD_MAX),
    Num("Y", "y", 1, COORD_MAX),
    Code("FCODE", "fCode"),
    Num("ATTACKMODE", "attackMode", 0, BILLION),
    Num16("PNUM", "pNum", 1, 30),
    Num16("RACENUM", "raceNum", 1, 30).Also("WINGRACE"),
    Num("COUNT", "count", 0, 10000).Indexed(1, 3),
    Num("SPEED", "speed", 0, 200),
    Num("HIGHGUARD", "highGuard", 0, 10000),
    Num("FUEL", "fuel", 0, 10000),
    Num("XHOME", "xHome", 500, COORD_MAX),
    Num("YHOME", "yHome", 500, COORD_MAX),
    Num16("MISSION", "mission", 0, BILLION),
    Num("PATROLRANGE", "patrolRange", 0, 100),
    Num("ORD", "ord", 0, BILLION),
};

// The name texts that END scrambles.
constexpr ScrambledText NAME[] = {{"name", "nameKey"}};
constexpr ScrambledText SHIP_TEXTS[] = {{"name", "nameKey"}, {"shipLog", "shipLogKey"}};
constexpr ScrambledText THING_TEXTS[] = {{"name", "nameKey"}, {"info1", "nameKey"}, {"info2", "nameKey"}};
constexpr ScrambledText BUOY_TEXTS[] = {{"name", "nameKey"}, {"message", "nameKey"}};
// The wing's second 40-character text has no name in its record.
constexpr ScrambledText WING_TEXTS[] = {{"name", "nameKey"}, {"", "nameKey", 46}};

using enum KindCodeRule;
using enum UnknownKeyword;
using W = WorkingRecords;

constexpr ObjectKindDescriptor KINDS[] = {
    {"PLANET", BlockKind::Planet, &W::planet, PlanetRecordLayout, PLANET_ROWS, Fixed, ObjectKind::PLANET, "",
     NewPlanet, OwnerRule::None, LogKeyword, NAME, nullptr, StorePlanet},
    {"SHIP", BlockKind::Ship, &W::ship, ShipRecordLayout, SHIP_ROWS, PlusHull, ObjectKind::SHIP, "Ship Object ID# ",
     NewDefaultShip, OwnerRule::PNum, LogKeywordAndValue, SHIP_TEXTS, TrimShip, StoreShip},
    {"BASE", BlockKind::Base, &W::base, BaseRecordLayout, BASE_ROWS, Fixed, ObjectKind::BASE, "Base Object ID# ",
     NewBase, OwnerRule::PNum, LogKeywordAndValue, NAME, LockBaseToPlanet, StoreBase},
    {"CONPOD", BlockKind::ConPod, &W::conPod, ConPodRecordLayout, CON_POD_ROWS, Fixed, ObjectKind::CON_POD,
     "PodCon Object ID# ", NewConPod, OwnerRule::PNum, LogKeywordAndValue, NAME, nullptr, StoreConPod},
    {"OREPOD", BlockKind::OrePod, &W::orePod, OrePodRecordLayout, ORE_POD_ROWS, Fixed, ObjectKind::ORE_POD,
     "Pod Ore Object ID# ", NewOrePod, OwnerRule::PNum, LogKeywordAndValue, NAME, nullptr, StoreOrePod},
    {"LIFEPOD", BlockKind::LifePod, &W::lifePod, LifePodRecordLayout, LIFE_POD_ROWS, Fixed, ObjectKind::LIFE_POD,
     "Life Pod Object ID# ", NewLifePod, OwnerRule::PNum, LogKeywordAndValue, NAME, nullptr, StoreLifePod},
    {"ASSAULTPOD", BlockKind::AssaultPod, &W::assaultPod, AssaultPodRecordLayout, ASSAULT_POD_ROWS, Fixed,
     ObjectKind::ASSAULT_POD, "PodAssalt Object ID# ", NewAssaultPod, OwnerRule::PNum, LogKeywordAndValue, NAME,
     nullptr, StoreAssaultPod},
    {"OUTFITPOD", BlockKind::OutfitPod, &W::outfitPod, OutfitPodRecordLayout, OUTFIT_POD_ROWS, Fixed,
     ObjectKind::OUTFIT_POD, "Pod Outfit Object ID# ", NewOutfitPod, OwnerRule::PNum, LogKeywordAndValue, NAME,
     nullptr, StoreOutfitPod},
    {"NATIVEPOD", BlockKind::NativePod, &W::nativePod, NativePodRecordLayout, NATIVE_POD_ROWS, Fixed,
     ObjectKind::NATIVE_POD, "Pod Native Object ID# ", NewNativePod, OwnerRule::PNum, LogKeywordAndValue, NAME,
     nullptr, StoreNativePod},
    {"RESUPPLYPOD", BlockKind::ResupplyPod, &W::resupplyPod, ResupplyPodRecordLayout, RESUPPLY_POD_ROWS, Fixed,
     ObjectKind::RESUPPLY_POD, "Pod Resupply Object ID# ", NewResupplyPod, OwnerRule::PNum, LogKeywordAndValue,
     NAME, nullptr, StoreResupplyPod},
    {"GOLDPOD", BlockKind::GoldPod, &W::goldPod, GoldPodRecordLayout, GOLD_POD_ROWS, Fixed, ObjectKind::GOLD_POD,
     "Pod Gold Object ID# ", NewGoldPod, OwnerRule::PNum, LogKeywordAndValue, NAME, nullptr, StoreGoldPod},
    {"WRECKAGE", BlockKind::Wreckage, &W::wreckage, WreckageRecordLayout, WRECKAGE_ROWS, Fixed,
     ObjectKind::WRECKAGE, "Junk Object ID# ", NewWreckage, OwnerRule::PNum, LogKeywordAndValue, NAME, nullptr,
     StoreWreckage},
    {"MINEFIELD", BlockKind::Minefield, &W::minefield, MinefieldRecordLayout, MINEFIELD_ROWS, Minefield,
     ObjectKind::MINEFIELD, "Mine Object ID# ", NewMinefield, OwnerRule::PNum, LogKeywordAndValue, {}, nullptr,
     StoreMinefield},
    {"THING", BlockKind::Thing, &W::thing, ThingRecordLayout, THING_ROWS, Fixed, ObjectKind::THING,
     "Thing Object ID# ", NewThing, OwnerRule::None, LogKeywordAndValue, THING_TEXTS, nullptr, StoreThing},
    {"BUOY", BlockKind::Buoy, &W::buoy, BuoyRecordLayout, BUOY_ROWS, Fixed, ObjectKind::BUOY, "Buoy Object ID# ",
     NewBuoy, OwnerRule::PNum, LogKeywordAndValue, BUOY_TEXTS, nullptr, StoreBuoy},
    {"WING", BlockKind::Wing, &W::wing, WingRecordLayout, WING_ROWS, Fixed, ObjectKind::WING, "Wing Object ID# ",
     NewWing, OwnerRule::PNum, Ignore, WING_TEXTS, nullptr, StoreWing},
};

}  // namespace

std::span<const ObjectKindDescriptor> ObjectKinds() { return KINDS; }

constexpr std::array<const ObjectKindDescriptor*, BLOCK_KIND_COUNT> KINDS_BY_BLOCK = [] {
  std::array<const ObjectKindDescriptor*, BLOCK_KIND_COUNT> kinds{};
  for (const ObjectKindDescriptor& d : KINDS) {
    const auto k = static_cast<size_t>(d.blockKind);
    if (!kinds[k]) kinds[k] = &d;
  }
  return kinds;
}();

const ObjectKindDescriptor* KindOfWord(std::string_view upperWord) {
  for (const ObjectKindDescriptor& d : KINDS) {
    if (d.blockWord == upperWord) return &d;
  }
  return nullptr;
}

const ObjectKindDescriptor* KindOfWordAnyCase(std::string_view word) {
  // Asked by every BEGIN of an objects pass, so the block words are kept in a name
  // table. They are upper case: a word found as it stands (as scripts nearly always
  // write it) is the one its upper-cased copy finds, and any other is looked up
  // upper-cased. The first kind of a word is the one kept, as KindOfWord's scan finds it.
  static const NameTable<const ObjectKindDescriptor*> byWord = [] {
    NameTable<const ObjectKindDescriptor*> t;
    t.Reserve(std::size(KINDS));
    for (const ObjectKindDescriptor& d : KINDS) t.Add(d.blockWord, &d);
    return t;
  }();
  const ObjectKindDescriptor* const* kind = byWord.Find(word);
  if (!kind) kind = byWord.FindUpperCased(word);
  return kind ? *kind : nullptr;
}

const ObjectKindDescriptor* KindOfSize(int size) {
  for (const ObjectKindDescriptor& kind : ObjectKinds()) {
    if (kind.layout().size() == size) return &kind;
  }
  return nullptr;
}

const ObjectKindDescriptor* KindOfCode(int kindCode) {
  for (const ObjectKindDescriptor& d : KINDS) {
    switch (d.kindCodeRule) {
      case Fixed:
        if (kindCode == d.kindCode) return &d;
        break;
      case PlusHull:
        if (kindCode > d.kindCode && kindCode < ObjectKind::MINEFIELD) return &d;
        break;
      case Minefield:
        if (kindCode >= d.kindCode) return &d;
        break;
    }
  }
  return nullptr;
}

long long KindCodeOf(const ObjectKindDescriptor& kind, const Record& record) {
  switch (kind.kindCodeRule) {
    case Fixed: return kind.kindCode;
    case PlusHull: return kind.kindCode + static_cast<long long>(record.Get("hull"));
    case Minefield: return MinefieldKindCode(record.Get("flavor"), record.Get("radius"));
  }
  return 0;
}

long long OwnerOf(const ObjectKindDescriptor& kind, const Record& record) {
  return kind.owner == OwnerRule::PNum ? record.Get("pNum") : OWNER_NONE;
}

const Field& TextField(const ScrambledText& text, const RecordLayout& layout) {
  return text.field.empty() ? layout.At(text.offset) : layout.Get(text.field);
}

namespace {

// A scrambled text's field and the field of its key.
struct ScrambledFields {
  const Field* text;
  const Field* key;
};

// The fields of every kind's scrambled texts, found once: every object stored has its
// names scrambled.
const std::vector<ScrambledFields>& ScrambledFieldsOf(const ObjectKindDescriptor& kind) {
  static const std::array<std::vector<ScrambledFields>, BLOCK_KIND_COUNT> byKind = [] {
    std::array<std::vector<ScrambledFields>, BLOCK_KIND_COUNT> fields;
    for (const ObjectKindDescriptor& k : ObjectKinds()) {
      const RecordLayout& layout = k.layout();
      for (const ScrambledText& t : k.scrambled) {
        fields[static_cast<size_t>(k.blockKind)].push_back({&TextField(t, layout), &layout.Get(t.keyField)});
      }
    }
    return fields;
  }();
  return byKind[static_cast<size_t>(kind.blockKind)];
}

}  // namespace

void ScrambleNames(const ObjectKindDescriptor& kind, Record& record) {
  if (&record.layout() != &kind.layout()) {
    throw RuntimeError("The names of a " + std::string(record.layout().name()) + " record cannot be scrambled as a " +
                       std::string(kind.layout().name()) + ".");
  }
  // Each text is its field's first element, scrambled where it lies in the record.
  for (const ScrambledFields& f : ScrambledFieldsOf(kind)) {
    const int32_t key = record.Get(*f.key);
    ScrambleName(key, std::span<uint8_t>(record.bytes()).subspan(static_cast<size_t>(f.text->offset),
                                                                 static_cast<size_t>(f.text->ElementWidth())));
  }
}

}  // namespace tarvik
