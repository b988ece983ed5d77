// Sections, blocks and the keyword tables: universes built from script text on a
// forged game folder and read back from the universe file.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>

#include "base/errors.h"
#include "base/text.h"
#include "objects/ship_construction.h"
#include "packs/scramble.h"
#include "script/keyword_tables.h"
#include "script/values.h"
#include "script_game.h"

namespace tarvik {
namespace {

using test::PlainText;
using test::ScriptGame;
using test::StoredObject;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// ---- The keyword tables as data --------------------------------------------------

const int kObjectKinds[] = {BlockKind::kPlanet,    BlockKind::kShip,        BlockKind::kBase,
                            BlockKind::kConPod,    BlockKind::kOrePod,      BlockKind::kLifePod,
                            BlockKind::kAssaultPod, BlockKind::kOutfitPod,  BlockKind::kNativePod,
                            BlockKind::kResupplyPod, BlockKind::kGoldPod,   BlockKind::kWreckage,
                            BlockKind::kMinefield, BlockKind::kThing,       BlockKind::kBuoy,
                            BlockKind::kWing};

TEST(KeywordTables, EveryRowNamesAFieldOfItsRecordWithTheRightShape) {
  for (int kind : kObjectKinds) {
    const KeywordTable* table = ObjectKeywordTable(kind);
    ASSERT_NE(table, nullptr) << kind;
    for (const KeywordRow& row : table->rows) {
      SCOPED_TRACE(std::string(table->layout->name()) + "." + std::string(row.keyword));
      const Field* f = table->layout->Find(row.field);
      ASSERT_NE(f, nullptr);
      switch (row.kind) {
        case ValueKind::Number:
          EXPECT_EQ(f->type, row.width == 16 ? FieldType::I16 : FieldType::I32);
          EXPECT_LE(row.min, row.max);
          break;
        case ValueKind::Text:
        case ValueKind::PlanetName:
        case ValueKind::Code:
          EXPECT_EQ(f->type, FieldType::Chars);
          EXPECT_EQ(f->charLen, row.width);
          break;
        case ValueKind::Bit:
        case ValueKind::Strict:
        case ValueKind::ThingCode:
          EXPECT_EQ(f->type, FieldType::I32);
          break;
      }
      // An indexed keyword covers the whole array; a plain one a single value.
      if (row.firstIndex > 0) {
        EXPECT_EQ(row.firstIndex, 1);
        EXPECT_EQ(row.lastIndex, f->count);
      } else if (row.kind != ValueKind::Bit) {
        EXPECT_EQ(f->count, 1);
      }
    }
  }
}

TEST(KeywordTables, KeywordsAreUniqueAndIndexedOnlyInBrackets) {
  const KeywordTable* base = ObjectKeywordTable(BlockKind::kBase);
  ASSERT_NE(base, nullptr);
  EXPECT_NE(base->Find("PTROOP(30)"), nullptr);
  EXPECT_EQ(base->Find("PTROOP(31)"), nullptr);
  EXPECT_EQ(base->Find("PTROOP"), nullptr);
  EXPECT_EQ(base->Find("PTROOP30"), nullptr);
  EXPECT_EQ(base->Find("STRUCT(6)")->row, base->Find("MEDLAB")->row);
  EXPECT_EQ(base->Find("XBASE")->field, base->Find("X")->field);
  EXPECT_EQ(ObjectKeywordTable(BlockKind::kWing)->Find("WINGRACE")->field,
            ObjectKeywordTable(BlockKind::kWing)->Find("RACENUM")->field);
  // Counting the expanded keywords: no two rows of a table collide.
  for (int kind : kObjectKinds) {
    const KeywordTable* t = ObjectKeywordTable(kind);
    size_t expected = 0;
    for (const KeywordRow& row : t->rows) {
      expected += row.firstIndex > 0 ? static_cast<size_t>(row.lastIndex - row.firstIndex + 1) : 1;
      expected += row.alias.empty() ? 0 : 1;
    }
    EXPECT_EQ(t->byKeyword.size(), expected) << t->layout->name();
  }
  EXPECT_EQ(ObjectKeywordTable(BlockKind::kRaces), nullptr);
}

// The value each keyword gets in the every-keyword test, and the text that says it.
struct Assignment {
  std::string keyword;
  std::string value;
  const KeywordBinding* binding;
};

std::vector<Assignment> EveryKeyword(int kind) {
  const KeywordTable& t = *ObjectKeywordTable(kind);
  std::vector<Assignment> out;
  int k = 0;
  for (const KeywordRow& row : t.rows) {
    std::vector<std::string> keywords;
    if (row.firstIndex > 0) {
      for (int i = row.firstIndex; i <= row.lastIndex; ++i) keywords.push_back(std::string(row.keyword) + "(" + std::to_string(i) + ")");
    } else {
      keywords.push_back(std::string(row.keyword));
    }
    for (const std::string& kw : keywords) {
      ++k;
      std::string value;
      switch (row.kind) {
        case ValueKind::Number: value = std::to_string(std::min<long long>(row.max, row.min + 5 + k % 5)); break;
        case ValueKind::Strict: value = std::to_string(10 + k) + ".5"; break;
        case ValueKind::Bit: value = "1"; break;
        case ValueKind::Code: value = "Q" + std::string(1, static_cast<char>('A' + k % 26)); break;
        case ValueKind::ThingCode: value = "ABCD"; break;
        default: value = "\"Text " + std::to_string(k) + "\""; break;
      }
      if (kind == BlockKind::kMinefield && kw == "FLAVOR") value = "4";
      if (kind == BlockKind::kShip && kw == "HULL") continue;  // set first, below
      out.push_back({kw, value, t.Find(kw)});
    }
  }
  return out;
}

std::string Unquoted(const std::string& v) {
  std::string out;
  for (char c : v) {
    if (c != '"') out += c;
  }
  return out;
}

const char* BlockWord(int kind) {
  switch (kind) {
    case BlockKind::kPlanet: return "PLANET";
    case BlockKind::kShip: return "SHIP";
    case BlockKind::kBase: return "BASE";
    case BlockKind::kConPod: return "CONPOD";
    case BlockKind::kOrePod: return "OREPOD";
    case BlockKind::kLifePod: return "LIFEPOD";
    case BlockKind::kAssaultPod: return "ASSAULTPOD";
    case BlockKind::kOutfitPod: return "OUTFITPOD";
    case BlockKind::kNativePod: return "NATIVEPOD";
    case BlockKind::kResupplyPod: return "RESUPPLYPOD";
    case BlockKind::kGoldPod: return "GOLDPOD";
    case BlockKind::kWreckage: return "WRECKAGE";
    case BlockKind::kMinefield: return "MINEFIELD";
    case BlockKind::kThing: return "THING";
    case BlockKind::kBuoy: return "BUOY";
    case BlockKind::kWing: return "WING";
  }
  return "";
}

// A hull on which no value of the every-keyword test is trimmed.
forge::GameFolderSpec RoomyGame() {
  forge::GameFolderSpec g = test::SmallGame();
  forge::HullSpec& h = g.shipPacks[0].desc.hulls[6];  // hull type 7
  h.pdWeaponSlots = 10;
  h.lWeaponSlots = 20;
  h.sWeaponSlots = 30;
  h.generatorSlots = 5;
  h.hugeWeaponMask = 31;
  return g;
}

TEST(EveryKeyword, LandsInItsFieldOfTheStoredObject) {
  for (int kind : kObjectKinds) {
    SCOPED_TRACE(BlockWord(kind));
    ScriptGame g(RoomyGame());
    std::vector<Assignment> assignments = EveryKeyword(kind);
    std::vector<std::string> lines = {std::string("BEGIN ") + BlockWord(kind)};
    if (kind == BlockKind::kShip) lines.push_back("HULL = 7");
    for (const Assignment& a : assignments) {
      lines.push_back(a.keyword + " = " + a.value);
    }
    lines.push_back("END");
    g.Build(lines);
    EXPECT_TRUE(g.Messages().empty()) << g.Messages().front();

    std::vector<StoredObject> objects = g.Objects();
    ASSERT_EQ(objects.size(), 1u);
    const Record& r = objects[0].record;
    for (const Assignment& a : assignments) {
      SCOPED_TRACE(a.keyword);
      ASSERT_NE(a.binding, nullptr);
      ASSERT_NE(a.binding->field, nullptr);
      const KeywordRow& row = *a.binding->row;
      const Field& f = *a.binding->field;
      const int idx = a.binding->index;
      switch (row.kind) {
        case ValueKind::Number:
          EXPECT_EQ(r.Get(f, idx), std::stoi(a.value));
          break;
        case ValueKind::Strict:
          EXPECT_EQ(r.Get(f, idx), std::nearbyint(std::stod(a.value)));  // 10.5 gives 10, 11.5 gives 12
          break;
        case ValueKind::Bit:
          EXPECT_TRUE(r.Get(f, idx) & (1 << row.bit));
          break;
        case ValueKind::Code:
          EXPECT_EQ(r.Text(f, idx), a.value + "A");
          break;
        case ValueKind::ThingCode:
          EXPECT_EQ(r.Get(f, idx), 0x44434241);
          break;
        case ValueKind::Text:
        case ValueKind::PlanetName: {
          std::string stored = r.Text(f, idx);
          const std::set<std::string> scrambled = {"name", "shipLog", "info1", "info2", "message"};
          if (scrambled.count(std::string(row.field))) {
            stored = PlainText(r, row.field, row.field == "shipLog" ? "shipLogKey" : "nameKey");
          }
          if (kind == BlockKind::kThing && row.field == "info1") {
            EXPECT_EQ(stored, FixedText("Code: ABC", 20));  // DATA1 comes later and shows its code
          } else {
            EXPECT_EQ(stored, FixedText(Unquoted(a.value), static_cast<size_t>(row.width)));
          }
          break;
        }
      }
    }
    if (kind == BlockKind::kShip) {
      EXPECT_EQ(r.Get("hull"), 7);
    }
  }
}

TEST(EveryKeyword, AliasesSetTheSameFieldAsTheirRow) {
  ScriptGame g;
  g.Build({"BEGIN SHIP", "SHIELD = 7", "ELEN = 42", "END",                 //
           "BEGIN BASE", "ORD = 777", "XBASE = 1500", "YBASE = 1600", "STRUCT(0) = 0", "END",  //
           "BEGIN RESUPPLYPOD", "ORD = 555", "END",                         //
           "BEGIN WRECKAGE", "ORD = 66", "SHIELD = 3", "END",               //
           "BEGIN THING", "CODE = XYZ", "END",                              //
           "BEGIN WING", "WINGRACE = 3", "END"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 6u);
  EXPECT_EQ(o[0].record.Get("shieldFlavor"), 7);
  EXPECT_EQ(o[0].record.Get("fuel"), 42);
  EXPECT_EQ(o[1].record.Get("eleOrd"), 777);
  EXPECT_EQ(o[1].record.Get("x"), 1500);
  EXPECT_EQ(o[1].record.Get("y"), 1600);
  EXPECT_EQ(o[1].record.Get("structures") & 1, 0);
  EXPECT_EQ(o[2].record.Get("eleOrd"), 555);
  EXPECT_EQ(o[3].record.Get("eleOrd"), 66);
  EXPECT_EQ(o[3].record.Get("shieldFlavor"), 3);
  EXPECT_EQ(o[4].record.Get("data1"), 'X' | 'Y' << 8 | 'Z' << 16);
  EXPECT_EQ(o[5].record.Get("raceNum"), 3);
}

// ---- Passes, sections and blocks -------------------------------------------------

TEST(Blocks, SettingsAndObjectsActInTheirOwnPass) {
  ScriptGame g;
  const std::string path = g.WriteScript({"BEGIN RACES", "PLAYERCOUNT = 3", "END", "BEGIN PLANET", "CASH = 5", "END"});
  RunScript(g.s, path, SETTINGS_PASS);
  EXPECT_EQ(g.s.tables.playerCount, 3);
  WriteUniverseFile(g.s);
  EXPECT_TRUE(g.Objects().empty());
  g.s.tables.playerCount = 7;  // the objects pass leaves the settings alone
  RunScript(g.s, path, OBJECTS_PASS);
  EXPECT_EQ(g.s.tables.playerCount, 7);
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 1u);
  EXPECT_EQ(o[0].record.Get("cash"), 5);
}

TEST(Blocks, SettingsBlocksOpenOnAnySectionWordOfTheSettingsPass) {
  ScriptGame g;
  EXPECT_FALSE(g.s.tables.scriptTech);
  RunScript(g.s, g.WriteScript({"FOO TECH", "TECHHULL = 5", "END RACES", "PLAYERCOUNT = 9", "BAR START",
                                "CARGO = 3", "EXOTIC EXOTIC", "GALMONEY = 10"}),
            SETTINGS_PASS);
  EXPECT_TRUE(g.s.tables.scriptTech);
  EXPECT_EQ(g.s.tables.techHull, 5);
  EXPECT_EQ(g.s.tables.playerCount, 12);  // END RACES opens and closes at once
  EXPECT_EQ(g.s.home.cargo, 3);
  EXPECT_EQ(g.s.tables.playerMoney[1], 10);
  // The EXOTIC block is still open when the file ends: the next run starts in it.
  EXPECT_EQ(g.s.script.blockKind, BlockKind::kExotic);
}

TEST(Blocks, BeginCommitsTheOpenBlockAndTheLastOpenBlockIsLost) {
  ScriptGame g;
  g.Build({"BEGIN PLANET", "CASH = 1", "BEGIN PLANET", "CASH = 2", "END", "BEGIN PLANET", "CASH = 3"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 2u);
  EXPECT_EQ(o[0].record.Get("cash"), 1);
  EXPECT_EQ(o[1].record.Get("cash"), 2);
}

TEST(Blocks, UnknownBlocksAndStrayPropertiesAreIgnored) {
  ScriptGame g;
  g.Build({"X = 5", "BEGIN STARSHIP", "X = 5", "END", "BEGIN RACES", "PLAYERCOUNT = 5", "END", "BEGIN", "CASH = 9",
           "END", "FROB PLANET", "CASH = 9"});
  EXPECT_TRUE(g.Objects().empty());
  EXPECT_TRUE(g.Messages().empty());
  EXPECT_EQ(g.s.tables.playerCount, 5);
}

TEST(Blocks, EmptyPlanetBlockGetsRandomDefaultsPositionAndName) {
  ScriptGame g;
  std::vector<std::string> lines;
  for (int i = 0; i < 60; ++i) {
    lines.push_back("BEGIN PLANET");
    lines.push_back("END");
  }
  g.Build(lines);
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 60u);
  const std::regex randomName("[A-Z]{3} [0-9]{3} {33}");
  std::set<int> xs;
  for (const StoredObject& p : o) {
    for (const char* axis : {"x", "y"}) {
      EXPECT_GE(p.record.Get(axis), 1000);
      EXPECT_LE(p.record.Get(axis), 3000);
    }
    xs.insert(p.record.Get("x"));
    EXPECT_TRUE(std::regex_match(PlainText(p.record, "name"), randomName)) << PlainText(p.record, "name");
    EXPECT_GE(p.record.Get("nameKey"), 10);
    EXPECT_LE(p.record.Get("nameKey"), 210);
  }
  EXPECT_GT(xs.size(), 50u);
}

TEST(Blocks, RandomIdsActForEveryLaterObjectUntilSwitchedOff) {
  ScriptGame g;
  std::vector<std::string> lines = {"BEGIN PLANET", "END", "BEGIN SHIP", "ID = random", "END"};
  for (const char* kind : {"BASE", "CONPOD", "OREPOD", "LIFEPOD", "ASSAULTPOD", "OUTFITPOD", "NATIVEPOD",
                           "RESUPPLYPOD", "GOLDPOD", "WRECKAGE", "MINEFIELD", "THING", "BUOY", "WING", "PLANET"}) {
    lines.push_back(std::string("BEGIN ") + kind);
    lines.push_back("END");
  }
  lines.insert(lines.end(), {"BEGIN MAP", "ID = NOTRANDOM", "END", "BEGIN PLANET", "END", "BEGIN WING", "END"});
  g.Build(lines);
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 19u);
  EXPECT_EQ(o[0].id, 1);
  // The random identifiers lie in 10..19010; sixteen of them in a row that happen to
  // count up by one would be a sign that they are not random at all.
  int sequential = 0;
  for (size_t i = 1; i <= 16; ++i) {
    EXPECT_GE(o[i].id, 10);
    EXPECT_LE(o[i].id, 19010);
    sequential += o[i].id == o[i - 1].id + 1 ? 1 : 0;
  }
  EXPECT_LT(sequential, 3);
  // Off again: the planet follows the last planet, the wing follows that planet.
  EXPECT_EQ(o[16].kind, ObjectKind::kPlanet);
  EXPECT_EQ(o[17].id, o[16].id + 1);
  EXPECT_EQ(o[18].id, o[17].id + 1);
  EXPECT_FALSE(g.s.script.randomIds);
}

TEST(Blocks, UnknownKeywordsAreLoggedByBlockKind) {
  ScriptGame g;
  g.Build({"BEGIN PLANET", "Foo = 12", "X\t= 5", "END", "BEGIN SHIP", "Bar = Some Value", "END", "BEGIN WING",
           "Baz = 1", "END", "BEGIN MAP", "Qux = 1", "END", "BEGIN PLANETNAMES", "END"});
  std::vector<std::string> log = g.LogLines();
  EXPECT_TRUE(Contains(log, "Error: Script: Foo"));
  EXPECT_TRUE(Contains(log, "Error: Script: X\t"));
  EXPECT_TRUE(Contains(log, "Error: Script: Bar SomeValue"));
  for (const std::string& l : log) {
    EXPECT_EQ(l.find("Baz"), std::string::npos);
    EXPECT_EQ(l.find("Qux"), std::string::npos);
  }
}

// ---- Failed steps --------------------------------------------------------------------

TEST(FailedSteps, SixteenBitOverflowKeepsTheFieldAndShowsTheMessage) {
  ScriptGame g;
  g.Build({"BEGIN ASSAULTPOD", "X = 2000", "Y = 40000", "END",  //
           "BEGIN THING", "FLAVOR = 40000", "MARKER = 32767", "BIN = 32768", "END",  //
           "BEGIN WING", "MISSION = 1000000000", "END"});
  std::vector<std::string> messages = g.Messages();
  ASSERT_EQ(messages.size(), 4u);
  for (const std::string& m : messages) EXPECT_EQ(m, "Error DoProperty");
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 3u);
  EXPECT_EQ(o[0].record.Get("x"), 2000);
  EXPECT_GE(o[0].record.Get("y"), 1000);  // the constructor's position
  EXPECT_LE(o[0].record.Get("y"), 3000);
  EXPECT_EQ(o[1].record.Get("flavor"), 1);
  EXPECT_EQ(o[1].record.Get("marker"), 32767);
  EXPECT_EQ(o[2].record.Get("mission"), 0);
}

TEST(FailedSteps, StrictNumbersThatAreNoNumbersKeepTheField) {
  ScriptGame g;
  g.Build({"BEGIN SHIP", "ATTACKENEMY = 7", "ATTACKENEMY = seven", "SWITCHWEAPONS = 2.5", "ATTACKPLAN = -3.5E0",
           "ATTACKPLAN = 3000000000", "END"});
  EXPECT_EQ(g.Messages(), (std::vector<std::string>{"Error DoProperty", "Error DoProperty"}));
  const std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 1u);
  const Record& ship = o[0].record;
  EXPECT_EQ(ship.Get("attackEnemy"), 7);
  EXPECT_EQ(ship.Get("switchWeapons"), 2);
  EXPECT_EQ(ship.Get("attackPlan"), -4);
}

// ---- Rows with extra actions -----------------------------------------------------------

TEST(ExtraActions, HullRebuildsTheShipOnlyForAKnownHull) {
  ScriptGame g;
  g.Build({"BEGIN SHIP", "NAME = Lost", "CREW = 3", "HULL = 5", "END",  //
           "BEGIN SHIP", "HULL = 5", "NAME = Kept", "END",              //
           "BEGIN SHIP", "HULL = 2500", "END"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 3u);
  EXPECT_EQ(PlainText(o[0].record, "name"), FixedText("Hull 5", 40));
  EXPECT_EQ(o[0].record.Get("crew"), 100);  // the hull's crew, not the script's
  EXPECT_EQ(PlainText(o[1].record, "name"), FixedText("Kept", 40));
  EXPECT_EQ(o[2].record.Get("hull"), 2000);  // clamped, unknown: no rebuild
  EXPECT_EQ(o[2].kind, ObjectKind::kShipBase + 2000);
  std::vector<std::string> log = g.LogLines();
  EXPECT_TRUE(Contains(log, "Script error: TrimShip"));
}

TEST(ExtraActions, StructureBitsAndTheirNamedAliases) {
  ScriptGame g;
  g.Build({"BEGIN BASE", "MEDLAB = 0", "STRUCT(12) = 1", "STRUCT(13) = 5", "END",  //
           "BEGIN BASE", "MEDLAB = 0", "STRUCT(6) = 1", "PODPAD = 1", "END",       //
           "BEGIN LIFEPOD", "FREEZE = 1", "END", "BEGIN LIFEPOD", "FREEZE = 0", "END"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 4u);
  // A new base has 3966: bits 1 to 6 and 8 to 11.
  EXPECT_EQ(o[0].record.Get("structures"), (3966 & ~64) | 4096 | 8192);
  EXPECT_EQ(o[1].record.Get("structures"), 3966 | 1);
  EXPECT_EQ(o[2].record.Get("freeze"), 16);
  EXPECT_EQ(o[3].record.Get("freeze"), 0);
}

TEST(ExtraActions, AntiAirIsLoggedInTheNumberFormat) {
  ScriptGame g;
  g.Build({"BEGIN BASE", "ANTIAIR = 40", "ANTIAIR = abc", "END"});
  std::vector<std::string> log = g.LogLines();
  EXPECT_TRUE(Contains(log, "antiair:  40"));
  EXPECT_TRUE(Contains(log, "antiair:  0"));
  EXPECT_EQ(g.Objects().at(0).record.Get("antiAir"), 0);
}

TEST(ExtraActions, ThingCodesArePackedInMemory) {
  ScriptGame g;
  g.Build({"BEGIN THING", "CODE = ABC", "END", "BEGIN THING", "DATA1 = AB", "END", "BEGIN THING", "CODE = WXYZ",
           "END"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 3u);
  EXPECT_EQ(o[0].record.Get("data1"), 4407873);
  EXPECT_EQ(PlainText(o[0].record, "info1"), "Code: ABC" + std::string(11, ' '));
  const std::string random = PlainText(o[1].record, "info1");
  EXPECT_TRUE(std::regex_match(random, std::regex("Code: [A-Z]{3} {11}"))) << random;
  const int32_t packed = o[1].record.Get("data1");
  EXPECT_EQ(packed, random[6] | random[7] << 8 | random[8] << 16);
  EXPECT_EQ(o[2].record.Get("data1"), 'W' | 'X' << 8 | 'Y' << 16 | 'Z' << 24);
  EXPECT_EQ(PlainText(o[2].record, "info1"), FixedText("Code: WXY", 20));
  EXPECT_FALSE(FileExists("~244jam11.tmp"));
  EXPECT_FALSE(FileExists(g.s.paths.appPath + "~244jam11.tmp"));
}

TEST(ExtraActions, CodesNamesAndClampedColours) {
  ScriptGame g;
  g.Build({"BEGIN WING", "FCODE = x", "NAME = \"Red  Wing\"", "END", "BEGIN BASE", "FCODE =", "END",  //
           "BEGIN BUOY", "COLOR = 0", "END", "BEGIN BUOY", "COLOR = 20", "END"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 4u);
  EXPECT_EQ(o[0].record.Text("fCode"), "xAA");
  EXPECT_EQ(PlainText(o[0].record, "name"), FixedText("Red  Wing", 40));
  EXPECT_EQ(o[1].record.Text("fCode"), "AAA");
  EXPECT_EQ(o[2].record.Get("color"), 1);
  EXPECT_EQ(o[3].record.Get("color"), 16);
}

// ---- Planets ---------------------------------------------------------------------------

TEST(Planets, StarRedrawsOnlyTheHeatAndUnsetFieldsCarryOver) {
  ScriptGame g;
  std::vector<std::string> lines = {"BEGIN PLANET", "CASH = 4321", "ELEORD = 99", "STAR = 21", "END"};
  for (int i = 0; i < 40; ++i) lines.insert(lines.end(), {"BEGIN PLANET", "STAR = 21", "END"});
  g.Build(lines);
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 41u);
  std::set<int> heats;
  for (const StoredObject& p : o) {
    EXPECT_EQ(p.record.Get("cash"), 4321);
    EXPECT_EQ(p.record.Get("eleOrd"), 99);
    EXPECT_EQ(p.record.Get("star"), 21);
    heats.insert(p.record.Get("starHeat"));
  }
  EXPECT_GE(*heats.begin(), 74);
  EXPECT_LE(*heats.rbegin(), 94);
  EXPECT_GT(heats.size(), 8u);
}

TEST(Planets, NamesComeFromTheListAndAreMarkedUsed) {
  ScriptGame g;
  g.Build({"BEGIN PLANETNAMES", "NAME = Alpha", "WHATEVER = \"Beta Prime\"", "N =", "END",  //
           "BEGIN PLANET", "NAME = Given", "NAME = random", "END",                       //
           "BEGIN PLANET", "END", "BEGIN PLANET", "NAME = Own", "END"});
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 3u);
  std::set<std::string> names = {PlainText(o[0].record, "name"), PlainText(o[1].record, "name")};
  // Two planets took list names, or the second found only used entries above its
  // random start and got a random name.
  const bool bothFromList = names == std::set<std::string>{FixedText("Alpha", 40), FixedText("Beta Prime", 40)};
  const bool oneRandom = names.count(FixedText("Alpha", 40)) + names.count(FixedText("Beta Prime", 40)) == 1;
  EXPECT_TRUE(bothFromList || oneRandom);
  EXPECT_EQ(PlainText(o[2].record, "name"), FixedText("Own", 40));
  EXPECT_EQ(g.s.script.planetNameCount, 2);
  int used = 0;
  for (int i = 0; i < 2; ++i) used += g.s.script.planetNames[i] == FixedText("!", 40) ? 1 : 0;
  EXPECT_EQ(used, bothFromList ? 2 : 1);
  std::vector<std::string> log = g.LogLines();
  EXPECT_TRUE(Contains(log, "Planet Name: Alpha"));
  EXPECT_TRUE(Contains(log, "Planet Name: Beta Prime"));
}

TEST(Planets, ClearEmptiesTheListAndTheListGrows) {
  ScriptGame g;
  std::vector<std::string> lines = {"BEGIN PLANETNAMES"};
  for (int i = 1; i <= 150; ++i) lines.push_back("N = P" + std::to_string(i));
  lines.insert(lines.end(), {"N = clear", "N = Fresh", "END"});
  g.Build(lines);
  EXPECT_EQ(g.s.script.planetNameCount, 1);
  EXPECT_GE(g.s.script.planetNames.size(), 150u);
  EXPECT_EQ(g.s.script.planetNames[0], FixedText("Fresh", 40));
  EXPECT_EQ(g.s.script.planetNames[149], FixedText("P150", 40));
  EXPECT_TRUE(Contains(g.LogLines(), "Planet names cleared"));
}

TEST(Planets, MapBlocksAddTheMapsPlanetsInFileOrder) {
  ScriptGame g;
  g.Build({"BEGIN MAP", "FILE = small", "END", "BEGIN MAP", "END", "BEGIN MAP", "FILE = nowhere", "END",
           "BEGIN MAP", "END", "BEGIN MAP", "FILE = zetagal", "END"});
  const forge::MapSpec map = forge::GenerateMap(12, 1000, 1000, 400, 9);
  std::vector<StoredObject> o = g.Objects();
  ASSERT_EQ(o.size(), 24u);  // twice the twelve planets; the missing map stops the repeats
  for (size_t i = 0; i < o.size(); ++i) {
    const forge::MapPlanetSpec& p = map.planets[i % 12];
    EXPECT_EQ(o[i].record.Get("x"), p.x);
    EXPECT_EQ(o[i].record.Get("y"), p.y);
    EXPECT_EQ(o[i].record.Get("star"), p.star);
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

TEST(Settings, PlayerCountAndRaces) {
  for (const auto& [value, count] : std::vector<std::pair<std::string, int>>{{"1", 2}, {"40", 30}, {"", 2}, {"5", 5}}) {
    ScriptGame g;
    RunScript(g.s, g.WriteScript({"BEGIN RACES", "PLAYERCOUNT = " + value, "END"}), SETTINGS_PASS);
    EXPECT_EQ(g.s.tables.playerCount, count) << value;
    for (int i = 1; i <= MAX_PLAYERS; ++i) EXPECT_EQ(g.s.tables.playerActive[i], i <= count ? 1 : 0);
  }
  ScriptGame g;
  RunScript(g.s,
            g.WriteScript({"BEGIN RACES", "PLAYER(1) = 103", "PLAYER(2) = 102", "PLAYER(2) = 999", "PLAYER(31) = 101",
                           "PLAYER(7) = 101", "PLAYER = 101", "END"}),
            SETTINGS_PASS);
  auto entryOf = [&](int raceId) {
    for (int i = 1; i <= MAX_RACES; ++i) {
      if (g.s.packs.raceList[i].raceId == raceId) return i;
    }
    return 0;
  };
  EXPECT_EQ(g.s.tables.playerRace[1], entryOf(103));
  EXPECT_EQ(g.s.tables.playerRace[2], entryOf(102));  // 999 is no race: unchanged
  EXPECT_EQ(g.s.tables.playerRace[7], entryOf(101));
  EXPECT_EQ(g.s.tables.playerActive[7], 0);  // PLAYER(n) does not change who takes part
  EXPECT_EQ(g.s.tables.playerRace[3], 0);
}

TEST(Settings, StartAndTechSettings) {
  ScriptGame g;
  RunScript(g.s,
            g.WriteScript({"BEGIN START", "HOMEMINERAL = 9", "HOMECASH = 5000", "HOMEPOPULATION = DICE(10,10)",
                           "NATIVE = 3", "GALMONEY = 60000000", "GAMENAME = Grand Old Game",
                           "HOSTNAME = \"Host Of Games\"", "RSTNAME = mygame", "END", "BEGIN TECH", "TECHENGINE = 9",
                           "TECHPLANET = 4", "END"}),
            SETTINGS_PASS);
  EXPECT_EQ(g.s.home.homeMineral, 5);
  EXPECT_EQ(g.s.home.homeCash, 5000);
  EXPECT_EQ(g.s.home.homePopulation, 10);
  EXPECT_EQ(g.s.home.native, 3);
  EXPECT_EQ(g.s.tables.galMoney, 50000000);
  EXPECT_EQ(g.s.tables.gameName, "GrandOldGame");
  EXPECT_EQ(g.s.tables.hostName, "Host Of Games");
  EXPECT_EQ(g.s.tables.rstName, "mygame");
  EXPECT_EQ(g.s.tables.techEngine, 7);
  EXPECT_EQ(g.s.tables.techPlanet, 4);
  EXPECT_TRUE(g.s.tables.scriptTech);
  for (int p = 1; p <= MAX_PLAYERS; ++p) EXPECT_EQ(g.s.tables.playerMoney[p], 0);
}

TEST(Settings, ExoticBitsAddressTheChosenPlayer) {
  ScriptGame g;
  RunScript(g.s,
            g.WriteScript({"BEGIN EXOTIC", "EXOTICA3 = 1", "EXOTICA = 1", "PLAYERS = 3", "EXOTICB40 = 1",
                           "EXOTICA(5) = 7", "GALMONEY = 12345", "PLAYER(9) = 2", "EXOTICA5 = 1", "EXOTICA5 = 0",
                           "EXOTICB0 = 1", "END"}),
            SETTINGS_PASS);
  EXPECT_EQ(g.s.tables.exoticA[1], 8);
  EXPECT_EQ(g.s.tables.exoticB[3], 1 << 30);
  EXPECT_EQ(g.s.tables.exoticA[3], 32);
  EXPECT_EQ(g.s.tables.playerMoney[3], 12345);
  EXPECT_EQ(g.s.tables.galMoney, 0);
  EXPECT_EQ(g.s.tables.exoticA[2], 0);
  EXPECT_EQ(g.s.tables.exoticB[2], 1);
  EXPECT_EQ(g.s.script.exoticPlayer, 2);  // kept for the next block and run
}

}  // namespace
}  // namespace tarvik
