// WriteUniverseFile: the universe file as the game host first sees it. The whole file
// is laid out in memory at its 1-based positions and written in one piece, so a
// failure part-way (a missing data file, a race module that cannot be read, a full
// disk) never leaves a short file behind: the partly written file is removed and
// the failure goes to the caller as a RuntimeError.
//
// Random draws happen in the order the file is laid out, with the generator seeded
// from the time of day before the filler bytes and again before the player records.
#include "writer/universe_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "log/run_log.h"
#include "packs/pack_session.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "packs/ship_packs.h"
#include "platform/files.h"
#include "platform/rounding.h"
#include "universe/records.h"

namespace tarvik {

namespace {

constexpr int kRaceBlockSize = 1138;
constexpr int kDataFileHeaderBytes = 100;
constexpr int kReservedAreaBytes = 200;
constexpr int kSettingsBlockBytes = 9000;
constexpr int kPlayerSectionBytes = 27848;
constexpr int kObjectTablesBytes = 5 * 2 * MAX_OBJECTS;
constexpr int kObjectIndexBytes = 12 * MAX_OBJECTS;
constexpr int kPlayerRecordSize = 226;
constexpr int kSiteRecordSize = 68;

// Fixed text of the players' default code: ten digits, three lower-case letters.
constexpr std::string_view kDefaultPlayerCode = "7305182946qdx";

// The file image, addressed by 1-based file positions.
class UniverseImage {
 public:
  void Byte(long long pos, uint8_t b) { w_.Bytes(Off(pos), &b, 1); }
  void I16(long long pos, int16_t v) { w_.I16(Off(pos), v); }
  void I32(long long pos, long long v) { w_.I32(Off(pos), CheckedI32(v, "universe file value")); }
  void F32(long long pos, float v) { w_.F32(Off(pos), v); }
  void Text(long long pos, std::string_view text) { w_.Text(Off(pos), text); }
  void Bytes(long long pos, const std::vector<uint8_t>& b) { w_.Bytes(Off(pos), b.data(), b.size()); }
  // Zero bytes, also over bytes written before (the filler under header fields).
  void Zeros(long long pos, size_t n) {
    const size_t off = Off(pos);
    w_.Zeros(off, n);
    std::fill_n(w_.data().begin() + static_cast<std::ptrdiff_t>(off), n, uint8_t{0});
  }
  const std::vector<uint8_t>& data() const { return w_.data(); }

 private:
  static size_t Off(long long pos) {
    if (pos < 1) throw RuntimeError("bad universe file position " + std::to_string(pos));
    return static_cast<size_t>(pos - 1);
  }
  ByteWriter w_;
};

// A file stem as stored: exactly 8 bytes, NUL-padded.
std::string Stem8(const std::string& stem) {
  std::string s = stem.substr(0, 8);
  s.resize(8, '\0');
  return s;
}

// A whole number from a draw, rounded to the nearest, ties to even.
long long Draw(PackSession& s, double scale, double offset) { return RoundToInt(s.random.Next() * scale + offset); }

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

// The body of the main data file: everything after its 100-byte header.
std::vector<uint8_t> ReadDataFileBody(const std::string& path) {
  if (path.empty() || !FileExists(path)) throw RuntimeError("Data file missing: " + path);
  BinaryFile f(path, BinaryFile::Mode::Read);
  const long long length = f.Length();
  if (length < kDataFileHeaderBytes) throw RuntimeError("Data file too short: " + path);
  std::vector<uint8_t> body = f.Read(kDataFileHeaderBytes + 1, static_cast<size_t>(length - kDataFileHeaderBytes));
  f.Close();
  return body;
}

void WriteRaceBlock(PackSession& s, UniverseImage& img, int entry, long long pos) {
  ReadRaceRecord(s, entry);
  img.Bytes(pos, s.packs.scratchRace.bytes());
  for (int k = 1; k <= 3; ++k) {
    ReadRaceUnitRecord(s, entry, k);
    img.Bytes(pos + 622 + 98 * (k - 1), s.packs.scratchRaceUnit.bytes());
  }
  for (int k = 1; k <= 3; ++k) {
    ReadRaceExtraRecord(s, entry, k);
    img.Bytes(pos + 916 + 74 * (k - 1), s.packs.scratchRaceExtra.bytes());
  }
}

void WriteSettingsBlock(UniverseImage& img, long long pos) {
  img.Zeros(pos, kSettingsBlockBytes);
  img.I32(pos + 0, 101);
  img.I16(pos + 4, 5);
  img.I32(pos + 6, 200);
  img.I32(pos + 10, 100);
  img.I32(pos + 14, 50);
  img.I32(pos + 18, 10);
  img.I16(pos + 22, 100);
  img.I16(pos + 24, 40);
  img.I16(pos + 26, 80);
  img.I16(pos + 28, 160);
  img.I16(pos + 30, 15);
  img.I16(pos + 32, 100);
  img.I16(pos + 34, 40);
}

void FillPlayerRecord(PackSession& s, Record& r, int p, int32_t activeMask) {
  const UniverseTables& t = s.tables;
  r.Clear();
  r.Set("gameRace", t.playerGameRace[p]);
  r.Set("playerNumber", p);
  r.Set("activeMask", activeMask);
  r.SetI32At(56, 2147483647);
  for (const char* field : {"code1", "code2"}) {
    std::string code(3, ' ');
    for (char& c : code) c = static_cast<char>(Draw(s, 25, 65));
    r.SetText(field, code);
  }
  r.SetI32At(78, 5);
  int32_t money = PlayerRaceId(s, p) == 106 ? 3000 : 2000;
  if (t.galMoney > 0) money = t.galMoney;
  if (t.playerMoney[p] > 0) money = t.playerMoney[p];
  r.Set("money", money);
  r.SetI32At(118, 150);
  r.Set("exoticA", t.exoticA[p]);
  r.Set("exoticB", t.exoticB[p]);
  r.SetI32At(194, t.exoticA[p]);
  r.SetI32At(198, t.exoticB[p]);
  // Starting technology: the TECH block's values when a script gave one, else the
  // defaults.
  const struct {
    const char* field;
    int32_t byDefault;
    int32_t fromScript;
  } tech[] = {{"techPlanet", 1, t.techPlanet}, {"techLarge", 0, t.techLarge}, {"techSmall", 1, t.techSmall},
              {"techPd", 0, t.techPd},         {"techGen", 1, t.techGen},     {"techEngine", 6, t.techEngine},
              {"techHull", 1, t.techHull},     {"techHyp", 1, t.techHyp},     {"techShield", 1, t.techShield}};
  for (const auto& level : tech) r.Set(level.field, t.scriptTech ? level.fromScript : level.byDefault);
}

// The player section at `pos`, in its table order; fills the header fields that
// repeat its values.
void WritePlayerSection(PackSession& s, UniverseImage& img, long long pos, const std::string& stamp) {
  UniverseTables& t = s.tables;

  // Races in play, and each player's race ID in the header.
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    const PackEntry& g = t.gameRaceList[k];
    img.I32(pos + 4 * (k - 1), g.revision > 0 ? g.revision : 0);
    img.Text(pos + 120 + 8 * (k - 1), Stem8(g.fileStem));
    img.I32(pos + 360 + 4 * (k - 1), g.id > 0 ? g.id : 0);
  }
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    const int gr = t.playerGameRace[p];
    img.I32(221 + 4 * (p - 1), gr >= 1 && gr <= MAX_PLAYERS ? t.gameRaceList[gr].id : 0);
  }

  // Player names under key 1.
  const int key1 = static_cast<int>(Draw(s, 200, 3));
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    std::string name = FixedText("Player " + NumText(p), 60);
    ScrambleName(key1, name);
    img.Text(pos + 480 + 60 * (p - 1), name);
  }
  img.I16(pos + 2280, static_cast<int16_t>(key1));

  img.Zeros(pos + 2282, 120);
  for (int k = 1; k <= MAX_SHIP_PACKS; ++k) {
    const PackEntry& sp = t.shipPackList[k];
    img.I32(pos + 2402 + 4 * (k - 1), sp.revision);
    img.I32(pos + 2562 + 4 * (k - 1), sp.id);
    img.Text(pos + 2722 + 8 * (k - 1), Stem8(sp.fileStem));
  }
  img.Zeros(101, 120);
  img.I32(pos + 3042, 0);
  img.I32(349, 0);
  img.Text(pos + 3046, stamp);
  img.Text(353, stamp);

  // Twenty blanks under key 2, thirty times.
  const int key2 = static_cast<int>(Draw(s, 200, 4));
  const std::string blanks = Scrambled(key2, std::string(20, ' '));
  for (int p = 1; p <= MAX_PLAYERS; ++p) img.Text(pos + 3064 + 20 * (p - 1), blanks);
  img.I16(pos + 3664, static_cast<int16_t>(key2));

  // The default code under key 3, thirty times.
  const int key3 = static_cast<int>(Draw(s, 200, 5));
  const std::string code = Scrambled(key3, std::string(kDefaultPlayerCode));
  for (int p = 1; p <= MAX_PLAYERS; ++p) img.Text(pos + 3666 + 13 * (p - 1), code);
  img.I16(pos + 4056, static_cast<int16_t>(key3));

  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    img.I32(pos + 4058 + 4 * (p - 1), t.playerGameRace[p]);
    const int flags = (t.playerRace[p] > 0 ? 2 : 0) + (t.playerActive[p] > 0 ? 1 : 0);
    img.I32(pos + 4178 + 4 * (p - 1), flags);
  }

  // Game identifier: the time of day in whole seconds plus 100000 times the sum of
  // the character codes of today's date text.
  long long dateSum = 0;
  for (unsigned char c : DateText(s.clock->Now())) dateSum += c;
  t.gameId = CheckedI32(RoundToInt(s.clock->SecondsSinceMidnight()) + 100000 * dateSum, "game id");
  img.I32(pos + 4298, t.gameId);
  img.I32(345, t.gameId);

  img.Text(pos + 4302, FixedText(t.gameName, 44));
  img.Text(pos + 4346, FixedText(t.hostName, 44));
  const std::string prefix = TrimBlanks(t.rstName);
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    const std::string number = std::string(1, char('0' + p / 10)) + char('0' + p % 10);
    img.Text(pos + 4390 + 8 * (p - 1), FixedText(prefix + number, 8));
  }

  img.I32(pos + 4630, 101);
  const int32_t activeMask = ActiveMask(t);
  img.I32(341, activeMask);

  // Player records, after a fresh seeding.
  s.random.Seed(s.clock->SecondsSinceMidnight());
  Record record(PlayerRecordLayout());
  for (int p = 1; p <= MAX_PLAYERS; ++p) {
    FillPlayerRecord(s, record, p, activeMask);
    img.Bytes(pos + 4634 + kPlayerRecordSize * (p - 1), record.bytes());
  }

  // Ninety letters A..T.
  std::string letters(90, ' ');
  for (char& c : letters) c = static_cast<char>(static_cast<int>(s.random.Next() * 20) + 65);
  img.Text(pos + 11414, letters);

  // Rate table: drawn row by row, stored with the row index varying fastest.
  for (int i = 1; i <= 12; ++i) {
    double v = 2.0;
    for (int j = 1; j <= 10; ++j) {
      v = v + s.random.Next() * 0.2 - 0.1;
      if (v < 0.4) v = s.random.Next() * 0.2 + 0.4;
      img.F32(pos + 11504 + 4 * ((i - 1) + 12 * (j - 1)), static_cast<float>(v));
    }
  }

  // Site records spread over the map's extent.
  for (int n = 1; n <= 100; ++n) {
    const long long site = pos + 11984 + kSiteRecordSize * (n - 1);
    const double cx = t.mapCX, cy = t.mapCY, radius = t.mapRadius;
    img.I32(site, Draw(s, 2 * radius, cx - radius));
    img.I32(site + 4, Draw(s, 2 * radius, cy - radius));
    img.I32(site + 8, Draw(s, 3000, 250));
    for (int v = 1; v <= 12; ++v) {
      long long value = Draw(s, 3000, 3000);
      if (s.random.Next() < 0.05) value = Draw(s, 40000, 3000);
      img.I32(site + 12 + 4 * (v - 1), value);
    }
    img.I32(site + 60, 0);
    img.I32(site + 64, 0);
  }

  img.Zeros(pos + 18784, 60);
  img.I32(pos + 18844, t.mapKindCode);
  img.Zeros(pos + 18848, 9000);
}

}  // namespace

void WriteUniverseFile(PackSession& s) {
  UniverseTables& t = s.tables;

  LoadShipPacks(s);
  s.random.Seed(s.clock->SecondsSinceMidnight());
  const std::string stamp = DateTimeText(s.clock->Now());
  t.universeTimeStamp = stamp;
  ValidateRaceHulls(s);

  UniverseImage img;
  img.Zeros(1, 100);
  img.Text(1, UNIVERSE_FILE_HEADER);

  // Filler bytes 1..255.
  for (int pos = 101; pos <= 629; ++pos) {
    img.Byte(pos, static_cast<uint8_t>(Draw(s, 254, 1)));
  }

  img.I32(371, 0);
  img.I32(375, 131313);
  img.I32(401, 102);
  img.Text(409, stamp);
  img.I32(473, UNIVERSE_TABLE_BASE);
  img.I32(477, 0);  // serialCounter
  img.I32(481, 0);  // lastPlanetId
  img.I32(485, 0);
  img.I32(489, 0);

  // Directory and race data: every block keeps its place, used or not.
  img.Zeros(UNIVERSE_TABLE_BASE, 120);
  long long dirPos = 750;
  long long dataPos = 980;
  for (int k = 1; k <= MAX_PLAYERS; ++k) {
    img.I32(dirPos, dataPos);
    if (t.gameRaceList[k].id > 0) {
      WriteRaceBlock(s, img, t.gameRaceList[k].sourceEntry, dataPos);
    } else {
      img.Zeros(dataPos, kRaceBlockSize);
    }
    dirPos += 4;
    dataPos += kRaceBlockSize;
  }

  // The main data file's body.
  const std::vector<uint8_t> body = ReadDataFileBody(t.dataFilePath);
  img.I32(870, dataPos);
  img.Bytes(dataPos, body);
  dataPos += static_cast<long long>(body.size());

  img.I32(874, dataPos);
  img.Zeros(dataPos, kReservedAreaBytes);
  dataPos += kReservedAreaBytes;
  img.I32(878, dataPos);
  WriteSettingsBlock(img, dataPos);
  dataPos += kSettingsBlockBytes;

  img.I32(882, dataPos);
  WritePlayerSection(s, img, dataPos, stamp);
  dataPos += kPlayerSectionBytes;

  img.I32(886, dataPos);  // objectTablesPos
  img.Zeros(dataPos, kObjectTablesBytes);
  dataPos += kObjectTablesBytes;

  img.I32(890, dataPos);  // indexPos
  LogLine(s, "Size = " + NumText(12));
  img.Zeros(dataPos, kObjectIndexBytes);
  dataPos += kObjectIndexBytes;

  // recordsPos and dataEnd: the file length + 1; no objects yet.
  img.I32(894, dataPos);
  img.I32(898, 0);
  img.I32(902, dataPos);

  const std::string& path = t.universeFilePath;
  try {
    BinaryFile f(path, BinaryFile::Mode::Create);
    f.Write(1, img.data());
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

}  // namespace tarvik
