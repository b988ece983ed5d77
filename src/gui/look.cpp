#include "gui/look.h"

#include <FL/Fl.H>

namespace tarvik::gui {

void ApplyLook() {
  Fl::set_font(FL_HELVETICA, FONT_FAMILY);
  FL_NORMAL_SIZE = CONTROL_TEXT_SIZE;
  Fl::scheme("gtk+");
  Fl::visible_focus(1);
}

Fl_Color ToFlColor(Rgb color) {
  return fl_rgb_color(static_cast<uchar>((color >> 16) & 0xFF), static_cast<uchar>((color >> 8) & 0xFF),
                      static_cast<uchar>(color & 0xFF));
}

Fl_Color PaletteColor(int index) { return ToFlColor(STANDARD_COLORS.at(static_cast<size_t>(index))); }

}  // namespace tarvik::gui
