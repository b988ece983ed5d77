// A small forged game folder for the script and batch tests: three races that need
// hull 1, one ship pack with hull types 1 to 12, a main data file and two maps. It
// builds universes from script text and reads the objects back out of the file.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/startup.h"
#include "forge/forge.h"
#include "forge/universe_reader.h"
#include "packs/race_modules.h"
#include "packs/scramble.h"
#include "script/script_reader.h"
#include "store_test_support.h"
#include "test_support.h"
#include "universe/records.h"
#include "writer/universe_file.h"

namespace tarvik::test {

// Races 101 to 103, "Race 101" to "Race 103", each needing hull 1.
inline void AddThreeRaces(forge::GameFolderRecipe& g) {
  for (int id : {101, 102, 103}) {
    const std::string n = std::to_string(id);
    g.races.push_back({"race" + n + ".rce", {.raceId = id, .name = "Race " + n, .requiredHulls = {1}}});
  }
}

inline forge::GameFolderRecipe SmallGame() {
  forge::GameFolderRecipe g;
  AddThreeRaces(g);
  forge::ShipPackRecipe pack;
  for (int h = 1; h <= 12; ++h) {
    pack.hulls.push_back({.hullType = h, .name = "Hull " + std::to_string(h), .pdWeaponSlots = 2, .lWeaponSlots = 4,
                          .sWeaponSlots = 3, .fuelCapacity = 500, .generatorSlots = 1, .crewCapacity = 100,
                          .passengerCapacity = 1000, .armorCapacity = 800, .cargoCapacity = 1000,
                          .ordnanceCapacity = 400, .fixCapacity = 300});
  }
  g.shipPacks.push_back({"pack.spk", pack});
  g.dataFiles.push_back({"main.dat", forge::DataFileRecipe{}});
  g.maps.push_back({"echo.map", forge::GenerateMap(40, 2000, 2000, 2000, 7)});
  g.maps.push_back({"small.map", forge::GenerateMap(12, 1000, 1000, 400, 9)});
  return g;
}

using forge::ReadObjects;
using forge::StoredObject;

// A stored text field, unscrambled under the record's key field.
inline std::string PlainText(const Record& r, std::string_view field, std::string_view keyField = "nameKey") {
  std::string t = r.Text(field);
  ScrambleName(r.Get(keyField), t);
  return t;
}

// Expects each named field of a record to hold its value.
inline void ExpectFields(const Record& r, const std::map<std::string, int>& fields) {
  for (const auto& [field, value] : fields) EXPECT_EQ(r.Get(field), value) << field;
}

struct ScriptGame {
  TestSession ts;
  Session& s = ts.s();
  std::string universe;

  explicit ScriptGame(const forge::GameFolderRecipe& desc = SmallGame()) {
    forge::WriteGameFolder(ts.dir.path(), desc);
    ListRaceModules(s);
    LoadRaceNames(s);
    LocateDefaultFiles(s);
    BuildBitValues(s);
    CreateFolder(s.paths.appPath + "UNIV");
    CreateFolder(s.paths.appPath + "UNIV/GAME1");
    universe = s.paths.appPath + "UNIV/GAME1/g1.yig";
    s.tables.universeFilePath = universe;
    s.random.Seed(0);
  }

  // Writes the lines as a script file, each ended with CR LF.
  std::string WriteScript(const std::vector<std::string>& lines, const std::string& name = "test.vps") {
    return ts.dir.Write("scripts/" + name, CrLfText(lines));
  }

  // Both passes around the universe file, as a build runs them; returns the objects
  // stored. A script without a RACES block plays races 101 and 102.
  std::vector<StoredObject> Build(const std::vector<std::string>& lines) {
    std::vector<std::string> all = lines;
    if (std::none_of(lines.begin(), lines.end(), [](const std::string& l) { return l.find("RACES") != l.npos; }))
      all.insert(all.begin(), {"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END"});
    const std::string path = WriteScript(all);
    RunScript(s, path, ScriptPass::Settings);
    WriteUniverseFile(s);
    RunScript(s, path, ScriptPass::Objects);
    return Objects();
  }

  std::vector<StoredObject> Objects() const { return ReadObjects(universe); }

  std::vector<std::string> LogLines() const { return CrLfLines(ts.dir.Read("tarvik.log")); }

  bool Logged(const std::string& line) const {
    const std::vector<std::string> lines = LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> m;
    for (const auto& msg : ts.ui.messages) m.push_back(msg.text);
    return m;
  }
};

}  // namespace tarvik::test
