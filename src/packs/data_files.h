// Header tests of the main data file and of map files: a file counts only when it is
// longer than 100 bytes and begins with its header literal.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

inline constexpr std::string_view DATA_FILE_HEADER = "Stellarvane Version 4 Data File:";
inline constexpr std::string_view MAP_FILE_HEADER = "Stellarvane 4 Map File";

bool IsDataFile(std::string_view path);
bool IsMapFile(std::string_view path);

// True when the file is longer than minLength bytes and begins with `header`.
bool HasHeader(std::string_view path, std::string_view header, long long minLength);

}  // namespace tarvik
