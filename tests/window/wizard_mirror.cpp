#include "window/wizard_mirror.h"

#include "app/paths.h"
#include "app/startup.h"
#include "base/errors.h"

namespace tarvik::test {

WizardMirror::WizardMirror(const std::string& gameDir, int64_t seed) : session_(std::make_unique<Session>()) {
  ui_.display = true;
  session_->clock = &clock_;
  session_->ui = &ui_;
  session_->output = &output_;
  session_->wizard.frontEnd = this;
  session_->random.SetFixedSeed(seed);
  SetAppPath(session_->paths, gameDir);
  try {
    Main(*session_);
  } catch (const ProgramEnd& end) {
    ended_ = end.status;
  }
}

bool WizardMirror::Act(const WizardEvent& e) {
  if (ended_) return false;
  try {
    Dispatch(*session_, e);
  } catch (const ProgramEnd& end) {
    ended_ = end.status;
  }
  return !ended_;
}

void WizardMirror::RunFilePicker() {
  WizardEvent e;
  e.kind = WizardEventKind::PickFile;
  e.form = FormId::Load;
  e.noChoice = !pick_.has_value();
  e.text = pick_.value_or("");
  pick_.reset();
  Dispatch(*session_, e);
}

namespace {

WizardEvent Make(WizardEventKind kind, FormId form, const std::string& control) {
  WizardEvent e;
  e.kind = kind;
  e.form = form;
  e.control = control;
  return e;
}

}  // namespace

WizardEvent ClickEvent(FormId form, int x, int y) {
  WizardEvent e = Make(WizardEventKind::Click, form, "");
  e.x = x;
  e.y = y;
  return e;
}

WizardEvent SelectEvent(FormId form, const std::string& control, int index) {
  WizardEvent e = Make(WizardEventKind::Select, form, control);
  e.value = index;
  return e;
}

WizardEvent CheckEvent(FormId form, const std::string& control, int value) {
  WizardEvent e = Make(WizardEventKind::Check, form, control);
  e.value = value;
  return e;
}

WizardEvent TextEvent(FormId form, const std::string& control, const std::string& text) {
  WizardEvent e = Make(WizardEventKind::Text, form, control);
  e.text = text;
  return e;
}

WizardEvent KeyEvent(FormId form, const std::string& control, int code) {
  WizardEvent e = Make(WizardEventKind::Key, form, control);
  e.value = code;
  return e;
}

}  // namespace tarvik::test
