#include "packs/race_modules.h"

#include "app/run_log.h"
#include "base/errors.h"
#include "base/text.h"
#include "packs/data_files.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "session.h"

namespace tarvik {

namespace {

constexpr long long kRaceIdOffset = 400;
constexpr long long kRevisionOffset = 404;
constexpr long long kDirectoryOffset = 449;
constexpr long long kRaceRecordSlot = 96;
// The directory reaches from D to the end of the race record's slot.
constexpr long long kDirectoryLength = kRaceRecordSlot + 4;

long long UnitSlot(int k) { return 36 + 4 * (k - 1); }
long long ExtraSlot(int k) { return 4 * (k - 1); }

// The 1-based position of the record whose directory slot is `slot`, checked to lie with
// all `size` bytes inside the file; 0 when the module is damaged there.
long long RecordPosition(BinaryFile& f, long long length, long long slot, long long size) {
  if (length < kDirectoryOffset + 4) return 0;
  long long d = f.ReadI32(kDirectoryOffset + 1);
  if (d < 1 || d - 1 + kDirectoryLength > length) return 0;
  long long q = f.ReadI32(d + slot);
  if (q < 1 || q - 1 + size > length) return 0;
  return q;
}

// Whether every record that the directory names lies inside the file. A module that
// fails is unusable: it is skipped at listing like a file with a foreign header.
bool ModuleComplete(BinaryFile& f, long long length) {
  if (length < kRevisionOffset + 4) return false;
  if (RecordPosition(f, length, kRaceRecordSlot, RACE_RECORD_SIZE) == 0) return false;
  for (int k = 1; k <= 3; ++k) {
    if (RecordPosition(f, length, UnitSlot(k), RACE_UNIT_RECORD_SIZE) == 0) return false;
    if (RecordPosition(f, length, ExtraSlot(k), RACE_EXTRA_RECORD_SIZE) == 0) return false;
  }
  return true;
}

// Clears `rec` and fills it from the module's record at directory slot `slot`. A module
// that has been damaged since it was listed is a RuntimeError for the guarded sequence
// around the caller; the record is then left as it was.
void ReadModuleRecord(const std::string& path, long long slot, Record& rec) {
  BinaryFile f(path, BinaryFile::Mode::Read);
  long long length = f.Length();
  long long q = RecordPosition(f, length, slot, rec.size());
  if (q == 0) throw RuntimeError("race module damaged: " + path);
  std::vector<uint8_t> bytes = f.Read(q, static_cast<size_t>(rec.size()));
  rec.Clear();
  rec.bytes() = std::move(bytes);
}

std::string StemText(const std::string& fileStem) {
  std::string out;
  for (char c : fileStem) {
    if (c != '\0') out += c;
  }
  return out;
}

// Registers one module under its race ID; a higher revision replaces the entry's.
void RegisterModule(PackState& p, int32_t raceId, int32_t revision, const std::string& stem) {
  int match = 0;
  for (int i = MAX_RACES; i >= 1; --i) {
    if (p.raceList[i].raceId == raceId) {
      match = i;
      break;
    }
  }
  if (match > 0) {
    RaceModuleEntry& e = p.raceList[match];
    if (revision > e.revision) {
      e.revision = revision;
      e.fileStem = stem;
    }
    return;
  }
  // A full list takes no further race: the module is left out, like a foreign file.
  if (p.raceCount >= MAX_RACES) return;
  ++p.raceCount;
  RaceModuleEntry& e = p.raceList[p.raceCount];
  e.raceId = raceId;
  e.revision = revision;
  e.fileStem = stem;
  e.raceName.clear();
}

}  // namespace

std::string MakeFileStem(std::string_view fileName) {
  size_t sep = fileName.find_last_of("\\:/");
  std::string_view base = sep == std::string_view::npos ? fileName : fileName.substr(sep + 1);
  size_t dot = base.find_last_of('.');
  std::string stem = dot == std::string_view::npos ? std::string() : std::string(base.substr(0, dot));
  stem.resize(8, '\0');
  return stem;
}

bool IsRaceModuleHeader(std::string_view path) {
  return HasHeader(path, RACE_MODULE_HEADER, static_cast<long long>(RACE_MODULE_HEADER.size()));
}

void ListRaceModules(Session& s) {
  PackState& p = s.packs;
  p.raceCount = 0;
  p.raceList.Fill(RaceModuleEntry{});
  for (const std::string& name : ListFiles(s.paths.racesDir, "*.rce")) {
    std::string path = s.paths.racesDir + name;
    if (!IsRaceModuleHeader(path)) continue;
    int32_t raceId = 0, revision = 0;
    try {
      BinaryFile f(path, BinaryFile::Mode::Read);
      long long length = f.Length();
      if (!ModuleComplete(f, length)) continue;
      raceId = f.ReadI32(kRaceIdOffset + 1);
      revision = f.ReadI32(kRevisionOffset + 1);
    } catch (const RuntimeError&) {
      continue;  // unreadable: not a usable module
    }
    RegisterModule(p, raceId, revision, MakeFileStem(name));
  }
}

void LoadRaceNames(Session& s) {
  PackState& p = s.packs;
  p.raceListItems.clear();
  for (int i = 1; i <= MAX_RACES; ++i) {
    if (p.raceList[i].raceId <= 0) continue;
    ReadRaceRecord(s, i);
    std::string name = p.scratchRace.Text("raceName");
    ScrambleName(p.scratchRace.Get("nameKey"), name);
    p.raceList[i].raceName = name;
    p.raceListItems.push_back(i);
  }
}

std::string RaceModulePath(const Session& s, int entry) {
  return s.paths.racesDir + StemText(s.packs.raceList[entry].fileStem) + ".rce";
}

void ReadRaceRecord(Session& s, int entry) {
  if (s.packs.raceList[entry].raceId <= 0) return;
  ReadModuleRecord(RaceModulePath(s, entry), kRaceRecordSlot, s.packs.scratchRace);
}

void ReadRaceUnitRecord(Session& s, int entry, int k) {
  if (k < 1 || k > 3 || s.packs.raceList[entry].raceId <= 0) return;
  ReadModuleRecord(RaceModulePath(s, entry), UnitSlot(k), s.packs.scratchRaceUnit);
}

void ReadRaceExtraRecord(Session& s, int entry, int k) {
  if (k < 1 || k > 3 || s.packs.raceList[entry].raceId <= 0) return;
  ReadModuleRecord(RaceModulePath(s, entry), ExtraSlot(k), s.packs.scratchRaceExtra);
}

void ValidateRaceHulls(Session& s) {
  Record& race = s.packs.scratchRace;
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    const PackEntry& g = s.tables.gameRaceList[k];
    if (g.id == 0) continue;
    ReadModuleRecord(s.paths.racesDir + StemText(g.fileStem) + ".rce", kRaceRecordSlot, race);
    for (int i = 1; i <= 40; ++i) {
      int hull = race.Get("requiredHulls", i);
      if (hull <= 0 || HullKnown(s, hull)) continue;
      std::string name = race.Text("raceName");
      ScrambleName(race.Get("nameKey"), name);
      throw FatalError{"ERROR! Race " + name + " " + NumText(g.id) + " requires ship hull type " + NumText(hull) +
                       "\r" + "hull information not found, a required ships\\*.SPK is file missing"};
    }
  }
}

}  // namespace tarvik
