// The shared tables of the universe being built (UniverseTables): player tables, the
// races in play, the ship pack list, the game settings and the object tables with the
// universe counters. Limits are fixed; every index is 1-based and checked.
#pragma once

#include <cstdint>
#include <string>

#include "universe/table.h"

namespace tarvik {

inline constexpr int MAX_OBJECTS = 20000;
inline constexpr int MAX_PLAYERS = 30;
inline constexpr int MAX_RACES = 300;
inline constexpr int MAX_SHIP_PACKS = 40;
inline constexpr int HOST_SLOTS = 12;
inline constexpr int MAP_PREVIEW_MAX = 10000;
inline constexpr int MIN_PLAYER_COUNT = 2;

// ObjectKind codes stored in objectKind.
namespace ObjectKind {
inline constexpr int PLANET = 1;
inline constexpr int BASE = 10;
inline constexpr int ASSAULT_POD = 13;
inline constexpr int CON_POD = 14;
inline constexpr int GOLD_POD = 15;
inline constexpr int WRECKAGE = 16;
inline constexpr int LIFE_POD = 17;
inline constexpr int NATIVE_POD = 18;
inline constexpr int ORE_POD = 19;
inline constexpr int OUTFIT_POD = 20;
inline constexpr int RESUPPLY_POD = 21;
inline constexpr int THING = 22;
inline constexpr int WING = 23;
inline constexpr int BUOY = 999;
inline constexpr int SHIP = 1000;       // plus the hull type
inline constexpr int MINEFIELD = 30000;  // and up: flavor and radius
}  // namespace ObjectKind

// Minefield kind code from flavor and radius: 30000, 30500, 31000, 31500 for flavor
// 1, 2, 4, 8, plus the smaller of radius - 1 and 499; any other flavor gives 0.
int MinefieldKindCode(int flavor, int radius);

// A race in play, or a kept ship pack: an identifier, its revision and the file stem
// (8 bytes, NUL-padded).
struct PackEntry {
  int32_t id = 0;
  int32_t revision = 0;
  std::string fileStem = std::string(8, '\0');
  // For a race in play: the race module list entry it was taken from.
  int32_t sourceEntry = 0;
};

// The object tables of the universe file being built. While an object store is open it
// is the one that changes them: at close it writes back only the entries it changed
// (those of the identifiers it stored and of the map-list slots it filled).
struct ObjectTables {
  Table<int16_t, MAX_OBJECTS> mapListX;
  Table<int16_t, MAX_OBJECTS> mapListId;
  Table<int16_t, MAX_OBJECTS> objectX;
  Table<int16_t, MAX_OBJECTS> objectY;
  Table<int16_t, MAX_OBJECTS> objectKind;
};

struct UniverseCounters {
  int32_t tableBase = 0;
  int32_t serialCounter = 0;
  int32_t lastPlanetId = 0;
  int32_t objectCount = 0;
  int32_t dataEnd = 0;
  int32_t objectTablesPos = 0;
  int32_t indexPos = 0;
  int32_t recordsPos = 0;
};

struct UniverseTables {
  // Player tables, slots 1..30.
  Table<int16_t, MAX_PLAYERS> playerActive;
  Table<int16_t, MAX_PLAYERS> playerRace;
  Table<int16_t, MAX_PLAYERS> playerGameRace;
  Table<int32_t, MAX_PLAYERS> playerMoney;
  Table<int32_t, MAX_PLAYERS> exoticA;
  Table<int32_t, MAX_PLAYERS> exoticB;
  Table<int32_t, MAX_PLAYERS> homeX;
  Table<int32_t, MAX_PLAYERS> homeY;
  int32_t playerCount = 12;

  // The distinct races in play, in order of first use (id = raceId).
  Table<PackEntry, MAX_PLAYERS> gameRaceList;
  // The kept ship packs (id = packId; 0 = free slot).
  Table<PackEntry, MAX_SHIP_PACKS> shipPackList;

  // Game settings.
  std::string gameName;
  std::string hostName;
  std::string rstName;
  int32_t gameId = 0;
  int32_t galMoney = 0;
  bool scriptTech = false;
  int32_t techPlanet = 0, techLarge = 0, techSmall = 0, techPd = 0, techGen = 0, techEngine = 0, techHull = 0,
          techHyp = 0, techShield = 0;
  int32_t mapKindCode = 0;
  int32_t mapCX = 0, mapCY = 0, mapRadius = 0;
  std::string dataFilePath;
  std::string universeFilePath;
  // Creation date and time of the last universe file, for the slot records.
  std::string universeTimeStamp;

  ObjectTables objects;
  UniverseCounters counters;

  // The universe file WriteUniverseFile made last, and the steady span's number
  // (SteadyFoldersEpoch) just after it was made; 0 when there is none. While that
  // number stands, the program has changed no file since and nothing else has (the
  // span's premise): the file is exactly as written, its object tables and index all
  // zeros.
  std::string writtenUniversePath;
  uint64_t writtenUniverseEpoch = 0;
};

}  // namespace tarvik
