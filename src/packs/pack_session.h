// The data packs' part of the session.
#pragma once

#include "packs/pack_state.h"
#include "universe/universe_session.h"

namespace tarvik {

struct PackSession : UniverseSession {
  PackState packs;
};

}  // namespace tarvik
