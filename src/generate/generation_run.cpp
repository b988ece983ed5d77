#include "generate/generation_run.h"

#include <new>

#include "base/errors.h"
#include "generate/generate_session.h"
#include "log/run_log.h"
#include "objects/map_planets.h"
#include "objects/object_store.h"
#include "objects/ship_construction.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "universe/slot_records.h"
#include "writer/universe_file.h"

namespace tarvik {

namespace {

void PumpEvents(PlatformSession& s) {
  if (s.output) s.output->PumpEvents();
}

// A stop of the run: a beep and the message; nothing is written.
GenerationResult Stop(PlatformSession& s, const std::string& message) {
  if (s.ui) {
    s.ui->Beep();
    s.ui->ShowMessage("", message, MessageIcon::None);
  }
  return GenerationResult::Stopped;
}

int32_t Amount(const std::array<int32_t, 7>& amounts, int index) {
  return index >= 0 && index < static_cast<int>(amounts.size()) ? amounts[static_cast<size_t>(index)] : amounts[0];
}

// A step of putting a slot back: its failure is not reported.
template <typename F>
void Quietly(F&& step) {
  try {
    step();
  } catch (const RuntimeError&) {
  }
}

// The run in its order: the names; a fresh seeding; the slot's paths, and its old
// universe file deleted before anything is checked; the two stops; the output view
// and the timer; the universe file, its object store, the map's planets, the home
// bases, the fleets and the freighters, letting pending window events run after each;
// the marker, the log's end, the timer, the slot records.
GenerationResult RunSteps(GenerateSession& s, const GameNames& names, SlotBuildGuard& guard) {
  UniverseTables& t = s.tables;
  t.gameName = names.gameName;
  t.hostName = names.hostName;
  t.rstName = names.rstName;
  s.random.Seed(s.clock->SecondsSinceMidnight());
  const std::string marker = PrepareSlotBuild(s);
  if (t.dataFilePath.empty() || !FileExists(t.dataFilePath)) {
    return Stop(s, "Error: Main data file not found. . . data\\*.dat missing");
  }
  if (!FileExists(s.map.chosenMapFile)) return Stop(s, "Error: Map file not found. . . data\\*.map missing");

  LogLine(s, "CLEAR");
  ShowOutputWindow(s);
  StartRunTimer(s);
  if (s.output) s.output->SetGameFileLabel(t.universeFilePath);
  LogLine(s, "Starting to make universe file. . . ");
  WriteUniverseFile(s);
  PumpEvents(s);
  OpenObjectStore(s, t.universeFilePath);
  PumpEvents(s);
  AddMapPlanetObjects(s, s.map.chosenMapFile);
  PumpEvents(s);
  BuildHomeBases(s);
  PumpEvents(s);
  {
    // The fleets build many ships on few hulls: each ship after the first on a hull is
    // a copy of the one before with its own draws (a few kilobytes while they last).
    const KeepingShips kept(s.shipTemplates);
    if (s.home.standardShips) {
      BuildStandardFleets(s);
      PumpEvents(s);
    }
    if (s.home.extraFreighters) {
      BuildExtraFreighters(s);
      PumpEvents(s);
    }
  }
  CloseObjectStore(s);
  PumpEvents(s);
  guard.RememberMarker(marker);
  WriteMarkerFile(marker, MARKER_AFTER_BUILD);
  LogLine(s, "Done");
  LogLine(s, "LOAD");
  StopRunTimer(s);
  guard.RememberRecords(s);
  RecordBuildInSlot(s);
  if (s.log.doneClicked) throw ProgramEnd{0};
  s.log.runFinished = true;
  return GenerationResult::Finished;
}

}  // namespace

void ReadHomeSettings(GenerateSession& s, const HomeStepChoices& c) {
  CopyChosenLayout(s.layouts, s.tables.playerCount, s.tables);
  if (s.tables.playerCount < 1) return;
  HomeSettings& h = s.home;
  h.extraFreighters = c.extraFreighters;
  h.standardShips = c.standardShips;
  h.homeMineral = c.homeMineral;
  h.homeNative = c.homeNative;
  h.homeCargo = c.homeCargo;
  h.homeCash = Amount(HOME_CASH_AMOUNTS, c.homeCash);
  h.homePopulation = Amount(HOME_POPULATION_AMOUNTS, c.homePopulation);
  h.mineral = c.mineral;
  h.native = c.native;
  h.contraband = c.contraband;
  h.cargo = c.cargo;
}

void SetScriptedStartDefaults(HomeSettings& home) {
  home = HomeSettings{.homeMineral = 2,
                      .homeNative = 1,
                      .homeCash = 2000,
                      .homePopulation = 300000,
                      .homeCargo = 2,
                      .mineral = 2,
                      .native = 2,
                      .contraband = 1,
                      .cargo = 1,
                      .standardShips = false,
                      .extraFreighters = false};
}

std::string PrepareSlotBuild(UniverseSession& s) {
  const int n = s.slots.buildSlot;
  if (n < 1 || n > HOST_SLOTS) throw RuntimeError("no host slot has been chosen for the build");
  const std::string& app = s.paths.appPath;
  s.tables.universeFilePath = SlotUniversePath(app, n);
  if (FileExists(s.tables.universeFilePath)) DeleteFileAt(s.tables.universeFilePath);
  return SlotMarkerPath(app, n);
}

void SlotBuildGuard::RememberMarker(const std::string& markerPath) {
  markerRemembered_ = true;
  markerPath_ = markerPath;
  markerExisted_ = FileExists(markerPath);
  markerBytes_ = markerExisted_ ? ReadWholeFile(markerPath) : std::vector<uint8_t>{};
}

void SlotBuildGuard::RememberRecords(const UniverseSession& s) {
  recordsRemembered_ = true;
  const int n = s.slots.buildSlot;
  gameRecordBytes_ = s.slots.gameRecords[n].bytes();
  slotRecordBytes_ = s.slots.slotRecords[n].bytes();
}

void SlotBuildGuard::Restore(UniverseSession& s) const {
  const std::string& app = s.paths.appPath;
  Quietly([&] { DeleteFileAt(s.tables.universeFilePath); });
  if (markerRemembered_) {
    Quietly([&] {
      if (markerExisted_) {
        WriteWholeFile(markerPath_, markerBytes_);
      } else {
        DeleteFileAt(markerPath_);
      }
    });
  }
  if (recordsRemembered_) {
    const int n = s.slots.buildSlot;
    s.slots.gameRecords[n].bytes() = gameRecordBytes_;
    s.slots.slotRecords[n].bytes() = slotRecordBytes_;
    Quietly([&] { WriteRecordFile(GameRecordPath(app, n), s.slots.gameRecords[n]); });
    Quietly([&] { WriteRecordFile(SlotRecordPath(app, n), s.slots.slotRecords[n]); });
    if (n == HOST_SLOTS) Quietly([&] { WriteRecordFile(SlotRecordCopyPath(app), s.slots.slotRecords[n]); });
  }
}

void RecordBuildInSlot(UniverseSession& s) {
  RecordNewGame(s);
  SaveGameRecords(s);
  SaveSlotRecords(s);
}

FatalError BuildError(const std::string& what) { return FatalError{"Build Error: " + what}; }

void BuildFailed(ObjectSession& s, const SlotBuildGuard& guard, const std::string& what) {
  AbandonObjectStore(s);
  guard.Restore(s);
  if (s.log.timerEnabled) StopRunTimer(s);
  throw BuildError(what);
}

GenerationResult GenerateStandardUniverse(GenerateSession& s, const GameNames& names) {
  const SteadyFolders steady;  // the run goes on unattended
  SlotBuildGuard guard;
  try {
    return RunSteps(s, names, guard);
  } catch (const RuntimeError& e) {
    BuildFailed(s, guard, e.what());
  } catch (const std::bad_alloc&) {
    BuildFailed(s, guard, "out of memory");
  }
}

}  // namespace tarvik
