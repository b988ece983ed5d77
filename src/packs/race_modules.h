// Race modules ("*.rce" in races\): listing and deduplication by race ID and revision,
// race names, reading the race records, and the check that the ship packs provide
// every hull type the races in play require.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

struct Session;

inline constexpr std::string_view RACE_MODULE_HEADER =
    "Stellarvane Version 4 - Formatted 1996 by Quillenbrast - Race Module";

// The header test: longer than 68 bytes and beginning with the header literal.
bool IsRaceModuleHeader(std::string_view path);
// The file stem of a module or pack: the name after the last "\" or ":" and before
// the last "."; empty without a "."; NUL-padded and cut to 8 characters.
std::string MakeFileStem(std::string_view fileName);

// Builds the race module list. Besides the header test, a module must hold its whole
// directory and all seven records inside the file; a damaged module is skipped as a
// foreign file is. Once 300 race IDs are listed, modules with further IDs are skipped.
void ListRaceModules(Session& s);
void LoadRaceNames(Session& s);
std::string RaceModulePath(const Session& s, int entry);
// Fill s.packs.scratchRace / scratchRaceUnit / scratchRaceExtra from module `entry`. A
// module damaged after listing throws RuntimeError and leaves the scratch record as it was.
void ReadRaceRecord(Session& s, int entry);
void ReadRaceUnitRecord(Session& s, int entry, int k);
void ReadRaceExtraRecord(Session& s, int entry, int k);
// A required hull type that no kept ship pack provides is a FatalError naming the race
// and the first such hull.
void ValidateRaceHulls(Session& s);

}  // namespace tarvik
