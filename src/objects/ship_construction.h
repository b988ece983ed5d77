// Ship construction on a hull, trimming a ship back within what its hull can carry,
// and the flag-bit test that goes with the script's flag words.
//
// Both ship routines work on the ship working record s.records.ship and the scratch
// hull record s.packs.scratchHull that LoadHull fills.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "universe/record.h"

namespace tarvik {

struct ObjectSession;
struct UniverseSession;

// Mount arrays of a ship: pdWeapon[1..10], lWeapon[1..20], sWeapon[1..30],
// generator[1..5]. A hull's slot count above its array's size is taken as the array's
// size (a malformed pack never writes past an array); a count below 0 as 0.
inline constexpr int SHIP_PD_WEAPONS = 10;
inline constexpr int SHIP_L_WEAPONS = 20;
inline constexpr int SHIP_S_WEAPONS = 30;
inline constexpr int SHIP_GENERATORS = 5;

// Ships NewShip built, one per hull type, each with the hull record and the table of
// powers of two it was built from: the next ship on the same hull record is a copy of
// it with its own draws. Kept only while `keep` is on (a script's objects pass, and the
// standard generation's fleets, which build ship after ship); other builds keep none and
// need no memory for them.
struct ShipTemplates {
  struct Built {
    std::vector<uint8_t> hull;
    std::array<int32_t, 31> bitValue{};
    std::vector<uint8_t> ship;
  };
  bool keep = false;
  std::vector<int32_t> at;  // by hull type: 1 + its place in `built`; 0: none (empty until one is kept)
  std::vector<Built> built;
};

// Keeps the ships NewShip builds while it lives (ShipTemplates::keep) and lets them go
// when it ends, however it ends: for a build that makes ship after ship.
class KeepingShips {
 public:
  explicit KeepingShips(ShipTemplates& templates) : templates_(templates) { templates_.keep = true; }
  ~KeepingShips() { templates_ = ShipTemplates{}; }
  KeepingShips(const KeepingShips&) = delete;
  KeepingShips& operator=(const KeepingShips&) = delete;

 private:
  ShipTemplates& templates_;
};

// Resets the ship record and builds a fresh ship on hull type hullType with every
// default, drawing from s.random in a fixed order. Hull type 0 or an unknown hull
// leaves the record reset and writes the run-log lines that say so.
void NewShip(ObjectSession& s, int hullType);

// A new ship as a SHIP block starts it: NewShip on hull type 1 when a pack provides
// that hull; otherwise the ship record keeps what the last ship left in it.
void NewDefaultShip(ObjectSession& s);

// Pulls every field of the ship record back within its hull: mounts the hull lacks,
// the huge weapon against the hull's mask, single caps, position into 5..100000 and
// the shared cargo and passenger room. An unknown hull leaves the ship unchanged.
void TrimShip(ObjectSession& s);

// Sets elements from..to of a field to 0, as Set(field, 0, i) for each i from `from` to
// `to` in turn does (TrimShip clears the mounts a hull lacks with it).
void ZeroElements(Record& record, const Field& field, int from, int to);

// True when bit n (0..30) of flags is set, through the table s.bitValue. A bit
// number outside 0..30 is never set.
bool TestFlagBit(const UniverseSession& s, int n, int32_t flags);

}  // namespace tarvik
