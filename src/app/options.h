// The long options of the command line. They come first and are removed; the words
// left, joined with single blanks, are the command line of the batch run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

struct LongOptions {
  std::optional<std::string> gameDir;
  std::optional<int64_t> seed;
  std::optional<std::string> replayFile;
  bool help = false;
  bool version = false;
  bool listRaces = false;
  std::string commandLine;
};

// Parses argv[1..]. Returns false with `error` set for a usage error (exit status 2).
bool ParseLongOptions(const std::vector<std::string>& args, LongOptions& out, std::string& error);

// The text of --help.
std::string UsageText();

}  // namespace tarvik
