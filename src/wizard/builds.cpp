// The wizard's two builds: the scripted build of the name step's Next, and Finish on the
// planet step, which starts the generation run.
#include <new>

#include "base/errors.h"
#include "generate/generation_run.h"
#include "log/run_log.h"
#include "script/script_reader.h"
#include "universe/slot_records.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"
#include "writer/universe_file.h"

namespace tarvik {

namespace {

GameNames NamesOnTheNameStep(const WizardSession& s) {
  const Form& f = s.wizard.forms[FormId::Name];
  GameNames names;
  names.gameName = f.FindControl("txtGameName")->text;
  names.hostName = f.FindControl("txtHostName")->text;
  names.rstName = f.FindControl("txtRSTName")->text;
  return names;
}

// The output window shown without waiting where `place` stood.
void ShowOutputAt(WizardSession& s, FormId place) {
  ShowOutputWindow(s);
  MoveForm(s.wizard, FormId::OutText, s.wizard.forms[place].left, s.wizard.forms[place].top);
}

void RunScriptedBuild(WizardSession& s, SlotBuildGuard& guard) {
  s.log.runFinished = false;  // 1
  SetScriptedStartDefaults(s.home);  // 2
  const std::string marker = PrepareSlotBuild(s);  // 3
  LogLine(s, "CLEAR");  // 4
  HideForm(s.wizard, FormId::Name);
  ShowOutputAt(s, FormId::Name);
  StartRunTimer(s);
  s.output->SetGameFileLabel(s.tables.universeFilePath);
  const GameNames names = NamesOnTheNameStep(s);  // 5
  s.tables.gameName = names.gameName;
  s.tables.hostName = names.hostName;
  s.tables.rstName = names.rstName;
  RunScript(s, s.paths.scriptPath, ScriptPass::Settings);  // 6
  WriteUniverseFile(s);
  RunScript(s, s.paths.scriptPath, ScriptPass::Objects);
  StopRunTimer(s);
  LogLine(s, "LOAD");
  guard.RememberMarker(marker);  // 7
  WriteMarkerFile(marker, MARKER_AFTER_BUILD);
  guard.RememberRecords(s);  // 8
  RecordBuildInSlot(s);
  if (s.log.doneClicked) throw ProgramEnd{0};  // 9
  s.log.runFinished = true;
}

}  // namespace

void BuildScriptedUniverse(WizardSession& s) {
  if (s.slots.buildSlot < 1 || !s.paths.scriptFound) return;
  SlotBuildGuard guard;
  try {
    RunScriptedBuild(s, guard);
  } catch (const RuntimeError& e) {
    BuildFailed(s, guard, e.what());
  } catch (const std::bad_alloc&) {
    BuildFailed(s, guard, "out of memory");
  }
}

void FinishStandardRoad(WizardSession& s) {
  const Form& home = s.wizard.forms[FormId::Home];
  const Form& planet = s.wizard.forms[FormId::Planet];
  auto level = [](const Form& f, const char* name) { return f.FindControl(name)->selected; };
  HomeStepChoices c;
  c.homeMineral = level(home, "cmbMinerals");
  c.homeNative = level(home, "cmbNatives");
  c.homeCash = level(home, "cmbCash");
  c.homePopulation = level(home, "cmbPop");
  c.homeCargo = level(home, "cmbCargo");
  c.standardShips = home.FindControl("chkShips")->checked;
  c.extraFreighters = home.FindControl("chkExtra")->checked;
  c.mineral = level(planet, "cmbMinerals");
  c.native = level(planet, "cmbNatives");
  c.contraband = level(planet, "cmbContra");
  c.cargo = level(planet, "cmbCargo");
  ReadHomeSettings(s, c);
  ShowOutputWindow(s);
  HideForm(s.wizard, FormId::Planet);
  MoveForm(s.wizard, FormId::OutText, planet.left, planet.top);
  GenerateStandardUniverse(s, NamesOnTheNameStep(s));
}

}  // namespace tarvik
