// Headless standard generation (tarvik --generate SLOT [SETTINGS]) and the slot list
// (tarvik --list-slots): the choices a wizard session would make, given as settings,
// and the same calls in the same order, so that a --seed run agrees draw for draw with
// a wizard session that makes those choices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generate/generation_run.h"
#include "generate/map_parameters.h"
#include "generate/start_layouts.h"

namespace tarvik {

struct GenerateSession;
struct SlotRecords;

struct GenerateSettings {
  int slot = 0;
  int mapChoice = MAP_CHOICE_ECHO;
  std::string mapFile;  // --map FILE, as given (relative to the current folder)
  std::vector<int32_t> raceIds;
  StartLayout layout = StartLayout::Circle;
  std::optional<int32_t> radius;
  std::vector<MapPosition> picks;
  GameNames names;
  HomeStepChoices home;
  bool clear = false;
};

// Whether `option` is one of the settings of --generate, and whether it takes a value.
bool IsGenerateSetting(std::string_view option, bool& takesValue);

// Reads SLOT and the settings (option words each followed by its value, --clear alone)
// and checks everything the words and the custom map file alone can show. False with
// one line in `error` for a usage error.
bool ParseGenerateSettings(const std::string& slotWord, const std::vector<std::string>& words,
                           GenerateSettings& out, std::string& error);

// After start-up (the slot records loaded): the race IDs against the race list (a
// usage error, status 2), the slot-in-use refusal (status 1), --clear, then the
// wizard's calls and the generation run. Always ends the program: status 0 after a
// finished run, 1 when the run stopped. A run-time error from --clear onwards is a
// build error ("Build Error: ", status 1), as one inside the run is.
[[noreturn]] void RunGenerate(GenerateSession& s, const GenerateSettings& settings);

// The 12 slots as the slot step shows them: each side in use or free, and the data of
// each side in use.
std::string SlotListText(const SlotRecords& slots);

}  // namespace tarvik
