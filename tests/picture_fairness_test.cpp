// The fairness report and the map picture on a forged map whose distances are known:
// three players picked onto home planets 1000, 800 and 600 map units apart, with
// planets at 50, 70, 150, 250 and 350 units from the homes.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/tool_commands.h"
#include "base/text.h"
#include "generation_game.h"
#include "survey/fairness.h"
#include "survey/map_picture.h"
#include "survey/universe_view.h"
#include "packs/map_files.h"
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
  EXPECT_EQ(report.rows[0].planetsWithin[0], 1);          // P at 100 exactly
  EXPECT_EQ(report.rows[0].planetsWithin[2], 2);          // Q at 300 exactly; R at 301 is not
  EXPECT_EQ(report.rows[0].oreWithin, 500);
  EXPECT_TRUE(report.rows[0].homePlanetName.empty());
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
  EXPECT_NE(title[0]->text.find("<&> ?"), std::string::npos) << title[0]->text;  // the control character as U+FFFD
  // Two players, neither with a home: in the legend, and no home mark.
  EXPECT_TRUE(OfClass(svg, "g", "home").empty());
  EXPECT_NE(text.find("Slot 2: race 102"), std::string::npos);
}

}  // namespace
}  // namespace tarvik::test
