#include "window/wizard_mirror.h"

#include "platform/paths.h"
#include "app/startup.h"
#include "base/errors.h"
#include "gui/events.h"

namespace tarvik::test {

WizardMirror::WizardMirror(const std::string& gameDir, int64_t seed) : session_(std::make_unique<Session>()) {
  ui_.display = true;
  clock_.now = {2026, 3, 4, 12, 0, 0};
  clock_.seconds = 12 * 3600.0;
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
  WizardEvent e = gui::FormEvent(WizardEventKind::PickFile, FormId::Load);
  e.noChoice = !pick_.has_value();
  e.text = pick_.value_or("");
  pick_.reset();
  Dispatch(*session_, e);
}

WizardEvent ClickEvent(FormId form, int x, int y) {
  WizardEvent e = gui::FormEvent(WizardEventKind::Click, form);
  e.x = x;
  e.y = y;
  return e;
}

WizardEvent SelectEvent(FormId form, const std::string& control, int index) {
  return gui::ControlEvent(WizardEventKind::Select, form, control, index);
}

WizardEvent CheckEvent(FormId form, const std::string& control, int value) {
  return gui::ControlEvent(WizardEventKind::Check, form, control, value);
}

WizardEvent TextEvent(FormId form, const std::string& control, const std::string& text) {
  return gui::ControlEvent(WizardEventKind::Text, form, control, 0, text);
}

WizardEvent KeyEvent(FormId form, const std::string& control, int code) {
  return gui::ControlEvent(WizardEventKind::Key, form, control, code);
}

}  // namespace tarvik::test
