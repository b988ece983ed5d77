// The whole session of a run: every layer's part, and what only the start-up and the
// batch run keep. main() or a test makes one; nothing hides in globals.
#pragma once

#include <string>

#include "wizard/wizard_session.h"

namespace tarvik {

struct Session : WizardSession {
  // The command line left after the long options, as one text.
  std::string commandLine;
  // --list-races: start-up ends by listing the race modules instead of opening the
  // batch run or the wizard.
  bool listRacesOnly = false;
};

}  // namespace tarvik
