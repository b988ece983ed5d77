#include "writer/universe_file.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/errors.h"
#include "base/text.h"
#include "forge/forge.h"
#include "log/run_log.h"
#include "packs/race_modules.h"
#include "platform/files.h"
#include "store_test_support.h"
#include "test_support.h"

namespace tarvik {
namespace {

using test::FileImage;
using Zeros = std::vector<uint8_t>;

constexpr long long BODY_SIZE = 4900;  // the data file's bytes after its header
constexpr long long DATA_COPY = 35120;
constexpr long long RESERVED = DATA_COPY + BODY_SIZE;
constexpr long long SETTINGS = RESERVED + 200;
constexpr long long PLAYERS = SETTINGS + 9000;
constexpr long long TABLES = PLAYERS + 27848;
constexpr long long INDEX = TABLES + 200000;
constexpr long long END = INDEX + 240000;  // the file length + 1

forge::RaceModuleRecipe Race(int id, int revision, uint32_t seed) {
  return {.raceId = id, .revision = revision, .name = "Race " + std::to_string(id), .requiredHulls = {2},
          .carriedSeed = seed};
}

// The bytes a race data block holds for a race module.
std::vector<uint8_t> RaceBlock(const forge::RaceModuleRecipe& r) {
  std::vector<uint8_t> b = forge::BuildRaceRecord(r);
  for (int k = 1; k <= 6; ++k) {  // three unit records, then three extra records
    auto u = k <= 3 ? forge::BuildRaceUnitRecord(r, k) : forge::BuildRaceExtraRecord(r, k - 3);
    b.insert(b.end(), u.begin(), u.end());
  }
  return b;
}

class UniverseFileTest : public ::testing::Test {
 protected:
  // Player 1 plays race 106 (it starts with more money), players 2 and 4 race 5;
  // player 3 takes part without a race, player 4 has a race but does not take part.
  void SetUp() override {
    forge::GameFolderRecipe game;
    game.races = {{"alpha.rce", Race(106, 3, 7)}, {"beta.rce", Race(5, 2, 9)}};
    game.shipPacks = {{"fleet.spk", {11, 4, {forge::HullRecipe{.hullType = 1}, forge::HullRecipe{.hullType = 2}}}}};
    game.dataFiles = {{"main.dat", forge::DataFileRecipe{.bodySize = BODY_SIZE, .seed = 3}}};
    forge::WriteGameFolder(ts.dir.path(), game);
    ListRaceModules(s());

    UniverseTables& t = s().tables;
    t.dataFilePath = s().paths.dataDir + "main.dat";
    t.universeFilePath = ts.dir.path() + "g1.yig";
    t.playerRace[1] = static_cast<int16_t>(Entry(106));
    t.playerRace[2] = t.playerRace[4] = static_cast<int16_t>(Entry(5));
    t.playerActive[1] = t.playerActive[2] = t.playerActive[3] = 1;
    t.playerMoney[2] = 7777;
    t.exoticA[1] = 41, t.exoticB[1] = -42;
    t.gameName = "Test Game", t.hostName = std::string(50, 'h') + "TAIL", t.rstName = "  abc ";
    t.mapCX = 1500, t.mapCY = 2000, t.mapRadius = 1000, t.mapKindCode = 2;
  }

  Session& s() { return ts.s(); }
  int Entry(int raceId) {
    for (int e = 1; e <= s().packs.raceCount; ++e)
      if (s().packs.raceList[e].raceId == raceId) return e;
    ADD_FAILURE() << "race " << raceId << " not listed";
    return 0;
  }
  static long long PlayerRecord(int p) { return PLAYERS + 4634 + 226 * (p - 1); }

  test::TestSession ts;
};

// The fields this game's settings fill, decoded at their positions. The bytes drawn from
// the generator (the header's filler, the keys, letters, rates and site values) are
// pinned by the recorded runs' file hashes; here only what the settings decide.
TEST_F(UniverseFileTest, TwoPlayerUniverseDecodesFieldByField) {
  WriteUniverseFile(s());
  FileImage f(s().tables.universeFilePath);
  ASSERT_EQ(f.size(), END - 1);
  const std::string stamp = "03-04-202612:00:00";
  const int32_t gameId = 43200 + 100000 * 491;  // noon; the digits of "03-04-2026" sum to 491
  EXPECT_EQ(s().tables.universeTimeStamp, stamp);
  EXPECT_EQ(s().tables.gameId, gameId);

  const long long B = SETTINGS, P = PLAYERS;
  const std::tuple<long long, int, long long> numbers[] = {  // position, width, value
      {221, 4, 106}, {225, 4, 5}, {229, 4, 0}, {233, 4, 5},  // player 4 has a race, though not taking part
      {341, 4, 7}, {345, 4, gameId}, {349, 4, 0}, {371, 4, 0}, {375, 4, 131313}, {401, 4, 102},
      {473, 4, 630}, {477, 4, 0}, {481, 4, 0}, {485, 4, 0}, {489, 4, 0},
      {870, 4, DATA_COPY}, {874, 4, RESERVED}, {878, 4, SETTINGS}, {882, 4, PLAYERS}, {886, 4, TABLES},
      {890, 4, INDEX}, {894, 4, END}, {898, 4, 0}, {902, 4, END},
      {B, 4, 101}, {B + 4, 2, 5}, {B + 6, 4, 200}, {B + 10, 4, 100}, {B + 14, 4, 50}, {B + 18, 4, 10},
      {B + 22, 2, 100}, {B + 24, 2, 40}, {B + 26, 2, 80}, {B + 28, 2, 160}, {B + 30, 2, 15}, {B + 32, 2, 100},
      {B + 34, 2, 40}, {P, 4, 3}, {P + 4, 4, 2}, {P + 8, 4, 0}, {P + 360, 4, 106}, {P + 364, 4, 5},
      {P + 368, 4, 0}, {P + 3042, 4, 0}, {P + 4298, 4, gameId}, {P + 4630, 4, 101}, {P + 18844, 4, 2}};
  for (auto [pos, width, value] : numbers) EXPECT_EQ(width == 4 ? f.I32(pos) : f.I16(pos), value) << "position " << pos;
  const std::pair<long long, std::string> texts[] = {
      {1, "Stellarvane 4 ( By Quillenbrast ) Universe File:"}, {353, stamp}, {409, stamp},
      {P + 120, std::string("alpha\0\0\0", 8)}, {P + 128, std::string("beta\0\0\0\0", 8)}, {P + 3046, stamp},
      {P + 4302, FixedText("Test Game", 44)}, {P + 4346, std::string(44, 'h')}};
  for (const auto& [pos, text] : texts) EXPECT_EQ(f.Text(pos, text.size()), text) << "position " << pos;
  const std::pair<long long, size_t> zeros[] = {  // position, length
      {49, 52}, {101, 120}, {237, 104}, {630, 120}, {980 + 2 * 1138, 28 * 1138}, {RESERVED, 200},
      {B + 36, 9000 - 36}, {P + 136, 8}, {P + 2282, 120}, {P + 18784, 60}, {P + 18848, 9000}, {TABLES, 440000}};
  for (auto [pos, n] : zeros) EXPECT_EQ(f.Bytes(pos, n), Zeros(n)) << "position " << pos;

  for (int k = 1; k <= 30; ++k) EXPECT_EQ(f.I32(750 + 4 * (k - 1)), 980 + 1138 * (k - 1)) << k;
  EXPECT_EQ(f.Bytes(980, 1138), RaceBlock(Race(106, 3, 7)));
  EXPECT_EQ(f.Bytes(980 + 1138, 1138), RaceBlock(Race(5, 2, 9)));
  const std::vector<uint8_t> data = ReadWholeFile(s().tables.dataFilePath);
  EXPECT_EQ(f.Bytes(DATA_COPY, BODY_SIZE), std::vector<uint8_t>(data.begin() + 100, data.end()));

  // Player section: ship packs, then the columns the players' settings decide. (The
  // scrambled names, blanks and codes are the same in every file: the recorded runs pin them.)
  int packSlots = 0;
  for (int k = 1; k <= 40; ++k) {
    const int id = f.I32(P + 2562 + 4 * (k - 1));
    const bool fleet = id == 11;
    packSlots += fleet;
    EXPECT_EQ(id, fleet ? 11 : 0) << k;
    EXPECT_EQ(f.I32(P + 2402 + 4 * (k - 1)), fleet ? 4 : 0) << k;
    EXPECT_EQ(f.Text(P + 2722 + 8 * (k - 1), 8), std::string(fleet ? "fleet\0\0\0" : "\0\0\0\0\0\0\0\0", 8)) << k;
  }
  EXPECT_EQ(packSlots, 1);
  const int gameRace[] = {1, 2, 0, 2}, flags[] = {3, 3, 1, 2}, money[] = {3000, 7777, 2000, 2000};
  auto column = [](const int* values, int p, int rest) { return p <= 4 ? values[p - 1] : rest; };
  const int tech[] = {1, 0, 0, 1, 0, 1, 6, 1, 1, 1};  // offsets 134..170
  for (int p = 1; p <= 30; ++p) {
    SCOPED_TRACE("player " + std::to_string(p));
    EXPECT_EQ(f.I32(P + 4058 + 4 * (p - 1)), column(gameRace, p, 0));
    EXPECT_EQ(f.I32(P + 4178 + 4 * (p - 1)), column(flags, p, 0));
    EXPECT_EQ(f.Text(P + 4390 + 8 * (p - 1), 8), FixedText((p < 10 ? "abc0" : "abc") + std::to_string(p), 8));

    // The player's record.
    const long long r = PlayerRecord(p);
    const int a = p == 1 ? 41 : 0, b = p == 1 ? -42 : 0;
    const std::pair<int, long long> values[] = {{44, column(gameRace, p, 0)}, {48, p}, {52, 7}, {56, 2147483647},
                                                {78, 5}, {82, column(money, p, 2000)}, {118, 150}, {122, 0},
                                                {126, a}, {130, b}, {194, a}, {198, b}};
    for (auto [off, value] : values) EXPECT_EQ(f.I32(r + off), value) << "offset " << off;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f.I32(r + 134 + 4 * i), tech[i]) << "tech " << i;
    for (auto [off, n] : {std::pair{0, 44}, {60, 12}, {86, 32}, {174, 20}, {202, 24}})
      EXPECT_EQ(f.Bytes(r + off, n), Zeros(n)) << "offset " << off;
  }
  // Sites within the map's extent (x around 1500, y around 2000, radius 1000).
  for (int n = 1; n <= 100; ++n) {
    const long long site = P + 11984 + 68 * (n - 1);
    EXPECT_TRUE(f.I32(site) >= 500 && f.I32(site) <= 2500 && f.I32(site + 4) >= 1000 && f.I32(site + 4) <= 3000) << n;
    EXPECT_EQ(f.Bytes(site + 60, 8), Zeros(8)) << n;
  }
  EXPECT_NE(LogWindowText(s().log).find("Size =  12\r\n"), std::string::npos);
}

TEST_F(UniverseFileTest, ScriptTechAndGalaxyMoneyReplaceTheDefaults) {
  UniverseTables& t = s().tables;
  t.scriptTech = true;
  t.techPlanet = 2, t.techLarge = 3, t.techSmall = 4, t.techPd = 5, t.techGen = 6;
  t.techEngine = 7, t.techHull = 8, t.techHyp = 9, t.techShield = 10;
  t.galMoney = 5000;
  t.rstName = "longname";  // a 7-or-more prefix loses the number's digits
  WriteUniverseFile(s());
  FileImage f(t.universeFilePath);
  const int tech[] = {2, 0, 3, 4, 5, 6, 7, 8, 9, 10};
  for (int p = 1; p <= 30; ++p) {
    EXPECT_EQ(f.I32(PlayerRecord(p) + 82), p == 2 ? 7777 : 5000) << p;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f.I32(PlayerRecord(p) + 134 + 4 * i), tech[i]) << p << " " << i;
  }
  EXPECT_EQ(f.Text(PLAYERS + 4390, 8), "longname");
}

TEST_F(UniverseFileTest, ThirtyPlayersFillEveryRaceBlock) {
  forge::GameFolderRecipe more;
  for (int k = 1; k <= 30; ++k) more.races.push_back({"r" + std::to_string(k) + ".rce", Race(200 + k, 1, 100 + k)});
  forge::WriteGameFolder(ts.dir.path(), more);
  ListRaceModules(s());
  UniverseTables& t = s().tables;
  for (int p = 1; p <= 30; ++p) t.playerRace[p] = static_cast<int16_t>(Entry(200 + p)), t.playerActive[p] = 1;
  WriteUniverseFile(s());
  FileImage f(t.universeFilePath);
  for (int p = 1; p <= 30; ++p) {
    ASSERT_GE(t.playerGameRace[p], 1);
    EXPECT_EQ(f.I32(221 + 4 * (p - 1)), 200 + p);
    EXPECT_EQ(f.Bytes(980 + 1138 * (t.playerGameRace[p] - 1), 1138), RaceBlock(Race(200 + p, 1, 100 + p))) << p;
  }
  EXPECT_EQ(f.I32(341), (1 << 30) - 1);
  EXPECT_EQ(f.I32(870), DATA_COPY);
}

TEST_F(UniverseFileTest, BadDataFileOrDiskFullIsARuntimeErrorAndNoFile) {
  UniverseTables& t = s().tables;
  const std::string good = t.dataFilePath;
  // Missing, a folder, and shorter than its header.
  for (const std::string& data : {s().paths.dataDir + "none.dat", s().paths.dataDir,
                                  ts.dir.Write("data/short.dat", std::string(60, 'x'))}) {
    t.dataFilePath = data;
    EXPECT_THROW(WriteUniverseFile(s()), RuntimeError) << data;
    EXPECT_FALSE(FileExists(t.universeFilePath)) << data;
  }
  t.dataFilePath = good;
  EXPECT_EQ(test::RunWithFileSizeLimit(300000, [&] { WriteUniverseFile(s()); }), 10);
  EXPECT_FALSE(FileExists(t.universeFilePath));
  EXPECT_EQ(test::RunWithFileSizeLimit(static_cast<rlim_t>(END), [&] { WriteUniverseFile(s()); }), 0);
  EXPECT_EQ(FileLength(t.universeFilePath), END - 1);
}

}  // namespace
}  // namespace tarvik
