// WriteUniverseFile: the universe file as the game host first sees it. The fixed
// structures are filled as records of their field tables (universe/universe_layout.h)
// and the whole file is laid out in memory (the zeros that end it only counted) and
// written in one piece, so a failure part-way (a missing data file, a race module that
// cannot be read, a full disk) never leaves a short file behind: the partly written
// file is removed and the failure goes to the caller as a RuntimeError.
//
// Random draws happen in the order the file is laid out, with the generator seeded
// from the time of day before the filler bytes and again before the player records.
#include "writer/universe_file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "packs/data_files.h"
#include "packs/pack_session.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "platform/rounding.h"
#include "universe/records.h"
#include "universe/universe_layout.h"

namespace tarvik {

namespace {

constexpr int DATA_FILE_HEADER_BYTES = 100;
constexpr int RESERVED_AREA_BYTES = 200;
constexpr int OBJECT_TABLES_BYTES = 5 * 2 * MAX_OBJECTS;

// Fixed text of the players' default code: ten digits, three lower-case letters.
constexpr std::string_view DEFAULT_PLAYER_CODE = "7305182946qdx";

// The file as it grows: bytes appended in file order. Position() is the 1-based
// position of the next byte. The zeros that end the file (the empty object tables and
// index) are only counted: the file is made that long when it is written, and a file
// lengthened reads as zeros there.
class UniverseImage {
 public:
  long long Position() const { return static_cast<long long>(bytes_.size() + zeroTail_) + 1; }
  void Reserve(size_t n) { bytes_.reserve(n); }
  void Append(const std::vector<uint8_t>& b) {
    HoldZeroTail();
    bytes_.insert(bytes_.end(), b.begin(), b.end());
  }
  void Append(const Record& r) { Append(r.bytes()); }
  void AppendZeros(size_t n) {
    HoldZeroTail();
    bytes_.resize(bytes_.size() + n, 0);
  }
  // Zeros that may end the file.
  void AppendZeroTail(size_t n) { zeroTail_ += n; }
  // Puts a record over bytes appended before, at `pos`.
  void Put(long long pos, const Record& r) {
    std::copy(r.bytes().begin(), r.bytes().end(), bytes_.begin() + (pos - 1));
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }  // without the zero tail
  long long Length() const { return static_cast<long long>(bytes_.size() + zeroTail_); }

 private:
  // Zeros followed by more bytes are held like any others.
  void HoldZeroTail() {
    bytes_.resize(bytes_.size() + zeroTail_, 0);
    zeroTail_ = 0;
  }
  std::vector<uint8_t> bytes_;
  size_t zeroTail_ = 0;
};

int32_t ActiveMask(const UniverseTables& t) {
  uint32_t mask = 0;
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    if (t.playerActive[p] > 0) mask |= 1u << (p - 1);
  }
  return static_cast<int32_t>(mask);
}

// The race ID of the race-list entry a player plays, or 0 when there is none.
int32_t PlayerRaceId(const PackSession& s, int p) {
  const int entry = s.tables.playerRace[p];
  if (entry < 1 || entry > MAX_RACES) return 0;
  return s.packs.raceList[entry].raceId;
}

// The body of the main data file: everything after its 100-byte header. Without one
// (none passed its header test at start-up, or it changed since), the error says why.
std::vector<uint8_t> ReadDataFileBody(const PackSession& s) {
  const std::string& path = s.tables.dataFilePath;
  if (path.empty()) throw RuntimeError(NoDataFileReason(s.paths.dataDir));
  // Read whole (start-up's header test has read it once already: an unattended build
  // is given it again from what its steady span remembers).
  std::vector<uint8_t> body;
  if (ReadFileHead(path, SIZE_MAX, body) < 0) throw RuntimeError("The main data file " + path + " is missing.");
  if (body.size() < DATA_FILE_HEADER_BYTES) throw RuntimeError("The main data file " + path + " is too short.");
  body.erase(body.begin(), body.begin() + DATA_FILE_HEADER_BYTES);
  return body;
}

// The header's random filler (values 1..255) under the fields that always hold a
// value, then the fields known when the file is begun.
Record BeginHeader(PackSession& s, const std::string& stamp) {
  Record header(UniverseHeaderLayout());
  for (size_t off = UNIVERSE_FILLER_POS - 1; off < header.bytes().size(); ++off) {
    header.bytes()[off] = static_cast<uint8_t>(Draw(s.random, 254, 1));
  }
  header.SetFixedValues();
  header.SetBytes("title", UNIVERSE_FILE_HEADER);
  header.SetText("timeStampAgain", stamp);
  header.Set("tableBase", UNIVERSE_TABLE_BASE);
  header.Set("serialCounter", 0);
  header.Set("lastPlanetId", 0);
  return header;
}

// The race data block of the game race taken from race-list entry `entry`.
Record RaceDataBlock(PackSession& s, int entry) {
  Record block(RaceDataBlockLayout());
  ReadRaceRecord(s, entry);
  block.SetBytes("raceRecord", s.packs.scratchRace);
  for (int k = 1; k <= 3; ++k) {
    ReadRaceUnitRecord(s, entry, k);
    block.SetBytes("unitRecords", s.packs.scratchRaceUnit, k);
  }
  for (int k = 1; k <= 3; ++k) {
    ReadRaceExtraRecord(s, entry, k);
    block.SetBytes("extraRecords", s.packs.scratchRaceExtra, k);
  }
  return block;
}

// Race data: a block for each of the 30 game races, in place whether used or not.
void AppendRaceData(PackSession& s, UniverseImage& img, Record& directory) {
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    directory.Set("raceBlockPos", img.Position(), k);
    const PackEntry& g = s.tables.gameRaceList[k];
    img.Append(g.id > 0 ? RaceDataBlock(s, g.sourceEntry) : Record(RaceDataBlockLayout()));
  }
}

// The empty object tables and index; no objects yet, so the records begin and end at
// the file's end.
void AppendEmptyObjectStore(PackSession& s, UniverseImage& img, Record& directory) {
  directory.Set("objectTablesPos", img.Position());
  img.AppendZeroTail(OBJECT_TABLES_BYTES);
  directory.Set("indexPos", img.Position());
  LogLine(s, "Size = " + NumText(ObjectIndexEntryLayout().size()));
  img.AppendZeroTail(static_cast<size_t>(ObjectIndexEntryLayout().size()) * MAX_OBJECTS);
  directory.Set("recordsPos", img.Position());  // the file length + 1
  directory.Set("objectCount", 0);
  directory.Set("dataEnd", img.Position());
}

// ---- The player section, in its table order ------------------------------------------

// The races in play, and each player's race ID in the header.
void SetRacesInPlay(const UniverseTables& t, Record& header, Record& section) {
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    const PackEntry& g = t.gameRaceList[k];
    section.Set("raceRevision", g.revision > 0 ? g.revision : 0, k);
    section.SetBytes("raceFileStem", StoredStem(g.fileStem), k);
    section.Set("raceId", g.id > 0 ? g.id : 0, k);
  }
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    const int gr = t.playerGameRace[p];
    header.Set("playerRaceId", gr >= 1 && gr <= MAX_PLAYERS ? t.gameRaceList[gr].id : 0, p);
  }
}

// "Player" and the slot number, thirty times, under a key of its own.
void SetPlayerNames(PackSession& s, Record& section) {
  const int key = static_cast<int>(Draw(s.random, 200, 3));
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    section.SetBytes("playerName", Scrambled(key, FixedText("Player " + NumText(p), 60)), p);
  }
  section.Set("playerNameKey", key);
}

void SetShipPackList(const UniverseTables& t, Record& section) {
  for (int k = 1; k <= MAX_SHIP_PACKS; ++k) {
    const PackEntry& sp = t.shipPackList[k];
    section.Set("packRevision", sp.revision, k);
    section.Set("packId", sp.id, k);
    section.SetBytes("packFileStem", StoredStem(sp.fileStem), k);
  }
}

// Twenty blanks and the default code, each scrambled once under a key of its own and
// stored thirty times.
void SetDefaultTexts(PackSession& s, Record& section) {
  const int blankKey = static_cast<int>(Draw(s.random, 200, 4));
  const std::string blanks = Scrambled(blankKey, std::string(20, ' '));
  for (int p = 1; p <= MAX_PLAYERS; ++p) section.SetBytes("blankText", blanks, p);
  section.Set("blankTextKey", blankKey);

  const int codeKey = static_cast<int>(Draw(s.random, 200, 5));
  const std::string code = Scrambled(codeKey, std::string(DEFAULT_PLAYER_CODE));
  for (int p = 1; p <= MAX_PLAYERS; ++p) section.SetBytes("playerCode", code, p);
  section.Set("playerCodeKey", codeKey);
}

void SetPlayerTables(const UniverseTables& t, Record& section) {
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    section.Set("playerGameRace", t.playerGameRace[p], p);
    section.Set("playerFlags", (t.playerRace[p] > 0 ? 2 : 0) + (t.playerActive[p] > 0 ? 1 : 0), p);
  }
}

// Game identifier: the time of day in whole seconds plus 100000 times the sum of the
// character codes of today's date text.
int32_t MakeGameId(const PackSession& s) {
  long long dateSum = 0;
  for (unsigned char c : DateText(s.clock->Now())) dateSum += c;
  return CheckedI32(RoundToInt(s.clock->SecondsSinceMidnight()) + 100000 * dateSum, "game id");
}

void SetGameNames(const UniverseTables& t, Record& section) {
  section.SetText("gameName", t.gameName);
  section.SetText("hostName", t.hostName);
  // Result file names: the prefix and the slot number as two digits.
  const std::string prefix = TrimBlanks(t.rstName);
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    const std::string number = std::string(1, char('0' + p / 10)) + char('0' + p % 10);
    section.SetText("resultFileName", prefix + number, p);
  }
}

// The fields of a player record that FillPlayerRecord sets, found by name once for all
// thirty records (a field of a layout is the same for every record of it).
struct PlayerFields {
  const Field &gameRace, &playerNumber, &activeMask, &code1, &code2, &money, &exoticA, &exoticB, &exoticAAgain,
      &exoticBAgain;
  // Starting technology, in the order of TECH_LEVELS.
  std::array<const Field*, 9> tech;
};

// The starting technology levels, by the field that holds each: the TECH block's values
// when a script gave one, else the defaults.
struct TechLevel {
  const char* field;
  int32_t byDefault;
  int32_t UniverseTables::*fromScript;
};
constexpr TechLevel TECH_LEVELS[] = {
    {"techPlanet", 1, &UniverseTables::techPlanet}, {"techLarge", 0, &UniverseTables::techLarge},
    {"techSmall", 1, &UniverseTables::techSmall},   {"techPd", 0, &UniverseTables::techPd},
    {"techGen", 1, &UniverseTables::techGen},       {"techEngine", 6, &UniverseTables::techEngine},
    {"techHull", 1, &UniverseTables::techHull},     {"techHyp", 1, &UniverseTables::techHyp},
    {"techShield", 1, &UniverseTables::techShield}};

PlayerFields FindPlayerFields(const RecordLayout& l) {
  PlayerFields f{l.Get("gameRace"), l.Get("playerNumber"), l.Get("activeMask"), l.Get("code1"), l.Get("code2"),
                 l.Get("money"),    l.Get("exoticA"),      l.Get("exoticB"),    l.Get("exoticAAgain"),
                 l.Get("exoticBAgain"), {}};
  for (size_t i = 0; i < f.tech.size(); ++i) f.tech[i] = &l.Get(TECH_LEVELS[i].field);
  return f;
}

void FillPlayerRecord(PackSession& s, Record& r, const PlayerFields& f, int p, int32_t activeMask) {
  const UniverseTables& t = s.tables;
  r.Clear();
  r.SetFixedValues();
  r.Set(f.gameRace, t.playerGameRace[p]);
  r.Set(f.playerNumber, p);
  r.Set(f.activeMask, activeMask);
  for (const Field* field : {&f.code1, &f.code2}) {
    std::string code(3, ' ');
    for (char& c : code) c = static_cast<char>(Draw(s.random, 25, 65));
    r.SetText(*field, code);
  }
  int32_t money = PlayerRaceId(s, p) == 106 ? 3000 : 2000;
  if (t.galMoney > 0) money = t.galMoney;
  if (t.playerMoney[p] > 0) money = t.playerMoney[p];
  r.Set(f.money, money);
  r.Set(f.exoticA, t.exoticA[p]);
  r.Set(f.exoticB, t.exoticB[p]);
  r.Set(f.exoticAAgain, t.exoticA[p]);
  r.Set(f.exoticBAgain, t.exoticB[p]);
  for (size_t i = 0; i < f.tech.size(); ++i) {
    r.Set(*f.tech[i], t.scriptTech ? t.*TECH_LEVELS[i].fromScript : TECH_LEVELS[i].byDefault);
  }
}

// A record's bytes, to be held inside a larger record.
std::string_view BytesOf(const Record& r) {
  return {reinterpret_cast<const char*>(r.bytes().data()), r.bytes().size()};
}

// The player records, after a fresh seeding.
void SetPlayerRecords(PackSession& s, Record& section, int32_t activeMask) {
  s.random.Seed(s.clock->SecondsSinceMidnight());
  Record record(PlayerRecordLayout());
  const PlayerFields fields = FindPlayerFields(record.layout());
  const Field& records = section.layout().Get("playerRecords");
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    FillPlayerRecord(s, record, fields, p, activeMask);
    section.SetBytes(records, BytesOf(record), p);
  }
}

// Ninety letters A..T, then the rate table: drawn row by row, stored with the row index
// varying fastest.
void SetLettersAndRates(PackSession& s, Record& section) {
  std::string letters(90, ' ');
  for (char& c : letters) c = static_cast<char>(static_cast<int>(s.random.Next() * 20) + 65);
  section.SetText("letters", letters);
  for (int i = 1; i <= 12; ++i) {
    double v = 2.0;
    for (int j = 1; j <= 10; ++j) {
      v = v + s.random.Next() * 0.2 - 0.1;
      if (v < 0.4) v = s.random.Next() * 0.2 + 0.4;
      section.SetFloat("rateTable", static_cast<float>(v), i + 12 * (j - 1));
    }
  }
}

// Site records spread over the map's extent. One record serves every site: each sets
// the same fields, and the bytes of no other field are ever set, so they stay zero as in
// a new record. The fields are found by name once.
void SetSiteRecords(PackSession& s, Record& section) {
  const UniverseTables& t = s.tables;
  const double cx = t.mapCX, cy = t.mapCY, radius = t.mapRadius;
  Record site(SiteRecordLayout());
  const RecordLayout& l = site.layout();
  const Field &x = l.Get("x"), &y = l.Get("y"), &magnitude = l.Get("magnitude"), &values = l.Get("values");
  const Field& sites = section.layout().Get("siteRecords");
  for (int n = 1; n <= 100; ++n) {
    site.Set(x, Draw(s.random, 2 * radius, cx - radius));
    site.Set(y, Draw(s.random, 2 * radius, cy - radius));
    site.Set(magnitude, Draw(s.random, 3000, 250));
    for (int v = 1; v <= 12; ++v) {
      long long value = Draw(s.random, 3000, 3000);
      if (s.random.Next() < 0.05) value = Draw(s.random, 40000, 3000);
      site.Set(values, value, v);
    }
    section.SetBytes(sites, BytesOf(site), n);
  }
}

// The player section; fills the header fields that repeat its values.
Record PlayerSection(PackSession& s, Record& header, const std::string& stamp) {
  UniverseTables& t = s.tables;
  Record section(PlayerSectionLayout());
  section.SetFixedValues();
  SetRacesInPlay(t, header, section);
  SetPlayerNames(s, section);
  SetShipPackList(t, section);
  section.SetText("timeStamp", stamp);
  header.SetText("timeStamp", stamp);
  SetDefaultTexts(s, section);
  SetPlayerTables(t, section);
  t.gameId = MakeGameId(s);
  section.Set("gameId", t.gameId);
  header.Set("gameId", t.gameId);
  SetGameNames(t, section);
  const int32_t activeMask = ActiveMask(t);
  header.Set("activeMask", activeMask);
  SetPlayerRecords(s, section, activeMask);
  SetLettersAndRates(s, section);
  SetSiteRecords(s, section);
  section.Set("mapKindCode", t.mapKindCode);
  return section;
}

// The length of the file's image without its zero tail: the image is made at its full
// size at once instead of growing (which copies it, and for a while holds it twice). The main data file's body
// is counted from the data file's length now; should it not be there, or differ when
// it is read, the image only grows as it needs.
size_t ExpectedFileLength(const PackSession& s) {
  const long long dataFile = s.tables.dataFilePath.empty() ? -1 : FileLength(s.tables.dataFilePath);
  const size_t fixed = static_cast<size_t>(UniverseHeaderLayout().size()) + UniverseDirectoryLayout().size() +
                       static_cast<size_t>(RaceDataBlockLayout().size()) * MAX_PLAYERS + RESERVED_AREA_BYTES +
                       SettingsBlockLayout().size() + PlayerSectionLayout().size();
  return fixed + static_cast<size_t>(std::max<long long>(dataFile - DATA_FILE_HEADER_BYTES, 0));
}

// Creates the file with the image's bytes, lengthened by its zero tail; a failed write
// removes what it made.
void WriteFileInOnePiece(const std::string& path, const UniverseImage& img) {
  try {
    BinaryFile f(path, BinaryFile::Mode::Create);
    f.Write(1, img.bytes());
    f.SetLength(img.Length());
    f.Close();
  } catch (const RuntimeError&) {
    try {
      DeleteFileAt(path);
    } catch (const RuntimeError&) {
      // The write's own failure is the one to report.
    }
    throw;
  }
}

}  // namespace

void WriteUniverseFile(PackSession& s) {
  UniverseTables& t = s.tables;
  t.writtenUniverseEpoch = 0;

  LoadShipPacks(s);
  s.random.Seed(s.clock->SecondsSinceMidnight());
  const std::string stamp = DateTimeText(s.clock->Now());
  t.universeTimeStamp = stamp;
  ValidateRaceHulls(s);

  UniverseImage img;
  img.Reserve(ExpectedFileLength(s));
  Record header = BeginHeader(s, stamp);
  img.Append(header);  // put again at the end, once the player section has filled it
  Record directory(UniverseDirectoryLayout());
  img.Append(directory);

  AppendRaceData(s, img, directory);
  directory.Set("dataCopyPos", img.Position());
  img.Append(ReadDataFileBody(s));
  directory.Set("reservedPos", img.Position());
  img.AppendZeros(RESERVED_AREA_BYTES);
  directory.Set("settingsPos", img.Position());
  Record settings(SettingsBlockLayout());
  settings.SetFixedValues();
  img.Append(settings);
  directory.Set("playerSectionPos", img.Position());
  img.Append(PlayerSection(s, header, stamp));

  AppendEmptyObjectStore(s, img, directory);

  img.Put(1, header);
  img.Put(UNIVERSE_TABLE_BASE, directory);
  WriteFileInOnePiece(t.universeFilePath, img);
  t.writtenUniversePath = t.universeFilePath;
  t.writtenUniverseEpoch = SteadyFoldersEpoch();
}

}  // namespace tarvik
