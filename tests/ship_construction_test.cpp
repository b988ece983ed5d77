// Ships built on forged hulls: defaults from the hull's capacities, the order of the
// random draws, the hull-zero and unknown-hull paths, and trimming back to the hull.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "base/text.h"
#include "forge/forge.h"
#include "objects/ship_construction.h"
#include "packs/ship_packs.h"
#include "platform/rounding.h"
#include "test_support.h"

namespace tarvik {
namespace {

class ShipTest : public ::testing::Test {
 protected:
  ShipTest() { BuildBitValues(s()); }
  Session& s() { return ts.s(); }
  Record& ship() { return s().records.ship; }

  // Writes one ship pack with these hulls and loads the packs (hull types 1..125 are
  // always needed, so the pack is kept).
  void UsePack(const std::vector<forge::HullSpec>& hulls) {
    forge::ShipPackSpec pack;
    pack.hulls = hulls;
    forge::WriteShipPack(ts.dir.path() + "ships/test.spk", pack);
    LoadShipPacks(s());
  }
  static forge::HullSpec Hull(int type) {
    forge::HullSpec h;
    h.hullType = type;
    h.name = "Hull " + std::to_string(type);
    return h;
  }
  // The run-log lines written after line `from`, without their line ends.
  std::vector<std::string> LogLines(int from = 0) {
    std::vector<std::string> out;
    for (int i = from + 1; i <= s().log.lineCount; ++i) {
      std::string l = s().log.lines[i];
      while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
      out.push_back(l);
    }
    return out;
  }

  test::TestSession ts;
};

TEST_F(ShipTest, SuppliesAndCrewFollowTheHullCapacities) {
  forge::HullSpec h = Hull(7);
  h.name = "Longhauler";
  h.cargoCapacity = 100;
  h.passengerCapacity = 250;
  h.fuelCapacity = 5;
  h.ordnanceCapacity = 5;  // 2.5 rounds to 2
  h.fixCapacity = 10;      // 3.33 rounds to 3
  h.crewCapacity = 44;
  h.armorCapacity = 321;
  h.hullValues = {11, -22, 33};
  UsePack({h});

  NewShip(s(), 7);
  const Record& r = ship();
  EXPECT_EQ(r.Get("eleS"), 20);
  EXPECT_EQ(r.Get("eleFood"), 10);
  EXPECT_EQ(r.Get("eleMed"), 5);
  EXPECT_EQ(r.Get("fuel"), 2);
  EXPECT_EQ(r.Get("troops"), 25);
  EXPECT_EQ(r.Get("colonists"), 83);
  EXPECT_EQ(r.Get("eleOrd"), 2);
  EXPECT_EQ(r.Get("eleFix"), 3);
  EXPECT_EQ(r.Get("crew"), 44);
  EXPECT_EQ(r.Get("armor"), 321);
  EXPECT_EQ(r.Get("cash"), 30);
  EXPECT_EQ(r.Get("hullValues", 1), 11);
  EXPECT_EQ(r.Get("hullValues", 2), -22);
  EXPECT_EQ(r.Get("hullValues", 3), 33);
  EXPECT_FLOAT_EQ(r.GetFloat("factor"), 0.5f);
  EXPECT_EQ(r.Get("hull"), 7);
  EXPECT_EQ(r.Get("pNum"), 1);
  EXPECT_EQ(r.Get("eng"), 4);
  EXPECT_EQ(r.Get("shieldFlavor"), 2);
  // The name is the hull's plain name, blank-padded; the log is all blanks.
  EXPECT_EQ(r.Text("name"), FixedText("Longhauler", 40));
  EXPECT_EQ(r.Text("shipLog"), std::string(40, ' '));
  EXPECT_EQ(r.Text("extraCodes", 1), "ZZZ");
  EXPECT_EQ(r.Text("extraCodes", 2), "XXX");
  EXPECT_EQ(r.Text("extraCodes", 3), "YYY");
}

TEST_F(ShipTest, TroopsAreCappedAtOneThousand) {
  forge::HullSpec h = Hull(3);
  h.passengerCapacity = 20000;
  UsePack({h});
  NewShip(s(), 3);
  EXPECT_EQ(ship().Get("troops"), 1000);
  EXPECT_EQ(ship().Get("colonists"), 6667);
}

TEST_F(ShipTest, HugeWeaponIsTheLowestValueTheMaskAllows) {
  struct Case {
    int16_t mask;
    int huge;
  } cases[] = {{12, 3}, {32, 0}, {0, 0}, {1, 1}, {16, 5}, {-32768, 0}};
  std::vector<forge::HullSpec> hulls;
  for (size_t i = 0; i < std::size(cases); ++i) {
    forge::HullSpec h = Hull(static_cast<int>(i) + 1);
    h.hugeWeaponMask = cases[i].mask;
    hulls.push_back(h);
  }
  UsePack(hulls);
  for (size_t i = 0; i < std::size(cases); ++i) {
    NewShip(s(), static_cast<int>(i) + 1);
    EXPECT_EQ(ship().Get("hugeWeapon"), cases[i].huge) << "mask " << cases[i].mask;
  }
}

TEST_F(ShipTest, MountsAreFittedUpToTheSlotCounts) {
  forge::HullSpec h = Hull(5);
  h.pdWeaponSlots = 4;
  h.lWeaponSlots = 20;
  h.sWeaponSlots = 1;
  h.generatorSlots = 0;
  UsePack({h});
  NewShip(s(), 5);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), i <= 4 ? 3 : 0) << i;
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(ship().Get("lWeapon", i), 1) << i;
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(ship().Get("sWeapon", i), i <= 1 ? 3 : 0) << i;
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(ship().Get("generator", i), 0) << i;
}

// A pack from outside claiming more mounts than a ship holds: every mount of the array
// is fitted and nothing beyond the array changes; a negative count fits none.
TEST_F(ShipTest, MalformedSlotCountsStayInsideTheArrays) {
  forge::HullSpec h = Hull(9);
  h.pdWeaponSlots = 500;
  h.lWeaponSlots = -4;
  h.sWeaponSlots = 31;
  h.generatorSlots = 32767;
  UsePack({h});
  NewShip(s(), 9);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), 3);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(ship().Get("lWeapon", i), 0);
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(ship().Get("sWeapon", i), 3);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(ship().Get("generator", i), 3);
  // The unnamed block right after the generators (offsets 328..487) stays zero.
  for (int off = 328; off < 488; off += 4) EXPECT_EQ(ship().I32At(off), 0) << off;

  // Trimming against the same hull keeps all of them.
  TrimShip(s());
  EXPECT_EQ(ship().Get("pdWeapon", 10), 3);
  EXPECT_EQ(ship().Get("generator", 5), 3);
}

// Replays the generator from the same state: the ship's random fields come from the
// draws in the documented order, and no other draw is made.
TEST_F(ShipTest, RandomFieldsFollowTheDrawOrder) {
  UsePack({Hull(1)});
  Random replay = s().random;
  NewShip(s(), 1);

  auto draw = [&](double scale, double offset) { return RoundToInt(replay.Next() * scale + offset); };
  EXPECT_EQ(ship().Get("nameKey"), draw(300, 10));
  EXPECT_EQ(ship().Get("shipLogKey"), draw(400, 10));
  EXPECT_EQ(ship().Get("x"), draw(2000, 1000));
  EXPECT_EQ(ship().Get("y"), draw(2000, 1000));
  std::string code = "J";
  code += static_cast<char>(draw(20, 65));
  code += static_cast<char>(draw(20, 65));
  EXPECT_EQ(ship().Text("fCode"), code);
  EXPECT_EQ(ship().Get("happy"), draw(30, 60));
  EXPECT_EQ(ship().Get("skill"), draw(40, 50));
  EXPECT_EQ(ship().Get("experience"), draw(60, 40));
  EXPECT_EQ(s().random.Next(), replay.Next());
}

TEST_F(ShipTest, FleetCodeLettersRunFromAToU) {
  UsePack({Hull(1)});
  bool sawA = false, sawU = false;
  for (int i = 0; i < 400; ++i) {
    NewShip(s(), 1);
    std::string code = ship().Text("fCode");
    ASSERT_EQ(code[0], 'J');
    for (int k = 1; k <= 2; ++k) {
      ASSERT_GE(code[k], 'A');
      ASSERT_LE(code[k], 'U');
      sawA |= code[k] == 'A';
      sawU |= code[k] == 'U';
    }
  }
  EXPECT_TRUE(sawA);
  EXPECT_TRUE(sawU);
}

TEST_F(ShipTest, HullZeroAndUnknownHullLeaveTheShipReset) {
  UsePack({Hull(1)});
  const int mark = s().log.lineCount;
  std::fill(ship().bytes().begin(), ship().bytes().end(), 0x5A);
  Random before = s().random;
  NewShip(s(), 0);
  EXPECT_EQ(ship().bytes(), std::vector<uint8_t>(1424, 0));
  EXPECT_EQ(LogLines(mark), std::vector<std::string>{"Tarvik error: Hull type Zero"});

  std::fill(ship().bytes().begin(), ship().bytes().end(), 0x5A);
  NewShip(s(), 777);
  EXPECT_EQ(ship().bytes(), std::vector<uint8_t>(1424, 0));
  EXPECT_EQ(LogLines(mark), (std::vector<std::string>{"Tarvik error: Hull type Zero", "Script error.",
                                                  "Ship hull type:  777 not found", "in SPK data packs"}));
  // Neither path draws a random number.
  EXPECT_EQ(s().random.Next(), before.Next());
}

class TrimTest : public ShipTest {
 protected:
  void SetUp() override {
    forge::HullSpec h = Hull(2);
    h.cargoCapacity = 100;
    h.passengerCapacity = 600;
    h.fuelCapacity = 50;
    h.ordnanceCapacity = 40;
    h.fixCapacity = 30;
    h.crewCapacity = 20;
    h.armorCapacity = 10;
    h.hugeWeaponMask = 1;
    h.pdWeaponSlots = 4;
    h.lWeaponSlots = 2;
    h.sWeaponSlots = 0;
    h.generatorSlots = 3;
    UsePack({h, Hull(1)});
    NewShip(s(), 2);
    for (const char* f : {"eleFood", "eleMed", "eleS", "eleM", "eleT", "eleD", "troops", "colonists"}) {
      ship().Set(f, 0);
    }
  }
};

TEST_F(TrimTest, CargoKindsShareTheHoldInOrder) {
  ship().Set("eleFood", 80);
  ship().Set("eleMed", 50);
  ship().Set("eleS", 30);
  TrimShip(s());
  EXPECT_EQ(ship().Get("eleFood"), 80);
  EXPECT_EQ(ship().Get("eleMed"), 20);
  EXPECT_EQ(ship().Get("eleS"), 0);

  // Minerals come after food, medicine and supplies, in the order M, T, D.
  ship().Set("eleFood", 10);
  ship().Set("eleMed", 0);
  ship().Set("eleS", 0);
  ship().Set("eleD", 60);
  ship().Set("eleT", 60);
  ship().Set("eleM", 60);
  TrimShip(s());
  EXPECT_EQ(ship().Get("eleM"), 60);
  EXPECT_EQ(ship().Get("eleT"), 30);
  EXPECT_EQ(ship().Get("eleD"), 0);
}

TEST_F(TrimTest, PassengersShareTheRoomInOrder) {
  ship().Set("highGuard", 500);
  ship().Set("troops", 500);
  ship().Set("colonists", 500);
  TrimShip(s());
  EXPECT_EQ(ship().Get("highGuard"), 500);
  EXPECT_EQ(ship().Get("troops"), 100);
  EXPECT_EQ(ship().Get("colonists"), 0);
}

TEST_F(TrimTest, SingleCapsAndPositionLimits) {
  ship().Set("fuel", 51);
  ship().Set("eleOrd", 1000);
  ship().Set("eleFix", 31);
  ship().Set("crew", 999);
  ship().Set("armor", 11);
  ship().Set("x", 99000);
  ship().Set("y", 3);
  TrimShip(s());
  EXPECT_EQ(ship().Get("fuel"), 50);
  EXPECT_EQ(ship().Get("eleOrd"), 40);
  EXPECT_EQ(ship().Get("eleFix"), 30);
  EXPECT_EQ(ship().Get("crew"), 20);
  EXPECT_EQ(ship().Get("armor"), 10);
  EXPECT_EQ(ship().Get("x"), 99000);
  EXPECT_EQ(ship().Get("y"), 5);

  ship().Set("x", 100001);
  ship().Set("y", -7);
  ship().Set("fuel", 49);
  TrimShip(s());
  EXPECT_EQ(ship().Get("x"), 100000);
  EXPECT_EQ(ship().Get("y"), 5);
  EXPECT_EQ(ship().Get("fuel"), 49);
}

TEST_F(TrimTest, HugeWeaponMustBeAllowedByTheMask) {
  ship().Set("hugeWeapon", 2);  // mask 1 allows only value 1
  TrimShip(s());
  EXPECT_EQ(ship().Get("hugeWeapon"), 0);
  ship().Set("hugeWeapon", 1);
  TrimShip(s());
  EXPECT_EQ(ship().Get("hugeWeapon"), 1);
  ship().Set("hugeWeapon", 32000);  // far beyond any mask bit
  TrimShip(s());
  EXPECT_EQ(ship().Get("hugeWeapon"), 0);

  // A hull without a mask allows none.
  NewShip(s(), 1);
  ship().Set("hugeWeapon", 1);
  TrimShip(s());
  EXPECT_EQ(ship().Get("hugeWeapon"), 0);
}

TEST_F(TrimTest, MountsTheHullLacksAreCleared) {
  for (int i = 1; i <= 10; ++i) ship().Set("pdWeapon", 7, i);
  for (int i = 1; i <= 20; ++i) ship().Set("lWeapon", 7, i);
  for (int i = 1; i <= 30; ++i) ship().Set("sWeapon", 7, i);
  for (int i = 1; i <= 5; ++i) ship().Set("generator", 7, i);
  TrimShip(s());
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), i <= 4 ? 7 : 0) << i;
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(ship().Get("lWeapon", i), i <= 2 ? 7 : 0) << i;
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(ship().Get("sWeapon", i), 0) << i;
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(ship().Get("generator", i), i <= 3 ? 7 : 0) << i;
}

TEST_F(TrimTest, UnknownHullLeavesTheShipUnchanged) {
  ship().Set("hull", 777);
  ship().Set("eleFood", 5000);
  ship().Set("x", 1);
  const std::vector<uint8_t> before = ship().bytes();
  const int mark = s().log.lineCount;
  TrimShip(s());
  EXPECT_EQ(ship().bytes(), before);
  EXPECT_EQ(LogLines(mark), (std::vector<std::string>{"Script error: TrimShip", "Ship hull type:  777 not found",
                                                      "in SPK data packs"}));
}

// A hull type outside 1..2000 skips the lookup and the mount clearing; the caps come
// from the hull record loaded last (here hull 2, loaded by NewShip).
TEST_F(TrimTest, HullOutsideTheRangeUsesTheLastLoadedHull) {
  ship().Set("hull", 2001);
  ship().Set("pdWeapon", 7, 10);
  ship().Set("eleFood", 500);
  ship().Set("crew", 500);
  const int mark = s().log.lineCount;
  TrimShip(s());
  EXPECT_EQ(ship().Get("pdWeapon", 10), 7);
  EXPECT_EQ(ship().Get("eleFood"), 100);
  EXPECT_EQ(ship().Get("crew"), 20);
  EXPECT_EQ(s().log.lineCount, mark);
}

TEST(FlagBit, TestsEachOfTheThirtyOneBits) {
  test::TestSession ts;
  BuildBitValues(ts.s());
  for (int n = 0; n <= 30; ++n) {
    const int32_t word = static_cast<int32_t>(1u << n);
    EXPECT_TRUE(TestFlagBit(ts.s(), n, word)) << n;
    EXPECT_FALSE(TestFlagBit(ts.s(), n, ~word)) << n;
  }
  // Bit 31 (the sign) and bit numbers outside 0..30 are never reported set.
  EXPECT_FALSE(TestFlagBit(ts.s(), 31, -1));
  EXPECT_FALSE(TestFlagBit(ts.s(), -1, -1));
  EXPECT_TRUE(TestFlagBit(ts.s(), 30, -1));
}

}  // namespace
}  // namespace tarvik
