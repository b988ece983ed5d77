// The standard generation's part of the session: the start layouts of the
// start-position step (with the map preview they are drawn on) and where each player's
// starting fleet goes.
#pragma once

#include "generate/home_worlds.h"
#include "generate/start_layouts.h"
#include "script/script_session.h"

namespace tarvik {

struct GenerateSession : ScriptSession {
  StartLayouts layouts;
  FleetPositions fleet;
};

}  // namespace tarvik
