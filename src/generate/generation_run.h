// The generation run: a complete standard universe from a map, in the host slot taken
// by the slot step, with the players, start positions and home settings chosen before
// it. Also the pieces a scripted build in a slot shares with it: the START defaults of
// a scripted build, the slot's paths, the marker file and the slot records after a
// build, and what happens when a build fails.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "universe/home_settings.h"

namespace tarvik {

struct GenerateSession;
struct ObjectSession;
struct UniverseSession;

// The three texts of the name step, with their initial texts.
inline constexpr std::string_view INITIAL_GAME_NAME = "Alpha Game";
inline constexpr std::string_view INITIAL_HOST_NAME = "Sample Host";
inline constexpr std::string_view INITIAL_RST_NAME = "player";
struct GameNames {
  std::string gameName{INITIAL_GAME_NAME};
  std::string hostName{INITIAL_HOST_NAME};
  std::string rstName{INITIAL_RST_NAME};
};

// The amounts of the home step's cash and population lists, entry 0 first.
inline constexpr std::array<int32_t, 7> HOME_CASH_AMOUNTS = {2000, 3000, 4000, 5000, 10000, 15000, 20000};
inline constexpr std::array<int32_t, 7> HOME_POPULATION_AMOUNTS = {200000,  300000,  400000, 500000,
                                                                   1000000, 2000000, 5000000};

// What the home and planet steps hold at Finish: the selected index of each list (-1
// for a typed text) and the two check boxes. The defaults are those of the first visit.
struct HomeStepChoices {
  int homeMineral = 2;
  int homeNative = 0;
  int homeCash = 2;        // 4000
  int homePopulation = 1;  // 300000
  int homeCargo = 3;
  bool standardShips = true;
  bool extraFreighters = false;
  int mineral = 3;
  int native = 2;
  int contraband = 1;
  int cargo = 2;
};

// Finish: the chosen layout's positions become the home positions (CopyChosenLayout);
// then, when there are players, HomeSettings from the choices. A cash or population
// index outside its list gives 2000 or 200000.
void ReadHomeSettings(GenerateSession& s, const HomeStepChoices& choices);

// START defaults of a scripted build in a slot (its settings pass may change them).
void SetScriptedStartDefaults(HomeSettings& home);

// The build's universe file and marker file for s.slots.buildSlot: sets
// s.tables.universeFilePath and deletes a universe file already there. Returns the
// marker file's path. A build slot outside 1..12 is a RuntimeError.
std::string PrepareSlotBuild(UniverseSession& s);

// What a build changes in its slot (the universe file, the marker file, the slot
// records), so that a failed build can put the slot back as it was.
class SlotBuildGuard {
 public:
  // Before the marker file is written.
  void RememberMarker(const std::string& markerPath);
  // Before the slot records are filled and saved.
  void RememberRecords(const UniverseSession& s);
  // Deletes the universe file and restores the marker file and the slot records, as far
  // as the disk allows; failures here are not reported (the build's own error is).
  void Restore(UniverseSession& s) const;

 private:
  bool markerRemembered_ = false;
  std::string markerPath_;
  bool markerExisted_ = false;
  std::vector<uint8_t> markerBytes_;
  bool recordsRemembered_ = false;
  std::vector<uint8_t> gameRecordBytes_, slotRecordBytes_;
};

// RecordNewGame, SaveGameRecords, SaveSlotRecords.
void RecordBuildInSlot(UniverseSession& s);

// What a run-time error inside a build becomes: the FatalError "Build Error: " and
// what failed.
FatalError BuildError(const std::string& what);

// A run-time error inside a build: the open object store is dropped, the slot is put
// back (the universe file deleted, no marker or slot record left written) and the run
// timer stops; then a FatalError "Build Error: " with what failed travels to the top,
// which shows it in the "ERROR!" box and ends the program with status 1.
[[noreturn]] void BuildFailed(ObjectSession& s, const SlotBuildGuard& guard, const std::string& what);

enum class GenerationResult { Finished, Stopped };

// The run, steps 1 to 20. Stopped: the main data file or the map file is missing (the
// message has been shown, nothing written). A run-time error ends in BuildFailed.
GenerationResult GenerateStandardUniverse(GenerateSession& s, const GameNames& names);

}  // namespace tarvik
