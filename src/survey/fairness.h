// The fairness report of a universe's start positions: for every player, how far the
// nearest other home lies and how many planets, with how much ore, lie around its home;
// then for each column the lowest and highest value and their ratio. Distances are
// straight-line distances in map units.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "survey/universe_view.h"

namespace tarvik {

// The radii of the planet counts, in map units.
inline constexpr int FAIRNESS_RADII[] = {100, 200, 300};
// The radius inside which the ore of the planets is added up.
inline constexpr int FAIRNESS_ORE_RADIUS = 200;

struct FairnessRow {
  PlayerView player;
  std::string homePlanetName;  // empty when the home is on no planet
  std::optional<double> nearestHome;  // none without a home or without another home
  // Planets within each radius of FAIRNESS_RADII, and their ore within the ore radius;
  // the home planet itself is not counted. Meaningless without a home.
  int planetsWithin[3] = {0, 0, 0};
  long long oreWithin = 0;
};

// The lowest and highest value of a column over the players with a home.
struct FairnessSpread {
  std::string column;
  double lowest = 0, highest = 0;
  bool any = false;
};

struct FairnessReport {
  std::vector<FairnessRow> rows;
  std::vector<FairnessSpread> spreads;  // nearest home, the three counts, the ore
};

// Whether a point at whole-number offset (dx, dy) from a home lies within `radius` (at
// most that far, in a straight line) of it.
bool WithinRadius(long long dx, long long dy, int radius);

FairnessReport RateStartPositions(const std::vector<PlayerView>& players, const std::vector<PlanetView>& planets);

// The report as a table for a person, with its heading.
std::string FairnessText(const FairnessReport& report);

}  // namespace tarvik
