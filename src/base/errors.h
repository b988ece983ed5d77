// Error kinds shared by every layer, and how each travels.
//
// RuntimeError: one operation failed at run time. Its message says what failed: which
// file, which operation, what the system said. The guarded sequences (start-up, batch
// run, slot step, a property statement) catch it and report the number of their step,
// with the message kept for the place that shows the box.
//
// FatalError, StepFailure and ProgramEnd travel to the top of the program, which shows
// what they carry and ends the program. They are deliberately not derived from
// std::exception, so that no catch of run-time failures can stop them on the way:
// - FatalError: the message of the "ERROR!" box, thrown where a broken input stops the
//   program; the program then ends with status 1;
// - StepFailure: a guarded sequence whose failure ends the program (start-up, batch
//   run): the text of its box, which names the failed step, and the RuntimeError's own
//   message; the program then ends with status 1;
// - ProgramEnd: the program ends with this status. Nothing deep inside calls exit().
#pragma once

#include <stdexcept>
#include <string>

namespace tarvik {

struct RuntimeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The reason given when a guarded step fails for want of memory.
inline constexpr const char* OUT_OF_MEMORY = "Out of memory.";

struct FatalError {
  std::string message;
};

struct StepFailure {
  std::string message;  // the box text, such as "Tarvik CommandLine Error:  112 [...]"
  std::string reason;   // what failed: the RuntimeError's own message
};

struct ProgramEnd {
  int status = 0;
};

}  // namespace tarvik
