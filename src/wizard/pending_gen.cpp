// Interim pieces that wait for the slot records and the generation run; replaced when
// those land.
#include "base/errors.h"
#include "wizard/wizard_session.h"
#include "wizard/steps.h"

namespace tarvik {

void OpenSlotStep(WizardSession& s) {
  s.wizard.customMapSet = !s.map.defaultMapFile.empty();
  Form& f = ShowForm(s.wizard, FormId::UnivSlots);
  MoveForm(s.wizard, FormId::UnivSlots, kFirstFormLeft, kFirstFormTop);
  f.canvas().Clear();
  f.canvas().DrawButton("Next", 335, 305, false);
  f.canvas().DrawButton("Exit", 245, 305, false);
}

void FillSlotLabels(WizardSession&) {}
void DrawSlotStep(WizardSession&) {}

void SlotStepClick(WizardSession& s, int x, int y) {
  if (PointInButton(x, y, 245, 305)) throw ProgramEnd{0};
  if (PointInButton(x, y, 335, 305)) {
    ShowFormAt(s.wizard, FormId::Map, FormId::UnivSlots);
    MapFileStats(s.map.defaultMapFile, s.wizard.customMap);
    DrawMapStep(s);
    HideForm(s.wizard, FormId::UnivSlots);
  }
}

void SetMapParameters(WizardSession&) {}
void BuildScriptedUniverse(WizardSession&) {}
void EnterStartStep(WizardSession& s) {
  ShowFormAt(s.wizard, FormId::StartPos, FormId::Race);
  HideForm(s.wizard, FormId::Race);
  s.wizard.forms[FormId::StartPos].canvas().Clear();
  DrawStepButtons(s.wizard.forms[FormId::StartPos].canvas());
}
void StartStepClick(WizardSession& s, int x, int y) {
  if (PointInButton(x, y, kNextX, kStripY)) EnterHomeStep(s);
}
void FinishStandardRoad(WizardSession&) {}

}  // namespace tarvik
