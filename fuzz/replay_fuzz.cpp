// Fuzz target of the replay reader and the wizard behind it: each input is a replay
// file. It is read and checked; a file that passes is carried out against a small
// forged game folder with the headless front end (dumps and pictures are made but not
// written). A replay may be refused as a usage error or end the program; it must never
// crash, hang or read out of bounds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "app/session.h"
#include "app/top.h"
#include "base/errors.h"
#include "forge/forge.h"
#include "platform/clock.h"
#include "wizard/replay_driver.h"
#include "wizard/replay_reader.h"

namespace {

using namespace tarvik;

// Replays beyond this many events add run time, not new paths.
constexpr size_t MAX_EVENTS = 300;

struct NullBuffer : std::streambuf {
  int overflow(int c) override { return c; }
};

struct FuzzGame {
  std::string root;
  FixedClock clock;
  NullBuffer nullBuffer;
  std::ostream null{&nullBuffer};

  FuzzGame() {
    root = (std::filesystem::temp_directory_path() / ("tarvik-replay-fuzz-" + std::to_string(::getpid()))).string() +
           "/";
    std::filesystem::remove_all(root);
    forge::GameFolderRecipe g;
    for (int id : {101, 102, 103}) {
      forge::RaceModuleRecipe r;
      r.raceId = id;
      r.name = "Race " + std::to_string(id);
      r.requiredHulls = {1};
      g.races.push_back({"r" + std::to_string(id) + ".rce", r});
    }
    forge::ShipPackRecipe pack;
    for (int h = 1; h <= 3; ++h) {
      forge::HullRecipe hull;
      hull.hullType = h;
      pack.hulls.push_back(hull);
    }
    g.shipPacks.push_back({"p.spk", pack});
    g.dataFiles.push_back({"main.dat", forge::DataFileRecipe{.bodySize = 200, .seed = 3}});
    g.maps.push_back({"echo.map", forge::GenerateMap(40, 2000, 2000, 2000, 5)});
    g.maps.push_back({"other.map", forge::GenerateMap(12, 900, 700, 500, 6)});
    g.scripts.push_back({"small.vps", "BEGIN RACES\r\nPLAYERCOUNT = 2\r\nEND\r\nBEGIN PLANET\r\nEND\r\n"});
    forge::WriteGameFolder(root, g);
    clock.seconds = 36000;
  }

  // The folders and files a run makes, removed so that every input starts alike.
  void Reset() {
    for (const char* made : {"UNIV", "WAR", "univ", "tarvik.log"}) std::filesystem::remove_all(root + made);
  }
};

FuzzGame& Game() {
  static FuzzGame game;
  return game;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<ReplayEvent> events;
  try {
    events = ParseReplay(text, "fuzz.rpl");
  } catch (const ReplayUsageError&) {
    return 0;  // refused before start-up: allowed
  }
  if (events.size() > MAX_EVENTS) return 0;

  FuzzGame& game = Game();
  game.Reset();
  auto session = std::make_unique<Session>();
  Session& s = *session;
  s.clock = &game.clock;
  s.random.SetFixedSeed(static_cast<int64_t>(size));
  s.paths.appPath = game.root;
  ReplayDriver driver(s, std::move(events), game.null);
  driver.writeFile = [](const std::string&, const std::string&) {};
  s.ui = &driver;
  s.wizard.frontEnd = &driver;
  RunProgram(s);  // every end of the program comes back as its exit status
  return 0;
}
