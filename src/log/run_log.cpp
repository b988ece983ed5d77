#include "log/run_log.h"

#include "base/errors.h"
#include "base/text.h"
#include "log/log_session.h"
#include "platform/rounding.h"

namespace tarvik {

std::string LogWindowText(const RunLog& log) {
  std::string all;
  for (int i = 1; i <= log.lineCount; ++i) all += log.lines[i];
  return all;
}

static void CloseLogFile(RunLog& log) {
  if (log.logFile) {
    try {
      log.logFile->Close();
    } catch (const RuntimeError&) {
      // The log reports nothing itself; a failing log file must not stop a build.
    }
    log.logFile.reset();
  }
}

void LogLine(LogSession& s, const std::string& text) {
  RunLog& log = s.log;
  const std::string upper = UpperAscii(text);
  if (!log.logFile) {
    log.lineEnd = "\r\n";
    const std::string& path = s.paths.logPath;
    log.logFile = std::make_unique<BinaryFile>();
    try {
      log.logFile->Open(path, FileExists(path) ? BinaryFile::Mode::ReadWrite : BinaryFile::Mode::Create);
      log.fileLength = log.logFile->Length();
    } catch (const RuntimeError&) {
      log.logFile.reset();  // no log file: lines still reach the window
    }
  }
  if (upper == "LOAD") {
    std::string whole;
    if (log.logFile) {
      long long len = log.logFile->Length();
      if (len > 0) {
        std::vector<uint8_t> bytes = log.logFile->Read(1, static_cast<size_t>(len));
        whole.assign(bytes.begin(), bytes.end());
      }
    }
    if (log.outputShown && s.output) s.output->SetLogText(whole, "");
    return;
  }
  if (!text.empty()) {
    if (++log.lineCount > LOG_WINDOW_LINES) {
      log.lineCount = LOG_WINDOW_LINES;
      for (int i = 1; i < LOG_WINDOW_LINES; ++i) log.lines[i] = std::move(log.lines[i + 1]);
    }
    log.lines[log.lineCount] = text + log.lineEnd;
    const std::string& line = log.lines[log.lineCount];
    if (log.outputShown && s.output) s.output->SetLogText(LogWindowText(log), line);
    if (log.logFile) {
      try {
        // Only this writer appends while the file is open, so the length is known.
        log.logFile->Write(log.fileLength + 1, line.data(), line.size());
        log.fileLength += static_cast<long long>(line.size());
        log.logFile->Flush();  // the log must survive whatever ends the run
      } catch (const RuntimeError&) {
        // Reported nowhere: the log is a record of the build, not part of it.
      }
    }
  } else {
    CloseLogFile(log);
  }
  if (upper == "CLEAR") {
    CloseLogFile(log);
    try {
      BinaryFile empty(s.paths.logPath, BinaryFile::Mode::Create);
      empty.Close();
    } catch (const RuntimeError&) {
    }
    if (s.output && log.outputShown) s.output->SetLogText("", "");
    for (auto& l : log.lines) l.clear();
    log.lineCount = 0;
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

}  // namespace tarvik
