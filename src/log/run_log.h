// The run log: the single writer of the lines a build reports (LogLine), the log file
// "tarvik.log" that keeps them, and the output window's run timer and flags.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "platform/files.h"

namespace tarvik {

struct LogSession;

inline constexpr int LOG_WINDOW_LINES = 20;

struct RunLog {
  std::unique_ptr<BinaryFile> logFile;  // none when closed
  std::string lineEnd;                  // CR LF once the file has been opened
  long long fileLength = 0;             // bytes in the open log file
  int lineCount = 0;
  std::array<std::string, LOG_WINDOW_LINES + 1> lines;  // 1-based, oldest first

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
// The text the output window shows now (lines 1..lineCount joined).
std::string LogWindowText(const RunLog& log);

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

}  // namespace tarvik
