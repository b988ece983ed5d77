// Finding the planet a new base locks to. The plain way scans every identifier of the
// object tables; a build keeps the planets of its open universe file in squares of the
// map as well (PlanetGrid, rebuilt when the store opens and told of every planet
// stored), so that a base looks only at the planets in the squares around it. Both give
// the same planet.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "universe/tables.h"

namespace tarvik {

// A base locks only to a planet less than this far away (in single precision).
inline constexpr float BASE_LOCK_RANGE = 5000.0f;

// The planet of the tables nearest to (x, y) and less than BASE_LOCK_RANGE away, by
// the scan of every identifier: the distance is kept in single precision, and of
// planets at the same distance the lowest identifier wins. A planet at x = 0 is not
// taken. 0 when there is none.
int32_t NearestPlanetByScan(const ObjectTables& t, double x, double y);

class PlanetGrid {
 public:
  // Forgets every planet.
  void Clear();
  // Every planet of the tables.
  void Rebuild(const ObjectTables& t);
  // A planet just stored with its table coordinates (planets at x = 0 are left out, as
  // the scan leaves them out).
  void Add(int32_t id, int16_t x, int16_t y);
  // NearestPlanetByScan, from the planets of the squares within range of (x, y); the
  // tables must hold exactly the planets this grid was told of, where it was told.
  int32_t Nearest(double x, double y) const;

 private:
  // Squares over the whole 16-bit range of table coordinates, looked at in rings around
  // the point's square until no planet in the next ring can be as near as the best.
  static constexpr int SQUARE = 1024;
  static constexpr int SIDE = 65536 / SQUARE;
  static int SquareOf(int coordinate) { return (coordinate + 32768) / SQUARE; }
  // The first and the last coordinate of a square (on either axis).
  static int SquareStart(int square) { return square * SQUARE - 32768; }
  static int SquareEnd(int square) { return SquareStart(square) + SQUARE - 1; }
  static constexpr int32_t NO_PLANET = -1;
  // The planets of a square form a chain through `next`, from the one told last: a
  // square's first planet in `firstOfSquare_`, all of them in `planets_`. A chain costs
  // the grid no memory per square beyond its start, and clearing the grid touches only
  // the starts.
  struct Planet {
    int32_t id;
    int16_t x, y;
    int32_t next;  // the square's planet told before this one, or NO_PLANET
  };
  std::array<int32_t, SIDE * SIDE> firstOfSquare_ = FirstOfNoSquare();
  std::vector<Planet> planets_;
  static std::array<int32_t, SIDE * SIDE> FirstOfNoSquare() {
    std::array<int32_t, SIDE * SIDE> first;
    first.fill(NO_PLANET);
    return first;
  }
};

}  // namespace tarvik
