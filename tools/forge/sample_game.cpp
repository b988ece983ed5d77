// The recipe of the bundled sample game. Every name and value here is our own
// invention; the generator is the forge's own, with fixed seeds, so the folder comes out
// byte for byte the same on every build.
#include <algorithm>
#include <map>

#include "forge/forge.h"

namespace tarvik::forge {

namespace {

struct SampleRace {
  int32_t id;
  const char* stem;
  const char* name;
  int16_t nameKey;
  std::vector<int16_t> fleetHulls;  // every hull type of the race's starting fleet
  bool extraFreighters;             // whether the race may get the three freighters
};

// Hull 18 is the extra freighter; races 108, 111 and 811 never receive it.
const std::vector<SampleRace>& SampleRaces() {
  static const std::vector<SampleRace> races = {
      {101, "brannock", "Brannock Freeholds", 0x3A, {19, 6}, true},
      {102, "ysolde", "Ysolde Mercantile League", 0x51, {19, 45}, true},
      {103, "quorrath", "Quorrath Swarm", 0x6C, {65}, true},
      {104, "tessalin", "Tessaline Directorate", 0x12, {19, 41}, true},
      {105, "grommel", "Grommel Deepdelvers", 0xE4, {87, 84}, true},
      {106, "ashwind", "Ashwind Nomads", 0x7F, {26, 28, 32}, true},
      {107, "caldera", "Caldera Syndics", 0x2D, {54, 52}, true},
      {108, "mirefolk", "Mirefolk of Oon", 0x99, {71}, false},
      {109, "vantari", "Vantari Protectorate", 0xB3, {89, 93}, true},
      {110, "lumen", "Lumen Choir", 0x08, {111, 118, 123}, true},
      {111, "pellarks", "Wandering Arks of Pell", 0xC1,
       {97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}, false},
      {802, "skarn", "Skarn Reavers", 0x44, {434, 438, 435}, true},
      {803, "halcyon", "Halcyon Monolith", 0x5E, {458, 18}, true},
      {804, "ironhook", "Ironhook Compact", 0xA7, {400, 403}, true},
      {805, "drisk", "Drisk Warrens", 0x1B, {19, 423}, true},
      {806, "cobalt", "Cobalt Sodality", 0xF0, {522, 516}, true},
      {807, "lantern9", "Nine Lanterns", 0x63, {19, 18}, true},
      {808, "hollow", "Hollow Tide", 0x87, {600, 604}, false},
      {809, "zephyr", "Zephyrine Court", 0x2F, {19, 18}, true},
      {810, "kethra", "Kethra Hivemind", 0xD2, {510, 504}, true},
      {811, "glasswr", "Glasswright Union", 0x4B, {527, 529, 526}, false},
  };
  return races;
}

// The mounts a starting-fleet hull must offer so that its fleet's settings fit:
// pd, l, s, generator.
struct Mounts {
  int16_t pd, l, s, gen;
};
const std::map<int, Mounts>& FleetMounts() {
  static const std::map<int, Mounts> m = {
      {45, {0, 2, 0, 4}},  {65, {0, 2, 0, 0}},  {41, {0, 2, 0, 2}},   {87, {0, 4, 30, 4}}, {84, {0, 2, 4, 2}},
      {32, {4, 4, 8, 0}},  {52, {0, 2, 0, 2}},  {89, {2, 5, 6, 2}},   {93, {4, 8, 15, 2}}, {458, {4, 4, 0, 1}},
      {423, {0, 4, 0, 1}}, {522, {0, 20, 0, 0}}, {516, {6, 4, 4, 1}}, {604, {0, 6, 0, 0}}, {510, {6, 0, 2, 0}},
      {504, {7, 0, 3, 1}}, {527, {4, 0, 4, 1}}, {529, {8, 4, 5, 1}},
  };
  return m;
}

const char* const HULL_WORDS[] = {"Amber", "Brisk", "Cinder", "Dusk", "Ember", "Fallow", "Gossamer", "Harrow",
                                  "Inkwell", "Juniper", "Kindle", "Lodestar", "Marrow", "Nettle", "Oriel",
                                  "Pewter", "Quill", "Russet", "Sable", "Thistle", "Umber", "Vesper", "Wicker",
                                  "Yarrow"};
const char* const HULL_ROLES[] = {"Skiff", "Cutter", "Lugger", "Corvette", "Frigate", "Destroyer",
                                  "Cruiser", "Carrier", "Bastion", "Dreadnought"};

HullRecipe SampleHull(int type) {
  ForgeRandom r(0x5A11 + static_cast<uint64_t>(type) * 7919);
  int size = r.Range(0, 9);  // picks the role and scales the capacities
  HullRecipe h;
  h.hullType = type;
  h.name = std::string(HULL_WORDS[r.Range(0, 23)]) + " " + HULL_ROLES[size];
  h.nameKey = static_cast<int16_t>(r.Range(1, 255));
  h.pdWeaponSlots = static_cast<int16_t>(r.Range(0, std::min(10, 1 + size)));
  h.lWeaponSlots = static_cast<int16_t>(r.Range(0, std::min(20, 1 + 2 * size)));
  h.sWeaponSlots = static_cast<int16_t>(r.Range(0, std::min(30, 2 + 3 * size)));
  h.generatorSlots = static_cast<int16_t>(r.Range(0, std::min(5, 1 + size / 2)));
  h.hugeWeaponMask = static_cast<int16_t>(size >= 6 ? r.Range(0, 31) : 0);
  // Odd capacities show the halving, thirding and tie-to-even rounding of new ships.
  h.fuelCapacity = r.Range(20, 200) * (size + 1) + 1;
  h.crewCapacity = r.Range(4, 40) * (size + 1);
  h.passengerCapacity = r.Range(0, 400) * (size + 1) + 5;
  h.armorCapacity = r.Range(10, 120) * (size + 1);
  h.cargoCapacity = r.Range(10, 300) * (size + 1) + 5;
  h.ordnanceCapacity = r.Range(0, 150) * (size + 1) + 1;
  h.fixCapacity = r.Range(0, 90) * (size + 1) + 2;
  h.hullValues = {r.Range(10, 100) * (size + 1), r.Range(50, 900) * (size + 1), r.Range(1, 10)};
  h.carriedSeed = static_cast<uint32_t>(type);
  return h;
}

// Hulls whose capacities are set to show one rule of ship construction each.
void ApplyShowcase(HullRecipe& h) {
  switch (h.hullType) {
    case 1:  // the halving rules: fuel 2.5 rounds to 2, troops 25, colonists 83
      h.name = "Tumbleweed Skiff";
      h.cargoCapacity = 100;
      h.passengerCapacity = 250;
      h.fuelCapacity = 5;
      break;
    case 2:  // troops stop at 1000
      h.name = "Garrison Barge";
      h.passengerCapacity = 20000;
      break;
    case 3:  // lowest allowed huge weapon of mask 12 is 3
      h.name = "Lodestar Lancer";
      h.hugeWeaponMask = 12;
      break;
    case 4:  // mask 32 lies outside the five weapons: none
      h.name = "Hollowpoint Ram";
      h.hugeWeaponMask = 32;
      break;
    case 5:  // every mount array full
      h.name = "Porcupine Bastion";
      h.pdWeaponSlots = 10;
      h.lWeaponSlots = 20;
      h.sWeaponSlots = 30;
      h.generatorSlots = 5;
      h.hugeWeaponMask = 31;
      break;
    case 18:  // the extra freighter
      h.name = "Amberline Freighter";
      h.pdWeaponSlots = 0;
      h.lWeaponSlots = 0;
      h.sWeaponSlots = 1;
      h.generatorSlots = 1;
      h.cargoCapacity = 1200;
      h.passengerCapacity = 600;
      break;
    case 19:
      h.name = "Thistle Courier";
      break;
    default:
      break;
  }
  if (h.hullType >= 97 && h.hullType <= 110) {  // the ark fleet carries a whole colony
    h.fuelCapacity = std::max(h.fuelCapacity, 3001);
    h.armorCapacity = std::max(h.armorCapacity, 2500);
    h.passengerCapacity = std::max(h.passengerCapacity, 500001);
    h.ordnanceCapacity = std::max(h.ordnanceCapacity, 30001);
    h.cargoCapacity = std::max(h.cargoCapacity, 5001);
  }
  auto m = FleetMounts().find(h.hullType);
  if (m != FleetMounts().end()) {
    h.pdWeaponSlots = std::max(h.pdWeaponSlots, m->second.pd);
    h.lWeaponSlots = std::max(h.lWeaponSlots, m->second.l);
    h.sWeaponSlots = std::max(h.sWeaponSlots, m->second.s);
    h.generatorSlots = std::max(h.generatorSlots, m->second.gen);
  }
}

ShipPackRecipe SamplePack(int32_t id, int32_t revision, int first, int last) {
  ShipPackRecipe p;
  p.packId = id;
  p.revision = revision;
  for (int t = first; t <= last; ++t) {
    HullRecipe h = SampleHull(t);
    ApplyShowcase(h);
    p.hulls.push_back(h);
  }
  return p;
}

}  // namespace

GameFolderRecipe SampleGame() {
  GameFolderRecipe g;
  for (const SampleRace& r : SampleRaces()) {
    RaceModuleRecipe m;
    m.raceId = r.id;
    m.revision = 2;
    m.name = r.name;
    m.nameKey = r.nameKey;
    m.requiredHulls = r.fleetHulls;
    if (r.extraFreighters && std::find(m.requiredHulls.begin(), m.requiredHulls.end(), 18) == m.requiredHulls.end()) {
      m.requiredHulls.push_back(18);
    }
    m.carriedSeed = static_cast<uint32_t>(r.id);
    g.races.push_back({std::string(r.stem) + ".rce", m});
  }
  // An older revision of one race beside the newer one: the listing keeps the newer.
  RaceModuleRecipe old = g.races[2].desc;
  old.revision = 1;
  old.name = "Quorrath Brood";
  g.races.push_back({"quorr_v1.rce", old});

  g.shipPacks.push_back({"corehull.spk", SamplePack(1, 3, 1, 125)});
  g.shipPacks.push_back({"rimhulls.spk", SamplePack(2, 1, 400, 460)});
  g.shipPacks.push_back({"deephull.spk", SamplePack(3, 1, 500, 530)});
  g.shipPacks.push_back({"veilhull.spk", SamplePack(4, 1, 600, 610)});

  MapRecipe echo = GenerateMap(500, 2000, 2000, 2000, 0xEC40, 30);
  echo.numberText = "   1";
  MapRecipe zetagal = GenerateMap(420, 2000, 2000, 2600, 0x2E7A, 35);
  zetagal.numberText = "   2";
  MapRecipe epsilon = GenerateMap(688, 2500, 2500, 3000, 0xE951, 40);
  epsilon.numberText = "   5";
  MapRecipe nebula = GenerateMap(150, 1500, 1500, 1200, 0x4EB1, 25);
  g.maps.push_back({"echo.map", echo});
  g.maps.push_back({"epsilon.map", epsilon});
  g.maps.push_back({"zetagal.map", zetagal});
  g.maps.push_back({"nebula.map", nebula});

  g.dataFiles.push_back({"main.dat", DataFileRecipe{.bodySize = 6000, .seed = 0xDA7A}});
  return g;
}

void WriteSampleGame(const std::string& root) { WriteGameFolder(root, SampleGame()); }

}  // namespace tarvik::forge
