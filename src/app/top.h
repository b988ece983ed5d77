// The top of the program: the one place that shows the boxes of the errors that end
// the program, and turns the end of the program into its exit status.
#pragma once

#include <string>

namespace tarvik {

struct Session;

// The fatal error box: titled "ERROR!", with the critical-stop icon.
void ShowFatalError(Session& s, const std::string& message);

// Runs Main and what follows it. A FatalError or a StepFailure that reaches here shows
// its box and ends the program with status 1; a ProgramEnd ends it with its status.
// Returns the program's exit status.
int RunProgram(Session& s);

}  // namespace tarvik
