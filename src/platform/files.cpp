#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/errors.h"
#include "base/text.h"

namespace fs = std::filesystem;

namespace tarvik {

namespace {

std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}

bool Exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

// The existing entry of folder `dir` whose name equals `name` ignoring case; the exact
// spelling wins, otherwise the smallest matching name (byte order), so the choice is
// stable. Empty when none matches.
std::string FindNoCase(const std::string& dir, const std::string& name) {
  if (Exists(dir + name)) return name;
  std::error_code ec;
  std::string best;
  fs::directory_iterator it(dir.empty() ? "." : dir, ec);
  if (ec) return {};
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::string entry = it->path().filename().string();
    if (EqualsNoCase(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  return best;
}

// The first component of a host path that exists and is not a folder ("./WAR" of
// "./WAR/SLOT1"), or empty when there is none.
std::string FileInTheWay(const std::string& real) {
  std::string prefix = !real.empty() && real[0] == '/' ? "/" : "";
  const std::vector<std::string> parts = SplitComponents(real);
  for (size_t i = 0; i < parts.size(); ++i) {
    prefix += (i && prefix != "/" ? "/" : "") + parts[i];
    struct stat st;
    if (::stat(prefix.c_str(), &st) != 0) return {};
    if (!S_ISDIR(st.st_mode)) return prefix;
  }
  return {};
}

// The folder part of a program path: up to its last separator, or "." without one.
std::string FolderOf(std::string_view path) {
  const size_t sep = path.find_last_of("/\\");
  return sep == std::string_view::npos ? std::string(".") : std::string(path.substr(0, sep == 0 ? 1 : sep));
}

// Why an operation on `path` failed, in the words a host uses. `creating`: the
// operation makes the file or folder, so a missing component is a missing folder.
std::string Why(int err, std::string_view path, bool creating) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "permission denied";
    case EFBIG:
      return "file too large";
    case ENOSPC:
      return "the disk is full";
    case EDQUOT:
      return "the disk quota is used up";
    case EROFS:
      return "the disk is read-only";
    case EISDIR:
      return "it is a folder, not a file";
    case ENAMETOOLONG:
      return "the name is too long";
    case EMFILE:
    case ENFILE:
      return "too many files are open";
    case ENOTDIR: {
      const std::string file = FileInTheWay(ResolvePath(path));
      return file.empty() ? std::string("no such folder") : file + " is a file, not a folder";
    }
    case ENOENT:
      return creating ? "no such folder " + FolderOf(path) : std::string("no such file");
    default:
      return LowerAscii(std::strerror(err));
  }
}

// "Cannot <doing> <path>: <why>."
[[noreturn]] void Fail(std::string_view doing, std::string_view path, int err, bool creating) {
  std::string why = Why(err, path, creating);
  throw FileError("Cannot " + std::string(doing) + " " + std::string(path) + ": " + why + ".", why);
}

}  // namespace

std::string ResolvePath(std::string_view path) {
  bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  std::vector<std::string> parts = SplitComponents(path);
  // Fast path: the path exists exactly as spelled (the usual case once the program's
  // own folders are made), so one look-up answers it.
  std::string exact = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) exact += (i ? "/" : "") + parts[i];
  if (!exact.empty() && Exists(exact)) return exact;
  std::string out = absolute ? "/" : "";
  bool resolving = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& comp = parts[i];
    std::string chosen = comp;
    if (resolving && comp != "." && comp != "..") {
      std::string found = FindNoCase(out, comp);
      if (found.empty()) {
        resolving = false;  // below a missing component nothing can exist
      } else {
        chosen = found;
      }
    }
    out += chosen;
    if (i + 1 < parts.size()) out += "/";
  }
  if (out.empty()) out = ".";
  return out;
}

bool PathExists(std::string_view path) { return Exists(ResolvePath(path)); }

bool FileExists(std::string_view path) {
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view path) {
  struct stat st;
  return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void CreateFolder(std::string_view path) {
  if (FolderExists(path)) return;
  std::string real = ResolvePath(path);
  if (::mkdir(real.c_str(), 0777) != 0 && errno != EEXIST) {
    Fail("create the folder", path, errno, true);
  }
}

long long FileLength(std::string_view path) {
  struct stat st;
  if (::stat(ResolvePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<long long>(st.st_size);
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with backtracking to the last "*".
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  auto same = [](char a, char b) { return UpperAscii(std::string_view(&a, 1)) == UpperAscii(std::string_view(&b, 1)); };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> ListFiles(std::string_view folder, std::string_view pattern) {
  std::vector<std::string> names;
  std::string real = ResolvePath(folder);
  std::error_code ec;
  fs::directory_iterator it(real, ec);
  if (ec) return names;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code ec2;
    if (!it->is_regular_file(ec2)) continue;
    std::string name = it->path().filename().string();
    if (MatchesPattern(name, pattern)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    int c = CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

void CopyFileTo(std::string_view from, std::string_view to) {
  WriteWholeFile(to, ReadWholeFile(from));
}

void DeleteFileAt(std::string_view path) {
  std::string real = ResolvePath(path);
  if (::unlink(real.c_str()) != 0 && errno != ENOENT) {
    Fail("delete", path, errno, false);
  }
}

std::vector<uint8_t> ReadWholeFile(std::string_view path) {
  BinaryFile f(path, BinaryFile::Mode::Read);
  long long len = f.Length();
  return len > 0 ? f.Read(1, static_cast<size_t>(len)) : std::vector<uint8_t>{};
}

std::vector<uint8_t> ReadFileStart(std::string_view path, size_t n) {
  BinaryFile f(path, BinaryFile::Mode::Read);
  const long long len = f.Length();
  const size_t take = static_cast<size_t>(std::min<long long>(len, static_cast<long long>(n)));
  return take > 0 ? f.Read(1, take) : std::vector<uint8_t>{};
}

void WriteWholeFile(std::string_view path, const std::vector<uint8_t>& bytes) {
  BinaryFile f(path, BinaryFile::Mode::Create);
  if (!bytes.empty()) f.Write(1, bytes);
  f.Close();
}

BinaryFile::~BinaryFile() {
  if (f_) std::fclose(f_);
}

void BinaryFile::Open(std::string_view path, Mode mode) {
  if (f_) Close();
  path_ = std::string(path);
  std::string real = ResolvePath(path);
  const char* how = mode == Mode::Read ? "rb" : mode == Mode::ReadWrite ? "r+b" : "w+b";
  next_ = 0;
  f_ = std::fopen(real.c_str(), how);
  if (!f_) {
    Fail(mode == Mode::Read ? "read" : mode == Mode::ReadWrite ? "open" : "create", path_, errno, mode == Mode::Create);
  }
  // No stdio buffer: what Write is given is in the file when it returns, so closing a
  // file (also from the destructor, while an error unwinds the stack) never writes.
  // The callers collect their output into large pieces themselves.
  std::setvbuf(f_, nullptr, _IONBF, 0);
}

void BinaryFile::Close() {
  if (!f_) return;
  bool ok = std::fflush(f_) == 0;
  int err = errno;
  ok = (std::fclose(f_) == 0) && ok;
  f_ = nullptr;
  if (!ok) Fail("write", path_, err, false);
}

void BinaryFile::Flush() {
  if (f_ && std::fflush(f_) != 0) Fail("write", path_, errno, false);
}

long long BinaryFile::Length() {
  if (!f_) throw RuntimeError("file not open");
  next_ = 0;
  if (std::fseek(f_, 0, SEEK_END) != 0) Fail("read", path_, errno, false);
  return std::ftell(f_);
}

void BinaryFile::Seek(long long pos, bool forWrite) {
  if (!f_) throw RuntimeError("file not open");
  if (pos < 1) throw RuntimeError("bad file position " + std::to_string(pos) + " in " + path_);
  if (pos == next_ && forWrite == lastWasWrite_) return;
  next_ = 0;
  if (std::fseek(f_, static_cast<long>(pos - 1), SEEK_SET) != 0) {
    Fail("read", path_, errno, false);
  }
  next_ = pos;
  lastWasWrite_ = forWrite;
}

void BinaryFile::Read(long long pos, void* out, size_t n) {
  Seek(pos, false);
  if (n && std::fread(out, 1, n, f_) != n) {
    next_ = 0;
    throw FileError("Cannot read " + path_ + ": the file ends too early.", "the file ends too early");
  }
  next_ += static_cast<long long>(n);
}

std::vector<uint8_t> BinaryFile::Read(long long pos, size_t n) {
  std::vector<uint8_t> out(n);
  Read(pos, out.data(), n);
  return out;
}

int16_t BinaryFile::ReadI16(long long pos) {
  uint8_t b[2];
  Read(pos, b, 2);
  return static_cast<int16_t>(b[0] | b[1] << 8);
}

int32_t BinaryFile::ReadI32(long long pos) {
  uint8_t b[4];
  Read(pos, b, 4);
  return static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

void BinaryFile::Write(long long pos, const void* data, size_t n) {
  Seek(pos, true);
  if (n && std::fwrite(data, 1, n, f_) != n) {
    next_ = 0;
    Fail("write", path_, errno, false);
  }
  next_ += static_cast<long long>(n);
}

void BinaryFile::WriteI16(long long pos, int16_t v) {
  uint8_t b[2] = {uint8_t(v), uint8_t(uint16_t(v) >> 8)};
  Write(pos, b, 2);
}

void BinaryFile::WriteI32(long long pos, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  Write(pos, b, 4);
}

void BinaryFile::WriteZeros(long long pos, size_t n) {
  static const uint8_t zeros[4096] = {};
  Seek(pos, true);
  while (n > 0) {
    size_t k = std::min(n, sizeof zeros);
    if (std::fwrite(zeros, 1, k, f_) != k) {
      next_ = 0;
      Fail("write", path_, errno, false);
    }
    next_ += static_cast<long long>(k);
    n -= k;
  }
}

}  // namespace tarvik
