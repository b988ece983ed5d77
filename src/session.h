// The one state object of a run. Everything the program keeps between steps lives
// here and is passed by reference; a test makes a fresh one. Nothing hides in globals.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/paths.h"
#include "app/run_log.h"
#include "generate/home_settings.h"
#include "objects/store_state.h"
#include "packs/pack_state.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/ui.h"
#include "script/script_state.h"
#include "universe/records.h"
#include "universe/tables.h"
#include "wizard/wizard_state.h"

namespace tarvik {

struct Session {
  // Host services. The pointers are owned by whoever made the session (main() or a
  // test) and outlive it.
  const Clock* clock = nullptr;
  UserInterface* ui = nullptr;
  OutputView* output = nullptr;
  Random random;

  AppPaths paths;
  RunLog log;
  UniverseTables tables;
  PackState packs;
  WorkingRecords records;
  StoreState store;
  ScriptState script;
  HomeSettings home;
  MapContext map;
  WizardState wizard;

  // bitValue[0..30]: 2 to the power i, built at start-up.
  std::array<int32_t, 31> bitValue{};
  // The command line left after the long options, as one text.
  std::string commandLine;
  // --list-races: start-up ends by listing the race modules instead of opening the
  // batch run or the wizard.
  bool listRacesOnly = false;
};

}  // namespace tarvik
