// The bundled sample game: made the same way every time, and complete enough that every
// race's starting fleet finds its hulls. (Its race list as start-up shows it is a
// recorded run of the program.)
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "base/text.h"
#include "forge/forge.h"
#include "packs/data_files.h"
#include "packs/map_files.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "script/map_block.h"
#include "test_support.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// The hull types of each race's starting fleet, with the extra freighter (hull 18) for
// the races that receive it.
const std::map<int, std::set<int>> FLEET_HULLS = {
    {101, {19, 6, 18}},   {102, {19, 45, 18}},  {103, {65, 18}},         {104, {19, 41, 18}},    {105, {87, 84, 18}},
    {106, {26, 28, 32, 18}}, {107, {54, 52, 18}}, {108, {71}},           {109, {89, 93, 18}},
    {110, {111, 118, 123, 18}}, {111, {97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}},
    {802, {434, 438, 435, 18}}, {803, {458, 18}}, {804, {400, 403, 18}}, {805, {19, 423, 18}}, {806, {522, 516, 18}},
    {807, {19, 18}},      {808, {600, 604}},    {809, {19, 18}},         {810, {510, 504, 18}},  {811, {527, 529, 526}},
};

bool Printable(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 32 && c < 127; }) && TrimBlanks(text) != "";
}

class SampleGame : public ::testing::Test {
 protected:
  void SetUp() override { forge::WriteSampleGame(t.dir.path()); }
  Session& s() { return t.s(); }
  test::TestSession t;
};

TEST_F(SampleGame, RecipeWritesTheSameBytesEveryTime) {
  test::TempDir again;
  forge::WriteSampleGame(again.path());
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(again.path())) {
    if (!e.is_regular_file()) continue;
    std::string rel = fs::relative(e.path(), again.path()).string();
    EXPECT_EQ(again.Read(rel), t.dir.Read(rel)) << rel;
    ++files;
  }
  EXPECT_EQ(files, 22 + 4 + 4 + 1);  // race modules, ship packs, maps, data file
  EXPECT_TRUE(fs::is_directory(again.path() + "scripts"));
}

TEST_F(SampleGame, EveryRaceRequiresItsFleetHullsAndThePacksProvideThem) {
  ListRaceModules(s());
  ASSERT_EQ(s().packs.raceCount, 21);
  for (int e = 1; e <= 21; ++e) {
    const int id = s().packs.raceList[e].raceId;
    ReadRaceRecord(s(), e);
    std::set<int> required;
    for (int i = 1; i <= 40; ++i) required.insert(s().packs.scratchRace.Get("requiredHulls", i));
    ASSERT_TRUE(FLEET_HULLS.count(id)) << id;
    for (int h : FLEET_HULLS.at(id)) EXPECT_TRUE(required.count(h)) << "race " << id << " hull " << h;
    s().tables.playerRace[e] = static_cast<int16_t>(e);
  }
  LoadShipPacks(s());
  EXPECT_NO_THROW(ValidateRaceHulls(s()));
  EXPECT_TRUE(t.ui.messages.empty());
  std::set<int> hulls;
  for (int h = 1; h <= 125; ++h) hulls.insert(h);
  for (const auto& [id, fleet] : FLEET_HULLS) hulls.insert(fleet.begin(), fleet.end());
  for (int h : hulls) EXPECT_TRUE(HullKnown(s(), h) && s().packs.hullIndex[h].kept) << h;
  int kept = 0;
  for (int i = 1; i <= MAX_SHIP_PACKS; ++i) kept += s().tables.shipPackList[i].id != 0;
  EXPECT_EQ(kept, 4);

  // Every kept hull fits the ship's mount arrays and has a readable name.
  for (int h = 1; h <= MAX_HULL_TYPE; ++h) {
    if (!HullKnown(s(), h) || !s().packs.hullIndex[h].kept) continue;
    LoadHull(s(), h);
    const Record& r = s().packs.scratchHull;
    EXPECT_TRUE(r.Get("pdWeaponSlots") >= 0 && r.Get("pdWeaponSlots") <= 10 && r.Get("lWeaponSlots") <= 20 &&
                r.Get("sWeaponSlots") <= 30 && r.Get("generatorSlots") <= 5) << h;
    EXPECT_TRUE(Printable(r.Text("hullName"))) << h;
  }
  // Capacities that make the construction rules visible; race 105's flagship mounts 30
  // small weapons.
  const std::tuple<int, const char*, int> values[] = {{1, "cargoCapacity", 100}, {1, "passengerCapacity", 250},
                                                      {1, "fuelCapacity", 5},    {3, "hugeWeaponMask", 12},
                                                      {87, "sWeaponSlots", 30}};
  for (const auto& [hull, field, value] : values) {
    LoadHull(s(), hull);
    EXPECT_EQ(s().packs.scratchHull.Get(field), value) << hull << " " << field;
  }
}

TEST_F(SampleGame, StockMapsHaveTheirPlanetCountsAndExtents) {
  struct Expect {
    const char* file;
    size_t count;
    int cx, cy, half;
  };
  for (const Expect& e : {Expect{"echo.map", 500, 2000, 2000, 1000}, Expect{"epsilon.map", 688, 2500, 2500, 1500}}) {
    SCOPED_TRACE(e.file);
    const std::string path = s().paths.dataDir + e.file;
    ASSERT_TRUE(IsMapFile(path));
    MapFile m = ReadMapFile(path);
    ASSERT_EQ(m.status, MapFileStatus::Ok);
    ASSERT_EQ(m.planets.size(), e.count);
    for (const MapPlanet& p : m.planets) {
      EXPECT_TRUE(std::abs(p.x - e.cx) <= e.half && std::abs(p.y - e.cy) <= e.half) << p.x << "," << p.y;
    }
    auto [west, east] =
        std::minmax_element(m.planets.begin(), m.planets.end(), [](auto& a, auto& b) { return a.x < b.x; });
    EXPECT_GT(east->x - west->x, e.half * 3 / 2);  // spread over the whole square
  }
  for (const char* name : {"ECHO", "EPSILON", "ZETAGAL", "NEBULA"}) {
    SetScriptMapFile(s(), name);
    EXPECT_TRUE(s().script.pendingMapFile) << name;
  }
  EXPECT_TRUE(IsDataFile(s().paths.dataDir + "main.dat"));
}

}  // namespace
}  // namespace tarvik
