// Planet defaults: RandomPlanet fills the planet working record with random values;
// a PLANET block and the map file's planets both start from them.
#pragma once

namespace tarvik {

struct ObjectSession;

// Fills the random fields of s.records.planet from the planet levels of s.home
// (native, contraband, cargo, mineral) and the star value already in the record.
// Leaves name, x, y, star, eleOrd and cash (and a few others) as they are.
void RandomPlanet(ObjectSession& s);

// A new planet, as a PLANET block starts: the random defaults, then a random position
// (x, then y, each round(random * 2000 + 1000)).
void NewPlanet(ObjectSession& s);

// The planet's starHeat drawn from its star: 0..100.
void DrawStarHeat(ObjectSession& s);

}  // namespace tarvik
