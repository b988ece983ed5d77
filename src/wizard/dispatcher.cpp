#include "wizard/dispatcher.h"

#include <limits>

#include "base/errors.h"
#include "log/run_log.h"
#include "platform/rounding.h"
#include "wizard/steps.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

// picCMD_MouseDown: the click point in whole pixels, rounded to the nearest.
int ClickPixel(double v) {
  const long long r = RoundToInt(v);
  if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

void StepClick(WizardSession& s, FormId form, int x, int y) {
  switch (form) {
    case FormId::UnivSlots:
      return SlotStepClick(s, x, y);
    case FormId::Map:
      return MapStepClick(s, x, y);
    case FormId::Name:
      return NameStepClick(s, x, y);
    case FormId::Race:
      return RaceStepClick(s, x, y);
    case FormId::StartPos:
      return StartStepClick(s, x, y);
    case FormId::Home:
      return HomeStepClick(s, x, y);
    case FormId::Planet:
      return PlanetStepClick(s, x, y);
    case FormId::OutText:
    case FormId::Load:
      return;  // no picture box
  }
}

// The click handler of a control, run after its selection or value changed.
void ControlClick(WizardSession& s, FormId form, const std::string& control) {
  if (form == FormId::Race && control == "lstRacePacks") return RacePacksClick(s);
  if (form == FormId::Race && control == "lstAss") return PlayerSlotClick(s);
  if (form == FormId::Race && control == "cmdEnter") return EnterPlayerCount(s);
  if (form == FormId::Map) return DrawMapStep(s);  // each option button redraws the step
  if (form == FormId::Load && control == "file1") {
    const Control& list = s.wizard.forms[FormId::Load].control("file1");
    return PickFile(s, list.items[static_cast<size_t>(list.selected)]);
  }
}

// A typed character in a box without its own key handler: characters below 32 are not
// inserted, and Backspace takes back the last one, as in a one-line text box whose
// caret stands at the end.
void TypeCharacter(Control& c, int code) {
  if (code == 8) {
    if (!c.text.empty()) c.text.pop_back();
  } else if (code >= 32) {
    c.text += static_cast<char>(code);
  } else {
    return;
  }
  if (c.kind == ControlKind::ComboBox) c.selected = -1;
}

DispatchResult ControlEvent(WizardSession& s, Form& f, const WizardEvent& e) {
  Control* c = f.FindControl(e.control);
  if (!c) return DispatchResult::NoSuchControl;
  if (!c->enabled) return DispatchResult::ControlDisabled;
  switch (e.kind) {
    case WizardEventKind::Select:
      if (e.value < 0 || e.value >= static_cast<int>(c->items.size())) return DispatchResult::NoSuchItem;
      c->Select(e.value);
      ControlClick(s, f.id, c->name);
      break;
    case WizardEventKind::Check:
      if (c->kind == ControlKind::CheckBox) {
        c->checked = e.value != 0;
      } else if (e.value != 0) {
        for (Control& other : f.controls) {
          if (other.kind == ControlKind::OptionButton) other.checked = false;
        }
        c->checked = true;
        ControlClick(s, f.id, c->name);
      }
      break;
    case WizardEventKind::Text:
      c->text = e.text;
      if (c->kind == ControlKind::ComboBox) c->selected = -1;
      break;
    case WizardEventKind::Key:
      if (HandlesKeyPress(f.id, c->name)) {
        PlayersKeyPress(s, e.value);
      } else {
        TypeCharacter(*c, e.value);
      }
      break;
    case WizardEventKind::Press:
      ControlClick(s, f.id, c->name);
      break;
    default:
      break;
  }
  return DispatchResult::Done;
}

DispatchResult Carry(WizardSession& s, const WizardEvent& e) {
  WizardState& w = s.wizard;
  Form& f = w.forms[e.form];
  if (!f.created || !f.shown) return DispatchResult::FormNotShown;
  if (w.modalForm && *w.modalForm != e.form) return DispatchResult::BehindModal;
  switch (e.kind) {
    case WizardEventKind::Click:
      StepClick(s, e.form, ClickPixel(e.x), ClickPixel(e.y));
      return DispatchResult::Done;
    case WizardEventKind::Tick:
      if (e.form == FormId::Race) RaceTimerTick(s);
      if (e.form == FormId::OutText) RunTimerTick(s);
      return DispatchResult::Done;
    case WizardEventKind::Done:
      OutputDone(s);
      return DispatchResult::Done;
    case WizardEventKind::PickFile:
      PickFile(s, e.noChoice ? std::nullopt : std::optional<std::string>(e.text));
      return DispatchResult::Done;
    default:
      return ControlEvent(s, f, e);
  }
}

}  // namespace

bool HandlesKeyPress(FormId form, std::string_view control) {
  return form == FormId::Race && control == "txtPlayers";
}

DispatchResult Dispatch(WizardSession& s, const WizardEvent& e) {
  try {
    return Carry(s, e);
  } catch (const RuntimeError& error) {
    // The steps handle the failures the system names; anything else ends the program
    // with its own text rather than leaving the wizard half done.
    throw FatalError{std::string("Error: ") + error.what()};
  }
}

std::string DispatchResultText(DispatchResult r) {
  switch (r) {
    case DispatchResult::Done:
      return "done";
    case DispatchResult::FormNotShown:
      return "the form is not shown";
    case DispatchResult::BehindModal:
      return "the file picker is open";
    case DispatchResult::ControlDisabled:
      return "the control is disabled";
    case DispatchResult::NoSuchItem:
      return "the list holds no such item";
    case DispatchResult::NoSuchControl:
      return "the form has no such control";
  }
  return "";
}

void OutputDone(WizardSession& s) {
  ClickDone(s);  // ends the program when the run is over
  HideForm(s.wizard, FormId::OutText);
}

}  // namespace tarvik
