#include "generate/start_layouts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "packs/map_files.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/rounding.h"

namespace tarvik {

namespace {

// The planets chosen by a layout, pick[1..30]; 0 = none.
using Picks = std::array<int, MAX_PLAYERS + 1>;

constexpr long long NO_DISTANCE = 30000;
constexpr int CIRCLE_SHUFFLES = 50;
constexpr int SPACED_PASSES = 3;
constexpr int SPACED_TRIALS = 50;
constexpr int GRID_COLUMNS = 6;
constexpr int GRID_ROWS = 5;
constexpr int GRID_BOXES = GRID_COLUMNS * GRID_ROWS;

int32_t Round32(double v) {
  return static_cast<int32_t>(std::clamp<long long>(RoundToInt(v), std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int16_t Round16(double v) {
  return static_cast<int16_t>(std::clamp<long long>(RoundToInt(v), std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

// The planets the layouts look at: 1..N of the preview (N as the map step set it).
int PlanetCount(const MapContext& map) { return std::clamp<int>(map.planetCount, 0, MAP_PREVIEW_MAX); }
int PlayerCount(int players) { return std::clamp(players, 0, MAX_PLAYERS); }

// A planet number drawn from 1..N: round(rnd() * N), raised to 1.
int DrawPlanet(Random& random, int planets) {
  return std::max(1, static_cast<int>(RoundToInt(random.Next() * planets)));
}

// pick[self] = the planet nearest (tx, ty) that no other player holds: a planet
// replaces the best so far only when strictly nearer, so ties keep the earlier planet,
// and nothing 30000 or farther away is taken.
//
// That is the first free planet at the smallest distance of the free planets, when that
// distance is under 30000; it is found in passes the compiler can run many planets at a
// time: the distance to every planet (`distance`, by planet 1..N from index 0), the
// other players' planets then set to 30000 (never under it), the smallest distance, and
// the first planet at it. The distances are taken in 32 bits: coordinates are 16-bit,
// and a target beyond 2^29 on either axis lies 30000 or farther from every planet.
void PickNearestFree(const MapPreview& pv, int planets, Picks& pick, int players, int self, long long tx,
                     long long ty, std::vector<int32_t>& distance) {
  constexpr long long REACH = 1LL << 29;
  if (planets < 1 || tx > REACH || tx < -REACH || ty > REACH || ty < -REACH) return;
  const int32_t x = static_cast<int32_t>(tx), y = static_cast<int32_t>(ty);
  const size_t n = static_cast<size_t>(planets);
  distance.resize(n);
  int32_t* const d = distance.data();
  const int16_t* const px = pv.X.data();
  const int16_t* const py = pv.Y.data();
  for (size_t i = 0; i < n; ++i) d[i] = std::abs(x - px[i]) + std::abs(y - py[i]);
  for (int j = 1; j <= players; ++j) {
    if (j != self && pick[j] >= 1 && pick[j] <= planets) d[pick[j] - 1] = static_cast<int32_t>(NO_DISTANCE);
  }
  int32_t nearest = static_cast<int32_t>(NO_DISTANCE);
  for (size_t i = 0; i < n; ++i) nearest = std::min(nearest, d[i]);
  if (nearest >= NO_DISTANCE) return;
  pick[self] = static_cast<int>(std::find(d, d + n, nearest) - d) + 1;
}

// Entries of players with a planet take that planet's position; the others keep theirs.
void StorePicks(const MapPreview& pv, const Picks& pick, int players, PositionTable& table) {
  for (int i = 1; i <= players; ++i) {
    if (pick[i] > 0) table[i] = MapPosition{pv.X[pick[i]], pv.Y[pick[i]]};
  }
}

}  // namespace

void LoadMapPreview(StartLayouts& layouts, const MapContext& map, const std::string& mapFile) {
  MapPreview& pv = layouts.preview;
  // A missing or damaged map leaves the previous coordinates.
  const MapFile file = ReadMapFile(mapFile);
  if (file.status == MapFileStatus::Ok) {
    const int n = std::min<int>(static_cast<int>(file.planets.size()), MAP_PREVIEW_MAX);
    for (int p = 1; p <= n; ++p) {
      pv.X[p] = file.planets[static_cast<size_t>(p - 1)].x;
      pv.Y[p] = file.planets[static_cast<size_t>(p - 1)].y;
    }
  }
  const double w = map.width, h = map.height;
  pv.scale = static_cast<float>(map.width > map.height ? PREVIEW_PIXELS / w : PREVIEW_PIXELS / h);
  pv.left = Round32(map.centerX - w / 2);
  pv.top = Round32(map.centerY - h / 2);
  const double scale = pv.scale;
  pv.centreSX = Round32(scale * (map.centerX - pv.left));
  pv.centreSY = Round32(PREVIEW_PIXELS - scale * (map.centerY - pv.top));
  for (int p = 1; p <= PlanetCount(map); ++p) {
    pv.SX[p] = Round16(scale * (pv.X[p] - pv.left));
    pv.SY[p] = Round16(PREVIEW_PIXELS - scale * (pv.Y[p] - pv.top));
  }
}

int32_t ToScreenX(const StartLayouts& layouts, const MapContext& map, int32_t x) {
  const double left = static_cast<double>(RoundToInt(map.centerX - map.width / 2.0));
  return Round32(static_cast<double>(layouts.preview.scale) * (x - left));
}

int32_t ToScreenY(const StartLayouts& layouts, const MapContext& map, int32_t y) {
  const double top = static_cast<double>(RoundToInt(map.centerY - map.height / 2.0));
  return Round32(PREVIEW_PIXELS - static_cast<double>(layouts.preview.scale) * (y - top));
}

void PlaceCircle(StartLayouts& layouts, const MapContext& map, int players, Random& random, const Clock& clock) {
  const int P = PlayerCount(players);
  if (P < 1) return;
  const MapPreview& pv = layouts.preview;
  const int N = PlanetCount(map);
  Picks pick{};
  std::vector<int32_t> distance;

  // The angle and its step are kept in single precision.
  float a = static_cast<float>(random.Next() * 6.28);
  const float step = static_cast<float>(6.28318 / P);
  for (int i = 1; i <= P; ++i) {
    // X takes the sine and Y the cosine: player 1 lies at bearing a from the +Y axis.
    const long long tx = RoundToInt(std::sin(static_cast<double>(a)) * map.circleRadius + map.centerX);
    const long long ty = RoundToInt(std::cos(static_cast<double>(a)) * map.circleRadius + map.centerY);
    PickNearestFree(pv, N, pick, P, i, tx, ty, distance);
    a = a + step;
  }

  random.Seed(clock.SecondsSinceMidnight());
  // Only players 1..P-1 are ever swapped: the last player keeps the planet found for it.
  for (int k = 0; k < CIRCLE_SHUFFLES; ++k) {
    const long long u = RoundToInt(random.Next() * P + 0.5);
    const long long v = RoundToInt(random.Next() * P + 0.5);
    if (u >= 1 && u < P && v >= 1 && v < P && u != v) std::swap(pick[u], pick[v]);
  }
  StorePicks(pv, pick, P, layouts.circlePositions);
}

void PlaceGrid(StartLayouts& layouts, const MapContext& map, int players, Random& random) {
  const MapPreview& pv = layouts.preview;
  const int P = PlayerCount(players);
  const int N = PlanetCount(map);
  const long long dx = RoundToInt(map.halfExtent / 3.0);
  const long long dy = RoundToInt(map.halfExtent / 2.5);
  const long long firstX = RoundToInt(map.centerX - dx * 2.5);
  const long long firstY = static_cast<long long>(map.centerY) - 2 * dy;

  // Number the 30 boxes in random order: box (r, c) takes the first free number after
  // its draw, counting round from 30 to 1.
  std::array<bool, GRID_BOXES + 1> used{};
  std::array<std::pair<long long, long long>, GRID_BOXES + 1> boxOfNumber{};
  for (int r = 0; r < GRID_ROWS; ++r) {
    for (int c = 0; c < GRID_COLUMNS; ++c) {
      long long k = RoundToInt(random.Next() * GRID_BOXES);
      do {
        k = k + 1;
        if (k > GRID_BOXES) k = 1;
      } while (used[k]);
      used[k] = true;
      boxOfNumber[k] = {firstX + c * dx, firstY + r * dy};
    }
  }

  Picks pick{};
  std::vector<int32_t> distance;
  for (int i = 1; i <= P; ++i) {
    PickNearestFree(pv, N, pick, P, i, boxOfNumber[i].first, boxOfNumber[i].second, distance);
  }
  StorePicks(pv, pick, P, layouts.gridPositions);
}

void PlaceCrazy(StartLayouts& layouts, const MapContext& map, Random& random) {
  const double r = map.halfExtent;
  for (int i = 1; i <= MAX_PLAYERS; ++i) {
    const int32_t x = Round32(random.Next() * (2 * r) - r + map.centerX);
    const int32_t y = Round32(random.Next() * (2 * r) - r + map.centerY);
    layouts.randomPositions[i] = MapPosition{x, y};
  }
}

void PlaceSpaced(StartLayouts& layouts, const MapContext& map, int players, Random& random) {
  const MapPreview& pv = layouts.preview;
  const int P = PlayerCount(players);
  const int N = PlanetCount(map);
  if (N < 1) return;  // no planet to stand on: the table stays as it was
  Picks pick{};
  if (P >= 1 && (N > MAX_PLAYERS || P >= 2)) {
    for (int i = 1; i <= P; ++i) pick[i] = DrawPlanet(random, N);
  }
  // Each trial draws a free planet and keeps it when its distance to the nearest other
  // player is strictly greater than the best so far. The other players' planets stand
  // still while one player's trials run, so their coordinates are gathered once per
  // player, into a row of 32 filled up with points 100000 along x, which lie farther
  // than 30000 from every planet (coordinates are 16-bit) and so never change the
  // minimum; the minimum over the whole row is then taken without a branch, many
  // players at a time, in 32 bits. The draws, the comparisons and the planet kept are
  // those of taking the minimum over the other players in order.
  // Whether a drawn planet is held is answered by counting the players on each planet
  // (kept up to date whenever a pick changes) instead of searching the picks: a planet
  // is among pick[1..P] exactly when its count is not 0.
  constexpr size_t ROW = 32;
  constexpr int32_t FAR_X = 100000;
  static_assert(ROW >= MAX_PLAYERS);
  std::array<int32_t, ROW> otherX{}, otherY{};
  std::vector<int> holders(static_cast<size_t>(N) + 1, 0);  // by planet 0..N (0: no pick)
  for (int i = 1; i <= P; ++i) ++holders[static_cast<size_t>(pick[i])];
  for (int pass = 0; pass < SPACED_PASSES; ++pass) {
    for (int i = 1; i <= P; ++i) {
      otherX.fill(FAR_X);
      otherY.fill(0);
      size_t others = 0;
      for (int j = 1; j <= P; ++j) {
        if (j == i || pick[j] <= 0) continue;
        otherX[others] = pv.X[pick[j]];
        otherY[others] = pv.Y[pick[j]];
        ++others;
      }
      int32_t best = 0;
      int bestPlanet = 0;
      for (int trial = 0; trial < SPACED_TRIALS; ++trial) {
        const int c = DrawPlanet(random, N);
        if (holders[static_cast<size_t>(c)] != 0) continue;
        const int32_t cx = pv.X[c], cy = pv.Y[c];
        // The distance to the nearest other player, at most 30000.
        int32_t m = static_cast<int32_t>(NO_DISTANCE);
        for (size_t k = 0; k < ROW; ++k) m = std::min(m, std::abs(otherX[k] - cx) + std::abs(otherY[k] - cy));
        if (m > best) {
          best = m;
          bestPlanet = c;
        }
      }
      if (bestPlanet > 0) {
        --holders[static_cast<size_t>(pick[i])];
        pick[i] = bestPlanet;
        ++holders[static_cast<size_t>(bestPlanet)];
      }
    }
  }
  StorePicks(pv, pick, P, layouts.randomPositions);
}

void AddPick(StartLayouts& layouts, int players, int px, int py) {
  const MapPreview& pv = layouts.preview;
  layouts.pickCount = layouts.pickCount + 1;
  if (layouts.pickCount > players || layouts.pickCount > MAX_PLAYERS) layouts.pickCount = 1;
  const double scale = pv.scale;
  layouts.pickPositions[layouts.pickCount] =
      MapPosition{Round32(px / scale + pv.left), Round32((PREVIEW_PIXELS - py) / scale + pv.top)};
}

void ClearPicks(StartLayouts& layouts) {
  layouts.pickPositions.Fill(MapPosition{});
  layouts.pickCount = 0;
}

bool PicksComplete(const StartLayouts& layouts, int players) {
  for (int i = 1; i <= PlayerCount(players); ++i) {
    if (layouts.pickPositions[i].x == 0) return false;
  }
  return true;
}

void SetCircleRadius(StartLayouts& layouts, MapContext& map, int players, Random& random, const Clock& clock, int px,
                     int py) {
  const MapPreview& pv = layouts.preview;
  const double dx = static_cast<double>(px) - pv.centreSX;
  const double dy = static_cast<double>(py) - pv.centreSY;
  // The root and the quotient are taken in single precision.
  const float root = std::sqrt(static_cast<float>(dy * dy + dx * dx));
  const float radius = root / pv.scale;
  map.circleRadius = Round32(radius);
  PlaceCircle(layouts, map, players, random, clock);
}

void ChooseLayout(StartLayouts& layouts, StartLayout layout, const MapContext& map, int players, Random& random,
                  const Clock& clock) {
  switch (layout) {
    case StartLayout::Circle:
      layouts.startLayout = layout;
      PlaceCircle(layouts, map, players, random, clock);
      break;
    case StartLayout::Grid:
      layouts.startLayout = layout;
      PlaceGrid(layouts, map, players, random);
      break;
    case StartLayout::Crazy:
      PlaceCrazy(layouts, map, random);
      layouts.startLayout = layout;
      break;
    case StartLayout::Spaced:
      PlaceSpaced(layouts, map, players, random);
      layouts.startLayout = layout;
      break;
    case StartLayout::Pick:
      layouts.startLayout = layout;
      break;
    case StartLayout::None:
      break;
  }
}

const PositionTable* ChosenPositions(const StartLayouts& layouts) {
  switch (layouts.startLayout) {
    case StartLayout::Circle: return &layouts.circlePositions;
    case StartLayout::Grid: return &layouts.gridPositions;
    case StartLayout::Crazy:
    case StartLayout::Spaced: return &layouts.randomPositions;
    case StartLayout::Pick: return &layouts.pickPositions;
    case StartLayout::None: break;
  }
  return nullptr;
}

void CopyChosenLayout(const StartLayouts& layouts, int players, UniverseTables& tables) {
  const PositionTable* chosen = ChosenPositions(layouts);
  if (!chosen || players < 1) return;
  for (int i = 1; i <= PlayerCount(players); ++i) {
    tables.homeX[i] = (*chosen)[i].x;
    tables.homeY[i] = (*chosen)[i].y;
  }
}

}  // namespace tarvik
