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

// Whether the text is a plain whole number: an optional minus, then one to nine digits
// (nearly every value a script holds), and which. The general rules read such a text as
// that number (never outside the readable range).
inline bool PlainNumber(std::string_view text, int32_t& number) {
  const size_t first = !text.empty() && text[0] == '-' ? 1 : 0;
  const size_t count = text.size() - first;
  if (count == 0 || count > 9) return false;
  int32_t v = 0;  // nine digits fit
  for (size_t i = first; i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
    if (digit > 9) return false;
    v = v * 10 + static_cast<int32_t>(digit);
  }
  number = first ? -v : v;
  return true;
}

// A number pulled into [min, max] as GetValue pulls a number it read: up to min, then
// down to max (so max wins when the bounds cross).
inline int32_t BoundedNumber(int32_t number, int32_t min, int32_t max) {
  if (number < min) number = min;
  if (number > max) number = max;
  return number;
}

// GetValue of a text that is not a plain number.
int32_t GetValueInFull(PlatformSession& s, std::string_view text, int32_t min, int32_t max);

// The number a value text stands for, clamped into [min, max]. Never fails: malformed
// text gives 0 or a bound. An empty text gives 0 without clamping. A text holding
// "DICE(" (any case) draws a random whole number between its two bounds. A plain number
// is pulled into the bounds straight away (up to min, then down to max, as the general
// rules pull it); inline, as every number statement of a script reads its value.
inline int32_t GetValue(PlatformSession& s, std::string_view text, int32_t min, int32_t max) {
  int32_t number = 0;
  if (!PlainNumber(text, number)) return GetValueInFull(s, text, min, max);
  return BoundedNumber(number, min, max);
}

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
// The same reading with every text taken through the decimal reader; StrictNumber reads
// a plain whole number straight away and agrees with this on every text.
std::optional<int32_t> StrictNumberInFull(std::string_view text);

}  // namespace tarvik
