#include "generate/fleet_table.h"

namespace tarvik {

namespace {

using enum NameRule;
using V = FleetValue;

// The settings every ship of race 111's ark fleet shares.
#define ARK_SHIP {"eng", 17}, {"eleS", 100}

}  // namespace

// Rows: race, count, hull, settings {field, value, first element, last element}, naming
// rule, names, how the group is built. The names are the fleets' own: what a young
// spacefaring power calls its first freighters, scouts and warships.
const std::vector<FleetGroup>& StandardFleetTable() {
  static const std::vector<FleetGroup> table = {
      {101, 3, 19, {{"eng", 12}}, Numbered, {"Homestead Hauler "}},
      {101, 1, 6, {{"eng", 15}}, Fixed, {"Freehold Vanguard"}},

      {102, 5, 19, {{"eng", 8}}, Numbered, {"Merchant Barque "}},
      {102, 1, 45,
       {{"eng", 10}, {"lWeapon", 13, 1, 1}, {"lWeapon", 2, 2, 2}, {"generator", 2, 1, 4}, {"shieldFlavor", 2}},
       Fixed, {"Ledger of Plenty"}},

      {103, 3, 65, {{"eng", 20}, {"lWeapon", 15, 1, 2}}, Picked, {"Spur of the Hive", "Thorn of the Hive",
                                                                    "Sting of the Hive"}},

      {104, 4, 19, {{"eng", 8}}, Numbered, {"Directorate Tender "}},
      {104, 1, 41, {{"eng", 20}, {"generator", 10, 1, 2}, {"lWeapon", 13, 1, 2}, {"shieldFlavor", 8}}, Fixed,
       {"Edict of Order"}},

      {105, 1, 87,
       {{"eng", 20},
        {"hypEng", 10},
        {"generator", 10, 1, 4},
        {"lWeapon", 13, 1, 4},
        {"sWeapon", 10, 1, 30},
        {"shieldFlavor", 9},
        {"armor", 200}},
       Fixed, {"Deep Anvil"}},
      {105, 1, 84,
       {{"eng", 16}, {"lWeapon", 13, 1, 2}, {"generator", 10, 1, 2}, {"sWeapon", 10, 1, 4}, {"shieldFlavor", 8}},
       Fixed, {"Stone Warden"}},

      {106, 4, 26, {{"hypEng", 5}, {"fuel", 80}}, Numbered, {"Drift Caravan "}},
      {106, 2, 28, {{"eng", 15}}, Numbered, {"Windrunner "}},
      {106, 2, 32,
       {{"eng", 16},
        {"lWeapon", 1, 1, 2},
        {"lWeapon", 3, 3, 3},
        {"lWeapon", 2, 4, 4},
        {"sWeapon", 1, 1, 8},
        {"pdWeapon", 1, 1, 4},
        {"shieldFlavor", 2},
        {"armor", 20}},
       Numbered, {"Sand Lancer "}},

      {107, 3, 54, {{"eng", 6}}, Numbered, {"Syndic Porter "}},
      {107, 1, 52, {{"eng", 17}, {"generator", 10, 1, 2}, {"lWeapon", 13, 1, 2}, {"shieldFlavor", 8}}, Fixed,
       {"Magma Consul"}},

      {108, 4, 71, {{"eng", 4}, {"hypEng", 4}}, Picked, {"Reedwalker", "Mistwader", "Fenlight", "Bogstrider"}},

      {109, 1, 89,
       {{"eng", 17},
        {"lWeapon", 13, 1, 5},
        {"sWeapon", 9, 1, 3},
        {"sWeapon", 8, 4, 5},
        {"sWeapon", 7, 6, 6},
        {"pdWeapon", 9, 1, 2},
        {"generator", 10, 1, 2},
        {"eleOrd", 40000},
        {"fuel", 700},
        {"startTag", 9}},
       Fixed, {"Aegis Protector"}},
      {109, 1, 93,
       {{"eng", 17},
        {"lWeapon", 13, 1, 8},
        {"sWeapon", 9, 1, 15},
        {"pdWeapon", 9, 1, 4},
        {"generator", 10, 1, 2},
        {"troops", 4000},
        {"fuel", 1200},
        {"startTag", 9}},
       Fixed, {"Citadel Transport"}},

      {110, 1, 111, {{"eng", 5}, {"hypEng", 10}}, Fixed, {"Hymn of Dawn"}},
      {110, 1, 118, {{"eng", 5}, {"hypEng", 10}}, Fixed, {"Chorus Eternal"}},
      {110, 2, 123, {{"eng", 5}, {"hypEng", 10}}, Picked, {"First Cantor", "Second Cantor"}},

      {111, 1, 97,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 1}, {"eleOrd", 400}, {"fuel", 750}, {"armor", 900},
        {"troops", 10}},
       Fixed, {"Ark Providence"}},
      {111, 1, 98,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 1}, {"eleOrd", 500}, {"fuel", 250}, {"armor", 1100},
        {"damageHull", 90}, {"troops", 10}},
       Fixed, {"Ark Steadfast"}},
      {111, 1, 99,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 1}, {"fuel", 150}, {"eleOrd", 100}, {"armor", 400},
        {"damageHull", 15}, {"troops", 100}},
       Fixed, {"Ark Fortitude"}},
      {111, 1, 100,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 3}, {"fuel", 350}, {"eleOrd", 100}, {"armor", 1900},
        {"troops", 10}, {"damageHull", 57}, {"colonists", 10000}},
       Fixed, {"Ark Harvest"}},
      {111, 1, 101,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 4}, {"eleOrd", 500}, {"fuel", 2350}, {"armor", 1500},
        {"troops", 100}, {"colonists", 10000}, {"damageHull", 75}},
       Fixed, {"Ark Covenant"}},
      {111, 1, 102,
       {ARK_SHIP, {"startTag", 2}, {"eleOrd", 500}, {"armor", 500}, {"fuel", 2350}, {"eleFix", 0},
        {"colonists", 0.9, 1, 1, V::PopulationShare}, {"cash", 0, 1, 1, V::HomeCash}, {"eleFood", 500},
        {"damageHull", 65}},
       Fixed, {"Ark Haven"}},
      {111, 1, 103,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 2}, {"eleOrd", 500}, {"fuel", 1350}, {"armor", 340},
        {"colonists", 15000}, {"damageHull", 85}, {"highGuard", 1000}},
       Fixed, {"Ark Meridian"}},
      {111, 1, 104,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 2}, {"eleOrd", 500}, {"fuel", 450}, {"armor", 240},
        {"colonists", 1000}, {"damageHull", 85}},
       Fixed, {"Ark Pilgrim"}},
      {111, 1, 105,
       {ARK_SHIP, {"eleFix", 0}, {"startTag", 2}, {"eleOrd", 500}, {"fuel", 1450}, {"armor", 240},
        {"eleFood", 2000}, {"colonists", 98}, {"damageHull", 73}},
       Fixed, {"Ark Lantern"}},
      {111, 1, 106,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"startTag", 2}, {"eleOrd", 500}, {"fuel", 2450}, {"armor", 240},
        {"troops", 100}, {"colonists", 0.1, 1, 1, V::PopulationShare}, {"damageHull", 73}},
       Fixed, {"Ark Tillage"}},
      {111, 1, 107,
       {ARK_SHIP, {"startTag", 2}, {"eleOrd", 500}, {"fuel", 450}, {"armor", 240}, {"eleFix", 0}, {"eleFood", 0},
        {"colonists", 0}, {"damageHull", 78}},
       Fixed, {"Ark Wayfarer"}},
      {111, 1, 108,
       {ARK_SHIP, {"eleFix", 0}, {"eleFood", 0}, {"colonists", 0}, {"startTag", 2}, {"eleOrd", 500}, {"fuel", 450},
        {"armor", 140}, {"troops", 100}, {"damageHull", 90}},
       Fixed, {"Ark Sentinel"}},
      {111, 1, 109,
       {ARK_SHIP, {"colonists", 0}, {"damageHull", 0}, {"startTag", 10}, {"eleOrd", 30000}, {"troops", 1000},
        {"crew", 2300}, {"fuel", 1450}, {"armor", 2000}, {"eleFix", 150}, {"eleFood", 200}},
       Fixed, {"Ark Sovereign"}},
      {111, 1, 110,
       {ARK_SHIP, {"startTag", 1}, {"eleOrd", 30}, {"fuel", 110}, {"armor", 100}, {"eleFix", 0}, {"colonists", 0},
        {"damageHull", 0}},
       Fixed, {"Ark Tender"}},
      {111, 4, 0, {{"count", 0, 1, 2}, {"count", 50, 3, 3}}, Picked,
       {"Outrider Wing Alpha", "Outrider Wing Beta", "Outrider Wing Gamma", "Outrider Wing Delta"},
       GroupBuild::Wings},

      {802, 3, 434, {{"eng", 17}, {"shieldFlavor", 6}}, Numbered, {"Reaver Raider "}},
      {802, 1, 438, {{"eng", 0}}, Fixed, {"Bloodtide Hulk"}},
      {802, 2, 435, {{"eng", 16}, {"shieldFlavor", 6}}, Numbered, {"Reaver Skiff "}},

      {803, 4, 458,
       {{"eng", 17},
        {"shieldFlavor", 6},
        {"lWeapon", 10, 1, 3},
        {"lWeapon", 16, 4, 4},
        {"pdWeapon", 10, 1, 4},
        {"generator", 10, 1, 1}},
       Fixed, {"Monolith Shard"}},
      {803, 2, 18, {{"eng", 17}}, Fixed, {"Monolith Shard"}},

      {804, 4, 400, {{"eng", 17}, {"shieldFlavor", 6}}, Numbered, {"Compact Hauler "}},
      {804, 2, 403, {{"eng", 17}, {"shieldFlavor", 6}}, Numbered, {"Compact Picket "}},

      {805, 4, 19, {{"eng", 12}}, Numbered, {"Warren Runner "}},
      {805, 1, 423, {{"eng", 17}, {"lWeapon", 13, 1, 3}, {"lWeapon", 2, 4, 4}, {"generator", 5, 1, 1}}, Fixed,
       {"Burrowmother"}},

      {806, 1, 522, {{"lWeapon", 0, 1, 20}, {"shieldFlavor", 0}}, Fixed, {"Sodality Spire"}},
      {806, 3, 516,
       {{"eng", 19},
        {"lWeapon", 13, 1, 4},
        {"sWeapon", 10, 1, 4},
        {"pdWeapon", 9, 1, 1},
        {"pdWeapon", 8, 2, 2},
        {"pdWeapon", 10, 3, 3},
        {"pdWeapon", 7, 4, 4},
        {"pdWeapon", 6, 5, 5},
        {"pdWeapon", 5, 6, 6},
        {"generator", 5, 1, 1},
        {"startTag", 9}},
       Picked, {"Azure Verity", "Azure Mercy", "Azure Resolve"}, GroupBuild::OneBuild},

      {808, 2, 600, {{"eng", 20}}, Numbered, {"Tide Skimmer "}},
      {808, 1, 604, {{"eng", 20}, {"lWeapon", 13, 1, 6}}, Fixed, {"Undertow"}},

      {810, 2, 510, {{"eng", 20}, {"sWeapon", 10, 1, 2}, {"pdWeapon", 8, 1, 3}, {"pdWeapon", 7, 4, 6}}, Numbered,
       {"Swarm Lancet "}},
      {810, 1, 504, {{"eng", 6}, {"pdWeapon", 10, 1, 7}, {"sWeapon", 10, 1, 3}, {"generator", 5, 1, 1}}, Fixed,
       {"Brood Queen"}},

      {811, 1, 527,
       {{"eng", 17}, {"generator", 4, 1, 1}, {"pdWeapon", 3, 1, 4}, {"sWeapon", 3, 1, 4}, {"startTag", 3}},
       Fixed, {"Prism Forge"}},
      {811, 2, 529,
       {{"eng", 17},
        {"pdWeapon", 3, 1, 8},
        {"generator", 4, 1, 1},
        {"sWeapon", 3, 1, 5},
        {"lWeapon", 4, 1, 1},
        {"lWeapon", 9, 2, 4},
        {"startTag", 5}},
       Picked, {"Glass Sentinel", "Glass Warden"}, GroupBuild::OneBuild},
      {811, 1, 526, {{"eng", 17}, {"hypEng", 1}, {"startTag", 2}}, Fixed, {"Shard Courier"}},

      {ANY_OTHER_RACE, 3, 19, {{"eng", 17}}, Numbered, {"Scout "}},
      {ANY_OTHER_RACE, 1, 18, {{"eng", 17}}, Fixed, {"Pathfinder"}},
  };
  return table;
}

#undef ARK_SHIP

std::vector<const FleetGroup*> FleetOfRace(int32_t raceId) {
  std::vector<const FleetGroup*> own, other;
  for (const FleetGroup& g : StandardFleetTable()) {
    if (g.raceId == raceId) own.push_back(&g);
    if (g.raceId == ANY_OTHER_RACE) other.push_back(&g);
  }
  return own.empty() ? other : own;
}

const FleetGroup& ExtraFreighterGroup() {
  static const FleetGroup group{ANY_OTHER_RACE, 3, 18, {{"eng", 17}}, Numbered, {"Freighter "}};
  return group;
}

bool GetsExtraFreighters(int32_t raceId) { return raceId != 108 && raceId != 111 && raceId != 811; }

std::span<const BaseAdjustment> HomeBaseAdjustments() {
  using enum BaseChange;
  // 1599: PODPAD, AABASE, MILSPACEPORT, ENGINEPLANT, ASSAULTPLANT, FIGHTERPLANT,
  // ORDPLANT, WEAPONFACTORY. 1535: bits 0 to 8 and 10. 3870: AABASE, MILSPACEPORT,
  // ENGINEPLANT, ASSAULTPLANT, BASESHIELD, ORDPLANT, WEAPONFACTORY, PARTSFACTORY.
  static constexpr BaseAdjustment ADJUSTMENTS[] = {
      {101, Add, "eleS", 1, 2000},
      {101, Add, "cash", 1, 1000},

      {105, Set, "terraformer", 1, 0},
      {105, Set, "smelter", 1, 0},
      {105, Draw, "crew", 1, 1000, 3000},
      {105, Set, "antiAir", 1, 0},
      {105, Set, "training", 1, 0},
      {105, Set, "ionCannon", 1, 0},
      {105, Set, "city", 1, 0},
      {105, Set, "farm", 1, 0},
      {105, Set, "factory", 1, 100},
      {105, SetAt, "", 1, 10, 344},
      {105, Set, "mine", 1, 10},
      {105, Set, "structures", 1, 1599},

      {106, Set, "raceStruct1", 1, 1},
      {106, Set, "eng", 16, 20},
      {106, Set, "hyp", 6, 20},
      {106, Add, "eleS", 1, 1000},

      {107, Set, "farm", 1, 0},
      {107, Set, "scanner", 1, 0},
      {107, Set, "structures", 1, 1535},
      {107, Set, "eleOrd", 1, 20010},
      {107, Set, "eleFood", 1, 5000},
      {107, Set, "eleFix", 1, 6050},
      {107, Set, "raceStruct1", 1, 100},
      {107, Set, "raceStruct2", 1, 1},
      {107, Set, "raceStruct3", 1, 2},

      {108, Set, "raceStruct1", 1, 1},
      {108, Set, "eng", 16, 20},
      {108, Set, "hyp", 6, 20},
      {108, Add, "eleS", 1, 1000},

      {109, PopulationPart, "native", 6, 10, 50000},
      {109, Add, "eleS", 1, 1000},
      {109, Set, "raceStruct1", 1, 1},

      {805, Set, "raceStruct2", 1, 1},
      {806, Set, "structures", 1, 3870},
      {808, Set, "raceStruct1", 1, 4},
      {811, Set, "terraformer", 1, 0},
  };
  return ADJUSTMENTS;
}

}  // namespace tarvik
