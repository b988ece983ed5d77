// What reading a script costs a build: both passes take the whole script afresh and go
// through every byte of it once.
//
//   ScriptRead/copy    the bytes read into one buffer, made for the first pass and
//                      reused by the second (cleared when made, then a copy each pass)
//   ScriptRead/whole   WholeFile for each pass (a script this long is mapped)
//
// The first argument is the script's length in bytes: those of the generated scripts of
// 1900 and 19000 objects; the second 1 when each pass looks at every byte (counts the
// line ends), 0 when it only takes the bytes. The file's pages are in the system's cache (it was just
// written), as they are for a build.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/mapped_file.h"

namespace {

using namespace tarvik;

// A script-like file of `length` bytes (lines of 20 characters and a carriage return),
// written once per length.
std::string ScriptOfLength(size_t length) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("tarvik-read-bench-" + std::to_string(length) + ".vps")).string();
  if (FileLength(path) == static_cast<long long>(length)) return path;
  std::vector<uint8_t> bytes(length);
  for (size_t i = 0; i < length; ++i) bytes[i] = i % 21 == 20 ? '\r' : static_cast<uint8_t>('A' + i % 21);
  WriteWholeFile(path, bytes);
  return path;
}

// The pass's look at every byte, the same for both ways.
size_t LineEnds(std::span<const uint8_t> bytes) { return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\r')); }

void Copy(benchmark::State& state) {
  const std::string path = ScriptOfLength(static_cast<size_t>(state.range(0)));
  // A build makes its buffer once: fresh pages from the system, each cleared at its
  // first touch. Left to itself the allocator would hand the repeats below the pages
  // of the buffer freed before; a fixed threshold keeps a buffer this large apart.
  ::mallopt(M_MMAP_THRESHOLD, 128 << 10);
  for (auto _ : state) {
    std::vector<uint8_t> text;
    for (int pass = 0; pass < 2; ++pass) {
      ReadWholeFileInto(path, text);
      if (state.range(1)) benchmark::DoNotOptimize(LineEnds(text));
    }
  }
}

void Whole(benchmark::State& state) {
  const std::string path = ScriptOfLength(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    for (int pass = 0; pass < 2; ++pass) {
      const WholeFile text(path);
      if (state.range(1)) benchmark::DoNotOptimize(LineEnds(text.bytes()));
    }
  }
}

}  // namespace

BENCHMARK(Copy)->Name("ScriptRead/copy")->ArgsProduct({{447857, 4499330}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(Whole)->Name("ScriptRead/whole")->ArgsProduct({{447857, 4499330}, {0, 1}})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
