#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "base/errors.h"
#include "base/text.h"

namespace tarvik {

namespace {

std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;  // where the component being read began
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') continue;
    if (i > start) parts.emplace_back(path.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

// ---- What a steady span remembers (see SteadyFolders in files.h) ----------------------

using FileIdentity = std::pair<dev_t, ino_t>;

struct FolderMemory {
  int spans = 0;  // steady spans open
  // How many times the memory was forgotten or a file changed: what a layer above keeps
  // from files it read holds while this count stands (SteadyFoldersEpoch).
  uint64_t changes = 0;
  // Host paths found, with their status. Only what is there is remembered: a path that
  // is not there is looked up again each time, so nothing made since can be missed.
  std::unordered_map<std::string, struct stat> found;
  // The entry names of the folders listed for look-ups without regard to case, by the
  // folder's identity (device and inode), which every spelling of a folder shares.
  std::map<FileIdentity, std::vector<std::string>> listings;
  // Program paths (as ExactPath spells them) not spelled as they lie on disk, with the
  // host path every one of their components was matched to.
  std::unordered_map<std::string, std::string> spellings;
  // Files read whole, by host path (only small ones: the packs, maps and records that
  // a run reads again and again), with the identity of the file read.
  struct Contents {
    FileIdentity file;
    std::vector<uint8_t> bytes;
    // The system has accepted a write to it in this span: the program wrote it, or
    // read it through a descriptor open for writing (see ReadFileHeadForUpdate).
    bool writeAccepted = false;
  };
  std::unordered_map<std::string, Contents> contents;
  // The files open for writing (spans or not), by identity, so that no spelling of
  // their paths is remembered while they change; with how many times each is open.
  std::map<FileIdentity, int> writing;
};

// Only small files are remembered: a large one read again costs the same copy from the
// system's cache as from this memory, and keeping it costs memory. In a span, a file up
// to this long is also read whole when only its start is asked for.
constexpr size_t REMEMBERED_FILE_BYTES = 64 << 10;

FolderMemory& Memory() {
  static FolderMemory memory;
  return memory;
}

bool BeingWritten(const struct stat& st) { return Memory().writing.count({st.st_dev, st.st_ino}) > 0; }

// Something changed that the span cannot tell apart: whatever it remembers is forgotten.
void FoldersChanged() {
  if (Memory().spans > 0) ForgetFolders();
}

// The program opened a file for writing (perhaps making it): its status and contents
// are forgotten under every spelling. The listings and the spellings stay true: a file
// or folder the program makes is made only when no entry of its folder matches its name
// without regard to case (the path is resolved first, and a name no listing matches is
// looked up afresh), so a new entry never changes which entry another name matches; and
// a folder's own status is used only for its kind and identity, which an entry made in
// it does not change.
void FileChanged(FileIdentity file) {
  FolderMemory& m = Memory();
  ++m.changes;
  std::erase_if(m.found, [&](const auto& entry) {
    return entry.second.st_dev == file.first && entry.second.st_ino == file.second;
  });
  std::erase_if(m.contents, [&](const auto& entry) { return entry.second.file == file; });
}

// stat(2) of a host path, answered from the span's memory when it can be.
bool StatPath(const std::string& host, struct stat& st) {
  FolderMemory& m = Memory();
  if (m.spans > 0) {
    const auto it = m.found.find(host);
    if (it != m.found.end()) {
      st = it->second;
      return true;
    }
  }
  if (::stat(host.c_str(), &st) != 0) return false;
  if (m.spans > 0 && !BeingWritten(st)) m.found.emplace(host, st);
  return true;
}

bool Exists(const std::string& p) {
  struct stat st;
  return StatPath(p, st);
}

// The names in a folder (without "." and ".."), read from the folder; false when it
// cannot be listed. `regularOnly`: only the names of regular files, a link counting as
// what it leads to. The folder is read with opendir and readdir, which cost the system
// fewer calls than a directory iterator of the standard library (no descriptor flags
// are read or set); an entry whose kind the folder does not give is looked up.
// `folders`: also the names of the entries the folder itself calls folders.
bool ReadFolder(const std::string& dir, std::vector<std::string>& names, bool regularOnly = false,
                std::vector<std::string>* folders = nullptr) {
  const std::string folder = dir.empty() ? "." : dir;
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return false;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (folders && entry->d_type == DT_DIR) folders->emplace_back(name);
    if (regularOnly && entry->d_type != DT_REG) {
      struct stat st;
      const bool unknown = entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK;
      if (!unknown || ::stat((folder + "/" + std::string(name)).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    }
    names.emplace_back(name);
  }
  ::closedir(listing);
  return true;
}

// The entry of a listing whose name equals `name` ignoring case, the smallest (byte
// order) when several do; empty when none does.
std::string SmallestMatch(const std::vector<std::string>& names, const std::string& name) {
  std::string best;
  for (const std::string& entry : names) {
    if (EqualsNoCase(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  return best;
}

// The path whose status is a folder's own, for a folder spelled with or without a
// separator at its end ("univ/GAME1/" or "univ/GAME1"), so that both spellings share
// what the span remembers of it. A folder's status is the same under both; for a path
// that is no folder the one without the separator may be found where the other is not,
// but such a path cannot be listed either way.
std::string FolderStatusPath(const std::string& dir) {
  if (dir.empty()) return ".";
  if (dir.size() > 1 && dir.back() == '/') return dir.substr(0, dir.size() - 1);
  return dir;
}

// SmallestMatch in the folder `dir`; empty also when the folder cannot be listed. A
// steady span remembers the listing; when it holds no match, the folder is read afresh,
// so that an entry made since is not missed.
std::string MatchInFolder(const std::string& dir, const std::string& name) {
  FolderMemory& m = Memory();
  struct stat st;
  std::vector<std::string> names;
  if (m.spans == 0 || !StatPath(FolderStatusPath(dir), st)) {
    return ReadFolder(dir, names) ? SmallestMatch(names, name) : std::string();
  }
  const FileIdentity id{st.st_dev, st.st_ino};
  const auto it = m.listings.find(id);
  if (it != m.listings.end()) {
    std::string best = SmallestMatch(it->second, name);
    if (!best.empty()) return best;
  }
  if (!ReadFolder(dir, names)) return {};
  std::string best = SmallestMatch(names, name);
  m.listings[id] = std::move(names);
  return best;
}

// The existing entry of folder `dir` whose name equals `name` ignoring case; the exact
// spelling wins, otherwise the smallest matching name (byte order), so the choice is
// stable. Empty when none matches.
std::string FindNoCase(const std::string& dir, const std::string& name) {
  if (Exists(dir + name)) return name;
  return MatchInFolder(dir, name);
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

// Reads n bytes from 0-based offset `at` of the open file `fd` (the program's `path`)
// into p; a failed read, or one past the end of the file, throws FileError.
void ReadAt(int fd, std::string_view path, off_t at, uint8_t* p, size_t n) {
  while (n > 0) {
    const ssize_t k = ::pread(fd, p, n, at);
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) Fail("read", path, errno, false);
    if (k == 0) {
      throw FileError("Cannot read " + std::string(path) + ": the file ends too early.", "the file ends too early");
    }
    p += k;
    at += k;
    n -= static_cast<size_t>(k);
  }
}

}  // namespace

namespace {

// The path with "/" between its components, as the host spells it when every component
// exists exactly as given: "\\" becomes "/", and empty components are dropped.
std::string ExactPath(std::string_view path) {
  std::string exact(path);
  // Most paths have no empty component: turning every "\\" into "/" is then the whole
  // spelling. These two loops have no branch on the characters, so the compiler can
  // take many characters at a time; a path they find a doubled separator in, or one
  // ending in a separator, is spelled by the general loop below, which gives the same
  // answer for every path.
  for (char& c : exact) c = c == '\\' ? '/' : c;
  bool doubled = false;
  for (size_t i = 1; i < exact.size(); ++i) doubled |= (exact[i] == '/') & (exact[i - 1] == '/');
  if (!doubled && !(exact.size() > 1 && exact.back() == '/')) return exact;
  // Made in place in the copy: the spelling never grows, so each character kept moves
  // to `kept`, at or before where it was read.
  size_t kept = 0;
  for (const char c : path) {
    if (c != '/' && c != '\\') {
      exact[kept++] = c;
    } else if (kept == 0 || exact[kept - 1] != '/') {
      exact[kept++] = '/';  // the root, or the end of a component
    }
  }
  if (kept > 1 && exact[kept - 1] == '/') --kept;
  exact.resize(kept);
  return exact;
}

// ResolvePath, and the status of the host path found (`found`: whether it names
// something). The exact spelling is looked up first, and its status is the answer
// whenever it exists, so a path spelled as it lies on disk costs one look-up.
//
// Otherwise each component is matched in its folder in turn, from the root. A steady
// span remembers every path and every leading part of one that it matched to a
// different spelling ("UNIV/GAME1" to "univ/GAME1"), and starts the next path past the
// longest leading part it remembers. That is the walk's own answer: the program never
// makes an entry that another name would match (see FileChanged), and a file it
// deletes takes the spellings found for it along (see DeleteFileAt).
std::string ResolveWithStatus(std::string_view path, struct stat& st, bool& found) {
  std::string exact = ExactPath(path);
  FolderMemory& m = Memory();
  const bool remembering = m.spans > 0;
  if (remembering) {
    const auto there = m.found.find(exact);
    if (there != m.found.end()) {
      st = there->second;
      found = true;
      return exact;
    }
    const auto known = m.spellings.find(exact);
    if (known != m.spellings.end() && StatPath(known->second, st)) {
      found = true;
      return known->second;
    }
  }
  const std::vector<std::string> parts = SplitComponents(path);
  const bool absolute = !exact.empty() && exact[0] == '/';
  // The length of `exact` up to the end of each component: exact.substr(0, ends[i]) is
  // the program's spelling of the first i + 1 components.
  std::vector<size_t> ends;
  size_t length = absolute ? 1 : 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    length += (i ? 1 : 0) + parts[i].size();
    ends.push_back(length);
  }
  std::string out = absolute ? "/" : "";
  size_t start = 0;
  if (remembering) {
    for (size_t k = parts.size(); k-- > 1;) {
      const auto known = m.spellings.find(exact.substr(0, ends[k - 1]));
      if (known != m.spellings.end()) {
        out = known->second + "/";
        start = k;
        break;
      }
    }
  }
  // A remembered leading part is spelled otherwise on disk, and no entry has been made
  // under its own spelling since (see above): the exact spelling of the whole path
  // cannot be there, and is looked up only without one.
  if (start == 0 && !exact.empty() && StatPath(exact, st)) {
    found = true;
    return exact;
  }
  bool resolving = true;
  for (size_t i = start; i < parts.size(); ++i) {
    const std::string& comp = parts[i];
    std::string chosen = comp;
    if (resolving && comp != "." && comp != "..") {
      std::string match = FindNoCase(out, comp);
      if (match.empty()) {
        resolving = false;  // below a missing component nothing can exist
      } else {
        chosen = match;
      }
    }
    out += chosen;
    if (remembering && resolving && i + 1 < parts.size()) {
      std::string given = exact.substr(0, ends[i]);
      if (given != out) m.spellings[std::move(given)] = out;
    }
    if (i + 1 < parts.size()) out += "/";
  }
  if (out.empty()) out = ".";
  found = resolving && StatPath(out, st);
  if (found && remembering && !exact.empty() && exact != out) m.spellings[std::move(exact)] = out;
  return out;
}

}  // namespace

namespace {

// The host spelling of a program path (as ExactPath spells it) that the span remembers:
// the spelling found for the whole path, or else the one found for its longest leading
// part followed by the rest as given; the path itself when the span remembers none.
// Resolution starts from that same leading part (see ResolveWithStatus), and finds the
// rest as given whenever it exists so, as the exact spelling of a name wins.
std::string RememberedSpelling(const std::string& exact) {
  const auto& spellings = Memory().spellings;
  for (size_t end = exact.size(); end > 0 && end != std::string::npos; end = exact.rfind('/', end - 1)) {
    const auto known = spellings.find(exact.substr(0, end));
    if (known != spellings.end()) return known->second + exact.substr(end);
  }
  return exact;
}

}  // namespace

std::string ResolvePath(std::string_view path) {
  struct stat st;
  bool found = false;
  return ResolveWithStatus(path, st, found);
}

bool PathExists(std::string_view path) {
  struct stat st;
  bool found = false;
  ResolveWithStatus(path, st, found);
  return found;
}

bool FileExists(std::string_view path) {
  struct stat st;
  bool found = false;
  ResolveWithStatus(path, st, found);
  return found && S_ISREG(st.st_mode);
}

bool FolderExists(std::string_view path) {
  struct stat st;
  bool found = false;
  ResolveWithStatus(path, st, found);
  return found && S_ISDIR(st.st_mode);
}

void CreateFolder(std::string_view path) {
  struct stat st;
  bool found = false;
  const std::string real = ResolveWithStatus(path, st, found);
  if (found && S_ISDIR(st.st_mode)) return;
  // A folder made here matches no other entry of its folder (see FileChanged): nothing
  // remembered changes.
  if (::mkdir(real.c_str(), 0777) != 0 && errno != EEXIST) {
    Fail("create the folder", path, errno, true);
  }
}

void CreateFolders(std::string_view folder, const std::vector<std::string>& names) {
  // The entries the listing itself calls folders. One of them named exactly as asked is
  // what CreateFolder's look-up would find first (the exact spelling wins) and leave as
  // it is; any other name (a link, an entry of a kind the listing does not give, one
  // spelled otherwise, or none) goes through CreateFolder.
  // In a steady span the whole listing is remembered for the look-ups without regard to
  // case that follow in this folder (as MatchInFolder would remember it): it is what
  // reading the folder gives, and the folders made below only add entries that no name
  // of it matches, which a look-up that misses reads the folder afresh to find.
  std::vector<std::string> folders, entries;
  const std::string host = ResolvePath(folder);
  const bool listed = ReadFolder(host, entries, false, &folders);
  FolderMemory& m = Memory();
  struct stat st;
  if (listed && m.spans > 0 && StatPath(FolderStatusPath(host), st)) {
    m.listings[FileIdentity{st.st_dev, st.st_ino}] = std::move(entries);
  }
  for (const std::string& name : names) {
    if (std::find(folders.begin(), folders.end(), name) == folders.end()) {
      CreateFolder(std::string(folder) + "\\" + name);
    }
  }
}

long long FileLength(std::string_view path) {
  struct stat st;
  bool found = false;
  ResolveWithStatus(path, st, found);
  if (!found || !S_ISREG(st.st_mode)) return -1;
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
  // A folder that lists under its spelling (or the one the span remembers for it) is the
  // folder a resolution finds, as the exact spelling of each name wins: it is listed
  // without a look-up first. Only one that does not list is resolved.
  const std::string exact = ExactPath(folder);
  const bool listed = !exact.empty() && ReadFolder(Memory().spans > 0 ? RememberedSpelling(exact) : exact, names, true);
  if (!listed && !ReadFolder(ResolvePath(folder), names, true)) return names;
  std::erase_if(names, [&](const std::string& name) { return !MatchesPattern(name, pattern); });
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    int c = CompareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

void CopyFileTo(std::string_view from, std::string_view to) {
  WriteWholeFile(to, ReadWholeFile(from));
}

namespace {

// The host folder a host path lies in.
std::string HostFolderOf(const std::string& host) {
  const size_t sep = host.find_last_of('/');
  if (sep == std::string::npos) return ".";
  return sep == 0 ? "/" : host.substr(0, sep);
}

}  // namespace

void DeleteFileAt(std::string_view path) {
  struct stat st;
  bool found = false;
  const std::string real = ResolveWithStatus(path, st, found);
  // The folder's identity, taken before its entry goes.
  struct stat folder;
  const bool folderKnown = found && Memory().spans > 0 && StatPath(HostFolderOf(real), folder);
  if (::unlink(real.c_str()) != 0) {
    if (errno != ENOENT) Fail("delete", path, errno, false);
    if (!found) return;  // nothing was there and nothing changed
  }
  if (!folderKnown) {
    FoldersChanged();
    return;
  }
  // What the span remembers of the file goes (its status and contents, under every
  // spelling), so do the listing of its folder, which still names it, and the
  // spellings found for it. The other listings and spellings stay true: a deleted file
  // is no folder that a leading part of a path was matched to, and the match of any
  // other name in the folder is the same without an entry it did not choose.
  FileChanged({st.st_dev, st.st_ino});
  FolderMemory& m = Memory();
  m.listings.erase({folder.st_dev, folder.st_ino});
  std::erase_if(m.spellings, [&](const auto& entry) { return entry.second == real; });
}

namespace {

// The first n bytes of the open file `fd` (the program's `path`), `len` bytes long, into
// `bytes` (all of it when it is shorter). With `rememberAs` (in a span), a small file is
// read whole even when only its start is wanted (a header test), and the whole file,
// whose status is `st`, is remembered under that host path for the reads that follow;
// `writeAccepted` when the descriptor is open for writing.
void ReadOpenStart(int fd, std::string_view path, size_t len, size_t n, std::vector<uint8_t>& bytes,
                   const std::string* rememberAs, const struct stat& st, bool writeAccepted) {
  const bool whole = rememberAs && len <= REMEMBERED_FILE_BYTES;
  const size_t take = whole ? len : std::min(len, n);
  bytes.resize(take);
  if (take > 0) ReadAt(fd, path, 0, bytes.data(), take);
  if (whole) {
    Memory().contents.emplace(*rememberAs, FolderMemory::Contents{{st.st_dev, st.st_ino}, bytes, writeAccepted});
  }
  if (bytes.size() > n) bytes.resize(n);
}

// The first n bytes of a file (all of it when it is shorter) into `bytes`, from what the
// span remembers of it when it can; a small file read whole is remembered. With `taker`,
// a regular file too long to be remembered is offered to it first (see
// ReadWholeFileOrTake), and `bytes` is left empty when it takes the file.
void ReadStart(std::string_view path, size_t n, std::vector<uint8_t>& bytes, const LargeFileTaker* taker = nullptr) {
  struct stat st;
  bool found = false;
  const std::string host = ResolveWithStatus(path, st, found);
  const bool remembering = Memory().spans > 0 && found && !BeingWritten(st);
  if (remembering) {
    const auto it = Memory().contents.find(host);
    if (it != Memory().contents.end()) {
      const std::vector<uint8_t>& all = it->second.bytes;
      bytes.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())));
      return;
    }
  }
  BinaryFile f(path, BinaryFile::Mode::Read);
  if (taker) {
    // The open file's own status: a span's memory would do for its kind, but a taker
    // that maps the file needs the length it has now.
    struct stat open;
    if (::fstat(f.Descriptor(), &open) == 0 && S_ISREG(open.st_mode) &&
        static_cast<unsigned long long>(open.st_size) > REMEMBERED_FILE_BYTES &&
        (*taker)(f.Descriptor(), static_cast<size_t>(open.st_size))) {
      bytes.clear();
      return;
    }
  }
  // In a span the status just found is the file's (nothing else changes it).
  const size_t len = remembering ? static_cast<size_t>(st.st_size) : static_cast<size_t>(f.Length());
  ReadOpenStart(f.Descriptor(), path, len, n, bytes, remembering ? &host : nullptr, st, false);
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(std::string_view path) {
  std::vector<uint8_t> bytes;
  ReadStart(path, SIZE_MAX, bytes);
  return bytes;
}

void ReadWholeFileInto(std::string_view path, std::vector<uint8_t>& bytes) { ReadStart(path, SIZE_MAX, bytes); }

void ReadWholeFileOrTake(std::string_view path, std::vector<uint8_t>& bytes, const LargeFileTaker& taker) {
  ReadStart(path, SIZE_MAX, bytes, &taker);
}

std::vector<uint8_t> ReadFileStart(std::string_view path, size_t n) {
  std::vector<uint8_t> bytes;
  ReadStart(path, n, bytes);
  return bytes;
}

void ReadFileStartInto(std::string_view path, size_t n, std::vector<uint8_t>& bytes) { ReadStart(path, n, bytes); }

namespace {

// What ReadFileHead does, the file opened for writing first when `forUpdate`.
long long ReadHead(std::string_view path, size_t n, std::vector<uint8_t>& bytes, long long readAbove,
                   bool forUpdate) {
  FolderMemory& m = Memory();
  const bool spans = m.spans > 0;
  const std::string exact = ExactPath(path);
  // The host path the span's memory gives (see OpenResolved): its status, when
  // remembered, is the one a resolution would find.
  const std::string host = spans ? RememberedSpelling(exact) : exact;
  struct stat st;
  int fd = -1;
  const auto known = spans ? m.found.find(host) : m.found.end();
  if (known != m.found.end()) {
    st = known->second;
  } else if (!host.empty()) {
    // Not remembered: the file is opened under that spelling at once and its status
    // taken from the open file. A path that opens is the path a resolution finds, as
    // the exact spelling of each name wins. A non-blocking open never waits on a pipe
    // and takes no terminal; anything but a regular file is closed unread.
    constexpr int FLAGS = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (forUpdate && spans) fd = ::open(host.c_str(), O_RDWR | FLAGS);
    const bool writable = fd >= 0;
    if (fd < 0) fd = ::open(host.c_str(), O_RDONLY | FLAGS);
    if (fd >= 0 && ::fstat(fd, &st) != 0) {
      ::close(fd);
      fd = -1;
    }
    if (fd >= 0) {
      const bool regular = S_ISREG(st.st_mode);
      const bool remembering = spans && !BeingWritten(st);
      if (remembering) {
        m.found.emplace(host, st);
        if (exact != host) m.spellings[exact] = host;
      }
      const long long length = regular ? static_cast<long long>(st.st_size) : -1;
      if (!regular || length <= readAbove) {
        ::close(fd);
        bytes.clear();
        return length;
      }
      try {
        ReadOpenStart(fd, path, static_cast<size_t>(length), n, bytes, remembering ? &host : nullptr, st, writable);
      } catch (...) {
        ::close(fd);
        throw;
      }
      ::close(fd);
      return length;
    }
  }
  if (known == m.found.end()) {
    // Not there under that spelling, or not to be opened so: the path is resolved as
    // every other look-up resolves it.
    bool found = false;
    ResolveWithStatus(path, st, found);
    if (!found) st.st_mode = 0;
  }
  const long long length = S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1;
  if (length > readAbove) {
    ReadStart(path, n, bytes);
  } else {
    bytes.clear();
  }
  return length;
}

}  // namespace

long long ReadFileHead(std::string_view path, size_t n, std::vector<uint8_t>& bytes, long long readAbove) {
  return ReadHead(path, n, bytes, readAbove, false);
}

long long ReadFileHeadForUpdate(std::string_view path, size_t n, std::vector<uint8_t>& bytes, long long readAbove) {
  return ReadHead(path, n, bytes, readAbove, true);
}

void WriteFileStart(std::string_view path, const std::vector<uint8_t>& bytes) {
  struct stat st;
  bool found = false;
  const std::string host = ResolveWithStatus(path, st, found);
  const bool existing = found && S_ISREG(st.st_mode);
  FolderMemory& m = Memory();
  const bool remembering = m.spans > 0;
  // What the span knows the file holds, when it knows all of it.
  FolderMemory::Contents* known = nullptr;
  if (remembering && existing && !BeingWritten(st)) {
    const auto it = m.contents.find(host);
    if (it != m.contents.end() && it->second.file == FileIdentity{st.st_dev, st.st_ino}) known = &it->second;
  }
  if (known && known->bytes.size() >= bytes.size() && std::equal(bytes.begin(), bytes.end(), known->bytes.begin())) {
    // The file begins with these bytes already. One the system has accepted a write
    // to in this span is left alone. Another might refuse the write, and that refusal
    // is the program's answer: it is opened for writing, which is where the system
    // refuses (no permission, a read-only disk), and closed again; writing the same
    // bytes over themselves would change nothing in it. From then on the span counts
    // the write as accepted, as it would after the write.
    if (!known->writeAccepted) {
      const int fd = ::open(host.c_str(), O_RDWR | O_CLOEXEC);
      if (fd < 0) Fail("open", path, errno, false);
      ::close(fd);
      known->writeAccepted = true;
    }
    return;
  }
  // The whole file after the write, as far as the span can know it: these bytes, then
  // the rest of what it held when the span knew that.
  std::vector<uint8_t> after;
  if (remembering) {
    after = bytes;
    if (known && known->bytes.size() > bytes.size()) {
      after.insert(after.end(), known->bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size()), known->bytes.end());
    }
  }
  BinaryFile f;
  if (found) {
    f.Open(path, existing ? BinaryFile::Mode::ReadWrite : BinaryFile::Mode::Create);
  } else {
    f.CreateAt(path, host);  // looked up just now: not there
  }
  f.Write(1, bytes);
  // The file's status after the write, from the status taken when it was opened (no
  // other writer holds it when it is remembered below, see BeingWritten).
  const std::optional<BinaryFile::Status> status = f.KnownStatus();
  f.Close();
  if (!status) return;
  struct stat written{};
  written.st_dev = static_cast<dev_t>(status->device);
  written.st_ino = static_cast<ino_t>(status->inode);
  written.st_mode = static_cast<mode_t>(status->mode);
  written.st_size = static_cast<off_t>(status->length);
  // Remembered when that is the whole file: its length says nothing follows.
  if (remembering && after.size() <= REMEMBERED_FILE_BYTES && static_cast<long long>(after.size()) == status->length &&
      !BeingWritten(written)) {
    m.contents[host] = FolderMemory::Contents{{written.st_dev, written.st_ino}, std::move(after), true};
    m.found[host] = written;
  }
}

void WriteWholeFile(std::string_view path, const std::vector<uint8_t>& bytes) {
  BinaryFile f(path, BinaryFile::Mode::Create);
  if (!bytes.empty()) f.Write(1, bytes);
  f.Close();
}

BinaryFile::~BinaryFile() {
  if (fd_ < 0) return;
  ::close(fd_);
  StopWriting();
}

namespace {


// Opens the host file of a program path and names it in `host`. A path spelled as it
// lies on disk is opened at once; only when it is not there is it resolved without regard
// to letter case (a new file is then made under the spelling resolution gives, as
// ResolvePath describes).
int OpenResolved(std::string_view path, BinaryFile::Mode mode, std::string& host) {
  const int access = mode == BinaryFile::Mode::Read ? O_RDONLY : O_RDWR;
  const int truncate = mode == BinaryFile::Mode::Create ? O_TRUNC : 0;
  host = ExactPath(path);
  // A path the span has resolved, or a leading part of it, is opened under the
  // spelling found for it.
  if (Memory().spans > 0) host = RememberedSpelling(host);
  int fd = host.empty() ? -1 : ::open(host.c_str(), access | truncate | O_CLOEXEC);
  if (fd >= 0 || (!host.empty() && errno != ENOENT && errno != ENOTDIR)) return fd;
  const int create = mode == BinaryFile::Mode::Create ? O_CREAT : 0;
  host = ResolvePath(path);
  return ::open(host.c_str(), access | truncate | create | O_CLOEXEC, 0666);
}

}  // namespace

void BinaryFile::Open(std::string_view path, Mode mode) {
  if (fd_ >= 0) Close();
  path_ = std::string(path);
  std::string host;
  fd_ = OpenResolved(path, mode, host);
  Opened(mode);
}

void BinaryFile::CreateAt(std::string_view path, const std::string& host) {
  if (fd_ >= 0) Close();
  path_ = std::string(path);
  // Where Open would make it: its open under the spelling given fails as nothing is
  // there, and the look-up it then makes finds `host` again.
  fd_ = ::open(host.c_str(), O_RDWR | O_TRUNC | O_CREAT | O_CLOEXEC, 0666);
  Opened(Mode::Create);
}

void BinaryFile::Opened(Mode mode) {
  if (fd_ < 0) {
    Fail(mode == Mode::Read ? "read" : mode == Mode::ReadWrite ? "open" : "create", path_, errno, mode == Mode::Create);
  }
  if (mode == Mode::Read) return;
  // Its length and contents change from here on, and Create may have made it: nothing
  // about it is remembered until it is closed.
  struct stat st;
  if (::fstat(fd_, &st) == 0) {
    writingStatus_ = Status{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                            static_cast<uint32_t>(st.st_mode), static_cast<long long>(st.st_size)};
    writing_ = true;
    ++Memory().writing[{st.st_dev, st.st_ino}];
    FileChanged({st.st_dev, st.st_ino});
  } else {
    FoldersChanged();
  }
}

void BinaryFile::StopWriting() {
  if (!writing_) return;
  writing_ = false;
  std::map<FileIdentity, int>& writing = Memory().writing;
  const auto it = writing.find({static_cast<dev_t>(writingStatus_.device), static_cast<ino_t>(writingStatus_.inode)});
  if (it != writing.end() && --it->second == 0) writing.erase(it);
}

void BinaryFile::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  const int closed = ::close(fd);
  const int err = errno;
  StopWriting();
  if (closed != 0 && err != EINTR) Fail("write", path_, err, false);
}

int BinaryFile::Descriptor() const { return fd_; }

std::optional<BinaryFile::Status> BinaryFile::KnownStatus() const {
  if (fd_ < 0 || !writing_) return std::nullopt;
  return writingStatus_;
}

void BinaryFile::CheckPosition(long long pos) const {
  if (fd_ < 0) throw RuntimeError("file not open");
  if (pos < 1) throw RuntimeError("bad file position " + std::to_string(pos) + " in " + path_);
}

long long BinaryFile::Length() {
  if (fd_ < 0) throw RuntimeError("file not open");
  struct stat st;
  if (::fstat(fd_, &st) != 0) Fail("read", path_, errno, false);
  return static_cast<long long>(st.st_size);
}

void BinaryFile::Read(long long pos, void* out, size_t n) {
  CheckPosition(pos);
  ReadAt(fd_, path_, static_cast<off_t>(pos - 1), static_cast<uint8_t*>(out), n);
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
  CheckPosition(pos);
  const auto* p = static_cast<const uint8_t*>(data);
  off_t at = static_cast<off_t>(pos - 1);
  while (n > 0) {
    const ssize_t k = ::pwrite(fd_, p, n, at);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) Fail("write", path_, k < 0 ? errno : ENOSPC, false);
    p += k;
    at += k;
    n -= static_cast<size_t>(k);
  }
  // A write past the end lengthens the file to where the write ends.
  writingStatus_.length = std::max(writingStatus_.length, static_cast<long long>(at));
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
  while (n > 0) {
    const size_t k = std::min(n, sizeof zeros);
    Write(pos, zeros, k);
    pos += static_cast<long long>(k);
    n -= k;
  }
}

void BinaryFile::SetLength(long long length) {
  if (fd_ < 0) throw RuntimeError("file not open");
  while (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
    if (errno != EINTR) Fail("write", path_, errno, false);
  }
  writingStatus_.length = length;
}

SteadyFolders::SteadyFolders() { ++Memory().spans; }

SteadyFolders::~SteadyFolders() {
  if (--Memory().spans == 0) ForgetFolders();
}

void ForgetFolders() {
  FolderMemory& m = Memory();
  ++m.changes;
  m.found.clear();
  m.listings.clear();
  m.spellings.clear();
  m.contents.clear();
}

uint64_t SteadyFoldersEpoch() {
  const FolderMemory& m = Memory();
  return m.spans > 0 ? m.changes + 1 : 0;
}

}  // namespace tarvik
