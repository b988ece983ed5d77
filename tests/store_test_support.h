// Helpers of the universe file and object store tests: a file read back by 1-based
// positions, a bare universe with an empty object store, and a run under a file-size
// limit.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/errors.h"
#include "platform/files.h"

namespace tarvik::test {

class FileImage {
 public:
  explicit FileImage(const std::string& path) : bytes_(ReadWholeFile(path)) {}
  long long size() const { return static_cast<long long>(bytes_.size()); }
  int32_t I32(long long pos) const { return GetI32(At(pos, 4)); }
  int16_t I16(long long pos) const { return GetI16(At(pos, 2)); }
  float F32(long long pos) const { return GetF32(At(pos, 4)); }
  uint8_t Byte(long long pos) const { return *At(pos, 1); }
  std::vector<uint8_t> Bytes(long long pos, size_t n) const {
    const uint8_t* p = At(pos, n);
    return std::vector<uint8_t>(p, p + n);
  }
  std::string Text(long long pos, size_t n) const {
    const std::vector<uint8_t> b = Bytes(pos, n);
    return std::string(b.begin(), b.end());
  }

 private:
  const uint8_t* At(long long pos, size_t n) const {
    if (pos < 1 || pos - 1 + static_cast<long long>(n) > size())
      throw std::out_of_range("position " + std::to_string(pos) + " outside the file");
    return bytes_.data() + (pos - 1);
  }
  std::vector<uint8_t> bytes_;
};

// Only the store's fields: the directory at 630 (its position at 473), the tables,
// the index, and no records yet.
struct EmptyUniverse {
  static constexpr long long TABLES_POS = 1001;
  static constexpr long long INDEX_POS = TABLES_POS + 200000;
  static constexpr long long DATA_END = INDEX_POS + 240000;  // the file length + 1

  static std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> b(static_cast<size_t>(DATA_END - 1), 0);
    PutI32(b.data() + 472, 630);
    PutI32(b.data() + 629 + 256, static_cast<int32_t>(TABLES_POS));
    PutI32(b.data() + 629 + 260, static_cast<int32_t>(INDEX_POS));
    PutI32(b.data() + 629 + 264, static_cast<int32_t>(DATA_END));
    PutI32(b.data() + 629 + 272, static_cast<int32_t>(DATA_END));
    return b;
  }
  static void Write(const std::string& path) { WriteWholeFile(path, Bytes()); }
};

// Runs fn in a child process whose files may not grow beyond `limit` bytes (an
// oversized write fails instead of raising a signal). Returns 0 when fn returned, 10
// after a RuntimeError, 11 after ProgramEnd, 12 after another exception, 13 when a
// signal killed the child.
inline int RunWithFileSizeLimit(rlim_t limit, const std::function<void()>& fn) {
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit rl{limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
    int code = 0;
    try {
      fn();
    } catch (const RuntimeError&) {
      code = 10;
    } catch (const ProgramEnd&) {
      code = 11;
    } catch (...) {
      code = 12;
    }
    _exit(code);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 13;
}

}  // namespace tarvik::test
