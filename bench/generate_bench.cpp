// Headless standard generation (start-up and the generation run, as `tarvik --generate`
// runs them) on the epsilon map with 30 players, standard ships and extra freighters,
// as a ratio to copying the universe file it made, measured in the same run: the copy
// with the system's in-kernel file copy (std::filesystem::copy_file), the page cache
// warm, the program's standard output to /dev/null, best of 3 for both.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "app/generate_command.h"
#include "app/session.h"
#include "app/top.h"
#include "forge/forge.h"
#include "forge/universe_reader.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "universe/slot_records.h"

namespace {

using namespace tarvik;
using Steady = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct SilentUi : UserInterface {
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// The sample game's 21 races, then nine of them again: 30 players.
const char* const THIRTY_RACES =
    "101,102,103,104,105,106,107,108,109,110,111,802,803,804,805,806,807,808,809,810,811,"
    "101,102,103,104,105,106,107,108,109";

double Seconds(Steady::time_point a, Steady::time_point b) { return std::chrono::duration<double>(b - a).count(); }

void Generate(benchmark::State& state) {
  const std::string root = (fs::temp_directory_path() / ("tarvik-gen-bench-" + std::to_string(::getpid()))).string() + "/";
  fs::remove_all(root);
  forge::WriteSampleGame(root);
  GenerateSettings settings;
  std::string error;
  if (!ParseGenerateSettings("1",
                             {"--map", "epsilon", "--races", THIRTY_RACES, "--layout", "spaced", "--standard-ships", "1",
                              "--extra-freighters", "1", "--clear"},
                             settings, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const std::string universe = SlotUniversePath(root, 1);
  const fs::path copy = root + "copy.yig";
  std::ofstream devNull("/dev/null");
  Clock clock;
  SilentUi ui;
  double bestGenerate = std::numeric_limits<double>::max(), bestCopy = bestGenerate;
  int status = 0;
  for (auto _ : state) {
    auto session = std::make_unique<Session>();
    ConsoleOutputView output(devNull);
    Session& s = *session;
    s.clock = &clock;
    s.ui = &ui;
    s.output = &output;
    s.random.SetFixedSeed(42);
    s.paths.appPath = root;
    s.generate = settings;

    const auto t0 = Steady::now();
    status |= RunProgram(s);
    const auto t1 = Steady::now();
    fs::copy_file(ResolvePath(universe), copy, fs::copy_options::overwrite_existing);
    const auto t2 = Steady::now();

    bestGenerate = std::min(bestGenerate, Seconds(t0, t1));
    bestCopy = std::min(bestCopy, Seconds(t1, t2));
    state.SetIterationTime(Seconds(t0, t1));
  }
  if (status != 0) state.SkipWithError("the generation run failed");
  state.counters["objects"] = static_cast<double>(forge::ReadObjects(universe).size());
  state.counters["file_MB"] = static_cast<double>(FileLength(universe)) / 1e6;
  state.counters["generate_ms"] = bestGenerate * 1e3;
  state.counters["copy_ms"] = bestCopy * 1e3;
  state.counters["generate_to_copy"] = bestGenerate / bestCopy;
  fs::remove_all(root);
}

BENCHMARK(Generate)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
