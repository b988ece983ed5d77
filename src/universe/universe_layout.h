// The fixed structures of the universe file, each described once as a field table that
// the writer fills and the object store reads: the header (positions 1..629), the
// directory (at tableBase), a race data block, the settings block, the player section
// and its site records. Offsets are from the structure's start; a position in the file
// is 1 plus the offset for the header, tableBase plus the offset for the directory.
#pragma once

#include <cstdint>
#include <string_view>

#include "universe/record.h"

namespace tarvik {

inline constexpr std::string_view UNIVERSE_FILE_HEADER = "Stellarvane 4 ( By Quillenbrast ) Universe File:";
// The directory's position, right after the header.
inline constexpr int UNIVERSE_TABLE_BASE = 630;
// From this position to the end of the header, the bytes that no field holds are
// random filler.
inline constexpr int UNIVERSE_FILLER_POS = 101;

const RecordLayout& UniverseHeaderLayout();     // 629 bytes
const RecordLayout& UniverseDirectoryLayout();  // 350 bytes
const RecordLayout& RaceDataBlockLayout();      // 1138 bytes, one per game race
const RecordLayout& SettingsBlockLayout();      // 9000 bytes
const RecordLayout& PlayerSectionLayout();      // 27848 bytes
const RecordLayout& SiteRecordLayout();         // 68 bytes

// The file position of a header field, and of a directory field when the directory
// lies at tableBase.
long long HeaderPosition(std::string_view field);
long long DirectoryPosition(int32_t tableBase, std::string_view field);

}  // namespace tarvik
