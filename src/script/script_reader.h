// Running a universe script: one pass over the file, line by line. The settings pass
// honours the RACES, START, TECH and EXOTIC sections; the objects pass the object
// sections, adding their objects to the universe file written in between.
#pragma once

#include <string>

#include "script/script_line.h"
#include "script/script_state.h"

namespace tarvik {

struct ScriptSession;

// The start of every pass: the pass in force, no pending map file and no map chosen in
// the wizard's map step.
void BeginScriptPass(ScriptSession& s, ScriptPass pass);

// Runs one pass of the script at path. A missing file is the FatalError "Script
// Missing". The objects pass opens the object store of s.tables.universeFilePath for
// its duration (not at all for an empty script).
void RunScript(ScriptSession& s, const std::string& path, ScriptPass pass);

// Carries out one line's statement: a section statement goes to ScriptSection, a
// property statement to DoProperty while a block is open (outside a block it does
// nothing).
void DoStatement(ScriptSession& s, const ScriptTokens& st);

}  // namespace tarvik
