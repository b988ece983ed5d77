// Start-up: the folder layout next to the program, the default input files, the
// shared tables' start values, then the batch run or the wizard.
#pragma once

#include <string>

namespace tarvik {

struct Session;

// The start-up sequence. Any run-time error ends it with "Main Load Error: Tarvik: "
// and the number of the step that failed, then the program ends (ProgramEnd{1}).
void Main(Session& s);

// Picks the first valid data file, map file and script (step 8 of Main).
void LocateDefaultFiles(Session& s);

// Fills bitValue[0..30] with the powers of two.
void BuildBitValues(Session& s);

// The race module list as text: one line per usable entry.
std::string RaceListText(const Session& s);

// Runs Main and what follows it; returns the program's exit status.
int RunProgram(Session& s);

}  // namespace tarvik
