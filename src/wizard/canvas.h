// The picture box picCMD of a wizard step, as a record of what is drawn on it. A step
// draws with the named primitives (buttons, texts, lamps, points, boxes, circles); the
// canvas keeps the operations in order since the last Clear, so that any front end can
// paint them (the window front end with its own button faces and fonts, the picture
// writer as SVG) and tests can read them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// A colour as 0xRRGGBB.
using Rgb = uint32_t;

inline constexpr Rgb MakeRgb(int r, int g, int b) {
  return (static_cast<Rgb>(r & 0xFF) << 16) | (static_cast<Rgb>(g & 0xFF) << 8) | static_cast<Rgb>(b & 0xFF);
}

// The 16 standard colours, by palette index.
inline constexpr std::array<Rgb, 16> STANDARD_COLORS = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

// The palette index of a colour, or -1 when it is none of the 16.
int StandardColorIndex(Rgb color);

// The colours the steps draw with.
namespace colors {
inline constexpr Rgb BLACK = STANDARD_COLORS[0];
inline constexpr Rgb BRIGHT_GREEN = STANDARD_COLORS[10];  // highlights and normal text
inline constexpr Rgb LIGHT_RED = STANDARD_COLORS[12];
inline constexpr Rgb YELLOW = STANDARD_COLORS[14];
inline constexpr Rgb WHITE = STANDARD_COLORS[15];
inline constexpr Rgb WARNING_TEXT = MakeRgb(255, 200, 200);  // the slot step's "in use" texts
inline constexpr Rgb DISABLED_FRAME = MakeRgb(90, 90, 90);
inline constexpr Rgb DISABLED_CAPTION = MakeRgb(120, 120, 120);
}  // namespace colors

// Every button occupies the rectangle (x, y)-(x + 80, y + 20); a small button's hit
// rectangle is the same, only its face is smaller.
inline constexpr int BUTTON_WIDTH = 80;
inline constexpr int BUTTON_HEIGHT = 20;
// Where a caption sits inside its button.
inline constexpr int CAPTION_DX = 15;
inline constexpr int SMALL_CAPTION_DX = 8;
inline constexpr int CAPTION_DY = 4;

enum class CanvasOpKind { Button, SmallButton, DisabledButton, Text, Lamp, Point, Box, FilledBox, Circle };

// One drawing operation. Members that do not apply to the kind stay at their defaults.
struct CanvasOp {
  CanvasOpKind kind = CanvasOpKind::Point;
  int x = 0, y = 0;    // top-left corner, point, first corner or centre
  int x2 = 0, y2 = 0;  // second corner of a box
  double r = 0;        // circle radius in pixels (may have a fraction)
  std::string text;    // caption or text, the system's bytes
  bool highlighted = false;
  int state = 0;       // lamp state: 1 one image, anything else the other
  Rgb color = 0;       // text, point, box and circle colour

  bool operator==(const CanvasOp&) const = default;
};

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {}

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb backColor() const { return colors::BLACK; }
  const std::vector<CanvasOp>& ops() const { return ops_; }
  // Counts every change, so that a window can tell when to repaint.
  uint64_t version() const { return version_; }

  // Clears the picture. The text colour stays as it was.
  void Clear();
  // The colour of the next DrawText.
  void SetTextColor(Rgb color) { textColor_ = color; }
  Rgb textColor() const { return textColor_; }

  // The button image at (x, y); highlighted: two bright green outlines round it. The
  // text colour becomes bright green when highlighted, black otherwise; the caption is
  // written at (x + 15, y + 4).
  void DrawButton(const std::string& caption, int x, int y, bool highlighted);
  // The same with the smaller image; caption at (x + 8, y + 4).
  void DrawSmallButton(const std::string& caption, int x, int y, bool highlighted);
  // A button that cannot be used now: dark grey outlines, the caption in grey.
  void DrawDisabledButton(const std::string& caption, int x, int y, bool highlighted);
  // The text with its top-left corner at (x, y) in the current text colour.
  void DrawText(const std::string& text, int x, int y);
  void DrawLamp(int x, int y, int state);
  void DrawPoint(int x, int y, Rgb color);
  void DrawBox(int x1, int y1, int x2, int y2, Rgb color);
  void DrawFilledBox(int x1, int y1, int x2, int y2, Rgb color);
  void DrawCircle(int cx, int cy, double r, Rgb color);

 private:
  void Append(CanvasOp op);
  void AppendButton(CanvasOpKind kind, const std::string& caption, int x, int y, bool highlighted);
  void AppendBox(CanvasOpKind kind, int x1, int y1, int x2, int y2, Rgb color);
  void DropRepeats();

  int width_, height_;
  Rgb textColor_ = colors::BLACK;
  std::vector<CanvasOp> ops_;
  uint64_t version_ = 0;
  size_t pruneAt_ = MIN_PRUNE_SIZE;
  static constexpr size_t MIN_PRUNE_SIZE = 4096;
};

// A click point strictly inside a rectangle (edges excluded).
bool PointInRect(int x, int y, int left, int top, int right, int bottom);
// A click on the button whose top-left corner is (bx, by).
bool PointInButton(int x, int y, int bx, int by);

}  // namespace tarvik
