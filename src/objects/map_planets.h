// The planets of a map file as planet objects of the universe.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

struct ObjectSession;

// Adds every planet of the map file at path as a planet object of the open object
// store, in file order: random defaults from the planet's star value, the file's
// position and name, a random name key. Logs "Map File Missing: " or
// "Adding Planets from " with the path. A planet count outside 1..18999, or a file whose
// lists lie outside it, adds nothing.
void AddMapPlanetObjects(ObjectSession& s, const std::string& path);

}  // namespace tarvik
