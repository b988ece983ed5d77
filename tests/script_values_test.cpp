// The script's value readers and the cutting of one line into its statement.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "app/startup.h"
#include "script/script_line.h"
#include "script/values.h"
#include "session.h"

namespace tarvik {
namespace {

struct ValueFixture : ::testing::Test {
  std::unique_ptr<Session> session = std::make_unique<Session>();
  Session& s = *session;
  ValueFixture() {
    s.random.SetFixedSeed(99);
    s.random.Seed(0);
    BuildBitValues(s);
  }
};

using GetValueTest = ValueFixture;

TEST_F(GetValueTest, PlainNumbersKeepOnlyDigitsAndMinusSigns) {
  EXPECT_EQ(GetValue(s, "1,500", 0, 1000000), 1500);
  EXPECT_EQ(GetValue(s, "1.5", 0, 1000000), 15);
  EXPECT_EQ(GetValue(s, "+7", 0, 1000000), 7);
  EXPECT_EQ(GetValue(s, "X = 12 units", 0, 1000000), 12);
  // The digits are joined first, then the leading number is read.
  EXPECT_EQ(GetValue(s, "12-5", 0, 1000000), 12);
  EXPECT_EQ(GetValue(s, "1 2 3", 0, 1000000), 123);
  EXPECT_EQ(GetValue(s, "-25", -100, 100), -25);
}

TEST_F(GetValueTest, MalformedTextGivesZeroOrABound) {
  EXPECT_EQ(GetValue(s, "abc", 1, 99000), 1);  // 0, clamped up to the lower bound
  EXPECT_EQ(GetValue(s, "", 1, 99000), 0);     // empty: 0 without clamping
  EXPECT_EQ(GetValue(s, "-50", 0, 100), 0);
  EXPECT_EQ(GetValue(s, "500", 0, 100), 100);
  EXPECT_EQ(GetValue(s, "--5", 3, 10), 3);
  EXPECT_EQ(GetValue(s, "-", 3, 10), 3);
}

TEST_F(GetValueTest, NumbersBeyondABillionOrTenCharactersReadAsZero) {
  EXPECT_EQ(GetValue(s, "5000000000", -2000000000, 2000000000), 0);
  EXPECT_EQ(GetValue(s, "12345678901", -2000000000, 2000000000), 0);
  EXPECT_EQ(GetValue(s, "1000000000", 0, 2000000000), 1000000000);
  EXPECT_EQ(GetValue(s, "1000000001", 0, 2000000000), 0);
  EXPECT_EQ(GetValue(s, "-999999999", -2000000000, 0), -999999999);
  EXPECT_EQ(GetValue(s, "-1000000000", -2000000000, 0), 0);
  // That 0 is returned as it is, whatever the bounds.
  EXPECT_EQ(GetValue(s, "5000000000", 1, 99000), 0);
  EXPECT_EQ(GetValue(s, "12345678901", 1, 99000), 0);
}

using DiceTest = ValueFixture;

// Draws the value n times and counts each result.
std::map<int, int> Histogram(Session& s, const std::string& text, int min, int max, int n) {
  std::map<int, int> h;
  for (int i = 0; i < n; ++i) ++h[GetValue(s, text, min, max)];
  return h;
}

TEST_F(DiceTest, EndValuesAreHalfAsLikelyAsTheInnerOnes) {
  const int n = 60000;
  std::map<int, int> h = Histogram(s, "DICE(1,6)", 0, 100, n);
  ASSERT_EQ(h.begin()->first, 1);
  ASSERT_EQ(h.rbegin()->first, 6);
  ASSERT_EQ(h.size(), 6u);
  // Standard error of a share near 0.1 with 60000 draws is about 0.0012.
  EXPECT_NEAR(h[1] / double(n), 0.1, 0.01);
  EXPECT_NEAR(h[6] / double(n), 0.1, 0.01);
  for (int v = 2; v <= 5; ++v) EXPECT_NEAR(h[v] / double(n), 0.2, 0.01) << v;

  std::map<int, int> two = Histogram(s, "DICE(1,2)", 0, 100, n);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_NEAR(two[1] / double(n), 0.5, 0.01);
}

TEST_F(DiceTest, BoundsAreSwappedClampedAndReadLeniently) {
  for (int i = 0; i < 200; ++i) EXPECT_EQ(GetValue(s, "DICE(5,5)", 0, 100), 5);
  // Same generator state, same draw: DICE(6,1) is DICE(1,6), and so is the
  // unclosed DICE(1,6 and the lower-case form.
  for (const char* same : {"DICE(6,1)", "DICE(1,6", "dice(1,6)", "DICE(1,6)9"}) {
    auto a = std::make_unique<Session>();
    auto b = std::make_unique<Session>();
    for (Session* x : {a.get(), b.get()}) {
      x->random.SetFixedSeed(5);
      x->random.Seed(0);
    }
    for (int i = 0; i < 50; ++i) ASSERT_EQ(GetValue(*a, same, 0, 100), GetValue(*b, "DICE(1,6)", 0, 100)) << same;
  }
  std::map<int, int> clamped = Histogram(s, "DICE(0,500)", 1, 100, 20000);
  EXPECT_EQ(clamped.begin()->first, 1);
  EXPECT_EQ(clamped.rbegin()->first, 100);
  // DICE(7): the missing second number is 0 and is not clamped.
  std::map<int, int> one = Histogram(s, "DICE(7)", 1, 100, 5000);
  EXPECT_EQ(one.begin()->first, 0);
  EXPECT_EQ(one.rbegin()->first, 7);
  // Digits before "DICE(" join the first number: 2 and 1 make 21.
  std::map<int, int> prefixed = Histogram(s, "2DICE(1,6)", 0, 100, 20000);
  EXPECT_EQ(prefixed.begin()->first, 6);
  EXPECT_EQ(prefixed.rbegin()->first, 21);
  // An eleven-character bound counts as 0.
  std::map<int, int> wide = Histogram(s, "DICE(10000000000,3)", 0, 100, 2000);
  EXPECT_EQ(wide.begin()->first, 0);
  EXPECT_EQ(wide.rbegin()->first, 3);
}

TEST(GetIndex, ReadsDigitsUpToTheFirstStopCharacter) {
  EXPECT_EQ(GetIndex("(5)", 0, 30), 5);
  EXPECT_EQ(GetIndex("5", 0, 30), 5);
  EXPECT_EQ(GetIndex("(40)", 0, 30), 30);
  EXPECT_EQ(GetIndex("(1,2)", 0, 30), 1);
  EXPECT_EQ(GetIndex("(3)7", 0, 30), 3);
  EXPECT_EQ(GetIndex("", 5, 30), 0);
  EXPECT_EQ(GetIndex("(x)", 5, 30), 5);
  EXPECT_EQ(GetIndex("(12345678901)", 0, 30), 0);
}

using FlagTest = ValueFixture;

TEST_F(FlagTest, SetFlagBitChangesOneBitOnly) {
  int32_t w = 0x0F0F;
  w = SetFlagBit(s, w, 6, 1);
  EXPECT_EQ(w, 0x0F4F);
  w = SetFlagBit(s, w, 0, 0);
  EXPECT_EQ(w, 0x0F4E);
  w = SetFlagBit(s, w, 30, 1);
  EXPECT_EQ(w, 0x40000F4E);
  EXPECT_EQ(SetFlagBit(s, w, 31, 1), w);  // outside 0..30: unchanged
}

TEST(ValueTexts, CodesAndStrictNumbers) {
  EXPECT_EQ(CodeText("x"), "xAA");
  EXPECT_EQ(CodeText(""), "AAA");
  EXPECT_EQ(CodeText("abcd"), "abc");

  EXPECT_EQ(StrictNumber("12"), 12);
  EXPECT_EQ(StrictNumber("  -3 "), -3);
  EXPECT_EQ(StrictNumber("2.5"), 2);
  EXPECT_EQ(StrictNumber("3.5"), 4);
  EXPECT_EQ(StrictNumber("1e3"), 1000);
  EXPECT_EQ(StrictNumber("+.5"), 0);
  EXPECT_EQ(StrictNumber("2147483647"), 2147483647);
  EXPECT_EQ(StrictNumber("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "abc", "12abc", "1,5", "0x10", "2147483648", "1e", "inf", "nan", "-", "."}) {
    EXPECT_FALSE(StrictNumber(bad).has_value()) << bad;
  }
}

TEST(ScriptLine, SectionAndPropertyStatements) {
  ScriptStatement a = CutScriptLine("  BEGIN   SHIP  ");
  EXPECT_EQ(a.word, "BEGIN");
  EXPECT_EQ(a.argument, "SHIP");
  EXPECT_EQ(a.keyword, "");

  ScriptStatement b = CutScriptLine("x=1500");
  EXPECT_EQ(b.word, "");
  EXPECT_EQ(b.keyword, "x");
  EXPECT_EQ(b.value, "1500");

  // An argument before "=" is lost; an "=" inside the value stays.
  ScriptStatement c = CutScriptLine("NATIVE 3 = 500");
  EXPECT_EQ(c.keyword, "NATIVE");
  EXPECT_EQ(c.value, "500");
  EXPECT_EQ(c.word, "");
  EXPECT_EQ(CutScriptLine("A = b = c").value, "b=c");

  // Blanks in an argument are dropped.
  EXPECT_EQ(CutScriptLine("BEGIN PLANET NAMES").argument, "PLANETNAMES");
  // A blank ends the first token even inside brackets: the rest before "=" is the
  // argument, which a property statement loses.
  EXPECT_EQ(CutScriptLine("NATIVE( 3 ) = 1").keyword, "NATIVE(");
  EXPECT_EQ(CutScriptLine("NATIVE(3) = 1").keyword, "NATIVE(3)");
}

TEST(ScriptLine, CommentsQuotesAndTabs) {
  EXPECT_EQ(CutScriptLine("X = 100 ' the left edge").value, "100");
  ScriptStatement none = CutScriptLine("' BEGIN SHIP");
  EXPECT_TRUE(none.word.empty() && none.keyword.empty());

  EXPECT_EQ(CutScriptLine("NAME = Big Red Star").value, "BigRedStar");
  EXPECT_EQ(CutScriptLine("NAME = \"Big Red Star\"").value, "Big Red Star");
  EXPECT_EQ(CutScriptLine("NAME = \"It's here\" ' remark").value, "It's here");
  EXPECT_EQ(CutScriptLine("NAME = \"Big Red").value, "Big Red");  // unclosed quote
  EXPECT_EQ(CutScriptLine("NAME = \"  padded  \"").value, "padded");
  // A quoted "=" still ends the keyword after the first token...
  ScriptStatement q = CutScriptLine("FOO \"=\" 5");
  EXPECT_EQ(q.keyword, "FOO");
  EXPECT_EQ(q.value, "5");
  // ...but not inside the first token.
  ScriptStatement w = CutScriptLine("A\"=\"B");
  EXPECT_EQ(w.word, "A=B");
  EXPECT_EQ(w.keyword, "");

  // A tab is an ordinary character.
  EXPECT_EQ(CutScriptLine("X\t= 5").keyword, "X\t");
  EXPECT_EQ(CutScriptLine("BEGIN\tSHIP").word, "BEGIN\tSHIP");
}

TEST(ScriptLine, LineFeedsAreDroppedSoLinesRunTogether) {
  ScriptStatement st = CutScriptLine("X = 1\nY = 2\n");
  EXPECT_EQ(st.keyword, "X");
  EXPECT_EQ(st.value, "1Y=2");
  ScriptStatement sec = CutScriptLine("BEGIN SHIP\nEND\n");
  EXPECT_EQ(sec.word, "BEGIN");
  EXPECT_EQ(sec.argument, "SHIPEND");
}

}  // namespace
}  // namespace tarvik
