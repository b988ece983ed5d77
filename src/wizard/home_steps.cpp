// The home step (frmHome) and the planet step (frmPlanet): the levels and amounts of the
// home worlds and of the ordinary planets.
#include "base/errors.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

constexpr int FINISH_X = 570;
constexpr int FINISH_Y = 288;

void ApplyHomeDefaults(WizardSession& s) {
  if (s.wizard.homeDefaultsApplied) return;
  s.wizard.homeDefaultsApplied = true;
  Form& f = s.wizard.forms[FormId::Home];
  f.control("cmbMinerals").Select(2);  // Average
  f.control("cmbNatives").Select(0);   // None
  f.control("cmbCash").Select(2);      // 4000
  f.control("cmbPop").Select(1);       // 300000
  f.control("cmbCargo").Select(3);     // Above Average
}

void ApplyPlanetDefaults(WizardSession& s) {
  if (s.wizard.planetDefaultsApplied) return;
  s.wizard.planetDefaultsApplied = true;
  Form& f = s.wizard.forms[FormId::Planet];
  f.control("cmbMinerals").Select(3);  // Above Average
  f.control("cmbNatives").Select(2);   // Average
  f.control("cmbContra").Select(1);    // Some
  f.control("cmbCargo").Select(2);     // Average
}

}  // namespace

void DrawStepButtons(Canvas& c, bool nextEnabled) {
  if (nextEnabled) {
    c.DrawButton("Next", NEXT_X, STRIP_Y, false);
  } else {
    c.DrawDisabledButton("Next", NEXT_X, STRIP_Y, false);
  }
  c.DrawButton("Back", BACK_X, STRIP_Y, false);
  c.DrawButton("Exit", EXIT_X, STRIP_Y, false);
}

void EnterHomeStep(WizardSession& s) {
  Form& f = ShowFormAt(s.wizard, FormId::Home, FormId::StartPos);
  HideForm(s.wizard, FormId::StartPos);
  f.canvas().Clear();
  DrawStepButtons(f.canvas());
  ApplyHomeDefaults(s);
}

void HomeStepClick(WizardSession& s, int x, int y) {
  WizardState& w = s.wizard;
  if (PointInButton(x, y, BACK_X, STRIP_Y)) {
    ShowFormAt(w, FormId::StartPos, FormId::Home);
    HideForm(w, FormId::Home);
  }
  if (PointInButton(x, y, EXIT_X, STRIP_Y)) throw ProgramEnd{0};
  if (PointInButton(x, y, NEXT_X, STRIP_Y)) {
    Form& planet = ShowForm(w, FormId::Planet);
    ApplyPlanetDefaults(s);
    HideForm(w, FormId::Home);
    MoveForm(w, FormId::Planet, w.forms[FormId::Home].left, w.forms[FormId::Home].top);
    Canvas& c = planet.canvas();
    c.Clear();
    c.SetTextColor(colors::BRIGHT_GREEN);
    c.DrawText("Finish", FINISH_X, FINISH_Y);
    DrawStepButtons(c);
  }
}

void PlanetStepClick(WizardSession& s, int x, int y) {
  WizardState& w = s.wizard;
  if (PointInButton(x, y, BACK_X, STRIP_Y)) {
    ShowForm(w, FormId::Home);
    HideForm(w, FormId::Planet);
    MoveForm(w, FormId::Home, w.forms[FormId::Planet].left, w.forms[FormId::Planet].top);
  }
  if (PointInButton(x, y, EXIT_X, STRIP_Y)) throw ProgramEnd{0};
  if (PointInButton(x, y, NEXT_X, STRIP_Y)) FinishStandardRoad(s);
}

}  // namespace tarvik
