// The wizard model run in the test beside the real program, on its own copy of the
// game folder, with the same seed and the same user actions: it says what each window
// of the real program should show (captions, the drawing on picCMD, the controls).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "app/session.h"
#include "test_support.h"
#include "wizard/dispatcher.h"
#include "wizard/front_end.h"

namespace tarvik::test {

// The moment the real program's clock is stopped at (TARVIK_FIXED_CLOCK) and the
// mirror's clock shows, so that both build the same universe to the byte.
inline constexpr const char* FIXED_MOMENT = "2026-03-04 12:00:00";

class WizardMirror : public WizardFrontEnd {
 public:
  // Runs start-up on `gameDir` with the seed and the clock at FIXED_MOMENT, as the real
  // program does.
  WizardMirror(const std::string& gameDir, int64_t seed);

  Session& s() { return *session_; }
  Form& form(FormId id) { return session_->wizard.forms[id]; }
  // Carries out one user action; true while the program goes on.
  bool Act(const WizardEvent& e);
  bool ended() const { return ended_.has_value(); }
  // The entry the next file picker is closed with (nothing: closed without a choice).
  void PickNext(std::optional<std::string> entry) { pick_ = std::move(entry); }

  void RunFilePicker() override;
  void RunEventLoop() override {}

 private:
  FixedClock clock_;
  RecordingUi ui_;
  RecordingOutput output_;
  std::unique_ptr<Session> session_;
  std::optional<int> ended_;
  std::optional<std::string> pick_;
};

// Events as the windows make them.
WizardEvent ClickEvent(FormId form, int x, int y);
WizardEvent SelectEvent(FormId form, const std::string& control, int index);
WizardEvent CheckEvent(FormId form, const std::string& control, int value);
WizardEvent TextEvent(FormId form, const std::string& control, const std::string& text);
WizardEvent KeyEvent(FormId form, const std::string& control, int code);

}  // namespace tarvik::test
