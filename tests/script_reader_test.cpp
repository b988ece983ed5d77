// Reading script files, the planet defaults, and the map files' planets and stats.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>

#include "base/errors.h"
#include "base/text.h"
#include "objects/map_planets.h"
#include "objects/object_store.h"
#include "objects/planet_defaults.h"
#include "packs/map_files.h"
#include "platform/mapped_file.h"
#include "script/planet_names.h"
#include "script/script_line.h"
#include "script/script_reader.h"
#include "script_game.h"

namespace tarvik {
namespace {

using test::ScriptGame;

TEST(ScriptFile, MissingEmptyAndLineFeedOnlyScripts) {
  ScriptGame g;
  g.s.script.pendingMapFile = true;
  g.s.script.pendingMapPath = "x";
  g.s.map.defaultMapFile = "data/echo.map";
  // A missing script stops the program before anything changes.
  EXPECT_EQ(test::FatalMessageOf([&] { RunScript(g.s, g.s.paths.scriptsDir + "nothere.vps", ScriptPass::Settings); }),
            "Script Missing");
  EXPECT_TRUE(g.s.script.pendingMapFile);
  EXPECT_TRUE(g.LogLines().empty());

  // Each run, even of an empty script, clears the pending and the chosen map.
  const std::string empty = g.ts.dir.Write("scripts/empty.vps", std::string());
  RunScript(g.s, empty, ScriptPass::Settings);
  EXPECT_FALSE(g.s.script.pendingMapFile);
  EXPECT_EQ(g.s.script.pendingMapPath + g.s.map.defaultMapFile, "");
  WriteUniverseFile(g.s);
  DeleteFileAt(g.universe);  // an objects pass that opened the store would need the file
  RunScript(g.s, empty, ScriptPass::Objects);
  EXPECT_FALSE(FileExists(g.universe));
  EXPECT_FALSE(g.s.store.file);
}

// A script of exactly `pages` pages: a long comment line, 40 planets with CASH = 1..40,
// then `ending`.
std::string PageScript(size_t pages, const std::string& ending) {
  std::string planets;
  for (int i = 1; i <= 40; ++i) planets += "BEGIN PLANET\r\nCASH = " + std::to_string(i) + "\r\nEND\r\n";
  planets += ending;
  const size_t size = pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return "'" + std::string(size - planets.size() - 3, '-') + "\r\n" + planets;
}

const std::string PAGE_SCRIPT_ENDINGS[] = {"BEGIN PLANET\r\nCASH = 41\r\nEND", "BEGIN PLANET\rCASH = 41\rEND\r",
                                           "CASH = 5", "BEGIN PLANET\r\nCASH = 41\r\nEND\r\n' last"};

// The cutter reads no byte past a script's end, even where the end is a page's end
// and the next page cannot be read: the script is mapped with such a page after it.
TEST(ScriptFile, TheCutterStopsAtTheEndOfAMappedScript) {
  test::TempDir dir;
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  // The statements cut, and how many lines were passed over: none, property statements,
  // or lines that do nothing outside a settings block.
  enum Skipping { None, Properties, Idle };
  const auto statements = [](std::string_view text, Skipping skipping, size_t& skipped) {
    constexpr std::string_view SETTINGS_WORDS[] = {"RACES", "START", "TECH", "EXOTIC"};
    std::vector<std::string> out;
    ScriptLines lines(text);
    ScriptTokens t;
    std::string work;
    skipped = 0;
    for (;;) {
      const size_t before = lines.position();
      if (skipping == Properties) lines.SkipPropertyLines();
      if (skipping == Idle) lines.SkipLinesWithoutArguments(SETTINGS_WORDS);
      skipped += static_cast<size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(before),
                                                text.begin() + static_cast<std::ptrdiff_t>(lines.position()), '\r'));
      if (!lines.Next(t, work)) return out;
      out.push_back(std::string(t.word) + "|" + std::string(t.argument) + "|" + std::string(t.keyword) + "|" +
                    std::string(t.value));
    }
  };
  for (const std::string& ending : PAGE_SCRIPT_ENDINGS) {
    const std::string text = PageScript(3, ending);
    ASSERT_EQ(text.size(), 3 * page);
    const std::string path = dir.Write("paged.vps", text);
    // Room for the script and one page more, none of it readable; the script is then
    // mapped over all but that last page.
    void* room = ::mmap(nullptr, text.size() + page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(room, MAP_FAILED);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_NE(::mmap(room, text.size(), PROT_READ, MAP_PRIVATE | MAP_FIXED, fd, 0), MAP_FAILED);
    ::close(fd);
    const std::string_view mapped(static_cast<const char*>(room), text.size());
    size_t skipped = 0;
    const std::vector<std::string> all = statements(mapped, None, skipped);
    EXPECT_EQ(all, statements(text, None, skipped)) << ending;
    for (const Skipping skipping : {Properties, Idle}) {
      EXPECT_EQ(statements(mapped, skipping, skipped).size() + skipped, all.size()) << ending;
      EXPECT_GT(skipped, 0u);
    }
    ::munmap(room, text.size() + page);
  }
}

// A script large enough to be mapped and let go of as it is read, ending at a page's
// end: a build reads it to the end, whatever its last line.
TEST(ScriptFile, ALargeScriptIsReadToItsLastLine) {
  for (const std::string& ending : PAGE_SCRIPT_ENDINGS) {
    ScriptGame g;
    WriteUniverseFile(g.s);
    const std::string path = g.ts.dir.Write("scripts/paged.vps", PageScript(80, ending));
    ASSERT_TRUE(WholeFile(path).mapped());
    RunScript(g.s, path, ScriptPass::Settings);
    RunScript(g.s, path, ScriptPass::Objects);
    const std::vector<test::StoredObject> o = g.Objects();
    const bool lastPlanet = ending.find("41") != std::string::npos;
    ASSERT_EQ(o.size(), lastPlanet ? 41u : 40u) << ending;
    EXPECT_EQ(o.back().record.Get("cash"), lastPlanet ? 41 : 40) << ending;
    EXPECT_EQ(g.s.script.blockKind, BlockKind::None) << ending;
  }
}

// ---- RandomPlanet ----------------------------------------------------------------------

struct PlanetTest : ::testing::Test {
  test::TestSession ts;
  Session& s = ts.s();
  Record& p = s.records.planet;
  PlanetTest() { s.random.Seed(0); }
};

TEST_F(PlanetTest, DefaultsKeepTheFieldsTheyDoNotDraw) {
  s.home.native = s.home.mineral = 0;
  s.home.cargo = 1;  // cargo level 1: eleFix and eleS are never drawn
  p.SetText("name", "Kept");
  const std::map<std::string, int> kept = {{"x", 123}, {"y", 456}, {"star", 21}, {"eleOrd", 7},
                                           {"cash", 8}, {"eleFix", 777}, {"eleS", 555}};
  for (const auto& [field, value] : kept) p.Set(field, value);
  p.SetI32At(156, 4242);
  const std::pair<int, int> words[] = {{156, 4242}, {144, 2147483647}, {0, -1}, {4, -1}};  // unnamed words
  for (int i = 0; i < 500; ++i) {
    RandomPlanet(s);
    ASSERT_EQ(p.Text("name"), FixedText("Kept", 40));
    for (const auto& [field, value] : kept) ASSERT_EQ(p.Get(field), value) << field;
    for (const auto& [pos, value] : words) ASSERT_EQ(p.I32At(pos), value) << pos;
    ASSERT_EQ(p.Get("nameKey"), 0);
  }

  s.home.cargo = 2;  // now about one planet in five draws its fix parts
  int changed = 0;
  for (int i = 0; i < 300; ++i) {
    p.Set("eleFix", 5000);
    RandomPlanet(s);
    if (p.Get("eleFix") == 5000) continue;
    ++changed;
    EXPECT_LE(p.Get("eleFix"), 1000);
  }
  EXPECT_GT(changed, 30);
  EXPECT_LT(changed, 95);
}

// ---- Map files ---------------------------------------------------------------------------

TEST(MapPlanets, MissingAndUnusableMapsAddNothing) {
  ScriptGame g;
  WriteUniverseFile(g.s);
  OpenObjectStore(g.s, g.universe);
  const std::string dir = g.s.paths.dataDir;
  AddMapPlanetObjects(g.s, dir + "gone.map");
  std::vector<uint8_t> bytes = forge::BuildMapFile(forge::GenerateMap(3, 100, 100, 50, 1));
  // Too many planets, none, and a wild position of the names.
  const struct { const char* name; int count, namePos; } maps[] = {
      {"big.map", 19000, 0}, {"none.map", 0, 0}, {"wild.map", 3, 1 << 30}};
  for (const auto& m : maps) {
    forge::PokeI32(bytes, 100, m.count);
    if (m.namePos) forge::PokeI32(bytes, 104, m.namePos);
    forge::WriteBytes(dir + m.name, bytes);
    AddMapPlanetObjects(g.s, dir + m.name);
  }
  CloseObjectStore(g.s);
  EXPECT_TRUE(g.Objects().empty());
  EXPECT_EQ(g.LogLines(), (std::vector<std::string>{"Size =  12", "Map File Missing: " + dir + "gone.map",
                                                    "Adding Planets from " + dir + "big.map",
                                                    "Adding Planets from " + dir + "none.map",
                                                    "Adding Planets from " + dir + "wild.map",
                                                    "Map File Damaged: " + dir + "wild.map"}));
}

TEST(MapPlanets, StatsOfAMapFile) {
  test::TempDir dir;
  forge::WriteMapFile(dir.path() + "m.map", {.planets = {{1000, 1000, 1, "A"}, {3000, 1000, 1, "B"},
                                                          {1000, 2000, 1, "C"}, {2001, 2001, 1, "D"}}});
  MapStats st;
  ASSERT_TRUE(MapFileStats(dir.path() + "m.map", st));
  // The centre (7001 / 4, 6001 / 4) is (1750, 1500). The radius is the smaller distance to
  // the box's corners: hypot(750, 500) = 901.4 to (1000, 1000), not 1346.7 to (3000, 2001).
  EXPECT_EQ((std::vector<int>{st.centerX, st.centerY, st.width, st.height, st.planetCount, st.radius}),
            (std::vector<int>{1750, 1500, 2000, 1001, 4, 901}));
  MapStats untouched;
  untouched.radius = -5;
  EXPECT_FALSE(MapFileStats(dir.path() + "none.map", untouched));
  EXPECT_EQ(untouched.radius, -5);
}

}  // namespace
}  // namespace tarvik
