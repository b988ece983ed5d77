#include "universe/slot_records.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace tarvik {

namespace {

using A = AfterBuild;

// GameRecord, file "game.dat".
constexpr SlotRecordField kGameFields[] = {
    {I32("inUse", 0), A::kOne},
    {Chars("slotName", 4, 80), A::kGameName},
    {I32("gameId", 84), A::kGameId},
    {Chars("gameName", 88, 44), A::kGameName},
    {Chars("hostName", 132, 44), A::kHostName},
    {Chars("universePath", 176, 512), A::kUniversePath},
    {Chars("rstName", 688, 6), A::kRstName},
    {I32("", 694, 30), A::kZero},
    {Chars("", 814, 128, 30), A::kUnchanged},
    {I32("", 4654, 30), A::kZero},
    {Chars("", 4774, 128, 30), A::kUnchanged},
    {Chars("", 8614, 128, 30), A::kZeroBytes},
    {I32("lastTurn", 12454), A::kZero},
    {Chars("timeStamp", 12458, 18), A::kTimeStamp},
    {I16("", 12476, 30), A::kZero},
};

// SlotRecord, file "slot.dat".
constexpr SlotRecordField kSlotFields[] = {
    {I32("inUse", 0), A::kOne},
    {Chars("slotName", 4, 80), A::kGameName},
    {I32("gameId", 84), A::kGameId},
    {Chars("gameName", 88, 44), A::kGameName},
    {Chars("hostName", 132, 44), A::kHostName},
    {I32("", 176), A::kOne},
    {Chars("hostFolder", 180, 512), A::kHostFolder},
    {I32("", 692), A::kOne},
    {Chars("hostFolder2", 696, 512), A::kHostFolder},
    {Chars("playerTimeStamp", 1208, 18, 30), A::kTimeStamp},
    {I32("", 1748, 30), A::kZero},
    {I32("", 1868, 30), A::kZero},
    {I32("", 1988), A::kZero},
    {Chars("", 1992, 512), A::kUnchanged},
    {I32("", 2504), A::kZero},
    {Chars("", 2508, 512), A::kUnchanged},
    {I32("lastTurn", 3020), A::kZero},
    {Chars("timeStamp", 3024, 18), A::kTimeStamp},
    {I16("", 3042, 30), A::kZero},
    {I16("", 3102, 30), A::kZero},
    {I16("", 3162, 30), A::kZero},
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
      case A::kUnchanged: break;
      case A::kZero: r.Set(f, 0, i); break;
      case A::kOne: r.Set(f, 1, i); break;
      case A::kZeroBytes: std::memset(r.bytes().data() + f.offset + (i - 1) * f.charLen, 0, f.charLen); break;
      case A::kGameName: r.SetText(f, v.tables.gameName, i); break;
      case A::kHostName: r.SetText(f, v.tables.hostName, i); break;
      case A::kGameId: r.Set(f, v.tables.gameId, i); break;
      case A::kUniversePath: r.SetText(f, v.tables.universeFilePath, i); break;
      case A::kRstName: r.SetText(f, v.tables.rstName, i); break;
      case A::kTimeStamp: r.SetText(f, v.tables.universeTimeStamp, i); break;
      case A::kHostFolder: r.SetText(f, v.hostFolder, i); break;
    }
  }
}

void FillAfterBuild(Record& r, std::span<const SlotRecordField> rows, const BuildValues& v) {
  for (const SlotRecordField& row : rows) ApplyAfterBuild(r, row, v);
}

void DeleteMatching(const std::string& folder, std::string_view pattern) {
  for (const std::string& name : ListFiles(folder, pattern)) DeleteFileAt(folder + "\\" + name);
}

}  // namespace

std::span<const SlotRecordField> GameRecordFields() { return kGameFields; }
std::span<const SlotRecordField> SlotRecordFields() { return kSlotFields; }

const RecordLayout& GameRecordLayout() {
  static const std::vector<Field> fields = FieldsOf(kGameFields);
  static const RecordLayout layout("GameRecord", GAME_RECORD_SIZE, fields);
  return layout;
}

const RecordLayout& SlotRecordLayout() {
  static const std::vector<Field> fields = FieldsOf(kSlotFields);
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
  BinaryFile f(path, BinaryFile::Mode::Read);
  const long long length = f.Length();
  const size_t n = static_cast<size_t>(std::clamp<long long>(length, 0, record.size()));
  record.Clear();
  if (n > 0) f.Read(1, record.bytes().data(), n);
  f.Close();
}

void WriteRecordFile(const std::string& path, const Record& record) {
  BinaryFile f(path, FileExists(path) ? BinaryFile::Mode::ReadWrite : BinaryFile::Mode::Create);
  f.Write(1, record.bytes());
  f.Close();
}

void WriteMarkerFile(const std::string& path, int32_t value) {
  BinaryFile f(path, FileExists(path) ? BinaryFile::Mode::ReadWrite : BinaryFile::Mode::Create);
  f.WriteI32(1, value);
  f.Close();
}

void LoadGameRecords(SlotRecords& slots, const std::string& appPath) {
  for (int n = 1; n <= HOST_SLOTS; ++n) slots.gameRecords[n].Clear();
  for (int n = 1; n <= HOST_SLOTS; ++n) {
    const std::string path = GameRecordPath(appPath, n);
    if (FileExists(path)) {
      ReadRecordFile(path, slots.gameRecords[n]);
    } else {
      slots.gameRecords[n].SetText("slotName", "( Empty )");
    }
  }
}

void LoadSlotRecords(SlotRecords& slots, const std::string& appPath) {
  for (int n = 1; n <= HOST_SLOTS; ++n) slots.slotRecords[n].Clear();
  for (int n = 1; n <= HOST_SLOTS; ++n) {
    const std::string path = SlotRecordPath(appPath, n);
    if (FileExists(path)) ReadRecordFile(path, slots.slotRecords[n]);
  }
}

void SaveGameRecords(const SlotRecords& slots, const std::string& appPath) {
  for (int n = 1; n <= HOST_SLOTS; ++n) WriteRecordFile(GameRecordPath(appPath, n), slots.gameRecords[n]);
}

void SaveSlotRecords(const SlotRecords& slots, const std::string& appPath) {
  for (int n = 1; n <= HOST_SLOTS; ++n) WriteRecordFile(SlotRecordPath(appPath, n), slots.slotRecords[n]);
  WriteRecordFile(SlotRecordCopyPath(appPath), slots.slotRecords[HOST_SLOTS]);
}

void RecordNewGame(SlotRecords& slots, const UniverseTables& tables, const std::string& appPath) {
  const int n = slots.buildSlot;
  if (n < 1) return;
  const BuildValues values{tables, SlotHostFolderText(appPath, n)};
  FillAfterBuild(slots.gameRecords[n], kGameFields, values);
  FillAfterBuild(slots.slotRecords[n], kSlotFields, values);
}

bool DeleteUniverse(SlotRecords& slots, const std::string& appPath, UserInterface& ui) {
  const int n = slots.selectedSlot;
  if (n < 1) return false;
  if (!ui.AskYesNo("Delete Universe", "Delete the universe in host slot " + NumText(n) + "?")) return false;
  const std::string folder = HostSlotFolder(appPath, n);
  DeleteMatching(folder, "*.yig");
  DeleteMatching(folder, "*.dat");
  GameRecord& g = slots.gameRecords[n];
  g.Set("inUse", 0);
  g.SetText("gameName", "");
  SaveGameRecords(slots, appPath);
  WriteMarkerFile(folder + "\\" + std::string(MARKER_FILE_NAME), MARKER_AFTER_DELETE);
  return true;
}

bool DeletePlayerFiles(SlotRecords& slots, const std::string& appPath, UserInterface& ui) {
  const int n = slots.selectedSlot;
  if (n < 1) return false;
  if (!ui.AskYesNo("Delete Player Files", "Delete the player files in player slot " + NumText(n) + "?")) return false;
  DeleteMatching(appPath + "war\\slot" + SlotNumber(n), "*.rst");
  slots.slotRecords[n].Set("inUse", 0);
  SaveSlotRecords(slots, appPath);
  return true;
}

}  // namespace tarvik
