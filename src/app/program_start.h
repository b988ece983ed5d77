// What the two executables share before start-up: whether a run opens the wizard (and
// so wants the windowed front end), and the session the long options describe.
#pragma once

#include <string>

#include "app/options.h"
#include "platform/clock.h"

namespace tarvik {

struct Session;

// A run opens the wizard when it has no batch command line and no option that makes
// it run without the wizard's windows (--replay, --generate, --list-races,
// --list-slots, --help, --version).
bool OpensWizard(const LongOptions& options);

// The game folder of a run: the one --game-dir names, else the program's own folder,
// except for an installed program (in a folder named "bin"), whose game folder is the
// current folder.
std::string GameFolder(const LongOptions& options);

// Gives a new session what the long options say: the random seed, the game folder
// (GameFolder), the command line and the run without windows asked for.
void PrepareSession(Session& s, const LongOptions& options);

// The clock of a run: `real`, or for tests only, with TARVIK_FIXED_CLOCK="YYYY-MM-DD
// HH:MM:SS" in the environment, `fixed` stopped at that moment, so that a run's dates,
// game id and run time come out the same every time. Null, with the message for
// standard error in `error`, when the variable holds no such moment.
const Clock* ChooseClock(const Clock& real, FixedClock& fixed, std::string& error);

// The name of the executable that holds the wizard's windows; tarvik starts it from
// its own folder when the wizard opens and a display is named.
inline constexpr const char* WIZARD_PROGRAM = "tarvik-wizard";

}  // namespace tarvik
