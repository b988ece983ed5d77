#include "objects/map_planets.h"

#include "log/run_log.h"
#include "objects/object_kinds.h"
#include "objects/object_session.h"
#include "objects/object_store.h"
#include "objects/planet_defaults.h"
#include "packs/map_files.h"
#include "platform/files.h"
#include "platform/rounding.h"

namespace tarvik {

void AddMapPlanetObjects(ObjectSession& s, const std::string& path) {
  if (!FileExists(path)) {
    LogLine(s, "Map File Missing: " + path);
    return;
  }
  LogLine(s, "Adding Planets from " + path);
  const MapFile map = ReadMapFile(path);
  // Not a usable map: say so rather than read planets from outside the file.
  if (map.status == MapFileStatus::Damaged || map.status == MapFileStatus::TooShort) {
    LogNotice(s, "Map File Damaged: " + path);
    return;
  }
  if (map.status == MapFileStatus::Unreadable) {
    LogNotice(s, "Map File Unreadable: " + path + " (" + map.why + ")");
    return;
  }
  if (map.status != MapFileStatus::Ok) return;  // a planet count outside 1..18999
  const ObjectKindDescriptor& kind = *KindOfBlock(BlockKind::Planet);
  Record& p = s.records.planet;
  for (const MapPlanet& planet : map.planets) {
    p.Set("star", planet.star);
    RandomPlanet(s);
    p.Set("x", planet.x);
    p.Set("y", planet.y);
    p.SetBytes("name", planet.name());
    p.Set("nameKey", Draw(s.random, 200, 10));
    ScrambleNames(kind, p);
    kind.store(s);
  }
}

}  // namespace tarvik
