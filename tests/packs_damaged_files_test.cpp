// Damaged race modules, ship packs and map files: each damage applied to a forged file
// with its expected outcome, then random damage. A reader uses a file or leaves it out,
// and never reads outside it.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/text.h"
#include "damage.h"
#include "forge/forge.h"
#include "log/run_log.h"
#include "packs/map_files.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "test_support.h"

namespace tarvik {
namespace {

using test::CUT;
using test::Damage;
using test::WithDamage;

// Every damaged module is skipped at listing, with a line that names it; the good
// module beside it is listed.
TEST(DamagedFiles, RaceModulesAreSkipped) {
  forge::RaceModuleLayoutInfo info;
  const std::vector<uint8_t> good = forge::BuildRaceModule({40, 1, "Bad", 0x35, {}, 0}, &info);
  const long long dir = info.directoryPos - 1, end = info.fileLength;
  const std::pair<const char*, Damage> cases[] = {
      {"directory past the end", {449, end + 10}},      {"directory partly past the end", {449, end - 50}},
      {"negative directory", {449, -5}},                {"zero directory", {449, 0}},
      {"race record past the end", {dir + 96, end + 1}}, {"huge race record position", {dir + 96, 0x7FFFFFFF}},
      {"unit record negative", {dir + 40, -100}},       {"extra record past the end", {dir + 8, end - 10}},
      {"last record truncated", {end - 1, CUT}},       {"cut inside the race ID", {402, CUT}},
  };
  for (const auto& [what, damage] : cases) {
    SCOPED_TRACE(what);
    test::TestSession t;
    forge::WriteBytes(t.dir.path() + "races/bad.rce", WithDamage(good, damage));
    forge::WriteRaceModule(t.dir.path() + "races/good.rce", {41, 1, "Good", 0x35, {}, 0});
    ASSERT_NO_THROW(ListRaceModules(t.s()));
    ASSERT_NO_THROW(LoadRaceNames(t.s()));
    ASSERT_EQ(t.s().packs.raceCount, 1);
    EXPECT_EQ(t.s().packs.raceList[1].raceId, 41);
    const std::vector<std::string> said = {"Race module damaged, not used: " + t.s().paths.racesDir + "bad.rce"};
    EXPECT_EQ(t.s().packs.raceModuleNotices, said);
    EXPECT_EQ(t.ui.notices, said);
  }
}

// A pack whose header or hull table does not lie inside it is logged as damaged and
// left out; an entry whose record does not is logged and left out of the index, and a
// pack with no entry left is not kept. A good pack beside it always provides hull 1.
TEST(DamagedFiles, ShipPacksOrTheirEntriesAreLeftOut) {
  forge::ShipPackLayoutInfo info;
  const std::vector<uint8_t> good = forge::BuildShipPack({7, 1, {{.hullType = 20}, {.hullType = 21}}}, &info);
  const long long count = info.tablePos - 1, end = info.fileLength;
  const long long fits = (end - info.tablePos + 1 - 4) / 10;  // entries the rest of the file could hold
  const long long q20 = info.entryPositions[0] - 1 + 6, q21 = info.entryPositions[1] - 1 + 6;
  // `table`: the whole pack is damaged; `lost`: the hull entries left out for damage.
  struct Case { const char* what; Damage damage; bool table; std::vector<int> lost; };
  const Case cases[] = {
      {"table past the end", {449, end + 1}, true, {}}, {"negative table", {449, -1}, true, {}},
      {"negative count", {count, -3}, true, {}},         {"absurd count", {count, 0x7FFFFFFF}, true, {}},
      {"count one too many", {count, fits + 1}, true, {}}, {"cut header", {420, CUT}, true, {}},
      {"hull 20's record past the end", {q20, end + 100}, false, {20}},
      {"hull 21's record negative", {q21, -1}, false, {21}},
      {"last record truncated", {end - 1, CUT}, false, {21}},
      {"cut inside the first record", {info.recordPositions[0] + 10, CUT}, false, {20, 21}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TestSession t;
    forge::WriteBytes(t.dir.path() + "ships/bad.spk", WithDamage(good, c.damage));
    forge::WriteShipPack(t.dir.path() + "ships/good.spk", {.packId = 8, .hulls = {{.hullType = 1}}});
    ASSERT_NO_THROW(LoadShipPacks(t.s()));
    const auto known = [&](int h) { return !c.table && std::find(c.lost.begin(), c.lost.end(), h) == c.lost.end(); };
    EXPECT_EQ(HullKnown(t.s(), 20), known(20));
    EXPECT_EQ(HullKnown(t.s(), 21), known(21));
    EXPECT_TRUE(HullKnown(t.s(), 1));
    const bool kept = known(20) || known(21);  // bad.spk is read first and takes the top slot
    EXPECT_EQ(t.s().tables.shipPackList[40].id, kept ? 7 : 8);
    EXPECT_EQ(t.s().tables.shipPackList[39].id, kept ? 8 : 0);
    // One line for the pack or one for each entry lost, in the log and on standard error.
    const std::string path = t.s().paths.shipsDir + "bad.spk";
    std::vector<std::string> said;
    if (c.table) said.push_back("Ship Pack damaged, not used: " + path);
    for (int h : c.lost) said.push_back("Ship Pack hull " + NumText(h) + " damaged, not used: " + path);
    EXPECT_EQ(LogWindowText(t.s().log), test::CrLfText(said));
    EXPECT_EQ(t.ui.notices, said);
  }
  // Files that fail the header test are skipped without a word.
  test::TestSession t;
  t.dir.Write("ships/short.spk", std::string(SHIP_PACK_HEADER));
  t.dir.Write("ships/foreign.spk", std::string(800, 'z'));
  LoadShipPacks(t.s());
  EXPECT_EQ(LogWindowText(t.s().log), "");
  EXPECT_TRUE(t.ui.notices.empty());
}

TEST(DamagedFiles, MapFilesSayWhyAndHoldNoPlanets) {
  forge::MapLayoutInfo info;
  const std::vector<uint8_t> good =
      forge::BuildMapFile({.planets = {{100, 200, 3, "A"}, {-5, 9, 9, "B"}, {0, 0, 0, ""}}}, &info);
  const long long end = info.fileLength;
  struct Case { const char* what; Damage damage; MapFileStatus status; };
  using enum MapFileStatus;
  const Case cases[] = {
      {"count 0", {100, 0}, BadCount},           {"negative count", {100, -3}, BadCount},
      {"count 19000", {100, 19000}, BadCount},   {"absurd count", {100, 0x7FFFFFFF}, BadCount},
      {"count 18999", {100, 18999}, Damaged},    {"coordinates past the end", {104, end + 1}, Damaged},
      {"negative coordinates", {104, -40}, Damaged}, {"names past the end", {108, end - 10}, Damaged},
      {"zero name position", {108, 0}, Damaged}, {"last name truncated", {end - 1, CUT}, Damaged},
      {"cut before the list positions", {108, CUT}, TooShort}, {"empty file", {0, CUT}, TooShort},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    forge::WriteBytes(dir.path() + "bad.map", WithDamage(good, c.damage));
    MapFile m = ReadMapFile(dir.path() + "bad.map");
    EXPECT_EQ(m.status, c.status);
    EXPECT_TRUE(m.planets.empty());
  }
  EXPECT_EQ(ReadMapFile(dir.path() + "none.map").status, MapFileStatus::Missing);
}

// Random damage to the bytes that hold positions and counts, and random cuts.
TEST(DamagedFiles, RandomDamageNeverBreaksTheReaders) {
  forge::RaceModuleLayoutInfo ri;
  forge::ShipPackLayoutInfo pi;
  const std::vector<uint8_t> race = forge::BuildRaceModule({60, 1, "R", 0x35, {1}, 0}, &ri);
  const std::vector<uint8_t> pack =
      forge::BuildShipPack({1, 1, {{.hullType = 1}, {.hullType = 2}, {.hullType = 3}}}, &pi);
  const std::vector<uint8_t> map = forge::BuildMapFile(forge::GenerateMap(5, 100, 100, 100, 1));
  const long long d = ri.directoryPos - 1, tp = pi.tablePos - 1;
  forge::ForgeRandom r(20260304);
  auto damage = [&](std::vector<uint8_t> b, std::vector<long long> hot) {  // three bytes near hot spots
    for (int i = 0; i < 3; ++i) {
      const size_t at = static_cast<size_t>(hot[static_cast<size_t>(r.Range(0, static_cast<int>(hot.size()) - 1))]);
      if (at + 3 < b.size()) b[at + static_cast<size_t>(r.Range(0, 3))] = static_cast<uint8_t>(r.Range(0, 255));
    }
    return r.Range(0, 3) ? b : WithDamage(b, {r.Range(0, static_cast<int>(b.size())), CUT});
  };
  test::TestSession t;
  Session& s = t.s();
  for (int round = 0; round < 100; ++round) {
    SCOPED_TRACE(round);
    forge::WriteBytes(t.dir.path() + "races/r.rce", damage(race, {400, 404, 449, d, d + 8, d + 40, d + 96}));
    forge::WriteBytes(t.dir.path() + "ships/p.spk", damage(pack, {449, tp, tp + 4, tp + 10, tp + 20}));
    forge::WriteBytes(t.dir.path() + "data/m.map", damage(map, {100, 104, 108}));
    ASSERT_NO_THROW(ListRaceModules(s));
    ASSERT_NO_THROW(LoadRaceNames(s));
    s.tables.playerRace[1] = static_cast<int16_t>(s.packs.raceCount > 0 ? 1 : 0);
    ASSERT_NO_THROW(LoadShipPacks(s));
    for (int h = 1; h <= 3; ++h) {
      if (HullKnown(s, h)) {
        ASSERT_NO_THROW(LoadHull(s, h));
      }
    }
    MapFile m = ReadMapFile(t.dir.path() + "data/m.map");
    EXPECT_EQ(m.planets.size(), m.status == MapFileStatus::Ok ? static_cast<size_t>(m.count) : 0u);
  }
}

}  // namespace
}  // namespace tarvik
