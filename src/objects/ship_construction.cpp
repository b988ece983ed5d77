#include "objects/ship_construction.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "log/run_log.h"
#include "objects/constructors.h"
#include "objects/object_session.h"
#include "packs/pack_state.h"
#include "packs/ship_packs.h"
#include "platform/rounding.h"

namespace tarvik {

namespace {

// A hull's slot count for one of the ship's mount arrays, kept within 0..arraySize.
// A pack from outside may claim more mounts than a ship record holds; the ship then
// gets every mount of its array and nothing is written past it.
int MountCount(const Record& hull, const char* slotsField, int arraySize) {
  return std::clamp<int>(hull.Get(slotsField), 0, arraySize);
}

// Lowers a field to cap when it is above it.
void Cap(Record& ship, const char* field, long long cap) {
  if (ship.Get(field) > cap) ship.Set(field, cap);
}

// Fits a field into the room left and takes it from the room.
void TakeFromRoom(Record& ship, const char* field, long long& room) {
  if (ship.Get(field) > room) ship.Set(field, room);
  room -= ship.Get(field);
}

void LogHullNotFound(ObjectSession& s, const std::string& first, int hullType) {
  LogLine(s, first);
  LogLine(s, "Ship hull type: " + NumText(hullType) + " not found");
  LogLine(s, "in SPK data packs");
}


}  // namespace

bool TestFlagBit(const UniverseSession& s, int n, int32_t flags) {
  if (n < 0 || n > 30) return false;
  return (flags & s.bitValue[n]) != 0;
}

void NewShip(ObjectSession& s, int hullType) {
  Record& ship = s.records.ship;
  ship.Clear();
  if (hullType == 0) {
    LogLine(s, "Tarvik error: Hull type Zero");
    return;
  }
  if (!HullKnown(s, hullType)) {
    LogHullNotFound(s, "Script error.", hullType);
    return;
  }
  LoadHull(s, hullType);
  const Record& hull = s.packs.scratchHull;

  ship.SetText("name", hull.Text("hullName"));
  ship.SetText("shipLog", std::string(40, ' '));
  ship.Set("pNum", 1);
  ship.Set("nameKey", Draw(s.random, 300, 10));
  ship.Set("shipLogKey", Draw(s.random, 400, 10));
  ship.Set("hull", hullType);

  // Every mount the hull has gets the standard fitting; the rest stay empty.
  for (int i = 1; i <= MountCount(hull, "pdWeaponSlots", SHIP_PD_WEAPONS); ++i) ship.Set("pdWeapon", 3, i);
  for (int i = 1; i <= MountCount(hull, "lWeaponSlots", SHIP_L_WEAPONS); ++i) ship.Set("lWeapon", 1, i);
  for (int i = 1; i <= MountCount(hull, "sWeaponSlots", SHIP_S_WEAPONS); ++i) ship.Set("sWeapon", 3, i);
  for (int i = 1; i <= MountCount(hull, "generatorSlots", SHIP_GENERATORS); ++i) ship.Set("generator", 3, i);

  // The first huge weapon the hull allows (bit n of the mask allows value n + 1).
  int32_t mask = hull.Get("hugeWeaponMask");
  if (mask > 0) {
    int huge = 0;
    for (int n = 0; n <= 4; ++n) {
      if (TestFlagBit(s, n, mask)) {
        huge = n + 1;
        break;
      }
    }
    ship.Set("hugeWeapon", huge);
  }

  const double fuelCapacity = hull.Get("fuelCapacity");
  const double cargoCapacity = hull.Get("cargoCapacity");
  const double passengerCapacity = hull.Get("passengerCapacity");
  ship.Set("fuel", RoundToInt(fuelCapacity / 2));
  ship.SetFloat("factor", 0.5f);
  ship.Set("eleOrd", RoundToInt(hull.Get("ordnanceCapacity") / 2.0));
  ship.Set("eleS", RoundToInt(cargoCapacity / 5));
  ship.Set("eleFix", RoundToInt(hull.Get("fixCapacity") / 3.0));
  for (int i = 1; i <= 3; ++i) ship.Set("hullValues", hull.Get("hullValues", i), i);
  ship.Set("crew", hull.Get("crewCapacity"));
  ship.Set("cash", 30);
  ship.Set("troops", std::min<long long>(RoundToInt(passengerCapacity / 10), 1000));
  ship.Set("colonists", RoundToInt(passengerCapacity / 3));
  ship.Set("eleFood", RoundToInt(cargoCapacity / 10));
  ship.Set("eleMed", RoundToInt(cargoCapacity / 20));

  SetDefaultPosition(s.random, ship);

  // Fleet code "J" and two letters from A to U.
  std::string code = "J";
  code += static_cast<char>(Draw(s.random, 20, 65));
  code += static_cast<char>(Draw(s.random, 20, 65));
  ship.SetText("fCode", code);
  ship.SetText("extraCodes", "ZZZ", 1);
  ship.SetText("extraCodes", "XXX", 2);
  ship.SetText("extraCodes", "YYY", 3);

  ship.Set("eng", 4);
  ship.Set("armor", hull.Get("armorCapacity"));
  ship.Set("shieldFlavor", 2);
  ship.Set("happy", Draw(s.random, 30, 60));
  ship.Set("skill", Draw(s.random, 40, 50));
  ship.Set("experience", Draw(s.random, 60, 40));
}

void NewDefaultShip(ObjectSession& s) {
  if (HullKnown(s, 1)) NewShip(s, 1);
}

void TrimShip(ObjectSession& s) {
  Record& ship = s.records.ship;
  const Record& hull = s.packs.scratchHull;

  // A hull type outside 1..2000 cannot be looked up; the ship is then trimmed against
  // the hull record loaded last.
  const int hullType = ship.Get("hull");
  if (hullType >= 1 && hullType <= MAX_HULL_TYPE) {
    if (!HullKnown(s, hullType)) {
      LogHullNotFound(s, "Script error: TrimShip", hullType);
      return;
    }
    LoadHull(s, hullType);
    for (int i = MountCount(hull, "pdWeaponSlots", SHIP_PD_WEAPONS) + 1; i <= SHIP_PD_WEAPONS; ++i) ship.Set("pdWeapon", 0, i);
    for (int i = MountCount(hull, "lWeaponSlots", SHIP_L_WEAPONS) + 1; i <= SHIP_L_WEAPONS; ++i) ship.Set("lWeapon", 0, i);
    for (int i = MountCount(hull, "sWeaponSlots", SHIP_S_WEAPONS) + 1; i <= SHIP_S_WEAPONS; ++i) ship.Set("sWeapon", 0, i);
    for (int i = MountCount(hull, "generatorSlots", SHIP_GENERATORS) + 1; i <= SHIP_GENERATORS; ++i) ship.Set("generator", 0, i);
  }

  // The huge weapon must be one the hull's mask allows. A value above 31 has no bit
  // in the mask and is never allowed.
  const int32_t mask = hull.Get("hugeWeaponMask");
  const int32_t huge = ship.Get("hugeWeapon");
  if (mask == 0 || (huge > 0 && !TestFlagBit(s, huge - 1, mask))) ship.Set("hugeWeapon", 0);

  const int32_t cargoCapacity = hull.Get("cargoCapacity");
  const int32_t passengerCapacity = hull.Get("passengerCapacity");
  Cap(ship, "fuel", hull.Get("fuelCapacity"));
  Cap(ship, "eleOrd", hull.Get("ordnanceCapacity"));
  for (const char* f : {"eleS", "eleD", "eleT", "eleM"}) Cap(ship, f, cargoCapacity);
  Cap(ship, "eleFix", hull.Get("fixCapacity"));
  Cap(ship, "crew", hull.Get("crewCapacity"));
  Cap(ship, "troops", passengerCapacity);
  Cap(ship, "colonists", passengerCapacity);
  Cap(ship, "eleFood", cargoCapacity);
  Cap(ship, "eleMed", cargoCapacity);
  for (const char* f : {"x", "y"}) ship.Set(f, std::clamp<int32_t>(ship.Get(f), 5, 100000));
  Cap(ship, "armor", hull.Get("armorCapacity"));

  // The six cargo kinds share the hold, served in this order; then the three kinds of
  // passenger share the passenger room.
  long long room = cargoCapacity;
  for (const char* f : {"eleFood", "eleMed", "eleS", "eleM", "eleT", "eleD"}) TakeFromRoom(ship, f, room);
  room = passengerCapacity;
  for (const char* f : {"highGuard", "troops", "colonists"}) TakeFromRoom(ship, f, room);
}

}  // namespace tarvik
