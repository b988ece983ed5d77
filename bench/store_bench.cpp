// Object store throughput: objects of every kind stored into a fresh universe file,
// timed against writing the same number of bytes to a file in one piece.
//
// BM_StoreMixedObjects/N reports per run:
//   ratio_to_one_piece  time of open + N stores + close, divided by the time of one
//                       write of as many bytes as the store wrote (records, index
//                       entries, tables, counters), both measured in this run;
//   us_per_object       the store time per object;
//   run_log_share       the part of the store time that the run-log lines alone take
//                       (one line per stored object but planets), measured apart;
// and, for N = 19000, scaling_19000_vs_1900: the time for 19000 objects divided by
// the time for 1900 measured in the same iteration (10 means linear).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/session.h"
#include "forge/forge.h"
#include "objects/object_kinds.h"
#include "objects/object_store.h"
#include "packs/race_modules.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "writer/universe_file.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct QuietUi : UserInterface {
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

// A folder for the run, removed at the end.
struct BenchFolder {
  BenchFolder() {
    path = (fs::temp_directory_path() / ("tarvik-bench-" + std::to_string(::getpid()))).string() + "/";
    fs::create_directories(path);
  }
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string path;
};

// A session in `folder` with a fixed clock and a user interface that says nothing.
struct BenchSession {
  explicit BenchSession(const std::string& folder) : session(std::make_unique<Session>()) {
    session->clock = &clock;
    session->ui = &ui;
    SetAppPath(session->paths, folder);
  }
  FixedClock clock;
  QuietUi ui;
  std::unique_ptr<Session> session;
};

// A fresh universe file made by the writer, for two players of one forged race.
std::vector<uint8_t> FreshUniverse(const std::string& folder) {
  forge::GameFolderRecipe game;
  forge::RaceModuleRecipe race;
  race.raceId = 7;
  race.requiredHulls = {15};
  game.races = {{"bench.rce", race}};
  forge::ShipPackRecipe pack;
  pack.hulls = {forge::HullRecipe{.hullType = 15}};
  game.shipPacks = {{"bench.spk", pack}};
  game.dataFiles = {{"bench.dat", forge::DataFileRecipe{}}};
  forge::WriteGameFolder(folder, game);

  BenchSession bench(folder);
  Session& s = *bench.session;
  ListRaceModules(s);
  s.tables.playerRace[1] = s.tables.playerRace[2] = 1;
  s.tables.playerActive[1] = s.tables.playerActive[2] = 1;
  s.tables.mapRadius = 1000;
  s.tables.mapCX = s.tables.mapCY = 2000;
  s.tables.dataFilePath = s.paths.dataDir + "bench.dat";
  s.tables.universeFilePath = folder + "fresh.yig";
  WriteUniverseFile(s);
  LogLine(s, "");
  return ReadWholeFile(s.tables.universeFilePath);
}

struct StoreRun {
  double seconds = 0;
  long long bytesWritten = 0;
};

// Stores n objects, cycling through the kinds, into a fresh copy of the universe.
StoreRun RunStore(const std::string& folder, const std::vector<uint8_t>& fresh, int n) {
  BenchSession bench(folder);
  Session& s = *bench.session;
  s.random.SetFixedSeed(1);
  s.random.Seed(0);
  s.records.ship.Set("hull", 15);
  s.records.minefield.Set("flavor", 1);
  s.records.minefield.Set("radius", 100);

  const std::string path = folder + "g1.yig";
  WriteWholeFile(path, fresh);
  LogLine(s, "CLEAR");

  const auto t0 = Clock::now();
  OpenObjectStore(s, path);
  const int32_t dataEndBefore = s.tables.counters.dataEnd;
  for (int i = 0; i < n; ++i) {
    const ObjectKindDescriptor& k = ObjectKinds()[i % ObjectKinds().size()];
    Record& r = s.records.*k.record;
    if (r.layout().Find("pNum")) r.Set("pNum", 1 + i % 12);
    r.Set("x", (i * 37) % 30000);
    r.Set("y", (i * 91) % 30000);
    k.store(s);
  }
  const int32_t dataEndAfter = s.tables.counters.dataEnd;
  CloseObjectStore(s);
  const auto t1 = Clock::now();

  StoreRun run;
  run.seconds = std::chrono::duration<double>(t1 - t0).count();
  run.bytesWritten = (dataEndAfter - dataEndBefore) + 12LL * n + 200000 + 5 * 4;
  LogLine(s, "");  // closes the run log
  return run;
}

// The run log's part: n lines like the ones the stores log, on their own.
double LogLinesOnly(const std::string& folder, int n) {
  BenchSession bench(folder);
  Session& s = *bench.session;
  LogLine(s, "CLEAR");
  const auto t0 = Clock::now();
  for (int i = 0; i < n; ++i) LogLine(s, "Ship Object ID# " + std::to_string(i));
  const auto t1 = Clock::now();
  LogLine(s, "");
  return std::chrono::duration<double>(t1 - t0).count();
}

double WriteInOnePiece(const std::string& folder, long long bytes) {
  const std::vector<uint8_t> data(static_cast<size_t>(bytes), 0x5A);
  const std::string path = folder + "piece.bin";
  const auto t0 = Clock::now();
  BinaryFile f(path, BinaryFile::Mode::Create);
  f.Write(1, data);
  f.Close();
  const auto t1 = Clock::now();
  return std::chrono::duration<double>(t1 - t0).count();
}

void BM_StoreMixedObjects(benchmark::State& state) {
  BenchFolder folder;
  const std::vector<uint8_t> fresh = FreshUniverse(folder.path);
  const int n = static_cast<int>(state.range(0));
  double storeTotal = 0, pieceTotal = 0, smallTotal = 0, logTotal = 0;
  long long bytes = 0;
  for (auto _ : state) {
    const StoreRun run = RunStore(folder.path, fresh, n);
    const double piece = WriteInOnePiece(folder.path, run.bytesWritten);
    logTotal += LogLinesOnly(folder.path, n - n / static_cast<int>(ObjectKinds().size()));
    if (n == 19000) smallTotal += RunStore(folder.path, fresh, 1900).seconds;
    storeTotal += run.seconds;
    pieceTotal += piece;
    bytes = run.bytesWritten;
    state.SetIterationTime(run.seconds);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["ratio_to_one_piece"] = storeTotal / pieceTotal;
  state.counters["us_per_object"] = 1e6 * storeTotal / (static_cast<double>(state.iterations()) * n);
  state.counters["run_log_share"] = logTotal / storeTotal;
  if (n == 19000) state.counters["scaling_19000_vs_1900"] = storeTotal / smallTotal;
}
BENCHMARK(BM_StoreMixedObjects)->Arg(1900)->Arg(19000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarvik

BENCHMARK_MAIN();
