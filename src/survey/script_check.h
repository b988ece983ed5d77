// The script checker: runs a universe script's two passes as a batch build would,
// against the game folder's race modules, ship packs and maps, but with an object store
// that writes nothing and a run log that keeps no file, and reports what a designer
// would want to know, each on the line where it happens (lines counted as the reader
// cuts them: at carriage returns).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

struct ScriptSession;

struct ScriptWarning {
  int line = 0;
  std::string text;
};

// Checks the script's bytes. `s` is a session after a start-up that changed nothing on
// disk: the race module list, the bit values and the game folder's paths in place.
// The session's tables and records are used as a build would use them. The warnings
// come in line order.
std::vector<ScriptWarning> CheckScript(ScriptSession& s, const std::vector<uint8_t>& bytes);

// "FILE:LINE: warning: TEXT" for every warning, then the count line.
std::string CheckReportText(const std::string& fileName, const std::vector<ScriptWarning>& warnings);

}  // namespace tarvik
