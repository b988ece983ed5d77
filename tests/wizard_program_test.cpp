// The replay driver as a game host runs it: tarvik --game-dir DIR --replay FILE.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "platform/files.h"
#include "wizard_game.h"

namespace tarvik {
namespace {

struct Ran {
  int status = -1;
  std::string out, err;
};

// Runs the program in `cwd` with the arguments; standard output and error are kept.
Ran RunTarvik(const test::TempDir& cwd, const std::string& args) {
  const std::string command = "cd " + cwd.path() + " && " + TARVIK_BINARY + " " + args +
                              " > out.txt 2> err.txt < /dev/null";
  const int status = std::system(command.c_str());
  Ran r;
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = cwd.Read("out.txt");
  r.err = cwd.Read("err.txt");
  return r;
}

TEST(WizardProgram, ABadReplayFileIsAUsageErrorBeforeAnythingIsDone) {
  test::WizardGame g;
  test::TempDir cwd;
  cwd.Write("bad.rpl", "# fine\nclick frmUnivSlots 5 10\nselect frmRace.lstAss 45\n");
  const Ran r = RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay bad.rpl");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("bad.rpl, line 3: "), std::string::npos) << r.err;
  EXPECT_FALSE(FolderExists(g.dir.path() + "WAR"));  // start-up never ran
  EXPECT_EQ(RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay missing.rpl").status, 2);
  EXPECT_EQ(RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay bad.rpl x.vps y.yig /x").status, 2);
}

TEST(WizardProgram, TheReplayRunsHeadlessAndWritesItsFilesInTheCurrentFolder) {
  test::WizardGame g;
  test::TempDir cwd;
  cwd.Write("walk.rpl", std::string(test::kToMapStep) +
                            "click frmOUTTEXT 1 1\n"
                            "dump state.json\ndraw frmMap pictures/map.svg\ncheck frmMap.optEcho 1\n");
  std::filesystem::create_directories(cwd.path() + "pictures");
  // frmOUTTEXT has no picture box: a usage error.
  EXPECT_EQ(RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay walk.rpl").status, 2);
  cwd.Write("walk.rpl", std::string(test::kToMapStep) +
                            "done\ndump state.json\ndraw frmMap pictures/map.svg\ncheck frmMap.optEcho 1\n");
  const Ran r = RunTarvik(cwd, "--game-dir " + g.dir.path() + " --seed 5 --replay walk.rpl");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("replay line 3: done does nothing: the form is not shown"), std::string::npos) << r.err;
  const test::Json state = test::Json::Parse(cwd.Read("state.json"));
  EXPECT_EQ(state["visible"][0].s, "frmMap");
  EXPECT_NE(cwd.Read("pictures/map.svg").find("<svg"), std::string::npos);
  // A dump that cannot be written ends the run.
  cwd.Write("walk.rpl", "dump no/such/folder/state.json\nclick frmUnivSlots 5 10\n");
  const Ran w = RunTarvik(cwd, "--game-dir " + g.dir.path() + " --replay walk.rpl");
  EXPECT_EQ(w.status, 1);
  EXPECT_NE(w.err.find("line 1: cannot write no/such/folder/state.json"), std::string::npos) << w.err;
}

}  // namespace
}  // namespace tarvik
