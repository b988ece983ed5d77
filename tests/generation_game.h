// A forged game folder (the sample game by default) in which standard universes are
// generated through the headless way in, and the helpers that read back what a run wrote.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/generate_command.h"
#include "app/session.h"
#include "app/startup.h"
#include "app/top.h"
#include "forge/forge.h"
#include "script_game.h"
#include "test_support.h"
#include "universe/slot_records.h"

namespace tarvik::test {

struct GenerationGame {
  TestSession ts;
  Session& s = ts.s();
  std::string app = ts.dir.path();

  explicit GenerationGame(const forge::GameFolderRecipe& recipe = forge::SampleGame()) {
    forge::WriteGameFolder(app, recipe);
  }

  // Runs the program as `tarvik --generate SLOT WORDS...` would after its options were
  // read; returns the exit status.
  int Generate(int slot, const std::vector<std::string>& words) {
    GenerateSettings settings;
    std::string error;
    EXPECT_TRUE(ParseGenerateSettings(std::to_string(slot), words, settings, error)) << error;
    s.generate = settings;
    return RunProgram(s);
  }

  // A file of the game folder, named as the program names it (letter case and "\\"
  // resolved as the program resolves them); empty when there is none.
  std::string Read(const std::string& relative) const {
    const std::string path = app + relative;
    if (!FileExists(path)) return std::string();
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
  }

  std::string Universe(int slot) const { return SlotUniversePath(app, slot); }
  std::vector<StoredObject> Objects(int slot) const { return ReadObjects(Universe(slot)); }

  std::vector<std::string> LogLines() const { return CrLfLines(ts.dir.Read("tarvik.log")); }

  std::vector<std::string> Messages() const {
    std::vector<std::string> m;
    for (const auto& msg : ts.ui.messages) m.push_back(msg.title.empty() ? msg.text : msg.title + ": " + msg.text);
    return m;
  }

  // The record files of a slot as they are on disk now.
  GameRecord DiskGameRecord(int slot) const {
    GameRecord r;
    if (FileExists(GameRecordPath(app, slot))) ReadRecordFile(GameRecordPath(app, slot), r);
    return r;
  }
  SlotRecord DiskSlotRecord(int slot) const {
    SlotRecord r;
    if (FileExists(SlotRecordPath(app, slot))) ReadRecordFile(SlotRecordPath(app, slot), r);
    return r;
  }
};

// The objects of one kind (ships of any hull), of one owner or of all.
inline std::vector<const StoredObject*> OfKind(const std::vector<StoredObject>& all, BlockKind kind, int owner = -1) {
  std::vector<const StoredObject*> out;
  for (const StoredObject& o : all) {
    if (o.descriptor->blockKind == kind && (owner < 0 || o.owner == owner)) out.push_back(&o);
  }
  return out;
}

// A race module the sample game does not have, with a hull it has.
inline forge::Named<forge::RaceModuleRecipe> ExtraRace(int id) {
  return {"extra" + std::to_string(id) + ".rce",
          {.raceId = id, .revision = 1, .name = "Race " + std::to_string(id), .requiredHulls = {1}}};
}

}  // namespace tarvik::test
