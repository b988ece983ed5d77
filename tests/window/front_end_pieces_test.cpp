// What the window front end adds to the wizard model, without a display: colours as
// the toolkit's, texts between the code page and UTF-8, labels shown literally, a
// mouse-down turned into the step's click, and which runs open the windows.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "app/options.h"
#include "app/program_start.h"
#include "base/cp1252.h"
#include "gui/look.h"
#include "gui/events.h"
#include "gui/text_codec.h"
#include "test_support.h"
#include "wizard/steps.h"

namespace tarvik::test {
namespace {

using gui::PaletteColor;
using gui::ToFlColor;

// The red, green and blue the toolkit paints for a colour.
Rgb Painted(Fl_Color c) {
  uchar r = 0, g = 0, b = 0;
  Fl::get_color(c, r, g, b);
  return MakeRgb(r, g, b);
}

TEST(FrontEndColors, PaletteAndNamedColoursPaintAsTheirRgb) {
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(Painted(PaletteColor(i)), STANDARD_COLORS[static_cast<size_t>(i)]) << "palette index " << i;
  }
  for (Rgb named : {colors::WARNING_TEXT, colors::DISABLED_FRAME, colors::DISABLED_CAPTION, MakeRgb(150, 0, 0),
                    MakeRgb(250, 0, 0), MakeRgb(1, 2, 3)}) {
    EXPECT_EQ(Painted(ToFlColor(named)), named);
  }
  // Black must be the toolkit's black, not colour index 0 (which is the foreground).
  EXPECT_EQ(ToFlColor(colors::BLACK), FL_BLACK);
  EXPECT_THROW(PaletteColor(16), std::out_of_range);
}

TEST(FrontEndTexts, CodePageAndUtf8MeetAtTheWindows) {
  EXPECT_EQ(gui::ShownText("Player  1 : ---Unassigned---"), "Player  1 : ---Unassigned---");
  EXPECT_EQ(gui::ShownText(std::string("Ca\xE9n\0junk", 9)), "Ca\xC3\xA9n");  // ends at the zero byte
  EXPECT_EQ(gui::TypedText("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");      // e acute, euro sign
  EXPECT_EQ(gui::TypedText("\xE4\xB8\xAD"), "?");                             // not in the code page
  EXPECT_EQ(gui::TypedText("a\xC3"), "a?");                                   // cut sequence
  EXPECT_EQ(gui::TypedText("\xFF\xC3\x28"), "??" "(");                           // broken bytes
  // Every byte of the code page comes back as itself.
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(gui::TypedText(Cp1252ToUtf8(byte)), byte) << "byte " << b;
  }
}

TEST(FrontEndTexts, OneTypedCharacterIsOneCode) {
  EXPECT_EQ(gui::TypedCharacterCode("7"), '7');
  EXPECT_EQ(gui::TypedCharacterCode("\xC3\xA9"), 0xE9);
  EXPECT_EQ(gui::TypedCharacterCode("\xE2\x82\xAC"), 0x80);
  EXPECT_EQ(gui::TypedCharacterCode(""), -1);
  EXPECT_EQ(gui::TypedCharacterCode("12"), -1);
  EXPECT_EQ(gui::TypedCharacterCode("\xE4\xB8\xAD"), -1);
}

TEST(FrontEndTexts, LabelsShowSymbolAndShortcutMarksLiterally) {
  EXPECT_EQ(gui::LiteralLabel("@Home & Away"), "@@Home & Away");
  EXPECT_EQ(gui::LiteralLabel("@Home & Away", true), "@@Home && Away");
  EXPECT_EQ(gui::LiteralLabel("Above Average", true), "Above Average");
}

// A mouse-down in window pixels reaches the step as a click in picture pixels: on the
// race step, whose picture is the strip at the window's foot, the window point over
// the strip's Back goes to Back, and a point one pixel short lands on its border.
TEST(FrontEndMouse, MouseDownOnThePictureIsTheStepsClickPoint) {
  TestSession t;
  Session& s = t.s();
  Form& race = ShowForm(s.wizard, FormId::Race);
  ShowRaceStep(s);
  const Rect strip = *race.pictureRect;
  ASSERT_GT(strip.y, 0) << "the race step's picture is below its lists";

  const WizardEvent e = gui::PictureMouseDown(FormId::Race, strip.x + 151, strip.y + 4, strip);
  EXPECT_EQ(e.kind, WizardEventKind::Click);
  EXPECT_EQ(e.form, FormId::Race);
  EXPECT_EQ(e.x, 151);
  EXPECT_EQ(e.y, 4);

  Dispatch(s, gui::PictureMouseDown(FormId::Race, strip.x + 150, strip.y + 4, strip));
  EXPECT_TRUE(race.shown) << "a click on Back's border line does nothing";
  Dispatch(s, e);
  EXPECT_FALSE(race.shown);
  EXPECT_TRUE(s.wizard.forms[FormId::Name].shown);
}

TEST(FrontEndStart, OnlyRunsWithoutCommandLineOrHeadlessOptionOpenTheWindows) {
  auto opens = [](std::vector<std::string> args) {
    LongOptions o;
    std::string error;
    EXPECT_TRUE(ParseLongOptions(args, o, error)) << error;
    return OpensWizard(o);
  };
  EXPECT_TRUE(opens({}));
  EXPECT_TRUE(opens({"--game-dir", "/tmp/g", "--seed", "3"}));
  EXPECT_FALSE(opens({"scripts\\a.vps", "univ\\game1\\g1.yig", "/OX"}));
  EXPECT_FALSE(opens({"--replay", "x.rpl"}));
  EXPECT_FALSE(opens({"--list-races"}));
  EXPECT_FALSE(opens({"--help"}));
  EXPECT_FALSE(opens({"--version"}));
}

}  // namespace
}  // namespace tarvik::test
