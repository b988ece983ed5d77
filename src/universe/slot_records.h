// The host and player slots: the record files "game.dat" (host folder UNIV\GAMEn) and
// "slot.dat" (player folder WAR\SLOTn) that say whether a slot is in use and which game
// it holds, the marker file of a host folder, and the two clear operations.
//
// Both records are field tables on the shared record framework. Each field also says
// what a build leaves in it (RecordNewGame reads that column); the fields a build
// leaves unchanged keep the bytes the record held when it was loaded.
//
// A record file shorter than its record reads as zero bytes past its end; a longer one
// is read from position 1. Neither is an error: the files belong to other programs too.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "universe/record.h"
#include "universe/table.h"
#include "universe/tables.h"

namespace tarvik {

struct UniverseSession;

inline constexpr int GAME_RECORD_SIZE = 12536;
inline constexpr int SLOT_RECORD_SIZE = 3222;
inline constexpr std::string_view MARKER_FILE_NAME = "~g233211.tmp";
inline constexpr int32_t MARKER_AFTER_BUILD = 13;
inline constexpr int32_t MARKER_AFTER_DELETE = 0;

// What a build leaves in a field of a slot record.
enum class AfterBuild {
  Unchanged,     // the bytes the record held when it was loaded
  Zero,          // every element 0
  ZeroBytes,     // text: every byte 0
  One,           // every element 1
  GameName,      // gameName, blank-padded or cut to the field
  HostName,
  GameId,
  UniversePath,  // universeFilePath
  RstName,       // rstName, cut to the field (6 characters)
  TimeStamp,     // universeTimeStamp, in every element
  HostFolder,    // the host folder path, ending in a backslash
};

struct SlotRecordField {
  Field field;
  AfterBuild afterBuild;
};

const RecordLayout& GameRecordLayout();  // 12536 bytes
const RecordLayout& SlotRecordLayout();  // 3222 bytes
// The fields with their build column, in offset order (the layouts are made from these).
std::span<const SlotRecordField> GameRecordFields();
std::span<const SlotRecordField> SlotRecordFields();

struct GameRecord : Record {
  GameRecord() : Record(GameRecordLayout()) {}
};
struct SlotRecord : Record {
  SlotRecord() : Record(SlotRecordLayout()) {}
};

// The slot records' part of the universe's session state: the records of the 12 slots
// as loaded, and the slots the slot step chose.
struct SlotRecords {
  Table<GameRecord, HOST_SLOTS> gameRecords;
  Table<SlotRecord, HOST_SLOTS> slotRecords;
  int32_t selectedSlot = 0;  // the slot highlighted in the slot step; 0 = none
  int32_t buildSlot = 0;     // the slot taken for the build
};

// Paths of slot n (1..12) below the program folder appPath, in the program's own form.
std::string HostSlotFolder(const std::string& appPath, int n);    // appPath + "UNIV\GAMEn"
std::string PlayerSlotFolder(const std::string& appPath, int n);  // appPath + "WAR\SLOTn"
// The build's paths: appPath + "univ\gamen\gn.yig" and appPath + "univ\gamen\~g233211.tmp";
// the host folder as the slot record stores it, appPath + "univ\gamen\".
std::string SlotUniversePath(const std::string& appPath, int n);
std::string SlotMarkerPath(const std::string& appPath, int n);
std::string SlotHostFolderText(const std::string& appPath, int n);
// The record files of slot n, and the copy of slot 12's SlotRecord ("WAR\m123.new").
std::string GameRecordPath(const std::string& appPath, int n);
std::string SlotRecordPath(const std::string& appPath, int n);
std::string SlotRecordCopyPath(const std::string& appPath);

// Start-up step 16: every slot's game.dat, "( Empty )" as the slot name of a slot
// without one.
void LoadGameRecords(UniverseSession& s);
void LoadSlotRecords(UniverseSession& s);
void SaveGameRecords(const UniverseSession& s);
// All 12 slot.dat files, then slot 12's record to "WAR\m123.new".
void SaveSlotRecords(const UniverseSession& s);

// Fills the records of s.slots.buildSlot with the values a build leaves (nothing when
// buildSlot is below 1). The names, game id, universe path and time stamp come from
// the tables.
void RecordNewGame(UniverseSession& s);

// The slot step's Clear Host and Clear Player on s.slots.selectedSlot (nothing when it
// is 0). Each first asks its Yes/No question through s.ui (no user interface: no
// answer, nothing done); the result says whether it acted (the slot step is then
// redrawn).
bool DeleteUniverse(UniverseSession& s);
bool DeletePlayerFiles(UniverseSession& s);

// Writes one int32 at position 1 of a file (created when missing; the rest of an
// existing file is kept).
void WriteMarkerFile(const std::string& path, int32_t value);

// One record at position 1 of a file, created when missing and overwritten in place.
void WriteRecordFile(const std::string& path, const Record& record);
// The record's bytes from a file: zero past a short file's end, the rest of a long one
// ignored. After a failed read the record is to be cleared before it is used.
void ReadRecordFile(const std::string& path, Record& record);

}  // namespace tarvik
