// The script reader's state between statements, blocks and runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "objects/object_kinds.h"

namespace tarvik {

// The two passes of a script run: the settings pass honours the RACES, START, TECH and
// EXOTIC sections; the objects pass the object sections.
enum class ScriptPass { Settings, Objects };

inline constexpr int PLANET_NAME_ROOM = 100;
inline constexpr int PLANET_NAME_WIDTH = 40;

struct KeywordTable;

struct ScriptState {
  ScriptPass pass = ScriptPass::Settings;
  // The open block's kind; None when no block is open. Kept from one run to the next.
  BlockKind blockKind = BlockKind::None;
  // The keyword tables (AllKeywordTables), found when a pass begins, for every property
  // statement to find its block's table with one look; nullptr before.
  const std::array<const KeywordTable*, BLOCK_KIND_COUNT>* keywordTables = nullptr;

  // Planet-name list, entries 1..planetNameCount held at planetNames[i - 1], each 40
  // characters. Room for 100 names to start; it grows by 100 beyond that.
  std::vector<std::string> planetNames = std::vector<std::string>(PLANET_NAME_ROOM);
  int planetNameCount = 0;
  // Where the search for an unused name goes on from each entry (PickPlanetName): for
  // entry i, planetNameNext[i] is i when the entry is unused; otherwise every entry from
  // i up to planetNameNext[i] - 1 is used or blank. Kept by AddPlanetName and
  // PickPlanetName for entries 1..planetNameCount, the only ones it is read for.
  std::vector<int> planetNameNext;

  // The PLANET block's planet takes a name from the list when it is committed.
  bool pickPlanetName = false;
  // The map file a MAP block adds when it is committed.
  bool pendingMapFile = false;
  std::string pendingMapPath;
  // The player slot that EXOTIC statements address; never reset.
  int32_t exoticPlayer = 0;

  // The working text that the line being carried out was cut into (reused line after
  // line).
  std::string lineWork;
  // The keyword of a statement in a settings block, upper-cased (reused the same way).
  std::string upperKeyword;
};

}  // namespace tarvik
