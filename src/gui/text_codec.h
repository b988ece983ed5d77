// The wizard's texts are bytes of the Windows code page 1252; the toolkit shows and
// returns UTF-8. These convert between the two at the edge of the windows.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::gui {

// The system's bytes as the toolkit shows them (UTF-8); a text ends at its first zero
// byte, as the system's text output does.
std::string ShownText(std::string_view cp1252);

// What the user typed (UTF-8) as the system's bytes. A character that the code page
// cannot hold, and a broken UTF-8 sequence, become "?".
std::string TypedText(std::string_view utf8);

// The character code of one typed character (UTF-8), as a key press reports it: its
// code page byte, or -1 when the text is not exactly one character the code page holds.
int TypedCharacterCode(std::string_view utf8);

// A text as a widget label or menu entry shows it literally: the toolkit reads "@" in
// labels as the start of a symbol, and "&" in menu entries as a shortcut mark.
std::string LiteralLabel(std::string_view utf8, bool menuEntry = false);

}  // namespace tarvik::gui
