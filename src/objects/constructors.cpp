#include "objects/constructors.h"

#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "objects/object_session.h"
#include "objects/object_store.h"
#include "objects/planet_grid.h"
#include "platform/rounding.h"

namespace tarvik {

namespace {

// Structures every new base has built (bit n for structure n).
inline constexpr int32_t BASE_STRUCTURES = (1 << 1) | (1 << 2) | (1 << 3) | (1 << 4) | (1 << 5) | (1 << 6) |
                                           (1 << 8) | (1 << 9) | (1 << 10) | (1 << 11);
static_assert(BASE_STRUCT_MASK == 2147475455 && BASE_STRUCTURES == 3966);

double Rnd(ObjectSession& s) { return s.random.Next(); }

// A generated name: the label, a number from 0 to range - 1 with its leading blank (as
// NumText writes it), then blanks up to the field's width; cut at the width. Made in
// place: a name is generated for nearly every object a build makes.
void SetGeneratedName(ObjectSession& s, Record& r, const Field& name, std::string_view label, int range) {
  const long long number = static_cast<long long>(std::floor(Rnd(s) * range));
  std::array<char, 64> text;
  if (label.size() + NUM_TEXT_ROOM > text.size()) throw RuntimeError("name label too long: " + std::string(label));
  char* const end = WriteNumText(std::copy(label.begin(), label.end(), text.begin()), number);
  r.SetText(name, std::string_view(text.data(), static_cast<size_t>(end - text.data())));
}
void SetGeneratedName(ObjectSession& s, Record& r, std::string_view label, int range) {
  SetGeneratedName(s, r, r.layout().Get("name"), label, range);
}

void SetNameKey(ObjectSession& s, Record& r) { r.Set("nameKey", Draw(s.random, 200, 10)); }

// Text bytes at an offset that has no field name (the fixed codes only the game's host
// reads); blank-padded to width.
void SetTextAt(Record& r, int offset, std::string_view text, int width) {
  if (offset < 0 || offset + width > r.size()) {
    throw RuntimeError("offset " + std::to_string(offset) + " outside " + std::string(r.layout().name()));
  }
  std::string fixed = FixedText(text, static_cast<size_t>(width));
  std::memcpy(r.bytes().data() + offset, fixed.data(), fixed.size());
}

// Draw r; when r < chance, set the field to round(random * scale + offset).
bool MaybeSet(ObjectSession& s, Record& r, const Field& field, int index, double chance, double scale,
              double offset) {
  if (Rnd(s) >= chance) return false;
  r.Set(field, Draw(s.random, scale, offset), index);
  return true;
}
bool MaybeSet(ObjectSession& s, Record& r, const char* field, int index, double chance, double scale, double offset) {
  return MaybeSet(s, r, r.layout().Get(field), index, chance, scale, offset);
}

// MaybeSet for elements 1..count of an array field in turn (the field found once).
void MaybeSetEach(ObjectSession& s, Record& r, const char* field, int count, double chance, double scale,
                  double offset) {
  const Field& f = r.layout().Get(field);
  for (int i = 1; i <= count; ++i) MaybeSet(s, r, f, i, chance, scale, offset);
}

// The fields of the base record that a new base sets, found once: a build makes a base
// for every BASE block and every home world.
struct BaseFields {
  const RecordLayout& base = BaseRecordLayout();
  const Field& pNum = base.Get("pNum");
  const Field& name = base.Get("name");
  const Field& nameKey = base.Get("nameKey");
  const Field& nativeHappy = base.Get("nativeHappy");
  const Field& native = base.Get("native");
  const Field& terraformer = base.Get("terraformer");
  const Field& colonistHappy = base.Get("colonistHappy");
  const Field& oreN = base.Get("oreN");
  const Field& oreD = base.Get("oreD");
  const Field& oreT = base.Get("oreT");
  const Field& oreM = base.Get("oreM");
  const Field& eleN = base.Get("eleN");
  const Field& eleD = base.Get("eleD");
  const Field& eleT = base.Get("eleT");
  const Field& eleM = base.Get("eleM");
  const Field& eleFood = base.Get("eleFood");
  const Field& eleMed = base.Get("eleMed");
  const Field& eleFix = base.Get("eleFix");
  const Field& eleS = base.Get("eleS");
  const Field& smelter = base.Get("smelter");
  const Field& crew = base.Get("crew");
  const Field& troop = base.Get("troop");
  const Field& highGuard = base.Get("highGuard");
  const Field& colonists = base.Get("colonists");
  const Field& cash = base.Get("cash");
  const Field& factory = base.Get("factory");
  const Field& mine = base.Get("mine");
  const Field& antiAir = base.Get("antiAir");
  const Field& training = base.Get("training");
  const Field& ionCannon = base.Get("ionCannon");
  const Field& eleOrd = base.Get("eleOrd");
  const Field& city = base.Get("city");
  const Field& farm = base.Get("farm");
  const Field& pdWeapon = base.Get("pdWeapon");
  const Field& lWeapon = base.Get("lWeapon");
  const Field& sWeapon = base.Get("sWeapon");
  const Field& eng = base.Get("eng");
  const Field& hyp = base.Get("hyp");
  const Field& shield = base.Get("shield");
  const Field& gen = base.Get("gen");
  const Field& armor = base.Get("armor");
  const Field& crime = base.Get("crime");
  const Field& rougeColonists = base.Get("rougeColonists");
  const Field& rougeNatives = base.Get("rougeNatives");
  const Field& fCode = base.Get("fCode");
  const Field& x = base.Get("x");
  const Field& y = base.Get("y");
  const Field& fighter = base.Get("fighter");
  const Field& structMask = base.Get("structMask");
  const Field& structures = base.Get("structures");
  const Field& serial = base.Get("serial");
  const Field& planetId = base.Get("planetId");
};

const BaseFields& BaseFieldsFound() {
  static const BaseFields fields;
  return fields;
}

// Natives of a base: each of the ten kinds is present with chance 0.05 per home native
// level.
void SetBaseNatives(ObjectSession& s, Record& b, const BaseFields& f, int32_t level) {
  for (int i = 1; i <= 10; ++i) {
    b.Set(f.nativeHappy, Draw(s.random, 60, 40), i);
    if (Rnd(s) < 0.05 * level) b.Set(f.native, Draw(s.random, 1000000.0 * level), i);
  }
}

// Ores and minerals of a base: drawn and scaled by a home mineral level above 1, fixed
// amounts below.
void SetBaseMinerals(ObjectSession& s, Record& b, const BaseFields& f, int32_t level) {
  if (level <= 1) {
    b.Set(f.oreN, 1000);
    b.Set(f.oreD, 100);
    b.Set(f.oreT, 70);
    b.Set(f.oreM, 30);
    b.Set(f.eleN, 600);
    b.Set(f.eleD, 500);
    b.Set(f.eleT, 400);
    b.Set(f.eleM, 200);
    return;
  }
  const double m = level;
  b.Set(f.oreN, RoundToInt((Rnd(s) * 1000 + 2000) * m));
  b.Set(f.oreD, RoundToInt((Rnd(s) * 2000 + 1000) * m));
  b.Set(f.oreT, RoundToInt((Rnd(s) * 1300 + 700) * m));
  b.Set(f.oreM, RoundToInt((Rnd(s) * 700 + 300) * m));
  b.Set(f.eleN, RoundToInt((Rnd(s) * 300 + 600) * m));
  b.Set(f.eleD, RoundToInt((Rnd(s) * 100 + 500) * m));
  // For these two the draw is added, not multiplied: they vary by at most one unit
  // per level.
  b.Set(f.eleT, RoundToInt((Rnd(s) + 400 + 200) * m));
  b.Set(f.eleM, RoundToInt((Rnd(s) + 200 + 100) * m));
}

// Food and medicine by the home cargo level, parts, people and money.
void SetBaseStores(ObjectSession& s, Record& b, const BaseFields& f, const HomeSettings& home) {
  if (home.homeCargo > 0) {
    b.Set(f.eleFood, Draw(s.random, 10, 300 + 20.0 * home.homeCargo));
    b.Set(f.eleMed, Draw(s.random, 20, 400 + 20.0 * home.homeCargo));
  }
  b.Set(f.eleFix, Draw(s.random, 300, 2000));
  b.Set(f.eleS, Draw(s.random, 100, 200));
  b.Set(f.smelter, 1);
  b.Set(f.crew, Draw(s.random, 5000, 30000));
  b.Set(f.troop, Draw(s.random, 200, 1000));
  b.Set(f.highGuard, Draw(s.random, 10, 1));
  b.Set(f.colonists, home.homePopulation);
  b.SetI32At(330, 0);
  b.Set(f.cash, home.homeCash);
}

void SetBaseBuildings(ObjectSession& s, Record& b, const BaseFields& f) {
  b.Set(f.factory, 20);
  b.SetI16At(344, 100);
  b.Set(f.mine, 5);
  b.Set(f.antiAir, 110);
  b.Set(f.training, 1);
  b.Set(f.ionCannon, 20);
  b.Set(f.eleOrd, Draw(s.random, 100, 1000));
  b.Set(f.city, 1);
  b.Set(f.farm, 10);
}

// The weapons, engines, shields and generators a base has in store, and its armor.
void SetBaseFittings(Record& b, const BaseFields& f) {
  b.Set(f.pdWeapon, 20, 1);
  b.Set(f.pdWeapon, 2, 10);
  b.Set(f.lWeapon, 25, 1);
  b.Set(f.lWeapon, 2, 15);
  b.Set(f.sWeapon, 40, 1);
  b.Set(f.sWeapon, 4, 8);
  b.Set(f.eng, 40, 1);
  b.Set(f.eng, 20, 2);
  b.Set(f.eng, 10, 3);
  b.Set(f.eng, 6, 19);
  b.Set(f.hyp, 5, 1);
  b.Set(f.hyp, 2, 2);
  b.Set(f.hyp, 1, 5);
  b.Set(f.shield, 5, 1);
  b.Set(f.shield, 1, 10);
  b.Set(f.gen, 4, 1);
  b.Set(f.gen, 2, 5);
  b.Set(f.armor, 1600);
}

// The place, owner (player 1) and countdown of a new pod, wreckage or minefield.
void PlacePod(ObjectSession& s, Record& p, int countdown) {
  SetDefaultPosition(s.random, p);
  p.Set("pNum", 1);
  p.Set("countdown", countdown);
}

// A pod that carries goods: its name, each good drawn up to its amount, its place and
// a name key.
void NewGoodsPod(ObjectSession& s, Record& p, std::string_view label,
                 std::initializer_list<std::pair<const char*, int>> goods) {
  p.Clear();
  SetGeneratedName(s, p, label, 1000);
  for (const auto& [field, amount] : goods) p.Set(field, Draw(s.random, amount));
  PlacePod(s, p, 40);
  SetNameKey(s, p);
}

}  // namespace

void SetDefaultPosition(Random& random, Record& r, const Field& x, const Field& y) {
  r.Set(x, Draw(random, 2000, 1000));
  r.Set(y, Draw(random, 2000, 1000));
}

void SetDefaultPosition(Random& random, Record& r, const char* xField, const char* yField) {
  SetDefaultPosition(random, r, r.layout().Get(xField), r.layout().Get(yField));
}

void NewBase(ObjectSession& s) {
  Record& b = s.records.base;
  const HomeSettings& home = s.home;
  const BaseFields& f = BaseFieldsFound();
  b.Clear();

  b.Set(f.pNum, 1);
  SetGeneratedName(s, b, f.name, "Ground Base ", 4000);
  b.Set(f.nameKey, Draw(s.random, 200, 10));
  SetBaseNatives(s, b, f, home.homeNative);
  b.Set(f.terraformer, 10);
  b.SetI16At(854, 50);
  b.Set(f.colonistHappy, Draw(s.random, 40, 60));
  SetBaseMinerals(s, b, f, home.homeMineral);
  SetBaseStores(s, b, f, home);
  SetBaseBuildings(s, b, f);
  SetBaseFittings(b, f);

  b.Set(f.crime, Draw(s.random, 30, 10));
  b.Set(f.rougeColonists, Draw(s.random, 30));
  b.Set(f.rougeNatives, Draw(s.random, 100));

  // Two codes of one letter A..T followed by "ZZ": the fleet code, then the code held
  // just before it.
  auto baseCode = [&s] { return std::string(1, static_cast<char>(std::floor(Rnd(s) * 20) + 65)) + "ZZ"; };
  b.SetText(f.fCode, baseCode());
  SetTextAt(b, 1122, baseCode(), 3);

  SetDefaultPosition(s.random, b, f.x, f.y);
  b.Set(f.fighter, 50, 1);
  b.Set(f.fighter, 40, 2);
  b.Set(f.fighter, 80, 3);

  b.Set(f.structMask, BASE_STRUCT_MASK);
  b.Set(f.structures, BASE_STRUCTURES);
}

void NewWing(ObjectSession& s) {
  Record& w = s.records.wing;
  w.Clear();

  SetGeneratedName(s, w, "Wing ", 4000);
  SetTextAt(w, 46, "", 40);
  w.Set("pNum", 1);
  int race = 0;
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    if (s.tables.gameRaceList[k].id > 0) {
      race = k;
      break;
    }
  }
  w.Set("raceNum", race);
  for (int i = 1; i <= 3; ++i) w.Set("count", Draw(s.random, 60), i);
  w.SetI32At(104, 80);
  w.Set("speed", 50);
  w.Set("highGuard", 1);
  w.Set("fuel", 400);
  SetDefaultPosition(s.random, w);
  SetDefaultPosition(s.random, w, "xHome", "yHome");
  w.SetI32At(136, 0);
  w.Set("mission", 0);
  w.Set("patrolRange", 40);
  w.Set("attackMode", 16);
  w.Set("ord", 4000);
  w.SetI32At(202, 0);
  w.SetText("fCode", "BSA");
  w.SetI32At(235, 1);
  for (int i = 0; i < 3; ++i) SetTextAt(w, 267 + 3 * i, "CSA", 3);
  w.Set("nameKey", Draw(s.random, 399));
}

void NewConPod(ObjectSession& s) {
  NewGoodsPod(s, s.records.conPod, "ConPod ", {{"eleD", 100}, {"eleT", 100}, {"eleM", 100}, {"cash", 500}});
}

void NewOrePod(ObjectSession& s) {
  NewGoodsPod(s, s.records.orePod, "Ore Pod ", {{"oreN", 250}, {"oreD", 250}, {"oreT", 250}, {"oreM", 250}});
}

void NewLifePod(ObjectSession& s) {
  Record& p = s.records.lifePod;
  p.Clear();
  SetGeneratedName(s, p, "Life Pod ", 1000);
  PlacePod(s, p, 40);
  p.Set("pTroop", Draw(s.random, 1000));
  p.Set("pColonist", Draw(s.random, 20000));
  SetNameKey(s, p);
  p.Set("pGuard", Draw(s.random, 3));
  p.Set("pCrew", Draw(s.random, 2000));
  p.Set("pRace", 1);
}

void NewAssaultPod(ObjectSession& s) {
  Record& p = s.records.assaultPod;
  p.Clear();
  SetGeneratedName(s, p, "Assault Pod ", 1000);
  PlacePod(s, p, 40);
  p.Set("troop", Draw(s.random, 1000, 300));
  p.Set("colonist", Draw(s.random, 1000, 200));
  p.Set("nameKey", Draw(s.random, 200, 12));
  p.Set("crew", Draw(s.random, 1000));
  p.Set("mech", Draw(s.random, 4, 5), 1);
  // The int32 right after mech[3], which is the first fighter count.
  p.SetI32At(96, static_cast<int32_t>(Draw(s.random, 30, 5)));
}

void NewOutfitPod(ObjectSession& s) {
  Record& p = s.records.outfitPod;
  p.Clear();
  SetGeneratedName(s, p, "Outfit Pod ", 1000);
  PlacePod(s, p, 30);
  for (int i = 1; i <= 5; ++i) {
    p.Set("pdWeapon", 2, i);
    p.Set("lWeapon", 2, i);
    p.Set("sWeapon", 2, i);
  }
  p.Set("gen", 2, 1);
  p.Set("hypEng", 2);
  p.Set("eng", 4);
  p.Set("engCount", 10);
  p.Set("shieldFlavor", 3);
  p.Set("armor", 200);
  p.Set("nameKey", Draw(s.random, 100, 10));
}

void NewNativePod(ObjectSession& s) {
  Record& p = s.records.nativePod;
  p.Clear();
  SetGeneratedName(s, p, "Native Pod ", 1000);
  PlacePod(s, p, 40);
  SetNameKey(s, p);
  // One native kind, 1..10 (a draw that rounds to 0 takes kind 1).
  int kind = static_cast<int>(Draw(s.random, 10));
  if (kind < 1) kind = 1;
  p.Set("native", Draw(s.random, 20000), kind);
}

void NewResupplyPod(ObjectSession& s) {
  Record& p = s.records.resupplyPod;
  SetGeneratedName(s, p, "Resupply Pod ", 1000);
  p.Set("eleN", Draw(s.random, 400, 50));
  p.Set("eleOrd", Draw(s.random, 300, 700));
  p.Set("eleS", Draw(s.random, 100, 10));
  p.Set("eleFix", Draw(s.random, 800, 200));
  p.Set("eleMed", Draw(s.random, 200, 10));
  p.Set("eleFood", Draw(s.random, 100, 20));
  p.Set("cash", Draw(s.random, 200));
  SetNameKey(s, p);
  PlacePod(s, p, 60);
}

void NewGoldPod(ObjectSession& s) {
  Record& p = s.records.goldPod;
  p.Clear();
  SetGeneratedName(s, p, "Gold Pod ", 1000);
  SetNameKey(s, p);
  PlacePod(s, p, 35);
  MaybeSetEach(s, p, "contraband", 12, 0.3, 300, 0);
  p.Set("cash", Draw(s.random, 2000, 100));
}

void NewWreckage(ObjectSession& s) {
  Record& p = s.records.wreckage;
  p.Clear();
  SetGeneratedName(s, p, "Wreckage ", 1000);
  for (const char* f : {"eleD", "eleT", "eleM", "cash"}) p.Set(f, Draw(s.random, 200));
  p.Set("eleN", Draw(s.random, 300));
  p.Set("eleOrd", Draw(s.random, 400));
  p.Set("eleS", Draw(s.random, 300));
  p.Set("eleFix", Draw(s.random, 200));
  p.Set("eleMed", Draw(s.random, 200));
  PlacePod(s, p, 60);

  // What is left of the wrecked ship's fittings: each mount survives by chance.
  MaybeSetEach(s, p, "pdWeapon", 10, 0.3, 6, 1);
  MaybeSetEach(s, p, "lWeapon", 20, 0.3, 6, 1);
  MaybeSetEach(s, p, "sWeapon", 30, 0.3, 6, 1);
  MaybeSetEach(s, p, "gen", 5, 0.3, 6, 1);
  MaybeSet(s, p, "hugeWeapon", 1, 0.1, 4, 1);
  MaybeSet(s, p, "hypEng", 1, 0.5, 9, 1);
  if (MaybeSet(s, p, "eng", 1, 0.9, 19, 1)) p.Set("engCount", Draw(s.random, 20, 2));
  MaybeSet(s, p, "shieldFlavor", 1, 0.4, 6, 1);

  MaybeSetEach(s, p, "contraband", 12, 0.2, 200, 0);
  SetNameKey(s, p);
}

void NewMinefield(ObjectSession& s) {
  Record& m = s.records.minefield;
  m.Clear();
  m.Set("flavor", 2);
  m.Set("cmdFlag", 1);
  m.Set("radius", 100);
  PlacePod(s, m, 40);
}

void NewThing(ObjectSession& s) {
  Record& t = s.records.thing;
  SetGeneratedName(s, t, "Object: ", 9000);
  t.Set("flavor", 1);
  t.Set("damage", Draw(s.random, 20));
  t.Set("energy", Draw(s.random, 20));
  t.Set("life", Draw(s.random, 40, 30));
  t.Set("crew", Draw(s.random, 50, 30));
  t.Set("speed", Draw(s.random, 80));
  SetDefaultPosition(s.random, t);
  SetDefaultPosition(s.random, t, "xWay", "yWay");
  t.Set("marker", 1);
  SetNameKey(s, t);
  t.SetText("info1", "Red Flashing Light");
  t.SetText("info2", "Green Light");
  t.SetI32At(132, 0);
  t.Set("hardness", 100);
  t.Set("stealth", 500);
  t.Set("edge", 10);
  t.Set("parent", 1);
  // Three letter codes from 65 to 90 packed into one number, rounded once.
  double c1 = Rnd(s) * 25 + 65;
  double c2 = Rnd(s) * 25 + 65;
  double c3 = Rnd(s) * 25 + 65;
  t.Set("data1", RoundToInt(c1 + 256 * c2 + 65536 * c3));
}

void NewBuoy(ObjectSession& s) {
  Record& b = s.records.buoy;
  SetGeneratedName(s, b, "Buoy ", 2099);
  b.SetText("message", "Warning: Standby ");
  SetDefaultPosition(s.random, b);
  b.Set("range", 1000);
  b.Set("pFlag", 61439);
  b.Set("pNum", 1);
  SetNameKey(s, b);
  b.Set("edge", 40);
  b.Set("color", 12);
  b.Set("showPNum", 1);
  b.Set("countdown", 50);
}

void LockBaseToPlanet(ObjectSession& s) {
  Record& b = s.records.base;
  const BaseFields& f = BaseFieldsFound();
  const ObjectTables& objects = s.tables.objects;
  const double x = b.Get(f.x);
  const double y = b.Get(f.y);
  // The open store knows where its planets lie; the scan gives the same planet.
  const int32_t bestId =
      ObjectStoreOpen(s) ? s.store.planets.Nearest(x, y) : NearestPlanetByScan(objects, x, y);
  if (bestId == 0) return;

  b.Set(f.x, objects.objectX[bestId]);
  b.Set(f.y, objects.objectY[bestId]);
  b.Set(f.serial, 0);
  b.Set(f.planetId, bestId);
  LogLine(s, "Locking base to planet");
}

}  // namespace tarvik
