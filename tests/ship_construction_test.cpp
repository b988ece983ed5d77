// Ships built on forged hulls: defaults from the hull's capacities, the mounts, the
// hull-zero and unknown-hull paths, and trimming back to the hull. The random fields'
// draws are pinned by the recorded runs' universe files.
#include "objects/ship_construction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "base/text.h"
#include "forge/forge.h"
#include "packs/ship_packs.h"
#include "test_support.h"

namespace tarvik {
namespace {

using Values = std::vector<std::pair<const char*, int>>;

class ShipTest : public ::testing::Test {
 protected:
  ShipTest() { BuildBitValues(s()); }
  Session& s() { return ts.s(); }
  Record& ship() { return s().records.ship; }

  void UsePack(const std::vector<forge::HullRecipe>& hulls) {
    forge::ShipPackRecipe pack;
    pack.hulls = hulls;
    forge::WriteShipPack(ts.dir.path() + "ships/test.spk", pack);
    LoadShipPacks(s());
  }
  void Trim(const Values& values) {
    for (auto [f, v] : values) ship().Set(f, v);
    TrimShip(s());
  }
  void Expect(const Values& values) {
    for (auto [f, v] : values) EXPECT_EQ(ship().Get(f), v) << f;
  }
  // The run-log lines after line `from`, without their line ends.
  std::vector<std::string> LogLines(int from) {
    std::vector<std::string> out;
    for (int i = from + 1; i <= s().log.lineCount; ++i) {
      const std::string& line = LogWindowLine(s().log, i);
      out.push_back(line.substr(0, line.find('\r')));
    }
    return out;
  }

  test::TestSession ts;
};

TEST_F(ShipTest, DefaultsFollowTheHull) {
  const forge::HullRecipe h{.hullType = 7, .name = "Longhauler", .fuelCapacity = 5, .crewCapacity = 44,
                          .passengerCapacity = 250, .armorCapacity = 321, .hullValues = {11, -22, 33},
                          .cargoCapacity = 100, .ordnanceCapacity = 5 /* 2.5 rounds to 2 */, .fixCapacity = 10};
  std::vector<forge::HullRecipe> hulls = {h, {.hullType = 8, .passengerCapacity = 20000}};
  // The huge weapon is the lowest value the hull's mask allows.
  const int16_t masks[] = {12, 32, 0, 1, 16, -32768};
  const int huge[] = {3, 0, 0, 1, 5, 0};
  for (int i = 0; i < 6; ++i) hulls.push_back({.hullType = i + 1, .hugeWeaponMask = masks[i]});
  UsePack(hulls);

  NewShip(s(), 7);
  Expect({{"eleS", 20}, {"eleFood", 10}, {"eleMed", 5}, {"fuel", 2}, {"troops", 25}, {"colonists", 83},
          {"eleOrd", 2}, {"eleFix", 3}, {"crew", 44}, {"armor", 321}, {"cash", 30}});
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(ship().Get("hullValues", i), h.hullValues[i - 1]);
  EXPECT_FLOAT_EQ(ship().GetFloat("factor"), 0.5f);
  EXPECT_EQ(ship().Text("name"), FixedText("Longhauler", 40));  // plain, not scrambled
  EXPECT_EQ(ship().Text("shipLog"), std::string(40, ' '));
  EXPECT_EQ(ship().Text("extraCodes", 1) + ship().Text("extraCodes", 2) + ship().Text("extraCodes", 3), "ZZZXXXYYY");
  NewShip(s(), 8);
  Expect({{"troops", 1000}, {"colonists", 6667}});
  for (int i = 0; i < 6; ++i) {
    NewShip(s(), i + 1);
    EXPECT_EQ(ship().Get("hugeWeapon"), huge[i]) << "mask " << masks[i];
  }
}

// Slot counts outside 0..array size (a pack from outside the game) fit every mount of
// the array, or none, and never touch what lies past the array.
TEST_F(ShipTest, MountsFollowTheSlotCountsAndStayInsideTheArrays) {
  UsePack({{.hullType = 9, .pdWeaponSlots = 4, .lWeaponSlots = -4, .sWeaponSlots = 31, .generatorSlots = 32767}});
  NewShip(s(), 9);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), i <= 4 ? 3 : 0);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(ship().Get("lWeapon", i), 0);
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(ship().Get("sWeapon", i), 3);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(ship().Get("generator", i), 3);
  for (int off = 328; off < 488; off += 4) EXPECT_EQ(ship().I32At(off), 0) << off;

  // Trimming clears only the mounts beyond the counts.
  for (int i = 1; i <= 10; ++i) ship().Set("pdWeapon", 7, i);
  Trim({{"lWeapon", 7}});
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), i <= 4 ? 7 : 0);
  Expect({{"lWeapon", 0}});
  EXPECT_EQ(ship().Get("sWeapon", 30), 3);
  EXPECT_EQ(ship().Get("generator", 5), 3);
}

TEST_F(ShipTest, HullZeroAndUnknownHullsAreReported) {
  UsePack({{.hullType = 1}});
  int mark = s().log.lineCount;
  Random before = s().random;
  for (int hull : {0, 777}) {
    std::fill(ship().bytes().begin(), ship().bytes().end(), 0x5A);
    NewShip(s(), hull);
    EXPECT_EQ(ship().bytes(), std::vector<uint8_t>(1424, 0)) << hull;
  }
  EXPECT_EQ(LogLines(mark), (std::vector<std::string>{"Tarvik error: Hull type Zero", "Script error.",
                                                      "Ship hull type:  777 not found", "in SPK data packs"}));
  EXPECT_EQ(s().random.Next(), before.Next());  // no draw on either path

  // Trimming a ship of an unknown hull leaves it unchanged.
  ship().Set("hull", 777);
  ship().Set("eleFood", 5000);
  const std::vector<uint8_t> kept = ship().bytes();
  mark = s().log.lineCount;
  TrimShip(s());
  EXPECT_EQ(ship().bytes(), kept);
  EXPECT_EQ(LogLines(mark), (std::vector<std::string>{"Script error: TrimShip", "Ship hull type:  777 not found",
                                                      "in SPK data packs"}));
}

// Each step sets some fields, trims, and expects the results.
TEST_F(ShipTest, TrimmingCapsCargoPassengersPositionAndHugeWeapon) {
  UsePack({{.hullType = 2, .hugeWeaponMask = 1, .fuelCapacity = 50, .crewCapacity = 20, .passengerCapacity = 600,
            .cargoCapacity = 100},
           {.hullType = 1}});
  NewShip(s(), 2);
  for (const char* f : {"eleFood", "eleMed", "eleS", "eleM", "eleT", "eleD", "troops", "colonists"}) ship().Set(f, 0);
  const std::pair<Values, Values> steps[] = {  // fields set, then the fields expected after trimming
      // Cargo room is shared in the order food, medicine, supplies, M, T, D.
      {{{"eleFood", 80}, {"eleMed", 50}, {"eleS", 30}}, {{"eleFood", 80}, {"eleMed", 20}, {"eleS", 0}}},
      {{{"eleFood", 10}, {"eleMed", 0}, {"eleD", 60}, {"eleT", 60}, {"eleM", 60}},
       {{"eleM", 60}, {"eleT", 30}, {"eleD", 0}}},
      // Passenger room in the order high guard, troops, colonists.
      {{{"highGuard", 500}, {"troops", 500}, {"colonists", 500}},
       {{"highGuard", 500}, {"troops", 100}, {"colonists", 0}}},
      {{{"fuel", 51}, {"crew", 999}, {"x", 99000}, {"y", 3}, {"hugeWeapon", 2}},
       {{"fuel", 50}, {"crew", 20}, {"x", 99000}, {"y", 5}, {"hugeWeapon", 0}}},
      {{{"fuel", 49}, {"x", 100001}, {"y", -7}, {"hugeWeapon", 1}},
       {{"fuel", 49}, {"x", 100000}, {"y", 5}, {"hugeWeapon", 1}}},
      {{{"hugeWeapon", 32000}}, {{"hugeWeapon", 0}}},  // beyond every mask bit
  };
  for (size_t k = 0; k < std::size(steps); ++k) {
    SCOPED_TRACE("step " + std::to_string(k + 1));
    Trim(steps[k].first);
    Expect(steps[k].second);
  }
  // A hull type outside 1..2000 is not looked up: the caps come from the hull loaded
  // last (hull 1 here: no mask, fuel room 100).
  NewShip(s(), 1);
  Trim({{"hull", 2001}, {"hugeWeapon", 1}, {"fuel", 500}, {"pdWeapon", 7}});
  Expect({{"hugeWeapon", 0}, {"fuel", 100}, {"pdWeapon", 7}});
}

}  // namespace
}  // namespace tarvik
