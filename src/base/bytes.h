// Explicit little-endian reads and writes at byte offsets (0-based) of a byte buffer.
// Offsets are checked by the caller; these helpers never resize a buffer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

inline int16_t GetI16(const uint8_t* p) { return static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8); }
inline int32_t GetI32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}
inline float GetF32(const uint8_t* p) {
  uint32_t bits = static_cast<uint32_t>(GetI32(p));
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
inline void PutI16(uint8_t* p, int16_t v) {
  uint16_t u = static_cast<uint16_t>(v);
  p[0] = uint8_t(u);
  p[1] = uint8_t(u >> 8);
}
inline void PutI32(uint8_t* p, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  p[0] = uint8_t(u);
  p[1] = uint8_t(u >> 8);
  p[2] = uint8_t(u >> 16);
  p[3] = uint8_t(u >> 24);
}
inline void PutF32(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  PutI32(p, static_cast<int32_t>(bits));
}

// A growable output buffer written at explicit offsets; bytes never written are zero.
class ByteWriter {
 public:
  void I16(size_t off, int16_t v) { PutI16(At(off, 2), v); }
  void I32(size_t off, int32_t v) { PutI32(At(off, 4), v); }
  void F32(size_t off, float v) { PutF32(At(off, 4), v); }
  void Bytes(size_t off, const void* data, size_t n) {
    if (n) std::memcpy(At(off, n), data, n);
  }
  void Text(size_t off, std::string_view s) { Bytes(off, s.data(), s.size()); }
  void Zeros(size_t off, size_t n) { At(off, n); }
  const std::vector<uint8_t>& data() const { return buf_; }
  std::vector<uint8_t>& data() { return buf_; }

 private:
  uint8_t* At(size_t off, size_t n) {
    if (buf_.size() < off + n) buf_.resize(off + n, 0);
    return buf_.data() + off;
  }
  std::vector<uint8_t> buf_;
};

}  // namespace tarvik
