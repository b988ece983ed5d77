// Cutting one script line into its statement: a section statement (word and
// argument, such as BEGIN SHIP) or a property statement (keyword and value, such as
// X = 1500). At most one of word and keyword is set.
#pragma once

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
  bool Next(ScriptTokens& tokens, std::string& work);
  // Passes over the lines from here on, without cutting them, up to the first one that
  // is not certainly a property statement (cut, a keyword and no word), and says how
  // many it passed over. Such a line ends at a carriage return and begins, after blanks
  // and line feeds, with ordinary characters, then blanks, then an "=".
  size_t SkipPropertyLines();
  // Where the next line begins in the text: nothing before it is looked at again.
  size_t position() const { return at_; }
  // Passes over the lines from here on, without cutting them, up to the first one that
  // is not certainly a statement of one of these kinds: none at all (blanks and line
  // feeds only), a property statement, or a section statement whose argument is empty
  // or none of `arguments` (upper case; the argument in any letter case). Says how many
  // it passed over.
  size_t SkipLinesWithoutArguments(std::span<const std::string_view> arguments);

 private:
  // Next for a line that is not of the commonest shapes, or after the last carriage
  // return.
  bool NextOther(ScriptTokens& tokens, std::string& work);

  // The text ahead, for passing over lines: where the next line begins, the bound
  // before which a line ends at a carriage return, and the end of the text.
  struct Ahead {
    const char* at;
    const char* crLimit;
    const char* end;
  };
  Ahead TextAhead() const { return {text_.data() + at_, text_.data() + crLimit_, text_.data() + text_.size()}; }
  void MoveTo(const char* at) { at_ = static_cast<size_t>(at - text_.data()); }

  std::string_view text_;
  size_t at_ = 0;       // where the next line begins
  size_t crLimit_ = 0;  // a line that begins before this ends at a carriage return
};

}  // namespace tarvik
