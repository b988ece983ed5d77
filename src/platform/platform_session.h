// The lowest part of the session: the host services and the game folder's paths.
//
// The state of a run is one session object passed by reference. Each layer defines its
// own part, deriving from the part of the layer below (PlatformSession, LogSession,
// UniverseSession, PackSession, ObjectSession, ScriptSession, and app's Session), and
// its functions take the narrowest part they need: a lower layer never names the parts
// above it, and a caller passes its whole session, which converts to the part.
#pragma once

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/ui.h"

namespace tarvik {

struct PlatformSession {
  // Host services. The pointers are owned by whoever made the session (main() or a
  // test) and outlive it.
  const Clock* clock = nullptr;
  UserInterface* ui = nullptr;
  OutputView* output = nullptr;
  Random random;

  AppPaths paths;
};

}  // namespace tarvik
