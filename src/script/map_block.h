// The MAP block of a script: its FILE statement names the map file whose planets the
// block adds when it is committed.
#pragma once

#include <string>

namespace tarvik {

struct ScriptSession;

// The FILE statement of a MAP block. ".MAP" is appended unless the name already ends in
// exactly ".MAP"; a valid map file in data\ switches pendingMapFile on (logged as
// "Script Map File: " and the path); the stock names set mapKindCode (ECHO.MAP 1,
// ZETAGAL.MAP 2, EPSILON.MAP 5) whether or not the file is there.
void SetScriptMapFile(ScriptSession& s, std::string name);

// A map name as the FILE statement takes it: ".MAP" appended unless it already ends in
// exactly ".MAP".
std::string MapFileName(std::string name);

}  // namespace tarvik
