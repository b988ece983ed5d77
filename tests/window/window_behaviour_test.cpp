// How the windowed wizard starts and ends: the window manager's close box, Escape, a
// display that goes away, and the starts that cannot open windows.
#include <gtest/gtest.h>

#include <filesystem>

#include "forge/forge.h"
#include "gui/toolkit.h"
#include "platform/files.h"
#include "test_support.h"
#include "window/display_support.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

// What a window manager sends when its close box is clicked.
void SendCloseRequest(const std::string& displayName, const std::string& window) {
  Display* d = XOpenDisplay(displayName.c_str());
  ASSERT_NE(d, nullptr);
  const Window w = std::stoul(window);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &ev);
  XCloseDisplay(d);
}

// The slot step's caption: its first one, then the program's title once it is drawn.
const char* const SLOT_STEP_CAPTION = "(Tarvik: Game Slots|Stellarvane Tarvik Version .*)";

class WizardStartAndEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.ok()) << "Xvfb did not start";
    forge::WriteSampleGame(game_.path());
  }
  std::unique_ptr<Process> Start(const std::string& program = TARVIK_BINARY) {
    return std::make_unique<Process>(std::vector<std::string>{program, "--game-dir", game_.path()}, desktop_.env(),
                                     "tarvik");
  }
  VirtualDisplay display_;
  Desktop desktop_{display_};
  TempDir game_;
};

// Escape does not close a step; the close box does, as that step's Exit: the program
// ends at once with status 0 and builds nothing. The file picker's close box closes
// the picker without a choice.
TEST_F(WizardStartAndEnd, CloseBoxIsTheStepsExitAndEscapeIsNot) {
  auto program = Start();
  std::optional<std::string> slots = desktop_.WaitForWindow(SLOT_STEP_CAPTION);
  ASSERT_TRUE(slots) << program->Errors();
  desktop_.Click(*slots, 600, 150);  // focus, on no button
  desktop_.Keys({"Escape"});
  desktop_.Click(*slots, 2 + 20, 7 + 10);     // slot 1
  desktop_.Click(*slots, 335 + 40, 305 + 10);  // Next: events after the Escape still arrive
  std::optional<std::string> map = desktop_.WaitForWindow("Tarvik: Map Or Script");
  ASSERT_TRUE(map) << "Escape ended the wizard: " << program->Errors();

  // The file picker holds the user: the step's close box waits; the picker's own
  // closes it without a choice.
  desktop_.Click(*map, 380 + 40, 180 + 10);  // Load Map
  std::optional<std::string> picker = desktop_.WaitForWindow("Load File");
  ASSERT_TRUE(picker) << program->Errors();
  SendCloseRequest(display_.name(), *map);
  SendCloseRequest(display_.name(), *picker);
  ASSERT_TRUE(WaitFor([&] { return !desktop_.Shown("Load File"); })) << "the picker's close box did not close it";
  EXPECT_TRUE(program->running()) << "the step's close box acted while the picker was open";
  EXPECT_TRUE(desktop_.Shown("Tarvik: Map Or Script"));

  SendCloseRequest(display_.name(), *map);
  const std::optional<int> status = program->Wait();
  ASSERT_TRUE(status) << "the close box did not end the program";
  EXPECT_EQ(*status, 0);
  EXPECT_FALSE(PathExists(game_.path() + "UNIV\\GAME1\\g1.yig"));
}

// The X server ends under the running wizard: a clear message and status 1, no crash.
TEST_F(WizardStartAndEnd, DisplayThatGoesAwayEndsTheWizardWithAMessage) {
  auto program = Start();
  std::optional<std::string> slots = desktop_.WaitForWindow(SLOT_STEP_CAPTION);
  ASSERT_TRUE(slots) << program->Errors();
  desktop_.Click(*slots, 2 + 20, 7 + 10);
  desktop_.Click(*slots, 335 + 40, 305 + 10);
  ASSERT_TRUE(desktop_.WaitForWindow("Tarvik: Map Or Script"));
  display_.Stop();
  const std::optional<int> status = program->Wait();
  ASSERT_TRUE(status) << "the wizard did not end when its display went away";
  EXPECT_EQ(*status, 1) << program->Errors();  // not 128 and a signal's number: no crash
  EXPECT_NE(program->Errors().find("the display went away"), std::string::npos) << program->Errors();
}

// tarvik copied alone, without tarvik-wizard beside it: it says the windows cannot be
// started, then goes on as a run without a display does.
TEST_F(WizardStartAndEnd, WithoutTheWindowsProgramTarvikSaysSoAndEndsAsWithoutADisplay) {
  TempDir alone;
  fs::copy_file(TARVIK_BINARY, alone.path() + "tarvik");
  fs::permissions(alone.path() + "tarvik", fs::perms::owner_all);
  auto program = Start(alone.path() + "tarvik");
  const std::optional<int> status = program->Wait();
  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 2);
  const std::string errors = program->Errors();
  EXPECT_NE(errors.find("the wizard's windows cannot be started"), std::string::npos) << errors;
  EXPECT_NE(errors.find("The wizard needs a display"), std::string::npos) << errors;
}

// tarvik-wizard on a display that cannot be opened: the message of a start without a
// display, status 2, and the game folder laid out as every start does.
TEST_F(WizardStartAndEnd, WindowsProgramWithoutADisplaySaysSo) {
  for (const std::string display : {"DISPLAY=", "DISPLAY=:9999"}) {
    Process program({TARVIK_WIZARD_BINARY, "--game-dir", game_.path()}, {display}, "wizard");
    const std::optional<int> status = program.Wait();
    ASSERT_TRUE(status) << display;
    EXPECT_EQ(*status, 2) << display;
    EXPECT_NE(program.Errors().find("The wizard needs a display"), std::string::npos) << program.Errors();
    EXPECT_TRUE(FolderExists(game_.path() + "UNIV\\GAME12"));
  }
}

}  // namespace
}  // namespace tarvik::test
