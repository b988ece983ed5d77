// A file's bytes mapped into memory for reading: for a large file read once while
// nothing changes it (the universe file a build has just made, read back for its
// report). No copy of the file is made and nothing is cleared first; only the pages
// looked at are brought in, and they are the system's cached pages of the file.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tarvik {

// Bytes begin..end - 1 (from 0) of a file.
struct ByteStretch {
  size_t begin = 0;
  size_t end = 0;
};

class MappedFile {
 public:
  // Maps the file a program path names (resolved as ResolvePath resolves it); a file
  // that cannot be opened or mapped is a RuntimeError that says why.
  explicit MappedFile(std::string_view path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::span<const uint8_t> bytes() const { return {data_, size_}; }
  // The stretches of the file the system holds no bytes for (its holes: never
  // written, they read as zeros), in order; none where the system cannot tell. A reader
  // that looks for the bytes that are not zero can pass over them without looking:
  // reading a hole makes the system fill a page of its cache with zeros for it, and the
  // holes of a universe file (the parts of the object tables and of the index that no
  // object uses) can be a large part of it.
  std::span<const ByteStretch> zeroStretches() const { return zeros_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  std::vector<ByteStretch> zeros_;
};

// A file's whole bytes, as ReadWholeFile gives them, for reading through once (a
// script, read afresh for each pass of a build). A regular file too long for a steady
// span to remember is mapped instead of copied: the system's cached pages of the file
// are read in place (no buffer is cleared and filled first) and unmapped when this
// object goes. Any other file (a small one, which a span may remember; one that is not
// a regular file, such as a pipe; one the system will not map) is read into storage of
// this object, exactly as ReadWholeFile reads it. A file that cannot be read is the
// FileError ReadWholeFile throws.
//
// While the file is mapped its bytes are the file's, not a copy: a program that writes
// the file meanwhile changes what is read, and one that shortens it takes away the pages
// past its new end, so that reading them ends this program with SIGBUS. That is this
// system's behaviour for a script changed by another program during a build pass.
class WholeFile {
 public:
  explicit WholeFile(std::string_view path);
  ~WholeFile();
  WholeFile(const WholeFile&) = delete;
  WholeFile& operator=(const WholeFile&) = delete;

  std::span<const uint8_t> bytes() const {
    return mapped_ ? std::span<const uint8_t>(mapped_, mappedSize_) : std::span<const uint8_t>(read_);
  }
  std::string_view text() const {
    const std::span<const uint8_t> b = bytes();
    return {reinterpret_cast<const char*>(b.data()), b.size()};
  }
  bool mapped() const { return mapped_ != nullptr; }
  // The bytes before `end` will not be read again: a mapped file's whole pages before
  // it leave this process's memory (the system keeps its cached copy), a stretch of at
  // least RELEASE_BYTES at a time, so that a reader going through the file holds only
  // a few of its pages. Read again, they would come back from the file. Cheap to call
  // often: it does nothing until that much more can go.
  void Release(size_t end) {
    if (end >= releaseAt_) ReleasePages(end);
  }
  static constexpr size_t RELEASE_BYTES = 256 << 10;

 private:
  void ReleasePages(size_t end);

  const uint8_t* mapped_ = nullptr;
  size_t mappedSize_ = 0;
  size_t released_ = 0;             // the pages before this byte have been released
  size_t releaseAt_ = SIZE_MAX;     // Release does something from this byte on
  std::vector<uint8_t> read_;
};

}  // namespace tarvik
