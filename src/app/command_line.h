// The batch run and the entry into the wizard.
#pragma once

#include <string>

namespace tarvik {

struct Session;

// Builds one universe from the command line (script, output file, /options).
void RunCommandLine(Session& s, const std::string& commandLine);

// Opens the wizard at its slot step.
void StartWizard(Session& s);

}  // namespace tarvik
