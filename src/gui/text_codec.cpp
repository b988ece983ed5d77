#include "gui/text_codec.h"

#include <array>
#include <cstdint>

#include "base/cp1252.h"

namespace tarvik::gui {

namespace {

// The characters of bytes 0x80..0x9F; the five bytes the code page leaves undefined
// stand for the control characters of the same number.
constexpr std::array<char32_t, 32> HIGH_CONTROLS = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code page byte of a character, or -1.
int Cp1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (size_t i = 0; i < HIGH_CONTROLS.size(); ++i) {
    if (HIGH_CONTROLS[i] == c) return 0x80 + static_cast<int>(i);
  }
  return -1;
}

// Reads one UTF-8 character at `i`; returns false for a broken sequence (i then moves
// past its first byte).
bool NextCharacter(std::string_view s, size_t& i, char32_t& c) {
  const auto b = static_cast<uint8_t>(s[i]);
  int extra = 0;
  if (b < 0x80) {
    c = b;
  } else if ((b & 0xE0) == 0xC0) {
    c = b & 0x1F;
    extra = 1;
  } else if ((b & 0xF0) == 0xE0) {
    c = b & 0x0F;
    extra = 2;
  } else if ((b & 0xF8) == 0xF0) {
    c = b & 0x07;
    extra = 3;
  } else {
    ++i;
    return false;
  }
  if (i + static_cast<size_t>(extra) >= s.size()) {
    ++i;
    return false;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto next = static_cast<uint8_t>(s[i + static_cast<size_t>(k)]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    c = (c << 6) | (next & 0x3F);
  }
  i += static_cast<size_t>(extra) + 1;
  return true;
}

}  // namespace

std::string ShownText(std::string_view cp1252) {
  const size_t end = cp1252.find('\0');
  return Cp1252ToUtf8(cp1252.substr(0, end));
}

std::string TypedText(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t c = 0;
    const int byte = NextCharacter(utf8, i, c) ? Cp1252Byte(c) : -1;
    out += byte >= 0 ? static_cast<char>(byte) : '?';
  }
  return out;
}

int TypedCharacterCode(std::string_view utf8) {
  size_t i = 0;
  char32_t c = 0;
  if (utf8.empty() || !NextCharacter(utf8, i, c) || i != utf8.size()) return -1;
  return Cp1252Byte(c);
}

std::string LiteralLabel(std::string_view utf8, bool menuEntry) {
  std::string out;
  for (char ch : utf8) {
    if (ch == '@' || (menuEntry && ch == '&')) out += ch;
    out += ch;
  }
  return out;
}

}  // namespace tarvik::gui
