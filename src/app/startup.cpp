#include "app/startup.h"

#include <cstdio>

#include "app/command_line.h"
#include "app/run_log.h"
#include "base/errors.h"
#include "base/text.h"
#include "packs/data_files.h"
#include "packs/race_modules.h"
#include "platform/files.h"
#include "session.h"
#include "wizard/front_end.h"
#include "wizard/steps.h"

namespace tarvik {

void BuildBitValues(Session& s) {
  for (int i = 0; i <= 30; ++i) s.bitValue[i] = static_cast<int32_t>(1u << i);
}

void LocateDefaultFiles(Session& s) {
  CreateFolder(s.paths.appPath + "univ");
  s.tables.dataFilePath.clear();
  for (const std::string& name : ListFiles(s.paths.dataDir, "*.dat")) {
    std::string path = s.paths.dataDir + name;
    if (IsDataFile(path)) {
      s.tables.dataFilePath = path;
      break;
    }
  }
  s.map.defaultMapFile.clear();
  for (const std::string& name : ListFiles(s.paths.dataDir, "*.map")) {
    std::string path = s.paths.dataDir + name;
    if (IsMapFile(path)) {
      s.map.defaultMapFile = path;
      break;
    }
  }
  std::vector<std::string> scripts = ListFiles(s.paths.scriptsDir, "*.vps");
  s.paths.scriptFound = !scripts.empty();
  s.paths.scriptPath = scripts.empty() ? std::string() : s.paths.scriptsDir + scripts.front();
}

// Every "*.map" directly in the program folder is copied into data\ (replacing a file
// of that name there), then deleted from the program folder.
static void MoveMapFiles(Session& s) {
  std::vector<std::string> maps = ListFiles(s.paths.appPath, "*.map");
  if (maps.empty()) return;
  CreateFolder(s.paths.dataDir);
  for (const std::string& name : maps) CopyFileTo(s.paths.appPath + name, s.paths.dataDir + name);
  for (const std::string& name : maps) DeleteFileAt(s.paths.appPath + name);
}

void Main(Session& s) {
  int step = 0;
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
    for (int n = 1; n <= HOST_SLOTS; ++n) CreateFolder(s.paths.appPath + "WAR\\SLOT" + std::to_string(n));
    step = 13;
    CreateFolder(s.paths.appPath + "UNIV");
    step = 14;
    for (int n = 1; n <= HOST_SLOTS; ++n) CreateFolder(s.paths.appPath + "UNIV\\GAME" + std::to_string(n));
    step = 15;
    MoveMapFiles(s);
    step = 16;  // the slot records are read with the wizard's slot step
    step = 17;
    LogLine(s, "CLEAR");
    s.script.planetNames.assign(100, std::string());
    s.script.planetNameCount = 0;
    BuildBitValues(s);
    s.random.Seed(s.clock->SecondsSinceMidnight());
    step = 18;
    if (s.listRacesOnly) {
      if (s.output) s.output->Print(RaceListText(s));
      return;
    }
    if (!s.commandLine.empty()) {
      step = 19;
      RunCommandLine(s, s.commandLine);
      step = 20;
      return;
    }
    step = 21;
    if (!s.ui || !s.ui->HasDisplay()) {
      if (s.ui) {
        s.ui->ShowMessage("Tarvik",
                          "The wizard needs a display, and none is available. Run a batch build instead:\r"
                          "  tarvik SCRIPT OUTPUT /OX\r"
                          "See tarvik --help.",
                          MessageIcon::Information);
      }
      throw ProgramEnd{2};
    }
    step = 22;
    StartWizard(s);
    step = 25;
  } catch (const RuntimeError&) {
    if (s.ui) s.ui->ShowMessage("", "Main Load Error: Tarvik: " + NumText(step), MessageIcon::None);
    throw ProgramEnd{1};
  } catch (const std::bad_alloc&) {
    if (s.ui) s.ui->ShowMessage("", "Main Load Error: Tarvik: " + NumText(step), MessageIcon::None);
    throw ProgramEnd{1};
  }
}

std::string RaceListText(const Session& s) {
  std::string text = "Entry  Race ID  Revision  File      Name\n";
  for (int i = 1; i <= s.packs.raceCount && i <= MAX_RACES; ++i) {
    const RaceModuleEntry& e = s.packs.raceList[i];
    if (e.raceId <= 0) continue;
    std::string stem = e.fileStem.substr(0, e.fileStem.find('\0'));
    char line[160];
    std::snprintf(line, sizeof line, "%5d  %7d  %8d  %-8s  %s\n", i, e.raceId, e.revision, stem.c_str(),
                  TrimBlanks(e.raceName).c_str());
    text += line;
  }
  return text;
}

int RunProgram(Session& s) {
  try {
    Main(s);
    // After a batch run without option X the output view stays until Done.
    if (!s.commandLine.empty()) {
      if (s.log.outputShown && s.output) s.output->WaitForDone();
      return 0;
    }
    // The wizard is open: its front end carries out the user's events.
    if (s.wizard.frontEnd && !s.listRacesOnly) s.wizard.frontEnd->RunEventLoop();
    return 0;
  } catch (const ProgramEnd& end) {
    return end.status;
  }
}

}  // namespace tarvik
