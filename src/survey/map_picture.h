// A picture of a universe or a map as SVG, for a web browser: the map square, every
// planet, each player's home labelled with its slot number in a colour of its own, the
// bases, ships, minefields (drawn with their radius), pods and other objects with a
// legend, and the map's size in the corner. North (greater y) is up.
#pragma once

#include <string>

#include "survey/universe_view.h"
#include "packs/map_files.h"

namespace tarvik {

// The picture of a universe file read back.
std::string UniverseSvg(const UniverseView& view);

// The picture of a map file (its planets only).
std::string MapFileSvg(const MapFile& map);

// The colour of a player slot (1..30) as "#rrggbb": thirty colours far apart.
std::string SlotColor(int slot);

}  // namespace tarvik
