// Planet defaults and names: RandomPlanet fills the planet working record with random
// defaults (the PLANET block and the map-file loader both use it), PickPlanetName
// takes a name from the planet-name list, and the PLANETNAMES statement fills it.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

struct Session;

// Fills the random fields of s.records.planet from the planet levels of s.home
// (native, contraband, cargo, mineral) and the star value already in the record.
// Leaves name, x, y, star, eleOrd and cash (and a few others) as they are.
void RandomPlanet(Session& s);

// The planet's starHeat drawn from its star: 0..100.
void DrawStarHeat(Session& s);

// Sets the planet's name from the planet-name list: the first unused entry from a
// random start upwards, which becomes used; a random name when there is none.
void PickPlanetName(Session& s);

// A random planet name: three capitals, a blank, three digits, padded to 40.
std::string RandomPlanetName(Session& s);

// One statement of a PLANETNAMES block: adds the value as a name, or empties the list
// for CLEAR (any case). An empty value does nothing.
void AddPlanetName(Session& s, std::string_view value);

}  // namespace tarvik
