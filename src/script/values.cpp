#include "script/values.h"

#include <cmath>
#include <cstdlib>

#include "base/text.h"
#include "platform/rounding.h"
#include "universe/universe_session.h"

namespace tarvik {

namespace {

// The digit set: the minus sign and the ten digits.
bool IsDigitSet(char c) { return c == '-' || (c >= '0' && c <= '9'); }

// The number formed by the longest prefix that reads as a number (an optional
// leading minus, then digits); 0 when there is none. The texts read here hold at most
// ten characters, so the result always fits 64 bits.
long long LeadingNumber(std::string_view t) {
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && t[i] == '-') {
    negative = true;
    ++i;
  }
  long long v = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) v = v * 10 + (t[i] - '0');
  return negative ? -v : v;
}

// Values of 1000000001 and more, or -1000000000 and less, count as no number at all.
bool OutsideReadableRange(long long v) { return v >= 1000000001LL || v <= -1000000000LL; }

// A number pulled into [min, max]: up to min, then down to max (so max wins when the
// bounds cross); `pull` says which pull came last.
int32_t PulledIntoBounds(long long v, int32_t min, int32_t max, ValueReading::Pull& pull) {
  if (v < min) {
    v = min;
    pull = ValueReading::Pull::ToMin;
  }
  if (v > max) {
    v = max;
    pull = ValueReading::Pull::ToMax;
  }
  return static_cast<int32_t>(v);
}

// The number read, pulled into [min, max], as r's value.
void PullIntoBounds(int32_t min, int32_t max, ValueReading& r) { r.value = PulledIntoBounds(r.read, min, max, r.pull); }

// Reads collected digit-set characters into r: the number they stand for, pulled into
// [min, max]; more than ten characters, or a value beyond the readable range, gives 0.
void ReadDigits(const std::string& digits, int32_t min, int32_t max, ValueReading& r) {
  if (digits.size() > 10) {
    r.form = ValueReading::Form::TooLong;
    return;
  }
  r.read = LeadingNumber(digits);
  if (OutsideReadableRange(r.read)) {
    r.form = ValueReading::Form::TooLarge;
    return;
  }
  PullIntoBounds(min, max, r);
}

bool ReadPlainNumber(std::string_view text, int32_t min, int32_t max, ValueReading& r) {
  int32_t number = 0;
  if (!PlainNumber(text, number)) return false;
  r.read = number;
  r.form = ValueReading::Form::Whole;
  PullIntoBounds(min, max, r);
  return true;
}

int32_t ClampedReading(const std::string& digits, int32_t min, int32_t max) {
  ValueReading r;
  ReadDigits(digits, min, max, r);
  return r.value;
}

// The A and B collections of a DICE expression: the digit-set characters before the
// first comma, and those between it and the first ")".
void DiceDigits(std::string_view text, std::string& a, std::string& b) {
  int state = 1;
  for (char c : text) {
    if (c == ')') {
      state = 3;
    } else if (state == 2) {
      if (IsDigitSet(c)) b += c;
    } else if (state == 1) {
      if (c == ',') {
        state = 2;
      } else if (IsDigitSet(c)) {
        a += c;
      }
    }
  }
}

ValueReading::DiceNumber DiceBound(const std::string& digits, int32_t min, int32_t max) {
  ValueReading::DiceNumber n;
  if (digits.empty() || digits.size() > 10) {
    n.missing = true;
    return n;  // 0, not pulled into the bounds
  }
  n.read = n.bound = LeadingNumber(digits);
  if (n.bound > max) {
    n.bound = max;
    n.pull = ValueReading::Pull::ToMax;
  }
  if (n.bound < min) {
    n.bound = min;
    n.pull = ValueReading::Pull::ToMin;
  }
  return n;
}

// Whether the text is a whole number as a person writes one: an optional sign, then
// digits, commas allowed between them.
bool IsWholeNumberText(std::string_view t) {
  size_t i = 0;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
  bool digit = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      digit = true;
    } else if (t[i] != ',') {
      return false;
    }
  }
  return digit;
}

}  // namespace

ValueReading ReadValueText(std::string_view text, int32_t min, int32_t max) {
  ValueReading r;
  if (ReadPlainNumber(text, min, max, r)) return r;
  return ReadValueTextInFull(text, min, max);
}

ValueReading ReadValueTextInFull(std::string_view text, int32_t min, int32_t max) {
  using Form = ValueReading::Form;
  ValueReading r;
  if (text.empty()) return r;
  if (ContainsNoCase(text, "DICE(")) {
    r.form = Form::Dice;
    std::string a, b;
    DiceDigits(text, a, b);
    r.dice[0] = DiceBound(a, min, max);
    r.dice[1] = DiceBound(b, min, max);
    return r;
  }
  std::string digits;
  for (char c : text) {
    if (IsDigitSet(c)) digits += c;
  }
  r.form = digits.find_first_of("0123456789") == std::string::npos ? Form::NoDigits
           : IsWholeNumberText(text)                                ? Form::Whole
                                                                    : Form::Lenient;
  ReadDigits(digits, min, max, r);
  return r;
}

int32_t GetValueInFull(PlatformSession& s, std::string_view text, int32_t min, int32_t max) {
  const ValueReading r = ReadValueTextInFull(text, min, max);
  if (r.form != ValueReading::Form::Dice) return r.value;
  long long lo = r.dice[0].bound;
  long long hi = r.dice[1].bound;
  if (lo > hi) std::swap(lo, hi);
  double v = s.random.Next() * static_cast<double>(hi - lo) + static_cast<double>(lo);
  if (v < static_cast<double>(lo)) v = static_cast<double>(lo);
  if (v > static_cast<double>(hi)) v = static_cast<double>(hi);
  return static_cast<int32_t>(RoundToInt(v));
}

int32_t GetIndex(std::string_view text, int32_t min, int32_t max) {
  if (text.empty()) return 0;
  std::string digits;
  for (char c : text) {
    if (c == '=' || c == ',' || c == ')') break;
    if (IsDigitSet(c)) digits += c;
  }
  return ClampedReading(digits, min, max);
}

int32_t SetFlagBit(const UniverseSession& s, int32_t flags, int n, int32_t value) {
  if (n < 0 || n > 30) return flags;
  const int32_t weight = s.bitValue[static_cast<size_t>(n)];
  return value != 0 ? (flags | weight) : (flags & ~weight);
}

std::string CodeText(std::string_view text) { return (std::string(text) + "AAA").substr(0, 3); }

std::optional<int32_t> StrictNumber(std::string_view text) {
  // A plain whole number (nearly every value): the decimal reader reads its digits
  // exactly (nine of them are far within a double's), and rounding leaves it as it is.
  int32_t number = 0;
  if (PlainNumber(text, number)) return number;
  return StrictNumberInFull(text);
}

std::optional<int32_t> StrictNumberInFull(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::string_view t = text.substr(b, e - b);
  // Decimal notation only: [sign] digits [. digits] [exponent], at least one digit
  // in the mantissa.
  size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++mantissaDigits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  const std::string copy(t);
  const double v = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  const double r = RoundHalfEven(v);
  if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
  return static_cast<int32_t>(r);
}

}  // namespace tarvik
