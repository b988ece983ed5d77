// How close the program runs to the floor: each run against copying the universe file
// it wrote, measured side by side in the same iteration.
//
//   Floor/batch1900    the batch run (start-up, both script passes, the universe file)
//   Floor/batch19000   of the generated scripts of make-big-script, 1900 and 19000 objects
//   Floor/generate     --generate on the epsilon map, 30 players, standard ships and
//                      extra freighters, into a slot cleared first (--clear)
//
// Each iteration runs the program in this process (a fresh session, its output view
// writing to /dev/null, a fixed seed) and then copies the file it made with each plain
// file copy the system has (copy_file_range, sendfile, read and write in 1 MiB pieces)
// into a new file, the page cache warm. The floor is the fastest of those copies.
// Reported, the best of 3 iterations (--benchmark_repetitions=N repeats the set):
//   run_ms, copy_ms, run_to_copy (the ratio of the two bests), file_MB, objects,
//   us_per_object; thread_cpu_ms, the best processor time of the run (its own work
//   and the system's work for it, not the time it waited for a processor: on a busy
//   machine it shows what the wall time would be with a processor to itself);
// and from one run of the real program as a child process (standard output to
// /dev/null): peak_MB, its peak resident memory, against peak_limit_MB = 3 times the
// universe file plus 5 MB; launcher_MB, the lowest peak the launcher can show (below);
// and process_ms, that run's wall time with the program's own start.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/generate_command.h"
#include "app/session.h"
#include "app/top.h"
#include "forge/forge.h"
#include "forge/universe_reader.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "universe/slot_records.h"

#ifndef TARVIK_MAKE_BIG_SCRIPT
#error "the build must define TARVIK_MAKE_BIG_SCRIPT, the path of make-big-script"
#endif
#ifndef TARVIK_BINARY
#error "the build must define TARVIK_BINARY, the path of tarvik"
#endif

namespace {

using namespace tarvik;
namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

double Seconds(Steady::time_point a, Steady::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// The processor time this thread has used, in seconds.
double ThreadSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct SilentUi : UserInterface {
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void Notice(const std::string&) override {}
};

// The sample game's 21 races, then nine of them again: 30 players.
const char* const THIRTY_RACES =
    "101,102,103,104,105,106,107,108,109,110,111,802,803,804,805,806,807,808,809,810,811,"
    "101,102,103,104,105,106,107,108,109";

const std::vector<std::string> GENERATE_WORDS = {"--map",           "epsilon", "--races",          THIRTY_RACES,
                                                 "--layout",        "spaced",  "--standard-ships", "1",
                                                 "--extra-freighters", "1",    "--clear"};

// The sample game with the two generated scripts, made once for the whole run.
struct BenchGame {
  std::string root;
  BenchGame() {
    root = (fs::temp_directory_path() / ("tarvik-floor-" + std::to_string(::getpid()))).string() + "/";
    fs::remove_all(root);
    forge::WriteSampleGame(root);
    for (int objects : {1900, 19000}) {
      const std::string cmd = std::string(TARVIK_MAKE_BIG_SCRIPT) + " " + Script(objects) + " " +
                              std::to_string(objects) + " > /dev/null";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "floor_bench: %s failed\n", cmd.c_str());
    }
  }
  ~BenchGame() { fs::remove_all(root); }
  std::string Script(int objects) const { return root + "scripts/bench" + std::to_string(objects) + ".vps"; }
  std::string BatchOutput() const { return root + "UNIV/GAME1/bench.yig"; }
};

BenchGame& Game() {
  static BenchGame game;
  return game;
}

// ---- The plain file copies -----------------------------------------------------------

using CopyLoop = bool (*)(int in, int out, off_t length);

bool CopyByCopyFileRange(int in, int out, off_t length) {
  while (length > 0) {
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, static_cast<size_t>(length), 0);
    if (n <= 0) return false;
    length -= n;
  }
  return true;
}

bool CopyBySendfile(int in, int out, off_t length) {
  off_t offset = 0;
  while (offset < length) {
    const ssize_t n = ::sendfile(out, in, &offset, static_cast<size_t>(length - offset));
    if (n <= 0) return false;
  }
  return true;
}

bool CopyByReadWrite(int in, int out, off_t) {
  static std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0) return false;
    if (n == 0) return true;
    if (::write(out, buffer.data(), static_cast<size_t>(n)) != n) return false;
  }
}

struct CopyMethod {
  const char* name;
  CopyLoop loop;
};
const CopyMethod COPY_METHODS[] = {
    {"copy_file_range", CopyByCopyFileRange}, {"sendfile", CopyBySendfile}, {"read/write", CopyByReadWrite}};

// One copy into a new file (the old copy is removed first, untimed): open both, copy,
// close, as any plain copy does. Seconds, or a negative value when it failed.
double TimedCopy(const std::string& from, const std::string& to, const CopyMethod& method) {
  ::unlink(to.c_str());
  const auto t0 = Steady::now();
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  struct stat st {};
  bool ok = in >= 0 && out >= 0 && ::fstat(in, &st) == 0 && method.loop(in, out, st.st_size);
  if (in >= 0) ::close(in);
  if (out >= 0) ok = ::close(out) == 0 && ok;
  const auto t1 = Steady::now();
  return ok ? Seconds(t0, t1) : -1.0;
}

// ---- The real program as a child, for its peak memory ---------------------------------
//
// A process's peak resident memory counts the memory of the process it was forked from
// (Linux keeps the larger of the two across exec), and this benchmark grows to the size of
// the runs it made in itself. So the program is started by a fresh copy of this benchmark
// ("floor_bench --peak-of PROGRAM ARGS..."), small at that point, which forks and execs
// it, waits for it and prints its exit status, peak resident memory (KiB) and wall time
// (seconds); the launcher's own peak is printed too, as the lowest peak it can show.

struct ChildRun {
  int status = -1;
  double peakMB = 0;
  double launcherMB = 0;
  double seconds = 0;
};

// argv: the program and its arguments, ending with a null pointer.
int PeakOf(char** argv) {
  const auto t0 = Steady::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDOUT_FILENO);
    ::execv(argv[0], argv);
    ::_exit(127);
  }
  int status = 0;
  struct rusage child {}, self {};
  if (pid < 0 || ::wait4(pid, &status, 0, &child) != pid) return 1;
  const double seconds = Seconds(t0, Steady::now());
  ::getrusage(RUSAGE_SELF, &self);
  std::printf("%d %ld %ld %.6f\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, child.ru_maxrss, self.ru_maxrss,
              seconds);
  return 0;
}

std::string& SelfPath() {
  static std::string path;
  return path;
}

ChildRun RunChild(const std::vector<std::string>& args) {
  std::string cmd = "'" + SelfPath() + "' --peak-of '" TARVIK_BINARY "'";
  for (const std::string& a : args) cmd += " '" + a + "'";
  ChildRun run;
  std::FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return run;
  long peakKiB = 0, launcherKiB = 0;
  if (std::fscanf(pipe, "%d %ld %ld %lf", &run.status, &peakKiB, &launcherKiB, &run.seconds) != 4) run.status = -1;
  ::pclose(pipe);
  run.peakMB = static_cast<double>(peakKiB) * 1024.0 / 1e6;
  run.launcherMB = static_cast<double>(launcherKiB) * 1024.0 / 1e6;
  return run;
}

// ---- One case ------------------------------------------------------------------------

struct Case {
  // Prepares the session for the run (its command line or --generate settings).
  std::function<bool(Session&, std::string& error)> prepare;
  std::string universe;                  // the file the run writes
  std::vector<std::string> childArgs;    // the same run for the real program
};

void RunCase(benchmark::State& state, const Case& c) {
  BenchGame& game = Game();
  std::ofstream devNull("/dev/null");
  Clock clock;
  SilentUi ui;
  const std::string copy = game.root + "copy.yig";
  double bestRun = std::numeric_limits<double>::max(), bestCopy = bestRun, bestCpu = bestRun;
  const char* bestMethod = "";
  int status = 0;
  for (auto _ : state) {
    auto session = std::make_unique<Session>();
    ConsoleOutputView output(devNull);
    Session& s = *session;
    s.clock = &clock;
    s.ui = &ui;
    s.output = &output;
    s.random.SetFixedSeed(42);
    s.paths.appPath = game.root;
    std::string error;
    if (!c.prepare(s, error)) {
      state.SkipWithError(error.c_str());
      return;
    }

    const double cpu0 = ThreadSeconds();
    const auto t0 = Steady::now();
    status |= RunProgram(s);
    const auto t1 = Steady::now();
    bestCpu = std::min(bestCpu, ThreadSeconds() - cpu0);
    const double run = Seconds(t0, t1);

    const std::string made = ResolvePath(c.universe);
    TimedCopy(made, copy, COPY_METHODS[0]);  // the page cache holds both files from here on
    for (const CopyMethod& method : COPY_METHODS) {
      const double seconds = TimedCopy(made, copy, method);
      if (seconds > 0 && seconds < bestCopy) {
        bestCopy = seconds;
        bestMethod = method.name;
      }
    }
    bestRun = std::min(bestRun, run);
    state.SetIterationTime(run);
  }
  if (status != 0) {
    state.SkipWithError("the run failed");
    return;
  }
  const double objects = static_cast<double>(forge::ReadObjects(ResolvePath(c.universe)).size());
  const double fileBytes = static_cast<double>(FileLength(c.universe));
  const ChildRun child = RunChild(c.childArgs);
  if (child.status != 0) state.SkipWithError("the program run as a child failed");
  state.counters["run_ms"] = bestRun * 1e3;
  state.counters["copy_ms"] = bestCopy * 1e3;
  state.counters["run_to_copy"] = bestRun / bestCopy;
  state.counters["thread_cpu_ms"] = bestCpu * 1e3;
  state.counters["file_MB"] = fileBytes / 1e6;
  state.counters["objects"] = objects;
  state.counters["us_per_object"] = bestRun / objects * 1e6;
  state.counters["peak_MB"] = child.peakMB;
  state.counters["peak_limit_MB"] = 3 * fileBytes / 1e6 + 5;
  state.counters["launcher_MB"] = child.launcherMB;
  state.counters["process_ms"] = child.seconds * 1e3;
  state.SetLabel(std::string("floor: ") + bestMethod);
}

void Batch(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  BenchGame& game = Game();
  const std::string script = game.Script(objects), out = game.BatchOutput();
  Case c;
  c.prepare = [&](Session& s, std::string&) {
    s.commandLine = script + " " + out + " /OX";
    return true;
  };
  c.universe = out;
  c.childArgs = {"--game-dir", game.root, "--seed", "42", script, out, "/OX"};
  RunCase(state, c);
}

void Generate(benchmark::State& state) {
  BenchGame& game = Game();
  Case c;
  c.prepare = [&](Session& s, std::string& error) {
    GenerateSettings settings;
    if (!ParseGenerateSettings("1", GENERATE_WORDS, settings, error)) return false;
    s.generate = settings;
    return true;
  };
  c.universe = SlotUniversePath(game.root, 1);
  c.childArgs = {"--game-dir", game.root, "--seed", "42", "--generate", "1"};
  c.childArgs.insert(c.childArgs.end(), GENERATE_WORDS.begin(), GENERATE_WORDS.end());
  RunCase(state, c);
}

BENCHMARK(Batch)->Name("Floor/batch")->Arg(1900)->Arg(19000)->Iterations(3)->UseManualTime()->Unit(
    benchmark::kMillisecond);
BENCHMARK(Generate)->Name("Floor/generate")->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--peak-of") return PeakOf(argv + 2);
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  SelfPath() = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv[0]);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
