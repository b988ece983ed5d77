#include "gui/canvas_painter.h"

#include <algorithm>
#include <cmath>

#include "gui/artwork.h"
#include "gui/look.h"
#include "gui/text_codec.h"
#include "gui/toolkit.h"

namespace tarvik::gui {

namespace {

// A rectangle given by two corners, both included, as the system's box lines are.
void Outline(int x1, int y1, int x2, int y2) {
  fl_rect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
}

void Filled(int x1, int y1, int x2, int y2) {
  fl_rectf(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
}

void PaintButton(const CanvasOp& op, int ox, int oy) {
  const int x = ox + op.x, y = oy + op.y;
  if (op.kind == CanvasOpKind::DisabledButton) {
    fl_color(ToFlColor(colors::DISABLED_FRAME));
    Outline(x, y, x + BUTTON_WIDTH, y + BUTTON_HEIGHT);
    Outline(x + 1, y + 1, x + BUTTON_WIDTH - 1, y + BUTTON_HEIGHT - 1);
  } else {
    DrawButtonFace(x, y, op.kind == CanvasOpKind::SmallButton);
    if (op.highlighted) {
      fl_color(ToFlColor(colors::BRIGHT_GREEN));
      Outline(x, y, x + BUTTON_WIDTH, y + BUTTON_HEIGHT);
      Outline(x - 1, y - 1, x + BUTTON_WIDTH + 1, y + BUTTON_HEIGHT + 1);
    }
  }
  const int dx = op.kind == CanvasOpKind::SmallButton ? SMALL_CAPTION_DX : CAPTION_DX;
  fl_color(ToFlColor(op.color));
  DrawTextAt(op.text, x + dx, y + CAPTION_DY);
}

void PaintOp(const CanvasOp& op, int ox, int oy) {
  switch (op.kind) {
    case CanvasOpKind::Button:
    case CanvasOpKind::SmallButton:
    case CanvasOpKind::DisabledButton:
      return PaintButton(op, ox, oy);
    case CanvasOpKind::Text:
      fl_color(ToFlColor(op.color));
      return DrawTextAt(op.text, ox + op.x, oy + op.y);
    case CanvasOpKind::Lamp:
      return DrawLampImage(ox + op.x, oy + op.y, op.state);
    case CanvasOpKind::Point:
      fl_color(ToFlColor(op.color));
      return fl_point(ox + op.x, oy + op.y);
    case CanvasOpKind::Box:
      fl_color(ToFlColor(op.color));
      return Outline(ox + op.x, oy + op.y, ox + op.x2, oy + op.y2);
    case CanvasOpKind::FilledBox:
      fl_color(ToFlColor(op.color));
      return Filled(ox + op.x, oy + op.y, ox + op.x2, oy + op.y2);
    case CanvasOpKind::Circle: {
      fl_color(ToFlColor(op.color));
      const int r = static_cast<int>(std::lround(op.r));
      if (r <= 0) return fl_point(ox + op.x, oy + op.y);
      return fl_arc(ox + op.x - r, oy + op.y - r, 2 * r + 1, 2 * r + 1, 0, 360);
    }
  }
}

}  // namespace

void DrawTextAt(const std::string& text, int x, int y) {
  fl_font(FL_HELVETICA, PICTURE_TEXT_SIZE);
  const std::string shown = ShownText(text);
  fl_draw(shown.c_str(), static_cast<int>(shown.size()), x, y + fl_height() - fl_descent());
}

void PaintCanvas(const Canvas& canvas, int x, int y) {
  fl_push_clip(x, y, canvas.width(), canvas.height());
  fl_color(ToFlColor(canvas.backColor()));
  fl_rectf(x, y, canvas.width(), canvas.height());
  for (const CanvasOp& op : canvas.ops()) PaintOp(op, x, y);
  fl_pop_clip();
}

}  // namespace tarvik::gui
