// Start positions: the five layouts that give every player a home position on the
// chosen map (Circle, Grid, Crazy, Spaced, Pick), the 300-pixel preview transform that
// the start-position step draws with, and the copy of the chosen layout into the home
// position tables at Finish.
//
// The layouts work on the map's planet coordinates as the preview holds them and on
// MapContext; they write nothing but their own tables. Every fractional value that
// becomes a whole coordinate or count is rounded to the nearest, ties to even;
// distances are Manhattan distances.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>

#include "universe/home_settings.h"
#include "universe/table.h"
#include "universe/tables.h"

namespace tarvik {

class Clock;
class Random;

enum class StartLayout : int32_t { None = 0, Circle = 1, Grid = 2, Crazy = 3, Spaced = 4, Pick = 5 };

// The preview is 300 pixels on its longer side.
inline constexpr int PREVIEW_PIXELS = 300;

struct MapPosition {
  int32_t x = 0;  // 0: no position
  int32_t y = 0;
  auto operator<=>(const MapPosition&) const = default;
};
using PositionTable = Table<MapPosition, MAX_PLAYERS>;

struct MapPreview {
  // Planet p (1-based, in the order of the map file) at X[p], Y[p]; its preview pixel
  // at SX[p], SY[p].
  Table<int16_t, MAP_PREVIEW_MAX> X, Y, SX, SY;
  float scale = 0;  // pixels per map unit
  int32_t left = 0, top = 0;
  int32_t centreSX = 0, centreSY = 0;
};

struct StartLayouts {
  MapPreview preview;
  PositionTable circlePositions;
  PositionTable gridPositions;
  PositionTable randomPositions;  // shared by Crazy and Spaced
  PositionTable pickPositions;
  StartLayout startLayout = StartLayout::None;
  int32_t pickCount = 0;
};

// Reads the planet coordinates of mapFile (a missing or unreadable map keeps the
// previous ones) and sets the preview transform from the map's centre and size.
void LoadMapPreview(StartLayouts& layouts, const MapContext& map, const std::string& mapFile);

// Each recomputes its table for `players` players (the number of players of the race
// step) from the map and the planets of the preview. Circle reseeds the generator
// from the clock between its planet choice and its shuffle.
void PlaceCircle(StartLayouts& layouts, const MapContext& map, int players, Random& random, const Clock& clock);
void PlaceGrid(StartLayouts& layouts, const MapContext& map, int players, Random& random);
void PlaceCrazy(StartLayouts& layouts, const MapContext& map, Random& random);
// On a map of 30 planets or fewer with two or more players, every player first draws a
// random planet of the map as on a larger map, so that the distances are always taken
// between planets of the list; a map without planets leaves the table as it was.
void PlaceSpaced(StartLayouts& layouts, const MapContext& map, int players, Random& random);

// A layout button of the start-position step: Circle, Grid, Crazy and Spaced become the
// layout and compute their table afresh; Pick becomes the layout and keeps its picks.
void ChooseLayout(StartLayouts& layouts, StartLayout layout, const MapContext& map, int players, Random& random,
                  const Clock& clock);

// The map point under preview pixel (px, py) becomes the next pick: players 1, 2, ...
// in turn, then player 1 again.
void AddPick(StartLayouts& layouts, int players, int px, int py);
void ClearPicks(StartLayouts& layouts);
bool PicksComplete(const StartLayouts& layouts, int players);
// circleRadius from the preview pixel's distance to the map centre's pixel, then
// PlaceCircle.
void SetCircleRadius(StartLayouts& layouts, MapContext& map, int players, Random& random, const Clock& clock, int px,
                     int py);

int32_t ToScreenX(const StartLayouts& layouts, const MapContext& map, int32_t x);
int32_t ToScreenY(const StartLayouts& layouts, const MapContext& map, int32_t y);

// The table of the chosen layout (Crazy and Spaced share one); nullptr while none has
// been chosen.
const PositionTable* ChosenPositions(const StartLayouts& layouts);

// homeX, homeY of players 1..players from the table of the chosen layout (nothing for
// no players, or while no layout has been chosen).
void CopyChosenLayout(const StartLayouts& layouts, int players, UniverseTables& tables);

}  // namespace tarvik
