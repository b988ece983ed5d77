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
// untouched, for any other line (the full rules cut it).
const char* CutCommonLineAt(const char* p, ScriptTokens& t) {
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
      const char* const text = ++p;
      while (InQuotedText(ClassOf(*p))) ++p;
      if (*p != '"') return nullptr;
      valueToken = Trimmed(stretch(text, p));
      ++p;
    } else {
      const char* const value = p;
      while (InPlainValue(ClassOf(*p))) ++p;
      valueToken = stretch(value, p);
    }
    skipDropped();
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

// Whether the text, which ends at `end`, holds the two blocks from p on that the marks
// of the line at p may look at.
inline bool LineMarksFit(const char* p, const char* end) {
  return static_cast<size_t>(end - p) >= 2 * LINE_BLOCK_SIZE;
}

// with(marks) for the marks of the line at p, whose text holds two blocks from p on: of
// one block, or of two when the carriage return is not in the first. (Two calls, so
// that each works on marks of its own.)
template <typename With>
inline auto WithLineMarks(const char* p, With with) {
  const LineMarks first = LineMarksAt(p);
  if (first.carriageReturns) return with(first);
  return with(JoinedLineMarks(first, LineMarksAt(p + LINE_BLOCK_SIZE)));
}

// The first marked byte from byte i on, i at most the carriage return's place. Every
// mask of an end marks the carriage return, and every inverted mask of blanks and line
// feeds does, so one lies ahead.
inline int FirstMarkFrom(uint32_t marks, int i) { return i + LowestMark(marks >> i); }

// CutCommonLineAt for a line whose carriage return lies among the bytes at p that m
// marks, with the marks instead of a look at each character: the same shapes,
// cut to the same tokens, where the scans stop at the same characters (the marks of the
// ends of a first token, an argument and a plain value hold every character that is not
// ordinary, those of a quoted text every line end and the double quote) and at a few
// more ordinary ones (below "("; control characters in a quoted text), where this
// gives up. It gives up too on a quoted value that its carriage return does not follow
// right away. Returns the carriage return's place in the block; -1, with t untouched,
// for any other line (CutCommonLineAt takes it).
[[gnu::always_inline]] inline int CutCommonLineInBlock(const char* p, const LineMarks& m, ScriptTokens& t) {
  if (m.carriageReturns == 0) return -1;
  const int cr = LowestMark(m.carriageReturns);
  auto stretch = [p](int from, int to) { return std::string_view(p + from, static_cast<size_t>(to - from)); };
  const int i = FirstMarkFrom(~m.dropped, 0);
  if (i == cr) {
    t = ScriptTokens{};  // nothing but blanks and line feeds
    return cr;
  }
  const int firstEnd = FirstMarkFrom(m.tokenEnds, i);
  if (firstEnd == i) return -1;
  const std::string_view firstToken = stretch(i, firstEnd);
  const int j = FirstMarkFrom(~m.blanks, firstEnd);
  if (p[j] == '=') {
    const int v = FirstMarkFrom(~m.dropped, j + 1);
    if (p[v] != '"') {
      if (FirstMarkFrom(m.plainValueEnds, v) != cr) return -1;
      t = ScriptTokens{{}, {}, firstToken, stretch(v, cr)};
      return cr;
    }
    if (cr - v < 2 || p[cr - 1] != '"' || FirstMarkFrom(m.quotedTextEnds, v + 1) != cr - 1) return -1;
    t = ScriptTokens{{}, {}, firstToken, Trimmed(stretch(v + 1, cr - 1))};
    return cr;
  }
  if (j == cr) {
    t = ScriptTokens{firstToken, {}, {}, {}};
    return cr;
  }
  // An argument after the blanks, up to the carriage return.
  if (j == firstEnd || FirstMarkFrom(m.tokenEnds, j) != cr) return -1;
  t = ScriptTokens{firstToken, stretch(j, cr), {}, {}};
  return cr;
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
}

namespace {

// The end of the property statement that begins at p, a line that ends at a carriage
// return (which stops every scan here): that carriage return, or nullptr when the line
// is not certainly a property statement. Up to an "=" after a first token of ordinary
// characters and blanks, the full rules are outside quotes, in the first token or in
// the blanks after it; that "=" makes the first token the keyword and leaves the word
// empty, whatever the rest of the line holds.
inline const char* PropertyLineEnd(const char* p) {
  while (DroppedBetweenTokens(ClassOf(*p))) ++p;
  const char* const first = p;
  while (ClassOf(*p) == Ordinary) ++p;
  if (p == first) return nullptr;
  while (*p == ' ') ++p;
  if (*p != '=') return nullptr;
  while (*p != '\r') ++p;
  return p;
}

// PropertyLineEnd for the line at p with the marks m of its bytes: the first token ends
// at the same character as there (a character that is not ordinary) or earlier, at an
// ordinary character below "(", where this leaves the line to PropertyLineEnd; so does
// a line longer than the marks.
[[gnu::always_inline]] inline const char* PropertyLineEndMarked(const char* p, const LineMarks& m) {
  if (m.carriageReturns == 0) return PropertyLineEnd(p);
  const int i = FirstMarkFrom(~m.dropped, 0);
  const int firstEnd = FirstMarkFrom(m.tokenEnds, i);
  if (ClassOf(p[firstEnd]) == Ordinary) return PropertyLineEnd(p);
  if (firstEnd == i) return nullptr;
  return p[FirstMarkFrom(~m.blanks, firstEnd)] == '=' ? p + LowestMark(m.carriageReturns) : nullptr;
}

}  // namespace

size_t ScriptLines::SkipPropertyLines() {
  // The lines one after another, in one loop: a line begins right after the carriage
  // return that ends the one before.
  const Ahead ahead = TextAhead();
  const char* at = ahead.at;
  size_t skipped = 0;
  while (at < ahead.crLimit) {
    const char* const end = LineMarksFit(at, ahead.end)
                                 ? WithLineMarks(at, [at](const LineMarks& m) { return PropertyLineEndMarked(at, m); })
                                 : PropertyLineEnd(at);
    if (!end) break;
    at = end + 1;
    ++skipped;
  }
  MoveTo(at);
  return skipped;
}

namespace {

// Whether the argument is one of `arguments` (upper case), in any letter case.
bool IsOneOf(std::string_view argument, std::span<const std::string_view> arguments) {
  for (const std::string_view a : arguments) {
    if (EqualsNoCase(argument, a)) return true;
  }
  return false;
}

// The end of the line at p, a line that ends at a carriage return (which stops every
// scan here), when it is certainly a statement SkipLinesWithoutArguments passes over:
// that carriage return; nullptr for any other line. The line's shapes, after blanks and
// line feeds: nothing; a first token of ordinary characters, blanks, and an "=" (a
// property statement, as for PropertyLineEnd); a first token and blanks only (a word
// alone); a first token, blanks, a second token of ordinary characters, then blanks and
// line feeds only (a word and its argument, the two stretches as they stand).
const char* IdleLineEnd(const char* p, std::span<const std::string_view> arguments) {
  while (DroppedBetweenTokens(ClassOf(*p))) ++p;
  if (*p == '\r') return p;
  const char* const first = p;
  while (ClassOf(*p) == Ordinary) ++p;
  if (p == first) return nullptr;
  while (*p == ' ') ++p;
  if (*p == '=') {
    while (*p != '\r') ++p;
    return p;
  }
  if (*p == '\r') return p;
  const char* const argument = p;
  while (ClassOf(*p) == Ordinary) ++p;
  if (p == argument) return nullptr;
  const std::string_view argumentToken(argument, static_cast<size_t>(p - argument));
  while (DroppedBetweenTokens(ClassOf(*p))) ++p;
  return *p == '\r' && !IsOneOf(argumentToken, arguments) ? p : nullptr;
}

// FirstMarkFrom for the marks of a window.
inline int FirstMarkFrom(uint64_t marks, int i) { return i + LowestMark(marks >> i); }

enum class LineVerdict { PassOver, Stop, Unsure };

// IdleLineEnd for the line from byte `from` to its carriage return at `cr` of a window
// at w with the marks m: the tokens end at the same characters as there (a character
// that is not ordinary) or earlier, at an ordinary character below "(", where this is
// unsure and leaves the line to IdleLineEnd. The scans stop at the carriage return,
// which every mask of ends and every inverted mask of blanks and line feeds marks.
// After the first token this passes over line feeds as well as blanks: an "=" after
// them still makes a property statement, and a second token after line feeds alone
// joins the first (a word alone) where after a blank it is the argument; either way a
// line whose second token is none of `arguments` does nothing.
[[gnu::always_inline]] inline LineVerdict IdleLineInWindow(const char* w, const WindowMarks& m, int from, int cr,
                                                          std::span<const std::string_view> arguments) {
  const int i = FirstMarkFrom(~m.dropped, from);
  if (i == cr) return LineVerdict::PassOver;
  const int firstEnd = FirstMarkFrom(m.tokenEnds, i);
  if (ClassOf(w[firstEnd]) == Ordinary) return LineVerdict::Unsure;
  if (firstEnd == i) return LineVerdict::Stop;
  const int j = FirstMarkFrom(~m.dropped, firstEnd);
  if (w[j] == '=' || j == cr) return LineVerdict::PassOver;
  const int argumentEnd = FirstMarkFrom(m.tokenEnds, j);
  if (ClassOf(w[argumentEnd]) == Ordinary) return LineVerdict::Unsure;
  if (argumentEnd == j || FirstMarkFrom(~m.dropped, argumentEnd) != cr) return LineVerdict::Stop;
  const std::string_view argument(w + j, static_cast<size_t>(argumentEnd - j));
  return IsOneOf(argument, arguments) ? LineVerdict::Stop : LineVerdict::PassOver;
}

}  // namespace

size_t ScriptLines::SkipLinesWithoutArguments(std::span<const std::string_view> arguments) {
  const Ahead ahead = TextAhead();
  const char* at = ahead.at;
  size_t skipped = 0;
  while (at < ahead.crLimit) {
    int from = 0;  // where the next line begins in the window at `at`
    if (ahead.end - at >= LINE_WINDOW_SIZE) {
      // Each line whose carriage return lies in the window, with the window's marks.
      const WindowMarks m = WindowMarksAt(at);
      for (uint64_t crs = m.carriageReturns; crs != 0; crs &= crs - 1) {
        const int cr = LowestMark(crs);
        LineVerdict verdict = IdleLineInWindow(at, m, from, cr, arguments);
        if (verdict == LineVerdict::Unsure) {
          verdict = IdleLineEnd(at + from, arguments) ? LineVerdict::PassOver : LineVerdict::Stop;
        }
        if (verdict == LineVerdict::Stop) {
          MoveTo(at + from);
          return skipped;
        }
        ++skipped;
        from = cr + 1;
      }
    }
    if (from > 0) {
      at += from;
      continue;
    }
    // A line longer than the window, or one near the end of the text.
    const char* const end = IdleLineEnd(at, arguments);
    if (!end) break;
    at = end + 1;
    ++skipped;
  }
  MoveTo(at);
  return skipped;
}

// The next line when CutCommonLineInBlock does not take it: by CutCommonLineAt, or by
// the full rules. Kept apart from Next, so that the common way through Next is short.
[[gnu::noinline]] bool ScriptLines::NextOther(ScriptTokens& tokens, std::string& work) {
  if (at_ < crLimit_) {
    const char* const line = text_.data() + at_;
    const char* cr = CutCommonLineAt(line, tokens);
    if (!cr) {
      cr = static_cast<const char*>(std::memchr(line, '\r', crLimit_ - at_));
      tokens = CutScriptTokens(std::string_view(line, static_cast<size_t>(cr - line)), work);
    }
    at_ = static_cast<size_t>(cr - text_.data()) + 1;
    return true;
  }
  if (at_ < text_.size()) {
    tokens = CutScriptTokens(text_.substr(at_), work);
    at_ = text_.size();
    return true;
  }
  return false;
}

bool ScriptLines::Next(ScriptTokens& tokens, std::string& work) {
  const char* const line = text_.data() + at_;
  if (at_ < crLimit_ && LineMarksFit(line, text_.data() + text_.size())) {
    const int cr = WithLineMarks(line, [&](const LineMarks& m) { return CutCommonLineInBlock(line, m, tokens); });
    if (cr >= 0) {
      at_ += static_cast<size_t>(cr) + 1;
      return true;
    }
  }
  return NextOther(tokens, work);
}

}  // namespace tarvik
