// The one way in for the user's actions: a window front end turns its widget callbacks
// into WizardEvents, the replay turns the lines of its file into them, and Dispatch
// carries each out on the model as the step's handlers say.
#pragma once

#include <string>
#include <string_view>

#include "wizard/forms.h"

namespace tarvik {

struct WizardSession;

enum class WizardEventKind {
  Click,     // mouse-down on the form's picCMD at (x, y)
  Select,    // item `value` of a list box or drop-down list, firing its click
  Check,     // a check box set to `value` (0 or 1); an option button selected by 1
  Text,      // the text of a text box or drop-down list set to `text`
  Key,       // a key press with character code `value`
  Press,     // a click on a command button
  Tick,      // one tick of the form's timer
  Done,      // the output window's Done
  PickFile,  // the file picker: entry `text` clicked, or closed without a choice
};

struct WizardEvent {
  WizardEventKind kind = WizardEventKind::Click;
  FormId form = FormId::UnivSlots;
  std::string control;  // the control's name; empty for events aimed at the form
  double x = 0, y = 0;
  int value = 0;
  std::string text;
  bool noChoice = false;  // PickFile: the picker closed without a choice
};

// What became of an event. Only Done changed anything.
enum class DispatchResult {
  Done,
  FormNotShown,     // as a click on a hidden window
  BehindModal,      // another form holds the user (the file picker is open)
  ControlDisabled,  // as a click on a disabled control
  NoSuchItem,       // an index beyond the items the list holds now
  NoSuchControl,    // a control name the form does not have
};

// Carries out one event. Ending the program (an Exit button, Done after a build) throws
// ProgramEnd; a run-time error that no step handles becomes a FatalError, whose
// "ERROR!" box the top shows before the program ends.
DispatchResult Dispatch(WizardSession& s, const WizardEvent& e);

// Whether a step handles the key presses of that text box itself (txtPlayers): a window
// front end then hands it every typed character as a Key event instead of letting the
// box edit its own text.
bool HandlesKeyPress(FormId form, std::string_view control);

// The reason of a result, for a line on standard error.
std::string DispatchResultText(DispatchResult r);

}  // namespace tarvik
