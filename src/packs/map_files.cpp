#include "packs/map_files.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "packs/data_files.h"
#include "platform/files.h"
#include "platform/rounding.h"

namespace tarvik {

namespace {

// 1-based positions in a map file.
constexpr long long NUMBER_TEXT_POS = 30;
constexpr long long COUNT_POS = 101;  // the planet count, then the two list positions
constexpr long long COORDINATE_SIZE = 6;
constexpr long long NAME_SIZE = MAP_NAME_BYTES;

}  // namespace

MapFile ReadMapFile(std::string_view path) {
  MapFile map;
  std::vector<uint8_t> bytes;
  try {
    if (ReadFileHead(path, SIZE_MAX, bytes) < 0) return map;  // Missing
  } catch (const FileError& e) {
    map.status = MapFileStatus::Unreadable;
    map.why = e.why;
    return map;
  }
  const ByteView file(bytes);
  // What IsMapFile tells of the file, from the bytes just read rather than a second read.
  map.headerOk = file.length() > DATA_FILE_MIN_LENGTH &&
                 file.Text(1, static_cast<long long>(MAP_FILE_HEADER.size())) == MAP_FILE_HEADER;
  if (std::optional<std::string> text = file.Text(NUMBER_TEXT_POS, 4)) map.numberText = *text;
  const std::optional<int32_t> count = file.I32(COUNT_POS);
  const std::optional<int32_t> coordinatePos = file.I32(COUNT_POS + 4);
  const std::optional<int32_t> namePos = file.I32(COUNT_POS + 8);
  if (!count || !coordinatePos || !namePos) {
    map.status = MapFileStatus::TooShort;
    return map;
  }
  map.count = *count;
  map.coordinatePos = *coordinatePos;
  map.namePos = *namePos;
  if (map.count < 1 || map.count >= MAP_MAX_PLANETS) {
    map.status = MapFileStatus::BadCount;
    return map;
  }
  const long long n = map.count;
  const std::optional<std::span<const uint8_t>> coords = file.Bytes(map.coordinatePos, COORDINATE_SIZE * n);
  const std::optional<std::span<const uint8_t>> names = file.Bytes(map.namePos, NAME_SIZE * n);
  if (!coords || !names) {
    map.status = MapFileStatus::Damaged;
    return map;
  }
  map.planets.resize(static_cast<size_t>(n));
  for (size_t i = 0; i < map.planets.size(); ++i) {
    MapPlanet& p = map.planets[i];
    const uint8_t* c = coords->data() + COORDINATE_SIZE * i;
    p.x = GetI16(c);
    p.y = GetI16(c + 2);
    p.star = GetI16(c + 4);
    std::memcpy(p.nameBytes.data(), names->data() + NAME_SIZE * i, MAP_NAME_BYTES);
  }
  map.status = MapFileStatus::Ok;
  return map;
}

bool MapFileStats(const std::string& path, MapStats& out) {
  if (!FileExists(path)) return false;
  const MapFile map = ReadMapFile(path);
  if (map.status != MapFileStatus::Ok || map.planets.empty()) return false;
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
