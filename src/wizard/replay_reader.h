// Replay files: the user's actions on the wizard, one event per line, for running the
// wizard without a display. The whole file is read and checked before anything runs;
// any fault is a usage error that names its line.
//
//   click FORM X Y            select FORM.CONTROL I      check FORM.CONTROL 0|1
//   text FORM.CONTROL TEXT    key FORM.CONTROL CODE      press FORM.CONTROL
//   tick FORM                 answer yes|no              pick [NAME]
//   done                      defer EVENT                dump FILE
//   draw FORM FILE
//
// Blank lines and lines whose first character other than a blank is "#" are ignored.
// Lines end with LF, CR LF or CR. Words are separated by blanks or tabs. TEXT is the rest
// of the line after the one blank that follows FORM.CONTROL, exactly (it may be empty);
// NAME and FILE are the rest of the line without trailing blanks.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/forms.h"

namespace tarvik {

enum class ReplayEventKind { Click, Select, Check, Text, Key, Press, Tick, Answer, Pick, Done, Dump, Draw };

struct ReplayEvent {
  int line = 0;
  ReplayEventKind kind = ReplayEventKind::Done;
  bool deferred = false;  // written as "defer EVENT"
  FormId form = FormId::UnivSlots;
  std::string control;
  double x = 0, y = 0;  // click
  int value = 0;        // select index, check 0 or 1, key code; answer: 1 for yes
  std::string text;     // text, pick NAME, dump and draw FILE
  bool noChoice = false;  // "pick" without a NAME
};

// A fault of the replay file: a usage error of the program (exit status 2).
struct ReplayUsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Reads and checks the text of a replay file; `fileName` names it in the messages.
std::vector<ReplayEvent> ParseReplay(std::string_view text, const std::string& fileName);
// Reads the file (a file that cannot be read is a usage error) and checks it.
std::vector<ReplayEvent> ReadReplayFile(const std::string& path);

// The event as a replay line would write it (for messages).
std::string ReplayEventText(const ReplayEvent& e);

}  // namespace tarvik
