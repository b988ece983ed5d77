// The make-big-script tool refuses a count it cannot honour. What the bundled scripts
// build (the tutorial and the big script) is pinned byte for byte by the recorded runs.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "test_support.h"

#ifndef TARVIK_MAKE_BIG_SCRIPT
#error "the build must define TARVIK_MAKE_BIG_SCRIPT"
#endif

namespace tarvik {
namespace {

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
