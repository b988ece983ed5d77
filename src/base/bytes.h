// Explicit little-endian reads and writes of bytes: the raw accessors at 0-based
// offsets (checked by the caller), a growable writer, and the checked reader of a
// file's bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
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

// The one checked reader of a file's bytes: a view over them, addressed by 1-based
// positions as the files' own directories store them. Every read says whether it lay
// inside the file; a read that reaches outside (or a negative length) gives nothing
// and never touches a byte beyond the view.
class ByteView {
 public:
  explicit ByteView(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  long long length() const { return static_cast<long long>(bytes_.size()); }
  // Whether the n bytes from pos lie inside the file.
  bool Has(long long pos, long long n) const { return pos >= 1 && n >= 0 && n <= length() - (pos - 1); }

  std::optional<int16_t> I16(long long pos) const {
    if (!Has(pos, 2)) return std::nullopt;
    return GetI16(At(pos));
  }
  std::optional<int32_t> I32(long long pos) const {
    if (!Has(pos, 4)) return std::nullopt;
    return GetI32(At(pos));
  }
  std::optional<std::span<const uint8_t>> Bytes(long long pos, long long n) const {
    if (!Has(pos, n)) return std::nullopt;
    return bytes_.subspan(static_cast<size_t>(pos - 1), static_cast<size_t>(n));
  }
  // The bytes as a text of single-byte characters.
  std::optional<std::string> Text(long long pos, long long n) const {
    if (!Has(pos, n)) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(At(pos)), static_cast<size_t>(n));
  }

 private:
  const uint8_t* At(long long pos) const { return bytes_.data() + (pos - 1); }
  std::span<const uint8_t> bytes_;
};

}  // namespace tarvik
