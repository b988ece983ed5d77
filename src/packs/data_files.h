// Header tests of the main data file and of map files: a file counts only when it is
// longer than 100 bytes and begins with its header literal.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

inline constexpr std::string_view DATA_FILE_HEADER = "Stellarvane Version 4 Data File:";
inline constexpr std::string_view MAP_FILE_HEADER = "Stellarvane 4 Map File";
inline constexpr long long DATA_FILE_MIN_LENGTH = 100;  // a data or map file is longer

// Race modules and ship packs begin alike: their header literal, then at these 1-based
// positions the race or pack identifier, its revision, and the position of the
// module's directory or the pack's hull table (int32 each).
inline constexpr long long PACK_ID_POS = 401;
inline constexpr long long PACK_REVISION_POS = 405;
inline constexpr long long PACK_INDEX_POS = 450;

bool IsDataFile(std::string_view path);
bool IsMapFile(std::string_view path);

enum class HeaderTest {
  Passes,      // longer than the minimum and begins with the header
  Fails,       // missing, too short or another header: not a file of this kind
  Unreadable,  // long enough, but its first bytes cannot be read
};

// The header test of a file: longer than minLength bytes and beginning with `header`.
// For an unreadable file, `why` (when given) receives the reason ("permission denied").
HeaderTest TestHeader(std::string_view path, std::string_view header, long long minLength, std::string* why = nullptr);
// True when the file passes its header test.
bool HasHeader(std::string_view path, std::string_view header, long long minLength);

// Why the data folder offers no main data file, as one sentence naming each "*.dat"
// file there and what keeps it from counting ("No main data file: data/main.dat is
// too short (100 bytes or less).").
std::string NoDataFileReason(const std::string& dataDir);

}  // namespace tarvik
