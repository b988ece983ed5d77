// tarvik: the universe-creation tool. Parses the long options, sets up the host
// services and runs start-up.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/session.h"
#include "app/tool_commands.h"
#include "app/top.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "wizard/replay_driver.h"
#include "wizard/replay_reader.h"

namespace {

std::string ProgramFolder(const char* argv0) {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string exe = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(argv0);
  size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

// For tests only: TARVIK_FIXED_CLOCK="YYYY-MM-DD HH:MM:SS" stops the clock at that
// moment, so that a run's dates, game id and run time come out the same every time.
// Unset, the clock is the real one. False for a value that is not such a moment.
bool SetFixedClock(const char* text, tarvik::FixedClock& clock) {
  tarvik::DateTime& t = clock.now;
  char end = 0;
  if (std::sscanf(text, "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second, &end) != 6 ||
      t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return false;
  }
  clock.seconds = t.hour * 3600.0 + t.minute * 60.0 + t.second;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // A write past a file-size limit must fail as an error, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);

  std::vector<std::string> args(argv + 1, argv + argc);
  tarvik::LongOptions options;
  std::string error;
  if (!tarvik::ParseLongOptions(args, options, error)) {
    std::cerr << tarvik::UsageErrorText(options, error);
    return 2;
  }
  if (options.help) {
    std::cout << tarvik::UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "tarvik " << TARVIK_VERSION << "\n";
    return 0;
  }

  // A replay file is read and checked whole before anything else happens.
  std::vector<tarvik::ReplayEvent> replay;
  if (options.replayFile) {
    try {
      replay = tarvik::ReadReplayFile(*options.replayFile);
    } catch (const tarvik::ReplayUsageError& e) {
      std::cerr << "tarvik: " << e.what() << "\n";
      return 2;
    }
  }

  tarvik::Clock realClock;
  tarvik::FixedClock fixedClock;
  const tarvik::Clock* clock = &realClock;
  if (const char* fixed = std::getenv("TARVIK_FIXED_CLOCK")) {
    if (!SetFixedClock(fixed, fixedClock)) {
      std::cerr << "tarvik: TARVIK_FIXED_CLOCK needs \"YYYY-MM-DD HH:MM:SS\", not \"" << fixed << "\"\n";
      return 2;
    }
    clock = &fixedClock;
  }
  const std::string gameDir = options.gameDir ? *options.gameDir : tarvik::GameFolderOfProgram(ProgramFolder(argv[0]));
  // The tools run alone, without the start-up.
  if (!options.tool.empty()) return tarvik::RunTool(options, gameDir, *clock, std::cout, std::cerr);

  tarvik::ConsoleUserInterface ui(std::cerr);
  tarvik::ConsoleOutputView output(std::cout);
  auto session = std::make_unique<tarvik::Session>();
  session->clock = clock;
  session->ui = &ui;
  session->output = &output;
  // The headless front end stands in for the wizard's windows.
  std::unique_ptr<tarvik::ReplayDriver> driver;
  if (options.replayFile) {
    driver = std::make_unique<tarvik::ReplayDriver>(*session, std::move(replay), std::cerr);
    session->ui = driver.get();
    session->wizard.frontEnd = driver.get();
  }
  session->random.SetFixedSeed(options.seed);
  session->paths.appPath = gameDir;
  session->commandLine = options.commandLine;
  session->listRacesOnly = options.listRaces;
  session->listSlotsOnly = options.listSlots;
  session->generate = options.generate;
  return tarvik::RunProgram(*session);
}
