// The inspector: a universe file with one object of every kind, each record filled with
// values of its own, read back as JSON and compared field by field with the records the
// store was given; the same file checked at offsets written by hand; the file cut off
// at several places; the slot records and the data packs; and files with absurd counts
// and positions.
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/cp1252.h"
#include "base/json.h"
#include "base/text.h"
#include "forge/forge.h"
#include "survey/file_dump.h"
#include "json_lite.h"
#include "objects/object_kinds.h"
#include "objects/object_store.h"
#include "packs/scramble.h"
#include "script_game.h"
#include "universe/slot_records.h"

namespace tarvik::test {
namespace {

// A text as the inspector shows it: without its zero bytes at the end, as UTF-8.
std::string Shown(std::string bytes) {
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return Cp1252ToUtf8(bytes);
}

std::string Key(const Field& f) { return f.name.empty() ? "@" + std::to_string(f.offset) : std::string(f.name); }

// The inspection of a file that is whole: of this kind, without an error.
Json InspectedWhole(const std::vector<uint8_t>& bytes, const std::string& name, InspectedKind kind) {
  const Inspection inspection = InspectFile(bytes, name, name);
  EXPECT_EQ(inspection.kind, kind) << name;
  EXPECT_EQ(inspection.errorCount, 0u) << inspection.json;
  return Json::Parse(inspection.json);
}

// Every field of the record gets a value of its own, so that a field read from the
// wrong offset or with the wrong width shows.
void FillDistinct(Record& r, int seed) {
  for (const Field& f : r.layout().fields()) {
    for (int i = 1; i <= f.count; ++i) {
      const int v = seed + f.offset * 3 + i;
      switch (f.type) {
        case FieldType::I16: r.Set(f, v % 30000 - 15000, i); break;
        case FieldType::I32: r.Set(f, 100000 + v * 7, i); break;
        case FieldType::F32: PutF32(r.bytes().data() + f.offset + 4 * (i - 1), static_cast<float>(v) + 0.25f); break;
        case FieldType::Chars: {
          std::string t;
          for (int k = 0; k < f.charLen; ++k) t += static_cast<char>('A' + (v + k) % 26);
          r.SetBytes(f, t, i);
          break;
        }
      }
    }
  }
}

// Expects the JSON object of a record to hold every field of `r` under its table name.
void ExpectFields(const Record& r, const Json& json) {
  for (const Field& f : r.layout().fields()) {
    SCOPED_TRACE(std::string(r.layout().name()) + "." + Key(f));
    ASSERT_TRUE(json.Has(Key(f)));
    const Json& v = json[Key(f)];
    if (f.count > 1) {
      ASSERT_EQ(v.size(), static_cast<size_t>(f.count));
    }
    for (int i = 1; i <= f.count; ++i) {
      const Json& e = f.count == 1 ? v : v[static_cast<size_t>(i - 1)];
      switch (f.type) {
        case FieldType::I16:
        case FieldType::I32: EXPECT_EQ(e.n, r.Get(f, i)) << i; break;
        case FieldType::F32: EXPECT_FLOAT_EQ(static_cast<float>(e.n), GetF32(r.bytes().data() + f.offset + 4 * (i - 1))); break;
        case FieldType::Chars: EXPECT_EQ(e.s, Shown(r.Text(f, i))) << i; break;
      }
    }
  }
}

// A universe with races 101 and 102 and one object of every kind, each built from
// distinct values with its names scrambled from known plain names.
struct EveryKindUniverse {
  ScriptGame g;
  std::map<BlockKind, Record> given;
  std::map<BlockKind, std::string> plainNames;

  EveryKindUniverse() {
    const std::string script =
        g.WriteScript({"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END"});
    RunScript(g.s, script, ScriptPass::Settings);
    WriteUniverseFile(g.s);
    OpenObjectStore(g.s, g.universe);
    int seed = 1;
    for (const ObjectKindDescriptor& kind : ObjectKinds()) {
      Record& r = g.s.records.*kind.record;
      FillDistinct(r, seed * 11);
      r.Set("x", 1000 + 100 * seed);
      r.Set("y", 2000 - 50 * seed);
      if (r.layout().Find("pNum")) r.Set("pNum", 1 + seed % 2);
      if (kind.blockKind == BlockKind::Ship) r.Set("hull", 7);
      if (kind.blockKind == BlockKind::Minefield) {
        r.Set("flavor", 2);
        r.Set("radius", 150);
      }
      // "\xC9" is É in the game's code page.
      const std::string plain = "\xC9lan " + std::string(kind.blockWord);
      for (const ScrambledText& text : kind.scrambled) {
        const Field& f = TextField(text, r.layout());
        r.SetBytes(f, Scrambled(r.Get(text.keyField), FixedText(plain, static_cast<size_t>(f.charLen))));
      }
      if (!kind.scrambled.empty()) plainNames[kind.blockKind] = plain;
      kind.store(g.s);
      given.emplace(kind.blockKind, r);  // as stored: with its id and serial
      ++seed;
    }
    CloseObjectStore(g.s);
  }

  std::vector<uint8_t> Bytes() const { return ReadWholeFile(g.universe); }
};

TEST(Inspector, EveryObjectKindReadsBackAsTheStoreWasGivenIt) {
  EveryKindUniverse u;
  const Inspection inspection = InspectFile(u.Bytes(), "g1.yig", "g1.yig");
  EXPECT_EQ(inspection.kind, InspectedKind::Universe);
  EXPECT_EQ(inspection.errorCount, 0u) << inspection.json.substr(inspection.json.rfind("\"errors\""));
  const Json doc = Json::Parse(inspection.json);
  EXPECT_EQ(doc["kind"].s, "universe file");
  EXPECT_EQ(doc["errors"].size(), 0u);
  const Json& objects = doc["objects"];
  ASSERT_EQ(objects.size(), ObjectKinds().size());
  std::map<std::string, int> seen;
  for (size_t i = 0; i < objects.size(); ++i) {
    const Json& o = objects[i];
    const ObjectKindDescriptor* kind = KindOfWord(o["kind"].s);
    ASSERT_NE(kind, nullptr) << o["kind"].s;
    SCOPED_TRACE(o["kind"].s);
    ++seen[o["kind"].s];
    const Record& r = u.given.at(kind->blockKind);
    EXPECT_EQ(o["id"].n, r.Get("id"));
    EXPECT_EQ(o["record"].s, std::string(r.layout().name()));
    EXPECT_EQ(o["objectKind"].n, KindCodeOf(*kind, r));
    EXPECT_EQ(o["objectX"].n, r.Get("x"));
    EXPECT_EQ(o["owner"].n, OwnerOf(*kind, r));
    ExpectFields(r, o["fields"]);
    if (kind->scrambled.empty()) {
      EXPECT_FALSE(o["fields"].Has("unscrambled"));
      EXPECT_FALSE(o.Has("name"));
      continue;
    }
    const std::string plain = u.plainNames.at(kind->blockKind);
    EXPECT_EQ(o["name"].s, Cp1252ToUtf8(plain));
    const Json& unscrambled = o["fields"]["unscrambled"];
    ASSERT_EQ(unscrambled.size(), kind->scrambled.size());
    for (const ScrambledText& text : kind->scrambled) {
      const Field& f = TextField(text, r.layout());
      EXPECT_EQ(unscrambled[Key(f)].s, Cp1252ToUtf8(FixedText(plain, static_cast<size_t>(f.charLen)))) << Key(f);
    }
  }
  EXPECT_EQ(seen.size(), ObjectKinds().size());

  // The index and the map list name every object once.
  EXPECT_EQ(doc["index"].size(), objects.size());
  EXPECT_EQ(doc["mapList"].size(), objects.size());
  for (size_t i = 0; i < objects.size(); ++i) {
    EXPECT_EQ(doc["index"][i]["id"].n, objects[i]["id"].n);
    EXPECT_EQ(doc["index"][i]["recordPos"].n, objects[i]["position"].n);
    EXPECT_EQ(doc["index"][i]["reserved"].n, 0);
  }
}

// The same file's header, directory, player section and race data, read at offsets
// written here by hand rather than from the field tables. (The objects' fields are
// compared above with the records they came from; where the tables put them in the file
// is what every recorded run's file hash pins.)
TEST(Inspector, AgreesWithOffsetsWrittenByHand) {
  EveryKindUniverse u;
  const FileImage img(u.g.universe);
  const Json doc = Json::Parse(InspectFile(u.Bytes(), "g1.yig", "g1.yig").json);
  const Json& header = doc["header"];
  EXPECT_EQ(header["title"].s, "Stellarvane 4 ( By Quillenbrast ) Universe File:");
  EXPECT_EQ(header["tableBase"].n, img.I32(473));
  EXPECT_EQ(header["serialCounter"].n, img.I32(477));
  EXPECT_EQ(header["serialCounter"].n, static_cast<double>(ObjectKinds().size()));
  EXPECT_EQ(header["activeMask"].n, img.I32(341));
  EXPECT_EQ(header["playerRaceId"][0].n, 101);
  EXPECT_EQ(header["playerRaceId"][1].n, img.I32(225));
  EXPECT_EQ(header["@374"].n, 131313);
  EXPECT_EQ(header["timeStamp"].s, img.Text(353, 18));

  const Json& dir = doc["directory"];
  EXPECT_EQ(dir["raceBlockPos"][1].n, 980 + 1138);
  EXPECT_EQ(dir["objectTablesPos"].n, img.I32(886));
  EXPECT_EQ(dir["indexPos"].n, img.I32(890));
  EXPECT_EQ(dir["objectCount"].n, img.I32(898));
  EXPECT_EQ(dir["dataEnd"].n, img.I32(902));
  EXPECT_EQ(doc["dataFileCopy"]["position"].n, 35120);

  const long long section = img.I32(882);
  const Json& ps = doc["playerSection"];
  EXPECT_EQ(ps["gameName"].s, img.Text(section + 4302, 44));
  EXPECT_EQ(ps["raceId"][0].n, 101);
  EXPECT_EQ(ps["playerRecords"].size(), 30u);
  const Json& player2 = ps["playerRecords"][1];
  EXPECT_EQ(player2["playerNumber"].n, 2);
  EXPECT_EQ(player2["money"].n, img.I32(section + 4634 + 226 + 82));
  EXPECT_EQ(player2["@56"].n, 2147483647);
  EXPECT_EQ(ps["unscrambled"]["playerName"][1].s, FixedText("Player  2", 60));
  EXPECT_EQ(ps["siteRecords"].size(), 100u);
  EXPECT_EQ(ps["siteRecords"][99]["magnitude"].n, img.I32(section + 11984 + 99 * 68 + 8));
  EXPECT_EQ(ps["mapKindCode"].n, img.I32(section + 18844));

  // The race data of game race 1: the race name unscrambled under the key at 132.
  const Json& race = doc["gameRaces"][0];
  EXPECT_EQ(race["raceId"].n, 101);
  EXPECT_EQ(race["raceData"]["raceRecord"]["unscrambled"]["raceName"].s, FixedText("Race 101", 44));
  EXPECT_EQ(race["raceData"]["raceRecord"]["nameKey"].n, img.I16(980 + 132));

  // Flavor 2 and radius 150 give the minefield its kind code.
  int minefields = 0;
  for (const Json& o : doc["objects"].a) {
    if (o["kind"].s != "MINEFIELD") continue;
    EXPECT_EQ(o["objectKind"].n, 30500 + 149);
    ++minefields;
  }
  EXPECT_EQ(minefields, 1);
}

TEST(Inspector, ACutOffUniverseGivesWhatCouldBeReadAndItsErrors) {
  EveryKindUniverse u;
  const std::vector<uint8_t> whole = u.Bytes();
  const Json full = Json::Parse(InspectFile(whole, "g1.yig", "g1.yig").json);
  const size_t lastPos = static_cast<size_t>(full["objects"][full["objects"].size() - 1]["position"].Int());
  struct Cut {
    size_t length;
    std::string error;  // a part of the first error
  };
  const Cut cuts[] = {
      {300, "inside the header"},
      {700, "directory at position 630 is cut off"},
      {35120 + 10, "player section position"},
      {whole.size() - 300000, "object index at position"},
      {lastPos + 20, "cut off by the end of the file"},
  };
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.length);
    const std::vector<uint8_t> bytes(whole.begin(), whole.begin() + static_cast<long>(cut.length));
    const Inspection inspection = InspectFile(bytes, "cut.yig", "cut.yig");
    EXPECT_EQ(inspection.kind, InspectedKind::Universe);
    EXPECT_GT(inspection.errorCount, 0u);
    const Json doc = Json::Parse(inspection.json);
    ASSERT_GT(doc["errors"].size(), 0u);
    bool named = false;
    for (const Json& e : doc["errors"].a) named = named || e.s.find(cut.error) != std::string::npos;
    EXPECT_TRUE(named) << inspection.json.substr(inspection.json.rfind("\"errors\""));
    EXPECT_EQ(doc["length"].n, static_cast<double>(cut.length));
  }
  // Cut inside the last record: every other object whole, the last one's fields as far
  // as they go.
  const std::vector<uint8_t> bytes(whole.begin(), whole.begin() + static_cast<long>(lastPos + 20));
  const Json doc = Json::Parse(InspectFile(bytes, "cut.yig", "cut.yig").json);
  const Json& objects = doc["objects"];
  ASSERT_EQ(objects.size(), full["objects"].size());
  for (size_t i = 0; i + 1 < objects.size(); ++i) EXPECT_EQ(objects[i]["fields"].size(), full["objects"][i]["fields"].size());
  const Json& last = objects[objects.size() - 1]["fields"];
  EXPECT_LT(last.size(), full["objects"][objects.size() - 1]["fields"].size());
  EXPECT_GT(last.size(), 0u);
  // A header cut short holds only the fields before the cut.
  const std::vector<uint8_t> head(whole.begin(), whole.begin() + 300);
  const Json headDoc = Json::Parse(InspectFile(head, "cut.yig", "cut.yig").json);
  EXPECT_TRUE(headDoc["header"].Has("@100"));         // bytes 100..219
  EXPECT_FALSE(headDoc["header"].Has("playerRaceId"));  // bytes 220..339
  EXPECT_FALSE(headDoc.Has("directory"));
}

TEST(Inspector, SlotRecordsByTheirSizeOrName) {
  GameRecord game;
  game.Set("inUse", 1);
  game.SetText("gameName", "Caf\xE9 Stars");
  SlotRecord slot;
  slot.Set("gameId", 4242);
  Json doc = InspectedWhole(game.bytes(), "anything.bin", InspectedKind::GameRecord);
  EXPECT_EQ(doc["record"].s, "GameRecord");
  EXPECT_EQ(doc["fields"]["inUse"].n, 1);
  EXPECT_EQ(doc["fields"]["gameName"].s, "Caf\xC3\xA9 Stars" + std::string(34, ' '));
  EXPECT_EQ(doc["fields"]["@694"].size(), 30u);

  EXPECT_EQ(InspectedWhole(slot.bytes(), "WAR/m123.new", InspectedKind::SlotRecord)["fields"]["gameId"].n, 4242);

  // A slot.dat cut short: known by its name; the fields it holds, and an error.
  const std::vector<uint8_t> shortSlot(slot.bytes().begin(), slot.bytes().begin() + 100);
  const Inspection cut = InspectFile(shortSlot, "WAR/SLOT3/slot.dat", "WAR/SLOT3/slot.dat");
  EXPECT_EQ(cut.kind, InspectedKind::SlotRecord);
  EXPECT_EQ(cut.errorCount, 1u);
  doc = Json::Parse(cut.json);
  EXPECT_EQ(doc["fields"]["gameId"].n, 4242);
  EXPECT_FALSE(doc["fields"].Has("hostName"));
  EXPECT_EQ(InspectedKindOf(shortSlot, "other.dat"), InspectedKind::Unknown);
}

TEST(Inspector, DataPacksAtThePositionsTheForgeWroteThem) {
  forge::RaceModuleRecipe raceRecipe{.raceId = 808, .revision = 3, .name = "Lanterns of Vey", .nameKey = 0x5A,
                                 .requiredHulls = {4, 9}};
  forge::RaceModuleLayoutInfo raceInfo;
  const std::vector<uint8_t> race = forge::BuildRaceModule(raceRecipe, &raceInfo);
  Json doc = InspectedWhole(race, "vey.rce", InspectedKind::RaceModule);
  EXPECT_EQ(doc["header"]["raceId"].n, 808);
  EXPECT_EQ(doc["header"]["revision"].n, 3);
  EXPECT_EQ(doc["header"]["directoryPos"].n, raceInfo.directoryPos);
  EXPECT_EQ(doc["directory"]["raceRecordPos"].n, raceInfo.raceRecordPos);
  EXPECT_EQ(doc["directory"]["unitRecordPos"][2].n, raceInfo.unitRecordPos[2]);
  EXPECT_EQ(doc["directory"]["extraRecordPos"][0].n, raceInfo.extraRecordPos[0]);
  EXPECT_EQ(doc["raceRecord"]["unscrambled"]["raceName"].s, FixedText("Lanterns of Vey", 44));
  EXPECT_EQ(doc["raceRecord"]["requiredHulls"][1].n, 9);
  EXPECT_EQ(doc["unitRecords"].size(), 3u);
  EXPECT_EQ(doc["extraRecords"].size(), 3u);

  forge::ShipPackRecipe packRecipe;
  packRecipe.packId = 7;
  packRecipe.revision = 2;
  packRecipe.hulls.push_back({.hullType = 12, .name = "Corvette", .nameKey = 33, .fuelCapacity = 640});
  packRecipe.hulls.push_back({.hullType = 2001, .name = "Odd", .nameKey = 9});
  forge::ShipPackLayoutInfo packInfo;
  doc = InspectedWhole(forge::BuildShipPack(packRecipe, &packInfo), "p.spk", InspectedKind::ShipPack);
  EXPECT_EQ(doc["header"]["packId"].n, 7);
  EXPECT_EQ(doc["hullTable"]["position"].n, packInfo.tablePos);
  ASSERT_EQ(doc["hulls"].size(), 2u);
  EXPECT_EQ(doc["hulls"][0]["position"].n, packInfo.entryPositions[0]);
  EXPECT_EQ(doc["hulls"][1]["recordPos"].n, packInfo.recordPositions[1]);
  EXPECT_EQ(doc["hulls"][1]["hullType"].n, 2001);
  EXPECT_EQ(doc["hulls"][0]["hullRecord"]["fuelCapacity"].n, 640);
  EXPECT_EQ(doc["hulls"][0]["hullRecord"]["unscrambled"]["hullName"].s, FixedText("Corvette", 40));

  forge::MapRecipe mapRecipe;
  mapRecipe.numberText = "0042";
  mapRecipe.planets = {{100, -200, 3, "Alder"}, {32767, -32768, 21, "Bryn \xFC"}};
  doc = InspectedWhole(forge::BuildMapFile(mapRecipe), "m.map", InspectedKind::MapFile);
  EXPECT_EQ(doc["header"]["numberText"].s, "0042");
  EXPECT_EQ(doc["header"]["planetCount"].n, 2);
  ASSERT_EQ(doc["planets"].size(), 2u);
  EXPECT_EQ(doc["planets"][1]["x"].n, 32767);
  EXPECT_EQ(doc["planets"][1]["y"].n, -32768);
  EXPECT_EQ(doc["planets"][1]["star"].n, 21);
  EXPECT_EQ(doc["planets"][1]["name"].s, FixedText("Bryn \xC3\xBC", 41));  // ü is two bytes in UTF-8

  EXPECT_EQ(InspectedWhole(forge::BuildDataFile({.bodySize = 333}), "main.dat", InspectedKind::DataFile)["bodyLength"].n, 333);
}

// Counts and positions that point anywhere: every reader says so and goes on.
TEST(Inspector, AbsurdCountsAndPositionsAreErrorsNotCrashes) {
  EveryKindUniverse u;
  const std::vector<uint8_t> whole = u.Bytes();
  const FileImage img(u.g.universe);
  const long long index = img.I32(890);
  const long long firstRecord = img.I32(static_cast<long long>(index) + 2);
  struct Poke {
    const char* what;
    size_t offset;  // 0-based
    int32_t value;
    bool i16 = false;
  };
  const Poke pokes[] = {
      {"tableBase far away", 472, 2147483647},
      {"tableBase negative", 472, -5},
      {"object tables before the file", 629 + 256, -100000},
      {"index beyond the file", 629 + 260, 2000000000},
      {"a record position beyond the file", static_cast<size_t>(index - 1 + 2), 2147483000},
      {"a record position of 0", static_cast<size_t>(index - 1 + 2), 0},
      {"a record size no kind has", static_cast<size_t>(index - 1 + 6), 31000, true},
      {"player section past the end", 629 + 252, static_cast<int32_t>(whole.size()) - 10},
      {"a race block far away", 629 + 120, 1 << 30},
      {"object count wrong", 629 + 268, 99999},
      {"a first record cut", 0, 0},
  };
  for (const Poke& poke : pokes) {
    SCOPED_TRACE(poke.what);
    std::vector<uint8_t> bytes = whole;
    if (poke.offset == 0) {
      bytes.resize(static_cast<size_t>(firstRecord + 5));
    } else if (poke.i16) {
      forge::PokeI16(bytes, poke.offset, static_cast<int16_t>(poke.value));
    } else {
      forge::PokeI32(bytes, poke.offset, poke.value);
    }
    const Inspection inspection = InspectFile(bytes, "odd.yig", "odd.yig");
    EXPECT_GT(inspection.errorCount, 0u);
    EXPECT_NO_THROW(Json::Parse(inspection.json));
  }

  // A count the program refuses shows no planet; one planet more than the lists hold
  // shows what the file holds there.
  std::vector<uint8_t> map = forge::BuildMapFile(forge::GenerateMap(5, 1000, 1000, 500, 3));
  for (const int32_t count : {0, -7, 2147483647, 19000, 6}) {
    forge::PokeI32(map, 100, count);
    const Inspection mi = InspectFile(map, "odd.map", "odd.map");
    EXPECT_GT(mi.errorCount, 0u) << count;
    const Json planets = Json::Parse(mi.json)["planets"];
    EXPECT_EQ(planets.size(), count == 6 ? 6u : 0u) << count;
    if (count == 6) {
      EXPECT_FALSE(planets[5].Has("name"));
    }
  }
  forge::PokeI32(map, 100, 5);
  forge::PokeI32(map, 104, -2147483647 - 1);
  EXPECT_GT(InspectFile(map, "odd.map", "odd.map").errorCount, 0u);

  forge::ShipPackRecipe packRecipe;
  packRecipe.hulls.push_back({.hullType = 3});
  forge::ShipPackLayoutInfo info;
  std::vector<uint8_t> pack = forge::BuildShipPack(packRecipe, &info);
  for (const int32_t count : {-1, 1000000000}) {
    forge::PokeI32(pack, static_cast<size_t>(info.tablePos - 1), count);
    EXPECT_GT(InspectFile(pack, "odd.spk", "odd.spk").errorCount, 0u) << count;
  }
  forge::PokeI32(pack, 449, 2147483647);
  EXPECT_GT(InspectFile(pack, "odd.spk", "odd.spk").errorCount, 0u);

  std::vector<uint8_t> race = forge::BuildRaceModule({});
  forge::PokeI32(race, 449, -3);
  EXPECT_GT(InspectFile(race, "odd.rce", "odd.rce").errorCount, 0u);

  const std::vector<uint8_t> empty;
  const Inspection none = InspectFile(empty, "empty", "empty");
  EXPECT_EQ(none.kind, InspectedKind::Unknown);
  EXPECT_EQ(Json::Parse(none.json)["errors"][0].s, "the file is empty");
  const std::string text = "BEGIN PLANET\r\nEND\r\n";
  EXPECT_EQ(InspectFile(std::vector<uint8_t>(text.begin(), text.end()), "a.vps", "a.vps").kind, InspectedKind::Unknown);
}

TEST(JsonWriter, NestsAndQuotes) {
  std::string out;
  JsonWriter w(out);
  w.BeginObject().Member("a\"b", 1).Key("list").BeginArray().Int(1).String("x\ny").EndArray();
  w.Key("objects").BeginArray().BeginObject().Member("t", true).EndObject().BeginArray().EndArray().EndArray();
  w.Key("nul").String(std::string_view("a\0b", 3)).Key("f").Number(0.1).Key("inf").Number(std::numeric_limits<double>::infinity());
  w.EndObject();
  const Json doc = Json::Parse(out);
  EXPECT_EQ(doc["a\"b"].n, 1);
  EXPECT_EQ(doc["list"][1].s, "x\ny");
  EXPECT_TRUE(doc["objects"][0]["t"].b);
  EXPECT_EQ(doc["objects"][1].size(), 0u);
  EXPECT_EQ(doc["nul"].s, std::string("a\0b", 3));
  EXPECT_EQ(doc["f"].n, 0.1);
  EXPECT_EQ(doc["inf"].type, Json::Type::Null);
  EXPECT_NE(out.find("\"list\": [1, \"x\\ny\"]"), std::string::npos) << out;
}

}  // namespace
}  // namespace tarvik::test
