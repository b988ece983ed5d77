#include "objects/planet_defaults.h"

#include <algorithm>
#include <cmath>

#include "objects/constructors.h"
#include "objects/object_session.h"
#include "platform/rounding.h"

namespace tarvik {

namespace {

// Unnamed places of the planet record that the defaults fill.
constexpr int LEADING_WORDS = 0;           // four int16 from offset 0, set to -1
constexpr int AFTER_STATE = 54;            // int16, 1..177
constexpr int AFTER_THAT = 56;             // int16, 0
constexpr int BETWEEN_EASY_AND_ORE = 128;  // nine int32
constexpr int AFTER_CASH = 284;            // int32, 0

int Clamp(long long v, int lo, int hi) { return static_cast<int>(std::clamp<long long>(v, lo, hi)); }

// The unnamed words that the defaults set; the eighth of the nine words between easyM
// and oreN keeps its value.
void SetFixedWords(Record& p) {
  for (int i = 0; i < 4; ++i) p.SetI16At(LEADING_WORDS + 2 * i, -1);
  p.SetI16At(AFTER_THAT, 0);
  for (int i = 0; i < 4; ++i) p.SetI32At(BETWEEN_EASY_AND_ORE + 4 * i, 0);
  p.SetI32At(BETWEEN_EASY_AND_ORE + 16, 2147483647);
  p.SetI32At(BETWEEN_EASY_AND_ORE + 20, 0);
  p.SetI32At(BETWEEN_EASY_AND_ORE + 24, 0);
  p.SetI32At(BETWEEN_EASY_AND_ORE + 32, 0);
  p.SetI32At(AFTER_CASH, 0);
}

// Natives: each of the ten kinds with chance 0.08, plentiful by the native level.
void DrawNatives(Random& rnd, Record& p, int32_t level) {
  const Field& native = p.layout().Get("native");
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
  p.Set("hdStress", RoundToInt(rnd.Next() * 500 + 50));
  p.Set("hdInteria", RoundToInt(rnd.Next() * 100));
  p.Set("hdBaseFreq", RoundToInt(rnd.Next() * 6.5 - 3));
  if (rnd.Next() < 0.05) p.Set("hdBaseFreq", RoundToInt(rnd.Next() * 15 + 3));

  p.Set("soil", RoundToInt(rnd.Next() * 100 + (50 - std::abs(50 - p.Get("climate"))) * 3.0));

  p.Set("easyN", RoundToInt(rnd.Next() * 80 + 20));
  p.Set("easyD", RoundToInt(rnd.Next() * 90 + 10));
  p.Set("easyT", RoundToInt(rnd.Next() * 80 + 10));
  p.Set("easyM", RoundToInt(rnd.Next() * 60 + 5));
}

// Ores and minerals lying about, by the cargo level.
void DrawCargo(Random& rnd, Record& p, int32_t level) {
  const double m = static_cast<double>(level) * level * 2;
  auto cargoLine = [&](const char* field, double a, double b) {
    double u1 = rnd.Next();
    double u2 = rnd.Next();
    p.Set(field, RoundToInt(u1 * a * m + u2 * b));
  };
  cargoLine("oreN", 100, 100);
  cargoLine("oreD", 80, 80);
  cargoLine("oreT", 50, 50);
  cargoLine("oreM", 20, 20);
  cargoLine("eleN", 10, 100);
  cargoLine("eleD", 80, 100);
  cargoLine("eleT", 50, 50);
  cargoLine("eleM", 20, 50);
}

// Resources in the ground by the mineral level, then the rare rich deposits.
void DrawResources(Random& rnd, Record& p, int32_t level) {
  const double q = static_cast<double>(level) * level + 2;
  p.Set("resN", RoundToInt(rnd.Next() * 300 * q));
  p.Set("resD", RoundToInt(rnd.Next() * 250 * q));
  p.Set("resT", RoundToInt(rnd.Next() * 250 * q));
  p.Set("resM", RoundToInt(rnd.Next() * 150 * q));

  const double k = level;
  if (static_cast<int>(std::floor(rnd.Next() * 20)) == 10) p.Set("resN", RoundToInt(rnd.Next() * 30000 * k + 5000));
  if (static_cast<int>(std::floor(rnd.Next() * 22)) == 10) p.Set("resD", RoundToInt(rnd.Next() * 25000 * k + 5000));
  if (static_cast<int>(std::floor(rnd.Next() * 25)) == 10) p.Set("resT", RoundToInt(rnd.Next() * 17000 * k + 5000));
  if (static_cast<int>(std::floor(rnd.Next() * 28)) == 10) p.Set("resM", RoundToInt(rnd.Next() * 10000 * k + 5000));
}

// Each of the twelve contraband kinds by the contraband level, now and then a hoard.
void DrawContraband(Random& rnd, Record& p, int32_t level) {
  const Field& contraband = p.layout().Get("contraband");
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
  double u = s.random.Next();
  p.Set("starHeat", Clamp(RoundToInt(u * 20 + p.Get("star") * 4.0 - 10), 0, 100));
}

void RandomPlanet(ObjectSession& s) {
  Record& p = s.records.planet;
  Random& rnd = s.random;
  const HomeSettings& h = s.home;

  SetFixedWords(p);
  p.Set("nameKey", 0);
  p.Set("state", 0);
  p.SetI16At(AFTER_STATE, static_cast<int16_t>(RoundToInt(rnd.Next() * 176 + 1)));

  DrawStarHeat(s);
  p.Set("climate", Clamp(RoundToInt(rnd.Next() * 30 + p.Get("starHeat") - 15), 0, 100));
  DrawNatives(rnd, p, h.native);
  DrawGround(rnd, p);
  DrawCargo(rnd, p, h.cargo);
  DrawResources(rnd, p, h.mineral);

  p.Set("eleFood", RoundToInt(rnd.Next() * 150 + 50));
  p.Set("eleMed", RoundToInt(rnd.Next() * p.Get("eleFood")));
  DrawContraband(rnd, p, h.contraband);

  if (rnd.Next() < 0.2 && h.cargo > 1) p.Set("eleFix", RoundToInt(rnd.Next() * 1000));
  if (rnd.Next() < 0.3 && h.cargo > 1) p.Set("eleS", RoundToInt(rnd.Next() * 100));
}

void NewPlanet(ObjectSession& s) {
  RandomPlanet(s);
  SetDefaultPosition(s.random, s.records.planet);
}

}  // namespace tarvik
