// Texts of the program are bytes of the Windows code page 1252. Pictures and state
// dumps meant for people and other programs show them as UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// The bytes read as code page 1252, written as UTF-8. The five bytes that the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the
// same number, as the system's own conversion does.
std::string Cp1252ToUtf8(std::string_view bytes);

// Appends one code point (below 0x10000) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

}  // namespace tarvik
