// Running a universe script: one pass over the file, line by line. The settings pass
// honours the RACES, START, TECH and EXOTIC sections; the objects pass the object
// sections, adding their objects to the universe file written in between.
#pragma once

#include <string>
#include <string_view>

#include "script/script_state.h"

namespace tarvik {

struct ScriptSession;

// Runs one pass of the script at path. A missing file is the FatalError "Script
// Missing". The objects pass opens the object store of s.tables.universeFilePath for
// its duration (not at all for an empty script).
void RunScript(ScriptSession& s, const std::string& path, ScriptPass pass);

// Cuts one line into its statement and carries it out: a section statement goes to
// ScriptSection, a property statement to DoProperty while a block is open.
void ParseScriptLine(ScriptSession& s, std::string_view line);

}  // namespace tarvik
