// The tools on large inputs: the inspector, the map picture and the fairness report on
// the universe files of the large generated script (make-big-script, 19000 objects) and
// of one a tenth of its size, and the script checker on those two scripts. Each is
// reported per object, so the two sizes show whether a tool scales linearly.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/tool_commands.h"
#include "app/top.h"
#include "forge/forge.h"
#include "survey/fairness.h"
#include "survey/file_dump.h"
#include "survey/map_picture.h"
#include "survey/script_check.h"
#include "survey/universe_view.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"

#ifndef TARVIK_MAKE_BIG_SCRIPT
#error "the build must define TARVIK_MAKE_BIG_SCRIPT, the path of make-big-script"
#endif

namespace {

using namespace tarvik;

struct SilentUi : UserInterface {
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// The sample game with the two scripts and the universe file each makes.
struct BenchGame {
  std::string root;
  tarvik::Clock clock;
  SilentUi ui;
  BenchGame() {
    root = (std::filesystem::temp_directory_path() / ("tarvik-tools-bench-" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::remove_all(root);
    forge::WriteSampleGame(root);
    for (int objects : {1900, 19000}) {
      const std::string cmd = std::string(TARVIK_MAKE_BIG_SCRIPT) + " " + Script(objects) + " " +
                              std::to_string(objects) + " > /dev/null";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "tools_bench: %s failed\n", cmd.c_str());
      auto session = std::make_unique<Session>();
      session->clock = &clock;
      session->ui = &ui;
      session->paths.appPath = root;
      session->commandLine = Script(objects) + " " + Universe(objects) + " /OX";
      if (RunProgram(*session) != 0) std::fprintf(stderr, "tools_bench: the build of %d objects failed\n", objects);
    }
  }
  ~BenchGame() { std::filesystem::remove_all(root); }
  std::string Script(int objects) const { return root + "scripts/bench" + std::to_string(objects) + ".vps"; }
  std::string Universe(int objects) const { return root + "UNIV/GAME1/bench" + std::to_string(objects) + ".yig"; }
};

BenchGame& Game() {
  static BenchGame game;
  return game;
}

// The time per object, shown with its unit (us, ns).
benchmark::Counter TimePerObject(int objects) {
  return benchmark::Counter(static_cast<double>(objects),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Inspect(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  const std::vector<uint8_t> bytes = ReadWholeFile(Game().Universe(objects));
  size_t json = 0;
  for (auto _ : state) json = InspectFile(bytes, "bench.yig", "bench.yig").json.size();
  state.counters["objects"] = objects;
  state.counters["json_MB"] = static_cast<double>(json) / 1e6;
  state.counters["per_object"] = TimePerObject(objects);
}

void Picture(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  const std::vector<uint8_t> bytes = ReadWholeFile(Game().Universe(objects));
  for (auto _ : state) benchmark::DoNotOptimize(UniverseSvg(ReadUniverseView(bytes)));
  state.counters["objects"] = objects;
  state.counters["per_object"] = TimePerObject(objects);
}

void Fairness(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  const std::vector<uint8_t> bytes = ReadWholeFile(Game().Universe(objects));
  for (auto _ : state) {
    const UniverseView view = ReadUniverseView(bytes);
    benchmark::DoNotOptimize(FairnessText(RateStartPositions(Players(view), Planets(view))));
  }
  state.counters["objects"] = objects;
  state.counters["per_object"] = TimePerObject(objects);
}

void Check(benchmark::State& state) {
  BenchGame& game = Game();
  const int objects = static_cast<int>(state.range(0));
  const std::vector<uint8_t> bytes = ReadWholeFile(game.Script(objects));
  size_t warnings = 0;
  for (auto _ : state) {
    auto session = std::make_unique<ScriptSession>();
    session->clock = &game.clock;
    session->ui = &game.ui;
    StartWithoutChanges(*session, game.root);
    warnings = CheckScript(*session, bytes).size();
  }
  state.counters["objects"] = objects;
  state.counters["warnings"] = static_cast<double>(warnings);
  state.counters["per_object"] = TimePerObject(objects);
}

BENCHMARK(Inspect)->Arg(1900)->Arg(19000)->Unit(benchmark::kMillisecond);
BENCHMARK(Picture)->Arg(1900)->Arg(19000)->Unit(benchmark::kMillisecond);
BENCHMARK(Fairness)->Arg(1900)->Arg(19000)->Unit(benchmark::kMillisecond);
BENCHMARK(Check)->Arg(1900)->Arg(19000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
