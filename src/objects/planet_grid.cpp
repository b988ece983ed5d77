#include "objects/planet_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvik {

namespace {

// The distance from (x, y) to a planet at (px, py), kept in single precision (so a
// planet a hair under BASE_LOCK_RANGE away counts as BASE_LOCK_RANGE and is not taken).
float PlanetDistance(int16_t px, int16_t py, double x, double y) {
  const double dx = px - x;
  const double dy = py - y;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

// A squared distance beyond which the distance, rounded to single precision, is above
// `best` (a float's rounding moves it by less than a millionth).
double FartherThan(float best) {
  const double bound = static_cast<double>(best) * (1 + 1e-6);
  return bound * bound;
}

bool IsLockablePlanet(const ObjectTables& t, int32_t id) {
  return t.objectKind[id] == ObjectKind::PLANET && t.objectX[id] != 0;
}

}  // namespace

int32_t NearestPlanetByScan(const ObjectTables& t, double x, double y) {
  float best = BASE_LOCK_RANGE;
  int32_t bestId = 0;
  for (int32_t id = 1; id <= MAX_OBJECTS; ++id) {
    if (!IsLockablePlanet(t, id)) continue;
    const float d = PlanetDistance(t.objectX[id], t.objectY[id], x, y);
    if (d < best) {
      best = d;
      bestId = id;
    }
  }
  return bestId;
}

void PlanetGrid::Clear() {
  firstOfSquare_.fill(NO_PLANET);
  planets_.clear();
}

void PlanetGrid::Rebuild(const ObjectTables& t) {
  Clear();
  for (int32_t id = 1; id <= MAX_OBJECTS; ++id) {
    if (IsLockablePlanet(t, id)) Add(id, t.objectX[id], t.objectY[id]);
  }
}

void PlanetGrid::Add(int32_t id, int16_t x, int16_t y) {
  if (x == 0) return;
  int32_t& first = firstOfSquare_[static_cast<size_t>(SquareOf(y) * SIDE + SquareOf(x))];
  planets_.push_back(Planet{id, x, y, first});
  first = static_cast<int32_t>(planets_.size() - 1);
}

int32_t PlanetGrid::Nearest(double x, double y) const {
  // A planet in range differs from the point by less than the range on each axis (the
  // distance is at least each difference, and rounding to single precision keeps the
  // order), so only the squares that such coordinates fall in are looked at.
  const double range = BASE_LOCK_RANGE;
  if (x - range >= 32767 || x + range <= -32768 || y - range >= 32767 || y + range <= -32768) return 0;
  auto square = [](double from) {
    return SquareOf(static_cast<int>(std::clamp(from, -32768.0, 32767.0)));
  };
  const int loX = square(x - range), hiX = square(x + range), loY = square(y - range), hiY = square(y + range);
  const int cx = square(x), cy = square(y);
  const int rings = std::max({cx - loX, hiX - cx, cy - loY, hiY - cy});
  float best = BASE_LOCK_RANGE;
  int32_t bestId = 0;
  double farther = FartherThan(best);
  for (int ring = 0; ring <= rings; ++ring) {
    // A planet of this ring lies at least ring - 1 whole squares away on one axis (a
    // point beyond the tables' range is farther still): when that is beyond the best,
    // so is every planet from here on.
    const double near = static_cast<double>(ring - 1) * SQUARE;
    if (ring >= 2 && near * near > farther) break;
    for (int sy = std::max(cy - ring, loY); sy <= std::min(cy + ring, hiY); ++sy) {
      for (int sx = std::max(cx - ring, loX); sx <= std::min(cx + ring, hiX); ++sx) {
        if (std::max(std::abs(sx - cx), std::abs(sy - cy)) != ring) continue;  // an inner ring's
        // A square whose nearest edges are already too far: each of its planets differs
        // from the point by at least as much on each axis (rounding keeps the order), so
        // the test below would pass over every one of them.
        const double edgeX = std::max({SquareStart(sx) - x, x - SquareEnd(sx), 0.0});
        const double edgeY = std::max({SquareStart(sy) - y, y - SquareEnd(sy), 0.0});
        if (edgeX * edgeX + edgeY * edgeY > farther) continue;
        for (int32_t k = firstOfSquare_[static_cast<size_t>(sy * SIDE + sx)]; k != NO_PLANET;) {
          const Planet& p = planets_[static_cast<size_t>(k)];
          k = p.next;
          // Farther than a millionth beyond the best: its rounded distance is larger too.
          const double dx = p.x - x, dy = p.y - y;
          if (dx * dx + dy * dy > farther) continue;
          const float d = PlanetDistance(p.x, p.y, x, y);
          // The scan meets the identifiers in order: of equal distances the lowest wins,
          // whatever order the square holds them in.
          if (d < best || (d == best && p.id < bestId)) {
            best = d;
            bestId = p.id;
            farther = FartherThan(best);
          }
        }
      }
    }
  }
  return bestId;
}

}  // namespace tarvik
