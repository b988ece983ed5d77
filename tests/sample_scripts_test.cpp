// The bundled scripts, run for real: the tutorial and the large benchmark script built
// through the batch road on the forge's sample game.
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

struct SampleGame {
  test::TestSession ts;
  std::string out = ts.dir.path() + "out.yig";
  SampleGame() { forge::WriteSampleGame(ts.dir.path()); }

  int Build(const std::string& script) {
    ts.s().commandLine = script + " " + out + " /OX";
    return RunProgram(ts.s());
  }
  std::string Log() const { return ts.dir.Read("tarvik.log"); }
};

// Runs make-big-script; returns its exit status and the script it wrote.
int MakeBigScript(const std::string& path, const std::string& count, std::string& text) {
  const std::string cmd = std::string("'") + TARVIK_MAKE_BIG_SCRIPT + "' '" + path + "' " + count + " >/dev/null 2>&1";
  const int raw = std::system(cmd.c_str());
  const std::vector<uint8_t> bytes = FileExists(path) ? ReadWholeFile(path) : std::vector<uint8_t>{};
  text.assign(bytes.begin(), bytes.end());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(SampleScripts, TutorialBuildsEveryObjectKindWithoutAScriptError) {
  SampleGame g;
  const std::vector<uint8_t> tutorial = ReadWholeFile(std::string(TARVIK_SAMPLE_SCRIPTS) + "/tutorial.vps");
  ASSERT_EQ(g.Build(g.ts.dir.Write("scripts/tutorial.vps", tutorial)), 0);
  const std::string log = g.Log();
  EXPECT_EQ(log.find("Error: Script: "), std::string::npos) << log;
  EXPECT_NE(log.find("Adding Planets from "), std::string::npos);  // its MAP block
  EXPECT_TRUE(g.ts.ui.messages.empty()) << g.ts.ui.messages.front().text;
  std::set<std::string_view> kinds, all;
  for (const test::StoredObject& o : test::ReadObjects(g.out)) kinds.insert(KindOfCode(o.kind)->blockWord);
  for (const ObjectKindDescriptor& kind : ObjectKinds()) all.insert(kind.blockWord);
  EXPECT_EQ(kinds, all);
}

TEST(SampleScripts, BigScriptIsRepeatableAndBuildsTheObjectsAskedFor) {
  test::TempDir scripts;
  const std::string& dir = scripts.path();
  std::string a, b, tenth, bad;
  ASSERT_EQ(MakeBigScript(dir + "a.vps", "1900", a), 0);
  ASSERT_EQ(MakeBigScript(dir + "b.vps", "1900", b), 0);
  EXPECT_TRUE(a == b) << "two runs wrote different scripts";
  ASSERT_EQ(MakeBigScript(dir + "tenth.vps", "190", tenth), 0);
  EXPECT_NE(a, tenth);
  for (const char* count : {"0", "20001", "12x"}) {
    EXPECT_EQ(MakeBigScript(dir + "bad.vps", count, bad), 2) << count;
    EXPECT_EQ(bad, "") << count;
  }

  // The full-size script's build is a recorded run; the tenth builds here.
  SampleGame g;
  ASSERT_EQ(g.Build(dir + "tenth.vps"), 0);
  EXPECT_EQ(g.Log().find("Error: Script: "), std::string::npos);
  EXPECT_TRUE(g.ts.ui.messages.empty());
  EXPECT_EQ(test::ReadObjects(g.out).size(), 190u);
}

}  // namespace
}  // namespace tarvik
