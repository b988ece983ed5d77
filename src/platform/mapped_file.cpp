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

// Brings the pages that hold the file's bytes (all but its holes) into the mapping with
// one request per stretch, instead of a page fault at each page the reader touches;
// the pages of the holes stay unread. Advice only: where the system does not know the
// request, the pages come in as they are touched, with the same bytes.
void PopulateData(void* mapped, size_t size, const std::vector<ByteStretch>& holes) {
#ifdef MADV_POPULATE_READ
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  auto* base = static_cast<uint8_t*>(mapped);
  size_t begin = 0;  // of the stretch of data before the next hole
  for (size_t i = 0; i <= holes.size(); ++i) {
    const size_t end = i < holes.size() ? holes[i].begin : size;
    if (end > begin) {
      const size_t first = begin / page * page;  // the page that holds the stretch's first byte
      if (::madvise(base + first, end - first, MADV_POPULATE_READ) != 0) return;
    }
    if (i < holes.size()) begin = holes[i].end;
  }
#else
  (void)mapped;
  (void)size;
  (void)holes;
#endif
}

}  // namespace

MappedFile::MappedFile(std::string_view path) {
  // Opened as every program path is: under its spelling at once, resolved only when it
  // is not there. A file that cannot be opened or measured is a FileError.
  BinaryFile file(path, BinaryFile::Mode::Read);
  size_ = static_cast<size_t>(file.Length());
  if (size_ > 0) {
    void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.Descriptor(), 0);
    if (mapped == MAP_FAILED) {
      const int err = errno;
      throw RuntimeError("Cannot read " + std::string(path) + ": " + std::strerror(err) + ".");
    }
    data_ = static_cast<const uint8_t*>(mapped);
    // Only the pages looked at are read in: by default the system also reads the pages
    // around each one, and around the data of a universe file lie its holes, which
    // a reader passes over (see zeroStretches) and the system would fill with zeros.
    ::madvise(mapped, size_, MADV_RANDOM);  // advice only: without it the bytes are the same
    zeros_ = HolesOf(file.Descriptor(), size_);
    PopulateData(mapped, size_, zeros_);
  }
  // The file closes; the mapping stays.
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
