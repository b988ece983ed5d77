// The universe file writer: header, directory, race data, the main data file's copy,
// the settings block, the player section and the empty object tables and index.
#pragma once

#include <string_view>

namespace tarvik {

struct PackSession;

inline constexpr std::string_view UNIVERSE_FILE_HEADER = "Stellarvane 4 ( By Quillenbrast ) Universe File:";
inline constexpr int UNIVERSE_TABLE_BASE = 630;
inline constexpr int UNIVERSE_DATA_COPY_POS = 35120;

// Creates s.tables.universeFilePath. Failures are RuntimeErrors for the caller.
void WriteUniverseFile(PackSession& s);

}  // namespace tarvik
