// The batch run and the entry into the wizard.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

struct Session;

// The three fields of a batch command line: script, blank, output, anything up to a
// "/", then the option letters (blanks after the "/" are dropped).
struct BatchCommand {
  std::string script;
  std::string output;
  std::string options;
};

BatchCommand CutCommandLine(std::string_view commandLine);

// Builds one universe from the command line (script, output file, /options). Option
// O replaces an existing output file, X ends the program when the build is over. A
// run-time error ends the program with "Tarvik CommandLine Error: " and the step.
void RunCommandLine(Session& s, const std::string& commandLine);

// A failed batch step: the StepFailure that the top shows ("Tarvik CommandLine Error: ",
// the step, the command line in brackets) before the program ends with status 1.
[[noreturn]] void CommandLineError(int step, const std::string& commandLine, const std::string& reason);

// Opens the wizard at its slot step.
void StartWizard(Session& s);

}  // namespace tarvik
