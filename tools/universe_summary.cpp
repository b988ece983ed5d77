// tarvik-summary: what a universe file holds, for a person: its objects by kind and,
// for each player, the race, the home base with the planet it is locked to, and the
// ships and wings with where they stand.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "forge/universe_reader.h"
#include "platform/files.h"
#include "universe/tables.h"

namespace {

using tarvik::BlockKind;
using tarvik::forge::StoredObject;

// The kind's word as a script's block names it, in lower case: "planet", "ship", "conpod".
std::string KindName(const StoredObject& o) { return tarvik::LowerAscii(o.descriptor->blockWord); }

struct Player {
  const StoredObject* base = nullptr;
  int ships = 0, wings = 0;
  int fleetX = 0, fleetY = 0;  // where the first ship or wing stands
  bool fleetSplit = false;     // not every ship and wing stands there
};

void Note(Player& p, const StoredObject& o) {
  const int x = o.record.Get("x"), y = o.record.Get("y");
  if (p.ships + p.wings == 0) {
    p.fleetX = x;
    p.fleetY = y;
  } else if (x != p.fleetX || y != p.fleetY) {
    p.fleetSplit = true;
  }
}

int Summary(const std::string& path) {
  const std::vector<StoredObject> objects = tarvik::forge::ReadObjects(path);
  const std::vector<int32_t> races = tarvik::forge::ReadPlayerRaces(path);
  std::map<std::string, int> byKind;
  std::map<int, Player> players;
  for (const StoredObject& o : objects) {
    const BlockKind kind = o.descriptor->blockKind;
    ++byKind[KindName(o)];
    if (kind == BlockKind::Planet || o.owner < 1 || o.owner > tarvik::MAX_PLAYERS) continue;
    Player& p = players[o.owner];
    if (kind == BlockKind::Base) {
      p.base = &o;
    } else if (kind == BlockKind::Ship || kind == BlockKind::Wing) {
      Note(p, o);
      (kind == BlockKind::Wing ? p.wings : p.ships) += 1;
    }
  }
  std::printf("%s: %lld bytes, %zu objects:", path.c_str(), tarvik::FileLength(path), objects.size());
  const char* sep = " ";
  for (const auto& [kind, count] : byKind) {
    std::printf("%s%d %s", sep, count, kind.c_str());
    sep = ", ";
  }
  std::printf("\n\nplayer  race  home base (x, y)  on planet  ships  wings  fleet at\n");
  for (int slot = 1; slot <= tarvik::MAX_PLAYERS; ++slot) {
    if (races[static_cast<size_t>(slot)] == 0 && !players.count(slot)) continue;
    const Player& p = players[slot];
    std::string home = "(no base)", planet = "-", fleet = "-";
    if (p.base) {
      home = "(" + std::to_string(p.base->record.Get("x")) + ", " + std::to_string(p.base->record.Get("y")) + ")";
      planet = std::to_string(p.base->record.Get("planetId"));
    }
    if (p.ships + p.wings > 0) {
      fleet = "(" + std::to_string(p.fleetX) + ", " + std::to_string(p.fleetY) + ")";
      if (p.base && p.fleetX == p.base->record.Get("x") && p.fleetY == p.base->record.Get("y")) fleet = "the base";
      if (p.fleetSplit) fleet += " and elsewhere";
    }
    std::printf("%6d  %4d  %-16s  %9s  %5d  %5d  %s\n", slot, races[static_cast<size_t>(slot)], home.c_str(),
                planet.c_str(), p.ships, p.wings, fleet.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tarvik-summary UNIVERSE-FILE\n", stderr);
    return 2;
  }
  try {
    return Summary(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvik-summary: %s: %s\n", argv[1], e.what());
    return 1;
  }
}
