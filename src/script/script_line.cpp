#include "script/script_line.h"

#include "script/line_marks.h"

#include "base/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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
// characters a value outside quotes is made of (ordinary ones and "="), those a quoted
// text holds too (apostrophe, blank), the blank and the line feed (dropped outside
// quotes, together), then the carriage return that ends a line and the double quote.
enum CharClass : uint8_t { Ordinary, Equals, Apostrophe, Blank, LineFeed, CarriageReturn, DoubleQuote };
struct CharClasses {
  std::array<CharClass, 256> of{};
  constexpr CharClasses() {
    of['='] = Equals;
    of['\''] = Apostrophe;
    of[' '] = Blank;
    of['\n'] = LineFeed;
    of['\r'] = CarriageReturn;
    of['"'] = DoubleQuote;
  }
};
constexpr CharClasses CHAR_CLASSES;
CharClass ClassOf(char c) { return CHAR_CLASSES.of[static_cast<unsigned char>(c)]; }
bool InPlainValue(CharClass c) { return c <= Equals; }
bool InQuotedText(CharClass c) { return c <= Blank; }
bool DroppedBetweenTokens(CharClass c) { return c == Blank || c == LineFeed; }

// A quoted value whose opening double quote is at q: when a closing double quote ends
// it before any other line end, `value` is the text between the quotes trimmed of
// blanks, as every value is, and the place after the blanks and line feeds that follow
// the closing quote is returned; nullptr otherwise.
const char* QuotedValue(const char* q, std::string_view& value) {
  const char* const text = ++q;
  while (InQuotedText(ClassOf(*q))) ++q;
  if (*q != '"') return nullptr;
  value = Trimmed(std::string_view(text, static_cast<size_t>(q - text)));
  ++q;
  while (DroppedBetweenTokens(ClassOf(*q))) ++q;
  return q;
}

// The shapes nearly every line of a script has, cut in one look at each character:
//   KEYWORD = VALUE        a property statement
//   KEYWORD = "TEXT"       a property statement with a quoted value
//   WORD or WORD ARGUMENT  a section statement
//   nothing                an empty line
// with blanks only between the tokens, blanks and line feeds only before the first and
// after the last, and no double quote or apostrophe anywhere else. Each token is then a
// stretch of the line without a character to drop, which is what the full rules give
// for it: the first token ends at the blank or the "=" after it, blanks after it are
// dropped, an "=" makes it the keyword and the rest of the line, trimmed, the value (an
// "=" in the value is an ordinary character), and without an "=" the next stretch is
// the argument. A quoted value keeps everything between its quotes (blanks, "=" and
// apostrophes too); with no line feed in it (the one character the quotes would still
// drop) it is that stretch, trimmed of blanks as every value is.
// The line begins at p and certainly ends at a carriage return, which no scan lets pass,
// so that no scan needs the line's length. Returns that carriage return; nullptr, with t
// untouched, for any other line (the full rules cut it). Kept apart from the window's
// cut, so that the common way through it is short.
[[gnu::noinline]] const char* CutCommonLineAt(const char* p, ScriptTokens& t) {
  auto skipDropped = [&] {
    while (DroppedBetweenTokens(ClassOf(*p))) ++p;
  };
  auto skipOrdinary = [&] {
    while (ClassOf(*p) == Ordinary) ++p;
  };
  auto stretch = [](const char* from, const char* to) { return std::string_view(from, static_cast<size_t>(to - from)); };
  skipDropped();
  if (*p == '\r') {
    t = ScriptTokens{};  // nothing but blanks and line feeds
    return p;
  }
  if (ClassOf(*p) != Ordinary) return nullptr;
  const char* const first = p;
  skipOrdinary();
  const std::string_view firstToken = stretch(first, p);
  while (*p == ' ') ++p;
  if (*p == '\r') {
    t = ScriptTokens{firstToken, {}, {}, {}};
    return p;
  }
  if (*p == '=') {
    ++p;
    skipDropped();
    std::string_view valueToken;
    if (*p == '"') {
      p = QuotedValue(p, valueToken);
      if (!p) return nullptr;
    } else {
      const char* const value = p;
      while (InPlainValue(ClassOf(*p))) ++p;
      valueToken = stretch(value, p);
      skipDropped();
    }
    if (*p != '\r') return nullptr;
    t = ScriptTokens{{}, {}, firstToken, valueToken};
    return p;
  }
  if (ClassOf(*p) != Ordinary) return nullptr;
  const char* const argument = p;
  skipOrdinary();
  const std::string_view argumentToken = stretch(argument, p);
  skipDropped();
  if (*p != '\r') return nullptr;
  t = ScriptTokens{firstToken, argumentToken, {}, {}};
  return p;
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

ScriptStatement CutScriptLine(std::string_view line) {
  std::string work;
  const ScriptTokens t = CutScriptTokens(line, work);
  return ScriptStatement{std::string(t.word), std::string(t.argument), std::string(t.keyword), std::string(t.value)};
}

ScriptLines::ScriptLines(std::string_view text) : text_(text) {
  const size_t lastCr = text.rfind('\r');
  crLimit_ = lastCr == std::string_view::npos ? 0 : lastCr + 1;
  if (text_.size() >= LINE_WINDOW_SIZE) LoadWindow();
}

WindowMarks ScriptLines::LoadWindow() {
  const WindowMarks m = WindowMarksAt(text_.data() + at_);
  windowAt_ = at_;
  windowReturns_ = m.carriageReturns;
  windowDropped_ = m.dropped;
  windowTokenEnds_ = m.tokenEnds;
  return m;
}

bool ScriptLines::QuotedValueAt(const char* q, const char* cr, std::string_view& value) {
  return QuotedValue(q, value) == cr;
}

bool ScriptLines::CutCommon(ScriptTokens& t) { return CutInWindow(t) || CutCommonApart(t); }

bool ScriptLines::CutCommonApart(ScriptTokens& t) {
  // A window made at the line, when the one there does not hold its carriage return; a
  // line longer than a window, or one near the end of the text, is looked at character
  // by character.
  if (windowAt_ != at_ && text_.size() - at_ >= LINE_WINDOW_SIZE) {
    LoadWindow();
    if (CutInWindow(t)) return true;
  }
  const char* const cr = CutCommonLineAt(text_.data() + at_, t);
  if (!cr) return false;
  at_ = static_cast<size_t>(cr - text_.data()) + 1;
  return true;
}

bool ScriptLines::NextApart(ScriptTokens& tokens, std::string& work) {
  if (at_ < crLimit_) {
    if (CutCommonApart(tokens)) return true;
    const char* const line = text_.data() + at_;
    const auto cr = static_cast<size_t>(static_cast<const char*>(std::memchr(line, '\r', crLimit_ - at_)) - line);
    tokens = CutScriptTokens(text_.substr(at_, cr), work);
    at_ += cr + 1;
    return true;
  }
  if (at_ < text_.size()) {
    tokens = CutScriptTokens(text_.substr(at_), work);
    at_ = text_.size();
    return true;
  }
  return false;
}

void ScriptLines::SkipPropertyLines() {
  ScriptTokens t;
  while (at_ < crLimit_) {
    const size_t lineAt = at_;
    if (!CutCommon(t) || !t.word.empty() || t.keyword.empty()) {
      at_ = lineAt;
      return;
    }
  }
}

namespace {

// Whether a line of these tokens does nothing outside a block of a settings pass: it
// has no word, or an argument that is none of `arguments` (upper case), in any letter
// case.
bool DoesNothingOutsideBlocks(const ScriptTokens& t, std::span<const std::string_view> arguments) {
  if (t.word.empty()) return true;
  for (const std::string_view a : arguments) {
    if (EqualsNoCase(t.argument, a)) return false;
  }
  return true;
}

// The carriage returns of the lines of the window with the marks m that certainly do
// nothing outside a block of a settings pass, found for all its lines at once (each line
// begins right after a carriage return, the first at the window's start). After blanks
// and line feeds, such a line holds nothing (an empty statement), or a first token of
// ordinary characters followed by blanks and line feeds only (a word alone) or by an "="
// (a property statement, whatever follows). Up to that "=" the token rules are outside
// quotes and drop the blanks and line feeds, so the first token is the word or the
// keyword as it stands. The token ends hold a few ordinary characters too (below "("):
// a line where one ends a token is left out, and looked at on its own.
uint64_t IdleLineEnds(const WindowMarks& m) {
  const uint64_t ordinary = ~m.tokenEnds;
  const uint64_t starts = m.carriageReturns << 1 | 1;
  const uint64_t firsts = RunEnds(m.dropped, starts);
  const uint64_t afterFirstToken = RunEnds(m.dropped, RunEnds(ordinary, firsts & ordinary));
  // The carriage return after each "=" that follows a first token.
  const uint64_t properties = RunEnds(~m.carriageReturns, afterFirstToken & m.equals);
  return (firsts | afterFirstToken | properties) & m.carriageReturns;
}

}  // namespace

void ScriptLines::SkipLinesWithoutArguments(std::span<const std::string_view> arguments) {
  ScriptTokens t;
  while (at_ < crLimit_) {
    if (text_.size() - at_ >= LINE_WINDOW_SIZE) {
      // The lines whose carriage returns lie in the window at the next line: passed over
      // all at once up to each one that is not certainly idle, which is cut.
      // (A line cut on its own may make a window of its own: the window's lines are
      // counted from `base`.)
      const size_t base = at_;
      const WindowMarks m = LoadWindow();
      uint64_t returns = m.carriageReturns;  // of the lines not yet passed over
      for (uint64_t doubtful = returns & ~IdleLineEnds(m); doubtful != 0; doubtful &= doubtful - 1) {
        const uint64_t doubtfulReturn = doubtful & (~doubtful + 1);
        const uint64_t before = returns & (doubtfulReturn - 1);
        if (before != 0) at_ = base + static_cast<size_t>(std::bit_width(before));
        const size_t lineAt = at_;
        if (!CutCommon(t) || !DoesNothingOutsideBlocks(t, arguments)) {
          at_ = lineAt;
          return;
        }
        returns &= ~(before | doubtfulReturn);
      }
      if (returns != 0) {
        at_ = base + static_cast<size_t>(std::bit_width(returns));
        continue;
      }
      if (at_ != base) continue;
    }
    // A line longer than the window, or one near the end of the text.
    const size_t lineAt = at_;
    if (!CutCommon(t) || !DoesNothingOutsideBlocks(t, arguments)) {
      at_ = lineAt;
      return;
    }
  }
}

}  // namespace tarvik
