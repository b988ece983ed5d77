// Map files: the reader, damaged maps, and the FILE statement of a MAP block.
#include <gtest/gtest.h>

#include "app/run_log.h"
#include "base/text.h"
#include "packs/data_files.h"
#include "forge/forge.h"
#include "packs/map_files.h"
#include "test_support.h"

namespace tarvik {
namespace {

forge::MapSpec ThreePlanets() {
  forge::MapSpec m;
  m.numberText = "  17";
  m.planets = {{100, 200, 3, "Orvane"}, {-5, 32767, 9, "Tilth Minor"}, {0, 0, 0, ""}};
  return m;
}

TEST(ReadMapFile, ReadsCountCoordinatesStarsAndPlainNames) {
  test::TempDir dir;
  std::string path = dir.path() + "three.map";
  forge::WriteMapFile(path, ThreePlanets());
  MapFile m = ReadMapFile(path);
  ASSERT_EQ(m.status, MapFileStatus::kOk);
  EXPECT_TRUE(m.headerOk);
  EXPECT_EQ(m.numberText, "  17");
  EXPECT_EQ(m.count, 3);
  ASSERT_EQ(m.planets.size(), 3u);
  EXPECT_EQ(m.planets[1].x, -5);
  EXPECT_EQ(m.planets[1].y, 32767);
  EXPECT_EQ(m.planets[1].star, 9);
  EXPECT_EQ(m.planets[1].name, FixedText("Tilth Minor", 40));
  EXPECT_EQ(m.planets[2].name, std::string(40, ' '));
}

TEST(ReadMapFile, UnusableMapsSayWhyAndHoldNoPlanets) {
  forge::MapLayoutInfo info;
  const std::vector<uint8_t> good = forge::BuildMapFile(ThreePlanets(), &info);
  auto poked = [&](size_t off, int32_t v) {
    std::vector<uint8_t> b = good;
    forge::PokeI32(b, off, v);
    return b;
  };
  std::vector<uint8_t> cutNames = good;
  cutNames.resize(good.size() - 1);
  std::vector<uint8_t> cutHeader = good;
  cutHeader.resize(108);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    MapFileStatus status;
  };
  const std::vector<Case> cases = {
      {"count 0", poked(100, 0), MapFileStatus::kBadCount},
      {"negative count", poked(100, -3), MapFileStatus::kBadCount},
      {"count 19000", poked(100, 19000), MapFileStatus::kBadCount},
      {"absurd count", poked(100, 0x7FFFFFFF), MapFileStatus::kBadCount},
      {"count beyond the lists", poked(100, 18999), MapFileStatus::kDamaged},
      {"coordinates past the end", poked(104, info.fileLength + 1), MapFileStatus::kDamaged},
      {"negative coordinate position", poked(104, -40), MapFileStatus::kDamaged},
      {"names past the end", poked(108, info.fileLength - 10), MapFileStatus::kDamaged},
      {"zero name position", poked(108, 0), MapFileStatus::kDamaged},
      {"last name truncated", cutNames, MapFileStatus::kDamaged},
      {"cut before the list positions", cutHeader, MapFileStatus::kTooShort},
      {"empty file", {}, MapFileStatus::kTooShort},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    std::string path = dir.path() + "bad.map";
    forge::WriteBytes(path, c.bytes);
    MapFile m = ReadMapFile(path);
    EXPECT_EQ(m.status, c.status) << c.what;
    EXPECT_TRUE(m.planets.empty()) << c.what;
  }
  EXPECT_EQ(ReadMapFile(dir.path() + "none.map").status, MapFileStatus::kMissing);
}

TEST(ReadMapFile, LargestCountIsRead) {
  test::TempDir dir;
  std::string path = dir.path() + "big.map";
  forge::WriteMapFile(path, forge::GenerateMap(18999, 5000, 5000, 9000, 3, 0));
  MapFile m = ReadMapFile(path);
  ASSERT_EQ(m.status, MapFileStatus::kOk);
  EXPECT_EQ(m.planets.size(), 18999u);
}

class ScriptMapFile : public ::testing::Test {
 protected:
  Session& s() { return t.s(); }
  std::string Log() { return LogWindowText(s().log); }
  test::TestSession t;
};

TEST_F(ScriptMapFile, StockNamesSetTheMapCodeEvenWhenTheFileIsMissing) {
  s().tables.mapKindCode = 3;
  SetScriptMapFile(s(), "ECHO");
  EXPECT_EQ(s().tables.mapKindCode, 1);
  EXPECT_FALSE(s().script.pendingMapFile);
  EXPECT_EQ(Log().find("Script Map File: "), std::string::npos);
  SetScriptMapFile(s(), "ZETAGAL.MAP");
  EXPECT_EQ(s().tables.mapKindCode, 2);
  SetScriptMapFile(s(), "EPSILON");
  EXPECT_EQ(s().tables.mapKindCode, 5);
  SetScriptMapFile(s(), "OTHER");
  EXPECT_EQ(s().tables.mapKindCode, 5);
  // A lower-case extension is not ".MAP": the name becomes "echo.map.MAP".
  SetScriptMapFile(s(), "echo.map");
  EXPECT_EQ(s().tables.mapKindCode, 5);
}

TEST_F(ScriptMapFile, ValidFileSwitchesThePendingMapOn) {
  forge::WriteMapFile(t.dir.path() + "data/ECHO.MAP", ThreePlanets());
  SetScriptMapFile(s(), "ECHO");
  ASSERT_TRUE(s().script.pendingMapFile);
  EXPECT_EQ(s().script.pendingMapPath, s().paths.dataDir + "ECHO.MAP");
  EXPECT_NE(Log().find("Script Map File: " + s().paths.dataDir + "ECHO.MAP"), std::string::npos);
  EXPECT_EQ(s().tables.mapKindCode, 1);
  // A later FILE naming a missing map switches it off again.
  SetScriptMapFile(s(), "GONE");
  EXPECT_FALSE(s().script.pendingMapFile);
}

TEST_F(ScriptMapFile, LowerCaseNameIsFoundWithTheAppendedExtension) {
  forge::WriteMapFile(t.dir.path() + "data/mine.map.MAP", ThreePlanets());
  SetScriptMapFile(s(), "mine.map");
  EXPECT_TRUE(s().script.pendingMapFile);
  EXPECT_EQ(s().script.pendingMapPath, s().paths.dataDir + "mine.map.MAP");
}

TEST_F(ScriptMapFile, ShortOrForeignFilesAreRejected) {
  std::string hundred(MAP_FILE_HEADER);
  hundred.resize(100, ' ');
  t.dir.Write("data/HUNDRED.MAP", hundred);
  t.dir.Write("data/FOREIGN.MAP", std::string(400, 'q'));
  SetScriptMapFile(s(), "HUNDRED");
  EXPECT_FALSE(s().script.pendingMapFile);
  SetScriptMapFile(s(), "FOREIGN");
  EXPECT_FALSE(s().script.pendingMapFile);
  hundred += ' ';
  t.dir.Write("data/HUNDRED.MAP", hundred);
  SetScriptMapFile(s(), "HUNDRED");
  EXPECT_TRUE(s().script.pendingMapFile);
}

}  // namespace
}  // namespace tarvik
