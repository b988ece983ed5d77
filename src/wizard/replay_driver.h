// The headless front end: runs the wizard without a display by carrying out the events
// of a replay file. Message boxes take their console form (a line on standard error)
// and are kept for the state dump; a Yes/No box takes the latest "answer" (No before
// any); "pick" chooses in the next file picker; "defer" events wait for the next point
// where a running build lets pending window events run; "dump" and "draw" write the
// state and the pictures.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "wizard/front_end.h"
#include "wizard/replay_reader.h"
#include "wizard/state_dump.h"

namespace tarvik {

struct WizardSession;

class ReplayDriver : public WizardFrontEnd, public UserInterface {
 public:
  ReplayDriver(WizardSession& s, std::vector<ReplayEvent> events, std::ostream& err);

  // Where "dump" and "draw" put their files; by default the named file, relative to
  // the current folder. A file that cannot be written ends the run (status 1).
  std::function<void(const std::string& path, const std::string& content)> writeFile;

  // UserInterface
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void Notice(const std::string& line) override;
  bool HasDisplay() const override { return true; }

  // WizardFrontEnd
  void PumpEvents() override;
  void RunFilePicker() override;
  void RunEventLoop() override;

  const std::vector<ShownMessage>& messages() const { return messages_; }

 private:
  void Carry(const ReplayEvent& e);
  void Note(const ReplayEvent& e, const std::string& why);

  WizardSession& s_;
  std::vector<ReplayEvent> events_;
  size_t next_ = 0;
  std::ostream& err_;
  bool answer_ = false;
  // A "pick" that waits for the next file picker: the entry, or nothing for a picker
  // closed without a choice.
  std::optional<std::optional<std::string>> pendingPick_;
  std::vector<ShownMessage> messages_;
};

}  // namespace tarvik
