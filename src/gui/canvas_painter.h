// Paints the drawing operations of a picCMD canvas with the toolkit, in their order,
// as the system's picture box shows them: a black picture with button faces, their
// highlight outlines, disabled buttons, texts by their top-left corners, lamps,
// points, boxes and circles in their colours.
#pragma once

#include "wizard/canvas.h"

namespace tarvik::gui {

// Paints the canvas with its top-left corner at window position (x, y), clipped to
// the canvas's size.
void PaintCanvas(const Canvas& canvas, int x, int y);

// Writes a text with its top-left corner at (x, y) in the current colour and the
// picture boxes' font.
void DrawTextAt(const std::string& text, int x, int y);

}  // namespace tarvik::gui
