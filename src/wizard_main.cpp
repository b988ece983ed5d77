// tarvik-wizard: the wizard in real windows. tarvik starts it when the wizard opens and
// a display is named; it runs the same start-up with the windowed front end. Run by
// itself it takes the same --game-dir and --seed; without a display it says so as
// tarvik does.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/program_start.h"
#include "app/session.h"
#include "app/top.h"
#include "gui/fltk_front_end.h"
#include "gui/leak_suppressions.h"
#include "gui/look.h"
#include "log/log_buffer.h"
#include "platform/clock.h"
#include "platform/ui.h"

TARVIK_WINDOW_LEAK_SUPPRESSIONS

namespace {

const char* const USAGE =
    "Usage: tarvik-wizard [--game-dir DIR] [--seed N]\n"
    "       tarvik-wizard --help | --version\n"
    "\n"
    "Opens the universe-creation wizard in windows (it needs a display). tarvik starts\n"
    "it when run without a command line; the batch run, --replay and the other options\n"
    "that open no window belong to tarvik.\n";

}  // namespace

int main(int argc, char** argv) {
  // A write past a file-size limit must fail as an error, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Interrupted or terminated during a build, the program still leaves every line it logged.
  tarvik::WriteLogOnTerminatingSignals();

  const std::vector<std::string> args(argv + 1, argv + argc);
  tarvik::LongOptions options;
  std::string error;
  if (!tarvik::ParseLongOptions(args, options, error)) {
    std::cerr << "tarvik-wizard: " << error << "\n\n" << USAGE;
    return 2;
  }
  if (options.help) {
    std::cout << USAGE;
    return 0;
  }
  if (options.version) {
    std::cout << "tarvik-wizard " << TARVIK_VERSION << "\n";
    return 0;
  }
  if (!tarvik::OpensWizard(options)) {
    std::cerr << "tarvik-wizard: only opens the wizard; the batch run, --generate, --replay and the other options\n"
                 "that open no window belong to tarvik\n";
    return 2;
  }

  tarvik::Clock realClock;
  tarvik::FixedClock fixedClock;
  const tarvik::Clock* clock = tarvik::ChooseClock(realClock, fixedClock, error);
  if (!clock) {
    std::cerr << "tarvik-wizard: " << error << "\n";
    return 2;
  }
  tarvik::ConsoleUserInterface console(std::cerr);
  auto session = std::make_unique<tarvik::Session>();
  session->clock = clock;
  session->ui = &console;  // until the windows are there, and without a display
  tarvik::PrepareSession(*session, options);

  std::unique_ptr<tarvik::gui::FltkFrontEnd> windows;
  if (tarvik::gui::OpenDisplay()) {
    tarvik::gui::ApplyLook();
    windows = std::make_unique<tarvik::gui::FltkFrontEnd>(*session);
    session->ui = windows.get();
    session->wizard.frontEnd = windows.get();
  }
  const int status = tarvik::RunProgram(*session);
  if (windows && windows->displayLost()) {
    // Nothing may talk to the lost display again, not even the windows' destructors.
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
  }
  return status;
}
