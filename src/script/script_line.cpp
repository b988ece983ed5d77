#include "script/script_line.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tarvik {

namespace {

// Without leading and trailing blanks (code 32 only).
std::string_view Trimmed(std::string_view text) {
  size_t a = 0, b = text.size();
  while (a < b && text[a] == ' ') ++a;
  while (b > a && text[b - 1] == ' ') --b;
  return text.substr(a, b - a);
}

// Outside quotes, blanks and line ends are dropped from every token.
bool Dropped(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// What a character is to the token rules, looked up in one step. In this order: the
// characters dropped outside quotes (blank, line feed, carriage return) lie together,
// and those at which a property statement is decided (carriage return, "=", quotes)
// come last.
enum CharClass : uint8_t { Ordinary, Blank, LineFeed, CarriageReturn, Equals, Quote };
struct CharClasses {
  std::array<CharClass, 256> of{};
  constexpr CharClasses() {
    of[' '] = Blank;
    of['\n'] = LineFeed;
    of['\r'] = CarriageReturn;
    of['='] = Equals;
    of['"'] = of['\''] = Quote;
  }
};
constexpr CharClasses CHAR_CLASSES;
CharClass ClassOf(char c) { return CHAR_CLASSES.of[static_cast<unsigned char>(c)]; }
bool IsDropped(CharClass c) { return c >= Blank && c <= CarriageReturn; }

// The shapes nearly every line has, cut in one look at each character:
//   KEYWORD = VALUE        a property statement
//   WORD or WORD ARGUMENT  a section statement
//   nothing                an empty line
// with blanks only between the tokens, blanks and line ends only before the first and
// after the last, and no double quote or apostrophe anywhere. Each token is then a
// stretch of the line without a character to drop, which is what the full rules give
// for it: the first token ends at the blank or the "=" after it, blanks after it are
// dropped, an "=" makes it the keyword and the rest of the line, trimmed, the value (an
// "=" in the value is an ordinary character), and without an "=" the next stretch is
// the argument. False, with t untouched, for any other line (the full rules cut it).
bool CutCommonLine(std::string_view line, ScriptTokens& t) {
  const char* p = line.data();
  const char* const end = p + line.size();
  auto skipDropped = [&] {
    while (p < end && IsDropped(ClassOf(*p))) ++p;
  };
  auto skipOrdinary = [&] {
    while (p < end && ClassOf(*p) == Ordinary) ++p;
  };
  skipDropped();
  if (p == end) {
    t = ScriptTokens{};  // nothing but blanks and line ends
    return true;
  }
  if (ClassOf(*p) != Ordinary) return false;
  const char* const first = p;
  skipOrdinary();
  const std::string_view firstToken(first, static_cast<size_t>(p - first));
  while (p < end && *p == ' ') ++p;
  if (p == end) {
    t = ScriptTokens{firstToken, {}, {}, {}};
    return true;
  }
  if (*p == '=') {
    ++p;
    skipDropped();
    const char* const value = p;
    while (p < end && (ClassOf(*p) == Ordinary || ClassOf(*p) == Equals)) ++p;
    const std::string_view valueToken(value, static_cast<size_t>(p - value));
    skipDropped();
    if (p != end) return false;
    t = ScriptTokens{{}, {}, firstToken, valueToken};
    return true;
  }
  if (ClassOf(*p) != Ordinary) return false;
  const char* const argument = p;
  skipOrdinary();
  const std::string_view argumentToken(argument, static_cast<size_t>(p - argument));
  skipDropped();
  if (p != end) return false;
  t = ScriptTokens{firstToken, argumentToken, {}, {}};
  return true;
}

// A stretch of the line as a token: the stretch without the characters to drop at its
// ends, or, when such characters stand inside it too, its other characters copied to
// `work` from `at` on.
std::string_view Kept(std::string_view stretch, char* work, size_t& at) {
  size_t a = 0, b = stretch.size();
  while (a < b && Dropped(stretch[a])) ++a;
  while (b > a && Dropped(stretch[b - 1])) --b;
  stretch = stretch.substr(a, b - a);
  size_t i = 0;
  while (i < stretch.size() && !Dropped(stretch[i])) ++i;
  if (i == stretch.size()) return stretch;
  const size_t from = at;
  for (const char c : stretch) {
    if (!Dropped(c)) work[at++] = c;
  }
  return std::string_view(work + from, at - from);
}

// A line without double quotes and apostrophes (nearly every line): a blank only ends
// the first token, line ends are invisible, and no token keeps a blank, so the rules
// come down to finding the first token's end and the "=".
ScriptTokens CutUnquoted(std::string_view line, std::string& work) {
  ScriptTokens t;
  if (work.size() < line.size()) work.resize(line.size());
  size_t at = 0;
  size_t i = 0;
  while (i < line.size() && Dropped(line[i])) ++i;
  if (i == line.size()) return t;
  // The first token begins with whatever comes first (an "=" too), and ends before a
  // blank or an "=".
  const size_t firstAt = i++;
  while (i < line.size() && line[i] != ' ' && line[i] != '=') ++i;
  const std::string_view first = Kept(line.substr(firstAt, i - firstAt), work.data(), at);
  if (i == line.size()) {
    t.word = first;
  } else if (line[i] == '=') {
    t.keyword = first;
    t.value = Kept(line.substr(i + 1), work.data(), at);
  } else {
    const size_t equals = line.find('=', i);
    t.argument = Kept(line.substr(i, equals == std::string_view::npos ? std::string_view::npos : equals - i),
                      work.data(), at);
    if (equals == std::string_view::npos) {
      t.word = first;
    } else {
      t.keyword = first;
      t.value = Kept(line.substr(equals + 1), work.data(), at);
    }
  }
  return t;
}

}  // namespace

ScriptTokens CutScriptTokens(std::string_view line, std::string& work) {
  ScriptTokens t;
  if (CutCommonLine(line, t)) return t;
  // Lines are short: one look at each character beats two searches.
  if (std::none_of(line.begin(), line.end(), [](char c) { return c == '"' || c == '\''; })) {
    return CutUnquoted(line, work);
  }
  line = Trimmed(line);
  if (line.empty()) return t;
  // The tokens are collected one after another into `work`: the first token (the word,
  // which becomes the keyword at an "="), then the argument, then the value. Each one is
  // complete before the next begins, so each is one stretch of it.
  if (work.size() < line.size()) work.resize(line.size());
  char* const out = work.data();
  size_t n = 0;
  size_t wordAt = 0, wordEnd = 0, argumentAt = 0, valueAt = 0;
  bool hasWord = false, hasKeyword = false;
  // 0: before the first token; 1: in the first token; 2: after the first token with
  // no "=" yet; 3: after the "=".
  int state = 0;
  bool quoted = false;
  for (const char c : line) {
    if (c == '\'' && !quoted) break;
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == '\r' || c == '\n') continue;
    switch (state) {
      case 0:
        if (c != ' ') {
          wordAt = n;
          out[n++] = c;
          hasWord = true;
          state = 1;
        }
        break;
      case 1:
        if (c == ' ' && !quoted) {
          wordEnd = argumentAt = n;
          state = 2;
        } else if (c == '=' && !quoted) {
          wordEnd = argumentAt = valueAt = n;
          hasKeyword = true;
          state = 3;
        } else {
          out[n++] = c;
        }
        break;
      case 2:
        if (c == ' ' && !quoted) {
          // blanks between the tokens are dropped
        } else if (c == '=') {
          t.argument = std::string_view(out + argumentAt, n - argumentAt);
          valueAt = n;
          hasKeyword = true;
          state = 3;
        } else {
          out[n++] = c;
        }
        break;
      default:
        if (!(c == ' ' && !quoted)) out[n++] = c;
        break;
    }
  }
  if (state == 1) wordEnd = argumentAt = n;
  const std::string_view first = hasWord ? std::string_view(out + wordAt, wordEnd - wordAt) : std::string_view();
  if (state == 2) t.argument = std::string_view(out + argumentAt, n - argumentAt);
  if (hasKeyword) {
    // The "=" moved the first token into the keyword and left the word empty.
    t.keyword = Trimmed(first);
    t.value = Trimmed(std::string_view(out + valueAt, n - valueAt));
  } else {
    t.word = Trimmed(first);
  }
  t.argument = Trimmed(t.argument);
  return t;
}

bool IsPropertyLine(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && Dropped(line[i])) ++i;
  // Up to the first "=" after the first token's first character (the token may begin
  // with one): with no double quote or apostrophe before it, the cutter is at that "="
  // in the first token or in the blanks and argument after it, outside quotes, and an
  // "=" there makes the line a property statement whatever follows it.
  for (size_t k = i; k < line.size(); ++k) {
    switch (ClassOf(line[k])) {
      case Quote: return false;
      case Equals:
        if (k > i) return true;
        break;
      default: break;
    }
  }
  return false;
}

size_t PropertyLineEnd(std::string_view text, size_t start) {
  // IsPropertyLine on the line, with the carriage return as its end: no carriage return
  // stands inside a line.
  size_t i = start;
  while (i < text.size() && (ClassOf(text[i]) == Blank || ClassOf(text[i]) == LineFeed)) ++i;
  // The first character may be an "=" itself.
  size_t k = i < text.size() && ClassOf(text[i]) == Equals ? i + 1 : i;
  while (k < text.size() && ClassOf(text[k]) < CarriageReturn) ++k;
  if (k == text.size() || k == i || ClassOf(text[k]) != Equals) return std::string_view::npos;
  const size_t end = text.find('\r', k);
  return end == std::string_view::npos ? text.size() : end;
}

ScriptStatement CutScriptLine(std::string_view line) {
  std::string work;
  const ScriptTokens t = CutScriptTokens(line, work);
  return ScriptStatement{std::string(t.word), std::string(t.argument), std::string(t.keyword), std::string(t.value)};
}

}  // namespace tarvik
