// The script's value readers and the cutting of one line into its statement.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "app/session.h"
#include "app/startup.h"
#include "script/script_line.h"
#include "script/values.h"

namespace tarvik {
namespace {

struct ValueTest : ::testing::Test {
  std::unique_ptr<Session> session = std::make_unique<Session>();
  Session& s = *session;
  ValueTest() {
    s.random.SetFixedSeed(99);
    s.random.Seed(0);
    BuildBitValues(s);
  }
  // Draws the value n times and counts each result.
  std::map<int, int> Histogram(const std::string& text, int min, int max, int n) {
    std::map<int, int> h;
    for (int i = 0; i < n; ++i) ++h[GetValue(s, text, min, max)];
    return h;
  }
};

TEST_F(ValueTest, PlainNumbersKeepOnlyDigitsAndMinusSigns) {
  const int BIG = 2000000000;
  const struct { const char* text; int min, max, expected; } cases[] = {
      {"1,500", 0, 1000000, 1500}, {"1.5", 0, 1000000, 15}, {"+7", 0, 1000000, 7},
      {"X = 12 units", 0, 1000000, 12},
      {"12-5", 0, 1000000, 12},  // the digits and signs are joined first: "12-5" reads 12
      {"1 2 3", 0, 1000000, 123}, {"-25", -100, 100, -25},
      // Malformed text gives 0, clamped; an empty text gives 0 unclamped.
      {"abc", 1, 99000, 1}, {"", 1, 99000, 0}, {"-50", 0, 100, 0}, {"500", 0, 100, 100},
      {"--5", 3, 10, 3}, {"-", 3, 10, 3},
      // Beyond a thousand million or ten characters: 0, returned whatever the bounds.
      {"5000000000", -BIG, BIG, 0}, {"12345678901", -BIG, BIG, 0}, {"1000000000", 0, BIG, 1000000000},
      {"1000000001", 0, BIG, 0}, {"-999999999", -BIG, 0, -999999999}, {"-1000000000", -BIG, 0, 0},
      {"5000000000", 1, 99000, 0}, {"12345678901", 1, 99000, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(GetValue(s, c.text, c.min, c.max), c.expected) << '"' << c.text << '"';
}

TEST_F(ValueTest, DiceBoundsAreSwappedClampedAndReadLeniently) {
  for (int i = 0; i < 200; ++i) ASSERT_EQ(GetValue(s, "DICE(5,5)", 0, 100), 5);
  // Same generator state, same draw: each of these is DICE(1,6).
  for (const char* same : {"DICE(6,1)", "DICE(1,6", "dice(1,6)", "DICE(1,6)9"}) {
    auto a = std::make_unique<Session>(), b = std::make_unique<Session>();
    for (Session* x : {a.get(), b.get()}) {
      x->random.SetFixedSeed(5);
      x->random.Seed(0);
    }
    for (int i = 0; i < 50; ++i) ASSERT_EQ(GetValue(*a, same, 0, 100), GetValue(*b, "DICE(1,6)", 0, 100)) << same;
  }
  const struct { const char* text; int min, max, lowest, highest; } ranges[] = {
      {"DICE(0,500)", 1, 100, 1, 100},          // both bounds clamped
      {"DICE(7)", 1, 100, 0, 7},                // the missing bound is 0, not clamped
      {"2DICE(1,6)", 0, 100, 6, 21},            // digits before DICE join the first bound
      {"DICE(10000000000,3)", 0, 100, 0, 3},    // an eleven-character bound is 0
  };
  for (const auto& r : ranges) {
    std::map<int, int> h = Histogram(r.text, r.min, r.max, 20000);
    EXPECT_EQ(h.begin()->first, r.lowest) << r.text;
    EXPECT_EQ(h.rbegin()->first, r.highest) << r.text;
  }
}

TEST_F(ValueTest, IndexFlagBitsCodesAndStrictNumbers) {
  const struct { const char* text; int min, expected; } indexes[] = {
      {"(5)", 0, 5}, {"5", 0, 5}, {"(40)", 0, 30}, {"(1,2)", 0, 1}, {"(3)7", 0, 3},
      {"", 5, 0}, {"(x)", 5, 5}, {"(12345678901)", 0, 0}};
  for (const auto& c : indexes) EXPECT_EQ(GetIndex(c.text, c.min, 30), c.expected) << c.text;

  EXPECT_EQ(SetFlagBit(s, 0x0F0F, 6, 1), 0x0F4F);
  EXPECT_EQ(SetFlagBit(s, 0x0F0F, 0, 0), 0x0F0E);
  EXPECT_EQ(SetFlagBit(s, 0x0F0F, 30, 7), 0x40000F0F);
  EXPECT_EQ(SetFlagBit(s, 0x0F0F, 31, 1), 0x0F0F);  // outside 0..30: unchanged

  EXPECT_EQ(CodeText("x"), "xAA");
  EXPECT_EQ(CodeText(""), "AAA");
  EXPECT_EQ(CodeText("abcd"), "abc");

  const std::map<std::string, int32_t> strict = {
      {"12", 12}, {"  -3 ", -3}, {"2.5", 2}, {"3.5", 4}, {"1e3", 1000}, {"+.5", 0},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const auto& [text, value] : strict) EXPECT_EQ(StrictNumber(text), value) << text;
  for (const char* bad : {"", "abc", "12abc", "1,5", "0x10", "2147483648", "1e", "inf", "nan", "-", "."})
    EXPECT_FALSE(StrictNumber(bad).has_value()) << bad;
}

TEST(ScriptLine, CutsStatementsByBlanksQuotesAndComments) {
  const struct { const char* line; const char *word, *argument, *keyword, *value; } cases[] = {
      {"  BEGIN   SHIP  ", "BEGIN", "SHIP", "", ""},
      {"x=1500", "", "", "x", "1500"},
      {"NATIVE 3 = 500", "", "3", "NATIVE", "500"},  // an argument before "=" goes unused
      {"A = b = c", "", "", "A", "b=c"},
      {"BEGIN PLANET NAMES", "BEGIN", "PLANETNAMES", "", ""},
      {"NATIVE( 3 ) = 1", "", "3)", "NATIVE(", "1"},  // a blank ends the first token even in brackets
      {"X = 100 ' the left edge", "", "", "X", "100"},
      {"' BEGIN SHIP", "", "", "", ""},
      {"NAME = Big Red Star", "", "", "NAME", "BigRedStar"},
      {"NAME = \"Big Red Star\"", "", "", "NAME", "Big Red Star"},
      {"NAME = \"It's here\" ' remark", "", "", "NAME", "It's here"},
      {"NAME = \"Big Red", "", "", "NAME", "Big Red"},  // unclosed quote
      {"NAME = \"  padded  \"", "", "", "NAME", "padded"},
      {"FOO \"=\" 5", "", "", "FOO", "5"},  // a quoted "=" ends the keyword after the first token...
      {"A\"=\"B", "A=B", "", "", ""},       // ...but not inside it
      {"X\t= 5", "", "", "X\t", "5"},       // a tab is an ordinary character
      {"BEGIN\tSHIP", "BEGIN\tSHIP", "", "", ""},
      {"X = 1\nY = 2\n", "", "", "X", "1Y=2"},  // line feeds are dropped: lines run together
      {"BEGIN SHIP\nEND\n", "BEGIN", "SHIPEND", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const ScriptStatement st = CutScriptLine(c.line);
    EXPECT_EQ(st.word, c.word);
    EXPECT_EQ(st.argument, c.argument);
    EXPECT_EQ(st.keyword, c.keyword);
    EXPECT_EQ(st.value, c.value);
  }
}

}  // namespace
}  // namespace tarvik
