// The bundled sample game: made the same way every time, listed at start-up with its
// race names, and complete enough that every race's starting fleet finds its hulls.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "app/startup.h"
#include "base/errors.h"
#include "base/text.h"
#include "forge/forge.h"
#include "packs/data_files.h"
#include "packs/map_files.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "test_support.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// The hull types of each race's starting fleet, the three extra freighters (hull 18)
// included for the races that receive them.
const std::map<int, std::set<int>>& FleetHulls() {
  static const std::map<int, std::set<int>> m = {
      {101, {19, 6, 18}},    {102, {19, 45, 18}},   {103, {65, 18}},       {104, {19, 41, 18}},
      {105, {87, 84, 18}},   {106, {26, 28, 32, 18}}, {107, {54, 52, 18}}, {108, {71}},
      {109, {89, 93, 18}},   {110, {111, 118, 123, 18}},
      {111, {97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}},
      {802, {434, 438, 435, 18}}, {803, {458, 18}}, {804, {400, 403, 18}}, {805, {19, 423, 18}},
      {806, {522, 516, 18}}, {807, {19, 18}},     {808, {600, 604}},     {809, {19, 18}},
      {810, {510, 504, 18}}, {811, {527, 529, 526}},
  };
  return m;
}

class SampleGame : public ::testing::Test {
 protected:
  void SetUp() override { forge::WriteSampleGame(t.dir.path()); }
  Session& s() { return t.s(); }
  test::TestSession t;
};

TEST(SampleGameRecipe, WritesTheSameBytesEveryTime) {
  test::TempDir a, b;
  forge::WriteSampleGame(a.path());
  forge::WriteSampleGame(b.path());
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(a.path())) {
    if (!e.is_regular_file()) continue;
    std::string rel = fs::relative(e.path(), a.path()).string();
    EXPECT_EQ(a.Read(rel), b.Read(rel)) << rel;
    ++files;
  }
  EXPECT_EQ(files, 22 + 4 + 4 + 1);
  EXPECT_TRUE(fs::is_directory(a.path() + "scripts"));
}

TEST_F(SampleGame, StartUpListsEveryRaceWithItsName) {
  // Without a command line and without a display, start-up ends after its listing steps.
  EXPECT_THROW(Main(s()), ProgramEnd);
  const PackState& p = s().packs;
  ASSERT_EQ(p.raceCount, 21);
  ASSERT_EQ(p.raceListItems.size(), 21u);
  std::set<int> ids;
  for (int e : p.raceListItems) {
    const RaceModuleEntry& r = p.raceList[e];
    ids.insert(r.raceId);
    EXPECT_EQ(r.raceName.size(), 44u);
    EXPECT_NE(TrimBlanks(r.raceName), "") << r.raceId;
    for (char c : r.raceName) EXPECT_TRUE(c >= 32 && c < 127) << r.raceId;
  }
  EXPECT_EQ(ids.size(), 21u);
  EXPECT_EQ(*ids.begin(), 101);
  EXPECT_EQ(*ids.rbegin(), 811);
  EXPECT_EQ(p.selectedRaceItem, 0);
  EXPECT_EQ(p.selectedRaceIndex, 1);
  // Of the two revisions of race 103 the newer one is listed.
  for (int e : p.raceListItems) {
    if (p.raceList[e].raceId == 103) {
      EXPECT_EQ(p.raceList[e].revision, 2);
      EXPECT_EQ(TrimBlanks(p.raceList[e].raceName), "Quorrath Swarm");
    }
  }
  EXPECT_EQ(s().tables.dataFilePath, s().paths.dataDir + "main.dat");
  EXPECT_EQ(s().map.defaultMapFile, s().paths.dataDir + "echo.map");
}

TEST_F(SampleGame, EveryRaceRequiresItsFleetHullsAndThePacksProvideThem) {
  ListRaceModules(s());
  ASSERT_EQ(s().packs.raceCount, 21);
  for (int e = 1; e <= 21; ++e) {
    int id = s().packs.raceList[e].raceId;
    ReadRaceRecord(s(), e);
    std::set<int> required;
    for (int i = 1; i <= 40; ++i) required.insert(s().packs.scratchRace.Get("requiredHulls", i));
    ASSERT_TRUE(FleetHulls().count(id)) << id;
    for (int h : FleetHulls().at(id)) EXPECT_TRUE(required.count(h)) << "race" << id << " hull " << h;
    s().tables.playerRace[e] = static_cast<int16_t>(e);
  }
  LoadShipPacks(s());
  EXPECT_NO_THROW(ValidateRaceHulls(s()));
  EXPECT_TRUE(t.ui.messages.empty());
  for (int h = 1; h <= 125; ++h) EXPECT_TRUE(HullKnown(s(), h) && s().packs.hullIndex[h].kept) << h;
  for (const auto& [id, hulls] : FleetHulls()) {
    for (int h : hulls) EXPECT_TRUE(HullKnown(s(), h) && s().packs.hullIndex[h].kept) << h;
  }
  int kept = 0;
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) kept += s().tables.shipPackList[i].id != 0;
  EXPECT_EQ(kept, 4);
}

TEST_F(SampleGame, HullsFitTheShipArraysAndShowTheConstructionRules) {
  LoadShipPacks(s());
  for (int h = 1; h <= MAX_HULL_TYPE; ++h) {
    if (!HullKnown(s(), h) || !s().packs.hullIndex[h].kept) continue;
    LoadHull(s(), h);
    const Record& r = s().packs.scratchHull;
    EXPECT_GE(r.Get("pdWeaponSlots"), 0);
    EXPECT_LE(r.Get("pdWeaponSlots"), 10) << h;
    EXPECT_LE(r.Get("lWeaponSlots"), 20) << h;
    EXPECT_LE(r.Get("sWeaponSlots"), 30) << h;
    EXPECT_LE(r.Get("generatorSlots"), 5) << h;
    std::string name = r.Text("hullName");
    EXPECT_NE(TrimBlanks(name), "") << h;
    for (char c : name) EXPECT_TRUE(c >= 32 && c < 127) << h;
  }
  LoadHull(s(), 1);
  EXPECT_EQ(s().packs.scratchHull.Get("cargoCapacity"), 100);
  EXPECT_EQ(s().packs.scratchHull.Get("passengerCapacity"), 250);
  EXPECT_EQ(s().packs.scratchHull.Get("fuelCapacity"), 5);
  LoadHull(s(), 3);
  EXPECT_EQ(s().packs.scratchHull.Get("hugeWeaponMask"), 12);
  // Race 105's flagship mounts 30 small weapons.
  LoadHull(s(), 87);
  EXPECT_EQ(s().packs.scratchHull.Get("sWeaponSlots"), 30);
}

TEST_F(SampleGame, StockMapsHaveTheirPlanetCountsAndExtents) {
  struct Expect {
    const char* file;
    size_t count;
    int cx, cy, half;
  };
  for (const Expect& e : {Expect{"echo.map", 500, 2000, 2000, 1000}, Expect{"epsilon.map", 688, 2500, 2500, 1500}}) {
    std::string path = s().paths.dataDir + e.file;
    ASSERT_TRUE(IsMapFile(path)) << e.file;
    MapFile m = ReadMapFile(path);
    ASSERT_EQ(m.status, MapFileStatus::kOk) << e.file;
    ASSERT_EQ(m.planets.size(), e.count) << e.file;
    int minX = 1 << 20, maxX = -(1 << 20);
    for (const MapPlanet& p : m.planets) {
      EXPECT_LE(std::abs(p.x - e.cx), e.half) << e.file;
      EXPECT_LE(std::abs(p.y - e.cy), e.half) << e.file;
      minX = std::min<int>(minX, p.x);
      maxX = std::max<int>(maxX, p.x);
    }
    // Spread over the whole square, not bunched in a corner.
    EXPECT_GT(maxX - minX, e.half * 3 / 2) << e.file;
  }
  for (const char* name : {"ECHO", "EPSILON", "ZETAGAL", "NEBULA"}) {
    SetScriptMapFile(s(), name);
    EXPECT_TRUE(s().script.pendingMapFile) << name;
  }
  EXPECT_TRUE(IsDataFile(s().paths.dataDir + "main.dat"));
}

}  // namespace
}  // namespace tarvik
