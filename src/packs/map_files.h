// Map files ("*.map" in data\): the reader that the map step, the start layouts, the
// map's planet objects and a script's MAP block share, and a map's extent.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// A planet count outside 1..MAP_MAX_PLANETS - 1 means the map adds nothing.
inline constexpr int MAP_MAX_PLANETS = 19000;

enum class MapFileStatus {
  Ok,        // count, coordinates and names read
  Missing,   // no such file
  TooShort,  // the file ends before the count and the two list positions
  BadCount,  // planet count below 1, or 19000 or more
  Damaged,   // a list position outside the file, or a list that runs past its end
  Unreadable,  // the file cannot be read: `why` says what the system said
};

inline constexpr size_t MAP_NAME_BYTES = 40;

struct MapPlanet {
  int16_t x = 0;
  int16_t y = 0;
  int16_t star = 0;
  // The name's 40 characters, plain, exactly as stored; held in place, so that a map
  // of thousands of planets is read without a text of its own for each of them.
  std::array<char, MAP_NAME_BYTES> nameBytes{};
  std::string_view name() const { return {nameBytes.data(), nameBytes.size()}; }
};

struct MapFile {
  MapFileStatus status = MapFileStatus::Missing;
  bool headerOk = false;      // longer than 100 bytes and begins with the map header
  std::string numberText;     // the 4 characters at offset 29 (when the file has them)
  int32_t count = 0;          // the stored planet count, whatever its value
  int32_t coordinatePos = 0;  // 1-based positions as stored
  int32_t namePos = 0;
  std::vector<MapPlanet> planets;  // filled only when status is Ok
  std::string why;                 // of an unreadable file ("permission denied")
};

// Reads a map file whole. Never throws for the file's content: a file that cannot be
// used says why in `status` and holds no planets. The header literal is reported in
// `headerOk` but not required; callers that list map files test it.
MapFile ReadMapFile(std::string_view path);

struct MapStats {
  int32_t centerX = 0;
  int32_t centerY = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t radius = 0;
  int32_t planetCount = 0;
};

// The extent of a map file: the mean position of its planets (rounded), the width and
// height of their bounding box, and the radius, the smaller distance from the centre
// to the box's upper and lower corner (rounded). False, with `out` untouched, when the
// file is missing or its planets cannot be read.
bool MapFileStats(const std::string& path, MapStats& out);

}  // namespace tarvik
