// The fairness report and the map picture on a forged map whose distances are known:
// three players picked onto home planets 1000, 800 and 600 map units apart, with
// planets at 50, 70, 150, 250 and 350 units from the homes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "app/tool_commands.h"
#include "base/text.h"
#include "generation_game.h"
#include "survey/fairness.h"
#include "survey/map_picture.h"
#include "survey/universe_view.h"
#include "packs/map_files.h"
#include "platform/files.h"
#include "script/script_reader.h"
#include "xml_lite.h"

namespace tarvik::test {
namespace {

forge::MapRecipe KnownMap() {
  forge::MapRecipe m;
  m.planets = {
      {1000, 1000, 3, "Home One"}, {1600, 1800, 3, "Home Two"}, {1000, 1800, 3, "Home Three"},
      {1050, 1000, 2, "Near A"},   // 50 from home one
      {1000, 1150, 2, "Near B"},   // 150 from home one
      {1250, 1000, 2, "Near C"},   // 250 from home one
      {1000, 650, 2, "Far D"},     // 350 from home one
      {1600, 1870, 2, "Near E"},   // 70 from home two
      {3000, 3000, 1, "Corner"},
  };
  return m;
}

struct KnownGame {
  GenerationGame g;
  UniverseView view;

  static forge::GameFolderRecipe Recipe() {
    forge::GameFolderRecipe recipe = forge::SampleGame();
    recipe.maps.push_back({"known.map", KnownMap()});
    return recipe;
  }
  KnownGame() : g(Recipe()) {
    const int status = g.Generate(1, {"--map", g.app + "data/known.map", "--races", "101,102,103", "--layout", "pick",
                                      "--pick", "1000,1000,1600,1800,1000,1800"});
    EXPECT_EQ(status, 0);
    view = ReadUniverseView(ReadWholeFile(g.Universe(1)));
  }
  // The ore of the named planets, as their records hold it.
  long long OreOf(const std::set<std::string>& names) const {
    long long ore = 0;
    for (const StoredObject& o : g.Objects(1)) {
      if (o.descriptor->blockKind != BlockKind::Planet) continue;
      if (!names.count(TrimBlanks(PlainText(o.record, "name")))) continue;
      ore += static_cast<long long>(o.record.Get("oreN")) + o.record.Get("oreD") + o.record.Get("oreT") + o.record.Get("oreM");
    }
    return ore;
  }
};

// The line of the text that begins with `start`, its words joined by single blanks.
std::string Words(const std::string& text, const std::string& start) {
  size_t at = text.rfind("\n" + start);
  if (at == std::string::npos) return "(no line " + start + ")";
  const std::string line = text.substr(at + 1, text.find('\n', at + 1) - at - 1);
  std::string out;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += line[i];
  }
  return TrimBlanks(out);
}

TEST(Fairness, RowsAndSpreadsOnAMapWithKnownDistances) {
  KnownGame k;
  EXPECT_TRUE(k.view.problems.empty());
  const FairnessReport report = RateStartPositions(Players(k.view), Planets(k.view));
  ASSERT_EQ(report.rows.size(), 3u);
  struct Expected {
    int x, y;
    const char* planet;
    double nearest;
    int within[3];
    std::set<std::string> oreFrom;
  };
  const Expected expected[] = {
      {1000, 1000, "Home One", 800, {1, 2, 3}, {"Near A", "Near B"}},
      {1600, 1800, "Home Two", 600, {1, 1, 1}, {"Near E"}},
      {1000, 1800, "Home Three", 600, {0, 0, 0}, {}},
  };
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i + 1);
    const FairnessRow& row = report.rows[static_cast<size_t>(i)];
    const Expected& e = expected[i];
    EXPECT_EQ(row.player.slot, i + 1);
    EXPECT_EQ(row.player.raceId, 101 + i);
    EXPECT_FALSE(row.player.raceName.empty());
    EXPECT_TRUE(row.player.homeIsBase);
    EXPECT_EQ(row.player.x, e.x);
    EXPECT_EQ(row.player.y, e.y);
    EXPECT_EQ(row.homePlanetName, e.planet);
    ASSERT_TRUE(row.nearestHome.has_value());
    EXPECT_DOUBLE_EQ(*row.nearestHome, e.nearest);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(row.planetsWithin[r], e.within[r]) << FAIRNESS_RADII[r];
    EXPECT_EQ(row.oreWithin, k.OreOf(e.oreFrom));
  }
  ASSERT_EQ(report.spreads.size(), 5u);
  EXPECT_DOUBLE_EQ(report.spreads[0].lowest, 600);
  EXPECT_DOUBLE_EQ(report.spreads[0].highest, 800);
  EXPECT_DOUBLE_EQ(report.spreads[3].lowest, 0);
  EXPECT_DOUBLE_EQ(report.spreads[3].highest, 3);

  const std::string text = FairnessText(report);
  EXPECT_NE(text.find("Distances are straight-line distances in map units"), std::string::npos);
  EXPECT_NE(text.find("Home One"), std::string::npos);
  EXPECT_EQ(Words(text, "nearest home"), "nearest home 600.0 800.0 1.33") << text;
  EXPECT_EQ(Words(text, "planets within 300"), "planets within 300 0 3 none (lowest is 0)") << text;
  EXPECT_EQ(Words(text, "1 "), "1 101 Brannock Freeholds (1000, 1000) Home One 800.0 1 2 3 " +
                                   std::to_string(k.OreOf({"Near A", "Near B"})))
      << text;
  // What --fairness prints for the file is the same report.
  EXPECT_EQ(FairnessReportOf(k.g.Universe(1)), text);
}

TEST(Fairness, PlayersWithoutAHomeOrWithoutAnother) {
  PlayerView alone;  // a race that keeps its colony on ships
  alone.slot = 4;
  alone.raceId = 111;
  alone.hasHome = true;
  PlayerView homeless;
  homeless.slot = 7;
  homeless.raceId = 105;
  const std::vector<PlanetView> planets = {{1, 60, 80, "P", 500}, {2, 300, 0, "Q", 70}, {3, 0, 301, "R", 9}};
  const FairnessReport report = RateStartPositions({alone, homeless}, planets);
  ASSERT_EQ(report.rows.size(), 2u);
  EXPECT_FALSE(report.rows[0].nearestHome.has_value());  // no other home
  EXPECT_FALSE(report.spreads[0].any);  // nobody has another home
  EXPECT_TRUE(report.spreads[1].any);   // only the player with a home counts
  EXPECT_DOUBLE_EQ(report.spreads[4].lowest, 500);
  const std::string text = FairnessText(report);
  EXPECT_NE(text.find("(no home)"), std::string::npos);
  EXPECT_EQ(Words(text, "nearest home"), "nearest home - - -") << text;
  EXPECT_EQ(Words(text, "7 "), "7 105 (no home) - - - - - -") << text;
}

// The elements of a class, whatever their tag ("" for any tag).
std::vector<const XmlElement*> OfClass(const XmlElement& root, const std::string& tag, const std::string& cls) {
  std::vector<const XmlElement*> out;
  for (const XmlElement& c : root.children) {
    if ((tag.empty() || c.name == tag) && c.Attribute("class") == cls) out.push_back(&c);
    for (const XmlElement* e : OfClass(c, tag, cls)) out.push_back(e);
  }
  return out;
}

TEST(MapPicture, OnePlanetMarkPerPlanetAndOneLabelledHomePerPlayer) {
  KnownGame k;
  const XmlElement svg = XmlElement::Parse(UniverseSvg(k.view));
  EXPECT_EQ(svg.name, "svg");
  EXPECT_EQ(OfClass(svg, "", "planet").size(), KnownMap().planets.size());
  const std::vector<const XmlElement*> homes = OfClass(svg, "g", "home");
  ASSERT_EQ(homes.size(), 3u);
  std::set<std::string> colors;
  for (size_t i = 0; i < homes.size(); ++i) {
    const std::string slot = std::to_string(i + 1);
    EXPECT_EQ(homes[i]->Attribute("data-slot"), slot);
    std::vector<const XmlElement*> labels, marks;
    homes[i]->FindAll("text", labels);
    homes[i]->FindAll("circle", marks);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->text, slot);
    EXPECT_EQ(labels[0]->Attribute("fill"), SlotColor(static_cast<int>(i + 1)));
    ASSERT_EQ(marks.size(), 1u);
    colors.insert(marks[0]->Attribute("stroke"));
  }
  EXPECT_EQ(colors.size(), 3u);
  size_t ships = 0;
  for (const ObjectView& o : k.view.objects) ships += o.kind->blockKind == BlockKind::Ship ? 1 : 0;
  EXPECT_GT(ships, 0u);
  EXPECT_EQ(OfClass(svg, "", "ship").size(), ships);
  const std::vector<const XmlElement*> size = OfClass(svg, "text", "size");
  ASSERT_EQ(size.size(), 1u);
  EXPECT_EQ(size[0]->text, "map 2000 x 2350 (x 1000 to 3000, y 650 to 3000)");

  // A map file: its planets, with their names.
  const XmlElement mapSvg = XmlElement::Parse(MapFileSvg(ReadMapFile(k.g.app + "data/known.map")));
  const std::vector<const XmlElement*> planets = OfClass(mapSvg, "", "planet");
  ASSERT_EQ(planets.size(), KnownMap().planets.size());
  std::vector<const XmlElement*> titles;
  planets[0]->FindAll("title", titles);
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0]->text, "Home One (1000, 1000), star 3");
  EXPECT_TRUE(OfClass(mapSvg, "g", "home").empty());
}

TEST(MapPicture, MinefieldsWithTheirRadiusAndTextsMadeSafe) {
  ScriptGame g;
  g.Build({"BEGIN MAP", "FILE = small", "END", "BEGIN MINEFIELD", "PNUM = 1", "FLAVOR = 1", "RADIUS = 200", "X = 1000",
           "Y = 1000", "END", "BEGIN BUOY", "NAME = \"<&> \x01\"", "X = 1100", "Y = 1000", "END"});
  const UniverseView view = ReadUniverseView(ReadWholeFile(g.universe));
  const std::string text = UniverseSvg(view);
  const XmlElement svg = XmlElement::Parse(text);
  const std::vector<const XmlElement*> circle = OfClass(svg, "circle", "minefield");
  ASSERT_EQ(circle.size(), 1u);
  EXPECT_GT(std::stod(circle[0]->Attribute("r")), 20.0);  // 200 map units on a map a few hundred wide
  EXPECT_EQ(circle[0]->Attribute("stroke"), SlotColor(1));
  const std::vector<const XmlElement*> buoys = OfClass(svg, "", "buoy");
  ASSERT_EQ(buoys.size(), 1u);
  std::vector<const XmlElement*> title;
  buoys[0]->FindAll("title", title);
  ASSERT_EQ(title.size(), 1u);
  EXPECT_NE(title[0]->text.find("<&> \xEF\xBF\xBD"), std::string::npos) << title[0]->text;  // the control character as U+FFFD
  // Two players, neither with a home: in the legend, and no home mark.
  EXPECT_TRUE(OfClass(svg, "g", "home").empty());
  EXPECT_NE(text.find("Slot 2: race 102"), std::string::npos);
}

// ---- The objects the store kept, against the file read back -----------------------------

// The start of a universe file up to its object tables, where the players are read from.
std::vector<uint8_t> HeadOf(const std::vector<uint8_t>& file, int32_t objectTablesPos) {
  return std::vector<uint8_t>(file.begin(), file.begin() + std::min<std::ptrdiff_t>(objectTablesPos - 1, file.size()));
}

// The players and planets made from the objects `store` kept as it stored them, against
// those read back from the universe file at path: the same, field for field; and the same
// report either way.
void ExpectKeptAsRead(const std::string& path, const StoreState& store, int32_t objectTablesPos) {
  ASSERT_TRUE(store.placedAll);
  ASSERT_EQ(store.path, path);  // so that the report below is made from the kept objects
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  const StartPositions read = ReadStartPositions(bytes);
  const std::optional<StartPositions> kept =
      StartPositionsOf(HeadOf(bytes, objectTablesPos), store.placed, [&](int32_t pos, int size) {
        return std::vector<uint8_t>(bytes.begin() + pos - 1, bytes.begin() + pos - 1 + size);
      });
  ASSERT_TRUE(kept.has_value());
  ASSERT_EQ(kept->players.size(), read.players.size());
  for (size_t i = 0; i < read.players.size(); ++i) {
    const PlayerView& k = kept->players[i];
    const PlayerView& r = read.players[i];
    EXPECT_EQ(std::tie(k.slot, k.raceId, k.raceName, k.hasHome, k.homeIsBase, k.x, k.y, k.homePlanetId),
              std::tie(r.slot, r.raceId, r.raceName, r.hasHome, r.homeIsBase, r.x, r.y, r.homePlanetId))
        << "player " << r.slot;
  }
  ASSERT_EQ(kept->planets.size(), read.planets.size());
  for (size_t i = 0; i < read.planets.size(); ++i) {
    const PlanetView& k = kept->planets[i];
    const PlanetView& r = read.planets[i];
    EXPECT_EQ(std::tie(k.id, k.x, k.y, k.name, k.ore), std::tie(r.id, r.x, r.y, r.name, r.ore)) << "planet " << r.id;
  }
  EXPECT_EQ(FairnessReportOf(path, store, objectTablesPos), FairnessReportOf(path));
}

// Generated universes: every layout, fleets and extra freighters or none, and race 111,
// which keeps its colony on its ships while standard ships are on.
TEST(Fairness, TheGeneratedObjectsTheStoreKeptGiveThePositionsOfTheFile) {
  const std::vector<std::vector<std::string>> runs = {
      {"--map", "echo", "--races", "101,102,103,104,105,106,107,108,109,110,111", "--layout", "spaced",
       "--standard-ships", "1", "--extra-freighters", "1"},
      {"--map", "epsilon", "--races", "111,102,103,802", "--layout", "circle"},
      {"--map", "epsilon", "--races", "101,111,803,804,805", "--layout", "grid", "--standard-ships", "1"},
      {"--map", "echo", "--races", "105,106,107", "--layout", "crazy", "--extra-freighters", "1"},
  };
  for (const std::vector<std::string>& words : runs) {
    SCOPED_TRACE(words[1] + " " + words[3] + " " + words[5]);
    GenerationGame g;
    ASSERT_EQ(g.Generate(1, words), 0);
    ExpectKeptAsRead(g.s.tables.universeFilePath, g.s.store, g.s.tables.counters.objectTablesPos);
  }
}

// A file cut short after it was written (inside a home planet's record, then inside its
// head): the report is the one read from the file as it now is.
TEST(Fairness, TheReportOfAFileCutSinceItWasWrittenIsReadFromIt) {
  GenerationGame g;
  ASSERT_EQ(g.Generate(1, {"--map", "echo", "--races", "101,102,103", "--layout", "spaced"}), 0);
  const std::string& path = g.s.tables.universeFilePath;
  const int32_t tablesPos = g.s.tables.counters.objectTablesPos;
  ASSERT_TRUE(g.s.store.placedAll);
  for (const long long length : {static_cast<long long>(tablesPos) + 100, 1000LL}) {
    std::filesystem::resize_file(ResolvePath(path), static_cast<std::uintmax_t>(length));
    EXPECT_EQ(FairnessReportOf(path, g.s.store, tablesPos), FairnessReportOf(path)) << length;
  }
}

// A script of every object kind, with identifiers drawn at random (kept out of order),
// bases locked to planets, owners of every kind, and a minefield whose flavor gives it
// no kind code (taken by its record size).
TEST(Fairness, TheScriptedObjectsTheStoreKeptGiveThePositionsOfTheFile) {
  ScriptGame g;
  g.s.store.keepPlaced = true;
  const SteadyFolders steady;  // as a build runs: the store knows the file as it was written
  std::vector<std::string> lines = {"BEGIN MAP", "FILE = small", "ID = RANDOM", "END"};
  for (int i = 0; i < 6; ++i) {
    const std::string x = std::to_string(900 + 90 * i), y = std::to_string(1000 + 40 * i);
    lines.insert(lines.end(), {"BEGIN PLANET", "X = " + x, "Y = " + y, "NAME = \"World " + std::to_string(i) + "\"",
                               "END"});
  }
  lines.insert(lines.end(),
               {"BEGIN SHIP", "PNUM = 2", "HULL = 3", "X = 1400", "Y = 1400", "END",    //
                "BEGIN BASE", "PNUM = 1", "X = 1090", "Y = 1040", "END",                //
                "BEGIN WING", "PNUM = 2", "X = 1300", "Y = 1300", "END",                //
                "BEGIN MINEFIELD", "PNUM = 1", "FLAVOR = 3", "RADIUS = 50", "X = 1000", "Y = 1000", "END",
                "BEGIN BASE", "PNUM = 1", "X = 1270", "Y = 1120", "END",  // the second base is no home
                "BEGIN BUOY", "X = 1100", "Y = 1000", "END",             //
                "BEGIN WRECKAGE", "X = 1200", "Y = 1000", "END"});
  g.Build(lines);
  // The map's planets, the script's six, and one object of each other kind, the
  // minefield taken by its record size: all kept, as the file's reader takes them.
  const UniverseView view = ReadUniverseView(ReadWholeFile(g.universe));
  EXPECT_EQ(g.s.store.placed.size(), static_cast<size_t>(std::count_if(
                                         view.objects.begin(), view.objects.end(),
                                         [](const ObjectView& o) { return o.kind && o.record; })));
  EXPECT_TRUE(std::any_of(view.objects.begin(), view.objects.end(), [](const ObjectView& o) {
    return o.kindCode == 0 && o.kind && o.kind->blockKind == BlockKind::Minefield;
  }));
  EXPECT_TRUE(std::any_of(view.objects.begin(), view.objects.end(), [](const ObjectView& o) {
    return o.kind && o.kind->blockKind == BlockKind::Base && o.record && o.record->record.Get("planetId") != 0;
  }));
  EXPECT_FALSE(std::is_sorted(g.s.store.placed.begin(), g.s.store.placed.end(),
                              [](const PlacedObject& a, const PlacedObject& b) { return a.id < b.id; }));
  ExpectKeptAsRead(g.s.tables.universeFilePath, g.s.store, g.s.tables.counters.objectTablesPos);
}

// The store keeps nothing it was not asked to, and a file that held objects before the
// store opened it has others than those it kept.
TEST(Fairness, KeptObjectsAreAllOfTheFileOnlyWhenItHeldNoneBefore) {
  ScriptGame g;
  const SteadyFolders steady;
  g.Build({"BEGIN PLANET", "X = 1000", "Y = 1000", "END"});
  EXPECT_FALSE(g.s.store.placedAll);
  EXPECT_TRUE(g.s.store.placed.empty());
  g.s.store.keepPlaced = true;
  const std::string script = g.WriteScript({"BEGIN PLANET", "X = 1100", "Y = 1000", "END"}, "more.vps");
  RunScript(g.s, script, ScriptPass::Objects);  // a second pass over the same file
  EXPECT_EQ(g.s.store.placed.size(), 1u);
  EXPECT_FALSE(g.s.store.placedAll);
  // The report then reads the file, which holds both planets.
  EXPECT_EQ(FairnessReportOf(g.universe, g.s.store, g.s.tables.counters.objectTablesPos),
            FairnessReportOf(g.universe));
}

}  // namespace
}  // namespace tarvik::test
