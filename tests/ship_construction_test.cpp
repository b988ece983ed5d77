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

forge::HullSpec Hull(int type) {
  forge::HullSpec h;
  h.hullType = type;
  h.name = "Hull " + std::to_string(type);
  return h;
}

class ShipTest : public ::testing::Test {
 protected:
  ShipTest() { BuildBitValues(s()); }
  Session& s() { return ts.s(); }
  Record& ship() { return s().records.ship; }

  // One kept ship pack with these hulls (types 1..125 are always needed).
  void UsePack(const std::vector<forge::HullSpec>& hulls) {
    forge::ShipPackSpec pack;
    pack.hulls = hulls;
    forge::WriteShipPack(ts.dir.path() + "ships/test.spk", pack);
    LoadShipPacks(s());
  }
  // The run-log lines after line `from`, without their line ends.
  std::vector<std::string> LogLines(int from) {
    std::vector<std::string> out;
    for (int i = from + 1; i <= s().log.lineCount; ++i) {
      std::string line = s().log.lines[i];
      while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
      out.push_back(line);
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
  h.fixCapacity = 10;
  h.crewCapacity = 44;
  h.armorCapacity = 321;
  h.hullValues = {11, -22, 33};
  forge::HullSpec big = Hull(8);
  big.passengerCapacity = 20000;
  UsePack({h, big});

  NewShip(s(), 7);
  const Record& r = ship();
  const char* fields[] = {"eleS", "eleFood", "eleMed", "fuel", "troops", "colonists", "eleOrd", "eleFix", "crew", "armor", "cash"};
  const int want[] = {20, 10, 5, 2, 25, 83, 2, 3, 44, 321, 30};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(r.Get(fields[i]), want[i]) << fields[i];
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(r.Get("hullValues", i), h.hullValues[i - 1]);
  EXPECT_FLOAT_EQ(r.GetFloat("factor"), 0.5f);
  EXPECT_EQ(r.Text("name"), FixedText("Longhauler", 40));  // plain, not scrambled
  EXPECT_EQ(r.Text("shipLog"), std::string(40, ' '));
  EXPECT_EQ(r.Text("extraCodes", 1) + r.Text("extraCodes", 2) + r.Text("extraCodes", 3), "ZZZXXXYYY");

  NewShip(s(), 8);
  EXPECT_EQ(ship().Get("troops"), 1000);
  EXPECT_EQ(ship().Get("colonists"), 6667);
}

TEST_F(ShipTest, HugeWeaponIsTheLowestValueTheMaskAllows) {
  const int16_t masks[] = {12, 32, 0, 1, 16, -32768};
  const int huge[] = {3, 0, 0, 1, 5, 0};
  std::vector<forge::HullSpec> hulls;
  for (int i = 0; i < 6; ++i) {
    hulls.push_back(Hull(i + 1));
    hulls.back().hugeWeaponMask = masks[i];
  }
  UsePack(hulls);
  for (int i = 0; i < 6; ++i) {
    NewShip(s(), i + 1);
    EXPECT_EQ(ship().Get("hugeWeapon"), huge[i]) << "mask " << masks[i];
  }
}

// Slot counts outside 0..array size (a pack from outside the game) fit every mount of
// the array, or none, and never touch what lies past the array.
TEST_F(ShipTest, MountsFollowTheSlotCountsAndStayInsideTheArrays) {
  forge::HullSpec h = Hull(9);
  h.pdWeaponSlots = 4;
  h.lWeaponSlots = -4;
  h.sWeaponSlots = 31;
  h.generatorSlots = 32767;
  UsePack({h});
  NewShip(s(), 9);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), i <= 4 ? 3 : 0);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(ship().Get("lWeapon", i), 0);
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(ship().Get("sWeapon", i), 3);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(ship().Get("generator", i), 3);
  for (int off = 328; off < 488; off += 4) EXPECT_EQ(ship().I32At(off), 0) << off;

  // Trimming clears only the mounts beyond the counts.
  for (int i = 1; i <= 10; ++i) ship().Set("pdWeapon", 7, i);
  ship().Set("lWeapon", 7, 1);
  TrimShip(s());
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(ship().Get("pdWeapon", i), i <= 4 ? 7 : 0);
  EXPECT_EQ(ship().Get("lWeapon", 1), 0);
  EXPECT_EQ(ship().Get("sWeapon", 30), 3);
  EXPECT_EQ(ship().Get("generator", 5), 3);
}

// Replays the generator from the same state: the random fields come from the draws in
// the documented order, and no other draw is made.
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

TEST_F(ShipTest, HullZeroAndUnknownHullLeaveTheShipReset) {
  UsePack({Hull(1)});
  const int mark = s().log.lineCount;
  Random before = s().random;
  for (int hull : {0, 777}) {
    std::fill(ship().bytes().begin(), ship().bytes().end(), 0x5A);
    NewShip(s(), hull);
    EXPECT_EQ(ship().bytes(), std::vector<uint8_t>(1424, 0)) << hull;
  }
  EXPECT_EQ(LogLines(mark), (std::vector<std::string>{"Tarvik error: Hull type Zero", "Script error.",
                                                      "Ship hull type:  777 not found", "in SPK data packs"}));
  EXPECT_EQ(s().random.Next(), before.Next());  // no draw on either path
}

class TrimTest : public ShipTest {
 protected:
  void SetUp() override {
    forge::HullSpec h = Hull(2);
    h.cargoCapacity = 100;
    h.passengerCapacity = 600;
    h.fuelCapacity = 50;
    h.crewCapacity = 20;
    h.hugeWeaponMask = 1;
    UsePack({h, Hull(1)});
    NewShip(s(), 2);
    for (const char* f : {"eleFood", "eleMed", "eleS", "eleM", "eleT", "eleD", "troops", "colonists"}) ship().Set(f, 0);
  }
  void Trim(std::initializer_list<std::pair<const char*, int>> values) {
    for (auto [f, v] : values) ship().Set(f, v);
    TrimShip(s());
  }
  void Expect(std::initializer_list<std::pair<const char*, int>> values) {
    for (auto [f, v] : values) EXPECT_EQ(ship().Get(f), v) << f;
  }
};

TEST_F(TrimTest, CargoAndPassengersShareTheirRoomInOrder) {
  Trim({{"eleFood", 80}, {"eleMed", 50}, {"eleS", 30}});
  Expect({{"eleFood", 80}, {"eleMed", 20}, {"eleS", 0}});
  Trim({{"eleFood", 10}, {"eleMed", 0}, {"eleD", 60}, {"eleT", 60}, {"eleM", 60}});
  Expect({{"eleM", 60}, {"eleT", 30}, {"eleD", 0}});
  Trim({{"highGuard", 500}, {"troops", 500}, {"colonists", 500}});
  Expect({{"highGuard", 500}, {"troops", 100}, {"colonists", 0}});
}

TEST_F(TrimTest, SingleCapsPositionAndHugeWeapon) {
  Trim({{"fuel", 51}, {"crew", 999}, {"x", 99000}, {"y", 3}, {"hugeWeapon", 2}});
  Expect({{"fuel", 50}, {"crew", 20}, {"x", 99000}, {"y", 5}, {"hugeWeapon", 0}});
  Trim({{"fuel", 49}, {"x", 100001}, {"y", -7}, {"hugeWeapon", 1}});
  Expect({{"fuel", 49}, {"x", 100000}, {"y", 5}, {"hugeWeapon", 1}});
  Trim({{"hugeWeapon", 32000}});  // beyond every mask bit
  Expect({{"hugeWeapon", 0}});

  // A hull type outside 1..2000 is not looked up: the caps come from the hull loaded
  // last (hull 1 here, which has no mask and no fuel room).
  NewShip(s(), 1);
  Trim({{"hull", 2001}, {"hugeWeapon", 1}, {"fuel", 500}, {"pdWeapon", 7}});
  Expect({{"hugeWeapon", 0}, {"fuel", 100}, {"pdWeapon", 7}});
}

TEST_F(TrimTest, UnknownHullLeavesTheShipUnchanged) {
  ship().Set("hull", 777);
  ship().Set("eleFood", 5000);
  const std::vector<uint8_t> before = ship().bytes();
  const int mark = s().log.lineCount;
  TrimShip(s());
  EXPECT_EQ(ship().bytes(), before);
  EXPECT_EQ(LogLines(mark), (std::vector<std::string>{"Script error: TrimShip", "Ship hull type:  777 not found",
                                                      "in SPK data packs"}));
}

}  // namespace
}  // namespace tarvik
