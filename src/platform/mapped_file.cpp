#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "base/errors.h"
#include "platform/files.h"

namespace tarvik {

namespace {

// The holes of the open file `fd` of `size` bytes, as the system reports them; none
// when it cannot.
std::vector<ByteStretch> HolesOf(int fd, size_t size) {
  std::vector<ByteStretch> holes;
  const off_t end = static_cast<off_t>(size);
  off_t at = 0;
  while (at < end) {
    const off_t hole = ::lseek(fd, at, SEEK_HOLE);
    if (hole < 0 || hole >= end) break;  // no hole before the end of the file
    off_t next = ::lseek(fd, hole, SEEK_DATA);  // where the hole ends
    if (next < 0) {
      if (errno != ENXIO) return {};
      next = end;  // a hole up to the end of the file
    }
    if (next <= hole) return {};  // an answer that makes no sense: trust none of them
    holes.push_back(ByteStretch{static_cast<size_t>(hole), static_cast<size_t>(std::min(next, end))});
    at = next;
  }
  return holes;
}

}  // namespace

MappedFile::MappedFile(std::string_view path) {
  const std::string host = ResolvePath(path);
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  const auto fail = [&](int err) {
    return RuntimeError("Cannot read " + std::string(path) + ": " + std::strerror(err) + ".");
  };
  if (fd < 0) throw fail(errno);
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    throw fail(err);
  }
  size_ = static_cast<size_t>(st.st_size);
  if (size_ > 0) {
    void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
      const int err = errno;
      ::close(fd);
      throw fail(err);
    }
    data_ = static_cast<const uint8_t*>(mapped);
    // Only the pages looked at are read in: by default the system also reads the pages
    // around each one, and around the data of a universe file lie its holes, which
    // a reader passes over (see zeroStretches) and the system would fill with zeros.
    ::madvise(mapped, size_, MADV_RANDOM);  // advice only: without it the bytes are the same
    zeros_ = HolesOf(fd, size_);
  }
  ::close(fd);  // the mapping stays
}

MappedFile::~MappedFile() {
  if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
}

WholeFile::WholeFile(std::string_view path) {
  ReadWholeFileOrTake(path, read_, [this](int fd, size_t length) {
    // The cached pages come in as they are first read, many at each fault (the system
    // maps the cached pages around the one asked for); mapping them all in this call
    // (MAP_POPULATE) measured no faster. A mapping the system refuses leaves the file to
    // be read.
    void* at = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    if (at == MAP_FAILED) return false;
    mapped_ = static_cast<const uint8_t*>(at);
    mappedSize_ = length;
    releaseAt_ = RELEASE_BYTES;
    return true;
  });
}

void WholeFile::ReleasePages(size_t end) {
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  const size_t upTo = std::min(end, mappedSize_) / page * page;  // the mapping begins at a page
  // MADV_DONTNEED on a private mapping of a file: the pages are unmapped, and a later
  // read maps the file's page again. Advice only: when the system refuses, the pages
  // just stay.
  if (upTo > released_ && ::madvise(const_cast<uint8_t*>(mapped_) + released_, upTo - released_, MADV_DONTNEED) == 0) {
    released_ = upTo;
  }
  releaseAt_ = released_ + RELEASE_BYTES;
}

WholeFile::~WholeFile() {
  if (mapped_) ::munmap(const_cast<uint8_t*>(mapped_), mappedSize_);
}

}  // namespace tarvik
