// A file's bytes mapped into memory for reading: for a large file read once while
// nothing changes it (the universe file a build has just made, read back for its
// report). No copy of the file is made and nothing is cleared first; only the pages
// looked at are brought in, and they are the system's cached pages of the file.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tarvik {

class MappedFile {
 public:
  // Maps the file a program path names (resolved as ResolvePath resolves it); a file
  // that cannot be opened or mapped is a RuntimeError that says why.
  explicit MappedFile(std::string_view path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::span<const uint8_t> bytes() const { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace tarvik
