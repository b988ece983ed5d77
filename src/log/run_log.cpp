#include "log/run_log.h"

#include "base/errors.h"
#include "base/text.h"
#include "log/log_session.h"
#include "platform/rounding.h"

namespace tarvik {

const std::string& LogWindowText(const RunLog& log) { return log.windowText; }

const std::string& LogWindowLine(const RunLog& log, int i) {
  return log.lines[static_cast<size_t>((log.oldest + i - 1) % LOG_WINDOW_LINES)];
}

void FlushRunLog(LogSession& s) {
  // Reported nowhere: the log is a record of the build, not part of it.
  s.log.pending.Flush();
}

namespace {

// Closes the log file; `keepPending`: the lines not yet written go into it first.
void CloseLogFile(RunLog& log, bool keepPending) {
  if (!log.logFile) return;
  if (keepPending) log.pending.Flush();
  log.pending.Detach();
  try {
    log.logFile->Close();
  } catch (const RuntimeError&) {
    // The log reports nothing itself; a failing log file must not stop a build.
  }
  log.logFile.reset();
}

void OpenLogFile(LogSession& s) {
  RunLog& log = s.log;
  const std::string& path = s.paths.logPath;
  log.logFile = std::make_unique<BinaryFile>();
  try {
    log.logFile->Open(path, FileExists(path) ? BinaryFile::Mode::ReadWrite : BinaryFile::Mode::Create);
    log.pending.Attach(log.logFile->Descriptor(), log.logFile->Length());
  } catch (const RuntimeError&) {
    log.logFile.reset();  // no log file: lines still reach the window
  }
}

// The window holds the last LOG_WINDOW_LINES lines logged; the oldest goes when a line
// comes into a full window, and the new line (the text and its line end) is made in its
// storage. Returns the new line.
const std::string& AddWindowLine(RunLog& log, const std::string& text, std::string_view lineEnd) {
  std::string* line = nullptr;
  if (log.lineCount == LOG_WINDOW_LINES) {
    line = &log.lines[static_cast<size_t>(log.oldest)];
    log.windowText.erase(0, line->size());
    log.oldest = (log.oldest + 1) % LOG_WINDOW_LINES;
  } else {
    line = &log.lines[static_cast<size_t>((log.oldest + log.lineCount) % LOG_WINDOW_LINES)];
    ++log.lineCount;
  }
  line->assign(text);
  *line += lineEnd;
  log.windowText += *line;
  return *line;
}

}  // namespace

void LogLine(LogSession& s, const std::string& text) {
  RunLog& log = s.log;
  if (!log.logFile) log.lineEnd = "\r\n";
  if (!log.logFile && !log.noFile) OpenLogFile(s);
  if (EqualsNoCase(text, "LOAD")) {
    std::string whole;
    if (log.logFile) {
      FlushRunLog(s);
      try {
        const long long len = log.logFile->Length();
        if (len > 0) {
          std::vector<uint8_t> bytes = log.logFile->Read(1, static_cast<size_t>(len));
          whole.assign(bytes.begin(), bytes.end());
        }
      } catch (const RuntimeError&) {
        // A log file that cannot be read back leaves the window empty.
      }
    }
    if (log.outputShown && s.output) s.output->SetLogText(whole, "");
    return;
  }
  if (!text.empty()) {
    const std::string& line = AddWindowLine(log, text, log.lineEnd);
    if (log.outputShown && s.output) s.output->SetLogText(log.windowText, line);
    if (log.logFile) log.pending.Append(line);
  } else {
    CloseLogFile(log, true);
  }
  if (EqualsNoCase(text, "CLEAR")) {
    CloseLogFile(log, false);  // what it held is emptied now
    if (!log.noFile) {
      try {
        BinaryFile empty(s.paths.logPath, BinaryFile::Mode::Create);
        empty.Close();
      } catch (const RuntimeError&) {
      }
    }
    if (s.output && log.outputShown) s.output->SetLogText("", "");
    for (auto& l : log.lines) l.clear();
    log.windowText.clear();
    log.lineCount = 0;
    log.oldest = 0;
  }
}

void NoticeOnce(LogSession& s, const std::string& line) {
  if (s.ui && s.log.noticesShown.insert(line).second) s.ui->Notice(line);
}

void LogNotice(LogSession& s, const std::string& line) {
  LogLine(s, line);
  NoticeOnce(s, line);
}

static int32_t NowWholeSeconds(const LogSession& s) {
  return static_cast<int32_t>(RoundToInt(s.clock->SecondsSinceMidnight()));
}

int32_t ElapsedRunSeconds(const LogSession& s) {
  int32_t elapsed = NowWholeSeconds(s) - s.log.startTime;
  if (elapsed < 0) elapsed += 86400;
  return elapsed;
}

void StartRunTimer(LogSession& s) {
  s.log.timerEnabled = true;
  s.log.startTime = NowWholeSeconds(s);
  if (s.output) s.output->SetTimeLabel("0");
}

void RunTimerTick(LogSession& s) {
  if (!s.log.timerEnabled) return;
  if (s.output) s.output->SetTimeLabel(NumText(ElapsedRunSeconds(s)));
}

void StopRunTimer(LogSession& s) {
  s.log.timerEnabled = false;
  int32_t elapsed = ElapsedRunSeconds(s);
  LogLine(s, "Total Run Time: " + NumText(elapsed) + " Sec");
  FlushRunLog(s);  // the end of a build
  if (s.output) {
    s.output->PumpEvents();
    s.output->PumpEvents();
    s.output->SetTimeLabel("Finished");
  }
  s.log.runFinished = true;
}

void ShowOutputWindow(LogSession& s) {
  s.log.outputShown = true;
  if (s.output) s.output->Show();
}

void ClickDone(LogSession& s) {
  s.log.outputShown = false;
  s.log.doneClicked = true;
  if (s.log.runFinished) throw ProgramEnd{0};
}

void LogFlushingInterface::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  FlushRunLog(s_);
  shown_.ShowMessage(title, text, icon);
  ForgetFolders();
}

bool LogFlushingInterface::AskYesNo(const std::string& title, const std::string& text) {
  FlushRunLog(s_);
  const bool yes = shown_.AskYesNo(title, text);
  ForgetFolders();
  return yes;
}

void LogFlushingInterface::ShowStepError(const std::string& message, const std::string& reason) {
  FlushRunLog(s_);
  shown_.ShowStepError(message, reason);
  ForgetFolders();
}

void LogFlushingInterface::Notice(const std::string& line) {
  FlushRunLog(s_);
  shown_.Notice(line);
}

}  // namespace tarvik
