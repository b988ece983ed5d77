// Map files ("*.map" in data\): the reader that the map step, the start layouts and the
// map's planet objects share, and the FILE statement of a script's MAP block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

struct Session;

// A planet count outside 1..MAP_MAX_PLANETS - 1 means the map adds nothing.
inline constexpr int MAP_MAX_PLANETS = 19000;

enum class MapFileStatus {
  kOk,        // count, coordinates and names read
  kMissing,   // no such file
  kTooShort,  // the file ends before the count and the two list positions
  kBadCount,  // planet count below 1, or 19000 or more
  kDamaged,   // a list position outside the file, or a list that runs past its end
};

struct MapPlanet {
  int16_t x = 0;
  int16_t y = 0;
  int16_t star = 0;
  std::string name;  // 40 characters, plain, exactly as stored
};

struct MapFile {
  MapFileStatus status = MapFileStatus::kMissing;
  bool headerOk = false;      // longer than 100 bytes and begins with the map header
  std::string numberText;     // the 4 characters at offset 29 (when the file has them)
  int32_t count = 0;          // the stored planet count, whatever its value
  int32_t coordinatePos = 0;  // 1-based positions as stored
  int32_t namePos = 0;
  std::vector<MapPlanet> planets;  // filled only when status is kOk
};

// Reads a map file whole. Never throws for the file's content: a file that cannot be
// used says why in `status` and holds no planets. The header literal is reported in
// `headerOk` but not required; callers that list map files test it.
MapFile ReadMapFile(std::string_view path);

// The FILE statement of a MAP block. ".MAP" is appended unless the name already ends in
// exactly ".MAP"; a valid map file in data\ switches pendingMapFile on (logged as
// "Script Map File: " and the path); the stock names set mapKindCode (ECHO.MAP 1,
// ZETAGAL.MAP 2, EPSILON.MAP 5) whether or not the file is there.
void SetScriptMapFile(Session& s, std::string name);

}  // namespace tarvik
