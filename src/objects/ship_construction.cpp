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
#include "universe/records.h"

namespace tarvik {

namespace {

// The fields of the ship and hull records that building and trimming a ship name, found
// once: a build names them for every ship.
struct ShipFields {
  const RecordLayout& ship = ShipRecordLayout();
  const RecordLayout& hull = HullRecordLayout();
  // The ship record.
  const Field& name = ship.Get("name");
  const Field& shipLog = ship.Get("shipLog");
  const Field& pNum = ship.Get("pNum");
  const Field& nameKey = ship.Get("nameKey");
  const Field& shipLogKey = ship.Get("shipLogKey");
  const Field& hullType = ship.Get("hull");
  const Field& pdWeapon = ship.Get("pdWeapon");
  const Field& lWeapon = ship.Get("lWeapon");
  const Field& sWeapon = ship.Get("sWeapon");
  const Field& generator = ship.Get("generator");
  const Field& hugeWeapon = ship.Get("hugeWeapon");
  const Field& fuel = ship.Get("fuel");
  const Field& eleOrd = ship.Get("eleOrd");
  const Field& eleS = ship.Get("eleS");
  const Field& eleD = ship.Get("eleD");
  const Field& eleT = ship.Get("eleT");
  const Field& eleM = ship.Get("eleM");
  const Field& eleFix = ship.Get("eleFix");
  const Field& hullValues = ship.Get("hullValues");
  const Field& crew = ship.Get("crew");
  const Field& cash = ship.Get("cash");
  const Field& troops = ship.Get("troops");
  const Field& colonists = ship.Get("colonists");
  const Field& highGuard = ship.Get("highGuard");
  const Field& eleFood = ship.Get("eleFood");
  const Field& eleMed = ship.Get("eleMed");
  const Field& x = ship.Get("x");
  const Field& y = ship.Get("y");
  const Field& fCode = ship.Get("fCode");
  const Field& extraCodes = ship.Get("extraCodes");
  const Field& eng = ship.Get("eng");
  const Field& armor = ship.Get("armor");
  const Field& shieldFlavor = ship.Get("shieldFlavor");
  const Field& happy = ship.Get("happy");
  const Field& skill = ship.Get("skill");
  const Field& experience = ship.Get("experience");
  // The hull record.
  const Field& hullName = hull.Get("hullName");
  const Field& pdWeaponSlots = hull.Get("pdWeaponSlots");
  const Field& lWeaponSlots = hull.Get("lWeaponSlots");
  const Field& sWeaponSlots = hull.Get("sWeaponSlots");
  const Field& generatorSlots = hull.Get("generatorSlots");
  const Field& hugeWeaponMask = hull.Get("hugeWeaponMask");
  const Field& fuelCapacity = hull.Get("fuelCapacity");
  const Field& cargoCapacity = hull.Get("cargoCapacity");
  const Field& passengerCapacity = hull.Get("passengerCapacity");
  const Field& ordnanceCapacity = hull.Get("ordnanceCapacity");
  const Field& fixCapacity = hull.Get("fixCapacity");
  const Field& hullHullValues = hull.Get("hullValues");
  const Field& crewCapacity = hull.Get("crewCapacity");
  const Field& armorCapacity = hull.Get("armorCapacity");
};

const ShipFields& Fields() {
  static const ShipFields fields;
  return fields;
}

// A hull's slot count for one of the ship's mount arrays, kept within 0..arraySize.
// A pack from outside may claim more mounts than a ship record holds; the ship then
// gets every mount of its array and nothing is written past it.
int MountCount(const Record& hull, const Field& slots, int arraySize) {
  return std::clamp<int>(hull.Get(slots), 0, arraySize);
}

// Lowers a field to cap when it is above it.
void Cap(Record& ship, const Field& field, long long cap) {
  if (ship.Get(field) > cap) ship.Set(field, cap);
}

// Fits a field into the room left and takes it from the room. The value read is read
// again only when it was lowered (what the field then holds is what the room takes).
void TakeFromRoom(Record& ship, const Field& field, long long& room) {
  int32_t held = ship.Get(field);
  if (held > room) {
    ship.Set(field, room);
    held = ship.Get(field);
  }
  room -= held;
}

void LogHullNotFound(ObjectSession& s, const std::string& first, int hullType) {
  LogLine(s, first);
  LogLine(s, "Ship hull type: " + NumText(hullType) + " not found");
  LogLine(s, "in SPK data packs");
}

// The values a new ship draws, in three turns of NewShip; no field they set is set by
// any other step of NewShip, and none of them can fail (each drawn value fits its
// field).
void DrawKeys(ObjectSession& s, Record& ship, const ShipFields& f) {
  ship.Set(f.nameKey, Draw(s.random, 300, 10));
  ship.Set(f.shipLogKey, Draw(s.random, 400, 10));
}

void DrawPlace(ObjectSession& s, Record& ship, const ShipFields& f) {
  SetDefaultPosition(s.random, ship, f.x, f.y);
  // Fleet code "J" and two letters from A to U.
  const char first = static_cast<char>(Draw(s.random, 20, 65));
  const char second = static_cast<char>(Draw(s.random, 20, 65));
  const char code[] = {'J', first, second};
  ship.SetText(f.fCode, std::string_view(code, sizeof code));
}

void DrawTemper(ObjectSession& s, Record& ship, const ShipFields& f) {
  ship.Set(f.happy, Draw(s.random, 30, 60));
  ship.Set(f.skill, Draw(s.random, 40, 50));
  ship.Set(f.experience, Draw(s.random, 60, 40));
}

// The kept ship of a hull type, when it was built from the same hull record and
// powers-of-two table as the ship NewShip is building now; nullptr otherwise.
const ShipTemplates::Built* KeptShip(const ObjectSession& s, int hullType) {
  const ShipTemplates& kept = s.shipTemplates;
  if (kept.at.empty() || kept.at[hullType] == 0) return nullptr;
  const ShipTemplates::Built& b = kept.built[kept.at[hullType] - 1];
  return b.hull == s.packs.scratchHull.bytes() && b.bitValue == s.bitValue ? &b : nullptr;
}

void KeepShip(ObjectSession& s, int hullType) {
  ShipTemplates& kept = s.shipTemplates;
  if (!kept.keep) return;
  if (kept.at.empty()) kept.at.assign(MAX_HULL_TYPE + 1, 0);
  if (kept.at[hullType] == 0) {
    kept.built.emplace_back();
    kept.at[hullType] = static_cast<int32_t>(kept.built.size());
  }
  ShipTemplates::Built& b = kept.built[kept.at[hullType] - 1];
  b.hull = s.packs.scratchHull.bytes();
  b.bitValue = s.bitValue;
  b.ship = s.records.ship.bytes();
}

}  // namespace

bool TestFlagBit(const UniverseSession& s, int n, int32_t flags) {
  if (n < 0 || n > 30) return false;
  return (flags & s.bitValue[n]) != 0;
}

void NewShip(ObjectSession& s, int hullType) {
  Record& ship = s.records.ship;
  // The record is cleared first; a ship built from a kept ship overwrites every byte of
  // it, so there the clearing is left out, and made only when the hull fails to load.
  if (hullType == 0 || !HullKnown(s, hullType)) {
    ship.Clear();
    if (hullType == 0) {
      LogLine(s, "Tarvik error: Hull type Zero");
    } else {
      LogHullNotFound(s, "Script error.", hullType);
    }
    return;
  }
  try {
    LoadHull(s, hullType);
  } catch (...) {
    ship.Clear();
    throw;
  }
  const Record& hull = s.packs.scratchHull;
  const ShipFields& f = Fields();

  // A ship built before on the same hull record differs from this one only in the
  // values drawn: every other step below gives the same bytes again, and since that
  // build went through, none of them fails. So its bytes with this ship's draws, made
  // in the same order, are the ship the steps below would build.
  if (const ShipTemplates::Built* kept = KeptShip(s, hullType)) {
    ship.bytes() = kept->ship;  // every byte, the record made whole as Clear would
    DrawKeys(s, ship, f);
    DrawPlace(s, ship, f);
    DrawTemper(s, ship, f);
    return;
  }
  ship.Clear();

  ship.SetText(f.name, hull.Text(f.hullName));
  ship.SetText(f.shipLog, std::string(40, ' '));
  ship.Set(f.pNum, 1);
  DrawKeys(s, ship, f);
  ship.Set(f.hullType, hullType);

  // Every mount the hull has gets the standard fitting; the rest stay empty.
  for (int i = 1; i <= MountCount(hull, f.pdWeaponSlots, SHIP_PD_WEAPONS); ++i) ship.Set(f.pdWeapon, 3, i);
  for (int i = 1; i <= MountCount(hull, f.lWeaponSlots, SHIP_L_WEAPONS); ++i) ship.Set(f.lWeapon, 1, i);
  for (int i = 1; i <= MountCount(hull, f.sWeaponSlots, SHIP_S_WEAPONS); ++i) ship.Set(f.sWeapon, 3, i);
  for (int i = 1; i <= MountCount(hull, f.generatorSlots, SHIP_GENERATORS); ++i) ship.Set(f.generator, 3, i);

  // The first huge weapon the hull allows (bit n of the mask allows value n + 1).
  int32_t mask = hull.Get(f.hugeWeaponMask);
  if (mask > 0) {
    int huge = 0;
    for (int n = 0; n <= 4; ++n) {
      if (TestFlagBit(s, n, mask)) {
        huge = n + 1;
        break;
      }
    }
    ship.Set(f.hugeWeapon, huge);
  }

  const double fuelCapacity = hull.Get(f.fuelCapacity);
  const double cargoCapacity = hull.Get(f.cargoCapacity);
  const double passengerCapacity = hull.Get(f.passengerCapacity);
  ship.Set(f.fuel, RoundToInt(fuelCapacity / 2));
  ship.SetFloat("factor", 0.5f);
  ship.Set(f.eleOrd, RoundToInt(hull.Get(f.ordnanceCapacity) / 2.0));
  ship.Set(f.eleS, RoundToInt(cargoCapacity / 5));
  ship.Set(f.eleFix, RoundToInt(hull.Get(f.fixCapacity) / 3.0));
  for (int i = 1; i <= 3; ++i) ship.Set(f.hullValues, hull.Get(f.hullHullValues, i), i);
  ship.Set(f.crew, hull.Get(f.crewCapacity));
  ship.Set(f.cash, 30);
  ship.Set(f.troops, std::min<long long>(RoundToInt(passengerCapacity / 10), 1000));
  ship.Set(f.colonists, RoundToInt(passengerCapacity / 3));
  ship.Set(f.eleFood, RoundToInt(cargoCapacity / 10));
  ship.Set(f.eleMed, RoundToInt(cargoCapacity / 20));

  DrawPlace(s, ship, f);
  ship.SetText(f.extraCodes, "ZZZ", 1);
  ship.SetText(f.extraCodes, "XXX", 2);
  ship.SetText(f.extraCodes, "YYY", 3);

  ship.Set(f.eng, 4);
  ship.Set(f.armor, hull.Get(f.armorCapacity));
  ship.Set(f.shieldFlavor, 2);
  DrawTemper(s, ship, f);
  KeepShip(s, hullType);
}

void NewDefaultShip(ObjectSession& s) {
  if (HullKnown(s, 1)) NewShip(s, 1);
}

void ZeroElements(Record& record, const Field& field, int from, int to) {
  if (from > to) return;
  if (from < 1 || to > field.count || field.type == FieldType::Chars) {
    // The element by element way, which stops with its error where Set fails.
    for (int i = from; i <= to; ++i) record.Set(field, 0, i);
    return;
  }
  // The elements lie one after another, and a 0 is all zero bytes in every whole-number
  // type (and in a float).
  const size_t width = static_cast<size_t>(field.ElementWidth());
  const auto begin = record.bytes().begin() + field.offset;
  std::fill(begin + static_cast<std::ptrdiff_t>(width * static_cast<size_t>(from - 1)),
            begin + static_cast<std::ptrdiff_t>(width * static_cast<size_t>(to)), uint8_t{0});
}

void TrimShip(ObjectSession& s) {
  Record& ship = s.records.ship;
  const Record& hull = s.packs.scratchHull;
  const ShipFields& f = Fields();

  // A hull type outside 1..2000 cannot be looked up; the ship is then trimmed against
  // the hull record loaded last.
  const int hullType = ship.Get(f.hullType);
  if (hullType >= 1 && hullType <= MAX_HULL_TYPE) {
    if (!HullKnown(s, hullType)) {
      LogHullNotFound(s, "Script error: TrimShip", hullType);
      return;
    }
    LoadHull(s, hullType);
    ZeroElements(ship, f.pdWeapon, MountCount(hull, f.pdWeaponSlots, SHIP_PD_WEAPONS) + 1, SHIP_PD_WEAPONS);
    ZeroElements(ship, f.lWeapon, MountCount(hull, f.lWeaponSlots, SHIP_L_WEAPONS) + 1, SHIP_L_WEAPONS);
    ZeroElements(ship, f.sWeapon, MountCount(hull, f.sWeaponSlots, SHIP_S_WEAPONS) + 1, SHIP_S_WEAPONS);
    ZeroElements(ship, f.generator, MountCount(hull, f.generatorSlots, SHIP_GENERATORS) + 1, SHIP_GENERATORS);
  }

  // The huge weapon must be one the hull's mask allows. A value above 31 has no bit
  // in the mask and is never allowed.
  const int32_t mask = hull.Get(f.hugeWeaponMask);
  const int32_t huge = ship.Get(f.hugeWeapon);
  if (mask == 0 || (huge > 0 && !TestFlagBit(s, huge - 1, mask))) ship.Set(f.hugeWeapon, 0);

  const int32_t cargoCapacity = hull.Get(f.cargoCapacity);
  const int32_t passengerCapacity = hull.Get(f.passengerCapacity);
  Cap(ship, f.fuel, hull.Get(f.fuelCapacity));
  Cap(ship, f.eleOrd, hull.Get(f.ordnanceCapacity));
  for (const Field* cargo : {&f.eleS, &f.eleD, &f.eleT, &f.eleM}) Cap(ship, *cargo, cargoCapacity);
  Cap(ship, f.eleFix, hull.Get(f.fixCapacity));
  Cap(ship, f.crew, hull.Get(f.crewCapacity));
  Cap(ship, f.troops, passengerCapacity);
  Cap(ship, f.colonists, passengerCapacity);
  Cap(ship, f.eleFood, cargoCapacity);
  Cap(ship, f.eleMed, cargoCapacity);
  for (const Field* axis : {&f.x, &f.y}) ship.Set(*axis, std::clamp<int32_t>(ship.Get(*axis), 5, 100000));
  Cap(ship, f.armor, hull.Get(f.armorCapacity));

  // The six cargo kinds share the hold, served in this order; then the three kinds of
  // passenger share the passenger room.
  long long room = cargoCapacity;
  for (const Field* cargo : {&f.eleFood, &f.eleMed, &f.eleS, &f.eleM, &f.eleT, &f.eleD}) TakeFromRoom(ship, *cargo, room);
  room = passengerCapacity;
  for (const Field* passenger : {&f.highGuard, &f.troops, &f.colonists}) TakeFromRoom(ship, *passenger, room);
}

}  // namespace tarvik
