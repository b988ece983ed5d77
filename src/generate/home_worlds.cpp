#include "generate/home_worlds.h"

#include <string>

#include "base/errors.h"
#include "base/text.h"
#include "objects/constructors.h"
#include "objects/object_store.h"
#include "objects/ship_construction.h"
#include "packs/scramble.h"
#include "platform/rounding.h"
#include "session.h"

namespace tarvik {

namespace {

constexpr int32_t kRaceWithoutBase = 111;  // while standard ships are on
constexpr int kLowestHomeRace = 100;        // races up to this identifier get nothing

// The record field starting at a byte offset (for the fields without a name).
const Field& FieldAt(const RecordLayout& layout, int offset) {
  for (const Field& f : layout.fields()) {
    if (f.offset == offset) return f;
  }
  throw RuntimeError(std::string(layout.name()) + " has no field at offset " + std::to_string(offset));
}

// A text field set to `plain`, blank-padded, then scrambled under the record's key.
void SetScrambledText(Record& r, const Field& field, std::string_view plain, int key) {
  r.SetText(field, plain);
  std::string stored = r.Text(field);
  ScrambleName(key, stored);
  r.SetBytes(field, stored);
}

long long SettingValue(const Session& s, const ShipSetting& setting) {
  switch (setting.source) {
    case FleetValue::kConstant: return static_cast<long long>(setting.value);
    case FleetValue::kPopulationShare: return RoundToInt(setting.value * s.home.homePopulation);
    case FleetValue::kHomeCash: return s.home.homeCash;
  }
  return 0;
}

void ApplySettings(const Session& s, Record& r, std::span<const ShipSetting> settings) {
  for (const ShipSetting& setting : settings) {
    const long long value = SettingValue(s, setting);
    for (int i = setting.from; i <= setting.to; ++i) r.Set(setting.field, value, i);
  }
}

void ApplyBaseAdjustments(Session& s, int32_t raceId) {
  Record& b = s.records.base;
  for (const BaseAdjustment& a : HomeBaseAdjustments()) {
    if (a.raceId != raceId) continue;
    switch (a.change) {
      case BaseChange::kSet: b.Set(a.field, a.value, a.index); break;
      case BaseChange::kAdd: b.Set(a.field, static_cast<long long>(b.Get(a.field, a.index)) + a.value, a.index); break;
      case BaseChange::kDraw: b.Set(a.field, RoundToInt(s.random.Next() * a.value + a.offset), a.index); break;
      case BaseChange::kPopulationPart:
        b.Set(a.field, RoundToInt(static_cast<double>(s.home.homePopulation) / a.value + a.offset), a.index);
        break;
      case BaseChange::kSetI16At: b.SetI16At(a.offset, CheckedI16(a.value, "base field")); break;
    }
  }
}

// The text ship (or wing) k of a group is named with.
std::string GroupName(const FleetGroup& g, int k) {
  switch (g.naming) {
    case NameRule::kFixed: return std::string(g.names.front());
    case NameRule::kNumbered: return std::string(g.names.front()) + NumText(k);
    case NameRule::kPicked: return std::string(g.names.at(static_cast<size_t>(k - 1)));
  }
  return std::string();
}

void BuildWings(Session& s, int slot, const FleetGroup& g) {
  NewWing(s);
  Record& w = s.records.wing;
  const Field& name = w.layout().Get("name");
  const Field& second = FieldAt(w.layout(), 46);  // the wing's second text
  for (int k = 1; k <= g.count; ++k) {
    ApplySettings(s, w, g.settings);
    w.Set("pNum", slot);
    w.Set("x", s.fleet.fleetX[slot]);
    w.Set("y", s.fleet.fleetY[slot]);
    const int key = w.Get("nameKey");
    SetScrambledText(w, name, GroupName(g, k), key);
    SetScrambledText(w, second, "", key);
    StoreWing(s);
  }
}

void BuildGroup(Session& s, int slot, const FleetGroup& g) {
  switch (g.build) {
    case GroupBuild::kEach:
      for (int k = 1; k <= g.count; ++k) MakeFleetShip(s, slot, g.hull, g.settings, GroupName(g, k));
      break;
    case GroupBuild::kOneBuild: {
      MakeFleetShip(s, slot, g.hull, g.settings, GroupName(g, 1));
      Record& ship = s.records.ship;
      for (int k = 2; k <= g.count; ++k) {
        SetScrambledText(ship, ship.layout().Get("name"), GroupName(g, k), ship.Get("nameKey"));
        StoreShip(s);
      }
      break;
    }
    case GroupBuild::kWings:
      BuildWings(s, slot, g);
      break;
  }
}

}  // namespace

int32_t RaceIdOfSlot(const Session& s, int p) {
  const int entry = s.tables.playerRace[p];
  if (entry < 1 || entry > MAX_RACES) return 0;
  return s.packs.raceList[entry].raceId;
}

bool HasHomeWorld(const Session& s, int p) {
  return s.tables.playerActive[p] == 1 && s.tables.playerRace[p] > 0 && RaceIdOfSlot(s, p) > kLowestHomeRace;
}

void BuildHomeBases(Session& s) {
  FleetPositions& fleet = s.fleet;
  fleet.fleetX.Fill(0);
  fleet.fleetY.Fill(0);
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (s.tables.playerActive[p] != 1 || s.tables.playerRace[p] <= 0) continue;
    const int32_t id = RaceIdOfSlot(s, p);
    if (id == kRaceWithoutBase) {
      fleet.fleetX[p] = s.tables.homeX[p];
      fleet.fleetY[p] = s.tables.homeY[p];
    }
    if (id <= kLowestHomeRace || (id == kRaceWithoutBase && s.home.standardShips)) continue;

    NewBase(s);
    Record& b = s.records.base;
    b.Set("pNum", p);
    b.Set("x", s.tables.homeX[p]);
    b.Set("y", s.tables.homeY[p]);
    const Field& name = b.layout().Get("name");
    std::string stored = b.Text(name);
    ScrambleName(b.Get("nameKey"), stored);
    b.SetBytes(name, stored);
    LockBaseToPlanet(s);
    ApplyBaseAdjustments(s, id);
    fleet.fleetX[p] = b.Get("x");
    fleet.fleetY[p] = b.Get("y");
    StoreBase(s);
  }
}

void MakeFleetShip(Session& s, int slot, int hull, std::span<const ShipSetting> settings, std::string_view nameText) {
  NewShip(s, hull);
  Record& ship = s.records.ship;
  ship.Set("pNum", slot);
  ship.Set("x", s.fleet.fleetX[slot]);
  ship.Set("y", s.fleet.fleetY[slot]);
  ApplySettings(s, ship, settings);
  SetScrambledText(ship, ship.layout().Get("name"), nameText, ship.Get("nameKey"));
  SetScrambledText(ship, ship.layout().Get("shipLog"), "", ship.Get("shipLogKey"));
  StoreShip(s);
}

void BuildStandardFleets(Session& s) {
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (!HasHomeWorld(s, p)) continue;
    for (const FleetGroup* g : FleetOfRace(RaceIdOfSlot(s, p))) BuildGroup(s, p, *g);
  }
}

void BuildExtraFreighters(Session& s) {
  const FleetGroup& g = ExtraFreighterGroup();
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (!HasHomeWorld(s, p) || !GetsExtraFreighters(RaceIdOfSlot(s, p))) continue;
    BuildGroup(s, p, g);
  }
}

}  // namespace tarvik
