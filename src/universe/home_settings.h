// The home-world and planet settings (HomeSettings) and the chosen map's geometry
// (MapContext), set by the wizard or a script's START and MAP statements.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

struct HomeSettings {
  int32_t homeMineral = 0;
  int32_t homeNative = 0;
  int32_t homeCash = 0;
  int32_t homePopulation = 0;
  int32_t homeCargo = 0;
  int32_t mineral = 0;
  int32_t native = 0;
  int32_t contraband = 0;
  int32_t cargo = 0;
  // The two fleet options of the home step: "Start With Standard Ships" and "Start With
  // 3 Extra Freighters".
  bool standardShips = false;
  bool extraFreighters = false;
};

struct MapContext {
  int32_t centerX = 0;
  int32_t centerY = 0;
  int32_t halfExtent = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t planetCount = 0;
  int32_t circleRadius = 1000;
  // The default map file found at start-up, and the map chosen for the build.
  std::string defaultMapFile;
  std::string chosenMapFile;
};

}  // namespace tarvik
