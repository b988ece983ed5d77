// Race modules: name scrambling, listing by race ID and revision, file stems, record
// reads and the required-hull check. Damaged modules are in packs_damaged_files_test.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/errors.h"
#include "base/text.h"
#include "forge/forge.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "test_support.h"

namespace tarvik {
namespace {

forge::RaceModuleRecipe Race(int id, int revision, std::string name = "Test Race", std::vector<int16_t> hulls = {}) {
  return {id, revision, std::move(name), 0x35, std::move(hulls), static_cast<uint32_t>(id * 100 + revision)};
}

void WriteRace(test::TestSession& t, const std::string& name, const forge::RaceModuleRecipe& desc) {
  forge::WriteRaceModule(t.dir.path() + "races/" + name, desc);
}

TEST(ScrambleName, SecondCallRestoresTheTextAndTheKeyWrapsWithinOneByte) {
  const std::string plain = "Starlit Freeholds    " + std::string("\0\xff", 2);
  for (int key : {0, 10, 200, 255, 256 + 17, -3}) {
    EXPECT_NE(Scrambled(key, plain), plain) << key;
    EXPECT_EQ(Scrambled(key, Scrambled(key, plain)), plain) << key;
  }
  EXPECT_EQ(Scrambled(256 + 17, plain), Scrambled(17, plain));
  // Zeros show the key at each byte: it starts at the key and advances by the step mod 256.
  const std::string zeros = Scrambled(250, std::string(300, '\0'));
  for (size_t i = 0, k = 250; i < zeros.size(); ++i, k = (k + SCRAMBLE_STEP) & 0xFF) {
    ASSERT_EQ(static_cast<uint8_t>(zeros[i]), k) << i;
  }
}

TEST(ListRaceModules, FileStemIsCutAfterTheFolderAndBeforeTheLastDotThenPaddedToEight) {
  EXPECT_EQ(MakeFileStem("humans.rce"), std::string("humans\0\0", 8));
  EXPECT_EQ(MakeFileStem("races\\old.v2.rce"), std::string("old.v2\0\0", 8));
  EXPECT_EQ(MakeFileStem("c:longername9.rce"), "longerna");
  EXPECT_EQ(MakeFileStem("noextension"), std::string(8, '\0'));
}

TEST(ListRaceModules, OneEntryPerRaceIdKeepingTheHighestRevisionOrTheFirstFound) {
  for (bool higherFirst : {false, true}) {  // listing follows the names: "a..." before "b..."
    test::TestSession t;
    WriteRace(t, higherFirst ? "a5.rce" : "b5.rce", Race(7, 5));
    WriteRace(t, higherFirst ? "b3.rce" : "a3.rce", Race(7, 3));
    ListRaceModules(t.s());
    ASSERT_EQ(t.s().packs.raceCount, 1) << higherFirst;
    const RaceModuleEntry& e = t.s().packs.raceList[1];
    EXPECT_EQ(std::pair(e.raceId, e.revision), std::pair(7, 5)) << higherFirst;
    EXPECT_EQ(e.fileStem, std::string(higherFirst ? "a5" : "b5") + std::string(6, '\0'));
  }
  test::TestSession t;
  WriteRace(t, "first.rce", Race(7, 4));
  WriteRace(t, "second.rce", Race(7, 4));
  WriteRace(t, "third.rce", Race(9, 1));
  ListRaceModules(t.s());
  ASSERT_EQ(t.s().packs.raceCount, 2);
  EXPECT_EQ(t.s().packs.raceList[1].fileStem, std::string("first\0\0\0", 8));
  EXPECT_EQ(t.s().packs.raceList[2].raceId, 9);
}

TEST(ListRaceModules, HeaderNeedsMoreThanSixtyEightBytesAndTheListHoldsThreeHundredRaces) {
  test::TestSession t;
  const std::string header(RACE_MODULE_HEADER);
  EXPECT_FALSE(IsRaceModuleHeader(t.dir.Write("races/exact.rce", header)));
  EXPECT_TRUE(IsRaceModuleHeader(t.dir.Write("races/longer.rce", header + "x")));  // but holds nothing: skipped
  EXPECT_FALSE(IsRaceModuleHeader(t.dir.Write("races/foreign.rce", std::string(200, 'x'))));
  for (int id = 1; id <= 302; ++id) {
    char name[16];
    std::snprintf(name, sizeof name, "r%04d.rce", id);
    WriteRace(t, name, Race(id, 1));
  }
  ListRaceModules(t.s());
  EXPECT_EQ(t.s().packs.raceCount, 300);
  EXPECT_EQ(t.s().packs.raceList[1].raceId, 1);
  EXPECT_EQ(t.s().packs.raceList[300].raceId, 300);
  // The short and the foreign file are no race modules; the others are named.
  const std::string& races = t.s().paths.racesDir;
  EXPECT_EQ(t.s().packs.raceModuleNotices,
            (std::vector<std::string>{"Race module damaged, not used: " + races + "longer.rce",
                                      "Race module list full (300 races), not used: " + races + "r0301.rce",
                                      "Race module list full (300 races), not used: " + races + "r0302.rce"}));
}

TEST(RaceModules, NamesRecordsAndPathComeFromTheChosenModuleAndIdsBelowOneAreNotOffered) {
  test::TestSession t;
  forge::RaceModuleRecipe humans = Race(3, 2, "Velvet Cartography Guild");
  humans.nameKey = 0x1F3;  // only the low 8 bits are the key
  WriteRace(t, "humans.rce", humans);
  WriteRace(t, "negative.rce", Race(-2, 1));
  WriteRace(t, "zero.rce", Race(0, 9));
  ListRaceModules(t.s());
  LoadRaceNames(t.s());
  PackState& p = t.s().packs;
  EXPECT_EQ(p.raceListItems, std::vector<int>{1});
  EXPECT_EQ(RaceModulePath(t.s(), 1), t.s().paths.racesDir + "humans.rce");
  EXPECT_EQ(p.raceList[1].raceName, FixedText("Velvet Cartography Guild", 44));
  ReadRaceRecord(t.s(), 1);
  EXPECT_EQ(p.scratchRace.bytes(), forge::BuildRaceRecord(humans));
  for (int k = 1; k <= 3; ++k) {
    ReadRaceUnitRecord(t.s(), 1, k);
    EXPECT_EQ(p.scratchRaceUnit.bytes(), forge::BuildRaceUnitRecord(humans, k)) << k;
    ReadRaceExtraRecord(t.s(), 1, k);
    EXPECT_EQ(p.scratchRaceExtra.bytes(), forge::BuildRaceExtraRecord(humans, k)) << k;
  }
  // k outside 1..3 and an entry without a race leave the scratch record alone.
  const std::vector<uint8_t> unit = p.scratchRaceUnit.bytes(), race = p.scratchRace.bytes();
  ReadRaceUnitRecord(t.s(), 1, 0);
  ReadRaceUnitRecord(t.s(), 1, 4);
  ReadRaceUnitRecord(t.s(), 2, 1);
  EXPECT_EQ(p.scratchRaceUnit.bytes(), unit);
  // A module damaged or removed after listing: a run-time error, the record kept.
  forge::WriteBytes(RaceModulePath(t.s(), 1), std::vector<uint8_t>(500, 0));
  EXPECT_THROW(ReadRaceRecord(t.s(), 1), RuntimeError);
  EXPECT_EQ(p.scratchRace.bytes(), race);
  DeleteFileAt(RaceModulePath(t.s(), 1));
  EXPECT_THROW(ReadRaceExtraRecord(t.s(), 1, 2), RuntimeError);
}

// The sample game's test covers the passing case; zero and negative entries are skipped.
TEST(ValidateRaceHulls, MissingHullEndsTheProgramNamingTheRaceAndTheFirstMissingHull) {
  test::TestSession t;
  forge::WriteShipPack(t.dir.path() + "ships/base.spk", {1, 1, {{.hullType = 1}, {.hullType = 2}, {.hullType = 30}}});
  forge::RaceModuleRecipe needy = Race(21, 1, "Hullhungry Folk", {0, -4, 2, 777, 888});
  needy.nameKey = 77;
  WriteRace(t, "a.rce", Race(20, 1, "Quiet Ones", {1, 30}));
  WriteRace(t, "b.rce", needy);
  ListRaceModules(t.s());
  t.s().tables.playerRace[1] = 1;
  t.s().tables.playerRace[5] = 2;
  LoadShipPacks(t.s());
  EXPECT_EQ(test::FatalMessageOf([&] { ValidateRaceHulls(t.s()); }),
            "ERROR! Race " + FixedText("Hullhungry Folk", 44) +
                "  21 requires ship hull type  777\r"
                "hull information not found, a required ships\\*.SPK is file missing");
  EXPECT_TRUE(t.ui.messages.empty());  // the top shows the box
}

}  // namespace
}  // namespace tarvik
