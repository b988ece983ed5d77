// Home worlds and starting fleets of a standard universe: every player whose race
// identifier is above 100 gets a home base locked onto the planet nearest its home
// position, with its race's adjustments; with "Start With Standard Ships" its race's
// fleet (StandardFleetTable); with "Start With 3 Extra Freighters" three freighters.
// Ships and wings start at the player's base; race 111, which has no base while
// standard ships are on, starts at its home position.
//
// Objects are added in this order, which fixes their identifiers: all home bases by
// slot, then all fleets by slot (each in table order), then all extra freighters by slot.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "generate/fleet_table.h"
#include "universe/table.h"
#include "universe/tables.h"

namespace tarvik {

struct GenerateSession;
struct PackSession;

// Where each slot's ships go; zeroed by BuildHomeBases at the start of a run.
struct FleetPositions {
  Table<int32_t, MAX_PLAYERS> fleetX;
  Table<int32_t, MAX_PLAYERS> fleetY;
};

// The race identifier that player slot p plays, or 0 when it plays none.
int32_t RaceIdOfSlot(const PackSession& s, int p);
// Active, with a race, and that race's identifier above 100.
bool HasHomeWorld(const PackSession& s, int p);

// Each stores its objects through their kind's descriptor, as the end of a script's
// object block does: the names scrambled under their keys, then the kind's store
// operation.
void BuildHomeBases(GenerateSession& s);
void BuildStandardFleets(GenerateSession& s);
void BuildExtraFreighters(GenerateSession& s);

// Builds, names and stores one ship of hull type `hull` for player slot `slot` at the
// slot's fleet position.
void MakeFleetShip(GenerateSession& s, int slot, int hull, std::span<const ShipSetting> settings,
                   std::string_view nameText);

}  // namespace tarvik
