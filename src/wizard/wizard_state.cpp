#include "wizard/wizard_state.h"

#include "wizard/front_end.h"

namespace tarvik {

Form& ShowForm(WizardState& w, FormId id) {
  Form& f = w.forms.Load(id);
  f.shown = true;
  if (w.frontEnd) w.frontEnd->FormShown(f);
  return f;
}

void HideForm(WizardState& w, FormId id) {
  Form& f = w.forms[id];
  if (!f.created || !f.shown) return;
  f.shown = false;
  if (w.frontEnd) w.frontEnd->FormHidden(f);
}

void MoveForm(WizardState& w, FormId id, int left, int top) {
  Form& f = w.forms.Load(id);
  f.left = left;
  f.top = top;
  if (w.frontEnd) w.frontEnd->FormMoved(f);
}

Form& ShowFormAt(WizardState& w, FormId next, FormId current) {
  Form& f = ShowForm(w, next);
  const Form& from = w.forms[current];
  MoveForm(w, next, from.left, from.top);
  return f;
}

Form& OutputWindow::Loaded() { return wizard_.forms.Load(FormId::OutText); }

void OutputWindow::Show() {
  ShowForm(wizard_, FormId::OutText);
  if (mirror) mirror->Show();
}

void OutputWindow::SetLogText(const std::string& text, const std::string& newLine) {
  Loaded().control("txtOUT").text = text;
  if (mirror) mirror->SetLogText(text, newLine);
}

void OutputWindow::SetTimeLabel(const std::string& text) {
  Loaded().control("lblTIME").text = text;
  if (mirror) mirror->SetTimeLabel(text);
}

void OutputWindow::SetGameFileLabel(const std::string& text) {
  Loaded().control("lblGameFile").text = text;
  if (mirror) mirror->SetGameFileLabel(text);
}

void OutputWindow::PumpEvents() {
  if (wizard_.frontEnd) wizard_.frontEnd->PumpEvents();
}

void OutputWindow::Print(const std::string& text) {
  if (mirror) mirror->Print(text);
}

}  // namespace tarvik
