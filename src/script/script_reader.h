// Running a universe script: one pass over the file, line by line. The settings pass
// honours the RACES, START, TECH and EXOTIC sections; the objects pass the object
// sections, adding their objects to the universe file written in between.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_state.h"

namespace tarvik {

struct ScriptSession;

// The start of every pass: the pass in force, no pending map file and no map chosen in
// the wizard's map step.
void BeginScriptPass(ScriptSession& s, ScriptPass pass);

// Cuts a script's bytes into lines as the reader does: the carriage return is the only
// line separator; a line feed stays inside the line (the line cutter drops it), so a
// file whose lines end with bare line feeds is one line. Text after the last carriage
// return is a line when it is not empty. Calls line(text) for each line in order.
template <typename F>
void ForEachScriptLine(const std::vector<uint8_t>& bytes, F&& line) {
  // Each line is a view of the bytes themselves.
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  size_t start = 0;
  for (size_t cr; (cr = text.find('\r', start)) != std::string_view::npos; start = cr + 1) {
    line(text.substr(start, cr - start));
  }
  if (start < text.size()) line(text.substr(start));
}

// Runs one pass of the script at path. A missing file is the FatalError "Script
// Missing". The objects pass opens the object store of s.tables.universeFilePath for
// its duration (not at all for an empty script).
void RunScript(ScriptSession& s, const std::string& path, ScriptPass pass);

// Cuts one line into its statement and carries it out: a section statement goes to
// ScriptSection, a property statement to DoProperty while a block is open.
void ParseScriptLine(ScriptSession& s, std::string_view line);

}  // namespace tarvik
