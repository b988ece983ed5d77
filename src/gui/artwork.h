// The images of the wizard, drawn in code so that no image file has to travel with
// the program: the button faces, the two slot lamps, the pictures of the home and
// planet steps and the icons of the message boxes. Each draws into the current
// toolkit surface at the given window position.
#pragma once

#include "platform/ui.h"

namespace tarvik::gui {

// The button face covers (x, y)-(x + 80, y + 20), the small one (x, y)-(x + 40, y + 20),
// both corners included, so that a highlight outline traces the face's edge.
inline constexpr int FACE_WIDTH = 81;
inline constexpr int SMALL_FACE_WIDTH = 41;
inline constexpr int FACE_HEIGHT = 21;
void DrawButtonFace(int x, int y, bool small);

// A slot lamp of 16 x 16 pixels with its top-left corner at (x, y): green for state 1
// (the side is free), red for any other state (in use).
inline constexpr int LAMP_SIZE = 16;
void DrawLampImage(int x, int y, int state);

// The pictures beside the home and planet steps' lists, filling the rectangle.
enum class Artwork { HomeWorld, Planet };
void DrawArtwork(Artwork art, int x, int y, int w, int h);

// A message box icon of 32 x 32 pixels.
inline constexpr int ICON_SIZE = 32;
void DrawMessageIcon(MessageIcon icon, int x, int y);

}  // namespace tarvik::gui
