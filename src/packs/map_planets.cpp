#include "packs/map_planets.h"

#include <algorithm>
#include <cmath>

#include "app/run_log.h"
#include "objects/object_store.h"
#include "packs/map_files.h"
#include "packs/scramble.h"
#include "platform/files.h"
#include "platform/rounding.h"
#include "script/planets.h"
#include "session.h"

namespace tarvik {

void AddMapPlanetObjects(Session& s, const std::string& path) {
  if (!FileExists(path)) {
    LogLine(s, "Map File Missing: " + path);
    return;
  }
  LogLine(s, "Adding Planets from " + path);
  const MapFile map = ReadMapFile(path);
  if (map.status == MapFileStatus::kDamaged || map.status == MapFileStatus::kTooShort) {
    // Not a usable map: say so rather than read planets from outside the file.
    LogLine(s, "Map File Damaged: " + path);
    return;
  }
  if (map.status != MapFileStatus::kOk) return;  // a planet count outside 1..18999
  Record& p = s.records.planet;
  const Field& name = p.layout().Get("name");
  for (const MapPlanet& planet : map.planets) {
    p.Set("star", planet.star);
    RandomPlanet(s);
    p.Set("x", planet.x);
    p.Set("y", planet.y);
    p.SetBytes(name, planet.name);
    p.Set("nameKey", RoundToInt(s.random.Next() * 200 + 10));
    std::string scrambled = p.Text(name);
    ScrambleName(p.Get("nameKey"), scrambled);
    p.SetBytes(name, scrambled);
    StorePlanet(s);
  }
}

bool MapFileStats(const std::string& path, MapStats& out) {
  if (!FileExists(path)) return false;
  const MapFile map = ReadMapFile(path);
  if (map.status != MapFileStatus::kOk || map.planets.empty()) return false;
  long long sumX = 0, sumY = 0;
  int minX = map.planets.front().x, maxX = minX;
  int minY = map.planets.front().y, maxY = minY;
  for (const MapPlanet& planet : map.planets) {
    sumX += planet.x;
    sumY += planet.y;
    minX = std::min<int>(minX, planet.x);
    maxX = std::max<int>(maxX, planet.x);
    minY = std::min<int>(minY, planet.y);
    maxY = std::max<int>(maxY, planet.y);
  }
  const double n = static_cast<double>(map.count);
  MapStats st;
  st.centerX = static_cast<int32_t>(RoundToInt(static_cast<double>(sumX) / n));
  st.centerY = static_cast<int32_t>(RoundToInt(static_cast<double>(sumY) / n));
  const double d1 = std::hypot(maxX - st.centerX, maxY - st.centerY);
  const double d2 = std::hypot(minX - st.centerX, minY - st.centerY);
  st.radius = static_cast<int32_t>(RoundToInt(std::min(d1, d2)));
  st.width = maxX - minX;
  st.height = maxY - minY;
  st.planetCount = map.count;
  out = st;
  return true;
}

}  // namespace tarvik
