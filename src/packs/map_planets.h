// The planets of a map file as objects of the universe, and the extent of a map file
// as the map step shows it.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

struct Session;

// Adds every planet of the map file at path as a planet object of the open object
// store, in file order: random defaults from the planet's star value, the file's
// position and name, a random name key. Logs "Map File Missing: " or
// "Adding Planets from " with the path. A planet count outside 1..18999, or a file whose
// lists lie outside it, adds nothing.
void AddMapPlanetObjects(Session& s, const std::string& path);

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
