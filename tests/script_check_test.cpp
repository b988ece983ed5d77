// The script checker: a designer's script with one of each problem, each reported on
// its line; files with bare line feeds; the sample tutorial clean; and a check that
// writes nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tool_commands.h"
#include "forge/forge.h"
#include "survey/script_check.h"
#include "script_game.h"
#include "test_support.h"

namespace tarvik::test {
namespace {

struct CheckGame {
  TestSession ts;
  Session& s = ts.s();

  explicit CheckGame(const forge::GameFolderRecipe& recipe = SmallGame()) {
    forge::WriteGameFolder(ts.dir.path(), recipe);
    StartWithoutChanges(s, ts.dir.path());
  }
  std::vector<ScriptWarning> Check(const std::string& text) {
    return CheckScript(s, std::vector<uint8_t>(text.begin(), text.end()));
  }
};

std::string Listed(const std::vector<ScriptWarning>& warnings) { return CheckReportText("t.vps", warnings); }

// Exactly the expected warnings, in order: each on its line, each holding its text.
void ExpectWarnings(const std::vector<ScriptWarning>& w, const std::vector<std::pair<int, std::string>>& expected) {
  ASSERT_EQ(w.size(), expected.size()) << Listed(w);
  for (size_t i = 0; i < w.size(); ++i) {
    EXPECT_EQ(w[i].line, expected[i].first) << Listed(w);
    EXPECT_NE(w[i].text.find(expected[i].second), std::string::npos) << w[i].text;
  }
}

TEST(ScriptCheck, EachProblemOnItsLine) {
  CheckGame c;
  const std::string text = CrLfText({
      "' one of each problem",            // 1
      "BEGIN RACES",                      // 2
      "PLAYERCOUNT = 2",                  // 3
      "PLAYER(1) = 101",                  // 4
      "PLAYER(2) = 999",                  // 5 race ID not in the race list
      "END",                              // 6
      "STRAY = 5",                        // 7 outside any block
      "BEGN PLANET",                      // 8 unknown section word
      "BEGIN PLANET",                     // 9
      "NAEM = Kellis",                    // 10 unknown keyword
      "CLIMATE = warm",                   // 11 not a number, reads as 0
      "SOIL = 5000",                      // 12 pulled to the highest value
      "BEGIN SHIP",                       // 13 BEGIN inside an open block
      "HULL = 77",                        // 14 hull type in no ship pack
      "ATTACKENEMY = yes",                // 15 "Error DoProperty"
      "END",                              // 16
      "BEGIN BUOY",                       // 17 still open at the end
  }) + "X = 2000\nY = 2100\r\n";          // 18 a bare line feed joins two lines
  const std::vector<ScriptWarning> w = c.Check(text);
  const std::vector<std::pair<int, std::string>> expected = {
      {5, "race ID 999 is not in the race list (races/*.rce): player 2 gets no race"},
      {7, "the statement \"STRAY = 5\" lies outside any block"},
      {8, "unknown section word \"BEGN\""},
      {10, "unknown keyword \"NAEM\" in a PLANET block"},
      {11, "value \"warm\" of CLIMATE is not a number and reads as 0"},
      {12, "value \"5000\" of SOIL is above the highest value 1000 and is read as 1000"},
      {13, "BEGIN inside the open PLANET block of line 9: END is missing"},
      {14, "hull type 77 is in no ship pack"},
      {15, "the statement fails (\"Error DoProperty\": The value yes is not a number.)"},
      {17, "the BUOY block opened here is still open at the end of the file: END is missing, so its object is not made"},
      {18, "2 lines here are joined into one: they end with bare line feeds"},
      {18, "value \"2000Y=2100\" of X is not a whole number"},
  };
  ExpectWarnings(w, expected);
  EXPECT_EQ(Listed(w).substr(0, 20), "t.vps:5: warning: ra");
  EXPECT_NE(Listed(w).find("\nt.vps: 12 warnings\n"), std::string::npos);
}

TEST(ScriptCheck, ValuesBoundsAndTheOtherBlocks) {
  CheckGame c;
  const std::vector<ScriptWarning> w = c.Check(CrLfText({
      "BEGIN START",            // 1
      "HOMECASH = -50",         // 2 below the lowest value
      "GAMENAME = \"Any 1\"",   // 3 a text: fine
      "HOMECLASH = 5",          // 4 unknown in START
      "END",                    // 5
      "BEGIN TECH",             // 6
      "TECHENGINE = 1.5",       // 7 read as 15, then pulled to 7
      "END",                    // 8
      "BEGIN EXOTIC",           // 9
      "PLAYER = 2",             // 10
      "EXOTICA(3) = 1",         // 11
      "MONEY = 5",              // 12 unknown in EXOTIC
      "END",                    // 13
      "BEGIN MAP",              // 14
      "FILE = nowhere",         // 15 no such map
      "FILE = small",           // 16
      "ID = SOMETIMES",         // 17 changes nothing
      "END",                    // 18
      "BEGIN PLANET",           // 19
      "STAR = DICE(0,50)",      // 20 both numbers pulled
      "CASH =",                 // 21 empty
      "ELEM = 12345678901",     // 22 eleven digits
      "END",                    // 23
      "BEGIN PLANETNAMES",      // 24
      "ANYTHING = Vale",        // 25 every keyword adds a name
      "END",                    // 26
      "BEGIN NEBULA",           // 27 no such block
      "X = 5",                  // 28 not reported again
      "END",                    // 29
  }));
  const std::vector<std::pair<int, std::string>> expected = {
      {2, "value \"-50\" of HOMECASH is below the lowest value 0 and is read as 0"},
      {4, "unknown keyword \"HOMECLASH\" in a START block"},
      {7, "is not a whole number: only its digits and minus signs count, so it reads as 15, lowered to the highest value 7"},
      {12, "unknown keyword \"MONEY\" in an EXOTIC block"},
      {15, "map file \"nowhere\" is not a map file of the data folder"},
      {17, "ID = SOMETIMES changes nothing"},
      {20, "the first number of value \"DICE(0,50)\" of STAR is below the lowest value 1"},
      {20, "the second number of value \"DICE(0,50)\" of STAR is above the highest value 21"},
      {21, "CASH has an empty value, which reads as 0"},
      {22, "has more than ten digits and reads as 0"},
      {27, "BEGIN NEBULA: there is no block \"NEBULA\""},
  };
  ExpectWarnings(w, expected);
}

TEST(ScriptCheck, LinesAreCountedAsTheReaderCutsThem) {
  CheckGame c;
  // Bare line feeds only: one line, read as one statement.
  std::vector<ScriptWarning> w = c.Check("BEGIN PLANET\nNAME = x\nEND\n");
  ASSERT_EQ(w.size(), 2u) << Listed(w);
  EXPECT_EQ(w[0].line, 1);
  EXPECT_NE(w[0].text.find("the whole file is read as one single line"), std::string::npos);
  EXPECT_NE(w[1].text.find("\"BEGIN = xEND\" lies outside any block"), std::string::npos);
  // Carriage returns alone end lines as well as CR LF does.
  w = c.Check("BEGIN PLANET\rNAEM = x\rEND");
  ASSERT_EQ(w.size(), 1u) << Listed(w);
  EXPECT_EQ(w[0].line, 2);
  // An empty script makes nothing.
  w = c.Check("");
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].text, "the script is empty: it makes nothing");
  // A race that needs a hull no pack holds stops the build before the file is written.
  forge::GameFolderRecipe recipe = SmallGame();
  recipe.races.push_back({"needy.rce", {.raceId = 104, .name = "Needy", .requiredHulls = {1, 55}}});
  CheckGame needy(recipe);
  w = needy.Check(CrLfText({"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 104", "END"}));
  ASSERT_EQ(w.size(), 1u) << Listed(w);
  EXPECT_EQ(w[0].line, 4);
  EXPECT_NE(w[0].text.find("requires ship hull type  55"), std::string::npos) << w[0].text;
}

TEST(ScriptCheck, TheTutorialIsCleanAndNothingIsWritten) {
  CheckGame c(forge::SampleGame());
  const std::vector<uint8_t> tutorial = ReadWholeFile(std::string(TARVIK_SOURCE_DIR) + "/sample/scripts/tutorial.vps");
  const std::vector<std::string> before = c.ts.dir.Folders();
  const std::vector<ScriptWarning> w = CheckScript(c.s, tutorial);
  EXPECT_TRUE(w.empty()) << Listed(w);
  EXPECT_EQ(c.ts.dir.Folders(), before);
  EXPECT_FALSE(FileExists(c.ts.dir.path() + "tarvik.log"));
  EXPECT_TRUE(c.ts.ui.messages.empty());
  EXPECT_EQ(c.ts.output.printed, "");
  // The session is its own again afterwards.
  EXPECT_EQ(c.s.ui, &c.ts.ui);
  EXPECT_FALSE(c.s.log.noFile);
}

}  // namespace
}  // namespace tarvik::test
