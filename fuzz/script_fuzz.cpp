// Fuzz target of the script reader and the value readers: each input is a universe
// script, run through both passes around a universe file in a small forged game
// folder, and its text is read as a value with several bounds. A script may end the
// program (a fatal message) or fail a step; it must never crash, hang or read out of
// bounds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "app/session.h"
#include "app/startup.h"
#include "base/errors.h"
#include "forge/forge.h"
#include "packs/race_modules.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "script/script_reader.h"
#include "script/values.h"
#include "writer/universe_file.h"

namespace {

using namespace tarvik;

struct SilentUi : UserInterface {
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

struct FuzzGame {
  std::string root;
  FixedClock clock;
  SilentUi ui;

  FuzzGame() {
    root = (std::filesystem::temp_directory_path() / ("tarvik-fuzz-" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::remove_all(root);
    forge::GameFolderRecipe g;
    for (int id : {101, 102}) {
      forge::RaceModuleRecipe r;
      r.raceId = id;
      r.requiredHulls = {1};
      g.races.push_back({"r" + std::to_string(id) + ".rce", r});
    }
    forge::ShipPackRecipe pack;
    for (int h = 1; h <= 6; ++h) {
      forge::HullRecipe hull;
      hull.hullType = h;
      hull.pdWeaponSlots = static_cast<int16_t>(h);
      hull.lWeaponSlots = static_cast<int16_t>(2 * h);
      hull.sWeaponSlots = static_cast<int16_t>(3 * h);
      hull.generatorSlots = 2;
      hull.hugeWeaponMask = static_cast<int16_t>(h * 5);
      hull.cargoCapacity = 300;
      hull.passengerCapacity = 200;
      pack.hulls.push_back(hull);
    }
    g.shipPacks.push_back({"p.spk", pack});
    g.dataFiles.push_back({"main.dat", forge::DataFileRecipe{.bodySize = 200, .seed = 3}});
    g.maps.push_back({"echo.map", forge::GenerateMap(8, 2000, 2000, 1000, 5)});
    forge::WriteGameFolder(root, g);
    std::filesystem::create_directories(root + "UNIV/GAME1");
    clock.seconds = 36000;
  }
};

FuzzGame& Game() {
  static FuzzGame game;
  return game;
}

void ReadValues(Session& s, std::string_view text) {
  static const int32_t bounds[][2] = {{0, 1}, {1, 99000}, {-100, 100}, {0, 2000000000}, {500, 99000}};
  for (const auto& b : bounds) {
    GetValue(s, text, b[0], b[1]);
    GetIndex(text, b[0], b[1]);
  }
  StrictNumber(text);
  CodeText(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzGame& game = Game();
  auto session = std::make_unique<Session>();
  Session& s = *session;
  s.clock = &game.clock;
  s.ui = &game.ui;
  s.random.SetFixedSeed(static_cast<int64_t>(size));
  SetAppPath(s.paths, game.root);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    ListRaceModules(s);
    LoadRaceNames(s);
    LocateDefaultFiles(s);
    BuildBitValues(s);
    s.random.Seed(0);
    ReadValues(s, text);

    const std::string script = game.root + "scripts/fuzz.vps";
    WriteWholeFile(script, std::vector<uint8_t>(data, data + size));
    s.tables.universeFilePath = game.root + "UNIV/GAME1/g1.yig";
    DeleteFileAt(s.tables.universeFilePath);
    RunScript(s, script, ScriptPass::Settings);
    WriteUniverseFile(s);
    RunScript(s, script, ScriptPass::Objects);
  } catch (const ProgramEnd&) {
    // A fatal message ended the build: allowed.
  } catch (const RuntimeError&) {
    // A failure the batch run reports with its step number: allowed.
  }
  return 0;
}
