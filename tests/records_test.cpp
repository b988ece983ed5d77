#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "base/errors.h"
#include "universe/record_dump.h"
#include "universe/records.h"
#include "universe/table.h"
#include "universe/tables.h"

namespace tarvik {
namespace {

const RecordLayout& LayoutNamed(std::string_view name) {
  for (const RecordLayout* l : AllRecordLayouts()) {
    if (l->name() == name) return *l;
  }
  throw std::runtime_error("no layout " + std::string(name));
}

TEST(RecordLayouts, EveryKindIsPresentWithItsStoredSize) {
  const std::map<std::string, int> expected = {
      {"PlanetRecord", 288},      {"ShipRecord", 1424},      {"BaseRecord", 1502},
      {"ConPodRecord", 132},      {"OrePodRecord", 130},     {"LifePodRecord", 134},
      {"AssaultPodRecord", 150},  {"OutfitPodRecord", 408},  {"NativePodRecord", 154},
      {"ResupplyPodRecord", 142}, {"GoldPodRecord", 196},    {"WreckageRecord", 346},
      {"MinefieldRecord", 60},    {"ThingRecord", 180},      {"BuoyRecord", 222},
      {"WingRecord", 284},        {"PlayerRecord", 226},     {"ObjectIndexEntry", 12},
  };
  std::map<std::string, int> seen;
  for (const RecordLayout* l : AllRecordLayouts()) seen[std::string(l->name())] = l->size();
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(AllRecordLayouts().size(), 18u);

  // The working records take their size from the layout.
  WorkingRecords w;
  EXPECT_EQ(w.ship.bytes().size(), 1424u);
  EXPECT_EQ(w.minefield.bytes().size(), 60u);
}

TEST(RecordLayouts, FieldsTileEachRecordInOffsetOrder) {
  for (const RecordLayout* l : AllRecordLayouts()) {
    SCOPED_TRACE(std::string(l->name()));
    int next = 0;
    std::set<std::string_view> names;
    for (const Field& f : l->fields()) {
      EXPECT_EQ(f.offset, next) << "field '" << f.name << "' leaves a gap or overlaps";
      EXPECT_GE(f.count, 1) << f.name;
      EXPECT_GT(f.ElementWidth(), 0) << f.name;
      if (f.type != FieldType::Chars) {
        EXPECT_EQ(f.charLen, 0) << f.name;
      }
      if (!f.name.empty()) {
        EXPECT_TRUE(names.insert(f.name).second) << "duplicate name " << f.name;
      }
      next = f.offset + f.Width();
    }
    EXPECT_EQ(next, l->size()) << "fields do not end at the record's size";
  }
}

// The object store and the script's block commit reach these fields on every kind by
// name, so each object record must carry them with the expected type.
TEST(RecordLayouts, ObjectRecordsCarryTheCommonFields) {
  for (const RecordLayout* l : AllRecordLayouts()) {
    if (l->name() == "PlayerRecord" || l->name() == "ObjectIndexEntry") continue;
    SCOPED_TRACE(std::string(l->name()));
    for (const char* n : {"id", "serial"}) {
      const Field* f = l->Find(n);
      ASSERT_NE(f, nullptr) << n;
      EXPECT_EQ(f->type, FieldType::I32) << n;
    }
    const FieldType coordType = l->name() == "AssaultPodRecord" ? FieldType::I16 : FieldType::I32;
    for (const char* n : {"x", "y"}) {
      const Field* f = l->Find(n);
      ASSERT_NE(f, nullptr) << n;
      EXPECT_EQ(f->type, coordType) << n;
    }
    // A minefield is the one kind without a name.
    const Field* key = l->Find("nameKey");
    const Field* name = l->Find("name");
    if (l->name() == "MinefieldRecord") {
      EXPECT_EQ(key, nullptr);
      EXPECT_EQ(name, nullptr);
    } else {
      ASSERT_NE(key, nullptr);
      EXPECT_EQ(key->type, FieldType::I16);
      ASSERT_NE(name, nullptr);
      EXPECT_EQ(name->type, FieldType::Chars);
    }
    const bool ownerless = l->name() == "PlanetRecord" || l->name() == "ThingRecord";
    const Field* owner = l->Find("pNum");
    if (ownerless) {
      EXPECT_EQ(owner, nullptr);
    } else {
      ASSERT_NE(owner, nullptr);
      EXPECT_EQ(owner->type, FieldType::I16);
    }
  }
}

TEST(RecordLayouts, OffsetsThatOtherStepsRelyOn) {
  struct Spot {
    const char* layout;
    const char* field;
    int offset;
    FieldType type;
    int count;
  };
  const Spot spots[] = {
      {"ShipRecord", "x", 566, FieldType::I32, 1},
      {"ShipRecord", "hull", 116, FieldType::I16, 1},
      {"ShipRecord", "pNum", 94, FieldType::I16, 1},
      {"ShipRecord", "fCode", 662, FieldType::Chars, 1},
      {"ShipRecord", "extraCodes", 665, FieldType::Chars, 3},
      {"ShipRecord", "factor", 494, FieldType::F32, 1},
      {"ShipRecord", "hullValues", 862, FieldType::I32, 3},
      {"BaseRecord", "x", 1368, FieldType::I32, 1},
      {"BaseRecord", "structMask", 312, FieldType::I32, 1},
      {"BaseRecord", "sWeapon", 952, FieldType::I16, 10},
      {"MinefieldRecord", "flavor", 10, FieldType::I32, 1},
      {"MinefieldRecord", "radius", 18, FieldType::I32, 1},
      {"PlanetRecord", "contraband", 220, FieldType::I32, 12},
      {"WingRecord", "nameKey", 233, FieldType::I16, 1},
      {"BuoyRecord", "countdown", 206, FieldType::I32, 1},
      {"PlayerRecord", "money", 82, FieldType::I32, 1},
      {"ObjectIndexEntry", "owner", 0, FieldType::I16, 1},
      {"ObjectIndexEntry", "recordPos", 2, FieldType::I32, 1},
      {"ObjectIndexEntry", "recordSize", 6, FieldType::I16, 1},
  };
  for (const Spot& s : spots) {
    SCOPED_TRACE(std::string(s.layout) + "." + s.field);
    const Field* f = LayoutNamed(s.layout).Find(s.field);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->offset, s.offset);
    EXPECT_EQ(f->type, s.type);
    EXPECT_EQ(f->count, s.count);
  }
  EXPECT_EQ(LayoutNamed("ShipRecord").Get("extraCodes").charLen, 3);
}

TEST(RecordAccess, NumbersLandLittleEndianAtTheirOffsets) {
  Record ship(ShipRecordLayout());
  ship.Set("x", 0x01020304);
  EXPECT_EQ(ship.bytes()[566], 0x04);
  EXPECT_EQ(ship.bytes()[569], 0x01);
  ship.Set("sWeapon", -2, 30);  // last element: 258 + 29 * 2
  EXPECT_EQ(ship.bytes()[316], 0xFE);
  EXPECT_EQ(ship.bytes()[317], 0xFF);
  EXPECT_EQ(ship.Get("sWeapon", 30), -2);
  ship.SetFloat("factor", 0.5f);
  EXPECT_EQ(ship.I32At(494), 0x3F000000);

  Record base(BaseRecordLayout());
  base.SetI32At(330, 77);  // an unnamed field reached by offset
  EXPECT_EQ(base.Get("highGuard"), 0);
  EXPECT_EQ(base.Get("colonists"), 0);
  EXPECT_EQ(base.I32At(330), 77);
}

TEST(RecordAccess, TextFieldsArePaddedCutOrLeftZero) {
  Record planet(PlanetRecordLayout());
  EXPECT_EQ(planet.Text("name"), std::string(40, '\0'));

  planet.SetText("name", "Vega");
  EXPECT_EQ(planet.Text("name"), "Vega" + std::string(36, ' '));
  EXPECT_EQ(planet.Get("nameKey"), 0);  // the byte after the field is untouched

  const std::string longer(50, 'Q');
  planet.SetText("name", longer + "Z");
  EXPECT_EQ(planet.Text("name"), std::string(40, 'Q'));
  EXPECT_EQ(planet.bytes()[48], 0);

  Record ship(ShipRecordLayout());
  ship.SetText("extraCodes", "AB", 2);
  EXPECT_EQ(ship.Text("extraCodes", 1), std::string(3, '\0'));
  EXPECT_EQ(ship.Text("extraCodes", 2), "AB ");
  EXPECT_EQ(ship.Text("extraCodes", 3), std::string(3, '\0'));
  EXPECT_EQ(ship.bytes()[668], 'A');
}

TEST(RecordAccess, OverflowAndBadIndexLeaveTheRecordUnchanged) {
  Record ship(ShipRecordLayout());
  ship.Set("hull", 15);
  ship.Set("lWeapon", 9, 20);
  const std::vector<uint8_t> before = ship.bytes();

  EXPECT_THROW(ship.Set("hull", 40000), RuntimeError);
  EXPECT_THROW(ship.Set("hull", -32769), RuntimeError);
  EXPECT_THROW(ship.Set("x", 3000000000LL), RuntimeError);
  EXPECT_THROW(ship.Set("lWeapon", 1, 21), RuntimeError);
  EXPECT_THROW(ship.Set("lWeapon", 1, 0), RuntimeError);
  EXPECT_THROW(ship.SetText("extraCodes", "XYZ", 4), RuntimeError);
  EXPECT_THROW(ship.Get("waypointX", 7), RuntimeError);
  EXPECT_THROW(ship.Set("noSuchField", 1), RuntimeError);
  EXPECT_EQ(ship.bytes(), before);

  ship.Set("hull", 32767);
  EXPECT_EQ(ship.Get("hull"), 32767);
  ship.Set("hull", -32768);
  EXPECT_EQ(ship.Get("hull"), -32768);
}

TEST(UniverseTableBounds, SlotsAreOneBasedAndValuesMustFit) {
  UniverseTables t;
  t.playerActive.Set(1, 1);
  t.playerActive.Set(30, 1);
  EXPECT_THROW(t.playerActive.Set(0, 1), RuntimeError);
  EXPECT_THROW(t.playerActive.Set(31, 1), RuntimeError);
  EXPECT_THROW((void)t.exoticA[31], RuntimeError);
  EXPECT_THROW((void)t.homeX[0], RuntimeError);

  EXPECT_THROW(t.playerRace.Set(5, 32768), RuntimeError);
  EXPECT_EQ(t.playerRace[5], 0);
  t.playerRace.Set(5, 32767);
  EXPECT_EQ(t.playerRace[5], 32767);

  Table<int16_t, MAX_OBJECTS> kinds;
  kinds.Set(MAX_OBJECTS, 1015);
  EXPECT_EQ(kinds[20000], 1015);
  EXPECT_THROW(kinds.Set(20001, 1), RuntimeError);
}

TEST(RecordDump, ShowsNamedFieldsArraysTextAndOnlySetUnnamedFields) {
  Record mine(MinefieldRecordLayout());
  mine.Set("pNum", 3);
  mine.Set("radius", 120);
  mine.SetI32At(36, -7);  // second element of the unnamed run at 32
  const std::string dump = DumpRecord(mine);
  EXPECT_EQ(dump,
            "MinefieldRecord (60 bytes)\n"
            "pNum = 3\n"
            "id = 0\n"
            "serial = 0\n"
            "flavor = 0\n"
            "cmdFlag = 0\n"
            "radius = 120\n"
            "x = 0\n"
            "y = 0\n"
            "countdown = 0\n"
            "@32 = [0, -7, 0, 0, 0, 0, 0]\n");

  Record ship(ShipRecordLayout());
  ship.SetText("fCode", "a\"");
  ship.SetBytes(ShipRecordLayout().Get("name"), std::string("\x01Z", 2));
  ship.Set("generator", 4, 2);
  ship.SetFloat("factor", 0.5f);
  const std::string s = DumpRecord(ship);
  EXPECT_NE(s.find("fCode = \"a\\x22 \"\n"), std::string::npos) << s;
  EXPECT_NE(s.find("name = \"\\x01Z\\x00"), std::string::npos) << s;
  EXPECT_NE(s.find("shipLog = (unset)\n"), std::string::npos) << s;
  EXPECT_NE(s.find("extraCodes = [(unset), (unset), (unset)]\n"), std::string::npos) << s;
  EXPECT_NE(s.find("generator = [0, 4, 0, 0, 0]\n"), std::string::npos) << s;
  EXPECT_NE(s.find("factor = 0.5\n"), std::string::npos) << s;
  EXPECT_EQ(s.find("@"), std::string::npos) << s;
}

}  // namespace
}  // namespace tarvik
