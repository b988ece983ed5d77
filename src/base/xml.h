// Text inside XML (the SVG pictures): a UTF-8 text made safe for an element's content
// or an attribute's value.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The five special characters as entities; tab, line feed and carriage return as
// character references; the other control characters, which XML does not allow, as the
// replacement character U+FFFD.
std::string XmlEscaped(std::string_view utf8);

}  // namespace tarvik
