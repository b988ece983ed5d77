// Planet names of a script: PickPlanetName takes a name from the planet-name list, and
// the PLANETNAMES statement fills it.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

struct PlatformSession;
struct ScriptSession;

// Sets the planet's name from the planet-name list: the first unused entry from a
// random start upwards, which becomes used; a random name when there is none.
void PickPlanetName(ScriptSession& s);

// A random planet name: three capitals, a blank, three digits, padded to 40.
std::string RandomPlanetName(PlatformSession& s);

// One statement of a PLANETNAMES block: adds the value as a name, or empties the list
// for CLEAR (any case). An empty value does nothing.
void AddPlanetName(ScriptSession& s, std::string_view value);

}  // namespace tarvik
