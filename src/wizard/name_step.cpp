// The name step (frmName): the game's names, then either the scripted build at once or
// the map's parameters and the race step.
#include "base/errors.h"
#include "generate/map_parameters.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

Form& NameForm(WizardSession& s) { return s.wizard.forms[FormId::Name]; }

// The map parameters of the chosen stock or custom map.
void SetChosenMapParameters(WizardSession& s) {
  SetMapParameters(s.wizard.mapChoice, s.paths.dataDir, s.map.defaultMapFile, s.wizard.customMap, s.map, s.tables);
}

}  // namespace

void DrawNameStep(WizardSession& s) {
  Canvas& c = NameForm(s).canvas();
  c.Clear();
  DrawStepButtons(c);
}

void NameStepClick(WizardSession& s, int x, int y) {
  WizardState& w = s.wizard;
  if (PointInButton(x, y, NEXT_X, STRIP_Y) && w.mapChoice >= MAP_CHOICE_ECHO && w.mapChoice <= MAP_CHOICE_SCRIPT) {
    if (w.mapChoice == MAP_CHOICE_SCRIPT) {
      BuildScriptedUniverse(s);
    } else {
      SetChosenMapParameters(s);
      ShowFormAt(w, FormId::Race, FormId::Name);
      ShowRaceStep(s);
      HideForm(w, FormId::Name);
    }
  }
  if (PointInButton(x, y, BACK_X, STRIP_Y)) {
    HideForm(w, FormId::Name);
    ShowFormAt(w, FormId::Map, FormId::Name);
  }
  if (PointInButton(x, y, EXIT_X, STRIP_Y)) throw ProgramEnd{0};
}

}  // namespace tarvik
