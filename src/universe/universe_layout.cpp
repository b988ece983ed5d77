// The field tables of the universe file's fixed structures. Unnamed fields are zero
// unless they always hold a value (Always) or lie in the header's random filler.
#include "universe/universe_layout.h"

namespace tarvik {

TARVIK_RECORD_LAYOUT(UniverseHeaderLayout, "UniverseHeader", UNIVERSE_TABLE_BASE - 1,
    Chars("title", 0, 48),  // UNIVERSE_FILE_HEADER
    Chars("", 48, 52),
    I32("", 100, 30).Always(0),
    I32("playerRaceId", 220, 30),  // the race ID of each player's game race
    I32("activeMask", 340),
    I32("gameId", 344),
    I32("", 348).Always(0),
    Chars("timeStamp", 352, 18),
    I32("", 370).Always(0),
    I32("", 374).Always(131313),
    Chars("", 378, 22),  // filler
    I32("", 400).Always(102),
    Chars("", 404, 4),  // filler
    Chars("timeStampAgain", 408, 18),
    Chars("", 426, 46),  // filler
    I32("tableBase", 472),
    I32("serialCounter", 476),
    I32("lastPlanetId", 480),
    I32("", 484, 2).Always(0),
    Chars("", 492, 137))  // filler

TARVIK_RECORD_LAYOUT(UniverseDirectoryLayout, "UniverseDirectory", 350,
    I32("", 0, 30),
    I32("raceBlockPos", 120, 30),
    I32("dataCopyPos", 240),
    I32("reservedPos", 244),  // a 200-byte reserved area after the data file's copy
    I32("settingsPos", 248),
    I32("playerSectionPos", 252),
    I32("objectTablesPos", 256),
    I32("indexPos", 260),
    I32("recordsPos", 264),
    I32("objectCount", 268),
    I32("dataEnd", 272),
    Chars("", 276, 74))

TARVIK_RECORD_LAYOUT(RaceDataBlockLayout, "RaceDataBlock", 1138,
    Chars("raceRecord", 0, 622),
    Chars("unitRecords", 622, 98, 3),
    Chars("extraRecords", 916, 74, 3))

TARVIK_RECORD_LAYOUT(SettingsBlockLayout, "SettingsBlock", 9000,
    I32("", 0).Always(101),  I16("", 4).Always(5),    I32("", 6).Always(200),  I32("", 10).Always(100),
    I32("", 14).Always(50),  I32("", 18).Always(10),  I16("", 22).Always(100), I16("", 24).Always(40),
    I16("", 26).Always(80),  I16("", 28).Always(160), I16("", 30).Always(15),  I16("", 32).Always(100),
    I16("", 34).Always(40),  Chars("", 36, 8964))

TARVIK_RECORD_LAYOUT(PlayerSectionLayout, "PlayerSection", 27848,
    I32("raceRevision", 0, 30),  // the races in play (GameRaceList)
    Chars("raceFileStem", 120, 8, 30),
    I32("raceId", 360, 30),
    Chars("playerName", 480, 60, 30),  // scrambled under playerNameKey
    I16("playerNameKey", 2280),
    I32("", 2282, 30).Always(0),
    I32("packRevision", 2402, 40),  // the kept ship packs
    I32("packId", 2562, 40),
    Chars("packFileStem", 2722, 8, 40),
    I32("", 3042).Always(0),
    Chars("timeStamp", 3046, 18),
    Chars("blankText", 3064, 20, 30),  // twenty blanks, scrambled under blankTextKey
    I16("blankTextKey", 3664),
    Chars("playerCode", 3666, 13, 30),  // the default code, scrambled under playerCodeKey
    I16("playerCodeKey", 4056),
    I32("playerGameRace", 4058, 30),
    I32("playerFlags", 4178, 30),  // 2 when the slot has a race, plus 1 when it is active
    I32("gameId", 4298),
    Chars("gameName", 4302, 44),
    Chars("hostName", 4346, 44),
    Chars("resultFileName", 4390, 8, 30),
    I32("", 4630).Always(101),
    Chars("playerRecords", 4634, 226, 30),  // PlayerRecord of slot 1, 2, ...
    Chars("letters", 11414, 90),
    F32("rateTable", 11504, 120),  // 12 rows by 10 columns, the row varying fastest
    Chars("siteRecords", 11984, 68, 100),
    Chars("", 18784, 60),
    I32("mapKindCode", 18844),
    Chars("", 18848, 9000))

TARVIK_RECORD_LAYOUT(SiteRecordLayout, "SiteRecord", 68,
    I32("x", 0), I32("y", 4), I32("magnitude", 8), I32("values", 12, 12), I32("", 60, 2).Always(0))

long long HeaderPosition(std::string_view field) { return 1 + UniverseHeaderLayout().Get(field).offset; }

long long DirectoryPosition(int32_t tableBase, std::string_view field) {
  return static_cast<long long>(tableBase) + UniverseDirectoryLayout().Get(field).offset;
}

}  // namespace tarvik
