#include "packs/data_files.h"

#include "base/bytes.h"
#include "base/errors.h"
#include "platform/files.h"

namespace tarvik {

bool HasHeader(std::string_view path, std::string_view header, long long minLength) {
  if (FileLength(path) <= minLength) return false;
  try {
    const std::vector<uint8_t> start = ReadFileStart(path, header.size());
    return ByteView(start).Text(1, static_cast<long long>(header.size())) == header;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool IsDataFile(std::string_view path) { return HasHeader(path, DATA_FILE_HEADER, 100); }
bool IsMapFile(std::string_view path) { return HasHeader(path, MAP_FILE_HEADER, 100); }

}  // namespace tarvik
