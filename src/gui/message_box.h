// The modal message box of the windows: the title in the window's caption, an icon,
// the text (a carriage return starts a new line) and OK, or Yes and No.
#pragma once

#include <string>

#include "platform/ui.h"

namespace tarvik::gui {

enum class MessageButtons { Ok, YesNo };

// Shows the box centred over (centreX, centreY) and waits until it is answered.
// Returns true for OK and Yes; closing the box answers No.
bool RunMessageBox(const std::string& title, const std::string& text, MessageIcon icon, MessageButtons buttons,
                   int centreX, int centreY);

}  // namespace tarvik::gui
