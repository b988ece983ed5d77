#include "forge/forge.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unordered_map>

#include "base/bytes.h"
#include "base/text.h"
#include "packs/data_files.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/files.h"

namespace tarvik::forge {

namespace {

// Where the forge places the parts of its files (0-based offsets).
constexpr size_t RACE_DIRECTORY_OFFSET = 512;
constexpr size_t RACE_DIRECTORY_SIZE = 100;
constexpr size_t RACE_RECORDS_OFFSET = 640;
constexpr size_t PACK_TABLE_OFFSET = 512;
constexpr size_t MAP_LISTS_OFFSET = 128;

constexpr size_t RACE_RECORD_SIZE = 622;
constexpr size_t RACE_UNIT_SIZE = 98;
constexpr size_t RACE_EXTRA_SIZE = 74;
constexpr size_t HULL_RECORD_SIZE = 190;

// Fills bytes with a deterministic pattern; seed 0 leaves them zero.
void FillCarried(std::vector<uint8_t>& bytes, uint32_t seed, uint64_t salt) {
  if (seed == 0) return;
  ForgeRandom r(uint64_t(seed) * 0x9E3779B97F4A7C15ull ^ salt);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(r.Next() >> 56);
}

void PutText(std::vector<uint8_t>& bytes, size_t offset, std::string_view text) {
  std::memcpy(bytes.data() + offset, text.data(), text.size());
}

// A name blank-padded to `len` and scrambled under `key`, as records store names.
std::string StoredName(std::string_view name, int key, size_t len) {
  std::string s = FixedText(name, len);
  ScrambleName(key, s);
  return s;
}

// The beginning that race modules and ship packs share: the header literal, the race or
// pack identifier, its revision and the position of the directory or hull table.
void WritePackStart(ByteWriter& w, std::string_view header, int32_t id, int32_t revision, size_t indexOffset) {
  w.Text(0, header);
  w.I32(400, id);
  w.I32(404, revision);
  w.I32(449, static_cast<int32_t>(indexOffset + 1));
}

void EnsureParent(const std::string& path) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
}

}  // namespace

// ---- ForgeRandom ----------------------------------------------------------------------

uint64_t ForgeRandom::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int ForgeRandom::Range(int lo, int hi) {
  if (hi <= lo) return lo;
  uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo + 1);
  return static_cast<int>(lo + static_cast<int64_t>(Next() % span));
}

double ForgeRandom::Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

// ---- Race modules ---------------------------------------------------------------------

std::vector<uint8_t> BuildRaceRecord(const RaceModuleRecipe& desc) {
  if (desc.requiredHulls.size() > 40) throw std::invalid_argument("a race lists at most 40 required hulls");
  std::vector<uint8_t> rec(RACE_RECORD_SIZE, 0);
  FillCarried(rec, desc.carriedSeed, 0x100);
  PutText(rec, 8, StoredName(desc.name, desc.nameKey, 44));
  PutI16(rec.data() + 132, desc.nameKey);
  for (size_t i = 0; i < 40; ++i) {
    int16_t h = i < desc.requiredHulls.size() ? desc.requiredHulls[i] : 0;
    PutI16(rec.data() + 298 + 2 * i, h);
  }
  return rec;
}

std::vector<uint8_t> BuildRaceUnitRecord(const RaceModuleRecipe& desc, int k) {
  std::vector<uint8_t> rec(RACE_UNIT_SIZE, 0);
  FillCarried(rec, desc.carriedSeed, 0x200 + k);
  PutText(rec, 4, FixedText("Unit " + std::to_string(k), 30));
  return rec;
}

std::vector<uint8_t> BuildRaceExtraRecord(const RaceModuleRecipe& desc, int k) {
  std::vector<uint8_t> rec(RACE_EXTRA_SIZE, 0);
  FillCarried(rec, desc.carriedSeed, 0x300 + k);
  PutText(rec, 4, FixedText("Extra " + std::to_string(k), 30));
  return rec;
}

std::vector<uint8_t> BuildRaceModule(const RaceModuleRecipe& desc, RaceModuleLayoutInfo* info) {
  ByteWriter w;
  WritePackStart(w, RACE_MODULE_HEADER, desc.raceId, desc.revision, RACE_DIRECTORY_OFFSET);
  w.Zeros(RACE_DIRECTORY_OFFSET, RACE_DIRECTORY_SIZE);

  RaceModuleLayoutInfo li;
  li.directoryPos = static_cast<int32_t>(RACE_DIRECTORY_OFFSET + 1);
  size_t at = RACE_RECORDS_OFFSET;
  // The race record first, then the unit and extra records: the directory, not the
  // order in the file, says where each one is.
  li.raceRecordPos = static_cast<int32_t>(at + 1);
  std::vector<uint8_t> race = BuildRaceRecord(desc);
  w.Bytes(at, race.data(), race.size());
  at += race.size();
  for (int k = 1; k <= 3; ++k) {
    li.unitRecordPos[k - 1] = static_cast<int32_t>(at + 1);
    std::vector<uint8_t> unit = BuildRaceUnitRecord(desc, k);
    w.Bytes(at, unit.data(), unit.size());
    at += unit.size();
  }
  for (int k = 1; k <= 3; ++k) {
    li.extraRecordPos[k - 1] = static_cast<int32_t>(at + 1);
    std::vector<uint8_t> extra = BuildRaceExtraRecord(desc, k);
    w.Bytes(at, extra.data(), extra.size());
    at += extra.size();
  }
  for (int k = 1; k <= 3; ++k) {
    w.I32(RACE_DIRECTORY_OFFSET + 4 * (k - 1), li.extraRecordPos[k - 1]);
    w.I32(RACE_DIRECTORY_OFFSET + 36 + 4 * (k - 1), li.unitRecordPos[k - 1]);
  }
  w.I32(RACE_DIRECTORY_OFFSET + 96, li.raceRecordPos);
  li.fileLength = static_cast<int32_t>(w.data().size());
  if (info) *info = li;
  return w.data();
}

void WriteRaceModule(const std::string& path, const RaceModuleRecipe& desc) { WriteBytes(path, BuildRaceModule(desc)); }

// ---- Ship packs -----------------------------------------------------------------------

std::vector<uint8_t> BuildHullRecord(const HullRecipe& h) {
  std::vector<uint8_t> rec(HULL_RECORD_SIZE, 0);
  FillCarried(rec, h.carriedSeed, 0x400 + static_cast<uint64_t>(h.hullType));
  uint8_t* p = rec.data();
  PutText(rec, 2, StoredName(h.name, h.nameKey, 40));
  PutI16(p + 48, h.hugeWeaponMask);
  PutI16(p + 56, h.pdWeaponSlots);
  PutI16(p + 58, h.lWeaponSlots);
  PutI16(p + 60, h.sWeaponSlots);
  PutI32(p + 62, h.fuelCapacity);
  PutI16(p + 72, h.generatorSlots);
  PutI32(p + 84, h.crewCapacity);
  PutI32(p + 88, h.passengerCapacity);
  PutI16(p + 92, h.nameKey);
  PutI32(p + 98, h.armorCapacity);
  for (int i = 0; i < 3; ++i) PutI32(p + 134 + 4 * i, h.hullValues[i]);
  PutI32(p + 146, h.cargoCapacity);
  PutI32(p + 150, h.ordnanceCapacity);
  PutI32(p + 154, h.fixCapacity);
  return rec;
}

std::vector<uint8_t> BuildShipPack(const ShipPackRecipe& desc, ShipPackLayoutInfo* info) {
  ByteWriter w;
  WritePackStart(w, SHIP_PACK_HEADER, desc.packId, desc.revision, PACK_TABLE_OFFSET);
  w.I32(453, 0);
  w.I32(457, 0);

  ShipPackLayoutInfo li;
  li.tablePos = static_cast<int32_t>(PACK_TABLE_OFFSET + 1);
  const size_t n = desc.hulls.size();
  w.I32(PACK_TABLE_OFFSET, static_cast<int32_t>(n));
  size_t records = PACK_TABLE_OFFSET + 4 + 10 * n;
  for (size_t k = 0; k < n; ++k) {
    const HullRecipe& h = desc.hulls[k];
    if (h.hullType < -32768 || h.hullType > 32767) throw std::invalid_argument("hull type does not fit 16 bits");
    size_t e = PACK_TABLE_OFFSET + 4 + 10 * k;
    size_t q = records + HULL_RECORD_SIZE * k;
    w.I16(e, static_cast<int16_t>(h.hullType));
    w.I32(e + 2, 0);
    w.I32(e + 6, static_cast<int32_t>(q + 1));
    std::vector<uint8_t> rec = BuildHullRecord(h);
    w.Bytes(q, rec.data(), rec.size());
    li.entryPositions.push_back(static_cast<int32_t>(e + 1));
    li.recordPositions.push_back(static_cast<int32_t>(q + 1));
  }
  if (w.data().size() < records) w.Zeros(0, records);
  li.fileLength = static_cast<int32_t>(w.data().size());
  if (info) *info = li;
  return w.data();
}

void WriteShipPack(const std::string& path, const ShipPackRecipe& desc) { WriteBytes(path, BuildShipPack(desc)); }

// ---- Map files ------------------------------------------------------------------------

namespace {

std::string PlanetName(ForgeRandom& r) {
  static const char* const STARTS[] = {"Ar", "Bel", "Cor", "Dra", "El", "Fen", "Gal", "Hes", "Ix", "Jor",
                                        "Kal", "Lum", "Mor", "Nev", "Ost", "Pra", "Qua", "Ryn", "Sel", "Tor",
                                        "Ul", "Vex", "Wen", "Xan", "Yl", "Zor"};
  static const char* const MIDDLES[] = {"a", "e", "i", "o", "u", "ae", "io", "ar", "en", "ul", "ith", "on"};
  static const char* const ENDS[] = {"n", "s", "x", "th", "ra", "dor", "mir", "vel", "tis", "nox", "lia", "rim"};
  std::string name = STARTS[r.Range(0, 25)];
  name += MIDDLES[r.Range(0, 11)];
  name += ENDS[r.Range(0, 11)];
  int suffix = r.Range(0, 9);
  if (suffix >= 7) name += suffix == 7 ? " Prime" : suffix == 8 ? " Minor" : " II";
  return name;
}

}  // namespace

MapRecipe GenerateMap(int count, int centerX, int centerY, int size, uint64_t seed, int minDistance) {
  ForgeRandom r(seed);
  MapRecipe map;
  map.planets.reserve(static_cast<size_t>(std::max(count, 0)));
  const int half = size / 2;
  const long long minSq = static_cast<long long>(minDistance) * minDistance;
  // Planets placed so far, by grid cell of side minDistance, so that each new one is
  // compared only with its neighbours.
  const int cell = std::max(minDistance, 1);
  std::unordered_map<long long, std::vector<size_t>> grid;
  auto key = [](long long cx, long long cy) { return (cx << 32) ^ (cy & 0xFFFFFFFF); };
  auto clear = [&](const MapPlanetRecipe& p) {
    if (minDistance <= 0) return true;
    long long cx = p.x / cell, cy = p.y / cell;
    for (long long dx = -1; dx <= 1; ++dx) {
      for (long long dy = -1; dy <= 1; ++dy) {
        auto it = grid.find(key(cx + dx, cy + dy));
        if (it == grid.end()) continue;
        for (size_t i : it->second) {
          long long ex = p.x - map.planets[i].x, ey = p.y - map.planets[i].y;
          if (ex * ex + ey * ey < minSq) return false;
        }
      }
    }
    return true;
  };
  for (int i = 0; i < count; ++i) {
    MapPlanetRecipe p;
    for (int attempt = 0; attempt < 50; ++attempt) {
      p.x = static_cast<int16_t>(r.Range(centerX - half, centerX + half));
      p.y = static_cast<int16_t>(r.Range(centerY - half, centerY + half));
      if (clear(p)) break;
    }
    p.star = static_cast<int16_t>(r.Range(1, 9));
    p.name = PlanetName(r);
    grid[key(p.x / cell, p.y / cell)].push_back(map.planets.size());
    map.planets.push_back(p);
  }
  return map;
}

std::vector<uint8_t> BuildMapFile(const MapRecipe& desc, MapLayoutInfo* info) {
  ByteWriter w;
  const size_t n = desc.planets.size();
  const size_t coords = MAP_LISTS_OFFSET;
  const size_t names = coords + 6 * n;
  w.Text(0, MAP_FILE_HEADER);
  w.Text(29, FixedText(desc.numberText, 4));
  w.I32(100, static_cast<int32_t>(n));
  w.I32(104, static_cast<int32_t>(coords + 1));
  w.I32(108, static_cast<int32_t>(names + 1));
  w.Zeros(112, coords - 112);
  for (size_t i = 0; i < n; ++i) {
    const MapPlanetRecipe& p = desc.planets[i];
    w.I16(coords + 6 * i, p.x);
    w.I16(coords + 6 * i + 2, p.y);
    w.I16(coords + 6 * i + 4, p.star);
    w.Text(names + 40 * i, FixedText(p.name, 40));
  }
  if (info) *info = {static_cast<int32_t>(coords + 1), static_cast<int32_t>(names + 1),
                     static_cast<int32_t>(w.data().size())};
  return w.data();
}

void WriteMapFile(const std::string& path, const MapRecipe& desc) { WriteBytes(path, BuildMapFile(desc)); }

// ---- Main data files ------------------------------------------------------------------

std::vector<uint8_t> BuildDataFile(const DataFileRecipe& desc) {
  std::vector<uint8_t> bytes(100 + desc.bodySize, 0);
  PutText(bytes, 0, DATA_FILE_HEADER);
  ForgeRandom r(desc.seed);
  for (size_t i = 100; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(r.Next() >> 56);
  return bytes;
}

void WriteDataFile(const std::string& path, const DataFileRecipe& desc) { WriteBytes(path, BuildDataFile(desc)); }

// ---- Game folders -----------------------------------------------------------------------

void WriteGameFolder(const std::string& root, const GameFolderRecipe& desc) {
  std::filesystem::path base(root);
  for (const char* dir : {"races", "ships", "data", "scripts"}) std::filesystem::create_directories(base / dir);
  for (const auto& r : desc.races) WriteRaceModule((base / "races" / r.fileName).string(), r.desc);
  for (const auto& p : desc.shipPacks) WriteShipPack((base / "ships" / p.fileName).string(), p.desc);
  for (const auto& m : desc.maps) WriteMapFile((base / "data" / m.fileName).string(), m.desc);
  for (const auto& d : desc.dataFiles) WriteDataFile((base / "data" / d.fileName).string(), d.desc);
  for (const auto& t : desc.scripts) {
    WriteBytes((base / "scripts" / t.fileName).string(), std::vector<uint8_t>(t.desc.begin(), t.desc.end()));
  }
}

// ---- Byte helpers -----------------------------------------------------------------------

void PokeI16(std::vector<uint8_t>& bytes, size_t offset, int16_t value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2, 0);
  PutI16(bytes.data() + offset, value);
}

void PokeI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
  if (bytes.size() < offset + 4) bytes.resize(offset + 4, 0);
  PutI32(bytes.data() + offset, value);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  EnsureParent(path);
  WriteWholeFile(path, bytes);
}

}  // namespace tarvik::forge
