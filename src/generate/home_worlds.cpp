#include "generate/home_worlds.h"

#include <string>

#include "base/text.h"
#include "generate/generate_session.h"
#include "objects/constructors.h"
#include "objects/object_kinds.h"
#include "objects/ship_construction.h"
#include "platform/rounding.h"

namespace tarvik {

namespace {

constexpr int32_t RACE_WITHOUT_BASE = 111;  // while standard ships are on
constexpr int32_t NO_HOME_WORLD_UP_TO = 100;  // races up to this identifier get nothing

// Stores the kind's working record as the end of an object block does: its texts
// scrambled under their keys, then the kind's store operation.
void StoreFinished(ObjectSession& s, const ObjectKindDescriptor& kind) {
  ScrambleNames(kind, s.records.*kind.record);
  kind.store(s);
}

// The kind's name text set to `name` and its other texts blank, then stored.
void StoreNamed(ObjectSession& s, const ObjectKindDescriptor& kind, std::string_view name) {
  Record& r = s.records.*kind.record;
  for (const ScrambledText& text : kind.scrambled) r.SetText(TextField(text, r.layout()), text.field == "name" ? name : "");
  StoreFinished(s, kind);
}

long long SettingValue(const UniverseSession& s, const ShipSetting& setting) {
  switch (setting.source) {
    case FleetValue::Constant: return static_cast<long long>(setting.value);
    case FleetValue::PopulationShare: return RoundToInt(setting.value * s.home.homePopulation);
    case FleetValue::HomeCash: return s.home.homeCash;
  }
  return 0;
}

void ApplySettings(const UniverseSession& s, Record& r, std::span<const ShipSetting> settings) {
  for (const ShipSetting& setting : settings) {
    const long long value = SettingValue(s, setting);
    for (int i = setting.from; i <= setting.to; ++i) r.Set(setting.field, value, i);
  }
}

void ApplyBaseAdjustments(ObjectSession& s, int32_t raceId) {
  Record& b = s.records.base;
  for (const BaseAdjustment& a : HomeBaseAdjustments()) {
    if (a.raceId != raceId) continue;
    switch (a.change) {
      case BaseChange::Set: b.Set(a.field, a.value, a.index); break;
      case BaseChange::Add: b.Set(a.field, static_cast<long long>(b.Get(a.field, a.index)) + a.value, a.index); break;
      case BaseChange::Draw: b.Set(a.field, RoundToInt(s.random.Next() * a.value + a.offset), a.index); break;
      case BaseChange::PopulationPart:
        b.Set(a.field, RoundToInt(static_cast<double>(s.home.homePopulation) / a.value + a.offset), a.index);
        break;
      case BaseChange::SetAt: b.Set(b.layout().At(a.offset), a.value); break;
    }
  }
}

// The text ship (or wing) k of a group is named with.
std::string GroupName(const FleetGroup& g, int k) {
  switch (g.naming) {
    case NameRule::Fixed: return std::string(g.names.front());
    case NameRule::Numbered: return std::string(g.names.front()) + NumText(k);
    case NameRule::Picked: return std::string(g.names.at(static_cast<size_t>(k - 1)));
  }
  return std::string();
}

// One wing is built; for each name it is set on the slot's fleet position and stored.
void BuildWings(GenerateSession& s, int slot, const FleetGroup& g) {
  const ObjectKindDescriptor& kind = *KindOfBlock(BlockKind::Wing);
  NewWing(s);
  Record& w = s.records.wing;
  for (int k = 1; k <= g.count; ++k) {
    ApplySettings(s, w, g.settings);
    w.Set("pNum", slot);
    w.Set("x", s.fleet.fleetX[slot]);
    w.Set("y", s.fleet.fleetY[slot]);
    StoreNamed(s, kind, GroupName(g, k));
  }
}

void BuildGroup(GenerateSession& s, int slot, const FleetGroup& g) {
  switch (g.build) {
    case GroupBuild::Each:
      for (int k = 1; k <= g.count; ++k) MakeFleetShip(s, slot, g.hull, g.settings, GroupName(g, k));
      break;
    case GroupBuild::OneBuild: {
      MakeFleetShip(s, slot, g.hull, g.settings, GroupName(g, 1));
      const ObjectKindDescriptor& kind = *KindOfBlock(BlockKind::Ship);
      for (int k = 2; k <= g.count; ++k) StoreNamed(s, kind, GroupName(g, k));
      break;
    }
    case GroupBuild::Wings:
      BuildWings(s, slot, g);
      break;
  }
}

}  // namespace

int32_t RaceIdOfSlot(const PackSession& s, int p) {
  const int entry = s.tables.playerRace[p];
  if (entry < 1 || entry > MAX_RACES) return 0;
  return s.packs.raceList[entry].raceId;
}

bool HasHomeWorld(const PackSession& s, int p) {
  return s.tables.playerActive[p] == 1 && s.tables.playerRace[p] > 0 && RaceIdOfSlot(s, p) > NO_HOME_WORLD_UP_TO;
}

void BuildHomeBases(GenerateSession& s) {
  const ObjectKindDescriptor& kind = *KindOfBlock(BlockKind::Base);
  FleetPositions& fleet = s.fleet;
  fleet.fleetX.Fill(0);
  fleet.fleetY.Fill(0);
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (s.tables.playerActive[p] != 1 || s.tables.playerRace[p] <= 0) continue;
    const int32_t id = RaceIdOfSlot(s, p);
    if (id == RACE_WITHOUT_BASE) {
      fleet.fleetX[p] = s.tables.homeX[p];
      fleet.fleetY[p] = s.tables.homeY[p];
    }
    if (id <= NO_HOME_WORLD_UP_TO || (id == RACE_WITHOUT_BASE && s.home.standardShips)) continue;

    NewBase(s);
    Record& b = s.records.base;
    b.Set("pNum", p);
    b.Set("x", s.tables.homeX[p]);
    b.Set("y", s.tables.homeY[p]);
    LockBaseToPlanet(s);
    ApplyBaseAdjustments(s, id);
    fleet.fleetX[p] = b.Get("x");
    fleet.fleetY[p] = b.Get("y");
    StoreFinished(s, kind);
  }
}

void MakeFleetShip(GenerateSession& s, int slot, int hull, std::span<const ShipSetting> settings,
                   std::string_view nameText) {
  NewShip(s, hull);
  Record& ship = s.records.ship;
  ship.Set("pNum", slot);
  ship.Set("x", s.fleet.fleetX[slot]);
  ship.Set("y", s.fleet.fleetY[slot]);
  ApplySettings(s, ship, settings);
  StoreNamed(s, *KindOfBlock(BlockKind::Ship), nameText);
}

void BuildStandardFleets(GenerateSession& s) {
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (!HasHomeWorld(s, p)) continue;
    for (const FleetGroup* g : FleetOfRace(RaceIdOfSlot(s, p))) BuildGroup(s, p, *g);
  }
}

void BuildExtraFreighters(GenerateSession& s) {
  const FleetGroup& g = ExtraFreighterGroup();
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (!HasHomeWorld(s, p) || !GetsExtraFreighters(RaceIdOfSlot(s, p))) continue;
    BuildGroup(s, p, g);
  }
}

}  // namespace tarvik
