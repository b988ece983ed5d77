// The map parameters of the chosen map: what the name step's Next sets for a stock map
// or a custom map before the race step, and what the universe file, the start layouts
// and the generation run read.
#pragma once

#include <cstdint>
#include <string>

#include "universe/home_settings.h"
#include "universe/tables.h"

namespace tarvik {

struct MapStats;

// mapChoice of the map step.
inline constexpr int MAP_CHOICE_ECHO = 1;
inline constexpr int MAP_CHOICE_EPSILON = 2;
inline constexpr int MAP_CHOICE_CUSTOM = 3;
inline constexpr int MAP_CHOICE_SCRIPT = 4;

// Sets MapContext (chosen map file, centre, width, height, half-extent, planet count)
// and the tables' mapKindCode, mapCX, mapCY and mapRadius for mapChoice 1 (data\echo.map),
// 2 (data\epsilon.map) or 3 (customMapFile with the statistics MapFileStats gave for
// it). Any other choice changes nothing and returns false.
bool SetMapParameters(int mapChoice, const std::string& dataDir, const std::string& customMapFile,
                      const MapStats& customStats, MapContext& map, UniverseTables& tables);

}  // namespace tarvik
