#include "app/top.h"

#include <optional>

#include "app/session.h"
#include "app/startup.h"
#include "base/errors.h"
#include "log/run_log.h"
#include "wizard/front_end.h"

namespace tarvik {

void ShowFatalError(Session& s, const std::string& message) {
  if (s.ui) s.ui->ShowMessage("ERROR!", message, MessageIcon::Critical);
}

namespace {

int RunMain(Session& s) {
  try {
    Main(s);
    // After a batch run without option X the output view stays until Done.
    if (!s.commandLine.empty() && s.log.outputShown && s.output) s.output->WaitForDone();
    // The wizard is open: its front end carries out the user's events.
    if (s.wizard.opened && s.wizard.frontEnd) s.wizard.frontEnd->RunEventLoop();
    return 0;
  } catch (const FatalError& e) {
    ShowFatalError(s, e.message);
    return 1;
  } catch (const StepFailure& e) {
    if (s.ui) s.ui->ShowStepError(e.message, e.reason);
    return 1;
  } catch (const ProgramEnd& end) {
    return end.status;
  }
}

}  // namespace

int RunProgram(Session& s) {
  // Every box shown from here on finds the run log written out, and so does whatever
  // comes after the program's end.
  UserInterface* const shown = s.ui;
  std::optional<LogFlushingInterface> flushing;
  if (shown) s.ui = &flushing.emplace(s, *shown);
  int status = 0;
  try {
    status = RunMain(s);
  } catch (...) {
    s.ui = shown;
    FlushRunLog(s);
    throw;
  }
  s.ui = shown;
  FlushRunLog(s);
  return status;
}

}  // namespace tarvik
