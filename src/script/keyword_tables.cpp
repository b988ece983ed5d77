#include "script/keyword_tables.h"

#include "session.h"
#include "universe/records.h"

namespace tarvik {

namespace {

constexpr int32_t kCoordMax = 99000;
constexpr int32_t kBillion = 1000000000;

// PLANET (PlanetRecord).
constexpr KeywordRow kPlanetRows[] = {
    Row("NAME", "name", ValueKind::PlanetName, 0, 0, 40),
    Num("STATE", "state", 0, 3),
    Num16("SOIL", "soil", 0, 1000),
    Num16("CLIMATE", "climate", 0, 100),
    Num16("STAR", "star", 1, 21).Then(ExtraAction::StarHeat),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
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
constexpr KeywordRow kShipRows[] = {
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
    Num("CREW", "crew", 0, kBillion),
    Num("TROOPS", "troops", 0, kBillion),
    Num("COLONISTS", "colonists", 0, kBillion),
    Num("HIGHGUARD", "highGuard", 0, kBillion),
    Num("ELED", "eleD", 0, 30000),
    Num("ELET", "eleT", 0, 30000),
    Num("ELEM", "eleM", 0, 30000),
    Num("ELEFOOD", "eleFood", 0, 30000),
    Num("ELEMED", "eleMed", 0, 30000),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
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
constexpr KeywordRow kBaseRows[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 40),
    Num("NATIVE", "native", 0, kBillion).Indexed(1, 10),
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
    Num("CREW", "crew", 0, kBillion),
    Num("TROOP", "troop", 0, kBillion),
    Num("HIGHGUARD", "highGuard", 0, kBillion),
    Num("COLONISTS", "colonists", 0, kBillion),
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
    Num("X", "x", 1, kCoordMax).Also("XBASE"),
    Num("Y", "y", 1, kCoordMax).Also("YBASE"),
    Num16("ATTACKMODE", "attackMode", 0, 4),
};

// CONPOD (ConPodRecord).
constexpr KeywordRow kConPodRows[] = {
    Text("NAME", "name", 20),
    Num("ELED", "eleD", 0, 100000),
    Num("ELET", "eleT", 0, 100000),
    Num("ELEM", "eleM", 0, 100000),
    Num("CASH", "cash", 0, 1000000),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num16("PNUM", "pNum", 0, 30),
    Num16("HULLPLANS", "hullPlans", 0, 2000),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// OREPOD (OrePodRecord).
constexpr KeywordRow kOrePodRows[] = {
    Text("NAME", "name", 20),
    Num("OREN", "oreN", 0, 1000),
    Num("ORED", "oreD", 0, 1000),
    Num("ORET", "oreT", 0, 1000),
    Num("OREM", "oreM", 0, 1000),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num16("PNUM", "pNum", 0, 30),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// LIFEPOD (LifePodRecord).
constexpr KeywordRow kLifePodRows[] = {
    Text("NAME", "name", 20),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
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
constexpr KeywordRow kAssaultPodRows[] = {
    Text("NAME", "name", 20),
    Num16("PNUM", "pNum", 0, 30),
    Num16("X", "x", 1, kCoordMax),
    Num16("Y", "y", 1, kCoordMax),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("TROOP", "troop", 0, 1000000),
    Num("COLONIST", "colonist", 0, 1000000),
    Num("GUARD", "guard", 0, 1000000),
    Num("CREW", "crew", 0, 1000000),
    Num("MECH", "mech", 0, 1000).Indexed(1, 3),
    Num("FIGHTER", "fighter", 0, 1000).Indexed(1, 3),
};

// OUTFITPOD (OutfitPodRecord).
constexpr KeywordRow kOutfitPodRows[] = {
    Text("NAME", "name", 20),
    Num16("PNUM", "pNum", 0, 30),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
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
constexpr KeywordRow kNativePodRows[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 20),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("NATIVE", "native", 0, 1000000).Indexed(1, 10),
};

// RESUPPLYPOD (ResupplyPodRecord).
constexpr KeywordRow kResupplyPodRows[] = {
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
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
};

// GOLDPOD (GoldPodRecord).
constexpr KeywordRow kGoldPodRows[] = {
    Num16("PNUM", "pNum", 0, 30),
    Text("NAME", "name", 20),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num16("COUNTDOWN", "countdown", 1, 500),
    Num("HULLPLANS", "hullPlans", 0, 2000),
    Num("CONTRABAND", "contraband", 0, 1000).Indexed(1, 12),
    Num("CASH", "cash", 0, 1000000),
};

// WRECKAGE (WreckageRecord).
constexpr KeywordRow kWreckageRows[] = {
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
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
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
constexpr KeywordRow kMinefieldRows[] = {
    Num16("PNUM", "pNum", 0, 30),
    Num("FLAVOR", "flavor", 0, kBillion),
    Num("CMDFLAG", "cmdFlag", 0, kBillion),
    Num("RADIUS", "radius", 0, 3000),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num16("COUNTDOWN", "countdown", 1, 500),
};

// THING (ThingRecord). FLAVOR, MARKER and BIN are 16-bit fields with bounds beyond
// 32767: a larger value fails the store.
constexpr KeywordRow kThingRows[] = {
    Text("NAME", "name", 40),
    Num16("FLAVOR", "flavor", 0, kBillion),
    Num16("DAMAGE", "damage", 0, 100),
    Num("ENERGY", "energy", 0, 1000000),
    Num("LIFE", "life", 0, 1000000),
    Num("CREW", "crew", 0, 1000000),
    Num("SPEED", "speed", 0, 300),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num("XWAY", "xWay", 500, kCoordMax),
    Num("YWAY", "yWay", 500, kCoordMax),
    Num16("MARKER", "marker", 0, 1000000),
    Text("INFO1", "info1", 20),
    Text("INFO2", "info2", 20),
    Num16("HARDNESS", "hardness", 0, 30000),
    Num16("STEALTH", "stealth", 0, 30000),
    Num16("EDGE", "edge", 0, 3000),
    Num("PARENT", "parent", 0, kBillion),
    Text("BINFILE", "binFile", 8),
    Num16("BIN", "bin", 0, 1000000),
    Num("MASS", "mass", 0, 1000000),
    Row("DATA1", "data1", ValueKind::ThingCode, 0, 0, 32).Also("CODE"),
};

// BUOY (BuoyRecord).
constexpr KeywordRow kBuoyRows[] = {
    Text("NAME", "name", 40),
    Text("MESSAGE", "message", 120),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Num("RANGE", "range", 500, kCoordMax),
    Num("PFLAG", "pFlag", 0, 1900000000),
    Num16("PNUM", "pNum", 0, 30),
    Num("EDGE", "edge", 0, 3000),
    Num("COLOR", "color", 1, 16),
    Num16("SHOWPNUM", "showPNum", 0, 1),
    Num("COUNTDOWN", "countdown", 1, 500),
};

// WING (WingRecord). MISSION is a 16-bit field with bounds beyond 32767.
constexpr KeywordRow kWingRows[] = {
    Text("NAME", "name", 40),
    Num("X", "x", 1, kCoordMax),
    Num("Y", "y", 1, kCoordMax),
    Code("FCODE", "fCode"),
    Num("ATTACKMODE", "attackMode", 0, kBillion),
    Num16("PNUM", "pNum", 1, 30),
    Num16("RACENUM", "raceNum", 1, 30).Also("WINGRACE"),
    Num("COUNT", "count", 0, 10000).Indexed(1, 3),
    Num("SPEED", "speed", 0, 200),
    Num("HIGHGUARD", "highGuard", 0, 10000),
    Num("FUEL", "fuel", 0, 10000),
    Num("XHOME", "xHome", 500, kCoordMax),
    Num("YHOME", "yHome", 500, kCoordMax),
    Num16("MISSION", "mission", 0, kBillion),
    Num("PATROLRANGE", "patrolRange", 0, 100),
    Num("ORD", "ord", 0, kBillion),
};

struct TableSource {
  int blockKind;
  const RecordLayout& (*layout)();
  std::span<const KeywordRow> rows;
};

const TableSource kSources[] = {
    {BlockKind::kPlanet, PlanetRecordLayout, kPlanetRows},
    {BlockKind::kShip, ShipRecordLayout, kShipRows},
    {BlockKind::kBase, BaseRecordLayout, kBaseRows},
    {BlockKind::kConPod, ConPodRecordLayout, kConPodRows},
    {BlockKind::kOrePod, OrePodRecordLayout, kOrePodRows},
    {BlockKind::kLifePod, LifePodRecordLayout, kLifePodRows},
    {BlockKind::kAssaultPod, AssaultPodRecordLayout, kAssaultPodRows},
    {BlockKind::kOutfitPod, OutfitPodRecordLayout, kOutfitPodRows},
    {BlockKind::kNativePod, NativePodRecordLayout, kNativePodRows},
    {BlockKind::kResupplyPod, ResupplyPodRecordLayout, kResupplyPodRows},
    {BlockKind::kGoldPod, GoldPodRecordLayout, kGoldPodRows},
    {BlockKind::kWreckage, WreckageRecordLayout, kWreckageRows},
    {BlockKind::kMinefield, MinefieldRecordLayout, kMinefieldRows},
    {BlockKind::kThing, ThingRecordLayout, kThingRows},
    {BlockKind::kBuoy, BuoyRecordLayout, kBuoyRows},
    {BlockKind::kWing, WingRecordLayout, kWingRows},
};

void Bind(KeywordTable& table, std::string keyword, const KeywordRow& row, int index) {
  table.byKeyword.emplace(std::move(keyword), KeywordBinding{&row, table.layout->Find(row.field), index});
}

KeywordTable BuildTable(const TableSource& src) {
  KeywordTable table;
  table.blockKind = src.blockKind;
  table.layout = &src.layout();
  table.rows = src.rows;
  for (const KeywordRow& row : src.rows) {
    if (row.firstIndex > 0) {
      for (int i = row.firstIndex; i <= row.lastIndex; ++i) {
        Bind(table, std::string(row.keyword) + "(" + std::to_string(i) + ")", row, i);
      }
    } else {
      Bind(table, std::string(row.keyword), row, 1);
    }
    if (!row.alias.empty()) Bind(table, std::string(row.alias), row, 1);
  }
  return table;
}

struct AllTables {
  KeywordTable byKind[BlockKind::kExotic + 1];
  AllTables() {
    for (const TableSource& src : kSources) byKind[src.blockKind] = BuildTable(src);
  }
};

const AllTables& Tables() {
  static const AllTables tables;
  return tables;
}

// START (HomeSettings and the game's money and names).
const SettingRow kStartRows[] = {
    {"HOMEMINERAL", [](Session& s) { return &s.home.homeMineral; }, nullptr, 0, 5},
    {"HOMENATIVE", [](Session& s) { return &s.home.homeNative; }, nullptr, 0, 5},
    {"HOMECASH", [](Session& s) { return &s.home.homeCash; }, nullptr, 0, 1000000},
    {"HOMEPOPULATION", [](Session& s) { return &s.home.homePopulation; }, nullptr, 0, 50000000},
    {"HOMECARGO", [](Session& s) { return &s.home.homeCargo; }, nullptr, 0, 5},
    {"MINERAL", [](Session& s) { return &s.home.mineral; }, nullptr, 0, 5},
    {"NATIVE", [](Session& s) { return &s.home.native; }, nullptr, 0, 5},
    {"CONTRABAND", [](Session& s) { return &s.home.contraband; }, nullptr, 0, 5},
    {"CARGO", [](Session& s) { return &s.home.cargo; }, nullptr, 0, 5},
    {"GALMONEY", [](Session& s) { return &s.tables.galMoney; }, nullptr, 0, 50000000},
    {"GAMENAME", nullptr, [](Session& s) { return &s.tables.gameName; }},
    {"HOSTNAME", nullptr, [](Session& s) { return &s.tables.hostName; }},
    {"RSTNAME", nullptr, [](Session& s) { return &s.tables.rstName; }},
};

// TECH (starting technology of every player).
const SettingRow kTechRows[] = {
    {"TECHPLANET", [](Session& s) { return &s.tables.techPlanet; }, nullptr, 0, 10},
    {"TECHLARGE", [](Session& s) { return &s.tables.techLarge; }, nullptr, 0, 5},
    {"TECHSMALL", [](Session& s) { return &s.tables.techSmall; }, nullptr, 0, 5},
    {"TECHPD", [](Session& s) { return &s.tables.techPd; }, nullptr, 0, 5},
    {"TECHGEN", [](Session& s) { return &s.tables.techGen; }, nullptr, 0, 5},
    {"TECHENGINE", [](Session& s) { return &s.tables.techEngine; }, nullptr, 0, 7},
    {"TECHHULL", [](Session& s) { return &s.tables.techHull; }, nullptr, 0, 7},
    {"TECHHYP", [](Session& s) { return &s.tables.techHyp; }, nullptr, 0, 5},
    {"TECHSHIELD", [](Session& s) { return &s.tables.techShield; }, nullptr, 0, 5},
};

}  // namespace

const KeywordTable* ObjectKeywordTable(int blockKind) {
  if (blockKind < 0 || blockKind > BlockKind::kExotic) return nullptr;
  const KeywordTable& t = Tables().byKind[blockKind];
  return t.layout ? &t : nullptr;
}

std::span<const KeywordRow> ObjectKeywordRows(int blockKind) {
  for (const TableSource& src : kSources) {
    if (src.blockKind == blockKind) return src.rows;
  }
  return {};
}

std::span<const SettingRow> StartSettingRows() { return kStartRows; }
std::span<const SettingRow> TechSettingRows() { return kTechRows; }

}  // namespace tarvik
