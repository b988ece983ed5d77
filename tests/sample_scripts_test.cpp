// The bundled scripts: the tutorial shows every block kind and builds without a script
// error, and make-big-script refuses a count it cannot honour. What the two scripts build
// is pinned byte for byte by the recorded runs; what the tutorial holds is checked here, so
// that a recording made after the tutorial changed cannot lose a kind unnoticed.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <set>

#include "app/top.h"
#include "script_game.h"

#ifndef TARVIK_MAKE_BIG_SCRIPT
#error "the build must define TARVIK_MAKE_BIG_SCRIPT and TARVIK_SAMPLE_SCRIPTS"
#endif

namespace tarvik {
namespace {

TEST(SampleScripts, TutorialBuildsEveryObjectKindWithoutAScriptError) {
  test::TestSession ts;
  forge::WriteSampleGame(ts.dir.path());
  const std::string out = ts.dir.path() + "out.yig";
  const std::vector<uint8_t> tutorial = ReadWholeFile(std::string(TARVIK_SAMPLE_SCRIPTS) + "/tutorial.vps");
  ts.s().commandLine = ts.dir.Write("scripts/tutorial.vps", tutorial) + " " + out + " /OX";
  ASSERT_EQ(RunProgram(ts.s()), 0);
  const std::string log = ts.dir.Read("tarvik.log");
  EXPECT_EQ(log.find("Error: Script: "), std::string::npos) << log;
  EXPECT_TRUE(ts.ui.messages.empty()) << ts.ui.messages.front().text;
  std::set<std::string_view> kinds, all;
  for (const test::StoredObject& o : test::ReadObjects(out)) kinds.insert(KindOfCode(o.kind)->blockWord);
  for (const ObjectKindDescriptor& kind : ObjectKinds()) all.insert(kind.blockWord);
  EXPECT_EQ(kinds, all);
}

TEST(SampleScripts, BigScriptRefusesACountOutsideItsRangeAndWritesNothing) {
  test::TempDir scripts;
  const std::string path = scripts.path() + "bad.vps";
  for (const char* count : {"0", "20001", "12x"}) {
    const std::string cmd = std::string("'") + TARVIK_MAKE_BIG_SCRIPT + "' '" + path + "' " + count + " >/dev/null 2>&1";
    const int raw = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2) << count;
    EXPECT_FALSE(FileExists(path)) << count;
  }
}

}  // namespace
}  // namespace tarvik
