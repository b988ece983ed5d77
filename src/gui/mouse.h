// A mouse-down on a form's picture box as the wizard's click event: the point in the
// picture's own whole pixels, its top-left corner being (0, 0).
#pragma once

#include "wizard/dispatcher.h"

namespace tarvik::gui {

// (windowX, windowY): where the mouse went down, in the window's pixels; `picture`:
// the picture box's rectangle in the same window.
WizardEvent PictureMouseDown(FormId form, int windowX, int windowY, const Rect& picture);

}  // namespace tarvik::gui
