#include "gui/artwork.h"

#include <algorithm>

#include "gui/toolkit.h"

namespace tarvik::gui {

namespace {

struct Shade {
  int r, g, b;
};

Shade Mix(Shade a, Shade b, double t) {
  return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
          static_cast<int>(a.b + (b.b - a.b) * t)};
}

void SetColor(Shade s) {
  fl_color(static_cast<uchar>(std::clamp(s.r, 0, 255)), static_cast<uchar>(std::clamp(s.g, 0, 255)),
           static_cast<uchar>(std::clamp(s.b, 0, 255)));
}

// A sphere lit from the upper left: filled discs shrinking towards the highlight.
void DrawSphere(int cx, int cy, int r, Shade dark, Shade light) {
  const int steps = std::max(2, r);
  for (int i = 0; i < steps; ++i) {
    const double t = static_cast<double>(i) / (steps - 1);
    const int rr = static_cast<int>(r * (1.0 - 0.85 * t));
    const int ox = static_cast<int>(-r * 0.35 * t), oy = static_cast<int>(-r * 0.35 * t);
    SetColor(Mix(dark, light, t));
    fl_pie(cx + ox - rr, cy + oy - rr, 2 * rr + 1, 2 * rr + 1, 0, 360);
  }
}

// A fixed scatter of faint stars, the same on every paint.
void DrawStars(int x, int y, int w, int h) {
  unsigned v = 12345u;
  for (int i = 0; i < w * h / 400; ++i) {
    v = v * 1103515245u + 12345u;
    const int sx = x + static_cast<int>((v >> 8) % static_cast<unsigned>(w));
    v = v * 1103515245u + 12345u;
    const int sy = y + static_cast<int>((v >> 8) % static_cast<unsigned>(h));
    const int level = 120 + static_cast<int>((v >> 4) % 120u);
    fl_color(static_cast<uchar>(level), static_cast<uchar>(level), static_cast<uchar>(level));
    fl_point(sx, sy);
  }
}

}  // namespace

void DrawButtonFace(int x, int y, bool small) {
  const int w = small ? SMALL_FACE_WIDTH : FACE_WIDTH;
  const int h = FACE_HEIGHT;
  // A brushed steel plate: light at the top, darker below, with a bevelled edge.
  for (int row = 0; row < h; ++row) {
    SetColor(Mix({156, 168, 192}, {74, 84, 108}, static_cast<double>(row) / (h - 1)));
    fl_xyline(x, y + row, x + w - 1);
  }
  SetColor({196, 206, 226});
  fl_xyline(x + 1, y + 1, x + w - 2);
  fl_yxline(x + 1, y + 1, y + h - 2);
  SetColor({64, 72, 90});
  fl_xyline(x + 1, y + h - 2, x + w - 2);
  fl_yxline(x + w - 2, y + 1, y + h - 2);
  SetColor({40, 44, 52});
  fl_rect(x, y, w, h);
}

void DrawLampImage(int x, int y, int state) {
  const bool free = state == 1;
  const int r = LAMP_SIZE / 2;
  const int cx = x + r, cy = y + r;
  SetColor({30, 30, 30});
  fl_pie(x, y, LAMP_SIZE, LAMP_SIZE, 0, 360);
  DrawSphere(cx, cy, r - 1, free ? Shade{0, 110, 0} : Shade{130, 0, 0},
             free ? Shade{170, 255, 170} : Shade{255, 170, 170});
}

void DrawArtwork(Artwork art, int x, int y, int w, int h) {
  fl_push_clip(x, y, w, h);
  fl_color(FL_BLACK);
  fl_rectf(x, y, w, h);
  DrawStars(x, y, w, h);
  const int r = std::min(w, h) * 3 / 8;
  const int cx = x + w / 2, cy = y + h / 2;
  if (art == Artwork::HomeWorld) {
    // A blue and green world with its star base in orbit.
    DrawSphere(cx, cy, r, {8, 30, 90}, {120, 200, 255});
    SetColor({40, 140, 60});
    fl_pie(cx - r / 2, cy - r / 3, r / 2, r / 3, 0, 360);
    fl_pie(cx + r / 8, cy + r / 6, r / 2, r / 4, 0, 360);
    SetColor({200, 200, 210});
    fl_arc(cx - r - 14, cy - r / 3, 2 * (r + 14), r * 2 / 3, 200, 340);
    DrawSphere(cx + r - 4, cy - r / 4, 5, {90, 90, 100}, {250, 250, 255});
  } else {
    // A banded desert world.
    DrawSphere(cx, cy, r, {70, 34, 10}, {250, 200, 130});
    SetColor({150, 80, 30});
    fl_arc(cx - r, cy - r / 4, 2 * r, r / 2, 180, 360);
    fl_arc(cx - r, cy + r / 8, 2 * r, r / 2, 180, 360);
  }
  fl_pop_clip();
}

void DrawMessageIcon(MessageIcon icon, int x, int y) {
  const int s = ICON_SIZE;
  fl_font(FL_HELVETICA_BOLD, 22);
  auto glyph = [&](const char* text, Fl_Color color) {
    fl_color(color);
    fl_draw(text, x, y, s, s, FL_ALIGN_CENTER);
  };
  switch (icon) {
    case MessageIcon::None:
      return;
    case MessageIcon::Critical:
      DrawSphere(x + s / 2, y + s / 2, s / 2 - 1, {150, 0, 0}, {255, 110, 110});
      fl_color(FL_WHITE);
      fl_line_style(FL_SOLID, 4);
      fl_line(x + 10, y + 10, x + s - 11, y + s - 11);
      fl_line(x + s - 11, y + 10, x + 10, y + s - 11);
      fl_line_style(0);
      return;
    case MessageIcon::Exclamation:
      SetColor({230, 180, 0});
      fl_polygon(x + s / 2, y + 1, x + s - 1, y + s - 2, x + 1, y + s - 2);
      SetColor({90, 70, 0});
      fl_loop(x + s / 2, y + 1, x + s - 1, y + s - 2, x + 1, y + s - 2);
      glyph("!", FL_BLACK);
      return;
    case MessageIcon::Question:
      DrawSphere(x + s / 2, y + s / 2, s / 2 - 1, {0, 40, 150}, {130, 170, 255});
      glyph("?", FL_WHITE);
      return;
    case MessageIcon::Information:
      DrawSphere(x + s / 2, y + s / 2, s / 2 - 1, {0, 40, 150}, {130, 170, 255});
      glyph("i", FL_WHITE);
      return;
  }
}

}  // namespace tarvik::gui
