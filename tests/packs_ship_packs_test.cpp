// Ship packs: which packs are kept, which slot each takes, the hull index, loading one
// hull, and packs that are damaged in every way a reader can meet.
#include <gtest/gtest.h>

#include "app/run_log.h"
#include "base/errors.h"
#include "base/text.h"
#include "forge/forge.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "test_support.h"

namespace tarvik {
namespace {

using forge::HullSpec;
using forge::ShipPackSpec;

ShipPackSpec Pack(int id, int revision, std::vector<int> hulls) {
  ShipPackSpec p;
  p.packId = id;
  p.revision = revision;
  for (int h : hulls) p.hulls.push_back(HullSpec{.hullType = h, .name = "Hull" + std::to_string(h)});
  return p;
}

class ShipPacks : public ::testing::Test {
 protected:
  std::string PackPath(const std::string& name) { return t.dir.path() + "ships/" + name; }
  void Write(const std::string& name, const ShipPackSpec& spec) { forge::WriteShipPack(PackPath(name), spec); }
  Session& s() { return t.s(); }
  const PackEntry& Slot(int i) { return s().tables.shipPackList[i]; }
  const HullIndexEntry& Index(int h) { return s().packs.hullIndex[h]; }
  std::string Log() { return LogWindowText(s().log); }
  test::TestSession t;
};

TEST_F(ShipPacks, WithoutRacesOnlyHullsUpTo125AreNeeded) {
  Write("a.spk", Pack(1, 1, {30}));
  Write("b.spk", Pack(2, 1, {500}));
  LoadShipPacks(s());
  // Free slots are taken from the top: the last free slot is chosen.
  EXPECT_EQ(Slot(40).id, 1);
  EXPECT_EQ(Slot(40).fileStem, std::string("a\0\0\0\0\0\0\0", 8));
  EXPECT_EQ(Slot(39).id, 0);  // pack 2 was not kept
  EXPECT_TRUE(HullKnown(s(), 30));
  EXPECT_TRUE(Index(30).kept);
  // Hull 500 is indexed all the same, as belonging to a pack that was not kept.
  EXPECT_TRUE(HullKnown(s(), 500));
  EXPECT_FALSE(Index(500).kept);
  EXPECT_EQ(Index(500).packSlot, 39);
  EXPECT_FALSE(HullKnown(s(), 31));
  EXPECT_FALSE(HullKnown(s(), 0));
  EXPECT_FALSE(HullKnown(s(), 2001));
  EXPECT_EQ(ShipPackPath(s(), 40), s().paths.shipsDir + "a.spk");
}

TEST_F(ShipPacks, RevisionTwoThenFourUpgradesTheSlot) {
  Write("a.spk", Pack(5, 2, {10}));
  Write("b.spk", Pack(5, 4, {11}));
  LoadShipPacks(s());
  EXPECT_EQ(Slot(40).id, 5);
  EXPECT_EQ(Slot(40).revision, 4);
  EXPECT_EQ(Slot(40).fileStem.substr(0, 1), "b");
  EXPECT_EQ(Slot(39).id, 0);
  EXPECT_EQ(Index(10).packSlot, 40);  // revision 2's entry still points at the slot
  EXPECT_EQ(Index(11).packSlot, 40);
}

TEST_F(ShipPacks, RevisionFourThenTwoTakesAFreeSlotAndReplacesTheIndex) {
  Write("a.spk", Pack(5, 4, {10, 12}));
  Write("b.spk", Pack(5, 2, {10}));
  LoadShipPacks(s());
  EXPECT_EQ(Slot(40).revision, 4);
  EXPECT_EQ(Slot(39).id, 5);
  EXPECT_EQ(Slot(39).revision, 2);
  EXPECT_EQ(Index(10).packSlot, 39);
  EXPECT_EQ(Index(12).packSlot, 40);
  // The entry position is that of the hull's table entry in its own pack.
  forge::ShipPackLayoutInfo info;
  forge::BuildShipPack(Pack(5, 2, {10}), &info);
  EXPECT_EQ(Index(10).entryPosition, info.entryPositions[0]);
  // A third pack of revision 4 upgrades the revision 2 slot, not the revision 4 one.
  Write("c.spk", Pack(5, 4, {13}));
  LoadShipPacks(s());
  EXPECT_EQ(Slot(39).revision, 4);
  EXPECT_EQ(Slot(39).fileStem.substr(0, 1), "c");
  EXPECT_EQ(Slot(38).id, 0);
  EXPECT_EQ(Index(13).packSlot, 39);
}

TEST_F(ShipPacks, SameRevisionTwiceTakesASecondSlot) {
  Write("a.spk", Pack(5, 3, {10}));
  Write("b.spk", Pack(5, 3, {11}));
  LoadShipPacks(s());
  EXPECT_EQ(Slot(40).fileStem.substr(0, 1), "a");
  EXPECT_EQ(Slot(39).fileStem.substr(0, 1), "b");
  EXPECT_EQ(Index(11).packSlot, 39);
}

TEST_F(ShipPacks, HullTypesOutsideOneTo2000AreSkipped) {
  Write("a.spk", Pack(1, 1, {0, 2001, -7, 2000, 1}));
  LoadShipPacks(s());
  EXPECT_TRUE(HullKnown(s(), 1));
  EXPECT_TRUE(HullKnown(s(), 2000));
  // A pack of only out-of-range types has nothing needed and is not kept.
  Write("b.spk", Pack(2, 1, {0, 2001}));
  LoadShipPacks(s());
  int kept = 0;
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) kept += Slot(i).id != 0;
  EXPECT_EQ(kept, 1);
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

TEST_F(ShipPacks, RacesInPlaceMakeTheGameRaceListAndNeedTheirHulls) {
  forge::RaceModuleSpec a{.raceId = 801, .name = "Aa", .requiredHulls = {700, 2500}};
  forge::RaceModuleSpec b{.raceId = 802, .name = "Bb", .requiredHulls = {701}};
  forge::WriteRaceModule(t.dir.path() + "races/a.rce", a);
  forge::WriteRaceModule(t.dir.path() + "races/b.rce", b);
  ListRaceModules(s());
  s().tables.playerRace[3] = 2;  // race 802
  s().tables.playerRace[5] = 1;  // race 801
  s().tables.playerRace[9] = 2;
  Write("x.spk", Pack(9, 1, {700}));
  Write("y.spk", Pack(10, 1, {702}));
  LoadShipPacks(s());
  EXPECT_EQ(s().tables.gameRaceList[1].id, 802);
  EXPECT_EQ(s().tables.gameRaceList[1].sourceEntry, 2);
  EXPECT_EQ(s().tables.gameRaceList[2].id, 801);
  EXPECT_EQ(s().tables.gameRaceList[3].id, 0);
  EXPECT_EQ(s().tables.playerGameRace[3], 1);
  EXPECT_EQ(s().tables.playerGameRace[5], 2);
  EXPECT_EQ(s().tables.playerGameRace[9], 1);
  EXPECT_TRUE(s().packs.neededHulls[700]);
  EXPECT_TRUE(s().packs.neededHulls[701]);
  EXPECT_FALSE(s().packs.neededHulls[702]);
  EXPECT_TRUE(Index(700).kept);
  EXPECT_FALSE(Index(702).kept);
}

TEST_F(ShipPacks, LoadHullReadsTheRecordWithItsNamePlain) {
  HullSpec h{.hullType = 44, .name = "Lantern Cutter", .nameKey = 10, .hugeWeaponMask = 12, .lWeaponSlots = 3,
             .fuelCapacity = 5, .passengerCapacity = 250, .hullValues = {7, -8, 9}, .cargoCapacity = 100,
             .carriedSeed = 99};
  ShipPackSpec p = Pack(3, 1, {43});
  p.hulls.push_back(h);
  Write("a.spk", p);
  LoadShipPacks(s());
  LoadHull(s(), 44);
  const Record& r = s().packs.scratchHull;
  EXPECT_EQ(r.Text("hullName"), FixedText("Lantern Cutter", 40));
  EXPECT_EQ(r.Get("nameKey"), 10);
  EXPECT_EQ(r.Get("hugeWeaponMask"), 12);
  EXPECT_EQ(r.Get("lWeaponSlots"), 3);
  EXPECT_EQ(r.Get("fuelCapacity"), 5);
  EXPECT_EQ(r.Get("passengerCapacity"), 250);
  EXPECT_EQ(r.Get("hullValues", 2), -8);
  EXPECT_EQ(r.Get("cargoCapacity"), 100);
  // Everything but the name is the stored record byte for byte.
  std::vector<uint8_t> stored = forge::BuildHullRecord(h);
  EXPECT_TRUE(std::equal(stored.begin() + 42, stored.end(), r.bytes().begin() + 42));
  EXPECT_NE(std::string(stored.begin() + 2, stored.begin() + 42), r.Text("hullName"));
}

TEST_F(ShipPacks, LoadHullOfAnUnknownHullEndsTheProgram) {
  Write("a.spk", Pack(1, 1, {1}));
  LoadShipPacks(s());
  EXPECT_THROW(LoadHull(s(), 77), ProgramEnd);
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].title, "ERROR!");
  EXPECT_EQ(t.ui.messages[0].text, "Hull load error! Ship hull:  77 missing ");
}

TEST_F(ShipPacks, LoadHullFromAPackNotKeptOrGoneShowsTheMessageAndKeepsTheRecord) {
  Write("a.spk", Pack(1, 1, {1, 2}));
  Write("b.spk", Pack(2, 1, {900}));
  LoadShipPacks(s());
  LoadHull(s(), 2);
  std::vector<uint8_t> before = s().packs.scratchHull.bytes();
  LoadHull(s(), 900);
  DeleteFileAt(PackPath("a.spk"));
  LoadHull(s(), 1);
  ASSERT_EQ(t.ui.messages.size(), 2u);
  EXPECT_EQ(t.ui.messages[0].text,
            "Error: Ship Pack / Race Pack for ship hull  900 is missing or not included in script file listing.");
  EXPECT_EQ(t.ui.messages[1].text,
            "Error: Ship Pack / Race Pack for ship hull  1 is missing or not included in script file listing.");
  EXPECT_EQ(s().packs.scratchHull.bytes(), before);
}

TEST_F(ShipPacks, HullMissingFromAPackThatChangedIsLoggedAndKeepsTheRecord) {
  Write("a.spk", Pack(1, 1, {1, 2}));
  LoadShipPacks(s());
  LoadHull(s(), 1);
  std::vector<uint8_t> before = s().packs.scratchHull.bytes();
  Write("a.spk", Pack(1, 1, {1}));
  LoadHull(s(), 2);
  EXPECT_NE(Log().find("Hull data missing!"), std::string::npos);
  EXPECT_EQ(s().packs.scratchHull.bytes(), before);
  // A pack rewritten as garbage: the same outcome, no crash.
  forge::WriteBytes(PackPath("a.spk"), std::vector<uint8_t>(600, 0xFF));
  LoadHull(s(), 1);
  EXPECT_EQ(s().packs.scratchHull.bytes(), before);
  EXPECT_TRUE(t.ui.messages.empty());
}

// Each damaged pack is left out; a good pack beside it still provides hull 1.
TEST_F(ShipPacks, DamagedPacksAreLeftOut) {
  ShipPackSpec spec = Pack(7, 1, {20, 21});
  forge::ShipPackLayoutInfo info;
  const std::vector<uint8_t> good = forge::BuildShipPack(spec, &info);
  auto poked = [&](size_t off, int32_t v) {
    std::vector<uint8_t> b = good;
    forge::PokeI32(b, off, v);
    return b;
  };
  const size_t count = info.tablePos - 1;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"table past the end", poked(449, info.fileLength + 1)},
      {"negative table position", poked(449, -1)},
      {"negative count", poked(count, -3)},
      {"absurd count", poked(count, 0x7FFFFFFF)},
      {"count one too many", poked(count, (info.fileLength - info.tablePos + 1 - 4) / 10 + 1)},
  };
  std::vector<uint8_t> shortHeader = good;
  shortHeader.resize(420);
  cases.push_back({"cut inside the header", shortHeader});
  for (const Case& c : cases) {
    test::TestSession fresh;
    forge::WriteBytes(fresh.dir.path() + "ships/bad.spk", c.bytes);
    forge::WriteShipPack(fresh.dir.path() + "ships/good.spk", Pack(8, 1, {1}));
    ASSERT_NO_THROW(LoadShipPacks(fresh.s())) << c.what;
    EXPECT_FALSE(HullKnown(fresh.s(), 20)) << c.what;
    EXPECT_TRUE(HullKnown(fresh.s(), 1)) << c.what;
    EXPECT_EQ(fresh.s().tables.shipPackList[40].id, 8) << c.what;
    EXPECT_NE(LogWindowText(fresh.s().log).find("Ship Pack damaged, not used: "), std::string::npos) << c.what;
  }
}

TEST_F(ShipPacks, EntryWhoseRecordLiesOutsideThePackIsLeftOutOfTheIndex) {
  ShipPackSpec spec = Pack(7, 1, {20, 21, 22});
  forge::ShipPackLayoutInfo info;
  std::vector<uint8_t> bytes = forge::BuildShipPack(spec, &info);
  forge::PokeI32(bytes, info.entryPositions[0] - 1 + 6, info.fileLength + 100);  // hull 20
  forge::PokeI32(bytes, info.entryPositions[1] - 1 + 6, -1);                     // hull 21
  bytes.resize(bytes.size() - 1);                                                 // hull 22 cut short
  forge::WriteBytes(PackPath("a.spk"), bytes);
  Write("b.spk", Pack(8, 1, {23}));
  LoadShipPacks(s());
  EXPECT_FALSE(HullKnown(s(), 20));
  EXPECT_FALSE(HullKnown(s(), 21));
  EXPECT_FALSE(HullKnown(s(), 22));
  EXPECT_TRUE(HullKnown(s(), 23));
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) EXPECT_NE(Slot(i).id, 7);  // nothing left: not kept
}

TEST_F(ShipPacks, ForeignAndShortFilesAreSkippedWithoutAMessage) {
  t.dir.Write("ships/short.spk", std::string(SHIP_PACK_HEADER));
  t.dir.Write("ships/foreign.spk", std::string(800, 'z'));
  Write("z.spk", Pack(3, 1, {5}));
  LoadShipPacks(s());
  EXPECT_TRUE(HullKnown(s(), 5));
  EXPECT_EQ(Log().find("damaged"), std::string::npos);
}

}  // namespace
}  // namespace tarvik
