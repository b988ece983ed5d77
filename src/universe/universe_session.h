// The universe's part of the session: the shared tables of the universe being built,
// the home-world and planet settings, the chosen map, the flag-bit table and the host
// and player slot records.
#pragma once

#include <array>
#include <cstdint>

#include "log/log_session.h"
#include "universe/home_settings.h"
#include "universe/slot_records.h"
#include "universe/tables.h"

namespace tarvik {

struct UniverseSession : LogSession {
  UniverseTables tables;
  HomeSettings home;
  MapContext map;
  SlotRecords slots;
  // bitValue[0..30]: 2 to the power i, built at start-up.
  std::array<int32_t, 31> bitValue{};
};

}  // namespace tarvik
