// Start-up: the folder layout next to the program, the default input files, the
// shared tables' start values, then the batch run or the wizard.
#pragma once

#include <string>

namespace tarvik {

struct Session;

// The start-up sequence. A run-time error in it is a StepFailure "Main Load Error:
// Tarvik: " with the number of the step that failed, which ends the program.
void Main(Session& s);

// Picks the first valid data file, map file and script (step 8 of Main).
void LocateDefaultFiles(Session& s);

// Fills bitValue[0..30] with the powers of two.
void BuildBitValues(Session& s);

// The race module list as text: one line per usable entry.
std::string RaceListText(const Session& s);

// The fatal error box: titled "ERROR!", with the critical-stop icon.
void ShowFatalError(Session& s, const std::string& message);

// The top of the program: runs Main and what follows it, shows the box of a FatalError
// or a StepFailure that reaches it, and returns the program's exit status (1 after
// either box).
int RunProgram(Session& s);

}  // namespace tarvik
