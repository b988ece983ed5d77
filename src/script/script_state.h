// The script reader's state between statements, blocks and runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

inline constexpr int PLANET_NAME_ROOM = 100;
inline constexpr int PLANET_NAME_WIDTH = 40;

struct ScriptState {
  // 0: settings pass; 1: objects pass.
  int32_t pass = 0;
  // The open block's kind (script/keyword_tables.h BlockKind); 0 when none is open.
  // Kept from one run to the next.
  int32_t blockKind = 0;

  // Planet-name list, entries 1..planetNameCount held at planetNames[i - 1], each 40
  // characters. Room for 100 names to start; it grows by 100 beyond that.
  std::vector<std::string> planetNames = std::vector<std::string>(PLANET_NAME_ROOM);
  int planetNameCount = 0;

  // Every object from now on takes a random identifier (ID = RANDOM).
  bool randomIds = false;
  // The PLANET block's planet takes a name from the list when it is committed.
  bool pickPlanetName = false;
  // The map file a MAP block adds when it is committed.
  bool pendingMapFile = false;
  std::string pendingMapPath;
  // The player slot that EXOTIC statements address; never reset.
  int32_t exoticPlayer = 0;
};

}  // namespace tarvik
