// The data forge: writes race modules, ship packs, map files and main data files in
// the program's own binary formats from compact descriptions, so that tests and the
// sample game can build complete game folders. Every stored name goes through
// ScrambleName exactly as the readers expect it.
//
// Each Build... function returns the file's bytes (tests may alter them to make
// damaged files); each Write... function writes those bytes to a path, creating the
// parent folders. Positions written inside the files are 1-based.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvik::forge {

// ---- The forge's own deterministic generator (SplitMix64) --------------------------
class ForgeRandom {
 public:
  explicit ForgeRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform integer in lo..hi (inclusive).
  int Range(int lo, int hi);
  // Uniform in [0, 1).
  double Unit();

 private:
  uint64_t state_;
};

// ---- Race modules ---------------------------------------------------------------
struct RaceModuleRecipe {
  int32_t raceId = 1;
  int32_t revision = 1;
  std::string name = "Test Race";  // plain; stored scrambled under nameKey
  int16_t nameKey = 0x35;
  std::vector<int16_t> requiredHulls;  // up to 40 entries; the rest are 0
  // Seed of the carried (uninterpreted) bytes of the seven records; 0 leaves them zero.
  uint32_t carriedSeed = 0;
};

// Where the forge put things inside a race module (1-based positions).
struct RaceModuleLayoutInfo {
  int32_t directoryPos = 0;
  int32_t raceRecordPos = 0;
  std::array<int32_t, 3> unitRecordPos{};
  std::array<int32_t, 3> extraRecordPos{};
  int32_t fileLength = 0;
};

// The three record kinds exactly as the module stores them (names scrambled).
std::vector<uint8_t> BuildRaceRecord(const RaceModuleRecipe& desc);
std::vector<uint8_t> BuildRaceUnitRecord(const RaceModuleRecipe& desc, int k);   // k = 1..3
std::vector<uint8_t> BuildRaceExtraRecord(const RaceModuleRecipe& desc, int k);  // k = 1..3

std::vector<uint8_t> BuildRaceModule(const RaceModuleRecipe& desc, RaceModuleLayoutInfo* info = nullptr);
void WriteRaceModule(const std::string& path, const RaceModuleRecipe& desc);

// ---- Ship packs -------------------------------------------------------------------
struct HullRecipe {
  int hullType = 1;  // stored as int16 in the hull table
  std::string name = "Hull";
  int16_t nameKey = 10;
  int16_t hugeWeaponMask = 0;
  int16_t pdWeaponSlots = 0;
  int16_t lWeaponSlots = 0;
  int16_t sWeaponSlots = 0;
  int32_t fuelCapacity = 100;
  int16_t generatorSlots = 0;
  int32_t crewCapacity = 10;
  int32_t passengerCapacity = 0;
  int32_t armorCapacity = 0;
  std::array<int32_t, 3> hullValues{};
  int32_t cargoCapacity = 0;
  int32_t ordnanceCapacity = 0;
  int32_t fixCapacity = 0;
  // Seed of the unnamed fields of the record; 0 leaves them zero.
  uint32_t carriedSeed = 0;
};

struct ShipPackRecipe {
  int32_t packId = 1;
  int32_t revision = 1;
  std::vector<HullRecipe> hulls;  // hull table entries in this order
};

struct ShipPackLayoutInfo {
  int32_t tablePos = 0;                 // T
  std::vector<int32_t> entryPositions;  // E of entry k (k-1 in the vector)
  std::vector<int32_t> recordPositions; // Q of entry k
  int32_t fileLength = 0;
};

// The 190-byte hull record as stored (name scrambled).
std::vector<uint8_t> BuildHullRecord(const HullRecipe& hull);
std::vector<uint8_t> BuildShipPack(const ShipPackRecipe& desc, ShipPackLayoutInfo* info = nullptr);
void WriteShipPack(const std::string& path, const ShipPackRecipe& desc);

// ---- Map files --------------------------------------------------------------------
struct MapPlanetRecipe {
  int16_t x = 0;
  int16_t y = 0;
  int16_t star = 0;
  std::string name;  // plain text, blank-padded to 40
};

struct MapRecipe {
  std::string numberText = "    ";  // the 4 characters at offset 29
  std::vector<MapPlanetRecipe> planets;
};

struct MapLayoutInfo {
  int32_t coordinatePos = 0;
  int32_t namePos = 0;
  int32_t fileLength = 0;
};

// `count` planets scattered uniformly in the square of side `size` centred on
// (centerX, centerY), no two closer than `minDistance` where that can be kept, star
// values 1..9 and generated names; the same seed gives the same map.
MapRecipe GenerateMap(int count, int centerX, int centerY, int size, uint64_t seed, int minDistance = 20);

std::vector<uint8_t> BuildMapFile(const MapRecipe& desc, MapLayoutInfo* info = nullptr);
void WriteMapFile(const std::string& path, const MapRecipe& desc);

// ---- Main data files ----------------------------------------------------------------
struct DataFileRecipe {
  size_t bodySize = 4096;  // bytes after offset 100
  uint32_t seed = 1;       // body content
};

std::vector<uint8_t> BuildDataFile(const DataFileRecipe& desc);
void WriteDataFile(const std::string& path, const DataFileRecipe& desc);

// ---- Whole game folders -------------------------------------------------------------
template <typename T>
struct Named {
  std::string fileName;  // name inside its folder, e.g. "humans.rce"
  T desc;
};

struct GameFolderRecipe {
  std::vector<Named<RaceModuleRecipe>> races;    // races/
  std::vector<Named<ShipPackRecipe>> shipPacks;  // ships/
  std::vector<Named<MapRecipe>> maps;            // data/
  std::vector<Named<DataFileRecipe>> dataFiles;  // data/
  std::vector<Named<std::string>> scripts;     // scripts/, file text
};

// Writes the folders races/, ships/, data/ and scripts/ (always made, even when empty)
// below `root` and every file of the description.
void WriteGameFolder(const std::string& root, const GameFolderRecipe& desc);

// ---- The bundled sample game ----------------------------------------------------------
// Races 101..111 and 802..811, ship packs for hull types 1..125 and every starting-fleet
// hull, the stock maps, one custom map and a main data file. Deterministic.
GameFolderRecipe SampleGame();
void WriteSampleGame(const std::string& root);

// ---- Byte helpers for making damaged files in tests -------------------------------------
void PokeI16(std::vector<uint8_t>& bytes, size_t offset, int16_t value);
void PokeI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace tarvik::forge
