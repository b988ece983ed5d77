// The running program's own file, and starting another program and waiting for it.
#pragma once

#include <string>
#include <vector>

namespace tarvik {

// The folder of the running executable, ending in "/" ("./" when it cannot be told).
std::string ProgramFolder();

// How a started program ended.
struct ProgramRun {
  bool started = false;  // false: it could not be started (`error` says why)
  int status = 0;        // its exit status
  int signal = 0;        // the signal that ended it, 0 for a normal end
  std::string error;
};

// Runs the program at `path` with `args` (args[0] included) and this program's
// environment, and waits for it. The child ends with this program. A program that the
// system loader cannot start (a library missing) ends with status 127.
ProgramRun RunAndWait(const std::string& path, const std::vector<std::string>& args);

}  // namespace tarvik
