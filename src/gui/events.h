// The wizard's events as the windows make them from what the user does.
#pragma once

#include <string>

#include "wizard/dispatcher.h"

namespace tarvik::gui {

// A mouse-down on a form's picture box: the point in the picture's own whole pixels,
// its top-left corner being (0, 0). (windowX, windowY): where the mouse went down, in
// the window's pixels; `picture`: the picture box's rectangle in the same window.
WizardEvent PictureMouseDown(FormId form, int windowX, int windowY, const Rect& picture);

// An action on a named control: a selected item or checked state (`value`), a typed
// character code, a text.
WizardEvent ControlEvent(WizardEventKind kind, FormId form, const std::string& control, int value = 0,
                         const std::string& text = {});

// An action on a form itself: a timer's tick, the output window's Done, the file
// picker closed (`noChoice`).
WizardEvent FormEvent(WizardEventKind kind, FormId form);

}  // namespace tarvik::gui
