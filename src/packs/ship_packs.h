// Ship packs ("*.spk" in ships\): the game race list, the needed hulls, the kept packs,
// the hull index, and loading one hull record at a time.
#pragma once

#include <string>

namespace tarvik {

struct PackSession;

inline constexpr std::string_view SHIP_PACK_HEADER =
    "Stellarvane Version 4 - Formatted 1996 by Quillenbrast - Ship Pack";

void LoadShipPacks(PackSession& s);
bool HullKnown(const PackSession& s, int hullType);
// Fills s.packs.scratchHull (hullName unscrambled).
void LoadHull(PackSession& s, int hullType);
std::string ShipPackPath(const PackSession& s, int slot);

}  // namespace tarvik
