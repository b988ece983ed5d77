// tarvik links no window library: its dynamic section names none, and every run that
// opens no window works when the X11 and FLTK libraries cannot be loaded at all. The
// libraries are put out of reach with a folder of broken files under their names,
// searched before the system's: a program that needs one fails to start, as
// tarvik-wizard does there (the check that the trap works).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "forge/forge.h"
#include "platform/files.h"
#include "test_support.h"
#include "window/display_support.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

const char* const WINDOW_LIBRARIES[] = {"libX11.so.6",    "libfltk.so.1.3", "libXft.so.2",     "libfontconfig.so.1",
                                        "libXext.so.6",   "libXrender.so.1", "libXfixes.so.3", "libXcursor.so.1",
                                        "libXinerama.so.1", "libxcb.so.1",   "libXau.so.6",     "libXdmcp.so.6"};

class WithoutWindowLibraries : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* lib : WINDOW_LIBRARIES) std::ofstream(trap_.path() + lib) << "not a library\n";
    for (TempDir* game : {&game_, &plainGame_}) {
      forge::WriteSampleGame(game->path());
      fs::copy(TARVIK_SAMPLE_DIR "/scripts", game->path() + "scripts", fs::copy_options::recursive);
      fs::copy(TARVIK_SAMPLE_DIR "/replays", game->path() + "replays", fs::copy_options::recursive);
    }
  }

  // Runs tarvik in a game folder; `trapped`: with the window libraries out of reach,
  // in game_; otherwise in a game folder of its own made the same way.
  int Run(const std::vector<std::string>& args, bool trapped, std::string* errors = nullptr,
          const std::string& program = TARVIK_BINARY) {
    const std::string& dir = trapped ? game_.path() : plainGame_.path();
    std::vector<std::string> argv{"sh", "-c", "cd \"$0\" && exec \"$@\"", dir, program, "--game-dir", dir};
    argv.insert(argv.end(), args.begin(), args.end());
    // Trapped runs also name a display, so that a run that wrongly wants windows
    // shows itself by saying they cannot be started.
    std::vector<std::string> env{"DISPLAY="};
    if (trapped) env = {"DISPLAY=:9999", "LD_LIBRARY_PATH=" + trap_.path()};
    Process p(argv, env, "trapped");
    const std::optional<int> status = p.Wait();
    if (errors) *errors = p.Errors();
    return status.value_or(-1);
  }

  TempDir trap_, game_, plainGame_;
};

TEST_F(WithoutWindowLibraries, TarvikNamesNoWindowLibrary) {
  int status = -1;
  const std::string dynamic = RunCommand({"readelf", "-d", TARVIK_BINARY}, {}, &status);
  ASSERT_EQ(status, 0);
  ASSERT_NE(dynamic.find("(NEEDED)"), std::string::npos);
  for (const char* lib : WINDOW_LIBRARIES) EXPECT_EQ(dynamic.find(lib), std::string::npos) << lib;
  const std::string wizard = RunCommand({"readelf", "-d", TARVIK_WIZARD_BINARY});
  EXPECT_NE(wizard.find("libfltk"), std::string::npos) << "the windows program is the one that links FLTK";
}

TEST_F(WithoutWindowLibraries, TheTrapStopsAProgramThatNeedsThem) {
  std::string errors;
  EXPECT_EQ(Run({"--version"}, true, &errors, TARVIK_WIZARD_BINARY), 127);
  EXPECT_NE(errors.find("error while loading shared libraries"), std::string::npos) << errors;
}

// Every option that opens no window gives the same result with the libraries out of
// reach (and a display named) as with them, and never tries to open the windows.
TEST_F(WithoutWindowLibraries, EveryRunWithoutWindowsWorks) {
  const std::vector<std::vector<std::string>> runs = {
      {"--help"},
      {"--version"},
      {"--list-races"},
      {"--seed", "5", "scripts\\tutorial.vps", "UNIV\\GAME1\\g1.yig", "/OX"},
      {"--seed", "5", "--replay", "replays/scripted.rpl"},
      {"--seed", "5", "--replay", "replays/standard.rpl"},
      {"--seed", "5", "--generate", "3", "--races", "101,102"},
      {"--list-slots"},
  };
  for (const auto& args : runs) {
    std::string label;
    for (const std::string& a : args) label += a + " ";
    std::string errors;
    const int trapped = Run(args, true, &errors);
    EXPECT_EQ(errors.find("error while loading shared libraries"), std::string::npos) << label << errors;
    EXPECT_EQ(errors.find("the wizard's windows cannot be started"), std::string::npos) << label << errors;
    // The same run with the libraries at hand.
    EXPECT_EQ(trapped, Run(args, false)) << label;
  }
  EXPECT_GT(FileLength(game_.path() + "UNIV\\GAME1\\g1.yig"), 0);
}

// With a display named but the window libraries out of reach, tarvik says that the
// windows cannot be started and ends as a run without a display.
TEST_F(WithoutWindowLibraries, WizardWantedButWindowsUnloadable) {
  std::vector<std::string> argv{TARVIK_BINARY, "--game-dir", game_.path()};
  Process p(argv, {"DISPLAY=:9999", "LD_LIBRARY_PATH=" + trap_.path()}, "trapped");
  const std::optional<int> status = p.Wait();
  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 2);
  EXPECT_NE(p.Errors().find("cannot load the window libraries"), std::string::npos) << p.Errors();
}

}  // namespace
}  // namespace tarvik::test
