#include "packs/race_modules.h"

#include <optional>
#include <span>
#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "packs/data_files.h"
#include "packs/pack_session.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/files.h"

namespace tarvik {

namespace {

// Directory slots (offsets from D, the directory's position at PACK_INDEX_POS) of the
// record positions.
constexpr long long RACE_RECORD_SLOT = 96;
// The directory reaches from D to the end of the race record's slot.
constexpr long long DIRECTORY_LENGTH = RACE_RECORD_SLOT + 4;

long long UnitSlot(int k) { return 36 + 4 * (k - 1); }
long long ExtraSlot(int k) { return 4 * (k - 1); }

// The 1-based position of the record whose directory slot is `slot`, checked to lie with
// all `size` bytes inside the file; 0 when the module is damaged there.
long long RecordPosition(const ByteView& module, long long slot, long long size) {
  const std::optional<int32_t> d = module.I32(PACK_INDEX_POS);
  if (!d || !module.Has(*d, DIRECTORY_LENGTH)) return 0;
  const std::optional<int32_t> q = module.I32(*d + slot);
  if (!q || !module.Has(*q, size)) return 0;
  return *q;
}

// Whether the race ID, the revision and every record that the directory names lie
// inside the file. A module that fails is unusable: it is skipped at listing like a
// file with a foreign header.
bool ModuleComplete(const ByteView& module) {
  if (!module.Has(PACK_ID_POS, PACK_REVISION_POS + 4 - PACK_ID_POS)) return false;
  if (RecordPosition(module, RACE_RECORD_SLOT, RACE_RECORD_SIZE) == 0) return false;
  for (int k = 1; k <= 3; ++k) {
    if (RecordPosition(module, UnitSlot(k), RACE_UNIT_RECORD_SIZE) == 0) return false;
    if (RecordPosition(module, ExtraSlot(k), RACE_EXTRA_RECORD_SIZE) == 0) return false;
  }
  return true;
}

// The bytes of the race module at `path`: read whole, or, in a steady span, the copy
// kept from the first read under the span's present number (see LoadedModules).
const std::vector<uint8_t>& ModuleBytes(PackState& p, const std::string& path) {
  LoadedModules& loaded = p.loadedModules;
  const uint64_t epoch = SteadyFoldersEpoch();
  if (loaded.epoch != epoch) {
    loaded.epoch = epoch;
    loaded.bytes.clear();
  }
  if (epoch != 0) {
    const auto kept = loaded.bytes.find(path);
    if (kept != loaded.bytes.end()) return kept->second;
  }
  std::vector<uint8_t> bytes = ReadWholeFile(path);
  // Outside a span, or too large to keep, the bytes only go to the caller, who is done
  // with them before the next module is read.
  if (epoch == 0 || bytes.size() > LoadedModules::KEPT_MODULE_BYTES) {
    loaded.passing = std::move(bytes);
    return loaded.passing;
  }
  return loaded.bytes.insert_or_assign(path, std::move(bytes)).first->second;
}

// Fills `rec` from the module's record at directory slot `slot`. A module that has been
// damaged since it was listed is a RuntimeError for the guarded sequence around the
// caller; the record is then left as it was.
void ReadModuleRecord(PackState& p, const std::string& path, long long slot, Record& rec) {
  const ByteView module(ModuleBytes(p, path));
  const long long q = RecordPosition(module, slot, rec.size());
  if (q == 0) throw RuntimeError("The race module " + path + " is damaged: a record lies outside the file.");
  const std::span<const uint8_t> record = *module.Bytes(q, rec.size());
  rec.bytes().assign(record.begin(), record.end());
}

// Registers one module under its race ID; a higher revision replaces the entry's.
// False when the module's race would need an entry and the list is full.
bool RegisterModule(PackState& p, int32_t raceId, int32_t revision, const std::string& stem) {
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
    return true;
  }
  if (p.raceCount >= MAX_RACES) return false;
  ++p.raceCount;
  RaceModuleEntry& e = p.raceList[p.raceCount];
  e.raceId = raceId;
  e.revision = revision;
  e.fileStem = stem;
  e.raceName.clear();
  return true;
}

// Lists one "*.rce" file. Returns the line that says why a race module is not used, or
// nothing when the module is listed or the file is no race module at all (too short or
// of another header: skipped without a word).
std::optional<std::string> ListModule(PackState& p, const std::string& name, const std::string& path) {
  std::string why;
  auto unreadable = [&] { return "Race module unreadable, not used: " + path + " (" + why + ")"; };
  switch (TestHeader(path, RACE_MODULE_HEADER, static_cast<long long>(RACE_MODULE_HEADER.size()), &why)) {
    case HeaderTest::Fails:
      return std::nullopt;
    case HeaderTest::Unreadable:
      return unreadable();
    case HeaderTest::Passes:
      break;
  }
  // The list keeps the stem cut to 8 characters, which would name another file.
  if (!StemFits(name)) return "Race module name longer than 8 characters, not used: " + path;
  const std::vector<uint8_t>* bytes = nullptr;
  try {
    bytes = &ModuleBytes(p, path);
  } catch (const FileError& e) {
    why = e.why;
    return unreadable();
  }
  const ByteView module(*bytes);
  if (!ModuleComplete(module)) return "Race module damaged, not used: " + path;
  if (!RegisterModule(p, *module.I32(PACK_ID_POS), *module.I32(PACK_REVISION_POS), MakeFileStem(name))) {
    return "Race module list full (300 races), not used: " + path;
  }
  return std::nullopt;
}

}  // namespace

bool IsRaceModuleHeader(std::string_view path) {
  return HasHeader(path, RACE_MODULE_HEADER, static_cast<long long>(RACE_MODULE_HEADER.size()));
}

void ListRaceModules(PackSession& s) {
  PackState& p = s.packs;
  p.raceCount = 0;
  p.raceList.Fill(RaceModuleEntry{});
  p.raceModuleNotices.clear();
  for (const std::string& name : ListFiles(s.paths.racesDir, "*.rce")) {
    const std::optional<std::string> notice = ListModule(p, name, s.paths.racesDir + name);
    if (!notice) continue;
    // Start-up empties the run log after the listing: the line goes to the log at each
    // build (LoadShipPacks), and to standard error now.
    p.raceModuleNotices.push_back(*notice);
    NoticeOnce(s, *notice);
  }
}

void LoadRaceNames(PackSession& s) {
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

std::string RaceModulePath(const PackSession& s, int entry) {
  return s.paths.racesDir + StemText(s.packs.raceList[entry].fileStem) + ".rce";
}

void ReadRaceRecord(PackSession& s, int entry) {
  if (s.packs.raceList[entry].raceId <= 0) return;
  ReadModuleRecord(s.packs, RaceModulePath(s, entry), RACE_RECORD_SLOT, s.packs.scratchRace);
}

void ReadRaceUnitRecord(PackSession& s, int entry, int k) {
  if (k < 1 || k > 3 || s.packs.raceList[entry].raceId <= 0) return;
  ReadModuleRecord(s.packs, RaceModulePath(s, entry), UnitSlot(k), s.packs.scratchRaceUnit);
}

void ReadRaceExtraRecord(PackSession& s, int entry, int k) {
  if (k < 1 || k > 3 || s.packs.raceList[entry].raceId <= 0) return;
  ReadModuleRecord(s.packs, RaceModulePath(s, entry), ExtraSlot(k), s.packs.scratchRaceExtra);
}

void ValidateRaceHulls(PackSession& s) {
  Record& race = s.packs.scratchRace;
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    const PackEntry& g = s.tables.gameRaceList[k];
    if (g.id == 0) continue;
    ReadModuleRecord(s.packs, s.paths.racesDir + StemText(g.fileStem) + ".rce", RACE_RECORD_SLOT, race);
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
