// Every fast path against the plain way it replaces, on random inputs and on inputs
// built to tie or collide: the same answers, ties included.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/name_table.h"
#include "script/script_line.h"

namespace tarvik {
namespace {

// ---- Names looked up in a table ---------------------------------------------------------

TEST(FastPaths, NameTableAnswersAsAMapDoes) {
  std::mt19937 rng(11);
  const std::string letters = "AEIOUXYZ()0123456789";
  auto randomName = [&] {
    std::string name(rng() % 18, ' ');
    for (char& c : name) c = letters[rng() % letters.size()];
    return name;
  };
  for (int round = 0; round < 20; ++round) {
    NameTable<int> table;
    std::map<std::string, int> plain;
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
      std::string name = randomName();
      // Built to collide: the same length, first and last bytes, a different middle.
      if (i % 3 == 0 && name.size() >= 3) name[name.size() / 2] ^= 1;
      names.push_back(name);
      // The first value given a name stays, as a map's emplace keeps it.
      EXPECT_EQ(table.Add(name, i), plain.emplace(name, i).second);
    }
    EXPECT_EQ(table.size(), plain.size());
    for (int i = 0; i < 600; ++i) {
      const std::string name = i < 300 ? names[static_cast<size_t>(i)] : randomName();
      const auto it = plain.find(name);
      const int* found = table.Find(name);
      ASSERT_EQ(found != nullptr, it != plain.end()) << name;
      if (found) {
        EXPECT_EQ(*found, it->second) << name;
      }
    }
  }
}

// ---- Script lines ------------------------------------------------------------------------

// The token rules character by character, as the plain cutter applies them.
ScriptStatement PlainCut(std::string_view line) {
  auto trim = [](std::string t) {
    const size_t a = t.find_first_not_of(' ');
    if (a == std::string::npos) return std::string();
    return t.substr(a, t.find_last_not_of(' ') - a + 1);
  };
  ScriptStatement st;
  const std::string trimmed = trim(std::string(line));
  int state = 0;
  bool quoted = false;
  for (char c : trimmed) {
    if (c == '\'' && !quoted) break;
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == '\r' || c == '\n') continue;
    if (state == 0) {
      if (c != ' ') {
        st.word += c;
        state = 1;
      }
    } else if (state == 1) {
      if (c == ' ' && !quoted) {
        state = 2;
      } else if (c == '=' && !quoted) {
        st.keyword = st.word;
        st.word.clear();
        state = 3;
      } else {
        st.word += c;
      }
    } else if (state == 2) {
      if (c == ' ' && !quoted) continue;
      if (c == '=') {
        st.keyword = st.word;
        st.word.clear();
        state = 3;
      } else {
        st.argument += c;
      }
    } else if (!(c == ' ' && !quoted)) {
      st.value += c;
    }
  }
  return {trim(st.word), trim(st.argument), trim(st.keyword), trim(st.value)};
}

TEST(FastPaths, TheLineCutterCutsAsThePlainRulesDo) {
  std::mt19937 rng(5);
  const std::string pieces[] = {" ", " ", "=", "\"", "'", "\t", "\n", "\r", "A", "b", "X", "1", "BEGIN", "SHIP",
                                "NAME", "  ", "= ", " =", "\"a b\"", "'rest"};
  std::string work;
  for (int i = 0; i < 60000; ++i) {
    std::string line;
    const int count = static_cast<int>(rng() % 12);
    for (int k = 0; k < count; ++k) line += pieces[rng() % std::size(pieces)];
    const ScriptStatement plain = PlainCut(line);
    const ScriptTokens fast = CutScriptTokens(line, work);
    ASSERT_EQ(fast.word, plain.word) << "[" << line << "]";
    ASSERT_EQ(fast.argument, plain.argument) << "[" << line << "]";
    ASSERT_EQ(fast.keyword, plain.keyword) << "[" << line << "]";
    ASSERT_EQ(fast.value, plain.value) << "[" << line << "]";
    const ScriptStatement whole = CutScriptLine(line);
    ASSERT_EQ(std::tie(whole.word, whole.argument, whole.keyword, whole.value),
              std::tie(plain.word, plain.argument, plain.keyword, plain.value));
  }
}

}  // namespace
}  // namespace tarvik
