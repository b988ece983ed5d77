#include "wizard/replay_driver.h"

#include <fstream>
#include <ostream>
#include <utility>

#include "base/errors.h"
#include "wizard/dispatcher.h"
#include "wizard/wizard_session.h"

namespace tarvik {

namespace {

void WriteTextFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out) throw RuntimeError("cannot write " + path);
}

// The replay events that are user actions on the wizard.
constexpr std::pair<ReplayEventKind, WizardEventKind> USER_ACTIONS[] = {
    {ReplayEventKind::Click, WizardEventKind::Click}, {ReplayEventKind::Select, WizardEventKind::Select},
    {ReplayEventKind::Check, WizardEventKind::Check}, {ReplayEventKind::Text, WizardEventKind::Text},
    {ReplayEventKind::Key, WizardEventKind::Key},     {ReplayEventKind::Press, WizardEventKind::Press},
    {ReplayEventKind::Tick, WizardEventKind::Tick},   {ReplayEventKind::Done, WizardEventKind::Done},
    {ReplayEventKind::Pick, WizardEventKind::PickFile},
};

WizardEvent ToWizardEvent(const ReplayEvent& e) {
  WizardEvent w;
  for (const auto& [replay, action] : USER_ACTIONS) {
    if (replay == e.kind) w.kind = action;
  }
  w.form = w.kind == WizardEventKind::Done ? FormId::OutText : w.kind == WizardEventKind::PickFile ? FormId::Load : e.form;
  w.control = e.control;
  w.x = e.x;
  w.y = e.y;
  w.value = e.value;
  w.text = e.text;
  w.noChoice = e.noChoice;
  return w;
}

}  // namespace

ReplayDriver::ReplayDriver(WizardSession& s, std::vector<ReplayEvent> events, std::ostream& err)
    : writeFile(WriteTextFile), s_(s), events_(std::move(events)), err_(err) {}

void ReplayDriver::ShowMessage(const std::string& title, const std::string& text, MessageIcon) {
  err_ << ConsoleMessageLine(title, text) << std::endl;
  messages_.push_back({title, text});
}

bool ReplayDriver::AskYesNo(const std::string& title, const std::string& text) {
  err_ << ConsoleMessageLine(title, text) << (answer_ ? " Yes" : " No") << std::endl;
  messages_.push_back({title, text});
  return answer_;
}

void ReplayDriver::Notice(const std::string& line) { err_ << ConsoleMessageLine("", line) << std::endl; }

void ReplayDriver::Note(const ReplayEvent& e, const std::string& why) {
  err_ << "replay line " << e.line << ": " << ReplayEventText(e) << " does nothing: " << why << std::endl;
}

void ReplayDriver::Carry(const ReplayEvent& e) {
  switch (e.kind) {
    case ReplayEventKind::Answer:
      answer_ = e.value != 0;
      return;
    case ReplayEventKind::Pick:
      if (!s_.wizard.modalForm) {  // waits for the next picker
        pendingPick_ = e.noChoice ? std::nullopt : std::optional<std::string>(e.text);
        return;
      }
      break;
    case ReplayEventKind::Dump:
      try {
        writeFile(e.text, DumpWizardJson(s_.wizard.forms, messages_));
      } catch (const RuntimeError& error) {
        err_ << "tarvik: replay line " << e.line << ": " << error.what() << std::endl;
        throw ProgramEnd{1};
      }
      return;
    case ReplayEventKind::Draw:
      try {
        writeFile(e.text, CanvasSvg(s_.wizard.forms[e.form]));
      } catch (const RuntimeError& error) {
        err_ << "tarvik: replay line " << e.line << ": " << error.what() << std::endl;
        throw ProgramEnd{1};
      }
      return;
    default:
      break;
  }
  const DispatchResult r = Dispatch(s_, ToWizardEvent(e));
  if (r != DispatchResult::Done) Note(e, DispatchResultText(r));
}

// Each point where a running build lets window events run takes the next line of the
// file when it is a deferred event: the user acted while the build was running.
void ReplayDriver::PumpEvents() {
  if (next_ < events_.size() && events_[next_].deferred) Carry(events_[next_++]);
}

// The picker holds the user: a waiting "pick" chooses at once; otherwise the following
// lines run until one of them closes it. Lines for other forms do nothing meanwhile.
void ReplayDriver::RunFilePicker() {
  if (pendingPick_) {
    WizardEvent pick;
    pick.kind = WizardEventKind::PickFile;
    pick.form = FormId::Load;
    pick.noChoice = !pendingPick_->has_value();
    if (pendingPick_->has_value()) pick.text = **pendingPick_;
    pendingPick_.reset();
    Dispatch(s_, pick);
    return;
  }
  while (s_.wizard.forms[FormId::Load].shown) {
    if (next_ >= events_.size()) throw ProgramEnd{0};  // the file ends with the picker open
    Carry(events_[next_++]);
  }
}

void ReplayDriver::RunEventLoop() {
  while (next_ < events_.size()) Carry(events_[next_++]);
}

}  // namespace tarvik
