// The batch run: the command line cut into its fields, and whole builds from a command
// line through start-up, both script passes and the universe file. The program itself
// run the same way is among the recorded runs.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/top.h"
#include "script_game.h"

namespace tarvik {
namespace {

TEST(BatchRun, CommandLineCutsIntoScriptOutputAndOptions) {
  const struct { const char *line, *script, *output, *options; } cases[] = {
      {"scripts\\big.vps g1.yig /OX", "scripts\\big.vps", "g1.yig", "OX"},
      {"a.vps  g1.yig /x", "a.vps", "", "x"},  // two blanks: no output
      {"a.vps g1.yig ignored words / o x", "a.vps", "g1.yig", "ox"},
      {"a\tb.vps out/put.yig", "a\tb.vps", "out/put.yig", ""},  // a tab is ordinary; so is "/" in the output
      {"only.vps", "only.vps", "", ""}};
  for (const auto& c : cases) {
    const BatchCommand b = CutCommandLine(c.line);
    EXPECT_EQ(b.script, c.script) << c.line;
    EXPECT_EQ(b.output, c.output) << c.line;
    EXPECT_EQ(b.options, c.options) << c.line;
  }
}

// A forged game folder started with a command line, as the program starts.
struct BatchGame : test::ScriptGame {
  std::string script = WriteScript({"BEGIN RACES", "PLAYERCOUNT = 3", "PLAYER(1) = 101", "PLAYER(2) = 102",
                                    "PLAYER(3) = 103", "END", "BEGIN PLANET", "NAME = Home", "END", "BEGIN SHIP",
                                    "HULL = 3", "END", "BEGIN WING", "END"},
                                   "build.vps");
  int Run(const std::string& commandLine) {
    s.commandLine = commandLine;
    return RunProgram(s);
  }
};

// The log a build writes and what the program shows of it are recorded runs, with and
// without X; here the output view: shown, and left waiting for Done only without X.
TEST(BatchRun, TheOutputViewWaitsForDoneOnlyWithoutX) {
  for (const char* options : {" /ox", ""}) {
    SCOPED_TRACE(options);
    BatchGame g;
    EXPECT_EQ(g.Run(g.script + " " + g.universe + options), 0);
    EXPECT_EQ(test::ReadObjects(g.universe).size(), 3u);
    EXPECT_TRUE(g.ts.output.shown);
    EXPECT_EQ(g.ts.output.text, g.ts.dir.Read("tarvik.log"));
    EXPECT_EQ(g.ts.output.timeLabels.back(), "Finished");
    EXPECT_EQ(g.ts.output.doneWaits, *options ? 0 : 1);
  }
}

// The refusals and failures of a batch run (an output that exists without option O, no
// output named, no script at all, a step that fails) are recorded runs of the program.
TEST(BatchRun, OutputFieldAndScriptField) {
  BatchGame o;  // an existing output is replaced with option O; words between are ignored
  o.ts.dir.Write("UNIV/GAME1/g1.yig", std::string("old"));
  EXPECT_EQ(o.Run(o.script + " " + o.universe + " junk /Ox"), 0);
  EXPECT_EQ(test::ReadObjects(o.universe).size(), 3u);

  BatchGame e;  // an empty output field builds nothing
  EXPECT_EQ(e.Run(e.script + "  " + e.universe + " /X"), 0);
  EXPECT_FALSE(FileExists(e.universe) || e.ts.output.shown);
  EXPECT_TRUE(e.ts.ui.messages.empty());

  BatchGame u;  // an unknown script falls back to the first one found, build.vps
  EXPECT_EQ(u.Run(u.s.paths.appPath + "nothere.vps " + u.universe + " /X"), 0);
  EXPECT_EQ(test::ReadObjects(u.universe).size(), 3u);
}

}  // namespace
}  // namespace tarvik
