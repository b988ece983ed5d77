// The constructors of bases, wings, pods, wreckage, minefields, things and buoys, and
// the lock of a base onto its nearest planet.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "base/text.h"
#include "objects/constructors.h"
#include "objects/object_store.h"
#include "platform/rounding.h"
#include "store_test_support.h"
#include "test_support.h"

namespace tarvik {
namespace {

class ConstructorTest : public ::testing::Test {
 protected:
  ConstructorTest() { BuildBitValues(s()); }
  Session& s() { return ts.s(); }
  Record& base() { return s().records.base; }
  test::TestSession ts;
};

// round(random * scale + offset) from a replayed generator.
long long Draw(Random& r, double scale, double offset = 0) { return RoundToInt(r.Next() * scale + offset); }

// ---- Bases ------------------------------------------------------------------------

// Builds `count` bases and checks that each field stays within its bounds; returns
// how often each value of the first field turned up (values lo..lo+9).
std::vector<int> BaseRanges(Session& s, int count, std::initializer_list<std::tuple<const char*, int, int>> bounds) {
  std::vector<int> seen(10);
  for (int n = 0; n < count; ++n) {
    NewBase(s);
    for (auto [field, lo, hi] : bounds) {
      const int v = s.records.base.Get(field);
      EXPECT_TRUE(v >= lo && v <= hi) << field << " = " << v;
      if (field == std::get<0>(*bounds.begin()) && v - lo < 10) ++seen[v - lo];
    }
  }
  return seen;
}

TEST_F(ConstructorTest, BaseMineralsFollowTheHomeMineralLevel) {
  const char* fields[] = {"oreN", "oreD", "oreT", "oreM", "eleN", "eleD", "eleT", "eleM"};
  const int fixed[] = {1000, 100, 70, 30, 600, 500, 400, 200};
  for (int level : {0, 1}) {
    s().home.homeMineral = level;
    NewBase(s());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(base().Get(fields[i]), fixed[i]) << fields[i] << " level " << level;
  }
  // From level 2 the ores scale with the draw; eleT and eleM only add it, so they move
  // by at most two units, and each rounding outcome of eleT turns up.
  s().home.homeMineral = 2;
  std::vector<int> eleT = BaseRanges(s(), 400, {{"eleT", 1200, 1202}, {"eleM", 600, 602}, {"oreN", 4000, 6000}, {"eleD", 1000, 1200}});
  EXPECT_GT(eleT[0], 0);
  EXPECT_GT(eleT[1], 0);
  EXPECT_GT(eleT[2], 0);
}

TEST_F(ConstructorTest, BaseFoodAndMedicineFollowHomeCargo) {
  BaseRanges(s(), 20, {{"eleFood", 0, 0}, {"eleMed", 0, 0}});
  s().home.homeCargo = 3;
  BaseRanges(s(), 200, {{"eleFood", 360, 370}, {"eleMed", 460, 480}});
}

TEST_F(ConstructorTest, BaseNativesFollowTheHomeNativeLevel) {
  // Level 5 gives each kind with chance 0.25: 2000 bases are 2000 trials per kind
  // (expected 500, deviation about 19) and 20000 in all (expected 5000, deviation
  // about 61). The bounds are five deviations wide and the seed is fixed: no flaking,
  // yet a wrong chance is caught. Level 0 gives none.
  for (int level : {0, 5}) {
    s().home.homeNative = level;
    int perKind[11] = {};
    int total = 0;
    for (int n = 0; n < 2000; ++n) {
      NewBase(s());
      for (int i = 1; i <= 10; ++i) {
        const int v = base().Get("native", i);
        ASSERT_TRUE(v >= 0 && v <= 5000000) << v;
        if (v > 0) ++perKind[i], ++total;
      }
    }
    if (level == 0) {
      EXPECT_EQ(total, 0);
      continue;
    }
    for (int i = 1; i <= 10; ++i) EXPECT_TRUE(perKind[i] > 400 && perKind[i] < 600) << "kind " << i << ": " << perKind[i];
    EXPECT_TRUE(total > 4700 && total < 5300) << total;
  }
}

// Replays the generator: every random field of the base in the documented order, with
// all optional parts switched on.
TEST_F(ConstructorTest, BaseDrawOrder) {
  s().home.homeMineral = 3;
  s().home.homeNative = 5;
  s().home.homeCargo = 2;
  Random r = s().random;
  NewBase(s());
  const Record& b = base();

  EXPECT_EQ(b.Text("name"), FixedText("Ground Base " + NumText(static_cast<long long>(std::floor(r.Next() * 4000))), 40));
  EXPECT_EQ(b.Get("nameKey"), Draw(r, 200, 10));
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(b.Get("nativeHappy", i), Draw(r, 60, 40)) << i;
    const long long want = r.Next() < 0.25 ? Draw(r, 5000000) : 0;
    EXPECT_EQ(b.Get("native", i), want) << i;
  }
  EXPECT_EQ(b.Get("colonistHappy"), Draw(r, 40, 60));
  using Step = std::tuple<const char*, double, double>;
  for (auto [f, a, c] : {Step{"oreN", 1000, 2000}, {"oreD", 2000, 1000}, {"oreT", 1300, 700}, {"oreM", 700, 300},
                         {"eleN", 300, 600}, {"eleD", 100, 500}}) {
    EXPECT_EQ(b.Get(f), RoundToInt((r.Next() * a + c) * 3)) << f;
  }
  EXPECT_EQ(b.Get("eleT"), RoundToInt((r.Next() + 600) * 3));
  EXPECT_EQ(b.Get("eleM"), RoundToInt((r.Next() + 300) * 3));
  for (auto [f, a, c] : {Step{"eleFood", 10, 340}, {"eleMed", 20, 440}, {"eleFix", 300, 2000}, {"eleS", 100, 200},
                         {"crew", 5000, 30000}, {"troop", 200, 1000}, {"highGuard", 10, 1}, {"eleOrd", 100, 1000},
                         {"crime", 30, 10}, {"rougeColonists", 30, 0}, {"rougeNatives", 100, 0}}) {
    EXPECT_EQ(b.Get(f), Draw(r, a, c)) << f;
  }
  EXPECT_EQ(b.Text("fCode")[0], static_cast<char>(std::floor(r.Next() * 20) + 65));
  EXPECT_EQ(static_cast<char>(b.bytes()[1122]), static_cast<char>(std::floor(r.Next() * 20) + 65));
  EXPECT_EQ(b.Get("x"), Draw(r, 2000, 1000));
  EXPECT_EQ(b.Get("y"), Draw(r, 2000, 1000));
  EXPECT_EQ(s().random.Next(), r.Next());
}

// ---- Wings ------------------------------------------------------------------------

TEST_F(ConstructorTest, WingRaceIsTheFirstRaceInPlay) {
  NewWing(s());
  EXPECT_EQ(s().records.wing.Get("raceNum"), 0);

  s().tables.gameRaceList[3].id = 41;
  s().tables.gameRaceList[5].id = 7;
  NewWing(s());
  EXPECT_EQ(s().records.wing.Get("raceNum"), 3);
}

// ---- Names, resets and carried fields across all kinds ------------------------------

struct KindCase {
  const char* kind;
  std::function<void(Session&)> make;
  Record WorkingRecords::*record;
  const char* label;  // nullptr: no generated name
  int range;
  int width;
  bool reset;
};

std::vector<KindCase> Kinds() {
  return {
      {"base", NewBase, &WorkingRecords::base, "Ground Base ", 4000, 40, true},
      {"wing", NewWing, &WorkingRecords::wing, "Wing ", 4000, 40, true},
      {"conPod", NewConPod, &WorkingRecords::conPod, "ConPod ", 1000, 20, true},
      {"orePod", NewOrePod, &WorkingRecords::orePod, "Ore Pod ", 1000, 20, true},
      {"lifePod", NewLifePod, &WorkingRecords::lifePod, "Life Pod ", 1000, 20, true},
      {"assaultPod", NewAssaultPod, &WorkingRecords::assaultPod, "Assault Pod ", 1000, 20, true},
      {"outfitPod", NewOutfitPod, &WorkingRecords::outfitPod, "Outfit Pod ", 1000, 20, true},
      {"nativePod", NewNativePod, &WorkingRecords::nativePod, "Native Pod ", 1000, 20, true},
      {"resupplyPod", NewResupplyPod, &WorkingRecords::resupplyPod, "Resupply Pod ", 1000, 20, false},
      {"goldPod", NewGoldPod, &WorkingRecords::goldPod, "Gold Pod ", 1000, 20, true},
      {"wreckage", NewWreckage, &WorkingRecords::wreckage, "Wreckage ", 1000, 20, true},
      {"minefield", NewMinefield, &WorkingRecords::minefield, nullptr, 0, 0, true},
      {"thing", NewThing, &WorkingRecords::thing, "Object: ", 9000, 40, false},
      {"buoy", NewBuoy, &WorkingRecords::buoy, "Buoy ", 2099, 40, false},
  };
}

// Every kind's generated name (the name is the first draw of each named kind), and
// whether it cleared the record: the last bytes of every record are set by no
// constructor, so they still hold the previous object's bytes when it did not.
TEST_F(ConstructorTest, NamesAndResetsOfEveryKind) {
  for (const KindCase& k : Kinds()) {
    Record& rec = s().records.*k.record;
    std::fill(rec.bytes().begin(), rec.bytes().end(), 0x33);
    Random r = s().random;
    k.make(s());
    EXPECT_EQ(rec.bytes().back(), k.reset ? 0 : 0x33) << k.kind;
    if (!k.label) continue;
    const long long number = static_cast<long long>(std::floor(r.Next() * k.range));
    EXPECT_EQ(rec.Text("name"), FixedText(std::string(k.label) + " " + std::to_string(number), k.width)) << k.kind;
  }
}

TEST_F(ConstructorTest, TwoBuoysInARow) {
  Record& b = s().records.buoy;
  NewBuoy(s());
  b.Set("id", 77);
  b.SetI32At(196, 1234);
  b.SetText("message", "Keep out");
  b.Set("range", 5);
  NewBuoy(s());
  // Fields the constructor does not set carry over; the ones it sets start afresh.
  EXPECT_EQ(b.Get("id"), 77);
  EXPECT_EQ(b.I32At(196), 1234);
  EXPECT_EQ(b.Text("message"), FixedText("Warning: Standby ", 120));
  EXPECT_EQ(b.Get("range"), 1000);
}

// ---- Wreckage ---------------------------------------------------------------------

// The chance rule draws a value only when its chance draw succeeds, and the engine
// count only when the engine is set.
TEST_F(ConstructorTest, WreckageDrawOrder) {
  for (int n = 0; n < 20; ++n) {
    Random r = s().random;
    NewWreckage(s());
    const Record& w = s().records.wreckage;
    r.Next();  // name
    for (const char* f : {"eleD", "eleT", "eleM", "cash"}) ASSERT_EQ(w.Get(f), Draw(r, 200)) << f;
    ASSERT_EQ(w.Get("eleN"), Draw(r, 300));
    ASSERT_EQ(w.Get("eleOrd"), Draw(r, 400));
    ASSERT_EQ(w.Get("eleS"), Draw(r, 300));
    ASSERT_EQ(w.Get("eleFix"), Draw(r, 200));
    ASSERT_EQ(w.Get("eleMed"), Draw(r, 200));
    ASSERT_EQ(w.Get("x"), Draw(r, 2000, 1000));
    ASSERT_EQ(w.Get("y"), Draw(r, 2000, 1000));
    auto chance = [&r](double p, double a, double b) -> long long { return r.Next() < p ? Draw(r, a, b) : 0; };
    for (auto [field, count] : {std::pair{"pdWeapon", 10}, {"lWeapon", 20}, {"sWeapon", 30}, {"gen", 5}}) {
      for (int i = 1; i <= count; ++i) ASSERT_EQ(w.Get(field, i), chance(0.3, 6, 1)) << field << i;
    }
    ASSERT_EQ(w.Get("hugeWeapon"), chance(0.1, 4, 1));
    ASSERT_EQ(w.Get("hypEng"), chance(0.5, 9, 1));
    const long long eng = chance(0.9, 19, 1);
    ASSERT_EQ(w.Get("eng"), eng);
    ASSERT_EQ(w.Get("engCount"), eng ? Draw(r, 20, 2) : 0);
    ASSERT_EQ(w.Get("shieldFlavor"), chance(0.4, 6, 1));
    for (int i = 1; i <= 12; ++i) ASSERT_EQ(w.Get("contraband", i), chance(0.2, 200, 0)) << i;
    ASSERT_EQ(w.Get("nameKey"), Draw(r, 200, 10));
    ASSERT_EQ(w.Get("countdown"), 60);
    ASSERT_EQ(s().random.Next(), r.Next());
  }
}

// ---- Locking a base to a planet ---------------------------------------------------------

class LockTest : public ConstructorTest {
 protected:
  void Planet(int id, int x, int y, int kind = ObjectKind::kPlanet) {
    s().tables.objects.objectKind[id] = static_cast<int16_t>(kind);
    s().tables.objects.objectX[id] = static_cast<int16_t>(x);
    s().tables.objects.objectY[id] = static_cast<int16_t>(y);
  }
  void BaseAt(int x, int y) {
    NewBase(s());
    base().Set("x", x);
    base().Set("y", y);
    base().Set("serial", 55);
  }
  int LockLines() {
    int n = 0;
    for (int i = 1; i <= s().log.lineCount; ++i) n += s().log.lines[i].rfind("Locking base to planet", 0) == 0;
    return n;
  }
};

TEST_F(LockTest, LocksOnlyBelowFiveThousand) {
  Planet(3, 1000, 6000);                     // exactly 5000 away
  Planet(4, 4000, 5000);                     // 3-4-5: 5000 away
  Planet(5, 1500, 1000, ObjectKind::kBase);  // near, but not a planet
  Planet(6, 0, 1000);                        // no position: skipped
  BaseAt(1000, 1000);
  const std::vector<uint8_t> before = base().bytes();
  LockBaseToPlanet(s());
  EXPECT_EQ(base().bytes(), before);
  EXPECT_EQ(LockLines(), 0);

  Planet(8, 5999, 1000);  // 4999 away
  LockBaseToPlanet(s());
  EXPECT_EQ(base().Get("x"), 5999);
  EXPECT_EQ(base().Get("y"), 1000);
  EXPECT_EQ(base().Get("planetId"), 8);
  EXPECT_EQ(base().Get("serial"), 0);
  EXPECT_EQ(LockLines(), 1);
}

TEST_F(LockTest, TiesGoToTheLowerIdentifier) {
  Planet(9, 1800, 1600);  // 1000 away
  Planet(4, 1600, 1800);  // 1000 away
  BaseAt(1000, 1000);
  LockBaseToPlanet(s());
  EXPECT_EQ(base().Get("planetId"), 4);

  // Distances that differ only beyond single precision are a tie too: planet 9 is
  // really the nearer one (4500.0 against 4500.0001), yet planet 4 keeps the lock.
  Planet(9, 1000 + 1260, 1000 + 4320);
  Planet(4, 1000 + 1, 1000 + 4500);
  BaseAt(1000, 1000);
  LockBaseToPlanet(s());
  EXPECT_EQ(base().Get("planetId"), 4);
  EXPECT_EQ(base().Get("x"), 1001);
}

// ---- Constructed objects go through the store ---------------------------------------

// Every kind as its constructor makes it is accepted by its store operation, and the
// record lands in the universe file byte for byte; the base is first locked onto the
// planet stored before it.
TEST_F(ConstructorTest, EveryKindIsStoredAsConstructed) {
  const std::string path = ts.dir.path() + "g1.yig";
  test::EmptyUniverse::Write(path);
  OpenObjectStore(s(), path);
  s().records.planet.Set("x", 2000);
  s().records.planet.Set("y", 2000);
  StorePlanet(s());
  const std::vector<std::function<void(Session&)>> stores = {
      StoreBase, StoreWing, StoreConPod, StoreOrePod, StoreLifePod, StoreAssaultPod, StoreOutfitPod,
      StoreNativePod, StoreResupplyPod, StoreGoldPod, StoreWreckage, StoreMinefield, StoreThing, StoreBuoy};
  std::vector<std::pair<int, std::vector<uint8_t>>> stored;
  const std::vector<KindCase> kinds = Kinds();
  for (size_t k = 0; k < kinds.size(); ++k) {
    kinds[k].make(s());
    if (k == 0) LockBaseToPlanet(s());
    stores[k](s());
    const Record& rec = s().records.*kinds[k].record;
    stored.push_back({rec.Get("id"), rec.bytes()});
  }
  EXPECT_EQ(base().Get("planetId"), 1);
  EXPECT_EQ(base().Get("x"), 2000);
  CloseObjectStore(s());

  test::FileImage f(path);
  for (const auto& [id, bytes] : stored) {
    const long long entry = test::EmptyUniverse::kIndexPos + 12LL * (id - 1);
    EXPECT_EQ(f.Bytes(f.I32(entry + 2), bytes.size()), bytes) << "object " << id;
  }
}

}  // namespace
}  // namespace tarvik
