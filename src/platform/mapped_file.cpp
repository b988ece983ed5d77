#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "base/errors.h"
#include "platform/files.h"

namespace tarvik {

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
  }
  ::close(fd);  // the mapping stays
}

MappedFile::~MappedFile() {
  if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
}

}  // namespace tarvik
