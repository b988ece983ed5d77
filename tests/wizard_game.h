// A forged game folder driven through the wizard by replay text, as the program does
// with --replay: start-up, then the events with the headless front end. The files that
// "dump" and "draw" write are kept in memory by name.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "app/session.h"
#include "app/top.h"
#include "forge/forge.h"
#include "json_lite.h"
#include "platform/clock.h"
#include "script_game.h"
#include "test_support.h"
#include "wizard/replay_driver.h"
#include "wizard/replay_reader.h"

namespace tarvik::test {

// Three races (101 to 103, each needing hull 1), one ship pack, a main data file, both
// stock maps, a custom map and a script.
inline forge::GameFolderRecipe WizardGameFolder() {
  forge::GameFolderRecipe g;
  AddThreeRaces(g);
  forge::ShipPackRecipe pack;
  for (int h = 1; h <= 4; ++h) pack.hulls.push_back({.hullType = h, .name = "Hull " + std::to_string(h)});
  g.shipPacks.push_back({"pack.spk", pack});
  g.dataFiles.push_back({"main.dat", forge::DataFileRecipe{}});
  g.maps.push_back({"echo.map", forge::GenerateMap(40, 2000, 2000, 2000, 7)});
  g.maps.push_back({"epsilon.map", forge::GenerateMap(60, 2500, 2500, 3000, 8)});
  g.maps.push_back({"small.map", forge::GenerateMap(12, 1000, 1000, 400, 9)});
  g.scripts.push_back({"game.vps", "BEGIN RACES\r\nPLAYERCOUNT = 2\r\nPLAYER(1) = 101\r\nPLAYER(2) = 102\r\nEND\r\n"
                                   "BEGIN PLANET\r\nNAME = Scripted\r\nEND\r\n"});
  return g;
}

// The replay lines that reach the map step: slot 1, then Next.
inline constexpr const char* TO_MAP_STEP = "click frmUnivSlots 5 10\nclick frmUnivSlots 340 310\n";

struct WizardGame {
  explicit WizardGame(const forge::GameFolderRecipe& recipe = WizardGameFolder()) {
    forge::WriteGameFolder(dir.path(), recipe);
    clock.seconds = 10 * 3600;
    clock.now = DateTime{2026, 3, 4, 10, 0, 0};
  }

  // Runs start-up and the replay text with a fresh session; the exit status.
  int Run(const std::string& replay, int64_t seed = 77) {
    err.str("");
    std::vector<ReplayEvent> events;
    try {
      events = ParseReplay(replay, "test.rpl");
    } catch (const ReplayUsageError& e) {
      err << e.what();
      return 2;
    }
    session = std::make_unique<Session>();
    Session& s = *session;
    s.clock = &clock;
    s.output = &output;
    s.random.SetFixedSeed(seed);
    s.paths.appPath = dir.path();
    driver = std::make_unique<ReplayDriver>(s, std::move(events), err);
    driver->writeFile = [this](const std::string& path, const std::string& content) { files[path] = content; };
    s.ui = driver.get();
    s.wizard.frontEnd = driver.get();
    return RunProgram(s);
  }

  Json Dump(const std::string& name) const {
    auto it = files.find(name);
    if (it == files.end()) throw std::runtime_error("no file " + name + " was written");
    return Json::Parse(it->second);
  }

  Session& s() { return *session; }

  TempDir dir;
  FixedClock clock;
  RecordingOutput output;
  std::unique_ptr<Session> session;
  std::unique_ptr<ReplayDriver> driver;
  std::ostringstream err;
  std::map<std::string, std::string> files;
};

// The texts of a dump's canvas operations of one kind, in order.
inline std::vector<std::string> CanvasTexts(const Json& form, const std::string& op) {
  std::vector<std::string> out;
  for (const Json& o : form["canvas"].a) {
    if (o["op"].s == op) out.push_back(o["text"].s);
  }
  return out;
}

// The canvas operation of that kind and text, or nullptr.
inline const Json* FindOp(const Json& form, const std::string& op, const std::string& text) {
  for (const Json& o : form["canvas"].a) {
    if (o["op"].s == op && o.Has("text") && o["text"].s == text) return &o;
  }
  return nullptr;
}

// The numbers a canvas operation of that kind and text holds under `keys` (a flag as 0
// or 1); empty when the form draws no such operation.
inline std::vector<int> OpAt(const Json& form, const std::string& op, const std::string& text,
                             const std::vector<std::string>& keys = {"x", "y"}) {
  const Json* o = FindOp(form, op, text);
  std::vector<int> out;
  for (const std::string& k : keys) {
    if (o) out.push_back((*o)[k].type == Json::Type::Bool ? (*o)[k].b : (*o)[k].Int());
  }
  return out;
}

}  // namespace tarvik::test
