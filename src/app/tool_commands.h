// The tools for hosts and designers on the command line: --inspect FILE,
// --map-picture FILE OUT.svg, --fairness FILE and --check SCRIPT. None of them runs the
// start-up: no folder is made, no map is moved, the run log is not touched; the only
// file written is the picture --map-picture is asked for. Also the fairness report that
// follows every --generate run.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace tarvik {

class Clock;
struct LongOptions;
struct ScriptSession;
struct StoreState;

// Runs the tool that the options name (options.tool). gameDir is the game folder
// (--check reads its race modules, ship packs and maps). Returns the exit status: 0
// when the file is sound (--check: no warnings), 1 when it is damaged, of the wrong
// kind or has warnings, 2 for a usage error or a file that cannot be read.
int RunTool(const LongOptions& options, const std::string& gameDir, const Clock& clock, std::ostream& out,
            std::ostream& err);

// The start-up's parts that change nothing on disk, for --check: the game folder's
// paths, the race module list and names, the powers of two, the seeding and the
// players of a batch build.
void StartWithoutChanges(ScriptSession& s, const std::string& gameDir);

// The fairness report of the universe file at path, for the person at the console;
// empty when the file cannot be read.
std::string FairnessReportOf(const std::string& path);
// The same report of the universe file at path that the object store has just filled,
// made with the objects `store` kept as it stored them (StoreState::placed) instead of
// reading them back; the file's first bytes, before its object tables at
// `objectTablesPos`, give the players. Read whole as above when the store did not keep
// all of the file's objects.
std::string FairnessReportOf(const std::string& path, const StoreState& store, int32_t objectTablesPos);

}  // namespace tarvik
