#include "script/script_line.h"

namespace tarvik {

namespace {

// Without leading and trailing blanks (code 32 only).
std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

ScriptTokens CutScriptTokens(std::string_view line, std::string& work) {
  ScriptTokens t;
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

}  // namespace tarvik
