// Start-up: the folder layout next to the program, the default input files, the
// shared tables' start values, then the batch run or the wizard.
#pragma once

#include <string>

namespace tarvik {

struct PackSession;
struct Session;
struct UniverseSession;

// The start-up sequence. A run-time error in it is a StepFailure "Main Load Error:
// Tarvik: " with the number of the step that failed, which ends the program.
void Main(Session& s);

// Picks the first valid data file, map file and script (step 8 of Main).
void LocateDefaultFiles(UniverseSession& s);

// Fills bitValue[0..30] with the powers of two.
void BuildBitValues(UniverseSession& s);

// The race module list as text: one line per usable entry.
std::string RaceListText(const PackSession& s);

}  // namespace tarvik
