// The constructors of every object kind other than the planet and the ship, and the
// lock that moves a base onto its nearest planet.
//
// Each constructor fills its kind's working record (s.records.base, .wing, .conPod,
// ...) with a complete set of starting values, drawing from s.random in a fixed order.
// Most clear the record first; NewResupplyPod, NewThing and NewBuoy do not, so the
// fields they leave alone keep the values of the previous object of that kind.
// Nothing is stored here: the kind's store operation does that afterwards.
#pragma once

#include <cstdint>

#include "platform/random.h"
#include "universe/record.h"

namespace tarvik {

// The structures a base may have (bit n for structure n): every one but structure 13.
// A new base gets it, and storing a base sets it again.
inline constexpr int32_t BASE_STRUCT_MASK = 0x7FFFFFFF & ~(1 << 13);

struct ObjectSession;

// The default position of a new object: x, then y, each round(random * 2000 + 1000).
void SetDefaultPosition(Random& random, Record& r, const Field& x, const Field& y);
// The same for the fields of those names (the constructors of the many planets and
// ships pass their fields, found once).
void SetDefaultPosition(Random& random, Record& r, const char* xField = "x", const char* yField = "y");

// Reads the home settings s.home (homeMineral, homeNative, homeCash, homePopulation,
// homeCargo).
void NewBase(ObjectSession& s);
// The wing's race is the first entry of s.tables.gameRaceList with a raceId above 0,
// or 0 when no race is in play.
void NewWing(ObjectSession& s);

void NewConPod(ObjectSession& s);
void NewOrePod(ObjectSession& s);
void NewLifePod(ObjectSession& s);
void NewAssaultPod(ObjectSession& s);
void NewOutfitPod(ObjectSession& s);
void NewNativePod(ObjectSession& s);
void NewResupplyPod(ObjectSession& s);  // keeps the previous pod's other fields
void NewGoldPod(ObjectSession& s);
void NewWreckage(ObjectSession& s);
void NewMinefield(ObjectSession& s);
void NewThing(ObjectSession& s);  // keeps the previous thing's other fields
void NewBuoy(ObjectSession& s);   // keeps the previous buoy's other fields

// Moves the base record onto the nearest planet of the object tables that lies less
// than 5000 units away (ties go to the lower identifier): x, y from the planet,
// serial 0, planetId the planet's identifier, and one run-log line. No planet that
// near: the base stays where it is.
void LockBaseToPlanet(ObjectSession& s);

}  // namespace tarvik
