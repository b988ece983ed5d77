// The long options of the command line. They come first and are removed; the words
// left, joined with single blanks, are the command line of the batch run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/generate_command.h"

namespace tarvik {

struct LongOptions {
  std::optional<std::string> gameDir;
  std::optional<int64_t> seed;
  std::optional<std::string> replayFile;
  bool help = false;
  bool version = false;
  bool listRaces = false;
  bool listSlots = false;
  // --generate SLOT with its settings; generateAsked is set as soon as --generate or
  // one of its settings is seen, so that a usage error can point at the settings.
  std::optional<GenerateSettings> generate;
  bool generateAsked = false;
  // The tools for hosts and designers (--inspect, --map-picture, --fairness, --check):
  // the tool's option word and its arguments. A tool runs without the start-up.
  std::string tool;
  std::vector<std::string> toolArgs;
  std::string commandLine;
};

// The number of file arguments of a tool option, 0 for any other word.
int ToolArgumentCount(std::string_view option);

// Parses argv[1..]. Returns false with `error` set for a usage error (exit status 2).
bool ParseLongOptions(const std::vector<std::string>& args, LongOptions& out, std::string& error);

// The text of --help.
std::string UsageText();

// What standard error shows for a usage error: the error, then the usage (a short
// summary for the settings of --generate).
std::string UsageErrorText(const LongOptions& options, const std::string& error);

}  // namespace tarvik
