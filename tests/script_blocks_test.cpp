// Sections, blocks and the keyword tables: universes built from script text on a
// forged game folder and read back from the universe file.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>

#include "base/text.h"
#include "script/keyword_tables.h"
#include "script_game.h"

namespace tarvik {
namespace {

using test::PlainText;
using test::ScriptGame;
using test::StoredObject;

const std::regex RANDOM_NAME("[A-Z]{3} [0-9]{3} {33}");

const std::pair<BlockKind, const char*> OBJECT_BLOCKS[] = {
    {BlockKind::Planet, "PLANET"},       {BlockKind::Ship, "SHIP"},           {BlockKind::Base, "BASE"},
    {BlockKind::ConPod, "CONPOD"},       {BlockKind::OrePod, "OREPOD"},       {BlockKind::LifePod, "LIFEPOD"},
    {BlockKind::AssaultPod, "ASSAULTPOD"}, {BlockKind::OutfitPod, "OUTFITPOD"}, {BlockKind::NativePod, "NATIVEPOD"},
    {BlockKind::ResupplyPod, "RESUPPLYPOD"}, {BlockKind::GoldPod, "GOLDPOD"},   {BlockKind::Wreckage, "WRECKAGE"},
    {BlockKind::Minefield, "MINEFIELD"}, {BlockKind::Thing, "THING"},         {BlockKind::Buoy, "BUOY"},
    {BlockKind::Wing, "WING"}};

// The value the every-keyword test gives the k-th keyword of a block.
std::string ValueFor(const KeywordRow& row, int k) {
  const long long span = static_cast<long long>(row.max) - row.min;
  switch (row.kind) {
    case ValueKind::Number: return std::to_string(row.min + (span > 0 ? 1 + k % std::min(span, 97LL) : 0));
    case ValueKind::Strict: return std::to_string(10 + k) + ".5";
    case ValueKind::Bit: return std::to_string(k % 2);
    case ValueKind::Code: return "Q" + std::string(1, static_cast<char>('A' + k % 26));
    case ValueKind::ThingCode: return "ABCD";
    default: return "\"Text " + std::to_string(k) + "\"";
  }
}

TEST(EveryKeyword, EveryKeywordAndAliasLandsInItsField) {
  // A hull on which no value is trimmed.
  forge::GameFolderRecipe roomy = test::SmallGame();
  forge::HullRecipe& h = roomy.shipPacks[0].desc.hulls[6];  // hull type 7
  h.pdWeaponSlots = 10, h.lWeaponSlots = 20, h.sWeaponSlots = 30, h.generatorSlots = 5, h.hugeWeaponMask = 31;
  for (const auto& [kind, word] : OBJECT_BLOCKS) {
    const KeywordTable& t = *ObjectKeywordTable(kind);
    for (bool aliases : {false, true}) {
      SCOPED_TRACE(std::string(word) + (aliases ? " aliases" : ""));
      struct Assignment { std::string keyword, value; const KeywordRow* row; int index; };
      std::vector<Assignment> set;
      size_t keywords = 0;
      int k = 0;
      for (const KeywordRow& row : t.rows) {
        const std::string stem(row.keyword);
        std::vector<std::pair<std::string, int>> names;  // keyword and array index
        if (aliases) {
          if (!row.alias.empty()) names.push_back({std::string(row.alias), 1});
        } else if (row.firstIndex == 0) {
          names.push_back({stem, 1});
        } else {  // indexed keywords exist only in brackets and only in their range
          EXPECT_EQ(t.Find(stem), nullptr);
          EXPECT_EQ(t.Find(stem + "(" + std::to_string(row.firstIndex - 1) + ")"), nullptr);
          EXPECT_EQ(t.Find(stem + "(" + std::to_string(row.lastIndex + 1) + ")"), nullptr);
          for (int i = row.firstIndex; i <= row.lastIndex; ++i)
            names.push_back({stem + "(" + std::to_string(i) + ")", i});
        }
        keywords += names.size() + (aliases || row.alias.empty() ? 0 : 1);
        for (const auto& [name, index] : names) {
          std::string value = ValueFor(row, ++k);
          if (kind == BlockKind::Minefield && name == "FLAVOR") value = "4";  // 1, 2, 4 or 8
          if (kind != BlockKind::Ship || name != "HULL") set.push_back({name, value, &row, index});
        }
      }
      if (aliases && set.empty()) continue;
      EXPECT_TRUE(aliases || t.byKeyword.size() == keywords) << "two rows share one of " << keywords << " keywords";

      ScriptGame g(roomy);
      std::vector<std::string> lines = {"BEGIN " + std::string(word)};
      if (kind == BlockKind::Ship) lines.push_back("HULL = 7");  // first, as it rebuilds the ship
      for (const Assignment& a : set) lines.push_back(a.keyword + " = " + a.value);
      lines.push_back("END");
      const std::vector<StoredObject> o = g.Build(lines);
      EXPECT_TRUE(g.Messages().empty()) << g.Messages().front();
      ASSERT_EQ(o.size(), 1u);
      const Record& r = o[0].record;
      EXPECT_TRUE(kind != BlockKind::Ship || r.Get("hull") == 7);
      for (const Assignment& a : set) {
        SCOPED_TRACE(a.keyword);
        const KeywordBinding* b = t.Find(a.keyword);
        ASSERT_TRUE(b && b->row == a.row && b->index == a.index);
        const KeywordRow& row = *a.row;
        const Field& f = t.layout->Get(row.field);
        const int i = a.index;
        EXPECT_TRUE(row.firstIndex == 0 || row.lastIndex == f.count);  // the keywords cover the whole array
        switch (row.kind) {
          case ValueKind::Number:
            EXPECT_EQ(f.type, row.width == 16 ? FieldType::I16 : FieldType::I32);
            EXPECT_EQ(r.Get(f, i), std::stoi(a.value));
            break;
          case ValueKind::Strict: EXPECT_EQ(r.Get(f, i), std::nearbyint(std::stod(a.value))); break;
          case ValueKind::Bit: EXPECT_EQ(r.Get(f, i) >> row.bit & 1, std::stoi(a.value)); break;
          case ValueKind::Code: EXPECT_EQ(r.Text(f, i), a.value + "A"); break;
          case ValueKind::ThingCode: EXPECT_EQ(r.Get(f, i), 0x44434241); break;
          default: {
            static const std::set<std::string_view> SCRAMBLED = {"name", "shipLog", "info1", "info2", "message"};
            const std::string stored = !SCRAMBLED.count(row.field) ? r.Text(f, i)
                                       : PlainText(r, row.field, row.field == "shipLog" ? "shipLogKey" : "nameKey");
            const bool thingInfo = kind == BlockKind::Thing && row.field == "info1";  // DATA1 later shows its code
            EXPECT_EQ(stored, thingInfo ? FixedText("Code: ABC", 20)
                                        : FixedText(a.value.substr(1, a.value.size() - 2), row.width));
          }
        }
      }
    }
  }
}

// ---- Passes, sections and blocks -------------------------------------------------

TEST(Blocks, SettingsAndObjectsActInTheirOwnPass) {
  ScriptGame g;
  const std::string path = g.WriteScript({"BEGIN RACES", "PLAYERCOUNT = 3", "END", "BEGIN PLANET", "CASH = 5", "END"});
  RunScript(g.s, path, ScriptPass::Settings);
  EXPECT_EQ(g.s.tables.playerCount, 3);
  WriteUniverseFile(g.s);
  EXPECT_TRUE(g.Objects().empty());
  g.s.tables.playerCount = 7;
  RunScript(g.s, path, ScriptPass::Objects);
  EXPECT_EQ(g.s.tables.playerCount, 7);
  ASSERT_EQ(g.Objects().size(), 1u);
  EXPECT_EQ(g.Objects()[0].record.Get("cash"), 5);

  // Any section word opens a settings block in the settings pass; END RACES opens
  // RACES and closes it at once; a block still open at the end stays open.
  ScriptGame h;
  RunScript(h.s, h.WriteScript({"FOO TECH", "TECHHULL = 5", "END RACES", "PLAYERCOUNT = 9", "BAR START", "CARGO = 3",
                                "EXOTIC EXOTIC", "GALMONEY = 10"}),
            ScriptPass::Settings);
  EXPECT_TRUE(h.s.tables.scriptTech);
  EXPECT_EQ((std::vector<int>{h.s.tables.techHull, h.s.tables.playerCount, h.s.home.cargo, h.s.tables.playerMoney[1]}),
            (std::vector<int>{5, 12, 3, 10}));
  EXPECT_EQ(h.s.script.blockKind, BlockKind::Exotic);
}

TEST(Blocks, UnknownWordsAreIgnoredOrLoggedAndOnlyClosedBlocksCount) {
  ScriptGame g;
  const std::vector<StoredObject> o = g.Build(
      {"X = 5", "BEGIN STARSHIP", "X = 5", "END", "BEGIN RACES", "PLAYERCOUNT = 5", "Zip = 1", "END", "BEGIN",
       "CASH = 9", "END", "FROB PLANET", "CASH = 9", "END",                                        //
       "BEGIN PLANET", "CASH = 1", "Foo = 12", "X\t= 5", "BEGIN SHIP", "Bar = Some Value", "END",  //
       "BEGIN WING", "Baz = 1", "END", "BEGIN MAP", "Qux = 1", "END", "BEGIN PLANETNAMES", "END",  //
       "BEGIN PLANET", "CASH = 3"});  // still open at the end of the file: lost
  EXPECT_EQ(g.s.tables.playerCount, 5);
  EXPECT_TRUE(g.Messages().empty());
  ASSERT_EQ(o.size(), 3u);  // the planet (committed by the next BEGIN), the ship and the wing
  EXPECT_EQ(o[0].record.Get("cash"), 1);
  std::vector<std::string> errors;
  for (const std::string& l : g.LogLines())
    if (l.rfind("Error", 0) == 0) errors.push_back(l);
  EXPECT_EQ(errors,
            (std::vector<std::string>{"Error: Script: Foo", "Error: Script: X\t", "Error: Script: Bar SomeValue"}));
}

TEST(Blocks, RandomIdsActForEveryLaterObjectUntilSwitchedOff) {
  ScriptGame g;
  std::vector<std::string> lines = {"BEGIN PLANET", "END", "BEGIN SHIP", "ID = random", "END"};
  for (const auto& [kind, word] : OBJECT_BLOCKS)
    if (kind != BlockKind::Ship && kind != BlockKind::Planet)
      lines.insert(lines.end(), {std::string("BEGIN ") + word, "END"});
  lines.insert(lines.end(), {"BEGIN PLANET", "END", "BEGIN MAP", "ID = NOTRANDOM", "END", "BEGIN PLANET", "END",
                             "BEGIN WING", "END"});
  const std::vector<StoredObject> o = g.Build(lines);
  ASSERT_EQ(o.size(), 19u);
  EXPECT_EQ(o[0].id, 1);
  // Random identifiers lie in 10..19010; sixteen in a row counting up by one are not random.
  int sequential = 0;
  for (size_t i = 1; i <= 16; ++i) {
    EXPECT_TRUE(o[i].id >= 10 && o[i].id <= 19010) << o[i].id;
    sequential += o[i].id == o[i - 1].id + 1;
  }
  EXPECT_LT(sequential, 3);
  // Off again: the planet follows the last planet, the wing follows that planet.
  EXPECT_EQ(o[16].kind, ObjectKind::PLANET);
  EXPECT_EQ((std::vector<int>{o[17].id, o[18].id}), (std::vector<int>{o[16].id + 1, o[16].id + 2}));
}

TEST(Blocks, FailedStepsKeepTheFieldAndShowTheMessage) {
  ScriptGame g;
  const std::vector<StoredObject> o = g.Build(
      {"BEGIN ASSAULTPOD", "X = 2000", "Y = 40000", "END",                                    // 16-bit fields
       "BEGIN THING", "FLAVOR = 40000", "MARKER = 32767", "BIN = 32768", "END",               //
       "BEGIN WING", "MISSION = 1000000000", "END",                                           //
       "BEGIN SHIP", "ATTACKENEMY = 7", "ATTACKENEMY = seven", "SWITCHWEAPONS = 2.5",         // strict numbers
       "ATTACKPLAN = -3.5E0", "ATTACKPLAN = 3000000000", "END"});
  EXPECT_EQ(g.Messages(), std::vector<std::string>(6, "Error DoProperty"));
  ASSERT_EQ(o.size(), 4u);
  EXPECT_EQ(o[0].record.Get("x"), 2000);
  EXPECT_TRUE(o[0].record.Get("y") >= 1000 && o[0].record.Get("y") <= 3000);  // the constructor's
  test::ExpectFields(o[1].record, {{"flavor", 1}, {"marker", 32767}});
  test::ExpectFields(o[2].record, {{"mission", 0}});
  test::ExpectFields(o[3].record, {{"attackEnemy", 7}, {"switchWeapons", 2}, {"attackPlan", -4}});
}

// ---- Rows with extra actions -----------------------------------------------------------

// HULL rebuilds the ship only for a known hull. (The rebuild, which forgets the lines
// before it, is pinned by the recorded runs.)
TEST(ExtraActions, AnUnknownHullIsClampedAndRebuildsNothing) {
  ScriptGame g;
  const std::vector<StoredObject> o = g.Build({"BEGIN SHIP", "NAME = Kept", "HULL = 2500", "END"});
  ASSERT_EQ(o.size(), 1u);
  EXPECT_EQ(PlainText(o[0].record, "name"), FixedText("Kept", 40));
  EXPECT_EQ(o[0].record.Get("hull"), 2000);
  EXPECT_EQ(o[0].kind, ObjectKind::SHIP + 2000);
  EXPECT_TRUE(g.Logged("Script error: TrimShip"));
}

TEST(ExtraActions, FlagWordsAndAntiAir) {
  ScriptGame g;
  const std::vector<StoredObject> o = g.Build(
      {"BEGIN BASE", "MEDLAB = 0", "STRUCT(12) = 1", "STRUCT(13) = 5", "ANTIAIR = 40", "ANTIAIR = abc", "END",
       "BEGIN BASE", "MEDLAB = 0", "STRUCT(6) = 1", "PODPAD = 1", "END",  //
       "BEGIN LIFEPOD", "FREEZE = 1", "END", "BEGIN LIFEPOD", "FREEZE = 0", "END"});
  ASSERT_EQ(o.size(), 4u);
  // A new base has 3966: bits 1 to 6 and 8 to 11.
  test::ExpectFields(o[0].record, {{"structures", (3966 & ~64) | 4096 | 8192}, {"antiAir", 0}});
  EXPECT_TRUE(g.Logged("antiair:  40") && g.Logged("antiair:  0"));
  EXPECT_EQ(o[1].record.Get("structures"), 3966 | 1);
  EXPECT_EQ((std::vector<int>{o[2].record.Get("freeze"), o[3].record.Get("freeze")}), (std::vector<int>{16, 0}));
}

// ---- Planets ---------------------------------------------------------------------------

// A planet block starts from the last planet: what it does not set or draw carries over,
// and STAR redraws only the heat. (The heat it draws is pinned by the recorded runs.)
TEST(Planets, UnsetFieldsCarryOverPastAStar) {
  ScriptGame g;
  const std::vector<StoredObject> o =
      g.Build({"BEGIN PLANET", "CASH = 4321", "ELEORD = 99", "STAR = 21", "END", "BEGIN PLANET", "STAR = 21", "END"});
  ASSERT_EQ(o.size(), 2u);
  for (const StoredObject& p : o) test::ExpectFields(p.record, {{"cash", 4321}, {"eleOrd", 99}});
}

TEST(Planets, NamesComeFromTheListWhichIsMarkedClearedAndGrows) {
  ScriptGame g;
  const std::vector<StoredObject> o =
      g.Build({"BEGIN PLANETNAMES", "NAME = Alpha", "WHATEVER = \"Beta Prime\"", "N =", "END", "BEGIN PLANET",
               "NAME = Given", "NAME = random", "END", "BEGIN PLANET", "END", "BEGIN PLANET", "NAME = Own", "END"});
  ASSERT_EQ(o.size(), 3u);
  const std::set<std::string> names = {PlainText(o[0].record, "name"), PlainText(o[1].record, "name")};
  // Both took list names, or the second found only used entries above its random start.
  const int listed = static_cast<int>(names.count(FixedText("Alpha", 40)) + names.count(FixedText("Beta Prime", 40)));
  EXPECT_TRUE(listed == 2 || (listed == 1 && (std::regex_match(*names.begin(), RANDOM_NAME) ||
                                              std::regex_match(*names.rbegin(), RANDOM_NAME))));
  EXPECT_EQ(PlainText(o[2].record, "name"), FixedText("Own", 40));
  EXPECT_EQ(g.s.script.planetNameCount, 2);
  EXPECT_EQ(std::count(g.s.script.planetNames.begin(), g.s.script.planetNames.begin() + 2, FixedText("!", 40)), listed);
  EXPECT_TRUE(g.Logged("Planet Name: Alpha") && g.Logged("Planet Name: Beta Prime"));

  ScriptGame h;
  std::vector<std::string> lines = {"BEGIN PLANETNAMES"};
  for (int i = 1; i <= 150; ++i) lines.push_back("N = P" + std::to_string(i));
  lines.insert(lines.end(), {"N = clear", "N = Fresh", "END"});
  h.Build(lines);
  EXPECT_EQ(h.s.script.planetNameCount, 1);
  ASSERT_GE(h.s.script.planetNames.size(), 150u);
  EXPECT_EQ(h.s.script.planetNames[0], FixedText("Fresh", 40));
  EXPECT_EQ(h.s.script.planetNames[149], FixedText("P150", 40));
  EXPECT_TRUE(h.Logged("Planet names cleared"));
}

TEST(Planets, MapBlocksAddTheMapsPlanetsInFileOrder) {
  ScriptGame g;
  const std::vector<StoredObject> o = g.Build({"BEGIN MAP", "FILE = small", "END", "BEGIN MAP", "END", "BEGIN MAP",
                                               "FILE = nowhere", "END", "BEGIN MAP", "END", "BEGIN MAP",
                                               "FILE = zetagal", "END"});
  const forge::MapRecipe map = forge::GenerateMap(12, 1000, 1000, 400, 9);
  ASSERT_EQ(o.size(), 24u);  // twice the twelve planets; the missing map stops the repeats
  for (size_t i = 0; i < o.size(); ++i) {
    const forge::MapPlanetRecipe& p = map.planets[i % 12];
    test::ExpectFields(o[i].record, {{"x", p.x}, {"y", p.y}, {"star", p.star}});
    EXPECT_EQ(PlainText(o[i].record, "name"), FixedText(p.name, 40));
  }
  EXPECT_EQ(g.s.tables.counters.lastPlanetId, o.back().id);
  EXPECT_EQ(g.s.tables.mapKindCode, 2);  // ZETAGAL.MAP, although there is no such file
  EXPECT_EQ(g.s.map.planetCount, 12);
  std::vector<std::string> log = g.LogLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Script Map File: " + g.s.paths.dataDir + "SMALL.MAP"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Adding Planets from " + g.s.paths.dataDir + "SMALL.MAP"), 2);
}

// ---- Settings blocks ---------------------------------------------------------------------

TEST(Settings, PlayerCountClampsAndPlayerPicksARace) {
  for (const auto& [value, count] : std::vector<std::pair<std::string, int>>{{"1", 2}, {"40", 30}, {"", 2}, {"5", 5}}) {
    ScriptGame g;
    RunScript(g.s, g.WriteScript({"BEGIN RACES", "PLAYERCOUNT = " + value, "END"}), ScriptPass::Settings);
    EXPECT_EQ(g.s.tables.playerCount, count) << value;
    for (int i = 1; i <= MAX_PLAYERS; ++i) EXPECT_EQ(g.s.tables.playerActive[i], i <= count ? 1 : 0);
  }
  ScriptGame g;
  RunScript(g.s, g.WriteScript({"BEGIN RACES", "PLAYER(1) = 103", "PLAYER(2) = 102", "PLAYER(2) = 999",
                                "PLAYER(31) = 101", "PLAYER(7) = 101", "PLAYER = 101", "END"}),
            ScriptPass::Settings);
  auto entryOf = [&](int raceId) {
    for (int i = 1; i <= MAX_RACES; ++i)
      if (g.s.packs.raceList[i].raceId == raceId) return i;
    return 0;
  };
  // 999 is no race: unchanged. PLAYER(n) does not change who takes part.
  const auto& race = g.s.tables.playerRace;
  EXPECT_EQ((std::vector<int>{race[1], race[2], race[3], race[7], g.s.tables.playerActive[7]}),
            (std::vector<int>{entryOf(103), entryOf(102), 0, entryOf(101), 0}));
}

TEST(Settings, StartTechAndExoticSettings) {
  ScriptGame g;
  RunScript(g.s, g.WriteScript({"BEGIN START", "HOMEMINERAL = 9", "HOMECASH = 5000", "HOMEPOPULATION = DICE(10,10)",
                                "NATIVE = 3", "GALMONEY = 60000000", "GAMENAME = Grand Old Game",
                                "HOSTNAME = \"Host Of Games\"", "RSTNAME = mygame", "END",  //
                                "BEGIN TECH", "TECHENGINE = 9", "TECHPLANET = 4", "END",       //
                                "BEGIN EXOTIC", "EXOTICA3 = 1", "EXOTICA = 1", "PLAYERS = 3", "EXOTICB40 = 1",
                                "EXOTICA(5) = 7", "GALMONEY = 12345", "PLAYER(9) = 2", "EXOTICA5 = 1", "EXOTICA5 = 0",
                                "EXOTICB0 = 1", "END"}),
            ScriptPass::Settings);
  const HomeSettings& home = g.s.home;
  const UniverseTables& t = g.s.tables;
  EXPECT_EQ((std::vector<int>{home.homeMineral, home.homeCash, home.homePopulation, home.native}),
            (std::vector<int>{5, 5000, 10, 3}));
  EXPECT_EQ(t.galMoney, 50000000);  // START's GALMONEY; EXOTIC's is a player's money
  EXPECT_EQ((std::vector<std::string>{t.gameName, t.hostName, t.rstName}),
            (std::vector<std::string>{"GrandOldGame", "Host Of Games", "mygame"}));
  EXPECT_TRUE(t.scriptTech);
  EXPECT_EQ((std::vector<int>{t.techEngine, t.techPlanet}), (std::vector<int>{7, 4}));
  // EXOTICA3 for player 1; PLAYERS = 3 then selects player 3; PLAYER(9) = 2 player 2.
  EXPECT_EQ((std::vector<int>{t.exoticA[1], t.exoticA[2], t.exoticA[3], t.exoticB[2], t.exoticB[3]}),
            (std::vector<int>{8, 0, 32, 1, 1 << 30}));
  EXPECT_EQ((std::vector<int>{t.playerMoney[1], t.playerMoney[2], t.playerMoney[3], t.playerMoney[4]}),
            (std::vector<int>{0, 0, 12345, 0}));
  EXPECT_EQ(g.s.script.exoticPlayer, 2);  // kept for the next block and run
}

}  // namespace
}  // namespace tarvik
