#include "packs/map_files.h"

#include "app/run_log.h"
#include "base/bytes.h"
#include "base/errors.h"
#include "base/text.h"
#include "packs/data_files.h"
#include "platform/files.h"
#include "session.h"

namespace tarvik {

namespace {

constexpr long long kCountPos = 101;  // 1-based position of the planet count
constexpr long long kNumberTextPos = 30;
constexpr long long kCoordinateSize = 6;
constexpr long long kNameSize = 40;

bool ListInside(long long pos, long long bytes, long long length) { return pos >= 1 && pos - 1 + bytes <= length; }

}  // namespace

MapFile ReadMapFile(std::string_view path) {
  MapFile map;
  long long length = FileLength(path);
  if (length < 0) return map;  // kMissing
  map.headerOk = IsMapFile(path);
  try {
    BinaryFile f(path, BinaryFile::Mode::Read);
    if (length >= kNumberTextPos - 1 + 4) {
      std::vector<uint8_t> text = f.Read(kNumberTextPos, 4);
      map.numberText.assign(text.begin(), text.end());
    }
    if (length < kCountPos - 1 + 12) {
      map.status = MapFileStatus::kTooShort;
      return map;
    }
    map.count = f.ReadI32(kCountPos);
    map.coordinatePos = f.ReadI32(kCountPos + 4);
    map.namePos = f.ReadI32(kCountPos + 8);
    if (map.count < 1 || map.count >= MAP_MAX_PLANETS) {
      map.status = MapFileStatus::kBadCount;
      return map;
    }
    const long long n = map.count;
    if (!ListInside(map.coordinatePos, kCoordinateSize * n, length) ||
        !ListInside(map.namePos, kNameSize * n, length)) {
      map.status = MapFileStatus::kDamaged;
      return map;
    }
    std::vector<uint8_t> coords = f.Read(map.coordinatePos, static_cast<size_t>(kCoordinateSize * n));
    std::vector<uint8_t> names = f.Read(map.namePos, static_cast<size_t>(kNameSize * n));
    map.planets.resize(static_cast<size_t>(n));
    for (long long i = 0; i < n; ++i) {
      MapPlanet& p = map.planets[static_cast<size_t>(i)];
      const uint8_t* c = coords.data() + kCoordinateSize * i;
      p.x = GetI16(c);
      p.y = GetI16(c + 2);
      p.star = GetI16(c + 4);
      p.name.assign(reinterpret_cast<const char*>(names.data() + kNameSize * i), kNameSize);
    }
    map.status = MapFileStatus::kOk;
  } catch (const RuntimeError&) {
    // The file vanished or shrank while being read.
    map.planets.clear();
    map.status = MapFileStatus::kDamaged;
  }
  return map;
}

void SetScriptMapFile(Session& s, std::string name) {
  s.script.pendingMapFile = false;
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".MAP") != 0) name += ".MAP";
  std::string path = s.paths.dataDir + name;
  if (FileExists(path) && IsMapFile(path)) {
    s.script.pendingMapFile = true;
    s.script.pendingMapPath = path;
    LogLine(s, "Script Map File: " + path);
  }
  std::string upper = UpperAscii(name);
  if (upper == "ECHO.MAP") {
    s.tables.mapKindCode = 1;
  } else if (upper == "ZETAGAL.MAP") {
    s.tables.mapKindCode = 2;
  } else if (upper == "EPSILON.MAP") {
    s.tables.mapKindCode = 5;
  }
}

}  // namespace tarvik
