// The script reader's part of the session.
#pragma once

#include "objects/object_session.h"
#include "script/script_state.h"

namespace tarvik {

struct ScriptSession : ObjectSession {
  ScriptState script;
};

}  // namespace tarvik
