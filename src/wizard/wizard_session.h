// The wizard's part of the session: everything below it, and the wizard's own state.
#pragma once

#include "generate/generate_session.h"
#include "wizard/wizard_state.h"

namespace tarvik {

struct WizardSession : GenerateSession {
  WizardState wizard;
};

}  // namespace tarvik
