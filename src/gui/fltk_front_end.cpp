#include "gui/fltk_front_end.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>

#include "gui/toolkit.h"  // right after the toolkit's headers, which bring in X11's macros

#include <iostream>

#include "base/errors.h"
#include "gui/events.h"
#include "gui/form_window.h"
#include "gui/message_box.h"
#include "app/session.h"

namespace tarvik::gui {

namespace {

// Xlib's fatal I/O error handler must not return; the loss travels up as an
// exception instead, to the point of the front end that can end the wizard cleanly.
int OnDisplayLost(Display*) { throw DisplayLost(); }

}  // namespace

struct TimerData {
  FltkFrontEnd* frontEnd;
  FormId form;
  double seconds;
};

namespace {

void TimerCallback(void* data) {
  auto* t = static_cast<TimerData*>(data);
  Fl::repeat_timeout(t->seconds, TimerCallback, data);
  t->frontEnd->Tick(t->form);
}

constexpr const char* DISPLAY_LOST_TEXT = "the display went away";

}  // namespace

bool OpenDisplay() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  fl_open_display(display);
  XSetIOErrorHandler(OnDisplayLost);
  return true;
}

FltkFrontEnd::FltkFrontEnd(Session& s) : s_(s) {}

FltkFrontEnd::~FltkFrontEnd() {
  Fl::remove_timeout(TimerCallback);
  for (TimerData* t : timers_) delete t;
  // Nothing may talk to a lost display again, not even to destroy its windows.
  if (displayLost_) {
    for (auto& window : windows_) static_cast<void>(window.release());
  }
}

void FltkFrontEnd::LoseDisplay() {
  if (displayLost_) return;
  displayLost_ = true;
  std::cerr << "tarvik: " << DISPLAY_LOST_TEXT << "; the wizard ends." << std::endl;
}

// ---- Windows ----

void FltkFrontEnd::SyncWindows() {
  auto& forms = s_.wizard.forms;
  for (int i = 0; i < FORM_COUNT; ++i) {
    Form& form = forms[static_cast<FormId>(i)];
    if (!form.created || windows_[i]) continue;
    windows_[i] = std::make_unique<FormWindow>(*this, form);
    if (form.timerMs > 0) {
      auto* t = new TimerData{this, form.id, form.timerMs / 1000.0};
      timers_.push_back(t);
      Fl::add_timeout(t->seconds, TimerCallback, t);
    }
  }
  // The next step is shown (and placed) before the previous one is hidden.
  for (int i = 0; i < FORM_COUNT; ++i) {
    FormWindow* window = windows_[i].get();
    if (!window) continue;
    const Form& form = forms[static_cast<FormId>(i)];
    window->Sync(form);
    if (!form.shown) continue;
    if (!window->PlacedAt(form.left, form.top)) window->position(form.left, form.top);
    if (s_.wizard.modalForm == form.id && !window->modal()) window->set_modal();
    if (!window->shown()) window->show();
  }
  for (int i = 0; i < FORM_COUNT; ++i) {
    FormWindow* window = windows_[i].get();
    if (window && window->shown() && !forms[static_cast<FormId>(i)].shown) window->hide();
  }
}

void FltkFrontEnd::NoteWindowPositions() {
  for (int i = 0; i < FORM_COUNT; ++i) {
    FormWindow* window = windows_[i].get();
    Form& form = s_.wizard.forms[static_cast<FormId>(i)];
    if (window && window->shown() && form.shown) {
      form.left = window->x();
      form.top = window->y();
    }
  }
}

// ---- Events ----

void FltkFrontEnd::Act(const WizardEvent& e) {
  if (pendingEnd_ || displayLost_) return;
  try {
    NoteWindowPositions();
    Dispatch(s_, e);
    SyncWindows();
  } catch (const ProgramEnd& end) {
    pendingEnd_ = end.status;
  } catch (const DisplayLost&) {
    LoseDisplay();
  } catch (const std::exception& error) {
    // Nothing else should come out of a step; should it, the wizard ends with its
    // text rather than with the toolkit's loop unwound.
    ShowMessage("ERROR!", std::string("Error: ") + error.what(), MessageIcon::Critical);
    pendingEnd_ = 1;
  }
}

void FltkFrontEnd::Tick(FormId form) {
  if (s_.wizard.forms[form].shown) Act(FormEvent(WizardEventKind::Tick, form));
}

void FltkFrontEnd::CloseBox(FormId form) {
  if (pendingEnd_ || displayLost_) return;
  if (s_.wizard.modalForm && *s_.wizard.modalForm != form) return;
  switch (form) {
    case FormId::OutText:  // closing the output window is its Done
      return Act(FormEvent(WizardEventKind::Done, form));
    case FormId::Load: {  // the picker closed without a choice
      WizardEvent e = FormEvent(WizardEventKind::PickFile, form);
      e.noChoice = true;
      return Act(e);
    }
    default:  // every step's Exit ends the program at once
      pendingEnd_ = 0;
      return;
  }
}

void FltkFrontEnd::PumpEvents() {
  if (displayLost_) throw RuntimeError(DISPLAY_LOST_TEXT);
  try {
    SyncWindows();
    Fl::check();
    SyncWindows();
  } catch (const DisplayLost&) {
    LoseDisplay();
  }
  if (displayLost_) throw RuntimeError(DISPLAY_LOST_TEXT);
}

void FltkFrontEnd::RunFilePicker() {
  const Form& picker = s_.wizard.forms[FormId::Load];
  try {
    SyncWindows();
    while (picker.shown && !pendingEnd_ && !displayLost_) Fl::wait(1.0);
  } catch (const DisplayLost&) {
    LoseDisplay();
  }
  if (displayLost_) throw RuntimeError(DISPLAY_LOST_TEXT);
  if (pendingEnd_) throw ProgramEnd{*pendingEnd_};
}

void FltkFrontEnd::RunEventLoop() {
  try {
    SyncWindows();
    while (!pendingEnd_ && !displayLost_) {
      Fl::wait(1.0);
      // With every window hidden nothing is left for the user to do.
      bool anyShown = false;
      for (const Form& f : s_.wizard.forms.all()) anyShown = anyShown || f.shown;
      if (!anyShown && !pendingEnd_) pendingEnd_ = 0;
    }
  } catch (const DisplayLost&) {
    LoseDisplay();
  }
  throw ProgramEnd{displayLost_ ? 1 : *pendingEnd_};
}

// ---- Message boxes ----

bool FltkFrontEnd::AskBox(const std::string& title, const std::string& text, MessageIcon icon, bool yesNo) {
  if (!displayLost_) {
    try {
      SyncWindows();
      int cx = Fl::w() / 2, cy = Fl::h() / 2;
      for (const auto& window : windows_) {
        if (window && window->shown()) {
          cx = window->x() + window->w() / 2;
          cy = window->y() + window->h() / 2;
        }
      }
      return RunMessageBox(title, text, icon, yesNo ? MessageButtons::YesNo : MessageButtons::Ok, cx, cy);
    } catch (const DisplayLost&) {
      LoseDisplay();
    }
  }
  // Without the display the message still reaches the user, on standard error; a
  // question is answered No.
  std::cerr << ConsoleMessageLine(title, text) << (yesNo ? " No" : "") << std::endl;
  return false;
}

void FltkFrontEnd::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  AskBox(title, text, icon, false);
}

bool FltkFrontEnd::AskYesNo(const std::string& title, const std::string& text) {
  return AskBox(title, text, MessageIcon::Question, true);
}

void FltkFrontEnd::Beep() {
  if (!displayLost_) fl_beep();
}

}  // namespace tarvik::gui
