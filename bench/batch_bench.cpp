// The whole batch run (start-up, both script passes, the universe file) on the large
// generated script (make-big-script, 19000 objects) and on one a tenth of its size, each as a ratio to
// copying the universe file it produced, measured in the same run. The time per
// object of the two sizes shows whether the run scales linearly.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/session.h"
#include "app/startup.h"
#include "app/top.h"
#include "forge/forge.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"

#ifndef TARVIK_MAKE_BIG_SCRIPT
#error "the build must define TARVIK_MAKE_BIG_SCRIPT, the path of make-big-script"
#endif

namespace {

using namespace tarvik;
using Clock = std::chrono::steady_clock;

struct SilentUi : UserInterface {
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

struct BenchGame {
  std::string root;
  BenchGame() {
    root = (std::filesystem::temp_directory_path() / ("tarvik-bench-" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::remove_all(root);
    forge::WriteSampleGame(root);
    for (int objects : {1900, 19000}) {
      const std::string cmd = std::string(TARVIK_MAKE_BIG_SCRIPT) + " " + Script(objects) + " " +
                              std::to_string(objects) + " > /dev/null";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "batch_bench: %s failed\n", cmd.c_str());
    }
  }
  ~BenchGame() { std::filesystem::remove_all(root); }
  std::string Script(int objects) const { return root + "scripts/bench" + std::to_string(objects) + ".vps"; }
};

BenchGame& Game() {
  static BenchGame game;
  return game;
}

void BatchRun(benchmark::State& state) {
  BenchGame& game = Game();
  const int objects = static_cast<int>(state.range(0));
  const std::string out = game.root + "UNIV/GAME1/bench.yig";
  const std::string copy = game.root + "copy.yig";
  tarvik::Clock clock;
  SilentUi ui;
  double batchSeconds = 0, copySeconds = 0;
  int status = 0;
  for (auto _ : state) {
    auto session = std::make_unique<Session>();
    Session& s = *session;
    s.clock = &clock;
    s.ui = &ui;
    s.random.SetFixedSeed(42);
    s.paths.appPath = game.root;
    s.commandLine = game.Script(objects) + " " + out + " /OX";

    const auto t0 = Clock::now();
    status |= RunProgram(s);
    const auto t1 = Clock::now();
    CopyFileTo(out, copy);
    const auto t2 = Clock::now();

    const double batch = std::chrono::duration<double>(t1 - t0).count();
    batchSeconds += batch;
    copySeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(batch);
  }
  if (status != 0) state.SkipWithError("the batch run failed");
  const double n = static_cast<double>(state.iterations());
  state.counters["objects"] = objects;
  state.counters["file_MB"] = static_cast<double>(FileLength(out)) / 1e6;
  state.counters["copy_ms"] = copySeconds / n * 1e3;
  state.counters["batch_to_copy"] = batchSeconds / copySeconds;
  state.counters["us_per_object"] = batchSeconds / n / objects * 1e6;
}

BENCHMARK(BatchRun)->Arg(1900)->Arg(19000)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
