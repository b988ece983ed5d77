// Cutting one script line into its statement: a section statement (word and
// argument, such as BEGIN SHIP) or a property statement (keyword and value, such as
// X = 1500). At most one of word and keyword is set.
#pragma once

#include "script/line_marks.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvik {

struct ScriptStatement {
  std::string word;
  std::string argument;
  std::string keyword;
  std::string value;
};

// The same statement as views of a working text, which the next line reuses.
struct ScriptTokens {
  std::string_view word;
  std::string_view argument;
  std::string_view keyword;
  std::string_view value;
};

// The token rules of a line: an apostrophe outside double quotes starts a comment;
// a double quote switches quoting and is dropped; a blank outside quotes separates the
// word from the argument and is dropped everywhere else; carriage returns and line
// feeds are dropped; a tab is an ordinary character. Texts keep their letter case.
ScriptStatement CutScriptLine(std::string_view line);
// CutScriptLine in one pass without allocating: the tokens are views of the line or of
// `work`.
ScriptTokens CutScriptTokens(std::string_view line, std::string& work);

// The lines of a script's text one after another, each cut into its statement as
// CutScriptTokens cuts it. The carriage return is the only line separator: a line feed
// stays inside the line (the cutter drops it), so a file whose lines end with bare line
// feeds is one line. Text after the last carriage return is a line when it is not empty.
// The tokens are views of the text or of `work`, good until the next line is cut.
class ScriptLines {
 public:
  explicit ScriptLines(std::string_view text);
  // The next line's statement; false when every line has been cut.
  bool Next(ScriptTokens& tokens, std::string& work) { return CutInWindow(tokens) || NextApart(tokens, work); }
  // Passes over the lines from here on, up to the first one that is not certainly a
  // property statement (cut, a keyword and no word). Only lines of the commonest shapes
  // count as certain (lines that end at a carriage return, such as KEYWORD = VALUE or
  // KEYWORD = "TEXT").
  void SkipPropertyLines();
  // Passes over the lines from here on up to the first one that is not certainly a
  // statement of one of these kinds: none at all (blanks and line feeds only), a
  // property statement, or a section statement whose argument is empty or none of
  // `arguments` (upper case; the argument in any letter case). Most lines are known for
  // certain without being cut, many at once.
  void SkipLinesWithoutArguments(std::span<const std::string_view> arguments);
  // Where the next line begins in the text: nothing before it is looked at again.
  size_t position() const { return at_; }

 private:
  // Cuts the next line with the marks of the window, when the window holds its carriage
  // return and the line has one of the commonest shapes, and moves to the line after it.
  // Inline, so that a loop over the lines holds it. False, with t untouched, for any
  // other line.
  bool CutInWindow(ScriptTokens& t);
  // Next for a line that CutInWindow does not take: by CutCommonApart, or by the full
  // rules.
  bool NextApart(ScriptTokens& tokens, std::string& work);
  // Cuts the next line, which ends at a carriage return, when it has one of the
  // commonest shapes: with the marks of the window that holds it (made at the line when
  // the one there does not), or character by character; and moves to the line after it.
  // False, with t untouched, for any other line (the full rules cut it).
  bool CutCommon(ScriptTokens& t);
  // CutCommon for a line that CutInWindow does not take.
  bool CutCommonApart(ScriptTokens& t);
  // Makes the marks of the window at the next line, which the text must hold whole.
  WindowMarks LoadWindow();
  // The value of a quoted text whose double quote is at q, when only blanks and line
  // feeds follow its closing quote up to the carriage return at cr (as CutCommonLineAt
  // takes it): true, with `value` set (which false may leave changed too).
  static bool QuotedValueAt(const char* q, const char* cr, std::string_view& value);

  std::string_view text_;
  size_t at_ = 0;       // where the next line begins
  size_t crLimit_ = 0;  // a line that begins before this ends at a carriage return
  // The window whose marks the lines in it are cut with: where it begins, and the marks
  // of its carriage returns, its blanks and line feeds, and its token ends (kept apart,
  // so that a window made only to cut a line leaves its equals signs unmarked).
  size_t windowAt_ = 0;
  uint64_t windowReturns_ = 0;
  uint64_t windowDropped_ = 0;
  uint64_t windowTokenEnds_ = 0;
};

// The line from the window's byte `from` to its carriage return at byte `cr` when it has
// one of the shapes nearly every line of a script has (see CutCommonLineAt), cut with
// the window's marks to the tokens the full rules give, instead of a look at each
// character outside quotes:
//   KEYWORD = VALUE        a property statement
//   KEYWORD = "TEXT"       a property statement with a quoted value
//   WORD or WORD ARGUMENT  a section statement
//   nothing                an empty line
// with blanks and line feeds only before the first token and after the last, blanks
// between the first token and an argument, and blanks and line feeds between the first
// token and an "=" (the token rules drop them there too). Each token is then a stretch
// of ordinary characters, or the text between two double quotes without a line end or
// double quote in it, trimmed of blanks as every value is. The marks of token ends hold
// every character that is not ordinary, and a few ordinary ones (below "(" and "="),
// where this gives up.
inline bool ScriptLines::CutInWindow(ScriptTokens& t) {
  const size_t offset = at_ - windowAt_;
  if (offset >= LINE_WINDOW_SIZE) return false;
  const uint64_t ahead = windowReturns_ >> offset;
  if (ahead == 0) return false;
  const int from = static_cast<int>(offset);
  const int cr = from + LowestMark(ahead);
  const char* const w = text_.data() + windowAt_;
  const uint64_t kept = ~windowDropped_;
  auto stretch = [w](int a, int b) { return std::string_view(w + a, static_cast<size_t>(b - a)); };
  // The stretch from byte a up to the first token end, when only blanks and line feeds
  // follow it up to the carriage return: where it ends, or -1.
  auto lastStretchEnd = [&](int a) {
    const int e = FirstMarkFrom(windowTokenEnds_, a);
    return FirstMarkFrom(kept, e) == cr ? e : -1;
  };
  const int i = FirstMarkFrom(kept, from);
  const int firstEnd = FirstMarkFrom(windowTokenEnds_, i);
  const int j = FirstMarkFrom(kept, firstEnd);
  if (i == cr) {
    t = ScriptTokens{};  // nothing but blanks and line feeds
  } else if (firstEnd == i) {
    return false;
  } else if (w[j] == '=') {
    const int v = FirstMarkFrom(kept, j + 1);
    std::string_view value;
    if (w[v] != '"') {
      const int valueEnd = lastStretchEnd(v);
      if (valueEnd < 0) return false;
      value = stretch(v, valueEnd);
    } else if (!QuotedValueAt(w + v, w + cr, value)) {
      return false;
    }
    t = ScriptTokens{{}, {}, stretch(i, firstEnd), value};
  } else if (j == cr) {
    t = ScriptTokens{stretch(i, firstEnd), {}, {}, {}};
  } else {
    // An argument after a blank (and more blanks and line feeds).
    const int argumentEnd = lastStretchEnd(j);
    if (w[firstEnd] != ' ' || argumentEnd < 0) return false;
    t = ScriptTokens{stretch(i, firstEnd), stretch(j, argumentEnd), {}, {}};
  }
  at_ = windowAt_ + static_cast<size_t>(cr) + 1;
  return true;
}

}  // namespace tarvik
