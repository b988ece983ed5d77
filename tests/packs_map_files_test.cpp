// Map files: the reader and the FILE statement of a MAP block. Damaged maps are in
// packs_damaged_files_test.
#include <gtest/gtest.h>

#include "base/text.h"
#include "forge/forge.h"
#include "log/run_log.h"
#include "packs/data_files.h"
#include "packs/map_files.h"
#include "script/map_block.h"
#include "test_support.h"

namespace tarvik {
namespace {

TEST(ReadMapFile, ReadsCountCoordinatesStarsAndPlainNamesUpToTheLargestCount) {
  test::TempDir dir;
  forge::WriteMapFile(dir.path() + "three.map",
                      {.numberText = "  17", .planets = {{100, 200, 3, "Orvane"}, {-5, 32767, 9, "Tilth Minor"}, {}}});
  MapFile m = ReadMapFile(dir.path() + "three.map");
  ASSERT_EQ(m.status, MapFileStatus::Ok);
  EXPECT_TRUE(m.headerOk);
  EXPECT_EQ(m.numberText, "  17");
  EXPECT_EQ(m.count, 3);
  ASSERT_EQ(m.planets.size(), 3u);
  EXPECT_EQ(m.planets[1].x, -5);
  EXPECT_EQ(m.planets[1].y, 32767);
  EXPECT_EQ(m.planets[1].star, 9);
  EXPECT_EQ(m.planets[1].name(), FixedText("Tilth Minor", 40));
  EXPECT_EQ(m.planets[2].name(), std::string(40, ' '));

  forge::WriteMapFile(dir.path() + "big.map", forge::GenerateMap(18999, 5000, 5000, 9000, 3, 0));
  m = ReadMapFile(dir.path() + "big.map");
  ASSERT_EQ(m.status, MapFileStatus::Ok);
  EXPECT_EQ(m.planets.size(), 18999u);
}

// One session, FILE statements in turn: the stock names set the map code whether or
// not their file is there; only a map file that passes the header test (more than 100
// bytes) switches the pending map on, and any other FILE switches it off again.
TEST(SetScriptMapFile, StockCodesHeaderTestAndTheAppendedExtension) {
  test::TestSession t;
  Session& s = t.s();
  forge::WriteMapFile(t.dir.path() + "data/ZETAGAL.MAP", {.planets = {{1, 2, 3, "P"}}});
  forge::WriteMapFile(t.dir.path() + "data/mine.map.MAP", {.planets = {{1, 2, 3, "P"}}});
  std::string hundred(MAP_FILE_HEADER);
  hundred.resize(100, ' ');
  t.dir.Write("data/HUNDRED.MAP", hundred);
  t.dir.Write("data/OK101.MAP", hundred + " ");
  t.dir.Write("data/FOREIGN.MAP", std::string(400, 'q'));
  struct Step {
    const char* name;
    const char* file;  // the file looked for in the data folder
    int code;
    bool pending;
  };
  const Step steps[] = {
      {"ECHO", "ECHO.MAP", 1, false},          {"ZETAGAL.MAP", "ZETAGAL.MAP", 2, true},
      {"EPSILON", "EPSILON.MAP", 5, false},    {"OTHER", "OTHER.MAP", 5, false},
      {"echo.map", "echo.map.MAP", 5, false},  {"mine.map", "mine.map.MAP", 5, true},
      {"HUNDRED", "HUNDRED.MAP", 5, false},    {"FOREIGN", "FOREIGN.MAP", 5, false},
      {"OK101", "OK101.MAP", 5, true},         {"GONE", "GONE.MAP", 5, false},
  };
  s.tables.mapKindCode = 3;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    SetScriptMapFile(s, step.name);
    EXPECT_EQ(s.tables.mapKindCode, step.code);
    EXPECT_EQ(s.script.pendingMapFile, step.pending);
    const std::string path = s.paths.dataDir + step.file;
    if (step.pending) {
      EXPECT_EQ(s.script.pendingMapPath, path);
    }
    EXPECT_EQ(LogWindowText(s.log).find("Script Map File: " + path) != std::string::npos, step.pending);
  }
}

}  // namespace
}  // namespace tarvik
