// Race modules ("*.rce" in races\): listing and deduplication by race ID and revision,
// race names, reading the race records, and the check that the ship packs provide
// every hull type the races in play require.
#pragma once

#include <string>

namespace tarvik {

struct Session;

inline constexpr std::string_view RACE_MODULE_HEADER =
    "Stellarvane Version 4 - Formatted 1996 by Quillenbrast - Race Module";

void ListRaceModules(Session& s);
void LoadRaceNames(Session& s);
std::string RaceModulePath(const Session& s, int entry);
// Fill s.packs.scratchRace / scratchRaceUnit / scratchRaceExtra from module `entry`.
void ReadRaceRecord(Session& s, int entry);
void ReadRaceUnitRecord(Session& s, int entry, int k);
void ReadRaceExtraRecord(Session& s, int entry, int k);
// Ends the program through ShowFatalError when a required hull type is missing.
void ValidateRaceHulls(Session& s);

}  // namespace tarvik
