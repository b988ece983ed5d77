#include "app/startup.h"

#include <cstdio>
#include <optional>

#include "app/command_line.h"
#include "app/generate_command.h"
#include "app/session.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "packs/data_files.h"
#include "packs/race_modules.h"
#include "platform/files.h"
#include "universe/slot_records.h"
#include "wizard/steps.h"

namespace tarvik {

void BuildBitValues(UniverseSession& s) {
  for (int i = 0; i <= 30; ++i) s.bitValue[i] = static_cast<int32_t>(1u << i);
}

namespace {

// The path of the first file of `folder` matching `pattern` that passes its header
// test, or empty when none does; `names` are the files of the folder as ListFiles gives
// them (reading the headers changes nothing in the folder, so one listing serves every
// pattern).
std::string FirstValidFile(const std::string& folder, const std::vector<std::string>& names, std::string_view pattern,
                           bool (*valid)(std::string_view)) {
  for (const std::string& name : names) {
    if (!MatchesPattern(name, pattern)) continue;
    const std::string path = folder + name;
    if (valid(path)) return path;
  }
  return {};
}

// Every "*.map" directly in the program folder is copied into data\ (replacing a file
// of that name there), then deleted from the program folder.
void MoveMapFiles(const AppPaths& paths) {
  std::vector<std::string> maps = ListFiles(paths.appPath, "*.map");
  if (maps.empty()) return;
  CreateFolder(paths.dataDir);
  for (const std::string& name : maps) CopyFileTo(paths.appPath + name, paths.dataDir + name);
  for (const std::string& name : maps) DeleteFileAt(paths.appPath + name);
}

// The 12 numbered player or host slot folders (PlayerSlotFolder or HostSlotFolder),
// which lie side by side in one folder.
void CreateSlotFolders(const std::string& appPath, std::string (*slotFolder)(const std::string&, int)) {
  const std::string first = slotFolder(appPath, 1);
  const size_t cut = first.find_last_of('\\');
  std::vector<std::string> names;
  for (int n = 1; n <= HOST_SLOTS; ++n) names.push_back(slotFolder(appPath, n).substr(cut + 1));
  CreateFolders(first.substr(0, cut), names);
}

// The shared tables' start for a run: the run log emptied, no planet names, the
// powers of two, a fresh seeding.
void ResetRunTables(Session& s) {
  LogLine(s, "CLEAR");
  s.script.planetNames.assign(PLANET_NAME_ROOM, std::string());
  s.script.planetNameCount = 0;
  BuildBitValues(s);
  s.random.Seed(s.clock->SecondsSinceMidnight());
}

// Without a command line the wizard opens, which needs a display: without one the
// program says how to build in batch and ends (status 2).
void RequireDisplay(Session& s) {
  if (s.ui && s.ui->HasDisplay()) return;
  if (s.ui) {
    s.ui->ShowMessage("Tarvik",
                      "The wizard needs a display, and none is available. Run a batch build instead:\r"
                      "  tarvik SCRIPT OUTPUT /OX\r"
                      "See tarvik --help.",
                      MessageIcon::Information);
  }
  throw ProgramEnd{2};
}

[[noreturn]] void LoadError(int step, const std::string& reason) {
  throw StepFailure{"Main Load Error: Tarvik: " + NumText(step), reason};
}

}  // namespace

void LocateDefaultFiles(UniverseSession& s) {
  CreateFolder(s.paths.appPath + "univ");
  const std::vector<std::string> dataFiles = ListFiles(s.paths.dataDir, "*");
  s.tables.dataFilePath = FirstValidFile(s.paths.dataDir, dataFiles, "*.dat", IsDataFile);
  s.map.defaultMapFile = FirstValidFile(s.paths.dataDir, dataFiles, "*.map", IsMapFile);
  std::vector<std::string> scripts = ListFiles(s.paths.scriptsDir, "*.vps");
  s.paths.scriptFound = !scripts.empty();
  s.paths.scriptPath = scripts.empty() ? std::string() : s.paths.scriptsDir + scripts.front();
}

void Main(Session& s) {
  int step = 0;
  // Start-up and what runs unattended after it (a batch build, --generate, the
  // listings) form one steady span; the wizard waits for the person, and leaves it.
  std::optional<SteadyFolders> steady(std::in_place);
  try {
    step = 1;
    SetAppPath(s.paths, s.paths.appPath);
    step = 2;  // the derived paths are made together with appPath
    step = 3;
    LoadRaceForm(s);
    step = 4;  // the race form is loaded hidden
    step = 5;
    ListRaceModules(s);
    step = 6;
    LoadRaceNames(s);
    step = 7;
    FillRacePackList(s);  // with its first item selected when that race is usable
    step = 8;
    LocateDefaultFiles(s);
    step = 9;
    s.map.circleRadius = 1000;
    s.random.Seed(s.clock->SecondsSinceMidnight());
    step = 10;
    for (int p = 1; p <= MAX_PLAYERS; ++p) s.tables.playerActive[p] = p <= 12 ? 1 : 0;
    s.tables.playerCount = 12;
    FillPlayerList(s);
    step = 11;
    CreateFolder(s.paths.appPath + "WAR");
    step = 12;
    CreateSlotFolders(s.paths.appPath, PlayerSlotFolder);
    step = 13;
    CreateFolder(s.paths.appPath + "UNIV");
    step = 14;
    CreateSlotFolders(s.paths.appPath, HostSlotFolder);
    step = 15;
    MoveMapFiles(s.paths);
    step = 16;
    LoadGameRecords(s);
    step = 17;
    ResetRunTables(s);
    step = 18;
    if (s.listRacesOnly) {
      if (s.output) s.output->Print(RaceListText(s));
      return;
    }
    if (s.listSlotsOnly || s.generate) {
      // Headless: the slot records as the wizard would read them, then the slot list or
      // the wizard's choices and its standard generation.
      step = 21;
      LoadSlotRecords(s);
      step = 22;
      if (s.generate) RunGenerate(s, *s.generate);
      if (s.output) s.output->Print(SlotListText(s.slots));
      return;
    }
    if (!s.commandLine.empty()) {
      step = 19;
      RunCommandLine(s, s.commandLine);
      step = 20;
      return;
    }
    step = 21;
    steady.reset();
    RequireDisplay(s);
    LoadSlotRecords(s);
    step = 22;
    StartWizard(s);
    step = 23;
    FillSlotLabels(s);
    step = 24;
    DrawSlotStep(s);
    step = 25;
  } catch (const RuntimeError& e) {
    LoadError(step, e.what());
  } catch (const std::bad_alloc&) {
    LoadError(step, OUT_OF_MEMORY);
  }
}

std::string RaceListText(const PackSession& s) {
  std::string text = "Entry  Race ID  Revision  File      Name\n";
  for (int i = 1; i <= s.packs.raceCount && i <= MAX_RACES; ++i) {
    const RaceModuleEntry& e = s.packs.raceList[i];
    if (e.raceId <= 0) continue;
    char line[160];
    std::snprintf(line, sizeof line, "%5d  %7d  %8d  %-8s  %s\n", i, e.raceId, e.revision, StemText(e.fileStem).c_str(),
                  TrimBlanks(e.raceName).c_str());
    text += line;
  }
  return text;
}

}  // namespace tarvik
