// tarvik: the universe-creation tool. Parses the long options, sets up the host
// services and runs start-up.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/program_start.h"
#include "app/session.h"
#include "app/tool_commands.h"
#include "app/top.h"
#include "log/log_buffer.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/programs.h"
#include "platform/ui.h"
#include "wizard/replay_driver.h"
#include "wizard/replay_reader.h"

namespace {

// With a display named and the wizard wanted, the windows are the business of the
// second executable beside this one, which links the window toolkit; this one links
// none, so that every run without windows works on a machine without it. Returns the
// status to end with, or nothing when the windows could not be started: the run then
// goes on as one without a display, and says so.
std::optional<int> RunWindowedWizard(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) return std::nullopt;
  const std::string wizard = tarvik::ProgramFolder() + tarvik::WIZARD_PROGRAM;
  std::vector<std::string> args(argv, argv + argc);
  args[0] = wizard;
  const tarvik::ProgramRun run = tarvik::RunAndWait(wizard, args);
  if (run.started && run.status != 127) {
    if (run.signal != 0) {  // end as the windows ended
      std::signal(run.signal, SIG_DFL);
      std::raise(run.signal);
    }
    return run.status;
  }
  std::cerr << "tarvik: the wizard's windows cannot be started ("
            << (run.started ? wizard + " cannot load the window libraries" : run.error) << ")\n";
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  // A write past a file-size limit must fail as an error, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Interrupted or terminated, the program still leaves every line it logged.
  tarvik::WriteLogOnTerminatingSignals();

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

  tarvik::Clock realClock;
  tarvik::FixedClock fixedClock;
  const tarvik::Clock* clock = tarvik::ChooseClock(realClock, fixedClock, error);
  if (!clock) {
    std::cerr << "tarvik: " << error << "\n";
    return 2;
  }
  // The tools run alone, without the start-up.
  if (!options.tool.empty()) {
    return tarvik::RunTool(options, tarvik::GameFolder(options), *clock, std::cout, std::cerr);
  }

  if (tarvik::OpensWizard(options)) {
    if (const std::optional<int> status = RunWindowedWizard(argc, argv)) return *status;
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
  tarvik::PrepareSession(*session, options);
  return tarvik::RunProgram(*session);
}
