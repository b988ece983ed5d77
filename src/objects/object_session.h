// The objects' part of the session: the working record of every object kind and the
// open object store.
#pragma once

#include "objects/ship_construction.h"
#include "objects/store_state.h"
#include "packs/pack_session.h"
#include "universe/records.h"

namespace tarvik {

struct ObjectSession : PackSession {
  WorkingRecords records;
  StoreState store;
  ShipTemplates shipTemplates;
};

}  // namespace tarvik
