#include "packs/data_files.h"

#include "base/errors.h"
#include "platform/files.h"

namespace tarvik {

bool HasHeader(std::string_view path, std::string_view header, long long minLength) {
  long long len = FileLength(path);
  if (len <= minLength || len < static_cast<long long>(header.size())) return false;
  try {
    BinaryFile f(path, BinaryFile::Mode::Read);
    std::vector<uint8_t> head = f.Read(1, header.size());
    return std::string_view(reinterpret_cast<const char*>(head.data()), head.size()) == header;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool IsDataFile(std::string_view path) { return HasHeader(path, DATA_FILE_HEADER, 100); }
bool IsMapFile(std::string_view path) { return HasHeader(path, MAP_FILE_HEADER, 100); }

}  // namespace tarvik
