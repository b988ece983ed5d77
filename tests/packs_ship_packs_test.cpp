// Ship packs: which packs are kept, which slot each takes, the hull index and loading
// one hull. Damaged packs are in packs_damaged_files_test.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/errors.h"
#include "base/text.h"
#include "forge/forge.h"
#include "log/run_log.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "test_support.h"

namespace tarvik {
namespace {

using forge::HullRecipe;
using forge::ShipPackRecipe;

ShipPackRecipe Pack(int id, int revision, std::vector<int> hulls) {
  ShipPackRecipe p{id, revision, {}};
  for (int h : hulls) p.hulls.push_back(HullRecipe{.hullType = h, .name = "Hull" + std::to_string(h)});
  return p;
}

class ShipPacks : public ::testing::Test {
 protected:
  std::string PackPath(const std::string& name) { return t.dir.path() + "ships/" + name; }
  void Write(const std::string& name, const ShipPackRecipe& desc) { forge::WriteShipPack(PackPath(name), desc); }
  Session& s() { return t.s(); }
  const PackEntry& Slot(int i) { return s().tables.shipPackList[i]; }
  const HullIndexEntry& Index(int h) { return s().packs.hullIndex[h]; }
  test::TestSession t;
};

TEST_F(ShipPacks, WithoutRacesOnlyHullsUpTo125AreNeededAndFreeSlotsGoFromTheTop) {
  Write("a.spk", Pack(1, 1, {30}));
  Write("b.spk", Pack(2, 1, {500}));
  Write("c.spk", Pack(3, 1, {0, 2001, -7, 2000, 1}));
  Write("d.spk", Pack(4, 1, {0, 2001}));
  LoadShipPacks(s());
  EXPECT_EQ(Slot(40).id, 1);
  EXPECT_EQ(Slot(40).fileStem, std::string("a\0\0\0\0\0\0\0", 8));
  EXPECT_EQ(ShipPackPath(s(), 40), s().paths.shipsDir + "a.spk");
  EXPECT_TRUE(HullKnown(s(), 30) && Index(30).kept);
  // Hull 500 is indexed all the same, in the slot of a pack that was not kept: that
  // slot stayed free and went to pack 3.
  EXPECT_TRUE(HullKnown(s(), 500));
  EXPECT_FALSE(Index(500).kept);
  EXPECT_EQ(Index(500).packSlot, 39);
  EXPECT_EQ(Slot(39).id, 3);
  // Types outside 1..2000 are skipped; a pack of only those is not kept.
  EXPECT_TRUE(HullKnown(s(), 1) && HullKnown(s(), 2000));
  for (int h : {31, 0, 2001, -7}) EXPECT_FALSE(HullKnown(s(), h)) << h;
  EXPECT_EQ(Slot(38).id, 0);
}

// Packs of one ID: a higher revision takes the last slot of a lower one, anything else
// a free slot; the hull index points at the slot and entry of the pack read last.
TEST_F(ShipPacks, RevisionsOfOnePackUpgradeOrTakeAFreeSlot) {
  struct Want { int slot, revision; char stem; };  // revision 0: the slot is free
  struct Case {
    const char* what;
    std::vector<ShipPackRecipe> packs;  // written as a.spk, b.spk, ...
    std::vector<Want> slots;
    std::vector<std::tuple<int, int, size_t>> index;  // hull, its slot, the pack whose entry it is
  };
  const Case cases[] = {
      {"2 then 4", {Pack(5, 2, {10}), Pack(5, 4, {11})}, {{40, 4, 'b'}, {39, 0, 0}}, {{10, 40, 0}, {11, 40, 1}}},
      {"4 then 2", {Pack(5, 4, {10, 12}), Pack(5, 2, {10})}, {{40, 4, 'a'}, {39, 2, 'b'}}, {{10, 39, 1}, {12, 40, 0}}},
      {"4, 2, 4", {Pack(5, 4, {10, 12}), Pack(5, 2, {10}), Pack(5, 4, {13})},
       {{40, 4, 'a'}, {39, 4, 'c'}, {38, 0, 0}}, {{10, 39, 1}, {12, 40, 0}, {13, 39, 2}}},
      {"3 and 3", {Pack(5, 3, {10}), Pack(5, 3, {11})}, {{40, 3, 'a'}, {39, 3, 'b'}}, {{10, 40, 0}, {11, 39, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TestSession fresh;
    for (size_t i = 0; i < c.packs.size(); ++i) {
      forge::WriteShipPack(fresh.dir.path() + "ships/" + char('a' + i) + ".spk", c.packs[i]);
    }
    LoadShipPacks(fresh.s());
    for (const Want& w : c.slots) {
      const PackEntry& e = fresh.s().tables.shipPackList[w.slot];
      EXPECT_EQ(std::tuple(e.id, e.revision, e.fileStem[0]), std::tuple(w.revision ? 5 : 0, w.revision, w.stem))
          << w.slot;
    }
    for (const auto& [hull, slot, pack] : c.index) {
      forge::ShipPackLayoutInfo info;
      forge::BuildShipPack(c.packs[pack], &info);
      const size_t k = c.packs[pack].hulls[0].hullType == hull ? 0 : 1;
      EXPECT_EQ(fresh.s().packs.hullIndex[hull].packSlot, slot) << hull;
      EXPECT_EQ(fresh.s().packs.hullIndex[hull].entryPosition, info.entryPositions[k]) << hull;
    }
  }
}

TEST_F(ShipPacks, FortyPacksFillTheListAndFurtherPacksAreIgnored) {
  for (int i = 1; i <= 41; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "p%02d.spk", i);
    Write(name, Pack(i, 1, {i}));
  }
  LoadShipPacks(s());
  EXPECT_EQ(Slot(1).id, 40);
  EXPECT_EQ(Slot(40).id, 1);
  EXPECT_FALSE(HullKnown(s(), 41));
}

TEST_F(ShipPacks, RacesInPlayMakeTheGameRaceListAndNeedTheirHulls) {
  forge::WriteRaceModule(t.dir.path() + "races/a.rce", {801, 1, "Aa", 0x35, {700, 2500}, 0});
  forge::WriteRaceModule(t.dir.path() + "races/b.rce", {802, 1, "Bb", 0x35, {701}, 0});
  ListRaceModules(s());
  UniverseTables& tab = s().tables;
  tab.playerRace[3] = tab.playerRace[9] = 2;  // race 802
  tab.playerRace[5] = 1;                      // race 801
  Write("x.spk", Pack(9, 1, {700}));
  Write("y.spk", Pack(10, 1, {702}));
  LoadShipPacks(s());
  EXPECT_EQ(std::tuple(tab.gameRaceList[1].id, tab.gameRaceList[1].sourceEntry, tab.gameRaceList[2].id),
            std::tuple(802, 2, 801));
  EXPECT_EQ(tab.gameRaceList[3].id, 0);
  EXPECT_EQ(std::tuple(tab.playerGameRace[3], tab.playerGameRace[5], tab.playerGameRace[9]), std::tuple(1, 2, 1));
  EXPECT_TRUE(s().packs.neededHulls[700] && s().packs.neededHulls[701] && Index(700).kept);
  EXPECT_FALSE(s().packs.neededHulls[702] || Index(702).kept);
}

TEST_F(ShipPacks, LoadHullReadsTheRecordPlainOrKeepsTheOldOneWhenThePackIsMissingOrChanged) {
  const HullRecipe h{.hullType = 44, .name = "Lantern Cutter", .nameKey = 10, .hugeWeaponMask = 12, .lWeaponSlots = 3,
                   .passengerCapacity = 250, .hullValues = {7, -8, 9}, .carriedSeed = 99};
  ShipPackRecipe a = Pack(1, 1, {1, 2, 3});
  a.hulls.push_back(h);
  Write("a.spk", a);
  Write("b.spk", Pack(2, 1, {900}));
  Write("c.spk", Pack(3, 1, {5}));  // takes the slot pack 2 left free
  LoadShipPacks(s());
  LoadHull(s(), 44);
  const Record& r = s().packs.scratchHull;
  EXPECT_EQ(r.Text("hullName"), FixedText("Lantern Cutter", 40));
  EXPECT_EQ(std::tuple(r.Get("hugeWeaponMask"), r.Get("lWeaponSlots"), r.Get("passengerCapacity")),
            std::tuple(12, 3, 250));
  EXPECT_EQ(r.Get("hullValues", 2), -8);
  const std::vector<uint8_t> stored = forge::BuildHullRecord(h);  // all but the name byte for byte
  EXPECT_TRUE(std::equal(stored.begin() + 42, stored.end(), r.bytes().begin() + 42));

  const std::vector<uint8_t> before = r.bytes();
  LoadHull(s(), 900);  // its pack was not kept
  Write("a.spk", Pack(1, 1, {1, 2}));
  LoadHull(s(), 3);  // no longer in its pack
  EXPECT_NE(LogWindowText(s().log).find("Hull data missing!"), std::string::npos);
  forge::WriteBytes(PackPath("a.spk"), std::vector<uint8_t>(600, 0xFF));
  LoadHull(s(), 1);  // the pack became garbage
  DeleteFileAt(PackPath("a.spk"));
  LoadHull(s(), 1);  // the pack is gone
  EXPECT_EQ(r.bytes(), before);
  ASSERT_EQ(t.ui.messages.size(), 2u);
  for (int i : {0, 1}) {
    EXPECT_EQ(t.ui.messages[i].text, "Error: Ship Pack / Race Pack for ship hull " + std::string(i ? " 1" : " 900") +
                                         " is missing or not included in script file listing.");
  }
  // In no pack at all:
  EXPECT_EQ(test::FatalMessageOf([&] { LoadHull(s(), 77); }), "Hull load error! Ship hull:  77 missing ");
}

}  // namespace
}  // namespace tarvik
