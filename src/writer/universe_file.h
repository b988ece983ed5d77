// The universe file writer: header, directory, race data, the main data file's copy,
// the settings block, the player section and the empty object tables and index.
#pragma once

namespace tarvik {

struct PackSession;

// Creates s.tables.universeFilePath. Failures are RuntimeErrors for the caller.
void WriteUniverseFile(PackSession& s);

}  // namespace tarvik
