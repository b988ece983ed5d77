#include "app/top.h"

#include "app/session.h"
#include "app/startup.h"
#include "base/errors.h"
#include "wizard/front_end.h"

namespace tarvik {

void ShowFatalError(Session& s, const std::string& message) {
  if (s.ui) s.ui->ShowMessage("ERROR!", message, MessageIcon::Critical);
}

int RunProgram(Session& s) {
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

}  // namespace tarvik
