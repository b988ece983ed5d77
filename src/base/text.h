// Small text helpers used across the program. Texts are byte strings of the Windows
// code page; letter case is folded for ASCII letters only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// A number as the program writes it into messages: one leading blank when it is 0 or
// more, a leading "-" otherwise (" 12", "-5").
std::string NumText(long long value);
// The characters of NumText(value) written from `out` on, without making a text (for a
// text made in place); returns where they end. `out` has room for NUM_TEXT_ROOM.
inline constexpr size_t NUM_TEXT_ROOM = 21;
char* WriteNumText(char* out, long long value);

std::string UpperAscii(std::string_view text);
// UpperAscii into `out`, which keeps its storage: no allocation once it has grown to the
// longest text it holds (for texts upper-cased line after line).
void UpperAsciiInto(std::string_view text, std::string& out);
// Whether UpperAscii(text) contains UpperAscii(part), without making either.
bool ContainsNoCase(std::string_view text, std::string_view part);
std::string LowerAscii(std::string_view text);
// Whether a and b are the same text without regard to letter case (ASCII letters).
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}
// Case-insensitive (ASCII) ordering: negative, zero or positive like strcmp.
int CompareNoCase(std::string_view a, std::string_view b);

// Removes leading and trailing blanks (code 32 only).
std::string TrimBlanks(std::string_view text);

// The length of a stored name without the blanks and zero bytes at its end.
size_t TrimmedLength(std::string_view text);

// Fixed-length assignment: the text cut to n bytes or padded with blanks to n.
std::string FixedText(std::string_view text, size_t n);

// File stems as the data files store them (race modules and ship packs by the stem of
// their file name): exactly STEM_LENGTH bytes, NUL-padded.
inline constexpr size_t STEM_LENGTH = 8;
// A stem cut or NUL-padded to its stored length.
std::string StoredStem(std::string_view stem);
// The stored stem of a file name: the name after the last "\", ":" or "/" and before
// its last "."; empty without a ".".
std::string MakeFileStem(std::string_view fileName);
// Whether a file name's stem fits the stored length, so that the stored stem names the
// same file again.
bool StemFits(std::string_view fileName);
// A stored stem as a name: without its NUL padding.
std::string StemText(std::string_view stem);

}  // namespace tarvik
