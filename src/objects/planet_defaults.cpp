#include "objects/planet_defaults.h"

#include <algorithm>
#include <cmath>

#include "objects/constructors.h"
#include "objects/object_session.h"
#include "platform/rounding.h"
#include "universe/records.h"

namespace tarvik {

namespace {

// Unnamed places of the planet record that the defaults fill.
constexpr int LEADING_WORDS = 0;           // four int16 from offset 0, set to -1
constexpr int AFTER_STATE = 54;            // int16, 1..177
constexpr int AFTER_THAT = 56;             // int16, 0
constexpr int BETWEEN_EASY_AND_ORE = 128;  // nine int32
constexpr int AFTER_CASH = 284;            // int32, 0

// The fields of the planet record that the defaults fill, found once: a build fills
// them for every planet.
struct PlanetFields {
  const RecordLayout& planet = PlanetRecordLayout();
  const Field& climate = planet.Get("climate");
  const Field& contraband = planet.Get("contraband");
  const Field& easyD = planet.Get("easyD");
  const Field& easyM = planet.Get("easyM");
  const Field& easyN = planet.Get("easyN");
  const Field& easyT = planet.Get("easyT");
  const Field& eleD = planet.Get("eleD");
  const Field& eleFix = planet.Get("eleFix");
  const Field& eleFood = planet.Get("eleFood");
  const Field& eleM = planet.Get("eleM");
  const Field& eleMed = planet.Get("eleMed");
  const Field& eleN = planet.Get("eleN");
  const Field& eleS = planet.Get("eleS");
  const Field& eleT = planet.Get("eleT");
  const Field& hdBaseFreq = planet.Get("hdBaseFreq");
  const Field& hdInteria = planet.Get("hdInteria");
  const Field& hdStress = planet.Get("hdStress");
  const Field& nameKey = planet.Get("nameKey");
  const Field& x = planet.Get("x");
  const Field& y = planet.Get("y");
  const Field& native = planet.Get("native");
  const Field& oreD = planet.Get("oreD");
  const Field& oreM = planet.Get("oreM");
  const Field& oreN = planet.Get("oreN");
  const Field& oreT = planet.Get("oreT");
  const Field& resD = planet.Get("resD");
  const Field& resM = planet.Get("resM");
  const Field& resN = planet.Get("resN");
  const Field& resT = planet.Get("resT");
  const Field& soil = planet.Get("soil");
  const Field& star = planet.Get("star");
  const Field& starHeat = planet.Get("starHeat");
  const Field& state = planet.Get("state");
  // The unnamed places, found once by their offsets.
  const Field& leadingFirst = planet.At(LEADING_WORDS);      // the bytes of the first two words
  const Field& leadingSecond = planet.At(LEADING_WORDS + 4);  // and of the last two
  const Field& afterState = planet.At(AFTER_STATE);
  const Field& afterThat = planet.At(AFTER_THAT);
  const Field& easyToOre = planet.At(BETWEEN_EASY_AND_ORE);          // words 1..4
  const Field& easyToOre5 = planet.At(BETWEEN_EASY_AND_ORE + 16);    // word 5
  const Field& easyToOre6 = planet.At(BETWEEN_EASY_AND_ORE + 20);    // words 6 and 7
  const Field& easyToOre9 = planet.At(BETWEEN_EASY_AND_ORE + 32);    // word 9
  const Field& afterCash = planet.At(AFTER_CASH);
};

const PlanetFields& Fields() {
  static const PlanetFields fields;
  return fields;
}

int Clamp(long long v, int lo, int hi) { return static_cast<int>(std::clamp<long long>(v, lo, hi)); }

// The unnamed words that the defaults set; the eighth of the nine words between easyM
// and oreN keeps its value. The four int16 words at the start set to -1 are the bytes of
// two int32 fields, each then -1 as well (every byte 0xFF).
void SetFixedWords(Record& p) {
  const PlanetFields& f = Fields();
  static_assert(LEADING_WORDS == 0, "the leading words are the record's first eight bytes");
  p.Set(f.leadingFirst, -1);
  p.Set(f.leadingSecond, -1);
  p.Set(f.afterThat, 0);
  for (int i = 1; i <= 4; ++i) p.Set(f.easyToOre, 0, i);
  p.Set(f.easyToOre5, 2147483647);
  p.Set(f.easyToOre6, 0, 1);
  p.Set(f.easyToOre6, 0, 2);
  p.Set(f.easyToOre9, 0);
  p.Set(f.afterCash, 0);
}

// Natives: each of the ten kinds with chance 0.08, plentiful by the native level.
void DrawNatives(Random& rnd, Record& p, int32_t level) {
  const Field& native = Fields().native;
  for (int i = 1; i <= 10; ++i) {
    long long v = 0;
    if (rnd.Next() < 0.08) {
      if (rnd.Next() * 10 < level) {
        v = RoundToInt(rnd.Next() * 100000.0 * level);
      } else if (rnd.Next() < 0.2) {
        v = RoundToInt(rnd.Next() * 10000);
      }
    }
    p.Set(native, v, i);
  }
}

// The ground: stress, inertia, base frequency, soil (best in a mild climate) and how
// easily each mineral is mined.
void DrawGround(Random& rnd, Record& p) {
  const PlanetFields& f = Fields();
  p.Set(f.hdStress, RoundToInt(rnd.Next() * 500 + 50));
  p.Set(f.hdInteria, RoundToInt(rnd.Next() * 100));
  p.Set(f.hdBaseFreq, RoundToInt(rnd.Next() * 6.5 - 3));
  if (rnd.Next() < 0.05) p.Set(f.hdBaseFreq, RoundToInt(rnd.Next() * 15 + 3));

  p.Set(f.soil, RoundToInt(rnd.Next() * 100 + (50 - std::abs(50 - p.Get(f.climate))) * 3.0));

  p.Set(f.easyN, RoundToInt(rnd.Next() * 80 + 20));
  p.Set(f.easyD, RoundToInt(rnd.Next() * 90 + 10));
  p.Set(f.easyT, RoundToInt(rnd.Next() * 80 + 10));
  p.Set(f.easyM, RoundToInt(rnd.Next() * 60 + 5));
}

// Ores and minerals lying about, by the cargo level.
void DrawCargo(Random& rnd, Record& p, int32_t level) {
  const PlanetFields& f = Fields();
  const double m = static_cast<double>(level) * level * 2;
  auto cargoLine = [&](const Field& field, double a, double b) {
    double u1 = rnd.Next();
    double u2 = rnd.Next();
    p.Set(field, RoundToInt(u1 * a * m + u2 * b));
  };
  cargoLine(f.oreN, 100, 100);
  cargoLine(f.oreD, 80, 80);
  cargoLine(f.oreT, 50, 50);
  cargoLine(f.oreM, 20, 20);
  cargoLine(f.eleN, 10, 100);
  cargoLine(f.eleD, 80, 100);
  cargoLine(f.eleT, 50, 50);
  cargoLine(f.eleM, 20, 50);
}

// Resources in the ground by the mineral level, then the rare rich deposits.
void DrawResources(Random& rnd, Record& p, int32_t level) {
  const PlanetFields& f = Fields();
  const double q = static_cast<double>(level) * level + 2;
  p.Set(f.resN, RoundToInt(rnd.Next() * 300 * q));
  p.Set(f.resD, RoundToInt(rnd.Next() * 250 * q));
  p.Set(f.resT, RoundToInt(rnd.Next() * 250 * q));
  p.Set(f.resM, RoundToInt(rnd.Next() * 150 * q));

  const double k = level;
  if (static_cast<int>(std::floor(rnd.Next() * 20)) == 10) p.Set(f.resN, RoundToInt(rnd.Next() * 30000 * k + 5000));
  if (static_cast<int>(std::floor(rnd.Next() * 22)) == 10) p.Set(f.resD, RoundToInt(rnd.Next() * 25000 * k + 5000));
  if (static_cast<int>(std::floor(rnd.Next() * 25)) == 10) p.Set(f.resT, RoundToInt(rnd.Next() * 17000 * k + 5000));
  if (static_cast<int>(std::floor(rnd.Next() * 28)) == 10) p.Set(f.resM, RoundToInt(rnd.Next() * 10000 * k + 5000));
}

// Each of the twelve contraband kinds by the contraband level, now and then a hoard.
void DrawContraband(Random& rnd, Record& p, int32_t level) {
  const Field& contraband = Fields().contraband;
  for (int i = 1; i <= 12; ++i) {
    long long v = 0;
    if (rnd.Next() * 35 - 1 < level) {
      v = RoundToInt(rnd.Next() * 10 * level);
      if (rnd.Next() < 0.18) v = RoundToInt(rnd.Next() * 500 + 500);
    }
    p.Set(contraband, v, i);
  }
}

}  // namespace

void DrawStarHeat(ObjectSession& s) {
  Record& p = s.records.planet;
  const PlanetFields& f = Fields();
  double u = s.random.Next();
  p.Set(f.starHeat, Clamp(RoundToInt(u * 20 + p.Get(f.star) * 4.0 - 10), 0, 100));
}

void RandomPlanet(ObjectSession& s) {
  Record& p = s.records.planet;
  Random& rnd = s.random;
  const HomeSettings& h = s.home;
  const PlanetFields& f = Fields();

  SetFixedWords(p);
  p.Set(f.nameKey, 0);
  p.Set(f.state, 0);
  p.Set(f.afterState, RoundToInt(rnd.Next() * 176 + 1));

  DrawStarHeat(s);
  p.Set(f.climate, Clamp(RoundToInt(rnd.Next() * 30 + p.Get(f.starHeat) - 15), 0, 100));
  DrawNatives(rnd, p, h.native);
  DrawGround(rnd, p);
  DrawCargo(rnd, p, h.cargo);
  DrawResources(rnd, p, h.mineral);

  p.Set(f.eleFood, RoundToInt(rnd.Next() * 150 + 50));
  p.Set(f.eleMed, RoundToInt(rnd.Next() * p.Get(f.eleFood)));
  DrawContraband(rnd, p, h.contraband);

  if (rnd.Next() < 0.2 && h.cargo > 1) p.Set(f.eleFix, RoundToInt(rnd.Next() * 1000));
  if (rnd.Next() < 0.3 && h.cargo > 1) p.Set(f.eleS, RoundToInt(rnd.Next() * 100));
}

void NewPlanet(ObjectSession& s) {
  RandomPlanet(s);
  SetDefaultPosition(s.random, s.records.planet, Fields().x, Fields().y);
}

}  // namespace tarvik
