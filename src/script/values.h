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

// How GetValue reads a value text, told in full for the script checker; GetValue itself
// reads through it.
struct ValueReading {
  enum class Form {
    Empty,     // no text: 0, not pulled into the bounds
    Dice,      // a DICE expression: see dice
    Whole,     // a whole number as written (commas and a leading "+" are allowed)
    Lenient,   // digits among other characters: only the digits and minus signs count
    NoDigits,  // no digit: read as 0, then pulled into the bounds
    TooLong,   // more than ten digits and minus signs: 0
    TooLarge,  // 1000000001 or more, or -1000000000 or less: 0
  };
  enum class Pull { None, ToMin, ToMax };
  Form form = Form::Empty;
  long long read = 0;  // the number read, before it is pulled into the bounds
  Pull pull = Pull::None;
  int32_t value = 0;   // the result (not for DICE, whose result is drawn)
  // The two numbers of a DICE expression: what was read, whether one is missing (no
  // digits, or more than ten, counting as 0) and the bound it becomes.
  struct DiceNumber {
    long long read = 0;
    bool missing = false;
    Pull pull = Pull::None;
    long long bound = 0;
  } dice[2];
};
ValueReading ReadValueText(std::string_view text, int32_t min, int32_t max);
// The same reading with every text taken through the general rules; ReadValueText
// reads a plain whole number straight away and agrees with this on every text.
ValueReading ReadValueTextInFull(std::string_view text, int32_t min, int32_t max);

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
