// What the wizard model needs from the front end that presents it: a window front end
// with real windows, or the headless front end that replays a file of events. Message
// boxes and the beep go through the session's UserInterface; everything else the model
// holds itself (forms, controls, drawings, timers' intervals), and every user action
// comes back in through Dispatch (wizard/dispatcher.h).
//
// Timers: each form with a timer interval (Form::timerMs) is ticked by the front end,
// a window front end on its event loop at that interval, the replay by "tick FORM".
// A tick reaches the form's handler only while the form is shown.
//
// A window front end brings its widgets up to date from the model after every Dispatch
// and whenever the model hands it control (PumpEvents, RunFilePicker, a message box):
// the controls' texts, items, selections, states and colours are read from the forms,
// and a picture is repainted when its Canvas::version has changed.
#pragma once

namespace tarvik {

struct Form;

class WizardFrontEnd {
 public:
  virtual ~WizardFrontEnd() = default;

  // The model has shown, hidden or moved a form (its state already says so).
  virtual void FormShown(const Form&) {}
  virtual void FormHidden(const Form&) {}
  virtual void FormMoved(const Form&) {}

  // Lets pending window events run, from inside a build: the output window repaints
  // and its Done can be clicked.
  virtual void PumpEvents() {}

  // The modal file picker: frmLoad has been filled and shown; returns once it is hidden
  // again (a file was clicked, or the picker was closed without a choice).
  virtual void RunFilePicker() = 0;

  // After start-up has opened the wizard: carries out the user's events until there are
  // no more, or until one ends the program (ProgramEnd).
  virtual void RunEventLoop() = 0;
};

}  // namespace tarvik
