// The wizard's part of the session: everything below it, and the wizard's own state.
#pragma once

#include "script/script_session.h"
#include "wizard/wizard_state.h"

namespace tarvik {

struct WizardSession : ScriptSession {
  WizardState wizard;
};

}  // namespace tarvik
