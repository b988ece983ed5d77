// Start-up: the slot folders, the default files, the map files beside the program,
// the start values, a failing step; the long options and the program's exit statuses.
#include <gtest/gtest.h>

#include <string>

#include "app/options.h"
#include "app/startup.h"
#include "app/top.h"
#include "base/errors.h"
#include "forge/forge.h"
#include "test_support.h"

namespace tarvik {
namespace {

const std::string DATA_HEADER = "Stellarvane Version 4 Data File:";
const std::string MAP_HEADER = "Stellarvane 4 Map File";

std::string Padded(const std::string& header, size_t length) {
  std::string bytes = header;
  bytes.resize(length, 'x');
  return bytes;
}

// Start-up without a command line, under the top that shows its error boxes.
int RunMain(test::TestSession& t) { return RunProgram(t.s()); }

// The slot folders a first start lays out are those of every recorded run; here, that a
// second start over them adds none.
TEST(Startup, FirstStartLaysOutTheSlotFoldersAndASecondChangesNothing) {
  test::TestSession t;
  // No display and no command line: the start-up runs, then ends with status 2.
  EXPECT_EQ(RunMain(t), 2);
  const std::vector<std::string> folders = t.dir.Folders();
  EXPECT_EQ(folders.size(), 26u);  // univ and WAR, with twelve slot folders in each
  ASSERT_EQ(t.ui.messages.size(), 1u);
  EXPECT_NE(t.ui.messages[0].text.find("--help"), std::string::npos);

  test::TestSession second;
  second.s().paths.appPath = t.dir.path();
  SetAppPath(second.s().paths, t.dir.path());
  EXPECT_EQ(RunMain(second), 2);
  EXPECT_EQ(t.dir.Folders(), folders);
  // Only the no-display note; no error box.
  ASSERT_EQ(second.ui.messages.size(), 1u);
  EXPECT_EQ(second.ui.messages[0].text.find("Main Load Error"), std::string::npos);
}

TEST(Startup, DefaultFilesAreTheFirstThatPassTheirHeaderTest) {
  test::TestSession none;  // a data file of exactly 100 bytes is never accepted
  none.dir.Write("data/only.dat", Padded(DATA_HEADER, 100));
  LocateDefaultFiles(none.s());
  EXPECT_EQ(none.s().tables.dataFilePath, "");
  EXPECT_EQ(none.s().map.defaultMapFile, "");
  EXPECT_FALSE(none.s().paths.scriptFound);
  EXPECT_EQ(none.s().paths.scriptPath, "");

  test::TestSession t;
  t.dir.Write("data/a.dat", Padded("Some other header", 500));
  t.dir.Write("data/b.DAT", Padded(DATA_HEADER, 500));
  t.dir.Write("data/c.dat", Padded(DATA_HEADER, 500));
  t.dir.Write("data/a.map", Padded(MAP_HEADER, 100));  // exactly 100 bytes: refused
  t.dir.Write("data/b.map", Padded(MAP_HEADER, 101));
  t.dir.Write("scripts/z.vps", "x");
  t.dir.Write("scripts/m.VPS", "x");
  LocateDefaultFiles(t.s());
  EXPECT_EQ(t.s().tables.dataFilePath, t.dir.path() + "data\\b.DAT");
  EXPECT_EQ(t.s().map.defaultMapFile, t.dir.path() + "data\\b.map");
  EXPECT_EQ(t.s().paths.scriptPath, t.dir.path() + "scripts\\m.VPS");
  EXPECT_TRUE(t.s().paths.scriptFound);
}

TEST(Startup, MapFilesInTheProgramFolderMoveIntoData) {
  test::TestSession t;
  t.dir.Write("new.map", "fresh");
  t.dir.Write("data/new.map", "stale");
  t.dir.Write("other.MAP", "second");
  RunMain(t);
  EXPECT_EQ(t.dir.Read("data/new.map"), "fresh");
  EXPECT_EQ(t.dir.Read("data/other.MAP"), "second");
  EXPECT_FALSE(std::filesystem::exists(t.dir.path() + "new.map"));
  EXPECT_FALSE(std::filesystem::exists(t.dir.path() + "other.MAP"));
}

TEST(Startup, StartValuesAreSet) {
  test::TestSession t;
  t.s().tables.playerActive[20] = 1;
  RunMain(t);
  Session& s = t.s();
  for (int p = 1; p <= 30; ++p) EXPECT_EQ(s.tables.playerActive[p], p <= 12 ? 1 : 0) << p;
  EXPECT_EQ(s.tables.playerCount, 12);
  EXPECT_EQ(s.map.circleRadius, 1000);
  EXPECT_EQ(s.bitValue[30], 1073741824);
  EXPECT_EQ(s.script.planetNameCount, 0);
  EXPECT_EQ(s.script.planetNames.size(), 100u);
  // Start-up clears the run log.
  EXPECT_EQ(t.dir.Read("tarvik.log"), "");
}

// A map file beside the program that cannot be moved into data fails step 15. (A
// failing slot folder, step 12 with its reason, is a recorded run of the program.)
TEST(Startup, AFailingStepIsNamedInTheLoadError) {
  test::TestSession m;
  m.dir.Write("bad.map", "x");
  m.dir.Write("data/bad.map/inside", "a folder in the way of the copy");
  EXPECT_EQ(RunMain(m), 1);
  EXPECT_EQ(m.ui.messages.back().text, "Main Load Error: Tarvik:  15");
}

TEST(LongOptions, LeadingLongOptionsAreRemovedAndTheRestJoined) {
  LongOptions o;
  std::string err;
  ASSERT_TRUE(ParseLongOptions({"--seed", "42", "--game-dir", "g", "a.vps", "out.yig", "/ox"}, o, err));
  EXPECT_EQ(o.seed, 42);
  EXPECT_EQ(o.gameDir, "g");
  EXPECT_EQ(o.commandLine, "a.vps out.yig /ox");
  LongOptions p;
  EXPECT_FALSE(ParseLongOptions({"--seed", "x1"}, p, err));
  EXPECT_FALSE(ParseLongOptions({"--bogus"}, p, err));
  EXPECT_FALSE(ParseLongOptions({"--game-dir"}, p, err));
  LongOptions q;
  ASSERT_TRUE(ParseLongOptions({"a", "--seed", "3"}, q, err));  // options only lead
  EXPECT_FALSE(q.seed);
  EXPECT_EQ(q.commandLine, "a --seed 3");
}

// The program itself: exit statuses and the message of a start without a display.
int RunTarvik(const std::string& args, std::string* out) {
  // Without DISPLAY, so that a run without a command line never opens windows here.
  const test::CommandRun r = test::RunIn(".", "env -u DISPLAY " + std::string(TARVIK_BINARY) + " " + args);
  *out = r.out + r.err;
  return r.status;
}

TEST(Program, ExitStatusesOfTheLongOptions) {
  test::TempDir dir;
  std::string out;
  EXPECT_EQ(RunTarvik("--help", &out), 0);
  EXPECT_NE(out.find("/OX"), std::string::npos);
  EXPECT_NE(out.find("--seed N"), std::string::npos);
  EXPECT_EQ(RunTarvik("--version", &out), 0);
  EXPECT_EQ(out.rfind("tarvik ", 0), 0u);
  EXPECT_EQ(RunTarvik("--no-such-option", &out), 2);
  EXPECT_EQ(RunTarvik("--game-dir " + dir.path(), &out), 2);
  EXPECT_NE(out.find("--help"), std::string::npos);
  EXPECT_TRUE(FolderExists(dir.path() + "WAR/SLOT12"));
}

TEST(Startup, ListRacesShowsEveryUsableModuleByEntry) {
  test::TestSession t;
  forge::RaceModuleRecipe a;
  a.raceId = 106;
  a.revision = 3;
  a.name = "Ash Folk";
  forge::WriteRaceModule(t.dir.path() + "races/ash.rce", a);
  forge::RaceModuleRecipe b;
  b.raceId = 802;
  b.name = "Reavers";
  forge::WriteRaceModule(t.dir.path() + "races/reavers.rce", b);
  t.s().listRacesOnly = true;
  t.s().commandLine = "ignored.vps out.yig /x";  // the listing comes first
  EXPECT_EQ(RunMain(t), 0);
  EXPECT_EQ(t.output.printed,
            "Entry  Race ID  Revision  File      Name\n"
            "    1      106         3  ash       Ash Folk\n"
            "    2      802         1  reavers   Reavers\n");
  EXPECT_EQ(t.s().packs.selectedRaceIndex, 1);
}

}  // namespace
}  // namespace tarvik
