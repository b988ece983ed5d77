// The run log: the single writer of the lines a build reports (LogLine), the log file
// "tarvik.log" that keeps them, and the output window's run timer and flags.
//
// The output view is shown each line as it is logged. The log file gets the lines in
// pieces (log/log_buffer.h), and holds every line logged so far whenever anyone can look
// at it: at the end of a build (StopRunTimer, LOAD), when the object store closes,
// before every message box and at the end of the program (app/top.cpp: FlushRunLog, and
// the boxes through LogFlushingInterface), when the log file is closed, and when a
// signal ends the program (WriteLogOnTerminatingSignals).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "log/log_buffer.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace tarvik {

struct LogSession;

inline constexpr int LOG_WINDOW_LINES = 20;

struct RunLog {
  std::unique_ptr<BinaryFile> logFile;  // none when closed
  std::string lineEnd;                  // CR LF once the file has been opened
  LogBuffer pending;                    // lines on their way to the open log file
  // The window's lines, each with its line end: lineCount of them (at most
  // LOG_WINDOW_LINES) in a ring that begins with the oldest at `oldest`, so that a new
  // line takes the place of the oldest without moving the others (LogWindowLine).
  int lineCount = 0;
  int oldest = 0;
  std::array<std::string, LOG_WINDOW_LINES> lines;
  std::string windowText;  // the lines joined, oldest first
  // No log file at all: lines reach the output view only, and CLEAR empties no file (a
  // run that must leave the game folder as it was, such as the script checker's).
  bool noFile = false;

  // Output window flags.
  bool outputShown = false;
  bool runFinished = false;
  bool doneClicked = false;
  bool timerEnabled = false;
  int32_t startTime = 0;

  // The notices already shown on standard error in this run.
  std::set<std::string> noticesShown;
};

// Logs one line; "CLEAR" and "LOAD" (any letter case) and the empty text are commands.
void LogLine(LogSession& s, const std::string& text);
// A line about a data file that a build survives (one not used, one damaged): logged
// like any line, and shown on standard error the first time it comes in the run.
void LogNotice(LogSession& s, const std::string& line);
// Only the standard-error half: the line is shown unless it was shown before.
void NoticeOnce(LogSession& s, const std::string& line);
// The text the output window shows now (its lines joined, oldest first).
const std::string& LogWindowText(const RunLog& log);
// Line i of the window (1 the oldest, lineCount the newest), with its line end.
const std::string& LogWindowLine(const RunLog& log, int i);
// Writes the lines logged so far to the log file.
void FlushRunLog(LogSession& s);

void StartRunTimer(LogSession& s);
// One tick of the output window's timer: shows the elapsed seconds.
void RunTimerTick(LogSession& s);
void StopRunTimer(LogSession& s);
// Seconds since startTime, with the correction for a run that passed midnight.
int32_t ElapsedRunSeconds(const LogSession& s);

// Shows the output window without waiting (sets outputShown).
void ShowOutputWindow(LogSession& s);
// The output window's Done button: ends the program when the run is finished.
void ClickDone(LogSession& s);

// The session's user interface as a run sees it (installed by the top of the program):
// the run log is written out before every message box, Yes/No question and notice, and
// the folders are looked at afresh after a box (the person may change them while it
// waits; see SteadyFolders).
class LogFlushingInterface : public UserInterface {
 public:
  LogFlushingInterface(LogSession& s, UserInterface& shown) : s_(s), shown_(shown) {}
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void ShowStepError(const std::string& message, const std::string& reason) override;
  void Notice(const std::string& line) override;
  bool HasDisplay() const override { return shown_.HasDisplay(); }
  void Beep() override { shown_.Beep(); }

 private:
  LogSession& s_;
  UserInterface& shown_;
};

}  // namespace tarvik
