// The file layer. Paths inside the program keep their Windows form ("UNIV\GAME3",
// "data\echo.map"); "/" is a separator too. Each component is resolved against what
// exists without regard to ASCII letter case, so "UNIV\GAME3" and "univ\game3" name
// one folder whichever spelling was made first. Missing components keep the spelling
// given. Failures that the caller cannot survive throw FileError.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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
// CreateFolder(folder + "\\" + name) for each name in turn, the folders already there
// found with one listing of `folder`.
void CreateFolders(std::string_view folder, const std::vector<std::string>& names);
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
// ReadWholeFile into `bytes`, reusing its storage.
void ReadWholeFileInto(std::string_view path, std::vector<uint8_t>& bytes);
// Something that takes a large file's bytes its own way (maps it), given the open
// file's descriptor (valid during the call only) and its length; false when it cannot.
using LargeFileTaker = std::function<bool(int descriptor, size_t length)>;
// ReadWholeFileInto, except that a regular file too long for a steady span to remember
// is first offered to `taker`. When it takes the file, `bytes` is left empty; otherwise
// (it cannot, or the file is small, remembered, or not a regular file) the file is read
// into `bytes` just as ReadWholeFileInto reads it.
void ReadWholeFileOrTake(std::string_view path, std::vector<uint8_t>& bytes, const LargeFileTaker& taker);
// The first n bytes of a file, or all of it when it is shorter.
std::vector<uint8_t> ReadFileStart(std::string_view path, size_t n);
// ReadFileStart into `bytes`, reusing its storage.
void ReadFileStartInto(std::string_view path, size_t n, std::vector<uint8_t>& bytes);
// The length of the regular file at `path`, or -1 when there is none (FileLength), and
// its first n bytes in `bytes` (all of it when it is shorter; ReadFileStartInto) when it
// is longer than `readAbove` bytes; `bytes` is empty otherwise. A file that is there but
// cannot be read throws FileError. The path is looked up once: the file is opened first
// and its status taken from the open file.
long long ReadFileHead(std::string_view path, size_t n, std::vector<uint8_t>& bytes, long long readAbove = -1);
// ReadFileHead of a file the program may write back unchanged (WriteFileStart): in a
// steady span it is opened for writing when the system allows that, so that writing the
// same bytes back later needs no second open to learn whether the system refuses.
long long ReadFileHeadForUpdate(std::string_view path, size_t n, std::vector<uint8_t>& bytes,
                                long long readAbove = -1);
void WriteWholeFile(std::string_view path, const std::vector<uint8_t>& bytes);
// Writes `bytes` at the start of a file, making the file when it is not there; in a
// longer file the bytes after them stay. In a steady span, a file the span knows to
// begin with exactly these bytes already is left as it is (the span knows what it read
// whole and what it wrote).
void WriteFileStart(std::string_view path, const std::vector<uint8_t>& bytes);

// A steady span: a stretch of the program in which the game folder changes only through
// this program (start-up and an unattended build; never a wait for the person). While
// one is open, the file layer remembers what it has looked up (the status of every path
// found, the listings of the folders searched without regard to letter case, the host
// spellings of the paths resolved, and small files read whole) and answers from that
// memory. What is not there (a path, or a name no remembered listing matches) is always
// looked up afresh; a file open for writing is never remembered, under any spelling of
// its path. A file the program opens for writing is forgotten (its status and contents,
// under every spelling); a file or folder it makes leaves the rest true, as it is made
// only when no entry of its folder matches its name without regard to case; a file it
// deletes is forgotten with the listing of its folder and the spellings found for it.
// Every box forgets everything (ForgetFolders). Spans nest; when the last one closes,
// everything is forgotten.
class SteadyFolders {
 public:
  SteadyFolders();
  ~SteadyFolders();
  SteadyFolders(const SteadyFolders&) = delete;
  SteadyFolders& operator=(const SteadyFolders&) = delete;
};

// Forgets what the open spans have learned (the person may change the folder while a
// message box waits).
void ForgetFolders();

// A number for what the open steady spans know of the folders: it stays the same while
// nothing in them has changed, and changes whenever the spans forget (a change the
// program made, a box, the last span closing). 0 when no span is open. Whatever a
// caller learned from the folders under one non-zero number still holds while the
// number is the same.
uint64_t SteadyFoldersEpoch();

// A file open for reading and writing at 1-based byte positions. Nothing is buffered:
// each write is in the file when Write returns (one system call at its position), and
// the destructor only closes the file. Every failed read or write throws FileError;
// reading past the end does too.
class BinaryFile {
 public:
  enum class Mode { Read, ReadWrite, Create };
  BinaryFile() = default;
  BinaryFile(std::string_view path, Mode mode) { Open(path, mode); }
  ~BinaryFile();
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  void Open(std::string_view path, Mode mode);
  void Close();  // throws when the system reports a failed write at the close
  bool IsOpen() const { return fd_ >= 0; }
  // The open file's descriptor (-1 when closed), for writes at explicit positions that
  // must not go through this object (the run log's, which a signal handler may make).
  int Descriptor() const;
  long long Length();
  // The status of a file open for writing, as this object knows it without asking the
  // system again.
  struct Status {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint32_t mode = 0;     // the kind and permissions the status taken at the open gave
    long long length = 0;  // the length then, as this object's writes and SetLength have
                           // changed it since (writes through anything else are not seen)
  };
  // Nothing when the file is not open for writing or its status could not be taken.
  std::optional<Status> KnownStatus() const;

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
  // Makes the file `length` bytes long: cut off there, or lengthened with zero bytes.
  void SetLength(long long length);

 private:
  friend void WriteFileStart(std::string_view path, const std::vector<uint8_t>& bytes);
  // Makes (or empties) the file at the host path `host` that a look-up of `path` has
  // just found nothing at, under any spelling.
  void CreateAt(std::string_view path, const std::string& host);
  // What follows a successful or failed open of `path` (fd_ set) in `mode`.
  void Opened(Mode mode);
  void CheckPosition(long long pos) const;
  // Takes a file opened for writing off the list of files that no span remembers.
  void StopWriting();
  int fd_ = -1;
  std::string path_;
  bool writing_ = false;  // open for writing, with the status below
  Status writingStatus_;
};

}  // namespace tarvik
