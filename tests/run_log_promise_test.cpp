// The run log's promise. However the lines travel to the log file, the file holds every
// line logged so far whenever anyone can look at it: before each message box, at a fatal
// error, at the end of a build and of the program (Done clicked during a build
// included), and when a signal ends the program. The output view is shown each line as it
// is logged.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "app/top.h"
#include "base/text.h"
#include "generation_game.h"
#include "log/log_buffer.h"
#include "log/run_log.h"
#include "script_game.h"

namespace tarvik {
namespace {

// A user interface that looks at the log file each time it is about to show a box.
struct LookingUi : test::RecordingUi {
  std::function<void()> look;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    look();
    RecordingUi::ShowMessage(title, text, icon);
  }
  void ShowStepError(const std::string& message, const std::string& reason) override {
    look();
    RecordingUi::ShowStepError(message, reason);
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    look();
    return RecordingUi::AskYesNo(title, text);
  }
};

std::string Joined(const std::vector<std::string>& lines, size_t count = SIZE_MAX) {
  std::string all;
  for (size_t i = 0; i < count && i < lines.size(); ++i) all += lines[i];
  return all;
}

// A script with enough ships for several pieces of log lines, and a property statement
// that fails (a box) among them.
std::vector<std::string> ManyShips(int ships, int failAt) {
  std::vector<std::string> lines = {"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END"};
  for (int i = 0; i < ships; ++i) {
    lines.insert(lines.end(), {"BEGIN SHIP", "HULL = 2"});
    if (i == failAt) lines.push_back("ATTACKENEMY = abc");
    lines.push_back("END");
  }
  return lines;
}

TEST(RunLogPromise, EveryBoxAndTheEndOfTheProgramFindEveryLineLoggedInTheFile) {
  test::ScriptGame g;
  const std::string script = g.WriteScript(ManyShips(6000, 4000), "many.vps");
  LookingUi ui;
  std::vector<std::string> looks;
  ui.look = [&] {
    looks.push_back(g.ts.dir.Read("tarvik.log"));
    EXPECT_EQ(looks.back(), Joined(g.ts.output.newLines));
  };
  g.s.ui = &ui;
  g.s.commandLine = script + " " + g.universe + " /OX";
  EXPECT_EQ(RunProgram(g.s), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Error DoProperty");
  // The box came after thousands of lines, more than the log holds back at a time.
  ASSERT_EQ(looks.size(), 1u);
  EXPECT_GT(looks[0].size(), LogBuffer::CAPACITY);
  // The program's end: every line, the run time last.
  const std::string file = g.ts.dir.Read("tarvik.log");
  EXPECT_EQ(file, Joined(g.ts.output.newLines));
  EXPECT_TRUE(file.ends_with("Ship Object ID#  6000\r\nTotal Run Time:  0 Sec\r\n"));
}

// The end of a build: when the output window says "Finished", and while it waits for
// Done after a build without X, the log file holds every line the view was shown.
TEST(RunLogPromise, TheEndOfABuildFindsEveryLineInTheFile) {
  test::ScriptGame g;
  const std::string script = g.WriteScript(ManyShips(3000, -1), "many.vps");
  struct LookingOutput : test::RecordingOutput {
    std::function<void()> look;
    void SetTimeLabel(const std::string& t) override {
      RecordingOutput::SetTimeLabel(t);
      if (t == "Finished") look();
    }
    void WaitForDone() override {
      RecordingOutput::WaitForDone();
      look();
    }
  } output;
  std::vector<std::string> looks;
  output.look = [&] { looks.push_back(g.ts.dir.Read("tarvik.log")); };
  g.s.output = &output;
  g.s.commandLine = script + " " + g.universe + " /O";
  EXPECT_EQ(RunProgram(g.s), 0);
  ASSERT_EQ(looks.size(), 2u);
  const std::string shown = Joined(output.newLines);
  EXPECT_GT(shown.size(), LogBuffer::CAPACITY);
  EXPECT_TRUE(shown.ends_with("Ship Object ID#  3000\r\nTotal Run Time:  0 Sec\r\n"));
  EXPECT_EQ(looks[0], shown);
  EXPECT_EQ(looks[1], shown);
}

TEST(RunLogPromise, AFatalErrorFindsEveryLineLoggedBeforeIt) {
  test::ScriptGame g;
  const std::string script = g.WriteScript(ManyShips(6000, -1), "many.vps");
  LookingUi ui;
  std::string atTheBox;
  ui.look = [&] { atTheBox = g.ts.dir.Read("tarvik.log"); };
  g.s.ui = &ui;
  g.ts.output.onLine = [](const std::string& line) {
    if (line == "Ship Object ID#  5000\r\n") throw FatalError{"No room in map list!"};
  };
  g.s.commandLine = script + " " + g.universe + " /OX";
  EXPECT_EQ(RunProgram(g.s), 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "ERROR!");
  // The line being logged when the error came never reached the log.
  const std::vector<std::string>& shown = g.ts.output.newLines;
  ASSERT_EQ(shown.back(), "Ship Object ID#  5000\r\n");
  EXPECT_EQ(atTheBox, Joined(shown, shown.size() - 1));
  EXPECT_TRUE(atTheBox.ends_with("Ship Object ID#  4999\r\n"));
  EXPECT_EQ(g.ts.dir.Read("tarvik.log"), atTheBox);
}

// Done clicked while a standard universe is generated: the run goes on and ends the
// program when it is over, and the log file then holds the whole run.
TEST(RunLogPromise, DoneClickedDuringAGenerationStillLeavesTheWholeLog) {
  test::GenerationGame g;
  struct ClickingOutput : test::RecordingOutput {
    LogSession* s = nullptr;
    int pumps = 0;
    void PumpEvents() override {
      if (++pumps == 2) ClickDone(*s);
    }
  } output;
  output.s = &g.s;
  g.s.output = &output;
  EXPECT_EQ(g.Generate(3, {"--map", "epsilon", "--races", "101,102,103,104", "--extra-freighters", "1"}), 0);
  EXPECT_TRUE(g.s.log.doneClicked);
  EXPECT_FALSE(g.s.log.outputShown);
  const std::string file = g.ts.dir.Read("tarvik.log");
  EXPECT_TRUE(file.starts_with("Starting to make universe file. . . \r\n"));
  EXPECT_TRUE(file.ends_with("Done\r\nTotal Run Time:  0 Sec\r\n"));
  EXPECT_NE(file.find("Base Object ID#"), std::string::npos);
  // Shown line by line while the window was there; the log file has them all.
  ASSERT_FALSE(output.newLines.empty());
  EXPECT_TRUE(file.starts_with(Joined(output.newLines)));
}

// A child process logs lines and is ended by a signal: the log file has every line.
struct SignalEnd {
  int signal;
  bool ignoredAtStart;  // the program was started with the signal ignored
};

void LogThenRaise(const SignalEnd& end, const std::string& logPath, int lines) {
  auto session = std::make_unique<Session>();
  Session& s = *session;
  s.paths.logPath = logPath;
  if (end.ignoredAtStart) ::signal(end.signal, SIG_IGN);
  WriteLogOnTerminatingSignals();
  for (int i = 1; i <= lines; ++i) LogLine(s, "Ship Object ID# " + NumText(i));
  ::raise(end.signal);
  ::_exit(0);  // reached only when the signal was ignored
}

TEST(RunLogPromise, ASignalThatEndsTheProgramLeavesEveryLineLogged) {
  test::TempDir dir;
  const int lines = 5000;  // more than one buffer's worth, and a part held back
  std::string expected;
  for (int i = 1; i <= lines; ++i) expected += "Ship Object ID# " + NumText(i) + "\r\n";
  ASSERT_GT(expected.size(), LogBuffer::CAPACITY);
  ASSERT_NE(expected.size() % LogBuffer::CAPACITY, 0u);
  for (const SignalEnd end : {SignalEnd{SIGINT, false}, SignalEnd{SIGTERM, false}, SignalEnd{SIGHUP, false},
                              SignalEnd{SIGBUS, false}, SignalEnd{SIGHUP, true}}) {
    SCOPED_TRACE(::strsignal(end.signal) + std::string(end.ignoredAtStart ? ", ignored" : ""));
    const std::string logPath = dir.path() + "tarvik" + std::to_string(end.signal) + ".log";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) LogThenRaise(end, logPath, lines);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (end.ignoredAtStart) {
      // Still ignored: the child went on to its own end, and its log holds what it wrote.
      EXPECT_TRUE(WIFEXITED(status));
    } else {
      ASSERT_TRUE(WIFSIGNALED(status));  // ended by the signal, as it would have been
      EXPECT_EQ(WTERMSIG(status), end.signal);
      EXPECT_EQ(dir.Read("tarvik" + std::to_string(end.signal) + ".log"), expected);
    }
  }
}

// The program itself, terminated in the middle of a large batch build: its log file
// holds whole lines, the beginning of the log that the whole build writes.
TEST(RunLogPromise, TheProgramTerminatedMidBuildLeavesTheBeginningOfItsLog) {
  test::ScriptGame g;
  const std::string script = g.WriteScript(ManyShips(8000, -1), "many.vps");
  auto start = [&] {
    const pid_t pid = ::fork();
    if (pid == 0) {
      const std::string out = g.universe;
      ::freopen("/dev/null", "w", stdout);
      ::execl(TARVIK_BINARY, TARVIK_BINARY, "--game-dir", g.ts.dir.path().c_str(), "--seed", "5", script.c_str(),
              out.c_str(), "/OX", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  };
  ::setenv("TARVIK_FIXED_CLOCK", "2026-03-04 12:00:00", 1);
  int status = 0;
  const pid_t whole = start();
  ASSERT_EQ(::waitpid(whole, &status, 0), whole);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::string full = g.ts.dir.Read("tarvik.log");
  ASSERT_TRUE(full.ends_with("Total Run Time:  0 Sec\r\n"));

  // Stopped once the build has begun to log (the log was emptied at its start), then
  // sent the signal and let go: the signal ends it mid-build, however fast the build is.
  // The lines logged but not yet in the file when it stopped are written by the signal.
  // Runs that end before they are stopped are tried again, and so are runs stopped just
  // as the log wrote its lines out (nothing is left for the signal to write).
  int stoppedMidBuild = 0;
  bool signalWrote = false;
  for (int attempt = 0; attempt < 20 && !signalWrote; ++attempt) {
    DeleteFileAt(g.ts.dir.path() + "tarvik.log");
    const pid_t cut = start();
    while (g.ts.dir.Read("tarvik.log").find("Size =") == std::string::npos) {
      if (::waitpid(cut, &status, WNOHANG) == cut) break;
    }
    ::kill(cut, SIGSTOP);
    if (::waitpid(cut, &status, WUNTRACED) != cut || !WIFSTOPPED(status)) continue;  // it had ended
    const std::string atStop = g.ts.dir.Read("tarvik.log");
    ::kill(cut, SIGTERM);
    ::kill(cut, SIGCONT);
    ASSERT_EQ(::waitpid(cut, &status, 0), cut);
    if (atStop.size() == full.size()) continue;  // stopped on its way out
    ++stoppedMidBuild;
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    const std::string left = g.ts.dir.Read("tarvik.log");
    EXPECT_TRUE(left.ends_with("\r\n"));
    EXPECT_LT(left.size(), full.size());
    EXPECT_EQ(full.substr(0, left.size()), left);
    signalWrote = left.size() > atStop.size();
  }
  ::unsetenv("TARVIK_FIXED_CLOCK");
  ASSERT_GT(stoppedMidBuild, 0) << "every run ended before it could be stopped";
  EXPECT_TRUE(signalWrote) << "in none of " << stoppedMidBuild
                           << " runs stopped mid-build did the signal write the lines not yet in the file";
}

}  // namespace
}  // namespace tarvik
