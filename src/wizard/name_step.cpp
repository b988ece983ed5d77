// The name step (frmName): the game's names, then either the scripted build at once or
// the map's parameters and the race step.
#include "log/run_log.h"
#include "base/errors.h"
#include "platform/files.h"
#include "script/script_reader.h"
#include "wizard/wizard_session.h"
#include "writer/universe_file.h"
#include "wizard/steps.h"

namespace tarvik {

namespace {

Form& NameForm(WizardSession& s) { return s.wizard.forms[FormId::Name]; }

}  // namespace

void DrawNameStep(WizardSession& s) {
  Canvas& c = NameForm(s).canvas();
  c.Clear();
  DrawStepButtons(c);
}

void NameStepClick(WizardSession& s, int x, int y) {
  WizardState& w = s.wizard;
  if (PointInButton(x, y, NEXT_X, STRIP_Y) && w.mapChoice >= 1 && w.mapChoice <= 4) {
    if (w.mapChoice == 4) {
      BuildScriptedUniverse(s);
    } else {
      SetMapParameters(s);
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
