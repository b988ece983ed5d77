// Every fast path against the plain way it replaces, on random inputs and on inputs
// built to tie or collide: the same answers, ties included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "base/errors.h"
#include "base/name_table.h"
#include "base/text.h"
#include "forge/forge.h"
#include "generate/start_layouts.h"
#include "generation_game.h"
#include "survey/fairness.h"
#include "survey/universe_view.h"
#include "log/run_log.h"
#include "objects/object_kinds.h"
#include "objects/planet_grid.h"
#include "objects/ship_construction.h"
#include "packs/race_modules.h"
#include "packs/ship_packs.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/mapped_file.h"
#include "platform/random.h"
#include "platform/rounding.h"
#include "script/keyword_tables.h"
#include "script/line_marks.h"
#include "script/planet_names.h"
#include "script/script_line.h"
#include "script/script_reader.h"
#include "script/values.h"
#include "universe/records.h"
#include "test_support.h"

namespace tarvik {
namespace {

// A text of up to `longest` characters drawn from `letters`.
std::string RandomText(std::mt19937& rng, const std::string& letters, size_t longest) {
  std::string text(rng() % (longest + 1), ' ');
  for (char& c : text) c = letters[rng() % letters.size()];
  return text;
}

// Whether fn fails with a RuntimeError.
template <typename Fn>
bool Fails(Fn fn) {
  try {
    fn();
  } catch (const RuntimeError&) {
    return true;
  }
  return false;
}

// ---- Names looked up in a table ---------------------------------------------------------

// Both name tables against a map: NameTable for names of any length, ShortNameIndex for
// names of 1 to 16 bytes (it refuses others and never finds them); and NameTable's own
// upper-casing look-up against the look-up of the upper-cased copy.
TEST(FastPaths, NameTablesAnswerAsAMapDoes) {
  std::mt19937 rng(11);
  // Letters of both cases and the bytes on either side of each range ('@' '[' '`' '{'),
  // with and without the top bit.
  const std::string letters = "AaZzMm@[`{0(\xc1\xe1\xda\xfa\x80" "19X)";
  auto randomName = [&] { return RandomText(rng, letters, 21); };
  int shortFound = 0, upperFound = 0;
  for (int round = 0; round < 20; ++round) {
    NameTable<int> table;
    ShortNameIndex<int> index;
    std::map<std::string, int> plain, plainShort;
    std::vector<std::string> drawn, names;
    for (int i = 0; i < 300; ++i) {
      drawn.push_back(randomName());
      // Built to collide: the same length, first and last bytes, a different middle.
      if (i % 3 == 0 && drawn.back().size() >= 3) drawn.back()[drawn.back().size() / 2] ^= 1;
      // Upper-case names, as the keyword tables hold, and some that are not.
      const std::string& name = names.emplace_back(i % 4 ? UpperAscii(drawn.back()) : drawn.back());
      // The first value given a name stays, as a map's emplace keeps it.
      EXPECT_EQ(table.Add(name, i), plain.emplace(name, i).second);
      const bool isShort = !name.empty() && name.size() <= 16;
      EXPECT_EQ(index.Add(name, i), isShort && plainShort.emplace(name, i).second);
    }
    EXPECT_EQ(table.size(), plain.size());
    EXPECT_EQ(index.size(), plainShort.size());
    for (int i = 0; i < 1200; ++i) {
      // The names added, as drawn, in lower case, and others.
      const size_t k = static_cast<size_t>(i % 300);
      const std::string name = i < 300 ? names[k] : i < 600 ? drawn[k] : i < 900 ? LowerAscii(drawn[k]) : randomName();
      const auto it = plain.find(name);
      const int* found = table.Find(name);
      ASSERT_EQ(found != nullptr, it != plain.end()) << name;
      if (found) {
        EXPECT_EQ(*found, it->second) << name;
      }
      const auto shortIt = plainShort.find(name);
      const int* shortHit = index.Find(name);
      ASSERT_EQ(shortHit != nullptr, shortIt != plainShort.end()) << name;
      if (shortHit) {
        EXPECT_EQ(*shortHit, shortIt->second) << name;
        ++shortFound;
      }
      const int* upper = table.FindUpperCased(name);
      ASSERT_EQ(upper, table.Find(UpperAscii(name))) << name;
      upperFound += upper != nullptr;
    }
  }
  EXPECT_GT(shortFound, 6000);
  EXPECT_GT(upperFound, 12000);
}

// The names a look-up is tried with: each name, and near misses of it (a byte changed at
// its start, middle or end, in the other letter case, cut short, made longer).
std::vector<std::string> NearNames(const std::vector<std::string>& names) {
  std::vector<std::string> tried;
  for (const std::string& name : names) {
    tried.push_back(name);
    if (name.empty()) continue;
    for (const size_t at : {size_t{0}, name.size() / 2, name.size() - 1}) {
      std::string changed = name;
      changed[at] ^= 1;
      tried.push_back(changed);
      changed = name;
      changed[at] ^= 0x20;
      tried.push_back(changed);
    }
    tried.push_back(name.substr(0, name.size() - 1));
    tried.push_back(name + "1");
    tried.push_back(name + "(0)");
  }
  tried.push_back("");
  return tried;
}

// The first field of that name, as a scan of the layout finds it.
const Field* PlainField(const RecordLayout& layout, std::string_view name) {
  for (const Field& f : layout.fields()) {
    if (!f.name.empty() && f.name == name) return &f;
  }
  return nullptr;
}

TEST(FastPaths, EveryRecordFieldIsFoundAsTheScanOfItsLayoutFindsIt) {
  int found = 0;
  for (const RecordLayout* layout : AllRecordLayouts()) {
    SCOPED_TRACE(std::string(layout->name()));
    std::vector<std::string> names;
    for (const Field& f : layout->fields()) names.emplace_back(f.name);
    for (const std::string& name : NearNames(names)) {
      const Field* plain = PlainField(*layout, name);
      ASSERT_EQ(layout->Find(name), plain) << name;
      found += plain != nullptr;
    }
  }
  EXPECT_GT(found, 500);
}

// The row a keyword statement names, by a scan of the kind's rows in order: the keyword
// itself or STEM(i) for an indexed row, then its alias; the first row that fits wins.
KeywordBinding PlainKeyword(const ObjectKindDescriptor& kind, const std::string& keyword) {
  for (const KeywordRow& row : kind.keywords) {
    int index = 0;
    if (row.firstIndex > 0) {
      for (int i = row.firstIndex; i <= row.lastIndex && index == 0; ++i) {
        if (keyword == std::string(row.keyword) + "(" + std::to_string(i) + ")") index = i;
      }
    } else if (keyword == row.keyword) {
      index = 1;
    }
    if (index == 0 && !row.alias.empty() && keyword == row.alias) index = 1;
    if (index == 0) continue;
    return KeywordBinding{&row, PlainField(kind.layout(), row.field), index, {}};
  }
  return KeywordBinding{};
}

TEST(FastPaths, EveryKeywordIsBoundAsTheScanOfItsRowsBindsIt) {
  int found = 0;
  for (const ObjectKindDescriptor& kind : ObjectKinds()) {
    const KeywordTable* table = ObjectKeywordTable(kind.blockKind);
    ASSERT_NE(table, nullptr);
    std::vector<std::string> names;
    for (const KeywordRow& row : kind.keywords) {
      names.emplace_back(row.keyword);
      if (!row.alias.empty()) names.emplace_back(row.alias);
      for (int i = row.firstIndex - 1; row.firstIndex > 0 && i <= row.lastIndex + 1; ++i) {
        names.push_back(std::string(row.keyword) + "(" + std::to_string(i) + ")");
      }
    }
    for (const std::string& name : NearNames(names)) {
      const KeywordBinding plain = PlainKeyword(kind, name);
      // A statement may write its keyword in any letter case.
      ASSERT_EQ(table->FindAnyCase(name), table->Find(UpperAscii(name))) << name;
      ASSERT_EQ(table->FindAnyCase(LowerAscii(name)), table->Find(UpperAscii(name))) << name;
      // The index of short keywords holds each keyword the table holds of 1 to 16 bytes
      // but ID, and nothing else, with what its binding says: the element's type and
      // place and the row's bounds, or (no element) the binding's number.
      for (const std::string& written : {name, LowerAscii(name)}) {
        const bool indexed = !written.empty() && written.size() <= 16 && written != "ID";
        const KeywordBinding* b = indexed ? table->Find(written) : nullptr;
        const KeywordStatement* k = table->shortKeywords.Find(written);
        ASSERT_EQ(k != nullptr, b != nullptr) << written;
        if (!k) continue;
        if (b->element.field) {
          ASSERT_EQ(k->type, b->element.field->type) << written;
          ASSERT_EQ(k->place, b->element.offset) << written;
          ASSERT_EQ(k->min, b->row->min) << written;
          ASSERT_EQ(k->max, b->row->max) << written;
        } else {
          ASSERT_EQ(k->type, FieldType::Chars) << written;
          ASSERT_EQ(&table->byKeyword.ValueAt(k->place), b) << written;
        }
      }
      const KeywordBinding* fast = table->Find(name);
      ASSERT_EQ(fast != nullptr, plain.row != nullptr) << name;
      if (!fast) continue;
      ++found;
      ASSERT_EQ(fast->row, plain.row) << name;
      ASSERT_EQ(fast->field, plain.field) << name;
      ASSERT_EQ(fast->index, plain.index) << name;
    }
  }
  EXPECT_GT(found, 500);
}

// A number statement writes the element its binding found once as Record::Set writes
// the field and index: the same bytes, and the same refusal of a value that does not
// fit, for the row's bounds, the field's limits, and beyond them.
TEST(FastPaths, ElementsFoundOnceAreWrittenAsTheirFieldAndIndex) {
  std::mt19937 rng(43);
  int written = 0;
  for (const ObjectKindDescriptor& kind : ObjectKinds()) {
    const KeywordTable* table = ObjectKeywordTable(kind.blockKind);
    for (const KeywordRow& row : kind.keywords) {
      for (int index = std::max(1, row.firstIndex); index <= std::max(1, row.lastIndex); ++index) {
        const std::string keyword = row.firstIndex > 0 ? std::string(row.keyword) + "(" + std::to_string(index) + ")"
                                                       : std::string(row.keyword);
        const KeywordBinding* b = table->Find(keyword);
        ASSERT_NE(b, nullptr) << keyword;
        if (b->row != &row) continue;  // an earlier row took the keyword
        if (!b->element.field) continue;
        // Only a number statement with nothing more to do writes its element straight away.
        ASSERT_TRUE(row.kind == ValueKind::Number && row.extra == ExtraAction::None) << keyword;
        ASSERT_EQ(b->element.field, b->field) << keyword;
        Record fast(kind.layout()), plain(kind.layout());
        for (uint8_t& byte : fast.bytes()) byte = static_cast<uint8_t>(rng());
        plain.bytes() = fast.bytes();
        for (const long long v : {0LL, 1LL, -1LL, static_cast<long long>(row.min), static_cast<long long>(row.max),
                                  row.min - 1LL, row.max + 1LL, 32767LL, 32768LL, -32768LL, -32769LL,
                                  static_cast<long long>(INT32_MAX), static_cast<long long>(INT32_MIN),
                                  INT32_MAX + 1LL, INT32_MIN - 1LL, static_cast<long long>(static_cast<int32_t>(rng()))}) {
          Record fitting = fast;  // before the write
          const bool fastThrew = Fails([&] { fast.Set(b->element, v); });
          ASSERT_EQ(fastThrew, Fails([&] { plain.Set(*b->field, v, b->index); })) << keyword << " " << v;
          // A statement writes its element with nothing to catch a failure: no number
          // GetValue gives for the row's bounds (a bound, or 0) fails to fit it.
          if (v == row.min || v == row.max || v == 0) {
            ASSERT_FALSE(fastThrew) << keyword << " " << v;
          }
          ASSERT_EQ(fast.bytes(), plain.bytes()) << keyword << " " << v;
          // The statement's own write (of a keyword the short index holds), for the
          // numbers a statement gives (within the bounds, or 0): the bytes of Set.
          if (keyword.size() <= 16 && ((v >= row.min && v <= row.max) || v == 0)) {
            const KeywordStatement* k = table->shortKeywords.Find(keyword);
            ASSERT_NE(k, nullptr) << keyword;
            fitting.SetFitting(k->type, k->place, static_cast<int32_t>(v));
            ASSERT_EQ(fitting.bytes(), plain.bytes()) << keyword << " " << v;
          }
          ++written;
        }
      }
    }
  }
  EXPECT_GT(written, 5000);
}

// Get and Set of every field of every layout, at indices inside, at and beyond both ends,
// against the element's place worked out plainly (offset + (index - 1) * element width)
// and its bytes read or written there: the same value or bytes, and an error exactly
// where the plain rule refuses (the index first, then a text field, then a value that
// does not fit).
TEST(FastPaths, ElementsReadAndWrittenByFieldAndIndexAreThoseAtTheirPlainPlaces) {
  std::mt19937 rng(47);
  int checked = 0;
  for (const RecordLayout* layout : AllRecordLayouts()) {
    for (const Field& f : layout->fields()) {
      SCOPED_TRACE(std::string(layout->name()) + "." + std::string(f.name) + "@" + std::to_string(f.offset));
      for (const int index : {INT32_MIN, -1, 0, 1, 2, f.count - 1, f.count, f.count + 1,
                              1 + static_cast<int>(rng() % static_cast<unsigned>(f.count))}) {
        const bool inside = index >= 1 && index <= f.count;
        const int at = inside ? f.offset + (index - 1) * f.ElementWidth() : 0;
        for (const long long v : {0LL, -1LL, 32767LL, 32768LL, -32769LL, INT32_MAX + 1LL,
                                  static_cast<long long>(static_cast<int32_t>(rng()))}) {
          Record rec(*layout);
          for (uint8_t& byte : rec.bytes()) byte = static_cast<uint8_t>(rng());
          std::vector<uint8_t> plain = rec.bytes();
          std::optional<int32_t> plainValue;
          if (inside && f.type == FieldType::I16) plainValue = GetI16(plain.data() + at);
          if (inside && f.type == FieldType::I32) plainValue = GetI32(plain.data() + at);
          if (inside && f.type == FieldType::F32) plainValue = static_cast<int32_t>(GetF32(plain.data() + at));
          bool plainFits = inside && f.type != FieldType::Chars;
          if (plainFits && f.type == FieldType::I16) plainFits = v >= -32768 && v <= 32767;
          if (plainFits && f.type == FieldType::I32) plainFits = v >= INT32_MIN && v <= INT32_MAX;
          if (plainFits && f.type == FieldType::I16) PutI16(plain.data() + at, static_cast<int16_t>(v));
          if (plainFits && f.type == FieldType::I32) PutI32(plain.data() + at, static_cast<int32_t>(v));
          if (plainFits && f.type == FieldType::F32) PutF32(plain.data() + at, static_cast<float>(v));

          std::optional<int32_t> got;
          try { got = rec.Get(f, index); } catch (const RuntimeError&) {}
          ASSERT_EQ(got, plainValue) << index;
          bool wrote = true;
          try { rec.Set(f, v, index); } catch (const RuntimeError& e) {
            wrote = false;
            // The refusal names what the plain rule refuses first.
            const std::string why = e.what();
            if (!inside) EXPECT_NE(why.find("lies outside"), std::string::npos) << why;
            else if (f.type == FieldType::Chars) EXPECT_NE(why.find("is text"), std::string::npos) << why;
            else EXPECT_NE(why.find("does not fit"), std::string::npos) << why;
          }
          ASSERT_EQ(wrote, plainFits) << index << " " << v;
          ASSERT_EQ(rec.bytes(), plain) << index << " " << v;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 10000);
}

// ---- Hull records kept within a steady span ------------------------------------------------

// A pack of hulls 1 to 4 in one of three versions: other names and capacities, another
// length, and the last one without hull 3.
forge::ShipPackRecipe HullPack(int version) {
  forge::ShipPackRecipe pack{1, 1, {}};
  for (int h = 1; h <= 4; ++h) {
    if (version == 2 && h == 3) continue;
    pack.hulls.push_back(forge::HullRecipe{.hullType = h,
                                           .name = "Hull " + std::to_string(h) + std::string(version, '*'),
                                           .nameKey = static_cast<int16_t>(3 * h + version),
                                           .cargoCapacity = 100 * h + version});
  }
  return pack;
}

// What one load of a hull left: the hull record, then the run log and the boxes so far.
std::vector<std::string> LoadHullsAlong(unsigned seed, bool steady, int& keptLoads) {
  test::TestSession t;
  Session& s = t.s();
  const std::string a = t.dir.Write("ships/a.spk", forge::BuildShipPack(HullPack(0)));
  const std::string b = t.dir.Write("ships/b.spk", forge::BuildShipPack(forge::ShipPackRecipe{2, 1, {{.hullType = 9}}}));
  std::optional<SteadyFolders> span;
  if (steady) span.emplace();
  LoadShipPacks(s);
  std::mt19937 rng(seed);
  std::vector<std::string> seen;
  for (int i = 0; i < 400; ++i) {
    // Every change goes through the file layer, as the program's own changes do.
    switch (rng() % 20) {
      case 0: WriteWholeFile(a, forge::BuildShipPack(HullPack(static_cast<int>(rng() % 3)))); continue;
      case 1: DeleteFileAt(b); continue;
      case 2: WriteWholeFile(b, forge::BuildShipPack(forge::ShipPackRecipe{2, 1, {{.hullType = 9, .name = "B"}}})); continue;
      case 3: ForgetFolders(); continue;  // a box was shown
      case 4: LoadShipPacks(s); continue;
      default: break;
    }
    const int hull = static_cast<int>(rng() % 5) + (rng() % 4 == 0 ? 5 : 0);  // 9 now and then
    if (!HullKnown(s, hull)) continue;
    const LoadedHulls& loaded = s.packs.loadedHulls;
    keptLoads += loaded.epoch != 0 && loaded.epoch == SteadyFoldersEpoch() && !loaded.at.empty() && loaded.at[hull] > 0;
    LoadHull(s, hull);
    std::string line(s.packs.scratchHull.bytes().begin(), s.packs.scratchHull.bytes().end());
    line += LogWindowText(s.log);
    for (const test::RecordingUi::Message& m : t.ui.messages) line += m.text;
    seen.push_back(line);
  }
  return seen;
}

// Runs `along` (what each step left, counting the steps a kept copy served) in a steady
// span and without one, for six seeds: the same results, and kept copies used, only in
// the span.
void ExpectKeptCopiesChangeNothing(std::vector<std::string> (*along)(unsigned, bool, int&)) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    int kept = 0, plainKept = 0;
    const std::vector<std::string> fast = along(seed, true, kept);
    const std::vector<std::string> plain = along(seed, false, plainKept);
    ASSERT_EQ(fast.size(), plain.size());
    for (size_t i = 0; i < fast.size(); ++i) ASSERT_EQ(fast[i], plain[i]) << "seed " << seed << ", step " << i;
    EXPECT_GT(kept, 20) << seed;
    EXPECT_EQ(plainKept, 0);
  }
}

TEST(FastPaths, KeptHullRecordsAreTheRecordsTheirPacksGive) { ExpectKeptCopiesChangeNothing(LoadHullsAlong); }

// ---- Path spellings ------------------------------------------------------------------------

// A file's length and first bytes read with one look-up against the status and the read
// taken apart, and the slot folders found by one listing against one look-up each: the
// same answers, in a span and out of one, for files, folders, misspelt and missing paths.
TEST(FastPaths, FilesOpenedBeforeTheirStatusAnswerAsTheStatusAndTheReadDo) {
  test::TempDir dir;
  dir.Write("Data/Main.dat", std::string(300, 'm'));
  dir.Write("Data/short.dat", std::string("abc"));
  dir.Write("Data/empty.dat", std::string());
  dir.Write("Data/Sub/x.dat", std::string("x"));
  const std::string root = dir.path();
  const std::vector<std::string> paths = {"Data/Main.dat", "DATA\\main.DAT", "data/MAIN.dat", "Data/short.dat",
                                          "Data/empty.dat", "Data/Sub", "Data/none.dat", "Nowhere/x.dat",
                                          "Data/Sub/x.dat/y", "data\\sub\\X.dat"};
  // Rounds in a span or not, reading for update or not, the one look-up first (a span
  // then remembers nothing yet) or the plain look-ups first.
  for (int round = 0; round < 8; ++round) {
    std::optional<SteadyFolders> span;
    if (round % 2) span.emplace();
    for (const std::string& name : paths) {
      for (const long long readAbove : {-1LL, 0LL, 3LL, 100LL}) {
        const std::string path = root + name;
        std::vector<uint8_t> bytes = {1, 2, 3};
        const auto head = [&] {
          return round % 4 < 2 ? ReadFileHead(path, 10, bytes, readAbove)
                               : ReadFileHeadForUpdate(path, 10, bytes, readAbove);
        };
        const long long first = round >= 4 ? head() : 0;
        const long long length = FileLength(path);
        const std::vector<uint8_t> plain = length > readAbove ? ReadFileStart(path, 10) : std::vector<uint8_t>{};
        ASSERT_EQ(round >= 4 ? first : head(), length) << path << " above " << readAbove;
        ASSERT_EQ(bytes, plain) << path << " above " << readAbove;
      }
    }
  }
  // Slot folders: some there, one spelt otherwise, one a file, the rest made.
  dir.Write("War/SLOT2/keep", std::string());
  dir.Write("War/slot3/keep", std::string());
  dir.Write("War/SLOT4", std::string("a file"));
  CreateFolders(root + "WAR", {"SLOT1", "SLOT2", "SLOT3", "SLOT4", "SLOT5"});
  EXPECT_TRUE(FileExists(root + "War/SLOT4"));
  EXPECT_EQ(dir.Folders(), (std::vector<std::string>{"Data", "Data/Sub", "War", "War/SLOT1", "War/SLOT2", "War/SLOT5",
                                                      "War/slot3"}));
}

// A path to an existing file, spelled with every mix of separators ("/", "\\", doubled,
// trailing): each names the file as its plain "/" spelling does, in a span or not.
TEST(FastPaths, EverySeparatorSpellingOfAPathResolvesToItsPlainSpelling) {
  test::TempDir dir;
  dir.Write("Alpha/beta/gamma.dat", std::string("x"));
  const std::string plain = ResolvePath(dir.path() + "Alpha/beta/gamma.dat");
  const std::string plainFolder = ResolvePath(dir.path() + "Alpha/beta");
  const char* const separators[] = {"/", "\\", "//", "\\/", "\\\\", "/\\/"};
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    std::optional<SteadyFolders> span;
    if (round % 2) span.emplace();
    std::string path = dir.path().substr(0, dir.path().size() - 1);  // without its closing "/"
    for (const char* part : {"Alpha", "beta"}) path += std::string(separators[rng() % 6]) + part;
    std::string folder = path;
    if (rng() % 2) folder += separators[rng() % 6];
    ASSERT_EQ(ResolvePath(folder), plainFolder) << folder;
    ASSERT_TRUE(FolderExists(folder)) << folder;
    path += std::string(separators[rng() % 6]) + "gamma.dat";
    if (rng() % 3 == 0) path += separators[rng() % 6];
    ASSERT_EQ(ResolvePath(path), plain) << path;
    ASSERT_TRUE(FileExists(path)) << path;
  }
}

// ---- Race modules kept within a steady span -------------------------------------------------

// A race module in one of three versions: other names, other carried bytes, and the last
// one with another race ID.
forge::RaceModuleRecipe VersionedRace(int stem, int version) {
  forge::RaceModuleRecipe race;
  race.raceId = version == 2 ? 40 + stem : 10 + stem;
  race.name = "Race " + std::to_string(stem) + std::string(static_cast<size_t>(version), '*');
  race.carriedSeed = static_cast<uint32_t>(7 * stem + version + 1);
  return race;
}

// What each read of a race module's records left: the scratch record, or the error.
std::vector<std::string> ReadModulesAlong(unsigned seed, bool steady, int& keptReads) {
  test::TestSession t;
  Session& s = t.s();
  auto write = [&](int stem, int version) {
    WriteWholeFile(s.paths.racesDir + "m" + std::to_string(stem) + ".rce",
                   forge::BuildRaceModule(VersionedRace(stem, version)));
  };
  CreateFolder(s.paths.racesDir);
  for (int stem = 1; stem <= 3; ++stem) write(stem, 0);
  std::optional<SteadyFolders> span;
  if (steady) span.emplace();
  ListRaceModules(s);
  std::mt19937 rng(seed);
  std::vector<std::string> seen;
  for (int i = 0; i < 400; ++i) {
    // Every change goes through the file layer, as the program's own changes do.
    const int stem = static_cast<int>(rng() % 3) + 1;
    switch (rng() % 16) {
      case 0: write(stem, static_cast<int>(rng() % 3)); continue;
      case 1: DeleteFileAt(s.paths.racesDir + "m" + std::to_string(stem) + ".rce"); continue;
      case 2: WriteWholeFile(s.paths.racesDir + "m" + std::to_string(stem) + ".rce", std::vector<uint8_t>(500, 0)); continue;
      case 3: ForgetFolders(); continue;  // a box was shown
      case 4: ListRaceModules(s); continue;
      default: break;
    }
    const int entry = static_cast<int>(rng() % 4) + 1;
    const int k = static_cast<int>(rng() % 3) + 1;
    const LoadedModules& loaded = s.packs.loadedModules;
    keptReads += s.packs.raceList[entry].raceId > 0 && loaded.epoch != 0 && loaded.epoch == SteadyFoldersEpoch() &&
                 loaded.bytes.count(RaceModulePath(s, entry)) > 0;
    std::string line;
    try {
      switch (rng() % 3) {
        case 0: ReadRaceRecord(s, entry); break;
        case 1: ReadRaceUnitRecord(s, entry, k); break;
        default: ReadRaceExtraRecord(s, entry, k); break;
      }
    } catch (const RuntimeError& e) {
      // Without the test's own folder, which differs between the two runs.
      line = std::string("error: ") + e.what();
      line.erase(line.find(t.dir.path()), t.dir.path().size());
    }
    const PackState& p = s.packs;
    for (const Record* r : {&p.scratchRace, &p.scratchRaceUnit, &p.scratchRaceExtra}) {
      line.append(r->bytes().begin(), r->bytes().end());
    }
    seen.push_back(line);
  }
  return seen;
}

TEST(FastPaths, KeptRaceModulesGiveTheRecordsTheirFilesGive) { ExpectKeptCopiesChangeNothing(ReadModulesAlong); }

// ---- Ships built from a kept ship ---------------------------------------------------------

// The hulls of a random pack: mounts, masks and capacities of every size a record holds.
forge::ShipPackRecipe RandomHulls(std::mt19937& rng) {
  forge::ShipPackRecipe pack{1, 1, {}};
  auto r = [&](int top) { return static_cast<int16_t>(rng() % static_cast<unsigned>(top + 1)); };
  for (int h = 1; h <= 6; ++h) {
    pack.hulls.push_back(forge::HullRecipe{.hullType = h, .name = "Hull " + std::to_string(rng() % 1000),
                                           .nameKey = r(400), .hugeWeaponMask = r(40), .pdWeaponSlots = r(12),
                                           .lWeaponSlots = r(22), .sWeaponSlots = r(32),
                                           .fuelCapacity = static_cast<int32_t>(rng() % 100000), .generatorSlots = r(6),
                                           .crewCapacity = static_cast<int32_t>(rng() % 5000),
                                           .passengerCapacity = static_cast<int32_t>(rng() % 30000),
                                           .armorCapacity = r(3000), .hullValues = {r(9), -r(9), r(99)},
                                           .cargoCapacity = static_cast<int32_t>(rng() % 20000),
                                           .ordnanceCapacity = r(500), .fixCapacity = r(900),
                                           .carriedSeed = static_cast<uint32_t>(rng())});
  }
  return pack;
}

TEST(FastPaths, ShipsBuiltFromAKeptShipAreTheShipsTheFullBuildMakes) {
  // Two sessions on the same packs and seed: one keeps its ships, the other forgets
  // them before every build and so builds every ship in full.
  test::TestSession kept, full;
  kept.s().shipTemplates.keep = true;
  std::mt19937 rng(41);
  int copies = 0;
  for (int round = 0; round < 4; ++round) {
    const std::vector<uint8_t> pack = forge::BuildShipPack(RandomHulls(rng));
    for (test::TestSession* t : {&kept, &full}) {
      t->dir.Write("ships/a.spk", pack);
      BuildBitValues(t->s());
      LoadShipPacks(t->s());
    }
    // The table of powers of two changed: no kept ship fits any more.
    if (round == 3) kept.s().bitValue[2] = full.s().bitValue[2] = 0;
    for (int i = 0; i < 200; ++i) {
      // Hull 7 is in no pack; hull 0 is no hull.
      const int hull = static_cast<int>(rng() % 8);
      copies += hull >= 1 && hull <= 6 && !kept.s().shipTemplates.at.empty() && kept.s().shipTemplates.at[hull] > 0;
      NewShip(kept.s(), hull);
      full.s().shipTemplates = ShipTemplates{};
      NewShip(full.s(), hull);
      ASSERT_EQ(kept.s().records.ship.bytes(), full.s().records.ship.bytes()) << "round " << round << ", ship " << i;
      ASSERT_EQ(kept.s().random.Next(), full.s().random.Next());
    }
    ASSERT_EQ(LogWindowText(kept.s().log), LogWindowText(full.s().log));
  }
  EXPECT_GT(copies, 400);
}

// ---- Mounts cleared at once ----------------------------------------------------------------

TEST(FastPaths, ElementsZeroedAtOnceAreThoseSetToZeroOneByOne) {
  std::mt19937 rng(41);
  const RecordLayout& layout = ShipRecordLayout();
  int zeroed = 0;
  // Every field of the ship record (texts too), with ranges inside it, at its ends and
  // beyond them on either side, over random bytes.
  for (const Field& field : layout.fields()) {
    for (int from = -1; from <= field.count + 2; ++from) {
      for (int to = from - 1; to <= field.count + 2; ++to) {
        Record fast(layout);
        for (uint8_t& byte : fast.bytes()) byte = static_cast<uint8_t>(rng());
        Record plain = fast;
        const bool plainFailed = Fails([&] {
          for (int i = from; i <= to; ++i) plain.Set(field, 0, i);
        });
        ASSERT_EQ(Fails([&] { ZeroElements(fast, field, from, to); }), plainFailed)
            << field.name << " " << from << ".." << to;
        ASSERT_EQ(fast.bytes(), plain.bytes()) << field.name << " " << from << ".." << to;
        zeroed += !plainFailed && to >= from;
      }
    }
  }
  EXPECT_GT(zeroed, 1000);
}

// ---- Script lines ------------------------------------------------------------------------

// The token rules character by character, as the plain cutter applies them.
ScriptStatement PlainCut(std::string_view line) {
  auto trim = [](std::string t) {
    const size_t a = t.find_first_not_of(' ');
    if (a == std::string::npos) return std::string();
    return t.substr(a, t.find_last_not_of(' ') - a + 1);
  };
  ScriptStatement st;
  const std::string trimmed = trim(std::string(line));
  int state = 0;
  bool quoted = false;
  for (char c : trimmed) {
    if (c == '\'' && !quoted) break;
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (c == '\r' || c == '\n') continue;
    if (state == 0) {
      if (c != ' ') {
        st.word += c;
        state = 1;
      }
    } else if (state == 1) {
      if (c == ' ' && !quoted) {
        state = 2;
      } else if (c == '=' && !quoted) {
        st.keyword = st.word;
        st.word.clear();
        state = 3;
      } else {
        st.word += c;
      }
    } else if (state == 2) {
      if (c == ' ' && !quoted) continue;
      if (c == '=') {
        st.keyword = st.word;
        st.word.clear();
        state = 3;
      } else {
        st.argument += c;
      }
    } else if (!(c == ' ' && !quoted)) {
      st.value += c;
    }
  }
  return {trim(st.word), trim(st.argument), trim(st.keyword), trim(st.value)};
}

// The statements of a script's text, line by line: cut into lines at each carriage
// return (text after the last one a line when it is not empty), each cut by the plain
// rules; and as ScriptLines cuts it.
std::vector<ScriptStatement> PlainStatements(const std::string& text) {
  std::vector<ScriptStatement> plain;
  size_t start = 0;
  for (size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1) {
    plain.push_back(PlainCut(std::string_view(text).substr(start, cr - start)));
  }
  if (start < text.size()) plain.push_back(PlainCut(std::string_view(text).substr(start)));
  return plain;
}
// A line as ScriptLines gives it: cut, or passed over.
struct FastLine {
  ScriptStatement st;
  bool skipped = false;
};
// Before each line is cut, the lines from there on are offered to no skipping, to
// SkipPropertyLines, or to SkipLinesWithoutArguments with these arguments.
enum class Skipping { None, PropertyLines, LinesWithoutArguments };
constexpr std::string_view SKIPPED_ARGUMENTS[] = {"RACES", "START", "TECH", "EXOTIC"};

std::vector<FastLine> FastStatements(const std::string& text, std::string& work, Skipping skipping) {
  std::vector<FastLine> fast;
  ScriptLines lines(text);
  ScriptTokens t;
  for (;;) {
    const size_t before = lines.position();
    if (skipping == Skipping::PropertyLines) lines.SkipPropertyLines();
    if (skipping == Skipping::LinesWithoutArguments) lines.SkipLinesWithoutArguments(SKIPPED_ARGUMENTS);
    // The lines passed over: each ends at one of the carriage returns passed over.
    const auto skipped = std::count(text.begin() + static_cast<std::ptrdiff_t>(before),
                                    text.begin() + static_cast<std::ptrdiff_t>(lines.position()), '\r');
    fast.resize(fast.size() + static_cast<size_t>(skipped), FastLine{{}, true});
    if (!lines.Next(t, work)) break;
    fast.push_back({{std::string(t.word), std::string(t.argument), std::string(t.keyword), std::string(t.value)}});
  }
  return fast;
}

// Whether a line of this statement may be passed over.
bool MayBeSkipped(const ScriptStatement& p, Skipping skipping) {
  if (skipping == Skipping::PropertyLines) return p.word.empty() && !p.keyword.empty();
  return p.word.empty() || std::none_of(std::begin(SKIPPED_ARGUMENTS), std::end(SKIPPED_ARGUMENTS),
                                        [&](std::string_view a) { return EqualsNoCase(p.argument, a); });
}

// The same statements line by line; a line passed over is one whose cut may be passed
// over. Returns how many lines were passed over.
int ExpectSameStatements(const std::string& text, std::string& work) {
  const std::vector<ScriptStatement> plain = PlainStatements(text);
  int skipped = 0;
  for (const Skipping skipping : {Skipping::None, Skipping::PropertyLines, Skipping::LinesWithoutArguments}) {
    const std::vector<FastLine> fast = FastStatements(text, work, skipping);
    EXPECT_EQ(fast.size(), plain.size()) << "[" << text << "]";
    if (fast.size() != plain.size()) return skipped;
    for (size_t i = 0; i < plain.size(); ++i) {
      const ScriptStatement& p = plain[i];
      if (fast[i].skipped) {
        ++skipped;
        EXPECT_TRUE(MayBeSkipped(p, skipping)) << "line " << i << " of [" << text << "]";
        continue;
      }
      const ScriptStatement& f = fast[i].st;
      EXPECT_EQ(std::tie(f.word, f.argument, f.keyword, f.value), std::tie(p.word, p.argument, p.keyword, p.value))
          << "line " << i << " of [" << text << "]";
    }
  }
  return skipped;
}

// One line cut into tokens, and into a statement, as the plain rules cut it.
void ExpectLineCutAsPlain(const std::string& line, std::string& work) {
  const ScriptStatement plain = PlainCut(line);
  const ScriptTokens fast = CutScriptTokens(line, work);
  ASSERT_EQ(std::tie(fast.word, fast.argument, fast.keyword, fast.value),
            std::tie(plain.word, plain.argument, plain.keyword, plain.value))
      << "[" << line << "]";
  const ScriptStatement whole = CutScriptLine(line);
  ASSERT_EQ(std::tie(whole.word, whole.argument, whole.keyword, whole.value),
            std::tie(plain.word, plain.argument, plain.keyword, plain.value))
      << "[" << line << "]";
}

// Every line of the shapes the cutter takes in one look (KEYWORD = VALUE, KEYWORD =
// "TEXT", WORD ARGUMENT), and of the shapes next to them, put together from every choice
// of its parts; alone, ended by a carriage return, and amid other lines of a text.
TEST(FastPaths, LinesOfTheCommonShapesAreCutAsThePlainRulesDo) {
  const std::string before[] = {"", "\n", " ", "\n  ", "\r", "=", "\""};
  const std::string first[] = {"X", "NAME", "pdWeapon(3)", "BEGIN", "A\tB", "E\nND", "K'"};
  const std::string middle[] = {"", " ", "  ", "=", " = ", "= ", " =", " \n", "\n=", "'", " = \""};
  const std::string last[] = {"", "1500", "-3", "a=b", "x y", "\"q r\"", "\" q = 'r' \"", "\"\"", "\"a\nb\"",
                              "\"open", "SHIP", "Races", "==", "\t"};
  const std::string after[] = {"", " ", "\n", " \n", "\r\n", " x", "'note", "=", "\"", "\" \n"};
  std::string work;
  int skipped = 0;  // lines passed over as property statements
  for (const std::string& a : before) {
    for (const std::string& b : first) {
      for (const std::string& c : middle) {
        for (const std::string& d : last) {
          for (const std::string& e : after) {
            const std::string line = a + b + c + d + e;
            ASSERT_NO_FATAL_FAILURE(ExpectLineCutAsPlain(line, work));
            skipped += ExpectSameStatements(line + "\r", work);
            skipped += ExpectSameStatements("BEGIN SHIP\r\n" + line + "\r\n" + line, work);
            if (HasFailure()) return;
          }
        }
      }
    }
  }
  EXPECT_GT(skipped, 10000);
}

// Texts of many lines, so that most lines lie in a window of marks with other lines
// and many cross a window's end: lines of the common shapes and lines next to them,
// with keywords and values of many lengths, and the characters at the edges of the
// marks ("'", "(", ")", "<", "=", ">", "!", "&", tab and other control characters,
// bytes above 127, among them those that differ from a special character only in the
// top bit).
TEST(FastPaths, LongTextsOfMixedLinesAreCutAsThePlainRulesDo) {
  std::mt19937 rng(41);
  const std::string letters = "AZaz09()<>=!&'\t\x01\x0e\x7f\x80\x8d\xa0\xa2\xa7\xbd\xff";
  // Among them the arguments a settings pass opens a block for, whole and in pieces that
  // the token rules join.
  const std::string tokens[] = {"X",    "NAME",  "PDWEAPON(12)", "HOMEPOPULATION", "BEGIN",  "END",
                                "Tech", "START", "Ra\"ces\"",     "EXO TIC",        "TE\nCH", "WAYPOINTX(1)"};
  const std::string values[] = {"1500", "-3", "\"Vessel 55\"", "\"a = 'b'\"", "\"  spaced  \"", "", "1+DICE(2,5)",
                                "SHIP", "\"\"", "\"unclosed", "a=b"};
  const std::string seams[] = {"", " ", "  ", "\n", " \n", "\r", "\""};
  auto token = [&] {
    std::string t = tokens[rng() % std::size(tokens)];
    if (rng() % 4 == 0) t += RandomText(rng, letters + "ABCDEFGHIJKLMNOP", 24);
    return t;
  };
  std::string work;
  int skipped = 0;  // lines passed over as property statements
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int line = 0; line < 120; ++line) {
      const std::string before = rng() % 5 == 0 ? seams[rng() % std::size(seams)] : "";
      const std::string after = rng() % 5 == 0 ? seams[rng() % std::size(seams)] : "";
      switch (rng() % 4) {
        case 0:
          text += before + token() + " = " + values[rng() % std::size(values)] + after;
          break;
        case 1:
          text += before + token() + (rng() % 2 ? "=" : " =  ") + RandomText(rng, letters, 40) + after;
          break;
        case 2:
          text += before + token() + (rng() % 2 ? " " + token() : "") + after;
          break;
        default:
          text += RandomText(rng, letters + " \n\"", 40);
          break;
      }
      text += rng() % 8 == 0 ? "\r" : "\r\n";
    }
    if (rng() % 2) text += token();  // text after the last carriage return
    skipped += ExpectSameStatements(text, work);
    if (HasFailure()) return;
  }
  EXPECT_GT(skipped, 10000);
}

// The marks of a window against a look at each byte: every byte value at every place.
TEST(FastPaths, WindowMarksAreTheMarksOfEachByte) {
  std::mt19937 rng(43);
  char window[LINE_WINDOW_SIZE];
  for (int value = 0; value < 256; ++value) {
    for (int at = 0; at < LINE_WINDOW_SIZE; ++at) {
      for (char& c : window) c = static_cast<char>(rng());
      window[at] = static_cast<char>(value);
      const WindowMarks fast = WindowMarksAt(window);
      const WindowMarks plain = PlainWindowMarks(window);
      ASSERT_EQ(std::tie(fast.carriageReturns, fast.dropped, fast.tokenEnds, fast.equals),
                std::tie(plain.carriageReturns, plain.dropped, plain.tokenEnds, plain.equals))
          << value << " at " << at;
    }
  }
}

// ---- The object kind of a block ----------------------------------------------------------

TEST(FastPaths, EveryBlockKindFindsTheDescriptorTheScanFinds) {
  int found = 0;
  // Every block kind, and numbers on both sides of the range.
  for (int k = -2; k < BLOCK_KIND_COUNT + 2; ++k) {
    const auto kind = static_cast<BlockKind>(k);
    const ObjectKindDescriptor* scan = nullptr;
    for (const ObjectKindDescriptor& d : ObjectKinds()) {
      if (d.blockKind == kind) {
        scan = &d;
        break;
      }
    }
    EXPECT_EQ(KindOfBlock(kind), scan) << k;
    const KeywordTable* table = ObjectKeywordTable(kind);
    EXPECT_EQ(table != nullptr, scan != nullptr) << k;
    found += scan != nullptr;
  }
  EXPECT_EQ(found, static_cast<int>(ObjectKinds().size()));
}

TEST(FastPaths, BlockWordsInAnyCaseFindTheKindTheirUpperCasedCopiesFind) {
  std::vector<std::string> words;
  for (const ObjectKindDescriptor& d : ObjectKinds()) words.emplace_back(d.blockWord);
  words.insert(words.end(), {"PLANETNAMES", "MAP", "RACES", "pod", "\xe4SHIP"});
  int found = 0;
  for (const std::string& word : NearNames(words)) {
    for (const std::string& w : {word, LowerAscii(word)}) {
      ASSERT_EQ(KindOfWordAnyCase(w), KindOfWord(UpperAscii(w))) << w;
      found += KindOfWord(UpperAscii(w)) != nullptr;
    }
  }
  EXPECT_GT(found, 2 * static_cast<int>(ObjectKinds().size()));
}

// ---- Letter case without new texts ---------------------------------------------------------

TEST(FastPaths, CaseFoldingInPlaceAnswersAsTheUpperCasedCopiesDo) {
  std::mt19937 rng(23);
  // Letters on both sides of the case boundary, bytes next to the letters and above 127.
  const std::string letters = "dDiIcCeE(@[`{aZz0 \xe4\xc4";
  auto randomText = [&](size_t longest) { return RandomText(rng, letters, longest); };
  std::string reused = "left over from a longer text before";
  int contained = 0;
  for (int i = 0; i < 40000; ++i) {
    const std::string text = randomText(12);
    // Parts the texts hold (cut from them, in either case) as well as random ones.
    std::string part = i % 2 ? randomText(5) : text.substr(rng() % (text.size() + 1), rng() % 6);
    if (i % 4 == 0) part = UpperAscii(part);
    const bool plain = UpperAscii(text).find(UpperAscii(part)) != std::string::npos;
    ASSERT_EQ(ContainsNoCase(text, part), plain) << "[" << text << "] [" << part << "]";
    contained += plain;
    UpperAsciiInto(text, reused);
    ASSERT_EQ(reused, UpperAscii(text));
    ASSERT_EQ(EqualsNoCase(text, part), UpperAscii(text) == UpperAscii(part)) << "[" << text << "] [" << part << "]";
    ASSERT_EQ(EqualsNoCase(text, part), CompareNoCase(text, part) == 0) << "[" << text << "] [" << part << "]";
  }
  EXPECT_GT(contained, 10000);
}

// ---- Value texts ------------------------------------------------------------------------------

// Everything a reading found.
auto Found(const ValueReading& r) {
  return std::tie(r.form, r.read, r.pull, r.value, r.dice[0].read, r.dice[0].missing, r.dice[0].pull,
                  r.dice[0].bound, r.dice[1].read, r.dice[1].missing, r.dice[1].pull, r.dice[1].bound);
}

TEST(FastPaths, PlainNumbersAreReadAsTheGeneralRulesReadThem) {
  std::mt19937 rng(31);
  // Mostly digits, so that plain numbers of every length come up, and what can spoil one.
  // The digits' neighbours in the character set ('/' ':'), and bytes whose high or low
  // half is a digit's, spoil a number amid its digits as well as at its start.
  const std::string pieces[] = {"0", "1", "5", "9", "7", "3", "-", "-", "+", ",", "x", " ", "DICE(", ")",
                                ".", "e", "/", ":", "\xb3", "\x03", "\xf9"};
  // Bounds around the numbers read, the tie of a bound with the number and a single value.
  const int32_t bounds[][2] = {{0, 100}, {1, 1}, {-5, 5}, {0, 1000000000}, {-1000000, 1000000}, {7, 7},
                               {INT32_MIN, INT32_MAX}, {10, 999999999}, {-999999999, -1}};
  test::TestSession t;
  int plain = 0;
  for (int i = 0; i < 80000; ++i) {
    std::string text;
    const int count = static_cast<int>(rng() % 12);
    for (int k = 0; k < count; ++k) text += pieces[rng() % (k == 0 || rng() % 8 == 0 ? std::size(pieces) : 6)];
    const auto& b = bounds[rng() % std::size(bounds)];
    const ValueReading general = ReadValueTextInFull(text, b[0], b[1]);
    ASSERT_EQ(Found(ReadValueText(text, b[0], b[1])), Found(general)) << "[" << text << "]";
    // GetValue reads a plain number without the full reading (a DICE text draws).
    if (general.form != ValueReading::Form::Dice) {
      ASSERT_EQ(GetValue(t.s(), text, b[0], b[1]), general.value) << text;
    }
    // A strict number reads a plain number without the decimal reader.
    ASSERT_EQ(StrictNumber(text), StrictNumberInFull(text)) << text;
    // A number equal to a bound, and one beside it.
    for (const long long edge : {static_cast<long long>(b[0]), static_cast<long long>(b[1]) + 1}) {
      const std::string tie = std::to_string(edge);
      ASSERT_EQ(StrictNumber(tie), StrictNumberInFull(tie)) << tie;
      ASSERT_EQ(Found(ReadValueText(tie, b[0], b[1])), Found(ReadValueTextInFull(tie, b[0], b[1]))) << tie;
      ASSERT_EQ(GetValue(t.s(), tie, b[0], b[1]), ReadValueTextInFull(tie, b[0], b[1]).value) << tie;
    }
    plain += general.form == ValueReading::Form::Whole;
  }
  EXPECT_GT(plain, 20000);
}

// ---- Planet names taken from the list ------------------------------------------------------

// A planet-name list built, cleared and used up at random against the plain rule: from
// the drawn start upwards, the first entry neither marked "!" nor blank.
TEST(FastPaths, PlanetNamesAreTakenAsTheUpwardScanTakesThem) {
  std::mt19937 rng(37);
  test::TestSession t;
  Session& s = t.s();
  const std::string kinds[] = {"Name", "!Used", "   "};
  std::vector<std::string> plain;  // the list as the plain rule sees it
  int fromList = 0, random = 0;
  for (int step = 0; step < 40000; ++step) {
    const unsigned r = rng() % 100;
    if (r < 1) {
      AddPlanetName(s, "CLEAR");
      plain.clear();
    } else if (r < 45) {
      // Mostly names, some used already and some blank; runs of used and blank entries
      // make long stretches to pass over.
      const std::string& kind = kinds[rng() % 5 < 3 ? 0 : 1 + rng() % 2];
      const std::string value = kind == "   " ? kind : kind + std::to_string(step);
      AddPlanetName(s, value);
      plain.push_back(FixedText(value, PLANET_NAME_WIDTH));
    } else {
      Random before = s.random;
      PickPlanetName(s);
      const int count = static_cast<int>(plain.size());
      std::string expected;
      if (count >= 1) {
        const int start = static_cast<int>(std::clamp<long long>(RoundToInt(before.Next() * count), 1, count));
        for (int i = start; i <= count && expected.empty(); ++i) {
          std::string& entry = plain[static_cast<size_t>(i - 1)];
          if (entry[0] == '!' || TrimBlanks(entry).empty()) continue;
          expected = entry;
          entry = FixedText("!", PLANET_NAME_WIDTH);
        }
      }
      const std::string name = s.records.planet.Text("name");
      if (expected.empty()) {
        // No unused entry from the start on: a random name, never one of the list.
        ++random;
        ASSERT_TRUE(std::find(plain.begin(), plain.end(), name) == plain.end()) << step;
      } else {
        ++fromList;
        ASSERT_EQ(name, expected) << step;
      }
    }
    ASSERT_EQ(s.script.planetNameCount, static_cast<int>(plain.size()));
    ASSERT_TRUE(std::equal(plain.begin(), plain.end(), s.script.planetNames.begin())) << step;
  }
  EXPECT_GT(fromList, 5000);
  EXPECT_GT(random, 1000);
}

// ---- The planet a base locks to -------------------------------------------------------------

// Object tables with planets placed by the caller, the grid told of each as the store
// tells it, and the scan to compare with.
struct PlanetField {
  std::unique_ptr<ObjectTables> tables = std::make_unique<ObjectTables>();
  PlanetGrid grid;

  void Put(int32_t id, int kind, int x, int y) {
    tables->objectKind[id] = static_cast<int16_t>(kind);
    tables->objectX[id] = static_cast<int16_t>(x);
    tables->objectY[id] = static_cast<int16_t>(y);
    if (kind == ObjectKind::PLANET) grid.Add(id, static_cast<int16_t>(x), static_cast<int16_t>(y));
  }
  // The grid's answer (as told, and rebuilt from the tables) against the scan's.
  void Expect(double x, double y, int32_t* found = nullptr) const {
    const int32_t scan = NearestPlanetByScan(*tables, x, y);
    ASSERT_EQ(grid.Nearest(x, y), scan) << "at " << x << ", " << y;
    PlanetGrid rebuilt;
    rebuilt.Rebuild(*tables);
    ASSERT_EQ(rebuilt.Nearest(x, y), scan) << "at " << x << ", " << y;
    if (found) *found = scan;
  }
};

TEST(FastPaths, TheGridFindsThePlanetTheScanFinds) {
  std::mt19937 rng(23);
  auto between = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
  for (int round = 0; round < 6; ++round) {
    PlanetField f;
    // Planets over the whole 16-bit range and crowded in one corner, other objects among
    // them, planets at x = 0 (never taken), identifiers in no order.
    for (int k = 0; k < 3000; ++k) {
      const int32_t id = between(1, MAX_OBJECTS);
      if (f.tables->objectKind[id] != 0) continue;
      const bool crowded = k % 2 == 0;
      const int x = crowded ? between(900, 4100) : between(-32768, 32767);
      const int y = crowded ? between(900, 4100) : between(-32768, 32767);
      const int kind = k % 7 == 0 ? ObjectKind::SHIP + 3 : ObjectKind::PLANET;
      f.Put(id, kind, k % 50 == 0 ? 0 : x, y);
    }
    int taken = 0, none = 0;
    for (int q = 0; q < 1500; ++q) {
      // Bases inside the map, at its edges and beyond them (their records hold 32 bits).
      const double x = q % 5 == 0 ? between(-120000, 120000) : between(-33000, 33000);
      const double y = q % 5 == 1 ? between(-120000, 120000) : between(-33000, 33000);
      int32_t found = 0;
      ASSERT_NO_FATAL_FAILURE(f.Expect(x, y, &found));
      ++(found ? taken : none);
    }
    EXPECT_GT(taken, 100);
    EXPECT_GT(none, 100);
  }
}

TEST(FastPaths, TheGridBreaksTiesAsTheScanDoes) {
  PlanetField f;
  // Around (10000, 10000): planets at exactly 3000 units in four squares, the lowest
  // identifier told to the grid last; one at exactly the lock range (not taken).
  f.Put(900, ObjectKind::PLANET, 13000, 10000);
  f.Put(700, ObjectKind::PLANET, 10000, 7000);
  f.Put(500, ObjectKind::PLANET, 8200, 12400);
  f.Put(300, ObjectKind::PLANET, 11800, 7600);
  f.Put(100, ObjectKind::PLANET, 7000, 10000);
  f.Put(50, ObjectKind::PLANET, 13000, 14000);
  int32_t found = 0;
  ASSERT_NO_FATAL_FAILURE(f.Expect(10000, 10000, &found));
  EXPECT_EQ(found, 100);
  // Distances that differ only below single precision: (4000, 1) and (1, 4000) round to
  // the same distance as each other, a hair above 4000 (4000, 0).
  PlanetField g;
  g.Put(40, ObjectKind::PLANET, -20000 + 4000, -20000 + 1);
  g.Put(30, ObjectKind::PLANET, -20000 + 1, -20000 + 4000);
  g.Put(20, ObjectKind::PLANET, -20000 - 4000, -20000 - 1);
  ASSERT_NO_FATAL_FAILURE(g.Expect(-20000, -20000, &found));
  EXPECT_EQ(found, 20);
  g.Put(60, ObjectKind::PLANET, -20000, -20000 - 4000);
  ASSERT_NO_FATAL_FAILURE(g.Expect(-20000, -20000, &found));
  EXPECT_EQ(found, 60);
  // A ring of planets at nearly one distance from bases at fractional positions: many
  // distances tie once rounded.
  std::mt19937 rng(3);
  PlanetField ring;
  for (int32_t id = 1; id <= 4000; ++id) {
    const double a = (rng() % 100000) / 100000.0 * 6.283185307179586;
    ring.Put(static_cast<int32_t>(MAX_OBJECTS + 1 - id), ObjectKind::PLANET,
             static_cast<int>(std::lround(2500 * std::cos(a))), static_cast<int>(std::lround(2500 * std::sin(a))));
  }
  for (int q = 0; q < 200; ++q) {
    ASSERT_NO_FATAL_FAILURE(ring.Expect((rng() % 2000) / 1000.0 - 1, (rng() % 2000) / 1000.0 - 1));
  }
}

// ---- The fairness report's radii -------------------------------------------------------

TEST(FastPaths, SquaredDistancesCountThePlanetsTheSquareRootCounts) {
  const auto plain = [](long long dx, long long dy, int radius) {
    return std::hypot(static_cast<double>(dx), static_cast<double>(dy)) <= radius;
  };
  // Every offset in a square a little larger than the largest radius: every tie at
  // exactly a radius ((60, 80), (0, -200), (180, 240), ...) and every near miss beside it.
  int ties = 0;
  for (const int radius : {100, 200, 300, 1, 0}) {
    for (long long dx = -305; dx <= 305; ++dx) {
      for (long long dy = -305; dy <= 305; ++dy) {
        ASSERT_EQ(WithinRadius(dx, dy, radius), plain(dx, dy, radius)) << dx << ", " << dy << " radius " << radius;
        if (dx * dx + dy * dy == static_cast<long long>(radius) * radius) ++ties;
      }
    }
  }
  EXPECT_GT(ties, 40);
  // Offsets far out on one axis and near on the other, and whole-map offsets.
  std::mt19937 rng(5);
  for (int i = 0; i < 200000; ++i) {
    const long long big = static_cast<long long>(rng() % 200000) - 100000;
    const long long small = static_cast<long long>(rng() % 601) - 300;
    const int radius = FAIRNESS_RADII[rng() % 3];
    ASSERT_EQ(WithinRadius(big, small, radius), plain(big, small, radius)) << big << ", " << small;
    ASSERT_EQ(WithinRadius(small, big, radius), plain(small, big, radius)) << small << ", " << big;
  }
  // The widest offsets two 32-bit coordinates can make.
  for (const long long far : {4294967295LL, -4294967295LL, 2147483648LL}) {
    EXPECT_FALSE(WithinRadius(far, 0, 300));
    EXPECT_FALSE(WithinRadius(0, far, 300));
  }
}

// The rows of the fairness report as a scan of every planet for every home makes them.
std::vector<FairnessRow> PlainRows(const std::vector<PlayerView>& players, const std::vector<PlanetView>& planets) {
  std::vector<FairnessRow> rows;
  for (const PlayerView& p : players) {
    FairnessRow row;
    row.player = p;
    if (p.hasHome) {
      for (const PlanetView& planet : planets) {
        if (planet.id == p.homePlanetId && p.homePlanetId != 0) {
          row.homePlanetName = planet.name.empty() ? "#" + std::to_string(planet.id) : planet.name;
          continue;
        }
        const double d = std::hypot(static_cast<double>(p.x) - planet.x, static_cast<double>(p.y) - planet.y);
        for (int r = 0; r < 3; ++r) {
          if (d <= FAIRNESS_RADII[r]) ++row.planetsWithin[r];
        }
        if (d <= FAIRNESS_ORE_RADIUS) row.oreWithin += planet.ore;
      }
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(FastPaths, PlanetsFoundNearAHomeByTheirPlaceAreThoseTheScanCounts) {
  std::mt19937 rng(31);
  const auto coordinate = [&](int span) { return static_cast<int>(rng() % static_cast<unsigned>(span)) - span / 4; };
  int counted = 0, named = 0;
  for (int round = 0; round < 300; ++round) {
    const int span = round % 3 == 0 ? 800 : 4000;  // crowded maps put many planets on the same x
    std::vector<PlanetView> planets;
    const int planetCount = static_cast<int>(rng() % 400);
    for (int i = 0; i < planetCount; ++i) {
      // Identifiers mostly rising, some repeated (a damaged file) and some zero.
      const int id = rng() % 10 == 0 ? static_cast<int>(rng() % 20) : i + 1;
      planets.push_back(PlanetView{id, coordinate(span), coordinate(span), rng() % 4 == 0 ? "" : "P" + std::to_string(i),
                                   static_cast<long long>(rng() % 5000)});
    }
    std::vector<PlayerView> players;
    const int playerCount = 1 + static_cast<int>(rng() % 12);
    for (int k = 1; k <= playerCount; ++k) {
      PlayerView p;
      p.slot = k;
      p.hasHome = rng() % 8 != 0;
      p.x = coordinate(span);
      p.y = coordinate(span);
      if (!planets.empty() && rng() % 3 != 0) {
        // A home on a planet, or beside one exactly at a radius or the largest radius
        // along x (ties at the edge of the search), or with a repeated identifier.
        const PlanetView& at = planets[rng() % planets.size()];
        const int edge[] = {0, 0, 300, -300, 301, -301, 200, -100, 180};
        const int e = edge[rng() % 9];
        p.x = at.x + e;
        p.y = at.y + (e == 180 ? 240 : 0);
        p.homePlanetId = e == 0 ? at.id : static_cast<int>(rng() % 20);
      }
      players.push_back(p);
    }
    const FairnessReport report = RateStartPositions(players, planets);
    const std::vector<FairnessRow> plain = PlainRows(players, planets);
    ASSERT_EQ(report.rows.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
      const FairnessRow &a = report.rows[i], &b = plain[i];
      ASSERT_EQ(std::tie(a.homePlanetName, a.planetsWithin[0], a.planetsWithin[1], a.planetsWithin[2], a.oreWithin),
                std::tie(b.homePlanetName, b.planetsWithin[0], b.planetsWithin[1], b.planetsWithin[2], b.oreWithin))
          << "round " << round << " player " << i;
      counted += b.planetsWithin[2];
      named += !b.homePlanetName.empty();
    }
  }
  EXPECT_GT(counted, 1000);
  EXPECT_GT(named, 100);
}

// ---- The start layouts ----------------------------------------------------------------

// The positions of the planets picked for players 1..players; none for a player without.
PositionTable PickedPositions(const MapPreview& pv, const std::array<int, MAX_PLAYERS + 1>& pick, int players) {
  PositionTable table;
  for (int i = 1; i <= players; ++i) {
    if (pick[i] > 0) table[i] = MapPosition{pv.X[pick[i]], pv.Y[pick[i]]};
  }
  return table;
}

// The spaced layout as a plain scan: every trial takes the whole minimum over the other
// players, in player order, straight from the preview's table.
PositionTable PlainSpaced(const MapPreview& pv, int planets, int players, Random& random) {
  const auto draw = [&] { return std::max(1, static_cast<int>(RoundToInt(random.Next() * planets))); };
  std::array<int, MAX_PLAYERS + 1> pick{};
  if (players >= 1 && (planets > MAX_PLAYERS || players >= 2)) {
    for (int i = 1; i <= players; ++i) pick[i] = draw();
  }
  const auto distance = [&pv](int a, int b) {
    return std::llabs(static_cast<long long>(pv.X[a]) - pv.X[b]) + std::llabs(static_cast<long long>(pv.Y[a]) - pv.Y[b]);
  };
  for (int pass = 0; pass < 3; ++pass) {
    for (int i = 1; i <= players; ++i) {
      long long best = 0;
      int bestPlanet = 0;
      for (int trial = 0; trial < 50; ++trial) {
        const int c = draw();
        if (std::find(pick.begin() + 1, pick.begin() + players + 1, c) != pick.begin() + players + 1) continue;
        long long m = 30000;
        for (int j = 1; j <= players; ++j) {
          if (j != i && pick[j] > 0) m = std::min(m, distance(pick[j], c));
        }
        if (m > best) {
          best = m;
          bestPlanet = c;
        }
      }
      if (bestPlanet > 0) pick[i] = bestPlanet;
    }
  }
  return PickedPositions(pv, pick, players);
}

// The circle layout with the plain nearest-free scan: the planets in order, a strictly
// nearer one replacing the best so far, the other players' planets passed over.
PositionTable PlainCircle(const MapPreview& pv, const MapContext& map, int players, Random& random, const Clock& clock) {
  std::array<int, MAX_PLAYERS + 1> pick{};
  float a = static_cast<float>(random.Next() * 6.28);
  const float step = static_cast<float>(6.28318 / players);
  for (int i = 1; i <= players; ++i) {
    const long long tx = RoundToInt(std::sin(static_cast<double>(a)) * map.circleRadius + map.centerX);
    const long long ty = RoundToInt(std::cos(static_cast<double>(a)) * map.circleRadius + map.centerY);
    long long best = 30000;
    for (int p = 1; p <= map.planetCount; ++p) {
      const long long d = std::llabs(tx - pv.X[p]) + std::llabs(ty - pv.Y[p]);
      const bool taken = std::any_of(pick.begin() + 1, pick.begin() + players + 1,
                                     [&](const int& held) { return &held != &pick[i] && held == p; });
      if (d < best && !taken) {
        best = d;
        pick[i] = p;
      }
    }
    a = a + step;
  }
  random.Seed(clock.SecondsSinceMidnight());
  for (int k = 0; k < 50; ++k) {
    const long long u = RoundToInt(random.Next() * players + 0.5);
    const long long v = RoundToInt(random.Next() * players + 0.5);
    if (u >= 1 && u < players && v >= 1 && v < players && u != v) std::swap(pick[u], pick[v]);
  }
  return PickedPositions(pv, pick, players);
}

TEST(FastPaths, TheSpacedAndCircleLayoutsPickThePlanetsThePlainScansPick) {
  std::mt19937 rng(23);
  const FixedClock clock;
  int spaced = 0, placed = 0, unplaced = 0;
  for (int round = 0; round < 400; ++round) {
    auto layouts = std::make_unique<StartLayouts>();
    MapContext map;
    // Maps of every size, some on a coarse grid or of a few points only (many equal
    // distances, several planets on one point, a trial often landing on a planet already
    // taken), fewer planets than players, and circles reaching past every planet or
    // centred far outside the map, where no planet is near enough.
    const int planets = round % 4 == 0 ? 1 + static_cast<int>(rng() % 40) : 1 + static_cast<int>(rng() % 600);
    const int spread = round % 3 == 0 ? 4 : round % 3 == 1 ? 60 : 4000;
    const int step = round % 3 == 0 ? 500 : round % 3 == 1 ? 10 : 1;
    const int from = round % 2 ? 1000 : -1000;
    for (int p = 1; p <= planets; ++p) {
      layouts->preview.X[p] = static_cast<int16_t>(from + step * static_cast<int>(rng() % spread));
      layouts->preview.Y[p] = static_cast<int16_t>(from + step * static_cast<int>(rng() % spread));
    }
    map.planetCount = planets;
    map.centerX = round % 10 == 0 ? 40000 : static_cast<int32_t>(rng() % 3000);
    map.centerY = round % 7 == 0 ? -40000 : static_cast<int32_t>(rng() % 3000);
    map.circleRadius = round % 11 == 0 ? 32767 : static_cast<int32_t>(rng() % 2000);
    const int players = 1 + static_cast<int>(rng() % MAX_PLAYERS);
    Random fast, plain;
    fast.SetFixedSeed(round);
    plain.SetFixedSeed(round);
    PlaceCircle(*layouts, map, players, fast, clock);
    PositionTable expected = PlainCircle(layouts->preview, map, players, plain, clock);
    for (int i = 1; i <= MAX_PLAYERS; ++i) {
      ASSERT_EQ(layouts->circlePositions[i], expected[i]) << "round " << round << " circle player " << i;
      (expected[i].x != 0 ? placed : unplaced) += i <= players;
    }
    fast.Seed(0);
    plain.Seed(0);
    PlaceSpaced(*layouts, map, players, fast);
    expected = PlainSpaced(layouts->preview, planets, players, plain);
    for (int i = 1; i <= MAX_PLAYERS; ++i) {
      ASSERT_EQ(layouts->randomPositions[i], expected[i]) << "round " << round << " spaced player " << i;
    }
    // Both drew the same numbers: the next draw agrees too.
    ASSERT_EQ(fast.Next(), plain.Next()) << "round " << round;
    spaced += players > 1 && expected[1].x != 0;
  }
  EXPECT_GT(spaced, 250);
  EXPECT_GT(placed, 2500);
  EXPECT_GT(unplaced, 1000);
}

// ---- The players and planets of a universe file, without a view of every object --------

// The players and planets of two readings, field by field.
void ExpectSameStart(const StartPositions& a, const StartPositions& b, const std::string& what) {
  ASSERT_EQ(a.players.size(), b.players.size()) << what;
  for (size_t i = 0; i < a.players.size(); ++i) {
    const PlayerView &p = a.players[i], &q = b.players[i];
    ASSERT_EQ(std::tie(p.slot, p.raceId, p.raceName, p.hasHome, p.homeIsBase, p.x, p.y, p.homePlanetId),
              std::tie(q.slot, q.raceId, q.raceName, q.hasHome, q.homeIsBase, q.x, q.y, q.homePlanetId))
        << what << ", player " << i;
  }
  ASSERT_EQ(a.planets.size(), b.planets.size()) << what;
  for (size_t i = 0; i < a.planets.size(); ++i) {
    const PlanetView &p = a.planets[i], &q = b.planets[i];
    ASSERT_EQ(std::tie(p.id, p.x, p.y, p.name, p.ore), std::tie(q.id, q.x, q.y, q.name, q.ore))
        << what << ", planet " << i;
  }
}

// The start positions read straight from the bytes, and the players and planets of the
// whole view, against the view's planet records read field by field by name (the plain
// look-up that the fields found once per kind replace). ReadStartPositions names only
// the players' home planets; the report made from either is the same.
void ExpectSameStartPositions(const std::vector<uint8_t>& bytes, const std::string& what) {
  const UniverseView view = ReadUniverseView(bytes);
  StartPositions plain{Players(view), {}};
  for (const ObjectView& o : view.objects) {
    if (!o.kind || !o.record || o.kind->blockKind != BlockKind::Planet) continue;
    const Record& r = o.record->record;
    const long long ore = static_cast<long long>(r.Get("oreN")) + r.Get("oreD") + r.Get("oreT") + r.Get("oreM");
    plain.planets.push_back(PlanetView{o.id, r.Get("x"), r.Get("y"), ObjectName(o), ore});
  }
  const StartPositions whole{plain.players, Planets(view)};
  ASSERT_NO_FATAL_FAILURE(ExpectSameStart(whole, plain, what + ", the view"));
  for (PlanetView& planet : plain.planets) {
    const auto home = [&](const PlayerView& p) { return p.hasHome && p.homePlanetId == planet.id; };
    if (planet.id == 0 || std::none_of(plain.players.begin(), plain.players.end(), home)) planet.name.clear();
  }
  const StartPositions start = ReadStartPositions(bytes);
  ASSERT_NO_FATAL_FAILURE(ExpectSameStart(start, plain, what));
  ASSERT_EQ(FairnessText(RateStartPositions(start.players, start.planets)),
            FairnessText(RateStartPositions(whole.players, whole.planets)))
      << what;
}

TEST(FastPaths, StartPositionsReadStraightFromTheFileAreThoseOfItsView) {
  test::GenerationGame g;
  ASSERT_EQ(g.Generate(1, {"--map", "echo", "--races", "101,102,103,104,105,106", "--layout", "spaced",
                           "--standard-ships", "1", "--extra-freighters", "1"}),
            0);
  const std::vector<uint8_t> good = ReadWholeFile(g.Universe(1));
  ASSERT_NO_FATAL_FAILURE(ExpectSameStartPositions(good, "the generated file"));
  const std::vector<PlanetView> goodPlanets = ReadStartPositions(good).planets;
  ASSERT_GT(goodPlanets.size(), 100u);
  // Every player of the generated game has a base on a named planet.
  EXPECT_EQ(std::count_if(goodPlanets.begin(), goodPlanets.end(), [](const PlanetView& p) { return !p.name.empty(); }), 6);
  const UniverseView view = ReadUniverseView(good);
  const long long indexPos = view.directory.record.Get("indexPos");
  const long long tablesPos = view.directory.record.Get("objectTablesPos");
  const long long entrySize = ObjectIndexEntryLayout().size();
  std::mt19937 rng(23);
  const auto at = [](long long pos) { return static_cast<size_t>(pos - 1); };
  for (int round = 0; round < 150; ++round) {
    std::vector<uint8_t> bytes = good;
    switch (round % 5) {
      case 0:  // cut off anywhere
        bytes.resize(rng() % bytes.size());
        break;
      case 1:  // index entries pointing at one record (ties in the storing order), past the end, or emptied
        for (int k = 0; k < 40; ++k) {
          const long long entry = indexPos + entrySize * static_cast<long long>(rng() % 1200);
          const long long other = indexPos + entrySize * static_cast<long long>(rng() % 1200);
          const int how = static_cast<int>(rng() % 3);
          if (how == 0) std::copy_n(bytes.begin() + static_cast<long>(at(other)), entrySize, bytes.begin() + static_cast<long>(at(entry)));
          if (how == 1) PutI32(&bytes[at(entry) + 2], static_cast<int32_t>(bytes.size() - rng() % 300));
          if (how == 2) std::fill_n(bytes.begin() + static_cast<long>(at(entry)), entrySize, 0);
        }
        break;
      case 2:  // kind codes changed or cleared, owners changed
        for (int k = 0; k < 40; ++k) {
          const long long id = 1 + rng() % 1200;
          PutI16(&bytes[at(tablesPos + 4 * 2LL * MAX_OBJECTS + 2 * (id - 1))], static_cast<int16_t>(rng() % 25) - 2);
          PutI16(&bytes[at(indexPos + entrySize * (id - 1))], static_cast<int16_t>(rng() % 40) - 5);
        }
        break;
      case 3:  // random bytes anywhere
        for (int k = 0; k < 200; ++k) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
        break;
      default:  // a directory or header gone wrong
        for (int k = 0; k < 4; ++k) bytes[rng() % 2000] = static_cast<uint8_t>(rng());
        break;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSameStartPositions(bytes, "round " + std::to_string(round)));
  }
}

// Passing over stretches known to be zero finds the objects the byte by byte search
// finds: on the generated file and on copies with entries cleared and set here and there,
// with the zero stretches taken whole, cut at random, and cut at entry boundaries and
// one byte on either side of them.
TEST(FastPaths, StartPositionsPassingOverZeroStretchesAreThoseOfTheWholeSearch) {
  test::GenerationGame g;
  ASSERT_EQ(g.Generate(1, {"--map", "echo", "--races", "101,102,103", "--layout", "spaced"}), 0);
  const std::vector<uint8_t> good = ReadWholeFile(g.Universe(1));
  const UniverseView view = ReadUniverseView(good);
  const long long indexPos = view.directory.record.Get("indexPos");
  const long long kindsPos = view.directory.record.Get("objectTablesPos") + 4 * 2LL * MAX_OBJECTS;
  const size_t entrySize = static_cast<size_t>(ObjectIndexEntryLayout().size());
  const size_t indexStart = static_cast<size_t>(indexPos - 1);
  std::mt19937 rng(41);
  for (int round = 0; round < 60; ++round) {
    std::vector<uint8_t> bytes = good;
    for (int k = 0; k < round % 7 * 5; ++k) {
      const int id = 1 + static_cast<int>(rng() % 1500);
      const size_t entry = indexStart + entrySize * static_cast<size_t>(id - 1);
      std::fill_n(bytes.begin() + static_cast<long>(entry), entrySize, 0);
      if (rng() % 2) continue;  // emptied
      // A planet whose entry holds a single byte that is not zero, in its record position,
      // with zeros before it.
      PutI16(&bytes[static_cast<size_t>(kindsPos - 1) + 2 * static_cast<size_t>(id - 1)], ObjectKind::PLANET);
      bytes[entry + 2 + rng() % 2] = static_cast<uint8_t>(1 + rng() % 255);
    }
    // The runs of zero bytes, each taken as it is or shortened at either end.
    std::vector<ByteStretch> zeros;
    for (size_t at = 0; at < bytes.size();) {
      if (bytes[at] != 0) {
        ++at;
        continue;
      }
      size_t end = at;
      while (end < bytes.size() && bytes[end] == 0) ++end;
      ByteStretch z{at, end};
      const size_t length = end - at;
      switch (round % 3) {
        case 0: break;  // whole
        case 1:         // cut at random
          z.begin += rng() % length;
          z.end -= rng() % (z.end - z.begin);
          break;
        default: {  // to the entry boundaries inside it, and one byte off them
          const auto boundary = [&](size_t pos) {
            return pos < indexStart ? pos : indexStart + (pos - indexStart + entrySize - 1) / entrySize * entrySize;
          };
          const size_t b = std::min(boundary(z.begin) + rng() % 3 - 1, end - 1);
          z.begin = std::max(z.begin, b);
          z.end = std::max(z.begin + 1, std::min(end, boundary(z.begin + length / 2) + rng() % 3));
          break;
        }
      }
      if (z.end > z.begin && rng() % 4 != 0) zeros.push_back(z);
      at = end;
    }
    const StartPositions plain = ReadStartPositions(bytes);
    ASSERT_GT(plain.planets.size(), 0u) << "round " << round;
    ASSERT_NO_FATAL_FAILURE(ExpectSameStart(ReadStartPositions(bytes, zeros), plain, "round " + std::to_string(round)));
  }
}

}  // namespace
}  // namespace tarvik
