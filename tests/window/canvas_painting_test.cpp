// The picture box's drawing, pixel for pixel where the wizard fixes it: the highlight
// outlines round a button and the frames of a disabled one in their colours, boxes with
// both corners included, points, circles by their radius, and a text whose top-left
// corner is where it is written. Painted off screen on the virtual display and read back.
#include <gtest/gtest.h>

#include <FL/Fl.H>

#include "gui/canvas_painter.h"
#include "gui/look.h"
#include "gui/toolkit.h"
#include "window/display_support.h"

namespace tarvik::test {
namespace {

// The canvas painted at (0, 0) of an off-screen picture of its size, as 0xRRGGBB.
class Painted {
 public:
  explicit Painted(const Canvas& c) : w_(c.width()), h_(c.height()), rgb_(static_cast<size_t>(w_ * h_ * 3)) {
    Fl_Offscreen off = fl_create_offscreen(w_, h_);
    fl_begin_offscreen(off);
    gui::PaintCanvas(c, 0, 0);
    fl_read_image(rgb_.data(), 0, 0, w_, h_);
    fl_end_offscreen();
    fl_delete_offscreen(off);
  }
  Rgb At(int x, int y) const {
    const size_t i = static_cast<size_t>((y * w_ + x) * 3);
    return MakeRgb(rgb_[i], rgb_[i + 1], rgb_[i + 2]);
  }
  // Expects each of the pixels to be of the colour.
  void Expect(Rgb color, std::initializer_list<std::pair<int, int>> pixels) const {
    for (auto [x, y] : pixels) EXPECT_EQ(At(x, y), color) << x << ", " << y;
  }

 private:
  int w_, h_;
  std::vector<uchar> rgb_;
};

class CanvasPainting : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(ToolkitDisplay(), nullptr); }
};

TEST_F(CanvasPainting, ButtonsOutlinesAndFrames) {
  Canvas c(200, 100);
  c.DrawButton("Next", 20, 10, true);
  c.DrawDisabledButton("Back", 20, 60, false);
  c.DrawButton("Exit", 110, 10, false);
  const Painted p(c);
  // Highlighted: the outlines (20, 10)-(100, 30) and (19, 9)-(101, 31) in bright green.
  p.Expect(colors::BRIGHT_GREEN, {{20, 10}, {100, 30}, {60, 10}, {20, 20}, {19, 9}, {101, 31}, {60, 31}});
  // Disabled: dark grey frames (20, 60)-(100, 80) and (21, 61)-(99, 79), nothing else
  // but the grey caption inside.
  p.Expect(colors::DISABLED_FRAME, {{20, 60}, {100, 80}, {21, 61}, {99, 79}, {60, 80}});
  // A plain button: its face, no green anywhere round it; black outside them all.
  EXPECT_NE(p.At(150, 20), colors::BLACK);
  EXPECT_NE(p.At(110, 10), colors::BRIGHT_GREEN);
  p.Expect(colors::BLACK, {{18, 8}, {24, 64}, {19, 59}, {109, 9}});
}

TEST_F(CanvasPainting, PointsBoxesCirclesInTheirColours) {
  Canvas c(120, 120);
  c.DrawPoint(5, 5, colors::WHITE);
  c.DrawBox(30, 20, 10, 40, colors::LIGHT_RED);        // corners in any order, both included
  c.DrawFilledBox(50, 50, 58, 61, colors::YELLOW);   // a start marker: 9 x 12 pixels
  c.DrawCircle(90, 90, 10.4, MakeRgb(1, 2, 250));     // any colour, not only the palette's
  const Painted p(c);
  p.Expect(colors::WHITE, {{5, 5}});
  p.Expect(colors::LIGHT_RED, {{10, 20}, {30, 20}, {10, 40}, {30, 40}});
  p.Expect(colors::YELLOW, {{50, 50}, {58, 61}});
  p.Expect(colors::BLACK, {{6, 5}, {20, 30}, {31, 40}, {59, 61}, {58, 62}, {90, 90}});
  int onCircle = 0;
  for (auto [x, y] : {std::pair{100, 90}, {80, 90}, {90, 100}, {90, 80}}) {
    for (int d = -1; d <= 1; ++d) {
      onCircle += (p.At(x + (y == 90 ? d : 0), y + (x == 90 ? d : 0)) == MakeRgb(1, 2, 250)) ? 1 : 0;
    }
  }
  EXPECT_GE(onCircle, 4) << "the circle of radius 10 round (90, 90) is not there";
}

TEST_F(CanvasPainting, TextStandsWithItsTopLeftCornerWhereItIsWritten) {
  Canvas c(120, 40);
  c.SetTextColor(colors::BRIGHT_GREEN);
  c.DrawText("HI", 30, 10);
  const Painted p(c);
  int top = 1000, left = 1000, bottom = -1;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (p.At(x, y) == colors::BLACK) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      left = std::min(left, x);
    }
  }
  // The capitals' ink starts at the text's corner, within the font's own margins.
  EXPECT_GE(top, 10);
  EXPECT_LE(top, 14);
  EXPECT_GE(left, 30);
  EXPECT_LE(left, 33);
  EXPECT_LT(bottom, 10 + gui::PICTURE_TEXT_SIZE + 2);
}

}  // namespace
}  // namespace tarvik::test
