// The run log: its file, the output window's last twenty lines, CLEAR and LOAD, the
// run timer and Done.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "test_support.h"

namespace tarvik {
namespace {

class RunLogTest : public ::testing::Test {
 protected:
  test::TestSession t;
  Session& s = t.s();
  std::string LogFile() { return t.dir.Read("tarvik.log"); }
};

TEST_F(RunLogTest, LinesAreAppendedWithCarriageReturnLineFeed) {
  LogLine(s, "first");
  EXPECT_TRUE(t.output.newLines.empty());  // the window is updated only while shown
  LogLine(s, "second");
  LogLine(s, "");  // closing the file writes what it has not yet received
  EXPECT_EQ(LogFile(), "first\r\nsecond\r\n");
  // Content of an earlier run is kept until a CLEAR.
  ShowOutputWindow(s);
  LogLine(s, "third");
  FlushRunLog(s);
  EXPECT_EQ(LogFile(), "first\r\nsecond\r\nthird\r\n");
  EXPECT_EQ(t.output.newLines, (std::vector<std::string>{"third\r\n"}));
}

// Lines of every length, many times round the window, and a CLEAR (in any case) in the
// middle: it is shown as an ordinary line, then empties the file and the window. The
// window is always the last twenty lines in order, as the view was shown them. LOAD
// then puts the whole file (every line since the CLEAR) into the window and appends
// nothing.
TEST_F(RunLogTest, TheWindowFollowsTheLastTwentyLinesRoundAfterRound) {
  ShowOutputWindow(s);
  std::vector<std::string> logged;
  for (int i = 1; i <= 130; ++i) {
    const std::string line = i == 57 ? "cLeAr" : std::string(static_cast<size_t>(i % 23), 'a' + i % 26) + std::to_string(i);
    LogLine(s, line);
    logged.push_back(line + "\r\n");
    if (i == 57) {
      ASSERT_EQ(t.output.newLines.back(), "cLeAr\r\n");
      ASSERT_EQ(LogFile(), "");
      logged.clear();
    }
    const size_t shown = std::min<size_t>(logged.size(), LOG_WINDOW_LINES);
    ASSERT_EQ(s.log.lineCount, static_cast<int>(shown)) << i;
    std::string window;
    for (size_t k = 0; k < shown; ++k) {
      const std::string& expected = logged[logged.size() - shown + k];
      ASSERT_EQ(LogWindowLine(s.log, static_cast<int>(k) + 1), expected) << i << " " << k;
      window += expected;
    }
    ASSERT_EQ(LogWindowText(s.log), window) << i;
    ASSERT_EQ(t.output.text, window) << i;
  }
  std::string all;
  for (const std::string& line : logged) all += line;
  LogLine(s, "Load");
  EXPECT_EQ(t.output.text, all);
  EXPECT_EQ(LogFile(), all);
}

// Lines longer than the log's buffer, and more lines than it holds, reach the file whole
// and in order.
TEST_F(RunLogTest, LongLinesAndManyLinesReachTheFileInOrder) {
  ShowOutputWindow(s);
  StartRunTimer(s);
  std::string expected;
  const std::string longLine(LogBuffer::CAPACITY + 17, 'L');
  for (int i = 0; i < 3 * static_cast<int>(LogBuffer::CAPACITY) / 20; ++i) {
    const std::string line = i % 1000 == 7 ? longLine : "Ship Object ID# " + NumText(i);
    LogLine(s, line);
    expected += line + "\r\n";
  }
  EXPECT_EQ(t.output.newLines.size(), 3 * LogBuffer::CAPACITY / 20);
  StopRunTimer(s);
  expected += "Total Run Time:  0 Sec\r\n";
  EXPECT_TRUE(LogFile() == expected);
}

TEST_F(RunLogTest, RunTimeRoundsToWholeSecondsAndIsCorrectedAcrossMidnight) {
  t.clock.seconds = 100.4;
  StartRunTimer(s);
  EXPECT_EQ(t.output.timeLabels.front(), "0");
  t.clock.seconds = 112.6;  // 113 - 100
  StopRunTimer(s);
  EXPECT_EQ(LogFile(), "Total Run Time:  13 Sec\r\n");

  t.clock.seconds = 23 * 3600 + 59 * 60 + 50;  // 23:59:50
  StartRunTimer(s);
  t.clock.seconds = 10;  // 00:00:10
  RunTimerTick(s);
  EXPECT_EQ(t.output.timeLabels.back(), " 20");
  StopRunTimer(s);
  EXPECT_EQ(LogFile(), "Total Run Time:  13 Sec\r\nTotal Run Time:  20 Sec\r\n");
  EXPECT_EQ(t.output.timeLabels.back(), "Finished");
  EXPECT_TRUE(s.log.runFinished);
}

TEST_F(RunLogTest, DoneEndsTheProgramOnlyAfterTheRun) {
  ShowOutputWindow(s);
  ClickDone(s);  // still running: the window goes, the program stays
  EXPECT_FALSE(s.log.outputShown);
  EXPECT_TRUE(s.log.doneClicked);
  StopRunTimer(s);
  try {
    ClickDone(s);
    FAIL() << "Done after the run must end the program";
  } catch (const ProgramEnd& end) {
    EXPECT_EQ(end.status, 0);
  }
}

}  // namespace
}  // namespace tarvik
