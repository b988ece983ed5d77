// The whole session of a run: every layer's part, and what only the start-up, the
// batch run and the headless ways in keep. main() or a test makes one; nothing hides
// in globals.
#pragma once

#include <optional>
#include <string>

#include "app/generate_command.h"
#include "wizard/wizard_session.h"

namespace tarvik {

struct Session : WizardSession {
  // The command line left after the long options, as one text.
  std::string commandLine;
  // --list-races: start-up ends by listing the race modules instead of opening the
  // batch run or the wizard.
  bool listRacesOnly = false;
  // --list-slots: start-up ends by listing the 12 slots.
  bool listSlotsOnly = false;
  // --generate: start-up goes on with a headless standard generation.
  std::optional<GenerateSettings> generate;
};

}  // namespace tarvik
