// The replay driver as a game host runs it: tarvik --game-dir DIR --replay FILE.
#include <gtest/gtest.h>

#include <map>

#include "forge/universe_reader.h"
#include "platform/files.h"
#include "universe/slot_records.h"
#include "wizard_game.h"

namespace tarvik {
namespace {

using test::CommandRun;

// Runs the program in `cwd` with the arguments.
CommandRun RunTarvik(const test::TempDir& cwd, const std::string& args) {
  return test::RunIn(cwd.path(), std::string(TARVIK_BINARY) + " " + args);
}

TEST(WizardProgram, ABadReplayFileIsAUsageErrorBeforeAnythingIsDone) {
  test::WizardGame g;
  test::TempDir cwd;
  cwd.Write("bad.rpl", "# fine\nclick frmUnivSlots 5 10\nselect frmRace.lstAss 45\n");
  const CommandRun r = RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay bad.rpl");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad.rpl, line 3: "), std::string::npos) << r.err;
  EXPECT_FALSE(FolderExists(g.dir.path() + "WAR"));  // start-up never ran
  EXPECT_EQ(RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay missing.rpl").status, 2);
  EXPECT_EQ(RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay bad.rpl x.vps y.yig /x").status, 2);
}

TEST(WizardProgram, TheReplayRunsHeadlessAndWritesItsFilesInTheCurrentFolder) {
  test::WizardGame g;
  test::TempDir cwd;
  cwd.Write("walk.rpl", std::string(test::TO_MAP_STEP) +
                            "click frmOUTTEXT 1 1\n"
                            "dump state.json\ndraw frmMap pictures/map.svg\ncheck frmMap.optEcho 1\n");
  std::filesystem::create_directories(cwd.path() + "pictures");
  // frmOUTTEXT has no picture box: a usage error.
  EXPECT_EQ(RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay walk.rpl").status, 2);
  cwd.Write("walk.rpl", std::string(test::TO_MAP_STEP) +
                            "done\ndump state.json\ndraw frmMap pictures/map.svg\ncheck frmMap.optEcho 1\n");
  const CommandRun r = RunTarvik(cwd, "--game-dir " + g.dir.path() + " --seed 5 --replay walk.rpl");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("replay line 3: done does nothing: the form is not shown"), std::string::npos) << r.err;
  const test::Json state = test::Json::Parse(cwd.Read("state.json"));
  EXPECT_EQ(state["visible"][0].s, "frmMap");
  EXPECT_NE(cwd.Read("pictures/map.svg").find("<svg"), std::string::npos);
  // A dump that cannot be written ends the run.
  cwd.Write("walk.rpl", "dump no/such/folder/state.json\nclick frmUnivSlots 5 10\n");
  const CommandRun w = RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay walk.rpl");
  EXPECT_EQ(w.status, 1);
  EXPECT_NE(w.err.find("line 1: cannot write no/such/folder/state.json"), std::string::npos) << w.err;
}

// The sample game's replay files, as the README shows them, build their universes.
TEST(WizardProgram, TheSampleReplaysBuildAStandardAndAScriptedUniverse) {
  test::WizardGame g(forge::SampleGame());
  CopyFileTo(std::string(TARVIK_SAMPLE_SCRIPTS) + "/tutorial.vps", g.dir.path() + "scripts/tutorial.vps");
  const auto replay = [](const char* name) { return test::ReadText(std::string(TARVIK_SAMPLE_REPLAYS) + "/" + name); };
  ASSERT_EQ(g.Run(replay("standard.rpl"), 1), 0) << g.err.str();
  EXPECT_EQ(g.files.size(), 8u);  // seven pictures and the state at the end
  const test::Json standard = g.Dump("standard-done.json");
  EXPECT_EQ(standard["visible"][0].s, "frmOUTTEXT");
  EXPECT_EQ(standard["forms"]["frmOUTTEXT"]["controls"]["lblTIME"]["text"].s, "Finished");
  // Four players: four home bases on the map's 500 planets, and their fleets with the
  // three extra freighters each.
  std::map<int, int> kinds;
  for (const forge::StoredObject& o : forge::ReadObjects(SlotUniversePath(g.dir.path(), 6))) {
    ++kinds[o.kind == 1 || o.kind == 10 ? o.kind : 1000];
  }
  EXPECT_EQ(kinds[1], 500);
  EXPECT_EQ(kinds[10], 4);
  EXPECT_GE(kinds[1000], 4 * 3);
  EXPECT_TRUE(g.driver->messages().empty());

  ASSERT_EQ(g.Run(replay("scripted.rpl"), 1), 0) << g.err.str();
  EXPECT_EQ(g.Dump("scripted-done.json")["forms"]["frmOUTTEXT"]["controls"]["lblTIME"]["text"].s, "Finished");
  EXPECT_GT(forge::ReadObjects(SlotUniversePath(g.dir.path(), 7)).size(), 10u);
  GameRecord host;
  ReadRecordFile(GameRecordPath(g.dir.path(), 7), host);
  EXPECT_EQ(host.Get("inUse"), 1);
}

}  // namespace
}  // namespace tarvik
