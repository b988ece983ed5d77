#include "universe/slot_records.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "base/bytes.h"
#include "base/text.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "universe/universe_session.h"

namespace tarvik {

namespace {

using A = AfterBuild;

// GameRecord, file "game.dat".
constexpr SlotRecordField GAME_FIELDS[] = {
    {I32("inUse", 0), A::One},
    {Chars("slotName", 4, 80), A::GameName},
    {I32("gameId", 84), A::GameId},
    {Chars("gameName", 88, 44), A::GameName},
    {Chars("hostName", 132, 44), A::HostName},
    {Chars("universePath", 176, 512), A::UniversePath},
    {Chars("rstName", 688, 6), A::RstName},
    {I32("", 694, 30), A::Zero},
    {Chars("", 814, 128, 30), A::Unchanged},
    {I32("", 4654, 30), A::Zero},
    {Chars("", 4774, 128, 30), A::Unchanged},
    {Chars("", 8614, 128, 30), A::ZeroBytes},
    {I32("lastTurn", 12454), A::Zero},
    {Chars("timeStamp", 12458, 18), A::TimeStamp},
    {I16("", 12476, 30), A::Zero},
};

// SlotRecord, file "slot.dat".
constexpr SlotRecordField SLOT_FIELDS[] = {
    {I32("inUse", 0), A::One},
    {Chars("slotName", 4, 80), A::GameName},
    {I32("gameId", 84), A::GameId},
    {Chars("gameName", 88, 44), A::GameName},
    {Chars("hostName", 132, 44), A::HostName},
    {I32("", 176), A::One},
    {Chars("hostFolder", 180, 512), A::HostFolder},
    {I32("", 692), A::One},
    {Chars("hostFolder2", 696, 512), A::HostFolder},
    {Chars("playerTimeStamp", 1208, 18, 30), A::TimeStamp},
    {I32("", 1748, 30), A::Zero},
    {I32("", 1868, 30), A::Zero},
    {I32("", 1988), A::Zero},
    {Chars("", 1992, 512), A::Unchanged},
    {I32("", 2504), A::Zero},
    {Chars("", 2508, 512), A::Unchanged},
    {I32("lastTurn", 3020), A::Zero},
    {Chars("timeStamp", 3024, 18), A::TimeStamp},
    {I16("", 3042, 30), A::Zero},
    {I16("", 3102, 30), A::Zero},
    {I16("", 3162, 30), A::Zero},
};

std::vector<Field> FieldsOf(std::span<const SlotRecordField> rows) {
  std::vector<Field> fields;
  for (const SlotRecordField& row : rows) fields.push_back(row.field);
  return fields;
}

std::string SlotNumber(int n) { return std::to_string(n); }

// The values a build puts into the records of one slot.
struct BuildValues {
  const UniverseTables& tables;
  std::string hostFolder;
};

void ApplyAfterBuild(Record& r, const SlotRecordField& row, const BuildValues& v) {
  const Field& f = row.field;
  for (int i = 1; i <= f.count; ++i) {
    switch (row.afterBuild) {
      case A::Unchanged: break;
      case A::Zero: r.Set(f, 0, i); break;
      case A::One: r.Set(f, 1, i); break;
      case A::ZeroBytes: r.SetBytes(f, std::string(static_cast<size_t>(f.charLen), '\0'), i); break;
      case A::GameName: r.SetText(f, v.tables.gameName, i); break;
      case A::HostName: r.SetText(f, v.tables.hostName, i); break;
      case A::GameId: r.Set(f, v.tables.gameId, i); break;
      case A::UniversePath: r.SetText(f, v.tables.universeFilePath, i); break;
      case A::RstName: r.SetText(f, v.tables.rstName, i); break;
      case A::TimeStamp: r.SetText(f, v.tables.universeTimeStamp, i); break;
      case A::HostFolder: r.SetText(f, v.hostFolder, i); break;
    }
  }
}

void FillAfterBuild(Record& r, std::span<const SlotRecordField> rows, const BuildValues& v) {
  for (const SlotRecordField& row : rows) ApplyAfterBuild(r, row, v);
}

// Deletes the files of `folder` matching each pattern in turn: all those of the first,
// then all those of the next. One listing serves every pattern, as the deletions of one
// pattern's files take nothing away from another's.
void DeleteMatching(const std::string& folder, std::initializer_list<std::string_view> patterns) {
  const std::vector<std::string> names = ListFiles(folder, "*");
  for (const std::string_view pattern : patterns) {
    for (const std::string& name : names) {
      if (MatchesPattern(name, pattern)) DeleteFileAt(folder + "\\" + name);
    }
  }
}

}  // namespace

std::span<const SlotRecordField> GameRecordFields() { return GAME_FIELDS; }
std::span<const SlotRecordField> SlotRecordFields() { return SLOT_FIELDS; }

const RecordLayout& GameRecordLayout() {
  static const std::vector<Field> fields = FieldsOf(GAME_FIELDS);
  static const RecordLayout layout("GameRecord", GAME_RECORD_SIZE, fields);
  return layout;
}

const RecordLayout& SlotRecordLayout() {
  static const std::vector<Field> fields = FieldsOf(SLOT_FIELDS);
  static const RecordLayout layout("SlotRecord", SLOT_RECORD_SIZE, fields);
  return layout;
}

std::string HostSlotFolder(const std::string& appPath, int n) { return appPath + "UNIV\\GAME" + SlotNumber(n); }
std::string PlayerSlotFolder(const std::string& appPath, int n) { return appPath + "WAR\\SLOT" + SlotNumber(n); }
std::string SlotHostFolderText(const std::string& appPath, int n) {
  return appPath + "univ\\game" + SlotNumber(n) + "\\";
}
std::string GameRecordPath(const std::string& appPath, int n) { return HostSlotFolder(appPath, n) + "\\game.dat"; }
std::string SlotRecordPath(const std::string& appPath, int n) { return PlayerSlotFolder(appPath, n) + "\\slot.dat"; }
std::string SlotRecordCopyPath(const std::string& appPath) { return appPath + "WAR\\m123.new"; }
std::string SlotUniversePath(const std::string& appPath, int n) {
  return SlotHostFolderText(appPath, n) + "g" + SlotNumber(n) + ".yig";
}
std::string SlotMarkerPath(const std::string& appPath, int n) {
  return SlotHostFolderText(appPath, n) + std::string(MARKER_FILE_NAME);
}

void ReadRecordFile(const std::string& path, Record& record) {
  // Read straight into the record: the file's bytes, and zeros past a file shorter
  // than the record. A failed read may leave the bytes cut short: the caller clears
  // the record (Record::Clear makes it whole again).
  std::vector<uint8_t>& held = record.bytes();
  const size_t size = held.size();
  ReadFileStartInto(path, size, held);
  held.resize(size, 0);
}

void WriteRecordFile(const std::string& path, const Record& record) { WriteFileStart(path, record.bytes()); }

void WriteMarkerFile(const std::string& path, int32_t value) {
  std::vector<uint8_t> bytes(4);
  PutI32(bytes.data(), value);
  WriteFileStart(path, bytes);
}

namespace {

// Fills the records of the 12 slots from their files, from slot 1 up; `missing` fills
// the record of a slot without one, which is cleared first. Each record is cleared
// before it is filled, so when a read fails, that record and those of the slots after
// it are left cleared, as if every record had been cleared before the first read.
template <typename R, typename Missing>
void LoadRecords(Table<R, HOST_SLOTS>& records, const std::string& appPath,
                 std::string (*pathOf)(const std::string&, int), Missing missing) {
  for (int n = 1; n <= HOST_SLOTS; ++n) {
    try {
      // Read as ReadRecordFile reads, straight into the record (every byte of it: no
      // clearing first). Opened for writing when the system allows, as the record may be
      // saved back unchanged (SaveGameRecords, SaveSlotRecords).
      std::vector<uint8_t>& held = records[n].bytes();
      const size_t size = held.size();
      if (ReadFileHeadForUpdate(pathOf(appPath, n), size, held) >= 0) {
        held.resize(size, 0);
      } else {
        records[n].Clear();
        missing(records[n]);
      }
    } catch (...) {
      for (int m = n; m <= HOST_SLOTS; ++m) records[m].Clear();
      throw;
    }
  }
}

}  // namespace

void LoadGameRecords(UniverseSession& s) {
  LoadRecords(s.slots.gameRecords, s.paths.appPath, GameRecordPath, [](Record& r) { r.SetText("slotName", "( Empty )"); });
}

void LoadSlotRecords(UniverseSession& s) {
  LoadRecords(s.slots.slotRecords, s.paths.appPath, SlotRecordPath, [](Record&) {});
}

void SaveGameRecords(const UniverseSession& s) {
  for (int n = 1; n <= HOST_SLOTS; ++n) WriteRecordFile(GameRecordPath(s.paths.appPath, n), s.slots.gameRecords[n]);
}

void SaveSlotRecords(const UniverseSession& s) {
  const std::string& app = s.paths.appPath;
  for (int n = 1; n <= HOST_SLOTS; ++n) WriteRecordFile(SlotRecordPath(app, n), s.slots.slotRecords[n]);
  WriteRecordFile(SlotRecordCopyPath(app), s.slots.slotRecords[HOST_SLOTS]);
}

void RecordNewGame(UniverseSession& s) {
  const int n = s.slots.buildSlot;
  if (n < 1) return;
  const BuildValues values{s.tables, SlotHostFolderText(s.paths.appPath, n)};
  FillAfterBuild(s.slots.gameRecords[n], GAME_FIELDS, values);
  FillAfterBuild(s.slots.slotRecords[n], SLOT_FIELDS, values);
}

bool DeleteUniverse(UniverseSession& s) {
  const int n = s.slots.selectedSlot;
  if (n < 1 || !s.ui) return false;
  if (!s.ui->AskYesNo("Delete Universe", "Delete the universe in host slot " + NumText(n) + "?")) return false;
  const std::string folder = HostSlotFolder(s.paths.appPath, n);
  DeleteMatching(folder, {"*.yig", "*.dat"});
  GameRecord& g = s.slots.gameRecords[n];
  g.Set("inUse", 0);
  g.SetText("gameName", "");
  SaveGameRecords(s);
  WriteMarkerFile(folder + "\\" + std::string(MARKER_FILE_NAME), MARKER_AFTER_DELETE);
  return true;
}

bool DeletePlayerFiles(UniverseSession& s) {
  const int n = s.slots.selectedSlot;
  if (n < 1 || !s.ui) return false;
  if (!s.ui->AskYesNo("Delete Player Files", "Delete the player files in player slot " + NumText(n) + "?")) {
    return false;
  }
  DeleteMatching(s.paths.appPath + "war\\slot" + SlotNumber(n), {"*.rst"});
  s.slots.slotRecords[n].Set("inUse", 0);
  SaveSlotRecords(s);
  return true;
}

}  // namespace tarvik
