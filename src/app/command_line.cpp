#include "app/command_line.h"

#include "base/errors.h"
#include "session.h"

namespace tarvik {

void RunCommandLine(Session& s, const std::string& commandLine) {
  // The scripted batch build is not part of this build yet: say so plainly.
  if (s.ui) {
    s.ui->ShowMessage("Tarvik", "The batch run is not available in this build yet. [" + commandLine + "]",
                      MessageIcon::Exclamation);
  }
  throw ProgramEnd{1};
}

void StartWizard(Session& s) {
  if (s.ui) {
    s.ui->ShowMessage("Tarvik", "The wizard is not available in this build yet. See tarvik --help for the batch run.",
                      MessageIcon::Exclamation);
  }
  throw ProgramEnd{2};
}

}  // namespace tarvik
