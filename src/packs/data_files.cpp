#include "packs/data_files.h"

#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "platform/files.h"

namespace tarvik {

HeaderTest TestHeader(std::string_view path, std::string_view header, long long minLength, std::string* why) {
  // A file of minLength bytes or less (or none at all) fails unread.
  std::vector<uint8_t> start;
  try {
    if (ReadFileHead(path, header.size(), start, minLength) <= minLength) return HeaderTest::Fails;
  } catch (const FileError& e) {
    if (why) *why = e.why;
    return HeaderTest::Unreadable;
  }
  return ByteView(start).Text(1, static_cast<long long>(header.size())) == header ? HeaderTest::Passes
                                                                                  : HeaderTest::Fails;
}

bool HasHeader(std::string_view path, std::string_view header, long long minLength) {
  return TestHeader(path, header, minLength) == HeaderTest::Passes;
}

bool IsDataFile(std::string_view path) { return HasHeader(path, DATA_FILE_HEADER, DATA_FILE_MIN_LENGTH); }
bool IsMapFile(std::string_view path) { return HasHeader(path, MAP_FILE_HEADER, DATA_FILE_MIN_LENGTH); }

std::string NoDataFileReason(const std::string& dataDir) {
  std::string folder = dataDir;  // named without its closing separator
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (!FolderExists(dataDir)) return "No main data file: no such folder " + folder + ".";
  const std::vector<std::string> names = ListFiles(dataDir, "*.dat");
  if (names.empty()) return "No main data file: the folder " + folder + " holds no *.dat file.";
  std::string reason = "No main data file: ";
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string path = dataDir + names[i];
    std::string why;
    reason += i ? "; " + path : path;
    if (FileLength(path) <= DATA_FILE_MIN_LENGTH) {
      reason += " is too short (100 bytes or less)";
      continue;
    }
    switch (TestHeader(path, DATA_FILE_HEADER, DATA_FILE_MIN_LENGTH, &why)) {
      case HeaderTest::Unreadable:
        reason += " cannot be read (" + why + ")";
        break;
      case HeaderTest::Fails:
        reason += " does not begin with the data file header";
        break;
      case HeaderTest::Passes:
        reason += " became usable only after start-up";
        break;
    }
  }
  return reason + ".";
}

}  // namespace tarvik
