// How a property statement's value text becomes what a record field holds: the
// lenient number reader GetValue (with DICE expressions), GetIndex for the number in a
// keyword, flag bits, fixed-width texts, three-letter codes and strict numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

struct PlatformSession;
struct UniverseSession;

// The number a value text stands for, clamped into [min, max]. Never fails: malformed
// text gives 0 or a bound. An empty text gives 0 without clamping. A text holding
// "DICE(" (any case) draws a random whole number between its two bounds.
int32_t GetValue(PlatformSession& s, std::string_view text, int32_t min, int32_t max);

// The number written after a keyword's stem, such as the 5 of "(5)": digits up to the
// first "=", "," or ")", clamped into [min, max]. An empty text gives 0.
int32_t GetIndex(std::string_view text, int32_t min, int32_t max);

// The flag word with bit n (0..30) set when value is not 0 and cleared when it is,
// through the table of powers of two s.bitValue. Other bits stay as they are.
int32_t SetFlagBit(const UniverseSession& s, int32_t flags, int n, int32_t value);

// A value for a three-letter code field: the text followed by "AAA", cut to 3.
std::string CodeText(std::string_view text);

// The value read as a decimal number (sign, decimal point and exponent allowed,
// surrounding blanks ignored), rounded to the nearest whole number with ties to even.
// Nothing when the text is not such a number or the result does not fit 32 bits.
std::optional<int32_t> StrictNumber(std::string_view text);

}  // namespace tarvik
