// Reading script files, planet defaults and names, and the map-file planets.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>

#include "base/errors.h"
#include "base/text.h"
#include "objects/object_store.h"
#include "packs/map_planets.h"
#include "script/planets.h"
#include "script/script_reader.h"
#include "script_game.h"

namespace tarvik {
namespace {

using test::ScriptGame;

TEST(ScriptFile, MissingScriptEndsTheProgramBeforeAnythingChanges) {
  ScriptGame g;
  g.s.script.pendingMapFile = true;
  try {
    RunScript(g.s, g.s.paths.scriptsDir + "nothere.vps", SETTINGS_PASS);
    FAIL() << "the program should end";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.status, 1);
  }
  ASSERT_EQ(g.ts.ui.messages.size(), 1u);
  EXPECT_EQ(g.ts.ui.messages[0].title, "ERROR!");
  EXPECT_EQ(g.ts.ui.messages[0].text, "Script Missing");
  EXPECT_EQ(g.ts.ui.messages[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(g.s.script.pendingMapFile);
  EXPECT_TRUE(g.LogLines().empty());
}

TEST(ScriptFile, EmptyScriptLeavesTheUniverseFileUnopened) {
  ScriptGame g;
  const std::string path = g.ts.dir.Write("scripts/empty.vps", std::string());
  RunScript(g.s, path, SETTINGS_PASS);
  WriteUniverseFile(g.s);
  const std::vector<uint8_t> before = ReadWholeFile(g.universe);
  // An objects pass that opened the store would need the file; remove it to be sure.
  DeleteFileAt(g.universe);
  RunScript(g.s, path, OBJECTS_PASS);
  EXPECT_FALSE(FileExists(g.universe));
  EXPECT_FALSE(g.s.store.file);
  EXPECT_FALSE(before.empty());
}

TEST(ScriptFile, OnlyTheCarriageReturnEndsALine) {
  ScriptGame g;
  g.s.script.pass = OBJECTS_PASS;
  OpenObjectStore(g.s, (WriteUniverseFile(g.s), g.universe));
  CloseObjectStore(g.s);

  // CR alone and CR LF both end lines; a last line without a line end counts.
  g.ts.dir.Write("scripts/cr.vps", "BEGIN PLANET\rCASH = 11\r\nEND\rBEGIN PLANET\r\nCASH = 12\rEND");
  RunScript(g.s, g.s.paths.scriptsDir + "cr.vps", OBJECTS_PASS);
  std::vector<test::StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 2u);
  EXPECT_EQ(o[0].record.Get("cash"), 11);
  EXPECT_EQ(o[1].record.Get("cash"), 12);

  // Line feeds alone: one long line. Its "=" makes it the property statement BEGIN =
  // 13END, which no open block takes: nothing happens.
  g.ts.dir.Write("scripts/lf.vps", "BEGIN PLANET\nCASH = 13\nEND\n");
  RunScript(g.s, g.s.paths.scriptsDir + "lf.vps", OBJECTS_PASS);
  EXPECT_EQ(g.Objects().size(), 2u);
  EXPECT_EQ(g.s.script.blockKind, 0);
}

TEST(ScriptFile, EachRunClearsThePendingMapAndTheChosenMap) {
  ScriptGame g;
  g.s.script.pendingMapFile = true;
  g.s.script.pendingMapPath = "x";
  g.s.map.defaultMapFile = "data/echo.map";
  RunScript(g.s, g.WriteScript({"' nothing but a remark"}), SETTINGS_PASS);
  EXPECT_FALSE(g.s.script.pendingMapFile);
  EXPECT_EQ(g.s.script.pendingMapPath, "");
  EXPECT_EQ(g.s.map.defaultMapFile, "");
}

// ---- RandomPlanet and names -----------------------------------------------------------

struct PlanetFixture : ::testing::Test {
  test::TestSession ts;
  Session& s = ts.s();
  Record& p = s.records.planet;
  PlanetFixture() { s.random.Seed(0); }
};

TEST_F(PlanetFixture, DefaultsKeepTheFieldsTheyDoNotDraw) {
  s.home.cargo = 1;
  s.home.native = 0;
  s.home.mineral = 0;
  p.SetText("name", "Kept");
  p.Set("x", 123);
  p.Set("y", 456);
  p.Set("star", 21);
  p.Set("eleOrd", 7);
  p.Set("cash", 8);
  p.Set("eleFix", 777);
  p.Set("eleS", 555);
  p.SetI32At(156, 4242);
  std::set<int> heats;
  for (int i = 0; i < 500; ++i) {
    RandomPlanet(s);
    ASSERT_EQ(p.Text("name"), FixedText("Kept", 40));
    ASSERT_EQ(p.Get("x"), 123);
    ASSERT_EQ(p.Get("y"), 456);
    ASSERT_EQ(p.Get("star"), 21);
    ASSERT_EQ(p.Get("eleOrd"), 7);
    ASSERT_EQ(p.Get("cash"), 8);
    // Cargo level 1: eleFix and eleS are never drawn.
    ASSERT_EQ(p.Get("eleFix"), 777);
    ASSERT_EQ(p.Get("eleS"), 555);
    ASSERT_EQ(p.I32At(156), 4242);
    ASSERT_EQ(p.I32At(144), 2147483647);
    ASSERT_EQ(p.I32At(0), -1);
    ASSERT_EQ(p.I32At(4), -1);
    ASSERT_EQ(p.Get("nameKey"), 0);
    heats.insert(p.Get("starHeat"));
    ASSERT_GE(p.Get("climate"), 0);
    ASSERT_LE(p.Get("climate"), 100);
    ASSERT_GE(p.I16At(54), 1);
    ASSERT_LE(p.I16At(54), 177);
    ASSERT_GE(p.Get("hdBaseFreq"), -3);
    ASSERT_LE(p.Get("hdBaseFreq"), 18);
    for (int n = 1; n <= 10; ++n) ASSERT_LE(p.Get("native", n), 10000);  // native level 0
    // Mineral level 0: (0 + 2) * 300 at most, or a rich deposit of exactly 5000.
    ASSERT_TRUE(p.Get("resN") <= 600 || p.Get("resN") == 5000) << p.Get("resN");
  }
  EXPECT_EQ(*heats.begin(), 74);
  EXPECT_EQ(*heats.rbegin(), 94);
}

TEST_F(PlanetFixture, CargoLevelTwoDrawsFixAndSupplies) {
  s.home.cargo = 2;
  p.Set("eleFix", 5000);
  int changed = 0;
  for (int i = 0; i < 300; ++i) {
    p.Set("eleFix", 5000);
    RandomPlanet(s);
    if (p.Get("eleFix") != 5000) {
      ++changed;
      EXPECT_LE(p.Get("eleFix"), 1000);
    }
  }
  // About one planet in five.
  EXPECT_GT(changed, 30);
  EXPECT_LT(changed, 95);
}

TEST_F(PlanetFixture, PickStartsAtARandomEntryAndSearchesUpwardsOnly) {
  const std::regex randomName("[A-Z]{3} [0-9]{3} {33}");
  int fromList = 0, random = 0;
  for (int trial = 0; trial < 200; ++trial) {
    s.script.planetNames.assign(100, std::string());
    s.script.planetNameCount = 2;
    s.script.planetNames[0] = FixedText("Low", 40);
    s.script.planetNames[1] = FixedText("!", 40);
    PickPlanetName(s);
    const std::string name = p.Text("name");
    if (name == FixedText("Low", 40)) {
      ++fromList;
      EXPECT_EQ(s.script.planetNames[0], FixedText("!", 40));
    } else {
      ++random;
      EXPECT_TRUE(std::regex_match(name, randomName)) << name;
      EXPECT_EQ(s.script.planetNames[0], FixedText("Low", 40));
    }
  }
  // The start is round(u * 2) clamped to 1..2: entry 2 about a quarter of the time.
  EXPECT_GT(random, 25);
  EXPECT_GT(fromList, 110);

  s.script.planetNameCount = 0;
  PickPlanetName(s);
  EXPECT_TRUE(std::regex_match(p.Text("name"), randomName));
  // Blank entries count as used.
  s.script.planetNameCount = 1;
  s.script.planetNames[0] = std::string(40, ' ');
  PickPlanetName(s);
  EXPECT_TRUE(std::regex_match(p.Text("name"), randomName));
}

// ---- Map files ---------------------------------------------------------------------------

TEST(MapPlanets, MissingAndUnusableMapsAddNothing) {
  ScriptGame g;
  WriteUniverseFile(g.s);
  OpenObjectStore(g.s, g.universe);
  AddMapPlanetObjects(g.s, g.s.paths.dataDir + "gone.map");

  forge::MapSpec desc = forge::GenerateMap(3, 100, 100, 50, 1);
  std::vector<uint8_t> bytes = forge::BuildMapFile(desc);
  forge::PokeI32(bytes, 100, 19000);
  forge::WriteBytes(g.s.paths.dataDir + "big.map", bytes);
  AddMapPlanetObjects(g.s, g.s.paths.dataDir + "big.map");
  forge::PokeI32(bytes, 100, 0);
  forge::WriteBytes(g.s.paths.dataDir + "none.map", bytes);
  AddMapPlanetObjects(g.s, g.s.paths.dataDir + "none.map");
  forge::PokeI32(bytes, 100, 3);
  forge::PokeI32(bytes, 104, 1 << 30);
  forge::WriteBytes(g.s.paths.dataDir + "wild.map", bytes);
  AddMapPlanetObjects(g.s, g.s.paths.dataDir + "wild.map");
  CloseObjectStore(g.s);

  EXPECT_TRUE(g.Objects().empty());
  EXPECT_EQ(g.LogLines(), (std::vector<std::string>{
                              "Size =  12",
                              "Map File Missing: " + g.s.paths.dataDir + "gone.map",
                              "Adding Planets from " + g.s.paths.dataDir + "big.map",
                              "Adding Planets from " + g.s.paths.dataDir + "none.map",
                              "Adding Planets from " + g.s.paths.dataDir + "wild.map",
                              "Map File Damaged: " + g.s.paths.dataDir + "wild.map",
                          }));
}

TEST(MapPlanets, EachPlanetTakesItsStarBeforeItsDefaults) {
  ScriptGame g;
  forge::MapSpec desc;
  desc.planets = {{10, 20, 21, "Hot"}, {30, 40, 1, "Cold"}};
  forge::WriteMapFile(g.s.paths.dataDir + "two.map", desc);
  WriteUniverseFile(g.s);
  OpenObjectStore(g.s, g.universe);
  for (int i = 0; i < 20; ++i) AddMapPlanetObjects(g.s, g.s.paths.dataDir + "two.map");
  CloseObjectStore(g.s);
  std::vector<test::StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 40u);
  for (size_t i = 0; i < o.size(); i += 2) {
    EXPECT_GE(o[i].record.Get("starHeat"), 74);  // star 21
    EXPECT_LE(o[i + 1].record.Get("starHeat"), 14);  // star 1: u * 20 + 4 - 10
    EXPECT_EQ(test::PlainText(o[i].record, "name"), FixedText("Hot", 40));
  }
}

TEST(MapPlanets, StatsOfAMapFile) {
  test::TempDir dir;
  forge::MapSpec desc;
  desc.planets = {{1000, 1000, 1, "A"}, {3000, 1000, 1, "B"}, {1000, 2000, 1, "C"}, {2001, 2001, 1, "D"}};
  forge::WriteMapFile(dir.path() + "m.map", desc);
  MapStats st;
  ASSERT_TRUE(MapFileStats(dir.path() + "m.map", st));
  EXPECT_EQ(st.centerX, 1750);  // 7001 / 4 = 1750.25
  EXPECT_EQ(st.centerY, 1500);  // 6001 / 4 = 1500.25
  EXPECT_EQ(st.width, 2000);
  EXPECT_EQ(st.height, 1001);
  EXPECT_EQ(st.planetCount, 4);
  // To (3000, 2001): hypot(1250, 501) = 1346.7; to (1000, 1000): hypot(750, 500) = 901.4.
  EXPECT_EQ(st.radius, 901);
  MapStats untouched;
  untouched.radius = -5;
  EXPECT_FALSE(MapFileStats(dir.path() + "none.map", untouched));
  EXPECT_EQ(untouched.radius, -5);
}

}  // namespace
}  // namespace tarvik
