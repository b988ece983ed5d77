// Header tests of the main data file and of map files: a file counts only when it is
// longer than 100 bytes and begins with its header literal.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

inline constexpr std::string_view DATA_FILE_HEADER = "Stellarvane Version 4 Data File:";
inline constexpr std::string_view MAP_FILE_HEADER = "Stellarvane 4 Map File";

// Race modules and ship packs begin alike: their header literal, then at these 1-based
// positions the race or pack identifier, its revision, and the position of the
// module's directory or the pack's hull table (int32 each).
inline constexpr long long PACK_ID_POS = 401;
inline constexpr long long PACK_REVISION_POS = 405;
inline constexpr long long PACK_INDEX_POS = 450;

bool IsDataFile(std::string_view path);
bool IsMapFile(std::string_view path);

// True when the file is longer than minLength bytes and begins with `header`.
bool HasHeader(std::string_view path, std::string_view header, long long minLength);

}  // namespace tarvik
