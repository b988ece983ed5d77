// How errors travel: a fatal error or the end of the program thrown from deep inside a
// build passes every guarded sequence untouched and reaches the top, which shows the
// box and ends the program; and nothing is written to a file while the stack unwinds.
// (A run-time error in a property statement, its box and reason on standard error and
// the build going on, is a recorded run of the program.)
#include <gtest/gtest.h>

#include "app/top.h"
#include "script_game.h"

namespace tarvik {
namespace {

// A batch build whose script reaches a property statement that logs (ANTIAIR) inside
// a guarded DoProperty step, inside the batch run's objects pass, inside start-up.
struct GuardedBuild : test::ScriptGame {
  std::string script = WriteScript({"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END",
                                    "BEGIN BASE", "ANTIAIR = 40", "END", "BEGIN WING", "END"},
                                   "guarded.vps");
  // Runs the build with `thrown` raised where the antiair line is logged.
  template <class E>
  int RunThrowing(const E& thrown) {
    ts.output.onLine = [thrown](const std::string& line) {
      if (line.rfind("antiair:", 0) == 0) throw thrown;
    };
    s.commandLine = script + " " + universe + " /OX";
    return RunProgram(s);
  }
};

// The build stops where it was (the base and the wing are never stored): a fatal error
// shows only the "ERROR!" box (no "Error DoProperty", no batch or start-up step box);
// the end of the program shows none and keeps its status.
TEST(ErrorTravel, FatalErrorAndProgramEndPassEveryGuardToTheTop) {
  GuardedBuild g;
  EXPECT_EQ(g.RunThrowing(FatalError{"Script Missing"}), 1);
  ASSERT_EQ(g.ts.ui.messages.size(), 1u);
  EXPECT_EQ(g.ts.ui.messages[0].title, "ERROR!");
  EXPECT_EQ(g.ts.ui.messages[0].text, "Script Missing");
  EXPECT_EQ(g.ts.ui.messages[0].icon, MessageIcon::Critical);
  EXPECT_FALSE(g.Logged("Base Object ID#  1"));
  EXPECT_FALSE(g.Logged("Total Run Time:  0 Sec"));

  GuardedBuild e;
  EXPECT_EQ(e.RunThrowing(ProgramEnd{5}), 5);
  EXPECT_TRUE(e.ts.ui.messages.empty());
  EXPECT_FALSE(e.Logged("Base Object ID#  1"));
}

TEST(ErrorTravel, StartUpPassesFatalErrorAndProgramEnd) {
  for (const bool fatal : {true, false}) {
    test::ScriptGame g;
    g.s.listRacesOnly = true;  // start-up's own last step prints the race list
    struct Throwing : test::RecordingOutput {
      bool fatal = true;
      void Print(const std::string&) override {
        if (fatal) throw FatalError{"No room in map list!"};
        throw ProgramEnd{3};
      }
    } output;
    output.fatal = fatal;
    g.s.output = &output;
    EXPECT_EQ(RunProgram(g.s), fatal ? 1 : 3);
    ASSERT_EQ(g.ts.ui.messages.size(), fatal ? 1u : 0u);
    if (fatal) {
      EXPECT_EQ(g.ts.ui.messages[0].title, "ERROR!");
    }
  }
}

// The objects pass writes its records in large pieces; a fatal error after several of
// them leaves the universe file exactly as it was when it was thrown, and the run log
// with the lines logged before it (the top writes them out before its box): unwinding
// the stack, and later dropping the session, write nothing.
TEST(ErrorTravel, NothingIsWrittenWhileTheStackUnwinds) {
  test::ScriptGame g;
  std::vector<std::string> lines = {"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END"};
  for (int i = 0; i < 1500; ++i) lines.insert(lines.end(), {"BEGIN SHIP", "HULL = 2", "END"});
  const std::string script = g.WriteScript(lines, "many.vps");
  std::vector<uint8_t> universeAtThrow, logAtThrow;
  g.ts.output.onLine = [&](const std::string& line) {
    if (line != "Ship Object ID#  1400\r\n") return;
    universeAtThrow = ReadWholeFile(g.universe);
    const std::vector<std::string>& shown = g.ts.output.newLines;  // this line last
    for (size_t i = 0; i + 1 < shown.size(); ++i) logAtThrow.insert(logAtThrow.end(), shown[i].begin(), shown[i].end());
    throw FatalError{"No room in map list!"};
  };
  g.s.commandLine = script + " " + g.universe + " /OX";
  EXPECT_EQ(RunProgram(g.s), 1);
  ASSERT_FALSE(universeAtThrow.empty());
  // At least one piece of records (1 MiB) was written before the throw.
  EXPECT_GT(universeAtThrow.size(), size_t{1} << 20);
  EXPECT_TRUE(ReadWholeFile(g.universe) == universeAtThrow);
  EXPECT_TRUE(ReadWholeFile(g.s.paths.logPath) == logAtThrow);
  g.ts.session.reset();  // closes every file the session held open
  EXPECT_TRUE(ReadWholeFile(g.universe) == universeAtThrow);
  EXPECT_TRUE(ReadWholeFile(g.ts.dir.path() + "tarvik.log") == logAtThrow);
}

}  // namespace
}  // namespace tarvik
