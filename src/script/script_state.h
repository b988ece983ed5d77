// The script reader's state between statements and blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

struct ScriptState {
  // Planet-name list: room for 100 names to start, count 0.
  std::vector<std::string> planetNames = std::vector<std::string>(100);
  int planetNameCount = 0;
  bool randomIds = false;
  bool pickPlanetName = false;
  bool pendingMapFile = false;
  std::string pendingMapPath;
};

}  // namespace tarvik
