#include "generate/map_parameters.h"

#include "packs/map_files.h"

namespace tarvik {

namespace {

struct StockMap {
  int choice;
  const char* fileName;  // in the data folder
  int32_t kindCode;
  int32_t centerX, centerY, width, height, radius, planetCount;
};

// The epsilon map is shown with 688 planets but its layouts use 687.
constexpr StockMap STOCK_MAPS[] = {
    {MAP_CHOICE_ECHO, "echo.map", 1, 2000, 2000, 2000, 2000, 1000, 500},
    {MAP_CHOICE_EPSILON, "epsilon.map", 5, 2500, 2500, 3000, 3000, 1500, 687},
};
constexpr int32_t CUSTOM_MAP_KIND_CODE = 3;

}  // namespace

bool SetMapParameters(int mapChoice, const std::string& dataDir, const std::string& customMapFile,
                      const MapStats& customStats, MapContext& map, UniverseTables& tables) {
  StockMap chosen{};
  bool found = false;
  for (const StockMap& m : STOCK_MAPS) {
    if (m.choice == mapChoice) {
      chosen = m;
      found = true;
      map.chosenMapFile = dataDir + m.fileName;
    }
  }
  if (mapChoice == MAP_CHOICE_CUSTOM) {
    chosen = StockMap{mapChoice,           nullptr,           CUSTOM_MAP_KIND_CODE, customStats.centerX,
                      customStats.centerY, customStats.width, customStats.height, customStats.radius,
                      customStats.planetCount};
    found = true;
    map.chosenMapFile = customMapFile;
  }
  if (!found) return false;
  map.centerX = chosen.centerX;
  map.centerY = chosen.centerY;
  map.width = chosen.width;
  map.height = chosen.height;
  map.halfExtent = chosen.radius;
  map.planetCount = chosen.planetCount;
  tables.mapKindCode = chosen.kindCode;
  tables.mapCX = chosen.centerX;
  tables.mapCY = chosen.centerY;
  tables.mapRadius = chosen.radius;
  return true;
}

}  // namespace tarvik
