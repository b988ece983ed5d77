// Error kinds shared by every layer.
//
// A RuntimeError stops the operation that is running; the guarded sequence around it
// (start-up, batch run, slot step, a property statement) catches it and reports the
// number of its step. ProgramEnd unwinds to main() with the exit status: nothing deep
// inside the program calls exit().
#pragma once

#include <stdexcept>
#include <string>

namespace tarvik {

struct RuntimeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ProgramEnd {
  int status = 0;
};

}  // namespace tarvik
