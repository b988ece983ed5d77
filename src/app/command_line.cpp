#include "app/command_line.h"

#include <new>

#include "app/session.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "platform/files.h"
#include "script/script_reader.h"
#include "wizard/steps.h"
#include "writer/universe_file.h"

namespace tarvik {

BatchCommand CutCommandLine(std::string_view commandLine) {
  BatchCommand cut;
  int state = 0;
  for (char c : commandLine) {
    switch (state) {
      case 0:
        if (c == ' ') {
          state = 1;
        } else {
          cut.script += c;
        }
        break;
      case 1:
        if (c == ' ') {
          state = 2;
        } else {
          cut.output += c;
        }
        break;
      case 2:
        if (c == '/') state = 3;
        break;
      default:
        if (c != ' ') cut.options += c;
        break;
    }
  }
  return cut;
}

namespace {

// A universe file that this build began (step 112 creates it, after step 109 made sure
// no file of that name was there) and could not finish is removed, so that no host
// takes a half-built universe for a game.
void RemoveUnfinishedUniverse(Session& s, int step) {
  if (step != 112 && step != 113) return;
  try {
    DeleteFileAt(s.tables.universeFilePath);
  } catch (const RuntimeError&) {
    // The step's own failure is the one to report.
  }
}

}  // namespace

void RunCommandLine(Session& s, const std::string& commandLine) {
  int step = 0;
  try {
    step = 100;
    BatchCommand cut = CutCommandLine(commandLine);
    step = 101;
    if (!cut.script.empty()) {
      step = 102;
      s.paths.scriptFound = false;
      step = 103;
      if (FileExists(cut.script)) {
        s.paths.scriptPath = cut.script;
        s.paths.scriptFound = true;
      }
    }
    step = 104;
    const std::string options = UpperAscii(cut.options);
    step = 105;
    if (options.find('O') != std::string::npos && FileExists(cut.output)) {
      step = 106;
      DeleteFileAt(cut.output);
    }
    step = 107;
    if (!cut.output.empty()) {
      step = 108;
      s.tables.universeFilePath = cut.output;
      LogLine(s, "CLEAR");
      ShowOutputWindow(s);
      StartRunTimer(s);
      step = 109;
      if (FileExists(s.tables.universeFilePath)) {
        if (s.ui) {
          s.ui->ShowMessage("", "Error: Output file name already exists. Tarvik will not overwrite it.",
                            MessageIcon::None);
        }
        throw ProgramEnd{1};
      }
      step = 111;
      RunScript(s, s.paths.scriptPath, ScriptPass::Settings);
      step = 112;
      WriteUniverseFile(s);
      step = 113;
      RunScript(s, s.paths.scriptPath, ScriptPass::Objects);
      step = 114;
      StopRunTimer(s);
      step = 115;
      LogLine(s, "LOAD");
    }
    step = 117;
    if (options.find('X') != std::string::npos) throw ProgramEnd{0};
    step = 118;
    if (cut.output.empty()) {
      // Nothing was built and no window stays open: say how the batch form goes.
      if (s.ui) {
        s.ui->ShowMessage("Tarvik",
                          "No output file was named, so nothing was built. The batch form is:\r"
                          "  tarvik SCRIPT OUTPUT /OX\r"
                          "See tarvik --help.",
                          MessageIcon::Information);
      }
      throw ProgramEnd{2};
    }
  } catch (const RuntimeError& e) {
    RemoveUnfinishedUniverse(s, step);
    CommandLineError(step, commandLine, e.what());
  } catch (const std::bad_alloc&) {
    RemoveUnfinishedUniverse(s, step);
    CommandLineError(step, commandLine, OUT_OF_MEMORY);
  }
}

void CommandLineError(int step, const std::string& commandLine, const std::string& reason) {
  throw StepFailure{"Tarvik CommandLine Error: " + NumText(step) + " [" + commandLine + "]", reason};
}

void StartWizard(Session& s) {
  // The build's output view is the wizard's output window from now on.
  if (s.output) s.wizard.outputWindow.mirror = s.output;
  s.output = &s.wizard.outputWindow;
  OpenSlotStep(s);
}

}  // namespace tarvik
