#include "app/program_start.h"

#include <unistd.h>

#include "session.h"

namespace tarvik {

std::string ProgramFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  const std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

bool OpensWizard(const LongOptions& options) {
  return options.commandLine.empty() && !options.replayFile && !options.listRaces && !options.help &&
         !options.version;
}

void PrepareSession(Session& s, const LongOptions& options) {
  s.random.SetFixedSeed(options.seed);
  s.paths.appPath = options.gameDir ? *options.gameDir : ProgramFolder();
  s.commandLine = options.commandLine;
  s.listRacesOnly = options.listRaces;
}

}  // namespace tarvik
