// Record layouts (sizes and tiling), typed access to the record bytes, the universe
// tables' index and value rules, and the record dump.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "base/errors.h"
#include "packs/pack_state.h"
#include "universe/record_dump.h"
#include "universe/records.h"
#include "universe/slot_records.h"
#include "universe/table.h"
#include "universe/tables.h"

namespace tarvik {
namespace {

TEST(RecordLayouts, EveryKindHasItsStoredSizeAndItsFieldsTileIt) {
  const std::map<std::string, int> sizes = {
      {"PlanetRecord", 288},      {"ShipRecord", 1424},     {"BaseRecord", 1502},      {"ConPodRecord", 132},
      {"OrePodRecord", 130},      {"LifePodRecord", 134},   {"AssaultPodRecord", 150}, {"OutfitPodRecord", 408},
      {"NativePodRecord", 154},   {"ResupplyPodRecord", 142}, {"GoldPodRecord", 196},  {"WreckageRecord", 346},
      {"MinefieldRecord", 60},    {"ThingRecord", 180},     {"BuoyRecord", 222},       {"WingRecord", 284},
      {"PlayerRecord", 226},      {"ObjectIndexEntry", 12}, {"RaceRecord", 622},       {"RaceUnitRecord", 98},
      {"RaceExtraRecord", 74},    {"HullRecord", 190},      {"UniverseHeader", 629},   {"UniverseDirectory", 350},
      {"RaceDataBlock", 1138},    {"SettingsBlock", 9000},  {"PlayerSection", 27848},  {"SiteRecord", 68},
      {"GameRecord", 12536},      {"SlotRecord", 3222},
  };
  std::vector<const RecordLayout*> all(AllRecordLayouts().begin(), AllRecordLayouts().end());
  all.insert(all.end(), {&RaceRecordLayout(), &RaceUnitRecordLayout(), &RaceExtraRecordLayout(), &HullRecordLayout(),
                         &GameRecordLayout(), &SlotRecordLayout()});
  std::map<std::string, int> seen;
  for (const RecordLayout* l : all) {
    SCOPED_TRACE(std::string(l->name()));
    seen[std::string(l->name())] = l->size();
    int next = 0;
    std::set<std::string_view> names;
    for (const Field& f : l->fields()) {
      EXPECT_EQ(f.offset, next) << "field '" << f.name << "' leaves a gap or overlaps";
      EXPECT_TRUE(f.count >= 1 && f.ElementWidth() > 0) << f.name;
      EXPECT_EQ(f.charLen != 0, f.type == FieldType::Chars) << f.name;
      EXPECT_TRUE(!f.fixed || f.type == FieldType::I16 || f.type == FieldType::I32) << f.offset;
      EXPECT_TRUE(f.name.empty() || names.insert(f.name).second) << "duplicate name " << f.name;
      next = f.offset + f.Width();
    }
    EXPECT_EQ(next, l->size()) << "fields do not end at the record's size";
  }
  EXPECT_EQ(seen, sizes);
}

// Numbers by field and index are compared with their plain places in the fast-path
// tests; text fields and names are reached here.
TEST(RecordAccess, TextFieldsArePaddedCutOrLeftZero) {
  Record planet(PlanetRecordLayout());
  EXPECT_EQ(planet.Text("name"), std::string(40, '\0'));
  planet.SetText("name", "Vega");
  EXPECT_EQ(planet.Text("name"), "Vega" + std::string(36, ' '));
  EXPECT_EQ(planet.Get("nameKey"), 0);  // the bytes after the field are untouched
  planet.SetText("name", std::string(50, 'Q') + "Z");
  EXPECT_EQ(planet.Text("name"), std::string(40, 'Q'));
  EXPECT_EQ(planet.bytes()[48], 0);
  Record ship(ShipRecordLayout());
  ship.SetText("extraCodes", "AB", 2);
  EXPECT_EQ(ship.Text("extraCodes", 1), std::string(3, '\0'));
  EXPECT_EQ(ship.Text("extraCodes", 2), "AB ");
  EXPECT_EQ(ship.Text("extraCodes", 3), std::string(3, '\0'));
  EXPECT_EQ(ship.bytes()[668], 'A');
  // A text index outside the field and an unknown name change nothing.
  const std::vector<uint8_t> before = ship.bytes();
  EXPECT_THROW(ship.SetText("extraCodes", "XYZ", 4), RuntimeError);
  EXPECT_THROW(ship.Set("noSuchField", 1), RuntimeError);
  EXPECT_EQ(ship.bytes(), before);
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
}

TEST(RecordDump, ShowsNamedFieldsArraysTextAndOnlySetUnnamedFields) {
  Record mine(MinefieldRecordLayout());
  mine.Set("pNum", 3);
  mine.Set("radius", 120);
  mine.SetI32At(36, -7);  // second element of the unnamed run at 32
  EXPECT_EQ(DumpRecord(mine),
            "MinefieldRecord (60 bytes)\npNum = 3\nid = 0\nserial = 0\nflavor = 0\ncmdFlag = 0\nradius = 120\n"
            "x = 0\ny = 0\ncountdown = 0\n@32 = [0, -7, 0, 0, 0, 0, 0]\n");
  Record ship(ShipRecordLayout());
  ship.SetText("fCode", "a\"");
  const std::string s = DumpRecord(ship);
  for (const char* line :
       {"fCode = \"a\\x22 \"\n", "shipLog = (unset)\n", "extraCodes = [(unset), (unset), (unset)]\n"}) {
    EXPECT_NE(s.find(line), std::string::npos) << line << "\n" << s;
  }
  EXPECT_EQ(s.find("@"), std::string::npos) << s;
}

}  // namespace
}  // namespace tarvik
