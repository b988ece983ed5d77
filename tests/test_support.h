// Shared helpers of the test suites: a temporary game folder and a session wired to a
// fixed clock, a user interface that records its message boxes, an output view that
// records what it was shown, and a command line run in a folder, a file read as text,
// a snapshot of a folder's files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/session.h"
#include "base/errors.h"
#include "platform/clock.h"
#include "platform/ui.h"

namespace tarvik::test {

// A fresh empty folder below the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // ends in "/"
  // Writes a file (creating parent folders) and returns its full path.
  std::string Write(const std::string& relative, const std::string& bytes) const;
  std::string Write(const std::string& relative, const std::vector<uint8_t>& bytes) const;
  std::string Read(const std::string& relative) const;
  // All folders below the root, relative, in sorted order ("WAR", "WAR/SLOT1", ...).
  std::vector<std::string> Folders() const;

 private:
  std::string path_;
};

struct RecordingUi : UserInterface {
  struct Message {
    std::string title, text;
    MessageIcon icon;
    std::string reason;  // of a failed guarded step: the failure's own message
  };
  std::vector<Message> messages;
  bool display = false;
  bool answer = false;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    messages.push_back({title, text, icon, ""});
  }
  void ShowStepError(const std::string& message, const std::string& reason) override {
    messages.push_back({"", message, MessageIcon::None, reason});
  }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    messages.push_back({title, text, MessageIcon::Question, ""});
    return answer;
  }
  bool HasDisplay() const override { return display; }
  std::vector<std::string> notices;  // the lines meant for standard error
  void Notice(const std::string& line) override { notices.push_back(line); }
  int beeps = 0;
  void Beep() override { ++beeps; }
};

struct RecordingOutput : OutputView {
  // Called with each line as it is logged (before it reaches the log file).
  std::function<void(const std::string& line)> onLine;
  bool shown = false;
  std::string text;
  std::vector<std::string> newLines;
  std::vector<std::string> timeLabels;
  std::string gameFile;
  int doneWaits = 0;
  void Show() override { shown = true; }
  void SetLogText(const std::string& t, const std::string& newLine) override {
    text = t;
    if (newLine.empty()) return;
    newLines.push_back(newLine);
    if (onLine) onLine(newLine);
  }
  void SetTimeLabel(const std::string& t) override { timeLabels.push_back(t); }
  void SetGameFileLabel(const std::string& t) override { gameFile = t; }
  void WaitForDone() override { ++doneWaits; }
  std::string printed;
  void Print(const std::string& t) override { printed += t; }
};

// A session whose program folder is a fresh temporary folder, with a fixed clock at
// 12:00:00 on 03-04-2026 and a fixed random seed.
struct TestSession {
  TestSession();
  TempDir dir;
  FixedClock clock;
  RecordingUi ui;
  RecordingOutput output;
  std::unique_ptr<Session> session;
  Session& s() { return *session; }
};

// What a command line run by the shell printed, and its exit status (-1 when a signal
// ended it).
struct CommandRun {
  int status = -1;
  std::string out, err;
};

// Runs `command` in `folder` with an empty standard input; standard output and error
// are caught outside the folder.
CommandRun RunIn(const std::string& folder, const std::string& command);

// A file's bytes as a text, empty when there is no such file.
std::string ReadText(const std::string& path);

// The files below a folder (relative path to content) and its folders.
struct FolderSnapshot {
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  bool operator==(const FolderSnapshot&) const = default;
};
FolderSnapshot TakeSnapshot(const std::string& root);

// The lines of a text that ends each one with CR LF (the run log's and the scripts'
// way), and such a text made of lines.
std::vector<std::string> CrLfLines(const std::string& text);
std::string CrLfText(const std::vector<std::string>& lines);

// The message of the FatalError that fn throws; a failure of the test when it throws
// none.
template <class F>
std::string FatalMessageOf(F&& fn) {
  try {
    fn();
  } catch (const FatalError& e) {
    return e.message;
  }
  ADD_FAILURE() << "no fatal error";
  return "";
}

}  // namespace tarvik::test
