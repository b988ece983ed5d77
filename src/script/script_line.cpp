#include "script/script_line.h"

#include "base/text.h"

namespace tarvik {

ScriptStatement CutScriptLine(std::string_view line) {
  ScriptStatement st;
  const std::string trimmed = TrimBlanks(line);
  if (trimmed.empty()) return st;
  // 0: before the first token; 1: in the first token; 2: after the first token with
  // no "=" yet; 3: after the "=".
  int state = 0;
  bool quoted = false;
  for (char c : trimmed) {
    if (c == '\'' && !quoted) break;
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == '\r' || c == '\n') continue;
    switch (state) {
      case 0:
        if (c != ' ') {
          st.word += c;
          state = 1;
        }
        break;
      case 1:
        if (c == ' ' && !quoted) {
          state = 2;
        } else if (c == '=' && !quoted) {
          st.keyword = std::move(st.word);
          st.word.clear();
          state = 3;
        } else {
          st.word += c;
        }
        break;
      case 2:
        if (c == ' ' && !quoted) {
          // blanks between the tokens are dropped
        } else if (c == '=') {
          st.keyword = std::move(st.word);
          st.word.clear();
          state = 3;
        } else {
          st.argument += c;
        }
        break;
      default:
        if (!(c == ' ' && !quoted)) st.value += c;
        break;
    }
  }
  st.word = TrimBlanks(st.word);
  st.argument = TrimBlanks(st.argument);
  st.keyword = TrimBlanks(st.keyword);
  st.value = TrimBlanks(st.value);
  return st;
}

}  // namespace tarvik
