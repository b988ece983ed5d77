// The file layer. Paths inside the program keep their Windows form ("UNIV\GAME3",
// "data\echo.map"); "/" is a separator too. Each component is resolved against what
// exists without regard to ASCII letter case, so "UNIV\GAME3" and "univ\game3" name
// one folder whichever spelling was made first. Missing components keep the spelling
// given. Failures that the caller cannot survive throw FileError.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/errors.h"

namespace tarvik {

// A file operation that failed. The message is one plain sentence that names the
// operation, the path and the reason ("Cannot create nodir/g1.yig: no such folder
// nodir."); `why` is the reason alone ("permission denied", "file too large").
struct FileError : RuntimeError {
  FileError(const std::string& message, std::string reason) : RuntimeError(message), why(std::move(reason)) {}
  std::string why;
};

// The host path that a program path names (components matched case-insensitively).
std::string ResolvePath(std::string_view path);

bool PathExists(std::string_view path);
bool FileExists(std::string_view path);  // a regular file
bool FolderExists(std::string_view path);
// Creates the folder (not its parents) when no folder of that name exists.
void CreateFolder(std::string_view path);
// Length in bytes, or -1 when there is no such file.
long long FileLength(std::string_view path);

// Whether a file name matches a pattern of "*" and "?" without regard to case.
bool MatchesPattern(std::string_view name, std::string_view pattern);
// Names (not paths) of the regular files in a folder matching the pattern, in
// ascending order of the names compared without regard to case. A missing folder
// lists nothing.
std::vector<std::string> ListFiles(std::string_view folder, std::string_view pattern);

void CopyFileTo(std::string_view from, std::string_view to);
// Deletes a file; a missing file is not an error.
void DeleteFileAt(std::string_view path);
std::vector<uint8_t> ReadWholeFile(std::string_view path);
// The first n bytes of a file, or all of it when it is shorter.
std::vector<uint8_t> ReadFileStart(std::string_view path, size_t n);
void WriteWholeFile(std::string_view path, const std::vector<uint8_t>& bytes);

// A file open for reading and writing at 1-based byte positions. Writes are not
// buffered: each reaches the file before Write returns, and the destructor only closes
// the file. Every failed read or write throws FileError; reading past the end does
// too.
class BinaryFile {
 public:
  enum class Mode { Read, ReadWrite, Create };
  BinaryFile() = default;
  BinaryFile(std::string_view path, Mode mode) { Open(path, mode); }
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  void Open(std::string_view path, Mode mode);
  void Close();  // flushes; throws when the flush fails
  void Flush();  // throws when the flush fails
  bool IsOpen() const { return f_ != nullptr; }
  long long Length();

  void Read(long long pos, void* out, size_t n);
  std::vector<uint8_t> Read(long long pos, size_t n);
  int16_t ReadI16(long long pos);
  int32_t ReadI32(long long pos);
  void Write(long long pos, const void* data, size_t n);
  void Write(long long pos, const std::vector<uint8_t>& data) { Write(pos, data.data(), data.size()); }
  void WriteI16(long long pos, int16_t v);
  void WriteI32(long long pos, int32_t v);
  // Writes n zero bytes at pos.
  void WriteZeros(long long pos, size_t n);

 private:
  void Seek(long long pos, bool forWrite);
  std::FILE* f_ = nullptr;
  std::string path_;
  // The 1-based position of the next byte after the last read or write, or 0 when
  // unknown. Sequential access skips the seek. A switch between reading and writing
  // always seeks, as stdio requires.
  long long next_ = 0;
  bool lastWasWrite_ = false;
};

}  // namespace tarvik
