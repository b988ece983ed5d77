// The wizard in real windows: the front end that binds the wizard model to FLTK. Each
// created form is a window (FormWindow); every user action on a widget becomes a
// WizardEvent carried out by Dispatch, after which the windows show what the model
// holds. Message boxes are modal dialogs; timers tick on the event loop; a build lets
// the loop run between its steps through PumpEvents.
//
// Ending the program: an event that ends it (Exit, Done after the build, a close box)
// is noted and the event loop returns once the event is over, so that no exception
// crosses the toolkit's own code. A display that goes away ends the wizard with a
// message on standard error; a build that runs at that moment fails as any build does
// (nothing half written stays behind).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "wizard/dispatcher.h"
#include "wizard/front_end.h"


namespace tarvik {
struct Session;
}

namespace tarvik::gui {

class FormWindow;
struct TimerData;

// Thrown by the display's fatal I/O error handler: the connection to the display is gone.
struct DisplayLost : std::runtime_error {
  DisplayLost() : std::runtime_error("the display went away") {}
};

// Opens the display named by DISPLAY for the toolkit and arranges for its loss to be
// reported as DisplayLost. Returns false when there is no display to open.
bool OpenDisplay();

class FltkFrontEnd : public WizardFrontEnd, public UserInterface {
 public:
  explicit FltkFrontEnd(Session& s);
  ~FltkFrontEnd() override;

  // UserInterface
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void Beep() override;
  bool HasDisplay() const override { return true; }

  // WizardFrontEnd
  void PumpEvents() override;
  void RunFilePicker() override;
  void RunEventLoop() override;

  // From the widgets: one user action, carried out on the model.
  void Act(const WizardEvent& e);
  // The window manager's close box of a form's window.
  void CloseBox(FormId form);
  // One tick of a form's timer.
  void Tick(FormId form);

  bool displayLost() const { return displayLost_; }

 private:
  // Creates the windows of newly created forms and brings every window in line with
  // the model: new forms shown first, then the ones to hide hidden, as the steps do.
  void SyncWindows();
  // The screen positions of the shown windows, which the user may have moved, back
  // into the model, so that the next step opens where this one is.
  void NoteWindowPositions();
  void LoseDisplay();
  bool AskBox(const std::string& title, const std::string& text, MessageIcon icon, bool yesNo);

  Session& s_;
  std::array<std::unique_ptr<FormWindow>, FORM_COUNT> windows_;
  std::vector<TimerData*> timers_;
  std::optional<int> pendingEnd_;
  bool displayLost_ = false;
};

}  // namespace tarvik::gui
