// Start position layouts: the preview transform, Circle (a player left without a planet,
// the radius from a click), Grid (the fixed lattice with a random numbering), Crazy,
// Spaced (no planets, the shared table), Pick and the copy at Finish. Where Circle and
// Spaced place each player is compared draw for draw with a plain scan in the fast-path
// tests. Random layouts run under fixed seeds; their checks hold for every draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "forge/forge.h"
#include "generate/start_layouts.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "test_support.h"

namespace tarvik {

// Positions in failure messages, found by GoogleTest next to the type.
inline void PrintTo(const MapPosition& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

struct Layouts {
  std::unique_ptr<StartLayouts> owned = std::make_unique<StartLayouts>();
  StartLayouts& l = *owned;
  MapContext map;
  Random random;
  FixedClock clock;

  explicit Layouts(const std::vector<MapPosition>& planets, int cx = 2000, int cy = 2000, int size = 2000,
                   int64_t seed = 1) {
    for (size_t i = 0; i < planets.size(); ++i) {
      l.preview.X[static_cast<int>(i) + 1] = static_cast<int16_t>(planets[i].x);
      l.preview.Y[static_cast<int>(i) + 1] = static_cast<int16_t>(planets[i].y);
    }
    map.centerX = cx;
    map.centerY = cy;
    map.width = map.height = size;
    map.halfExtent = size / 2;
    map.planetCount = static_cast<int32_t>(planets.size());
    Reseed(seed);
  }
  void Reseed(int64_t seed) {
    random = Random();
    random.SetFixedSeed(seed);
    random.Seed(0);
  }
  MapPosition Planet(int p) const { return {l.preview.X[p], l.preview.Y[p]}; }
  std::vector<MapPosition> Positions(const PositionTable& t, int players) const {
    std::vector<MapPosition> v;
    for (int i = 1; i <= players; ++i) v.push_back(t[i]);
    return v;
  }
};

TEST(StartLayoutPreview, ScaleCornerAndPixelsOfTheMap) {
  Layouts w({{1000, 1000}, {3000, 2000}, {2000, 1500}}, 2000, 1500);
  w.map.width = 2000;
  w.map.height = 1000;
  LoadMapPreview(w.l, w.map, "no such file");
  EXPECT_EQ(w.l.preview.scale, 0.15f);
  EXPECT_EQ(w.l.preview.left, 1000);
  EXPECT_EQ(w.l.preview.top, 1000);
  EXPECT_EQ(w.l.preview.centreSX, 150);
  EXPECT_EQ(w.l.preview.centreSY, 225);
  EXPECT_EQ(w.l.preview.SX[1], 0);
  EXPECT_EQ(w.l.preview.SY[1], 300);  // the preview's y axis points down
  EXPECT_EQ(w.l.preview.SX[2], 300);
  EXPECT_EQ(w.l.preview.SY[2], 150);
  EXPECT_EQ(ToScreenX(w.l, w.map, 3000), 300);
  EXPECT_EQ(ToScreenY(w.l, w.map, 1000), 300);
  // The planet coordinates were kept: the file does not exist.
  EXPECT_EQ(w.Planet(3), (MapPosition{2000, 1500}));

  w.map.width = w.map.height = 3000;
  w.map.centerX = 2001;
  LoadMapPreview(w.l, w.map, "no such file");
  EXPECT_EQ(w.l.preview.scale, 0.1f);
  w.map.width = 3001;  // scale from the larger side; the corner 2001 - 1500.5 = 500.5 rounds to 500
  LoadMapPreview(w.l, w.map, "no such file");
  EXPECT_EQ(w.l.preview.left, 500);
  EXPECT_EQ(ToScreenX(w.l, w.map, 500), 0);
}

TEST(StartLayoutPreview, ReadsTheMapFilesPlanetsInListOrder) {
  test::TempDir dir;
  forge::MapRecipe recipe;
  recipe.planets = {{-5, 7, 1, "A"}, {1234, 4321, 2, "B"}, {300, -300, 3, "C"}};
  forge::WriteMapFile(dir.path() + "m.map", recipe);
  Layouts w({{9, 9}, {9, 9}, {9, 9}, {77, 88}});
  LoadMapPreview(w.l, w.map, dir.path() + "m.map");
  EXPECT_EQ(w.Planet(1), (MapPosition{-5, 7}));
  EXPECT_EQ(w.Planet(2), (MapPosition{1234, 4321}));
  EXPECT_EQ(w.Planet(3), (MapPosition{300, -300}));
  EXPECT_EQ(w.Planet(4), (MapPosition{77, 88}));  // past the file's planets: as before
}

// Planets east of the centre at distances 30, 10, 50, 20, 40 (list order), and one
// north at 10 that ties with the one east at 10 but comes later in the list.
std::vector<MapPosition> LineMap() {
  return {{2030, 2000}, {2010, 2000}, {2050, 2000}, {2020, 2000}, {2040, 2000}, {2000, 2010}};
}

TEST(StartLayoutCircle, APlayerWithoutAFreePlanetKeepsItsEntry) {
  Layouts w({{2010, 2000}, {2020, 2000}});
  w.map.circleRadius = 0;
  w.l.circlePositions[3] = MapPosition{111, 222};
  PlaceCircle(w.l, w.map, 3, w.random, w.clock);
  EXPECT_EQ(w.l.circlePositions[3], (MapPosition{111, 222}));
  std::vector<MapPosition> two = w.Positions(w.l.circlePositions, 2);
  std::sort(two.begin(), two.end());
  EXPECT_EQ(two, (std::vector<MapPosition>{{2010, 2000}, {2020, 2000}}));
}

TEST(StartLayoutGrid, ThirtyPlayersUseEveryBoxOfTheFixedLattice) {
  // R = 1000: boxes 333 apart across and 400 down; the first column lies at
  // round(1999 - 832.5) = 1166 (ties to even). Each box has a planet one unit to its
  // left, listed first, and one unit to its right: both are one unit away only on the
  // exact lattice, and the tie goes to the left one.
  std::vector<MapPosition> planets, lefts;
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 6; ++c) {
      const int x = 1166 + c * 333, y = 2000 - 800 + r * 400;
      planets.push_back({x - 1, y});
      planets.push_back({x + 1, y});
      lefts.push_back({x - 1, y});
    }
  }
  planets.push_back({5000, 5000});
  std::sort(lefts.begin(), lefts.end());
  std::set<std::pair<int, int>> firstBoxes;
  for (int64_t seed = 1; seed <= 8; ++seed) {
    Layouts w(planets, 1999, 2000, 2000, seed);
    PlaceGrid(w.l, w.map, 30, w.random);
    std::vector<MapPosition> got = w.Positions(w.l.gridPositions, 30);
    firstBoxes.insert({got[0].x, got[0].y});
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, lefts) << "seed " << seed;
  }
  EXPECT_GT(firstBoxes.size(), 1u) << "player 1 took the same box under every seed";
}

TEST(StartLayoutCrazy, FillsAllThirtySlotsInsideTheSquare) {
  Layouts w({{2000, 2000}}, 2500, 1500, 3000, 3);
  Random replay = w.random;
  PlaceCrazy(w.l, w.map, w.random);
  const double x1 = replay.Next(), y1 = replay.Next();
  EXPECT_EQ(w.l.randomPositions[1], (MapPosition{static_cast<int32_t>(std::nearbyint(x1 * 3000 - 1500 + 2500)),
                                                 static_cast<int32_t>(std::nearbyint(y1 * 3000 - 1500 + 1500))}));
  for (int64_t seed = 1; seed <= 40; ++seed) {
    w.Reseed(seed);
    PlaceCrazy(w.l, w.map, w.random);
    for (int i = 1; i <= 30; ++i) {
      EXPECT_GE(w.l.randomPositions[i].x, 1000);
      EXPECT_LE(w.l.randomPositions[i].x, 4000);
      EXPECT_GE(w.l.randomPositions[i].y, 0);
      EXPECT_LE(w.l.randomPositions[i].y, 3000);
    }
  }
}

std::vector<MapPosition> Scatter(int count, uint64_t seed) {
  forge::ForgeRandom r(seed);
  std::vector<MapPosition> v;
  for (int i = 0; i < count; ++i) v.push_back({r.Range(1000, 3000), r.Range(1000, 3000)});
  return v;
}

TEST(StartLayoutSpaced, OverwritesOnlyThePlayersOfTheSharedTableWithPlanets) {
  const std::vector<MapPosition> planets = Scatter(687, 9);
  Layouts w(planets, 2000, 2000, 2000, 4);
  PlaceCrazy(w.l, w.map, w.random);
  const PositionTable crazy = w.l.randomPositions;
  PlaceSpaced(w.l, w.map, 8, w.random);
  std::set<MapPosition> taken;
  for (int i = 1; i <= 8; ++i) {
    EXPECT_NE(std::find(planets.begin(), planets.end(), w.l.randomPositions[i]), planets.end());
    taken.insert(w.l.randomPositions[i]);
  }
  EXPECT_EQ(taken.size(), 8u);
  for (int i = 9; i <= 30; ++i) EXPECT_EQ(w.l.randomPositions[i], crazy[i]);
}

// A map without planets leaves the table as it was and draws nothing.
TEST(StartLayoutSpaced, NoPlanetsNoDraw) {
  Layouts none({});
  none.l.randomPositions[1] = MapPosition{5, 6};
  Random before = none.random;
  PlaceSpaced(none.l, none.map, 4, none.random);
  EXPECT_EQ(none.l.randomPositions[1], (MapPosition{5, 6}));
  EXPECT_EQ(none.random.Next(), before.Next());  // nothing drawn
}

TEST(StartLayoutPick, ClicksFillThePlayersInTurnAndWrap) {
  Layouts w({{2500, 2500}}, 2500, 2500, 3000);
  LoadMapPreview(w.l, w.map, "no such file");
  EXPECT_TRUE(PicksComplete(w.l, 0));
  EXPECT_FALSE(PicksComplete(w.l, 3));
  AddPick(w.l, 3, 150, 150);  // the centre
  AddPick(w.l, 3, 0, 300);    // the lower-left corner
  EXPECT_FALSE(PicksComplete(w.l, 3));
  AddPick(w.l, 3, 300, 0);
  EXPECT_TRUE(PicksComplete(w.l, 3));
  AddPick(w.l, 3, 45, 255);
  EXPECT_EQ(w.Positions(w.l.pickPositions, 3),
            (std::vector<MapPosition>{{1450, 1450}, {1000, 1000}, {4000, 4000}}));
  EXPECT_EQ(w.l.pickCount, 1);
  ClearPicks(w.l);
  EXPECT_EQ(w.l.pickCount, 0);
  EXPECT_FALSE(PicksComplete(w.l, 3));
  AddPick(w.l, 3, 150, 150);
  EXPECT_EQ(w.l.pickPositions[1], (MapPosition{2500, 2500}));
}

TEST(StartLayoutCircle, TheRadiusComesFromAClickOnThePreview) {
  Layouts w(LineMap(), 2500, 2500, 3000);
  LoadMapPreview(w.l, w.map, "no such file");
  const int seedings = w.random.seedings();
  SetCircleRadius(w.l, w.map, 2, w.random, w.clock, w.l.preview.centreSX + 30, w.l.preview.centreSY - 40);
  EXPECT_EQ(w.map.circleRadius, 500);
  EXPECT_EQ(w.random.seedings(), seedings + 1);  // Circle was placed again
  SetCircleRadius(w.l, w.map, 2, w.random, w.clock, w.l.preview.centreSX, w.l.preview.centreSY);
  EXPECT_EQ(w.map.circleRadius, 0);
}

TEST(StartLayoutFinish, TheChosenLayoutBecomesTheHomePositions) {
  Layouts w({{1, 1}});
  for (int i = 1; i <= 30; ++i) {
    w.l.circlePositions[i] = {i, 1};
    w.l.gridPositions[i] = {i, 2};
    w.l.randomPositions[i] = {i, 3};
    w.l.pickPositions[i] = {i, 4};
  }
  const std::pair<StartLayout, int> cases[] = {{StartLayout::Circle, 1}, {StartLayout::Grid, 2},
                                               {StartLayout::Crazy, 3},  {StartLayout::Spaced, 3},
                                               {StartLayout::Pick, 4}};
  for (const auto& [layout, y] : cases) {
    UniverseTables t;
    w.l.startLayout = layout;
    CopyChosenLayout(w.l, 4, t);
    EXPECT_EQ(t.homeX[4], 4);
    EXPECT_EQ(t.homeY[4], y);
    EXPECT_EQ(t.homeX[5], 0);  // only the players
  }
  UniverseTables t;
  CopyChosenLayout(w.l, 0, t);
  w.l.startLayout = StartLayout::None;
  CopyChosenLayout(w.l, 4, t);
  EXPECT_EQ(t.homeX[1], 0);
}

}  // namespace
}  // namespace tarvik
