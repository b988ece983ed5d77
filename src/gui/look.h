// The look of the wizard's windows: one font for the drawn texts and the controls,
// and the colours of the model as toolkit colours.
#pragma once

#include <FL/Enumerations.H>

#include "wizard/canvas.h"

namespace tarvik::gui {

// The font family of every text. Its metrics (those of the common sans serif of
// office documents, which every desktop resolves to a metric-compatible face) make
// the longest caption, "Clear Player", fit between x + 15 and the right edge of its
// button, and the longest step text end before the slot labels.
inline constexpr const char* FONT_FAMILY = " Arial";
// Pixel sizes: the texts drawn on the picture boxes, and the controls.
inline constexpr int PICTURE_TEXT_SIZE = 11;
inline constexpr int CONTROL_TEXT_SIZE = 12;

// Gives every widget the wizard's font and sizes. Needs the display open.
void ApplyLook();

// A model colour (0xRRGGBB) as a toolkit colour.
Fl_Color ToFlColor(Rgb color);
// A palette index 0..15 as a toolkit colour.
Fl_Color PaletteColor(int index);

}  // namespace tarvik::gui
