// Race modules ("*.rce" in races\): listing and deduplication by race ID and revision,
// race names, reading the race records, and the check that the ship packs provide
// every hull type the races in play require.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

struct PackSession;

inline constexpr std::string_view RACE_MODULE_HEADER =
    "Stellarvane Version 4 - Formatted 1996 by Quillenbrast - Race Module";

// The header test: longer than 68 bytes and beginning with the header literal.
bool IsRaceModuleHeader(std::string_view path);

// Builds the race module list. A file that fails the header test is skipped without a
// word. A race module is not used, with a line that names it and says why (kept in
// raceModuleNotices and shown on standard error), when it cannot be read, when its
// name is longer than 8 characters before the extension (the stored stem would name
// another file), when its directory or one of its seven records does not lie inside
// the file ("Race module damaged, not used: "), or when 300 other race IDs are listed.
void ListRaceModules(PackSession& s);
void LoadRaceNames(PackSession& s);
std::string RaceModulePath(const PackSession& s, int entry);
// Fill s.packs.scratchRace / scratchRaceUnit / scratchRaceExtra from module `entry`. A
// module damaged after listing throws RuntimeError and leaves the scratch record as it was.
void ReadRaceRecord(PackSession& s, int entry);
void ReadRaceUnitRecord(PackSession& s, int entry, int k);
void ReadRaceExtraRecord(PackSession& s, int entry, int k);
// A required hull type that no kept ship pack provides is a FatalError naming the race
// and the first such hull.
void ValidateRaceHulls(PackSession& s);

}  // namespace tarvik
