// The starting fleets as data: for each race identifier an ordered list of groups, each
// with its count, hull type, field settings and naming rule; the three extra
// freighters; and the adjustments some races get on their home base.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tarvik {

// Where a setting's value comes from.
enum class FleetValue {
  Constant,         // value
  PopulationShare,  // round(value * homePopulation)
  HomeCash,         // homeCash
};

// Elements from..to (1-based) of a record field take the value; a single field is 1..1.
struct ShipSetting {
  std::string_view field;
  double value;
  int from = 1;
  int to = 1;
  FleetValue source = FleetValue::Constant;
};

enum class NameRule {
  Fixed,     // every ship of the group: names[0]
  Numbered,  // names[0] followed by the ship's number in the group, with its leading blank
  Picked,    // ship k of the group: names[k - 1]
};

enum class GroupBuild {
  Each,      // every ship is built, named and stored on its own
  OneBuild,  // one ship is built; each further name only renames it and stores it again
  Wings,     // one wing is built; each name is set on it and it is stored again
};

// The race identifier of the fleet that every race above 100 without a fleet of its own
// receives.
inline constexpr int32_t ANY_OTHER_RACE = 0;

struct FleetGroup {
  int32_t raceId;
  int count;
  int hull;  // 0 for wings
  std::vector<ShipSetting> settings;
  NameRule naming;
  std::vector<std::string_view> names;
  GroupBuild build = GroupBuild::Each;
};

const std::vector<FleetGroup>& StandardFleetTable();
// The groups of a race in table order: its own, or those of ANY_OTHER_RACE.
std::vector<const FleetGroup*> FleetOfRace(int32_t raceId);
// Three freighters of hull 18, numbered.
const FleetGroup& ExtraFreighterGroup();
// Races that never receive the extra freighters.
bool GetsExtraFreighters(int32_t raceId);

// A change to the home base of one race.
enum class BaseChange {
  Set,             // field = value
  Add,             // field += value
  Draw,            // field = round(rnd() * value + offset)
  PopulationPart,  // field = round(homePopulation / value + offset)
  SetAt,           // the unnamed field at byte offset `offset` = value
};

struct BaseAdjustment {
  int32_t raceId;
  BaseChange change;
  std::string_view field;
  int index;
  int32_t value;
  int32_t offset = 0;
};

std::span<const BaseAdjustment> HomeBaseAdjustments();

}  // namespace tarvik
