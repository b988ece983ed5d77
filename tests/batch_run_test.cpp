// The batch run: the command line cut into its fields, and whole builds from a command
// line through start-up, both script passes and the universe file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "app/command_line.h"
#include "app/startup.h"
#include "base/errors.h"
#include "script_game.h"

namespace tarvik {
namespace {

TEST(CommandLineCut, ScriptBlankOutputThenOptionsAfterTheSlash) {
  BatchCommand a = CutCommandLine("scripts\\big.vps g1.yig /OX");
  EXPECT_EQ(a.script, "scripts\\big.vps");
  EXPECT_EQ(a.output, "g1.yig");
  EXPECT_EQ(a.options, "OX");

  BatchCommand b = CutCommandLine("a.vps  g1.yig /x");  // two blanks: no output
  EXPECT_EQ(b.script, "a.vps");
  EXPECT_EQ(b.output, "");
  EXPECT_EQ(b.options, "x");

  BatchCommand c = CutCommandLine("a.vps g1.yig ignored words / o x");
  EXPECT_EQ(c.output, "g1.yig");
  EXPECT_EQ(c.options, "ox");

  BatchCommand d = CutCommandLine("a\tb.vps out/put.yig");  // a tab is ordinary; "/" in the output too
  EXPECT_EQ(d.script, "a\tb.vps");
  EXPECT_EQ(d.output, "out/put.yig");
  EXPECT_EQ(d.options, "");

  BatchCommand e = CutCommandLine("only.vps");
  EXPECT_EQ(e.script, "only.vps");
  EXPECT_EQ(e.output, "");
}

// A forged game folder started with a command line, as the program starts.
struct BatchGame : test::ScriptGame {
  std::string script;
  std::string out;
  BatchGame() {
    script = WriteScript({"BEGIN RACES", "PLAYERCOUNT = 3", "PLAYER(1) = 101", "PLAYER(2) = 102", "PLAYER(3) = 103",
                          "END", "BEGIN PLANET", "NAME = Home", "END", "BEGIN SHIP", "HULL = 3", "END", "BEGIN WING",
                          "END"},
                         "build.vps");
    out = s.paths.appPath + "UNIV/GAME1/g1.yig";
  }
  int Run(const std::string& commandLine) {
    s.commandLine = commandLine;
    return RunProgram(s);
  }
};

TEST(BatchRun, BuildsTheUniverseAndEndsWithOptionX) {
  BatchGame g;
  EXPECT_EQ(g.Run(g.script + " " + g.out + " /ox"), 0);
  std::vector<test::StoredObject> o = test::ReadObjects(g.out);
  ASSERT_EQ(o.size(), 3u);
  EXPECT_EQ(o[1].kind, 1003);
  EXPECT_EQ(g.s.tables.playerCount, 3);
  std::vector<std::string> log = g.LogLines();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], "Size =  12");
  EXPECT_EQ(log[1], "Ship Object ID#  2");
  EXPECT_EQ(log[2], "Wing Object ID#  3");
  EXPECT_EQ(log.back(), "Total Run Time:  0 Sec");
  // The output view showed each line as it was logged, and the whole log at the end.
  EXPECT_TRUE(g.ts.output.shown);
  EXPECT_EQ(g.ts.output.newLines.front(), "Size =  12\r\n");
  EXPECT_EQ(g.ts.output.text, g.ts.dir.Read("tarvik.log"));
  EXPECT_EQ(g.ts.output.timeLabels.back(), "Finished");
  EXPECT_EQ(g.ts.output.doneWaits, 0);
  EXPECT_TRUE(g.ts.ui.messages.empty());
}

TEST(BatchRun, WithoutOptionXTheOutputWaitsForDone) {
  BatchGame g;
  EXPECT_EQ(g.Run(g.script + " " + g.out), 0);
  EXPECT_TRUE(FileExists(g.out));
  EXPECT_EQ(g.ts.output.doneWaits, 1);
}

TEST(BatchRun, ExistingOutputIsReplacedOnlyWithOptionO) {
  BatchGame g;
  g.ts.dir.Write("UNIV/GAME1/g1.yig", std::string("old"));
  EXPECT_EQ(g.Run(g.script + " " + g.out + " /x"), 1);
  EXPECT_EQ(g.ts.dir.Read("UNIV/GAME1/g1.yig"), "old");
  ASSERT_EQ(g.ts.ui.messages.size(), 1u);
  EXPECT_EQ(g.ts.ui.messages[0].text, "Error: Output file name already exists. Tarvik will not overwrite it.");

  BatchGame h;
  h.ts.dir.Write("UNIV/GAME1/g1.yig", std::string("old"));
  EXPECT_EQ(h.Run(h.script + " " + h.out + " junk /Ox"), 0);
  EXPECT_EQ(test::ReadObjects(h.out).size(), 3u);
}

TEST(BatchRun, EmptyOutputFieldBuildsNothing) {
  BatchGame g;
  EXPECT_EQ(g.Run(g.script + "  " + g.out + " /X"), 0);
  EXPECT_FALSE(FileExists(g.out));
  EXPECT_TRUE(g.ts.ui.messages.empty());
  EXPECT_FALSE(g.ts.output.shown);

  BatchGame h;
  EXPECT_EQ(h.Run(h.script), 2);  // nothing named, nothing stays open: said and ended
  EXPECT_FALSE(FileExists(h.out));
  ASSERT_EQ(h.ts.ui.messages.size(), 1u);
}

TEST(BatchRun, UnknownScriptFieldFallsBackToTheFirstScriptFound) {
  BatchGame g;
  // build.vps is the only script of the folder, so start-up picked it.
  EXPECT_EQ(g.Run(g.s.paths.appPath + "nothere.vps " + g.out + " /X"), 0);
  EXPECT_EQ(test::ReadObjects(g.out).size(), 3u);
}

TEST(BatchRun, MissingScriptIsFatal) {
  test::ScriptGame g;  // no script in the folder at all
  g.s.commandLine = g.s.paths.appPath + "nothere.vps " + g.s.paths.appPath + "UNIV/GAME1/g1.yig /X";
  EXPECT_EQ(RunProgram(g.s), 1);
  ASSERT_FALSE(g.ts.ui.messages.empty());
  EXPECT_EQ(g.ts.ui.messages.back().title, "ERROR!");
  EXPECT_EQ(g.ts.ui.messages.back().text, "Script Missing");
  EXPECT_FALSE(FileExists(g.s.paths.appPath + "UNIV/GAME1/g1.yig"));
}

TEST(BatchRun, RunTimeErrorNamesTheStepAndTheCommandLine) {
  BatchGame g;
  DeleteFileAt(g.s.paths.dataDir + "main.dat");  // the universe file needs the data file
  const std::string line = g.script + " " + g.out + " /X";
  EXPECT_EQ(g.Run(line), 1);
  ASSERT_FALSE(g.ts.ui.messages.empty());
  EXPECT_EQ(g.ts.ui.messages.back().text, "Tarvik CommandLine Error:  112 [" + line + "]");
  EXPECT_FALSE(FileExists(g.out));
}

// The program itself, as a game host runs it.
TEST(BatchProgram, BuildsFromTheCommandLineWithAFixedSeed) {
  BatchGame g;
  const std::string cmd = std::string(TARVIK_BINARY) + " --game-dir " + g.s.paths.appPath + " --seed 7 " + g.script +
                          " " + g.out + " /OX > " + g.s.paths.appPath + "stdout.txt 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const std::string shown = g.ts.dir.Read("stdout.txt");
  EXPECT_NE(shown.find("Ship Object ID#  2"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Finished"), std::string::npos);
  EXPECT_EQ(test::ReadObjects(g.out).size(), 3u);

  // Again without /O: the file is there now.
  const std::string again = std::string(TARVIK_BINARY) + " --game-dir " + g.s.paths.appPath + " " + g.script + " " +
                            g.out + " /X 2> " + g.s.paths.appPath + "stderr.txt";
  const int second = std::system(again.c_str());
  ASSERT_TRUE(WIFEXITED(second));
  EXPECT_EQ(WEXITSTATUS(second), 1);
  EXPECT_EQ(g.ts.dir.Read("stderr.txt"), "Error: Output file name already exists. Tarvik will not overwrite it.\n");
}

}  // namespace
}  // namespace tarvik
