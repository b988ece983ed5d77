// Random damage to race modules, ship packs and map files: the readers use a file or
// leave it out, and never read outside it.
#include <gtest/gtest.h>

#include "forge/forge.h"
#include "packs/map_files.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "test_support.h"

namespace tarvik {
namespace {

// Random damage to the parts of each file that hold positions and counts: every
// reader either uses the file or leaves it out, and never reads outside it.
TEST(DamagedFiles, RandomDamageNeverBreaksTheReaders) {
  forge::ForgeRandom r(20260304);
  forge::RaceModuleSpec race{.raceId = 60, .requiredHulls = {1}};
  forge::RaceModuleLayoutInfo raceInfo;
  const std::vector<uint8_t> goodRace = forge::BuildRaceModule(race, &raceInfo);
  forge::ShipPackSpec pack;
  for (int h = 1; h <= 3; ++h) pack.hulls.push_back(forge::HullSpec{.hullType = h});
  forge::ShipPackLayoutInfo packInfo;
  const std::vector<uint8_t> goodPack = forge::BuildShipPack(pack, &packInfo);
  forge::MapLayoutInfo mapInfo;
  const std::vector<uint8_t> goodMap = forge::BuildMapFile(forge::GenerateMap(5, 100, 100, 100, 1), &mapInfo);
  test::TestSession t;
  Session& s = t.s();
  for (int round = 0; round < 100; ++round) {
    auto damage = [&](std::vector<uint8_t> b, std::vector<size_t> hot) {
      for (int i = 0; i < 3; ++i) {
        size_t at = hot[static_cast<size_t>(r.Range(0, static_cast<int>(hot.size()) - 1))] + r.Range(0, 3);
        if (at < b.size()) b[at] = static_cast<uint8_t>(r.Range(0, 255));
      }
      if (r.Range(0, 3) == 0) b.resize(static_cast<size_t>(r.Range(0, static_cast<int>(b.size()))));
      return b;
    };
    const size_t dir = static_cast<size_t>(raceInfo.directoryPos - 1);
    forge::WriteBytes(t.dir.path() + "races/r.rce",
                      damage(goodRace, {400, 404, 449, dir, dir + 8, dir + 40, dir + 96}));
    const size_t table = static_cast<size_t>(packInfo.tablePos - 1);
    forge::WriteBytes(t.dir.path() + "ships/p.spk", damage(goodPack, {449, table, table + 4, table + 10, table + 20}));
    forge::WriteBytes(t.dir.path() + "data/m.map", damage(goodMap, {100, 104, 108}));
    ASSERT_NO_THROW(ListRaceModules(s)) << round;
    ASSERT_NO_THROW(LoadRaceNames(s)) << round;
    s.tables.playerRace[1] = static_cast<int16_t>(s.packs.raceCount > 0 ? 1 : 0);
    ASSERT_NO_THROW(LoadShipPacks(s)) << round;
    for (int h = 1; h <= 3; ++h) {
      if (HullKnown(s, h)) {
        ASSERT_NO_THROW(LoadHull(s, h)) << round;
      }
    }
    MapFile m = ReadMapFile(t.dir.path() + "data/m.map");
    if (m.status == MapFileStatus::kOk) {
      EXPECT_EQ(m.planets.size(), static_cast<size_t>(m.count));
    }
  }
}

}  // namespace
}  // namespace tarvik
