// Cutting one script line into its statement: a section statement (word and
// argument, such as BEGIN SHIP) or a property statement (keyword and value, such as
// X = 1500). At most one of word and keyword is set.
#pragma once

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
// CutScriptLine in one pass without allocating: the tokens are views of `work`.
ScriptTokens CutScriptTokens(std::string_view line, std::string& work);
// Whether the line, cut, is certainly a property statement (a keyword, no word): a line
// with an "=" after its first character that is not a blank or a line end, and no
// double quote or apostrophe before that "=". False says nothing.
bool IsPropertyLine(std::string_view line);
// For the line of a script's text that begins at `start` (lines end at a carriage
// return): where it ends (its carriage return, or the end of the text) when
// IsPropertyLine holds for it, else npos. Looks at the characters only up to the "="
// that decides it, then searches for the carriage return.
size_t PropertyLineEnd(std::string_view text, size_t start);

}  // namespace tarvik
