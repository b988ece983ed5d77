// Race modules: name scrambling, listing by race ID and revision, file stems, record
// reads, the required-hull check, and modules that are damaged in every way a reader
// can meet.
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

using forge::RaceModuleSpec;

std::string RacePath(test::TestSession& t, const std::string& name) { return t.dir.path() + "races/" + name; }

void WriteRace(test::TestSession& t, const std::string& name, const RaceModuleSpec& spec) {
  forge::WriteRaceModule(RacePath(t, name), spec);
}

RaceModuleSpec Race(int id, int revision, std::string name = "Test Race") {
  RaceModuleSpec r;
  r.raceId = id;
  r.revision = revision;
  r.name = std::move(name);
  r.carriedSeed = static_cast<uint32_t>(id * 100 + revision);
  return r;
}

TEST(ScrambleName, SecondCallRestoresTheTextAndTheKeyWrapsWithinOneByte) {
  std::string plain = "Starlit Freeholds    " + std::string("\0\xff", 2);
  for (int key : {0, 10, 200, 255, 256 + 17, -3}) {
    std::string t = plain;
    ScrambleName(key, t);
    if (key % 256 != 0) {
      EXPECT_NE(t, plain) << key;
    }
    ScrambleName(key, t);
    EXPECT_EQ(t, plain) << key;
  }
  // Only the low 8 bits of the key count.
  EXPECT_EQ(Scrambled(256 + 17, plain), Scrambled(17, plain));
  // Every byte of a long run of zeros shows the key in use at that place: it starts at
  // the key and advances by the step modulo 256, never growing past one byte.
  std::string zeros(300, '\0');
  ScrambleName(250, zeros);
  unsigned k = 250;
  for (size_t i = 0; i < zeros.size(); ++i) {
    ASSERT_EQ(static_cast<uint8_t>(zeros[i]), k & 0xFF) << i;
    k = (k + SCRAMBLE_STEP) & 0xFF;
  }
  EXPECT_EQ(static_cast<uint8_t>(zeros[1]), static_cast<uint8_t>(250 + SCRAMBLE_STEP));
}

TEST(RaceLayouts, FieldsTileEachRecordExactly) {
  for (const RecordLayout* l : {&RaceRecordLayout(), &RaceUnitRecordLayout(), &RaceExtraRecordLayout(),
                                &HullRecordLayout()}) {
    int at = 0;
    for (const Field& f : l->fields()) {
      EXPECT_EQ(f.offset, at) << l->name() << " " << f.name;
      at = f.offset + f.Width();
    }
    EXPECT_EQ(at, l->size()) << l->name();
  }
  EXPECT_EQ(RaceRecordLayout().size(), 622);
  EXPECT_EQ(RaceUnitRecordLayout().size(), 98);
  EXPECT_EQ(RaceExtraRecordLayout().size(), 74);
  EXPECT_EQ(HullRecordLayout().size(), 190);
  EXPECT_EQ(RaceRecordLayout().Get("requiredHulls").offset, 298);
  EXPECT_EQ(RaceRecordLayout().Get("requiredHulls").count, 40);
  EXPECT_EQ(HullRecordLayout().Get("nameKey").offset, 92);
  EXPECT_EQ(HullRecordLayout().Get("hullValues").offset, 134);
}

TEST(FileStem, CutAfterTheFolderAndBeforeTheLastDotThenPaddedToEight) {
  EXPECT_EQ(MakeFileStem("humans.rce"), std::string("humans\0\0", 8));
  EXPECT_EQ(MakeFileStem("races\\old.v2.rce"), std::string("old.v2\0\0", 8));
  EXPECT_EQ(MakeFileStem("c:longername9.rce"), "longerna");
  EXPECT_EQ(MakeFileStem("noextension"), std::string(8, '\0'));
}

TEST(ListRaceModules, HigherRevisionWinsInEitherListingOrder) {
  for (bool higherFirst : {false, true}) {
    test::TestSession t;
    // Listing follows the names: "a..." comes before "b...".
    WriteRace(t, higherFirst ? "a5.rce" : "b5.rce", Race(7, 5));
    WriteRace(t, higherFirst ? "b3.rce" : "a3.rce", Race(7, 3));
    ListRaceModules(t.s());
    ASSERT_EQ(t.s().packs.raceCount, 1) << higherFirst;
    const RaceModuleEntry& e = t.s().packs.raceList[1];
    EXPECT_EQ(e.raceId, 7);
    EXPECT_EQ(e.revision, 5);
    EXPECT_EQ(e.fileStem, std::string(higherFirst ? "a5" : "b5") + std::string(6, '\0'));
  }
}

TEST(ListRaceModules, EqualRevisionKeepsTheModuleFoundFirstAndOtherIdsAppend) {
  test::TestSession t;
  WriteRace(t, "first.rce", Race(7, 4));
  WriteRace(t, "second.rce", Race(7, 4));
  WriteRace(t, "third.rce", Race(9, 1));
  ListRaceModules(t.s());
  ASSERT_EQ(t.s().packs.raceCount, 2);
  EXPECT_EQ(t.s().packs.raceList[1].fileStem, std::string("first\0\0\0", 8));
  EXPECT_EQ(t.s().packs.raceList[2].raceId, 9);
}

TEST(ListRaceModules, HeaderNeedsMoreThanSixtyEightBytes) {
  test::TestSession t;
  std::string header(RACE_MODULE_HEADER);
  std::string exact = t.dir.Write("races/exact.rce", header);
  std::string longer = t.dir.Write("races/longer.rce", header + "x");
  std::string foreign = t.dir.Write("races/foreign.rce", std::string(200, 'x'));
  EXPECT_FALSE(IsRaceModuleHeader(exact));
  EXPECT_TRUE(IsRaceModuleHeader(longer));
  EXPECT_FALSE(IsRaceModuleHeader(foreign));
  // The 69-byte module passes the header test but holds no race ID, directory or
  // records, so it is skipped as unusable; a full module beside it is listed.
  WriteRace(t, "whole.rce", Race(12, 1));
  ListRaceModules(t.s());
  ASSERT_EQ(t.s().packs.raceCount, 1);
  EXPECT_EQ(t.s().packs.raceList[1].raceId, 12);
}

TEST(RaceModules, NamesRecordsAndPathComeFromTheChosenModule) {
  test::TestSession t;
  RaceModuleSpec humans = Race(3, 2, "Velvet Cartography Guild");
  humans.nameKey = 0x1F3;  // only the low 8 bits are the key
  WriteRace(t, "humans.rce", humans);
  RaceModuleSpec unused = Race(0, 9, "Nobody");
  WriteRace(t, "zero.rce", unused);
  ListRaceModules(t.s());
  LoadRaceNames(t.s());
  PackState& p = t.s().packs;
  ASSERT_EQ(p.raceCount, 1);
  EXPECT_EQ(RaceModulePath(t.s(), 1), t.s().paths.racesDir + "humans.rce");
  EXPECT_EQ(p.raceList[1].raceName, FixedText("Velvet Cartography Guild", 44));
  EXPECT_EQ(p.raceListItems, std::vector<int>{1});

  ReadRaceRecord(t.s(), 1);
  EXPECT_EQ(p.scratchRace.bytes(), forge::BuildRaceRecord(humans));
  for (int k = 1; k <= 3; ++k) {
    ReadRaceUnitRecord(t.s(), 1, k);
    EXPECT_EQ(p.scratchRaceUnit.bytes(), forge::BuildRaceUnitRecord(humans, k)) << k;
    ReadRaceExtraRecord(t.s(), 1, k);
    EXPECT_EQ(p.scratchRaceExtra.bytes(), forge::BuildRaceExtraRecord(humans, k)) << k;
  }
  // k outside 1..3 and entries without a race leave the scratch records alone.
  std::vector<uint8_t> before = p.scratchRaceUnit.bytes();
  ReadRaceUnitRecord(t.s(), 1, 0);
  ReadRaceUnitRecord(t.s(), 1, 4);
  ReadRaceUnitRecord(t.s(), 2, 1);
  EXPECT_EQ(p.scratchRaceUnit.bytes(), before);
}

TEST(RaceModules, RaceIdZeroIsNeverOffered) {
  test::TestSession t;
  WriteRace(t, "a.rce", Race(0, 4));
  WriteRace(t, "b.rce", Race(-2, 1));
  WriteRace(t, "c.rce", Race(5, 1, "Real"));
  ListRaceModules(t.s());
  LoadRaceNames(t.s());
  EXPECT_EQ(t.s().packs.raceListItems.size(), 1u);
  EXPECT_EQ(t.s().packs.raceList[t.s().packs.raceListItems[0]].raceId, 5);
}

// Each damaged module is skipped at listing; the good module beside it is listed.
TEST(RaceModules, DamagedModulesAreSkippedAtListing) {
  RaceModuleSpec spec = Race(40, 1);
  forge::RaceModuleLayoutInfo info;
  const std::vector<uint8_t> good = forge::BuildRaceModule(spec, &info);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  auto poked = [&](size_t off, int32_t v) {
    std::vector<uint8_t> b = good;
    forge::PokeI32(b, off, v);
    return b;
  };
  cases.push_back({"directory past the end", poked(449, info.fileLength + 10)});
  cases.push_back({"directory partly past the end", poked(449, info.fileLength - 50)});
  cases.push_back({"negative directory", poked(449, -5)});
  cases.push_back({"zero directory", poked(449, 0)});
  cases.push_back({"race record past the end", poked(info.directoryPos - 1 + 96, info.fileLength + 1)});
  cases.push_back({"huge record position", poked(info.directoryPos - 1 + 96, 0x7FFFFFFF)});
  cases.push_back({"unit record negative", poked(info.directoryPos - 1 + 40, -100)});
  cases.push_back({"extra record past the end", poked(info.directoryPos - 1 + 8, info.fileLength - 10)});
  std::vector<uint8_t> truncated = good;
  truncated.resize(good.size() - 1);
  cases.push_back({"last record truncated", truncated});
  std::vector<uint8_t> headerOnly = good;
  headerOnly.resize(402);
  cases.push_back({"cut inside the race ID", headerOnly});
  for (const Case& c : cases) {
    test::TestSession t;
    forge::WriteBytes(RacePath(t, "bad.rce"), c.bytes);
    WriteRace(t, "good.rce", Race(41, 1, "Good"));
    ASSERT_NO_THROW(ListRaceModules(t.s())) << c.what;
    ASSERT_NO_THROW(LoadRaceNames(t.s())) << c.what;
    ASSERT_EQ(t.s().packs.raceCount, 1) << c.what;
    EXPECT_EQ(t.s().packs.raceList[1].raceId, 41) << c.what;
  }
}

TEST(RaceModules, ModuleDamagedAfterListingIsARunTimeErrorAndKeepsTheScratchRecord) {
  test::TestSession t;
  WriteRace(t, "moving.rce", Race(50, 1));
  ListRaceModules(t.s());
  ReadRaceRecord(t.s(), 1);
  std::vector<uint8_t> before = t.s().packs.scratchRace.bytes();
  forge::WriteBytes(RacePath(t, "moving.rce"), std::vector<uint8_t>(500, 0));
  EXPECT_THROW(ReadRaceRecord(t.s(), 1), RuntimeError);
  EXPECT_EQ(t.s().packs.scratchRace.bytes(), before);
  DeleteFileAt(RacePath(t, "moving.rce"));
  EXPECT_THROW(ReadRaceExtraRecord(t.s(), 1, 2), RuntimeError);
}

TEST(ListRaceModules, ThreeHundredRacesFillTheListAndFurtherIdsAreLeftOut) {
  test::TestSession t;
  for (int id = 1; id <= 302; ++id) {
    char name[16];
    std::snprintf(name, sizeof name, "r%04d.rce", id);
    WriteRace(t, name, Race(id, 1));
  }
  ListRaceModules(t.s());
  EXPECT_EQ(t.s().packs.raceCount, 300);
  EXPECT_EQ(t.s().packs.raceList[300].raceId, 300);
}

class ValidateHulls : public ::testing::Test {
 protected:
  void SetUp() override {
    forge::ShipPackSpec pack;
    for (int h : {1, 2, 30}) pack.hulls.push_back(forge::HullSpec{.hullType = h});
    forge::WriteShipPack(t.dir.path() + "ships/base.spk", pack);
  }
  void Play(int player, const RaceModuleSpec& race) {
    WriteRace(t, "r" + std::to_string(race.raceId) + ".rce", race);
    ListRaceModules(t.s());
    for (int e = 1; e <= t.s().packs.raceCount; ++e) {
      if (t.s().packs.raceList[e].raceId == race.raceId) t.s().tables.playerRace[player] = static_cast<int16_t>(e);
    }
  }
  test::TestSession t;
};

TEST_F(ValidateHulls, MissingRequiredHullEndsTheProgramWithTheRaceAndHull) {
  RaceModuleSpec ok = Race(20, 1, "Quiet Ones");
  ok.requiredHulls = {1, 30, 0, -4};
  RaceModuleSpec needy = Race(21, 1, "Hullhungry Folk");
  needy.nameKey = 77;
  needy.requiredHulls = {0, 2, 777, 888};
  Play(1, ok);
  Play(2, needy);
  LoadShipPacks(t.s());
  try {
    ValidateRaceHulls(t.s());
    FAIL() << "no fatal error";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.status, 1);
  }
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_EQ(t.ui.messages[0].title, "ERROR!");
  EXPECT_EQ(t.ui.messages[0].text, "ERROR! Race " + FixedText("Hullhungry Folk", 44) +
                                       "  21 requires ship hull type  777\r"
                                       "hull information not found, a required ships\\*.SPK is file missing");
}

TEST_F(ValidateHulls, AllZeroOrProvidedHullsPass) {
  RaceModuleSpec none = Race(22, 1);
  RaceModuleSpec some = Race(23, 1);
  some.requiredHulls = {30, 0, 2};
  Play(1, none);
  Play(5, some);
  LoadShipPacks(t.s());
  EXPECT_NO_THROW(ValidateRaceHulls(t.s()));
  EXPECT_TRUE(t.ui.messages.empty());
}

}  // namespace
}  // namespace tarvik
