// The output window in a real window, in the test process: a build's log grows in it,
// its timer ticks on the event loop, and Done clicked while the build still runs
// (through the event pump the build calls) hides it and lets the build go on. And a
// display that goes away while a build runs makes the build fail as any build does.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "log/run_log.h"
#include "app/startup.h"
#include "base/errors.h"
#include "forge/forge.h"
#include "gui/fltk_front_end.h"
#include "test_support.h"
#include "window/display_support.h"

namespace tarvik::test {
namespace {

// The wizard opened in real windows on a session with a fixed clock.
struct WindowedWizard {
  explicit WindowedWizard() : frontEnd(t.s()) {
    forge::WriteSampleGame(t.dir.path());
    t.ui.display = true;
    t.s().ui = &frontEnd;
    t.s().wizard.frontEnd = &frontEnd;
    Main(t.s());
  }
  Session& s() { return t.s(); }
  TestSession t;
  gui::FltkFrontEnd frontEnd;
};

// The start of a build as Finish makes it: the log cleared, the output window shown,
// the universe file's path, the timer started.
void StartBuild(Session& s) {
  LogLine(s, "CLEAR");
  ShowOutputWindow(s);
  s.output->SetGameFileLabel(s.paths.appPath + "UNIV\\GAME1\\g1.yig");
  StartRunTimer(s);
}

TEST(OutputWindowOnTheDisplay, LogTimeAndDoneWhileTheBuildRuns) {
  const VirtualDisplay* display = ToolkitDisplay();
  ASSERT_NE(display, nullptr);
  Desktop desktop(*display);
  WindowedWizard w;
  Session& s = w.s();
  StartBuild(s);
  const std::string caption = s.wizard.forms[FormId::OutText].caption;
  ASSERT_TRUE(WaitFor([&] {
    w.frontEnd.PumpEvents();
    return desktop.Shown(caption);
  })) << "the output window did not appear";
  const std::string window = *desktop.WaitForWindow(caption, 1s);

  for (int i = 1; i <= 25; ++i) {
    LogLine(s, "Ship Object ID#  " + std::to_string(i));
    w.frontEnd.PumpEvents();
  }
  const Control& time = s.wizard.forms[FormId::OutText].control("lblTIME");
  w.t.clock.seconds += 7;  // the timer, ticking on the event loop, shows the seconds
  EXPECT_TRUE(WaitFor([&] {
    w.frontEnd.PumpEvents();
    return time.text == " 7";
  })) << "lblTIME shows \"" << time.text << "\"";

  // The log shows in the window: dark text on the light box.
  const Rect log = s.wizard.forms[FormId::OutText].control("txtOUT").rect;
  Image shot;
  EXPECT_TRUE(WaitFor([&] {
    w.frontEnd.PumpEvents();
    shot = desktop.Shot(window, ScreenshotFolder() + "/8-output-running.png");
    int dark = 0;
    for (int y = log.y + 4; y < log.y + log.h - 20; ++y) {
      for (int x = log.x + 4; x < log.x + log.w - 20; ++x) dark += (shot.At(x, y) & 0xFF) < 100 ? 1 : 0;
    }
    return dark > 200;
  })) << "no log lines on the screenshot";

  // Done while the build runs: the window goes, the build goes on.
  const Rect done = s.wizard.forms[FormId::OutText].decorations[0].rect;
  desktop.Click(window, done.x + done.w / 2, done.y + done.h / 2);
  EXPECT_TRUE(WaitFor([&] {
    w.frontEnd.PumpEvents();
    return s.log.doneClicked;
  })) << "Done was not clicked";
  EXPECT_FALSE(s.wizard.forms[FormId::OutText].shown);
  EXPECT_TRUE(WaitFor([&] {
    w.frontEnd.PumpEvents();
    return !desktop.Shown(caption);
  }));
  StopRunTimer(s);  // the build reaches its end and would end the program itself
  EXPECT_TRUE(s.log.runFinished);
  EXPECT_FALSE(w.frontEnd.displayLost());
}

// In a process of its own: the display the test kills is its own.
void LoseTheDisplayDuringABuild() {
  VirtualDisplay own;
  if (!own.ok()) std::exit(3);
  ::setenv("DISPLAY", own.name().c_str(), 1);
  if (!gui::OpenDisplay()) {
    own.Stop();
    std::exit(4);
  }
  WindowedWizard w;
  StartBuild(w.s());
  w.frontEnd.PumpEvents();
  own.Stop();
  try {
    for (int i = 0; i < 100; ++i) {
      LogLine(w.s(), "Planet Object ID#  " + std::to_string(i));
      w.frontEnd.PumpEvents();
    }
  } catch (const RuntimeError& e) {
    // The build's own error path takes it from here; nothing talks to the display.
    std::fprintf(stderr, "build failed: %s\n", e.what());
    std::exit(w.frontEnd.displayLost() ? 0 : 5);
  }
  std::exit(6);  // the build went on as if nothing had happened
}

TEST(OutputWindowOnTheDisplay, DisplayLostDuringABuildFailsTheBuild) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(LoseTheDisplayDuringABuild(), ::testing::ExitedWithCode(0), "build failed: the display went away");
}

}  // namespace
}  // namespace tarvik::test
