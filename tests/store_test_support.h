// Helpers of the universe file and object store tests: reading a file back by its
// 1-based positions, and a bare universe file with an empty object store (the
// directory and the empty tables and index only) for store tests that need no
// race or data packs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "platform/files.h"

namespace tarvik::test {

// A file's bytes, read by 1-based positions.
class FileImage {
 public:
  explicit FileImage(const std::string& path) : bytes_(ReadWholeFile(path)) {}
  long long size() const { return static_cast<long long>(bytes_.size()); }
  int32_t I32(long long pos) const { return GetI32(At(pos, 4)); }
  int16_t I16(long long pos) const { return GetI16(At(pos, 2)); }
  float F32(long long pos) const { return GetF32(At(pos, 4)); }
  uint8_t Byte(long long pos) const { return *At(pos, 1); }
  std::string Text(long long pos, size_t n) const {
    const uint8_t* p = At(pos, n);
    return std::string(reinterpret_cast<const char*>(p), n);
  }
  std::vector<uint8_t> Bytes(long long pos, size_t n) const {
    const uint8_t* p = At(pos, n);
    return std::vector<uint8_t>(p, p + n);
  }
  const std::vector<uint8_t>& all() const { return bytes_; }

 private:
  const uint8_t* At(long long pos, size_t n) const {
    if (pos < 1 || pos - 1 + static_cast<long long>(n) > size()) {
      throw std::out_of_range("position " + std::to_string(pos) + " outside the file");
    }
    return bytes_.data() + (pos - 1);
  }
  std::vector<uint8_t> bytes_;
};

// A universe file with nothing but the store's fields: the directory at 630, the
// object tables at kTablesPos, the index at kIndexPos, and no records yet.
struct EmptyUniverse {
  static constexpr long long kTablesPos = 1001;
  static constexpr long long kIndexPos = kTablesPos + 200000;
  static constexpr long long kDataEnd = kIndexPos + 240000;  // the file length + 1

  static std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> b(static_cast<size_t>(kDataEnd - 1), 0);
    PutI32(b.data() + 472, 630);
    PutI32(b.data() + 629 + 256, static_cast<int32_t>(kTablesPos));
    PutI32(b.data() + 629 + 260, static_cast<int32_t>(kIndexPos));
    PutI32(b.data() + 629 + 264, static_cast<int32_t>(kDataEnd));
    PutI32(b.data() + 629 + 272, static_cast<int32_t>(kDataEnd));
    return b;
  }
  static void Write(const std::string& path) { WriteWholeFile(path, Bytes()); }
};

}  // namespace tarvik::test
