#include "universe/universe_file.h"

#include <gtest/gtest.h>

#include <set>

#include "app/run_log.h"
#include "base/errors.h"
#include "base/text.h"
#include "forge/forge.h"
#include "objects/object_store.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/rounding.h"
#include "store_test_support.h"
#include "test_support.h"

namespace tarvik {
namespace {

using test::FileImage;

constexpr long long kBodySize = 4900;  // the data file's bytes after its header
constexpr long long kDataCopy = 35120;
constexpr long long kReserved = kDataCopy + kBodySize;
constexpr long long kSettings = kReserved + 200;
constexpr long long kPlayers = kSettings + 9000;
constexpr long long kTables = kPlayers + 27848;
constexpr long long kIndex = kTables + 200000;
constexpr long long kEnd = kIndex + 240000;  // the file length + 1

forge::RaceModuleSpec Race(int id, int revision, uint32_t seed) {
  forge::RaceModuleSpec r;
  r.raceId = id;
  r.revision = revision;
  r.name = "Race " + std::to_string(id);
  r.requiredHulls = {2};
  r.carriedSeed = seed;
  return r;
}

// The bytes a race data block holds for a race module.
std::vector<uint8_t> RaceBlock(const forge::RaceModuleSpec& r) {
  std::vector<uint8_t> b = forge::BuildRaceRecord(r);
  for (int k = 1; k <= 3; ++k) {
    auto u = forge::BuildRaceUnitRecord(r, k);
    b.insert(b.end(), u.begin(), u.end());
  }
  for (int k = 1; k <= 3; ++k) {
    auto e = forge::BuildRaceExtraRecord(r, k);
    b.insert(b.end(), e.begin(), e.end());
  }
  return b;
}

class UniverseFileTest : public ::testing::Test {
 protected:
  // Races: 106 (it starts with more money) and 5; one ship pack; one data file.
  void SetUp() override {
    races = {Race(106, 3, 7), Race(5, 2, 9)};
    forge::GameFolderSpec game;
    game.races = {{"alpha.rce", races[0]}, {"beta.rce", races[1]}};
    forge::ShipPackSpec pack;
    pack.packId = 11;
    pack.revision = 4;
    pack.hulls = {forge::HullSpec{.hullType = 1}, forge::HullSpec{.hullType = 2}};
    game.shipPacks = {{"fleet.spk", pack}};
    game.dataFiles = {{"main.dat", forge::DataFileSpec{.bodySize = kBodySize, .seed = 3}}};
    forge::WriteGameFolder(ts.dir.path(), game);
    ListRaceModules(s());

    UniverseTables& t = s().tables;
    t.dataFilePath = s().paths.dataDir + "main.dat";
    t.universeFilePath = ts.dir.path() + "g1.yig";
    // Player 1 plays race 106, players 2 and 4 race 5; player 3 takes part without a
    // race, player 4 has a race but does not take part.
    t.playerRace[1] = static_cast<int16_t>(Entry(106));
    t.playerRace[2] = static_cast<int16_t>(Entry(5));
    t.playerRace[4] = static_cast<int16_t>(Entry(5));
    t.playerActive[1] = t.playerActive[2] = t.playerActive[3] = 1;
    t.playerMoney[2] = 7777;
    t.exoticA[1] = 41;
    t.exoticB[1] = -42;
    t.gameName = "Test Game";
    t.hostName = std::string(50, 'h') + "TAIL";
    t.rstName = "  abc ";
    t.mapCX = 1500;
    t.mapCY = 2000;
    t.mapRadius = 1000;
    t.mapKindCode = 2;
  }

  Session& s() { return ts.s(); }
  int Entry(int raceId) {
    for (int e = 1; e <= s().packs.raceCount; ++e)
      if (s().packs.raceList[e].raceId == raceId) return e;
    ADD_FAILURE() << "race " << raceId << " not listed";
    return 0;
  }
  // A generator in the state the writer's first seeding gives: the draws replay.
  Random Mirror() {
    Random m;
    m.SetFixedSeed(1234);
    for (int k = 0; k <= s().random.seedings(); ++k) m.Seed(0);
    return m;
  }

  test::TestSession ts;
  std::vector<forge::RaceModuleSpec> races;
};

TEST_F(UniverseFileTest, TwoPlayerUniverseDecodesFieldByField) {
  Random m = Mirror();
  WriteUniverseFile(s());
  FileImage f(s().tables.universeFilePath);
  ASSERT_EQ(f.size(), kEnd - 1);
  const std::string stamp = "03-04-202612:00:00";
  EXPECT_EQ(s().tables.universeTimeStamp, stamp);

  // Header area.
  EXPECT_EQ(f.Text(1, 48), "Stellarvane 4 ( By Quillenbrast ) Universe File:");
  EXPECT_EQ(f.Bytes(49, 52), std::vector<uint8_t>(52, 0));

  // Header fields; every other byte of 101..629 is filler, drawn first after the
  // seeding.
  const int32_t gameId = 43200 + 100000 * 491;  // noon; "03-04-2026" sums to 491
  EXPECT_EQ(s().tables.gameId, gameId);
  std::set<long long> fields;
  const std::pair<long long, int32_t> ints[] = {
      {221, 106}, {225, 5}, {229, 0}, {233, 5},  // player 4 has a race, though not taking part
      {341, 7},   {345, gameId}, {349, 0}, {371, 0}, {375, 131313}, {401, 102},
      {473, 630}, {477, 0}, {481, 0}, {485, 0}, {489, 0}};
  for (auto [pos, value] : ints) {
    EXPECT_EQ(f.I32(pos), value) << "position " << pos;
    for (int i = 0; i < 4; ++i) fields.insert(pos + i);
  }
  for (long long pos = 101; pos <= 340; ++pos) {
    if (fields.insert(pos).second && (pos - 101) % 4 == 0) {
      EXPECT_EQ(f.I32(pos), 0) << "position " << pos;
    }
  }
  for (long long pos : {353, 409}) {
    EXPECT_EQ(f.Text(pos, 18), stamp);
    for (int i = 0; i < 18; ++i) fields.insert(pos + i);
  }
  for (long long pos = 101; pos <= 629; ++pos) {
    const int filler = static_cast<int>(RoundToInt(m.Next() * 254 + 1));
    ASSERT_TRUE(filler >= 1 && filler <= 255);
    if (!fields.count(pos)) {
      ASSERT_EQ(f.Byte(pos), filler) << "position " << pos;
    }
  }

  // Directory and race data.
  for (long long p = 630; p < 750; p += 4) EXPECT_EQ(f.I32(p), 0);
  for (int k = 1; k <= 30; ++k) EXPECT_EQ(f.I32(750 + 4 * (k - 1)), 980 + 1138 * (k - 1)) << k;
  EXPECT_EQ(f.I32(870), kDataCopy);
  EXPECT_EQ(f.I32(874), kReserved);
  EXPECT_EQ(f.I32(878), kSettings);
  EXPECT_EQ(f.I32(882), kPlayers);
  EXPECT_EQ(f.I32(886), kTables);
  EXPECT_EQ(f.I32(890), kIndex);
  EXPECT_EQ(f.I32(894), f.size() + 1);
  EXPECT_EQ(f.I32(898), 0);
  EXPECT_EQ(f.I32(902), f.size() + 1);
  EXPECT_EQ(f.Bytes(980, 1138), RaceBlock(races[0]));
  EXPECT_EQ(f.Bytes(980 + 1138, 1138), RaceBlock(races[1]));
  EXPECT_EQ(f.Bytes(980 + 2 * 1138, 28 * 1138), std::vector<uint8_t>(28 * 1138, 0));

  // The data file's body, then the reserved area.
  const std::vector<uint8_t> data = ReadWholeFile(s().tables.dataFilePath);
  EXPECT_EQ(f.Bytes(kDataCopy, kBodySize), std::vector<uint8_t>(data.begin() + 100, data.end()));
  EXPECT_EQ(f.Bytes(kReserved, 200), std::vector<uint8_t>(200, 0));

  // Settings block.
  const long long b = kSettings;
  EXPECT_EQ(f.I32(b), 101);
  EXPECT_EQ(f.I16(b + 4), 5);
  EXPECT_EQ(f.I32(b + 6), 200);
  EXPECT_EQ(f.I32(b + 10), 100);
  EXPECT_EQ(f.I32(b + 14), 50);
  EXPECT_EQ(f.I32(b + 18), 10);
  const int16_t shorts[] = {100, 40, 80, 160, 15, 100, 40};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(f.I16(b + 22 + 2 * i), shorts[i]) << i;
  EXPECT_EQ(f.Bytes(b + 36, 9000 - 36), std::vector<uint8_t>(9000 - 36, 0));

  // Player section.
  const long long P = kPlayers;
  EXPECT_EQ(f.I32(P), 3);
  EXPECT_EQ(f.I32(P + 4), 2);
  EXPECT_EQ(f.I32(P + 8), 0);
  EXPECT_EQ(f.Text(P + 120, 8), std::string("alpha\0\0\0", 8));
  EXPECT_EQ(f.Text(P + 128, 8), std::string("beta\0\0\0\0", 8));
  EXPECT_EQ(f.Text(P + 136, 8), std::string(8, '\0'));
  EXPECT_EQ(f.I32(P + 360), 106);
  EXPECT_EQ(f.I32(P + 364), 5);
  EXPECT_EQ(f.I32(P + 368), 0);

  const int key1 = static_cast<int>(RoundToInt(m.Next() * 200 + 3));
  EXPECT_EQ(f.I16(P + 2280), key1);
  for (int p = 1; p <= 30; ++p) {
    EXPECT_EQ(Scrambled(key1, f.Text(P + 480 + 60 * (p - 1), 60)), FixedText("Player " + NumText(p), 60)) << p;
  }
  EXPECT_EQ(f.Bytes(P + 2282, 120), std::vector<uint8_t>(120, 0));
  int packSlots = 0;
  for (int k = 1; k <= 40; ++k) {
    const PackEntry& sp = s().tables.shipPackList[k];
    EXPECT_EQ(f.I32(P + 2402 + 4 * (k - 1)), sp.revision);
    EXPECT_EQ(f.I32(P + 2562 + 4 * (k - 1)), sp.id);
    EXPECT_EQ(f.Text(P + 2722 + 8 * (k - 1), 8), sp.fileStem.substr(0, 8));
    if (f.I32(P + 2562 + 4 * (k - 1)) == 11) {
      ++packSlots;
      EXPECT_EQ(f.I32(P + 2402 + 4 * (k - 1)), 4);
      EXPECT_EQ(f.Text(P + 2722 + 8 * (k - 1), 8), std::string("fleet\0\0\0", 8));
    }
  }
  EXPECT_EQ(packSlots, 1);
  EXPECT_EQ(f.I32(P + 3042), 0);
  EXPECT_EQ(f.Text(P + 3046, 18), stamp);

  const int key2 = static_cast<int>(RoundToInt(m.Next() * 200 + 4));
  EXPECT_EQ(f.I16(P + 3664), key2);
  for (int p = 1; p <= 30; ++p) EXPECT_EQ(Scrambled(key2, f.Text(P + 3064 + 20 * (p - 1), 20)), std::string(20, ' '));
  const int key3 = static_cast<int>(RoundToInt(m.Next() * 200 + 5));
  EXPECT_EQ(f.I16(P + 4056), key3);
  const std::string code = Scrambled(key3, f.Text(P + 3666, 13));
  for (int i = 0; i < 13; ++i) {
    if (i < 10) {
      EXPECT_TRUE(code[i] >= '0' && code[i] <= '9') << code;
    } else {
      EXPECT_TRUE(code[i] >= 'a' && code[i] <= 'z') << code;
    }
  }
  for (int p = 2; p <= 30; ++p) EXPECT_EQ(f.Text(P + 3666 + 13 * (p - 1), 13), f.Text(P + 3666, 13));

  const int gameRace[] = {1, 2, 0, 2};
  const int flags[] = {3, 3, 1, 2};
  for (int p = 1; p <= 30; ++p) {
    EXPECT_EQ(f.I32(P + 4058 + 4 * (p - 1)), p <= 4 ? gameRace[p - 1] : 0) << p;
    EXPECT_EQ(f.I32(P + 4178 + 4 * (p - 1)), p <= 4 ? flags[p - 1] : 0) << p;
  }
  EXPECT_EQ(f.I32(P + 4298), gameId);
  EXPECT_EQ(f.Text(P + 4302, 44), FixedText("Test Game", 44));
  EXPECT_EQ(f.Text(P + 4346, 44), std::string(44, 'h'));
  EXPECT_EQ(f.Text(P + 4390, 8), "abc01   ");
  EXPECT_EQ(f.Text(P + 4390 + 8 * 29, 8), "abc30   ");
  EXPECT_EQ(f.I32(P + 4630), 101);

  // Player records, after the second seeding.
  m.Seed(0);
  const int money[] = {3000, 7777, 2000, 2000};
  for (int p = 1; p <= 30; ++p) {
    const long long r = P + 4634 + 226 * (p - 1);
    EXPECT_EQ(f.Bytes(r, 44), std::vector<uint8_t>(44, 0));
    EXPECT_EQ(f.I32(r + 44), p <= 4 ? gameRace[p - 1] : 0);
    EXPECT_EQ(f.I32(r + 48), p);
    EXPECT_EQ(f.I32(r + 52), 7);
    EXPECT_EQ(f.I32(r + 56), 2147483647);
    EXPECT_EQ(f.Bytes(r + 60, 12), std::vector<uint8_t>(12, 0));
    for (int i = 0; i < 6; ++i) {
      const char letter = static_cast<char>(RoundToInt(m.Next() * 25 + 65));
      EXPECT_EQ(f.Text(r + 72 + i, 1)[0], letter) << p;
    }
    EXPECT_EQ(f.I32(r + 78), 5);
    EXPECT_EQ(f.I32(r + 82), p <= 4 ? money[p - 1] : 2000) << p;
    EXPECT_EQ(f.Bytes(r + 86, 32), std::vector<uint8_t>(32, 0));
    EXPECT_EQ(f.I32(r + 118), 150);
    EXPECT_EQ(f.I32(r + 122), 0);
    EXPECT_EQ(f.I32(r + 126), p == 1 ? 41 : 0);
    EXPECT_EQ(f.I32(r + 130), p == 1 ? -42 : 0);
    const int tech[] = {1, 0, 0, 1, 0, 1, 6, 1, 1, 1};  // offsets 134..170
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f.I32(r + 134 + 4 * i), tech[i]) << p << " " << i;
    EXPECT_EQ(f.Bytes(r + 174, 20), std::vector<uint8_t>(20, 0));
    EXPECT_EQ(f.I32(r + 194), p == 1 ? 41 : 0);
    EXPECT_EQ(f.I32(r + 198), p == 1 ? -42 : 0);
    EXPECT_EQ(f.Bytes(r + 202, 24), std::vector<uint8_t>(24, 0));
  }

  for (int i = 0; i < 90; ++i) {
    const char letter = static_cast<char>(static_cast<int>(m.Next() * 20) + 65);
    ASSERT_EQ(f.Text(P + 11414 + i, 1)[0], letter) << i;
  }
  for (int i = 1; i <= 12; ++i) {
    double v = 2.0;
    for (int j = 1; j <= 10; ++j) {
      v = v + m.Next() * 0.2 - 0.1;
      if (v < 0.4) v = m.Next() * 0.2 + 0.4;
      ASSERT_EQ(f.F32(P + 11504 + 4 * ((i - 1) + 12 * (j - 1))), static_cast<float>(v)) << i << "," << j;
    }
  }
  for (int n = 1; n <= 100; ++n) {
    const long long site = P + 11984 + 68 * (n - 1);
    const long long x = f.I32(site), y = f.I32(site + 4), magnitude = f.I32(site + 8);
    ASSERT_EQ(x, RoundToInt(m.Next() * 2000 + 500)) << n;
    ASSERT_EQ(y, RoundToInt(m.Next() * 2000 + 1000)) << n;
    ASSERT_EQ(magnitude, RoundToInt(m.Next() * 3000 + 250)) << n;
    for (int v = 1; v <= 12; ++v) {
      long long value = RoundToInt(m.Next() * 3000 + 3000);
      if (m.Next() < 0.05) value = RoundToInt(m.Next() * 40000 + 3000);
      ASSERT_EQ(f.I32(site + 12 + 4 * (v - 1)), value) << n << " " << v;
    }
    ASSERT_EQ(f.I32(site + 60), 0);
    ASSERT_EQ(f.I32(site + 64), 0);
  }
  EXPECT_EQ(f.Bytes(P + 18784, 60), std::vector<uint8_t>(60, 0));
  EXPECT_EQ(f.I32(P + 18844), 2);
  EXPECT_EQ(f.Bytes(P + 18848, 9000), std::vector<uint8_t>(9000, 0));

  // Empty object tables and index.
  EXPECT_EQ(f.Bytes(kTables, 440000), std::vector<uint8_t>(440000, 0));

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
  for (int p = 1; p <= 30; ++p) {
    const long long r = kPlayers + 4634 + 226 * (p - 1);
    EXPECT_EQ(f.I32(r + 82), p == 2 ? 7777 : 5000) << p;
    const int tech[] = {2, 0, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f.I32(r + 134 + 4 * i), tech[i]) << p << " " << i;
  }
  EXPECT_EQ(f.Text(kPlayers + 4390, 8), "longname");
}

TEST_F(UniverseFileTest, ThirtyPlayersFillEveryRaceBlock) {
  forge::GameFolderSpec more;
  std::vector<forge::RaceModuleSpec> all;
  for (int k = 1; k <= 30; ++k) {
    all.push_back(Race(200 + k, 1, 100 + k));
    more.races.push_back({"r" + std::to_string(k) + ".rce", all.back()});
  }
  forge::WriteGameFolder(ts.dir.path(), more);
  ListRaceModules(s());
  UniverseTables& t = s().tables;
  for (int p = 1; p <= 30; ++p) {
    t.playerRace[p] = static_cast<int16_t>(Entry(200 + p));
    t.playerActive[p] = 1;
  }
  WriteUniverseFile(s());
  FileImage f(t.universeFilePath);
  for (int p = 1; p <= 30; ++p) {
    const int k = t.playerGameRace[p];
    ASSERT_GE(k, 1);
    EXPECT_EQ(f.I32(221 + 4 * (p - 1)), 200 + p);
    EXPECT_EQ(f.Bytes(980 + 1138 * (k - 1), 1138), RaceBlock(all[p - 1])) << p;
  }
  EXPECT_EQ(f.I32(341), (1 << 30) - 1);
  EXPECT_EQ(f.I32(870), kDataCopy);
}

TEST_F(UniverseFileTest, TheStoreFindsItsPlacesInAWrittenUniverse) {
  WriteUniverseFile(s());
  const std::string& path = s().tables.universeFilePath;
  OpenObjectStore(s(), path);
  const UniverseCounters& c = s().tables.counters;
  EXPECT_EQ(c.objectTablesPos, kTables);
  EXPECT_EQ(c.indexPos, kIndex);
  EXPECT_EQ(c.dataEnd, kEnd);
  s().records.ship.Set("hull", 2);
  StoreShip(s());
  CloseObjectStore(s());
  FileImage f(path);
  EXPECT_EQ(f.Byte(kEnd), 0);  // one zero byte between the index and the first record
  EXPECT_EQ(f.I32(kIndex + 2), kEnd + 1);
  EXPECT_EQ(f.Bytes(kEnd + 1, 1424), s().records.ship.bytes());
  EXPECT_EQ(f.I32(902), kEnd + 1424);
}

TEST_F(UniverseFileTest, MissingOrShortDataFileIsARuntimeErrorAndNoFile) {
  UniverseTables& t = s().tables;
  t.dataFilePath = s().paths.dataDir + "none.dat";
  EXPECT_THROW(WriteUniverseFile(s()), RuntimeError);
  EXPECT_FALSE(FileExists(t.universeFilePath));
  t.dataFilePath = s().paths.dataDir;  // a folder, not a file
  EXPECT_THROW(WriteUniverseFile(s()), RuntimeError);
  EXPECT_FALSE(FileExists(t.universeFilePath));
  t.dataFilePath = ts.dir.Write("data/short.dat", std::string(60, 'x'));
  EXPECT_THROW(WriteUniverseFile(s()), RuntimeError);
  EXPECT_FALSE(FileExists(t.universeFilePath));
}

TEST_F(UniverseFileTest, DiskFullLeavesNoShortFile) {
  const std::string path = s().tables.universeFilePath;
  EXPECT_EQ(test::RunWithFileSizeLimit(300000, [&] { WriteUniverseFile(s()); }), 10);
  EXPECT_FALSE(FileExists(path));
  // Room enough: the same call succeeds.
  EXPECT_EQ(test::RunWithFileSizeLimit(static_cast<rlim_t>(kEnd), [&] { WriteUniverseFile(s()); }), 0);
  EXPECT_EQ(FileLength(path), kEnd - 1);
}

}  // namespace
}  // namespace tarvik
