// The headless way in, as a host on a server uses it: tarvik --generate SLOT
// [SETTINGS] and tarvik --list-slots run as programs on a forged game folder. Bad
// settings are usage errors before anything is written; a slot in use is refused until
// --clear; a custom map beside the program is used from the data folder.
#include <gtest/gtest.h>

#include "app/options.h"
#include "base/text.h"
#include "generation_game.h"

namespace tarvik {
namespace {

using test::GenerationGame;
using test::OfKind;
using BK = BlockKind;

using Program = test::CommandRun;

Program RunTarvik(GenerationGame& g, const std::string& args) {
  return test::RunIn(g.app, std::string(TARVIK_BINARY) + " --game-dir " + g.app + " " + args);
}

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

const std::string DONE_WHEN =
    "--generate 3 --map epsilon --races 101,102,103,104,105,106,107,108,109,110,111 --layout spaced "
    "--extra-freighters 1";

TEST(GenerateCommand, MakesTheUniverseThenRefusesTheSlotUntilCleared) {
  GenerationGame g;
  Program p = RunTarvik(g, "--seed 5 " + DONE_WHEN);
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(p.err, "");
  EXPECT_NE(p.out.find("Universe file: " + g.app + "univ\\game3\\g3.yig\n"), std::string::npos) << p.out;
  EXPECT_NE(p.out.find("Starting to make universe file. . . \nSize =  12\n"), std::string::npos);
  // The console output ends with "Finished"; the fairness report follows it.
  EXPECT_NE(p.out.find("Finished\n\nFairness of the start positions. Distances are straight-line distances in map units"),
            std::string::npos)
      << p.out;

  const std::string before = g.Read("univ/game3/g3.yig");
  p = RunTarvik(g, DONE_WHEN);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.err.substr(0, p.err.find('\n', p.err.find('\n') + 1) + 1),
            "Host slot 3 is in use\nPlayer slot 3 is in use\n");
  EXPECT_NE(p.err.find("--clear"), std::string::npos);
  EXPECT_EQ(g.Read("univ/game3/g3.yig"), before);

  // The slot list shows what the slot holds.
  p = RunTarvik(g, "--list-slots");
  EXPECT_EQ(p.status, 0);
  EXPECT_NE(p.out.find("Slot 3: host in use, player in use\n    Host Univ Data   Slot Name: Alpha Game\n"),
            std::string::npos)
      << p.out;
  EXPECT_NE(p.out.find("Slot 4: host free, player free\n"), std::string::npos);

  // --clear: a player's result file goes, and the slot is built again.
  WriteWholeFile(g.app + "WAR/SLOT3/player1.rst", {1, 2, 3});
  p = RunTarvik(g, DONE_WHEN + " --clear --game-name Rematch");
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(p.err, "");
  EXPECT_FALSE(FileExists(g.app + "WAR/SLOT3/player1.rst"));
  EXPECT_EQ(g.DiskGameRecord(3).Text("gameName"), FixedText("Rematch", 44));
  EXPECT_EQ(g.Read("univ/game3/~g233211.tmp"), std::string("\x0D\x00\x00\x00", 4));
}

TEST(GenerateCommand, EveryBadSettingIsOneLineAndStatusTwoBeforeAnythingIsWritten) {
  GenerationGame g;
  g.ts.dir.Write("notamap.map", std::string(200, 'x'));
  forge::MapRecipe huge = forge::GenerateMap(10001, 2000, 2000, 20000, 3, 0);
  forge::WriteMapFile(g.app + "huge.map", huge);
  const std::string races = " --races 101,102";
  const struct {
    std::string args, mentions;
  } cases[] = {
      {"--generate 0" + races, "--generate"},
      {"--generate 13" + races, "--generate"},
      {"--generate x" + races, "--generate"},
      {"--generate 1", "--races"},
      {"--generate 1 --races 101", "--races"},
      {"--generate 1 --races 101,,102", "--races"},
      {"--generate 1 --races 101" + Repeated(",102", 30), "--races"},  // 31 players
      {"--generate 1 --wormholes 3" + races, "--wormholes"},
      {"--generate 1 --map zeta" + races, "--map"},
      {"--generate 1 --map notamap.map" + races, "--map"},
      {"--generate 1 --map huge.map" + races, "--map"},
      {"--generate 1 --layout ring" + races, "--layout"},
      {"--generate 1 --layout pick" + races, "--pick"},
      {"--generate 1 --layout pick --pick 10,10" + races, "--pick"},
      {"--generate 1 --layout pick --pick 0,10,20,20" + races, "--pick"},
      {"--generate 1 --layout pick --pick 10,10,40000,20" + races, "--pick"},
      {"--generate 1 --pick 10,10,20,20" + races, "--pick"},
      {"--generate 1 --radius -1" + races, "--radius"},
      {"--generate 1 --radius 2.5" + races, "--radius"},
      {"--generate 1 --home-minerals 6" + races, "--home-minerals"},
      {"--generate 1 --cargo -1" + races, "--cargo"},
      {"--generate 1 --home-cash 2500" + races, "--home-cash"},
      {"--generate 1 --home-population 1e6" + races, "--home-population"},
      {"--generate 1 --standard-ships yes" + races, "--standard-ships"},
      {"--generate 1 --extra-freighters 2" + races, "--extra-freighters"},
      {"--generate 1 --map echo --map epsilon" + races, "--map"},
      {"--generate 1" + races + " --layout", "--layout"},
      {"--generate 1" + races + " scripts/a.vps", "--generate"},
      {"--map echo" + races, "--generate"},
      {"--generate 1 --races 101,999", "999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Program p = RunTarvik(g, c.args);
    EXPECT_EQ(p.status, 2);
    EXPECT_EQ(p.out, "");
    ASSERT_FALSE(p.err.empty());
    const std::string first = p.err.substr(0, p.err.find('\n'));
    EXPECT_EQ(first.rfind("tarvik: ", 0), 0u) << first;
    EXPECT_NE(first.find(c.mentions), std::string::npos) << first;
    EXPECT_LE(std::count(p.err.begin(), p.err.end(), '\n'), 2) << p.err;
    EXPECT_FALSE(FileExists(g.Universe(1)));
    EXPECT_FALSE(FileExists(GameRecordPath(g.app, 1)));
    EXPECT_FALSE(FileExists(SlotRecordPath(g.app, 1)));
  }
  // A race ID is checked against the race list, after start-up has laid out the folders.
  EXPECT_TRUE(FolderExists(g.app + "UNIV/GAME1"));
}

TEST(GenerateCommand, ACustomMapBesideTheProgramWithPickedPositions) {
  GenerationGame g;
  // Three planets far apart; the picks lie near them in the other order.
  forge::MapRecipe map;
  map.planets = {{500, 500, 3, "Alder"}, {1500, 1500, 4, "Birch"}, {2500, 500, 5, "Cedar"}, {1500, 2600, 2, "Dogwood"}};
  forge::WriteMapFile(g.app + "mine.map", map);
  const Program p = RunTarvik(g, "--generate 7 --map mine.map --races 102,104,806 --layout pick "
                                 "--pick 2400,600,600,400,1400,2500 --home-cash 20000 --standard-ships 0");
  ASSERT_EQ(p.status, 0) << p.err;
  EXPECT_FALSE(FileExists(g.app + "mine.map"));
  EXPECT_TRUE(FileExists(g.app + "data/mine.map"));
  const std::vector<test::StoredObject> all = g.Objects(7);
  EXPECT_EQ(OfKind(all, BK::Planet).size(), 4u);
  EXPECT_TRUE(OfKind(all, BK::Ship).empty());
  const std::pair<int, int> homes[] = {{2500, 500}, {500, 500}, {1500, 2600}};
  for (int slot = 1; slot <= 3; ++slot) {
    const auto base = OfKind(all, BK::Base, slot);
    ASSERT_EQ(base.size(), 1u);
    EXPECT_EQ(base[0]->record.Get("x"), homes[slot - 1].first);
    EXPECT_EQ(base[0]->record.Get("y"), homes[slot - 1].second);
    EXPECT_EQ(base[0]->record.Get("cash"), 20000);
  }
  EXPECT_EQ(g.DiskGameRecord(7).Get("inUse"), 1);

  // A map of one planet has no width or height: every layout still ends on it.
  forge::MapRecipe one;
  one.planets = {{1200, 800, 3, "Solitude"}};
  forge::WriteMapFile(g.app + "data/one.map", one);
  for (const char* layout : {"circle", "grid", "crazy", "spaced"}) {
    SCOPED_TRACE(layout);
    const Program q = RunTarvik(g, std::string("--generate 8 --clear --map data/one.map --races 101,103 --layout ") +
                                       layout);
    ASSERT_EQ(q.status, 0) << q.err;
    const std::vector<test::StoredObject> objects = g.Objects(8);
    const auto bases = OfKind(objects, BK::Base);
    ASSERT_EQ(bases.size(), 2u);
    for (const auto* b : bases) EXPECT_EQ(b->record.Get("planetId"), 1);
  }
}

TEST(GenerateCommand, HelpDescribesTheHeadlessWaysIn) {
  const std::string help = UsageText();
  for (const char* word : {"--generate SLOT", "--list-slots", "--races", "--layout", "--radius", "--pick",
                           "--game-name", "--home-minerals", "--home-cash", "--home-population", "--standard-ships",
                           "--extra-freighters", "--minerals", "--natives", "--contraband", "--cargo", "--clear",
                           "--map"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace tarvik
