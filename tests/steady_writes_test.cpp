// Writing the start of a file (the slot records, the marker) inside a steady span: the
// span leaves alone a file it wrote itself that already begins with the bytes, and every
// answer and every file must come out as they do without a span.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/mapped_file.h"
#include "test_support.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }
std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Every file below the folder, relative, with its contents.
std::vector<std::string> FilesBelow(const std::string& root) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    files.push_back(entry.path().string().substr(root.size()) + " = " + bytes);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A random session of writes at the start of a few files (under two spellings each,
// often the bytes they hold already, shorter or longer ones too), whole writes, reads,
// deletions and boxes; its answers, then every file it left.
std::vector<std::string> Session(unsigned seed, bool steady) {
  test::TempDir dir;
  CreateFolder(dir.path() + "univ");
  CreateFolder(dir.path() + "univ/game1");
  const std::string& root = dir.path();
  const std::vector<std::string> files = {"univ/game1/game.dat", "UNIV\\GAME1\\GAME.DAT", "univ/marker.tmp",
                                          "Univ\\Marker.TMP", "univ/game1/slot.dat"};
  const std::vector<std::string> contents = {"abcdefgh", "abcdefgh", "abcd", "abcdefghijkl", "zz", "abcdefgX"};
  std::mt19937 rng(seed);
  std::vector<std::string> answers;
  auto run = [&] {
    for (int step = 0; step < 200; ++step) {
      const std::string file = root + files[rng() % files.size()];
      const std::vector<uint8_t> bytes = Bytes(contents[rng() % contents.size()]);
      try {
        switch (rng() % 8) {
          case 0: WriteWholeFile(file, bytes); break;
          case 1: DeleteFileAt(file); break;
          case 2: answers.push_back(Text(ReadWholeFile(file))); break;
          case 3: answers.push_back(std::to_string(FileLength(file))); break;
          case 4: ForgetFolders(); break;
          default: WriteFileStart(file, bytes); break;
        }
      } catch (const RuntimeError& e) {
        answers.push_back(std::string("error: ") + e.what());
      }
    }
  };
  if (steady) {
    const SteadyFolders span;
    run();
  } else {
    run();
  }
  for (std::string& answer : answers) {
    for (size_t at; (at = answer.find(root)) != std::string::npos;) answer.replace(at, root.size(), "<root>/");
  }
  for (const std::string& file : FilesBelow(root)) answers.push_back(file);
  return answers;
}

TEST(SteadyWrites, WritingTheStartOfAFileLeavesWhatWritingItAlwaysLeaves) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    const std::vector<std::string> plain = Session(seed, false);
    const std::vector<std::string> remembered = Session(seed, true);
    ASSERT_EQ(remembered, plain);
  }
}

TEST(SteadyWrites, TheStartIsWrittenOverAndTheRestStays) {
  test::TempDir dir;
  const std::string path = dir.Write("slot.dat", "0123456789");
  const SteadyFolders span;
  WriteFileStart(path, Bytes("ab"));
  EXPECT_EQ(dir.Read("slot.dat"), "ab23456789");
  WriteFileStart(path, Bytes("ab"));  // already so
  EXPECT_EQ(dir.Read("slot.dat"), "ab23456789");
  WriteFileStart(path, Bytes("abc"));
  EXPECT_EQ(dir.Read("slot.dat"), "abc3456789");
  WriteFileStart(path, Bytes("0123456789ABC"));
  EXPECT_EQ(dir.Read("slot.dat"), "0123456789ABC");
  WriteFileStart(dir.path() + "NEW.DAT", Bytes("new"));
  EXPECT_EQ(dir.Read("NEW.DAT"), "new");
  EXPECT_EQ(Text(ReadWholeFile(dir.path() + "new.dat")), "new");
}

// Writing the start of a file that is not there makes it where making it through a
// BinaryFile (which looks the path up again) makes it, or fails as that fails: under
// every spelling, below a missing folder, below a file, in a span or not.
TEST(SteadyWrites, AMissingFileIsMadeWhereMakingItAlwaysMakesIt) {
  const std::vector<std::string> paths = {"univ/game1/new.dat", "UNIV\\GAME1\\NEW.DAT", "Univ/Game1/Slot.Dat",
                                          "univ/nofolder/x.dat", "UNIV/MARKER.TMP/x.dat", "univ//./game1/../game1/y.dat"};
  const auto made = [&](const std::string& path, bool steady, bool plain) {
    test::TempDir dir;
    CreateFolder(dir.path() + "univ");
    CreateFolder(dir.path() + "univ/game1");
    dir.Write("univ/marker.tmp", "m");
    dir.Write("univ/game1/slot.dat", "old");
    std::vector<std::string> answers;
    std::optional<SteadyFolders> span;
    if (steady) span.emplace();
    try {
      if (plain) {
        BinaryFile f(dir.path() + path, BinaryFile::Mode::Create);
        f.Write(1, Bytes("new"));
        f.Close();
      } else {
        WriteFileStart(dir.path() + path, Bytes("new"));
      }
    } catch (const RuntimeError& e) {
      answers.push_back(std::string("error: ") + e.what());
    }
    span.reset();
    for (const std::string& file : FilesBelow(dir.path())) answers.push_back(file);
    for (std::string& answer : answers) {
      for (size_t at; (at = answer.find(dir.path())) != std::string::npos;) answer.replace(at, dir.path().size(), "<root>/");
    }
    return answers;
  };
  for (const std::string& path : paths) {
    for (const bool steady : {false, true}) {
      SCOPED_TRACE(path + (steady ? " in a span" : ""));
      EXPECT_EQ(made(path, steady, false), made(path, steady, true));
    }
  }
}

// A file the program has only read refuses a write of the bytes it holds already just as
// it refuses any other: the span never takes "nothing to change" for "allowed". Run in a
// child process, as the user nobody when the test is privileged (a privileged user may
// write any file).
TEST(SteadyWrites, AReadOnlyFileRefusesEvenTheBytesItHolds) {
  test::TempDir dir;
  const std::string path = dir.Write("game.dat", "0123456789");
  fs::permissions(dir.path(), fs::perms::all);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const pid_t pid = ::fork();
  if (pid == 0) {
    constexpr uid_t NOBODY = 65534;
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0)) {
      ::_exit(10);
    }
    const SteadyFolders span;
    if (ReadWholeFile(path) != Bytes("0123456789")) ::_exit(11);
    for (const std::string written : {"0123456789", "0123"}) {
      try {
        WriteFileStart(path, Bytes(written));
        ::_exit(12);  // written, or taken as written
      } catch (const FileError& e) {
        if (e.why != "permission denied") ::_exit(13);
      }
    }
    ::_exit(0);
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: cannot become nobody, 11: not read, 12: not refused, 13: other reason";
  EXPECT_EQ(dir.Read("game.dat"), "0123456789");
}

TEST(MappedFile, GivesTheFilesBytesAndSaysWhyWhenItCannot) {
  test::TempDir dir;
  std::string bytes(70000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 256);
  dir.Write("univ/game1/g1.yig", bytes);
  {
    const MappedFile file(dir.path() + "UNIV\\GAME1\\G1.YIG");  // resolved as every program path is
    EXPECT_EQ(std::string(file.bytes().begin(), file.bytes().end()), bytes);
  }
  // A file with holes, made as the object store makes a universe file (its length set
  // first, its parts written after): the stretches said to be holes are zeros of the file.
  {
    const std::string sparse = dir.path() + "sparse.yig";
    const int fd = ::open(sparse.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, (1 << 20) + 100), 0);
    const std::string part(8192, 'x');  // whole pages, so that no zero lies beside a hole
    for (const off_t at : {off_t{0}, off_t{5 << 13}, off_t{37 << 13}, off_t{(1 << 20) + 100 - 8192}}) {
      ASSERT_EQ(::pwrite(fd, part.data(), part.size(), at), static_cast<ssize_t>(part.size()));
    }
    ::close(fd);
    const MappedFile file(sparse);
    const std::vector<uint8_t> whole = ReadWholeFile(sparse);
    ASSERT_EQ(std::vector<uint8_t>(file.bytes().begin(), file.bytes().end()), whole);
    size_t after = 0;  // the end of the stretch before
    for (const ByteStretch& z : file.zeroStretches()) {
      ASSERT_TRUE(after <= z.begin && z.begin < z.end && z.end <= whole.size()) << z.begin << ".." << z.end;
      EXPECT_TRUE(std::all_of(whole.begin() + static_cast<long>(z.begin), whole.begin() + static_cast<long>(z.end),
                              [](uint8_t b) { return b == 0; }))
          << z.begin << ".." << z.end;
      after = z.end;
    }
  }
  dir.Write("empty.yig", "");
  EXPECT_TRUE(MappedFile(dir.path() + "empty.yig").bytes().empty());
  try {
    const MappedFile missing(dir.path() + "none.yig");
    ADD_FAILURE() << "a missing file was mapped";
  } catch (const RuntimeError& e) {
    EXPECT_NE(std::string(e.what()).find("none.yig"), std::string::npos) << e.what();
  }
}

// WholeFile gives every file exactly what ReadWholeFile gives, whichever way it takes
// the bytes: a large regular file mapped, any other read (with a steady span's memory).
TEST(WholeFile, GivesWhatReadingGivesMappedOrNot) {
  test::TempDir dir;
  const auto same = [](const std::string& path, bool mapped) {
    const WholeFile file(path);
    EXPECT_EQ(file.mapped(), mapped) << path;
    EXPECT_EQ(std::vector<uint8_t>(file.bytes().begin(), file.bytes().end()), ReadWholeFile(path)) << path;
    EXPECT_EQ(file.text().size(), file.bytes().size()) << path;
  };
  const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  std::string large(page * 40, '\0');  // an exact number of pages: no spare bytes after the end
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 13 + i / 4096);
  dir.Write("Scripts/big.vps", large);
  same(dir.path() + "SCRIPTS\\BIG.VPS", true);  // resolved as every program path is
  {
    // Pages let go still read as the file's bytes, should they be read again.
    WholeFile file(dir.path() + "Scripts/big.vps");
    for (const size_t end : {page, WholeFile::RELEASE_BYTES + 5, large.size() - 1, large.size()}) file.Release(end);
    EXPECT_TRUE(std::equal(file.text().begin(), file.text().end(), large.begin(), large.end()));
  }
  dir.Write("odd.vps", large.substr(0, large.size() - 3));
  same(dir.path() + "odd.vps", true);
  same(dir.Write("small.vps", "BEGIN PLANET\rEND"), false);
  same(dir.Write("empty.vps", ""), false);
  same("/dev/null", false);  // not a regular file
  // A pipe with a writer holding it open: read as it is read (its length says nothing).
  const std::string pipe = dir.path() + "pipe.vps";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int writer = ::open(pipe.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  same(pipe, false);
  ::close(writer);
  // What a steady span remembers of a small file is what both give, also after another
  // program changed the file behind the span's back.
  {
    const SteadyFolders span;
    const std::string path = dir.Write("kept.vps", "BEGIN SHIP\r");
    ASSERT_EQ(Text(ReadWholeFile(path)), "BEGIN SHIP\r");
    std::ofstream(path, std::ios::binary) << "END\r";
    same(path, false);
    EXPECT_EQ(WholeFile(path).text(), "BEGIN SHIP\r");
    same(dir.path() + "odd.vps", true);
  }
  try {
    const WholeFile missing(dir.path() + "none.vps");
    ADD_FAILURE() << "a missing file was read";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("none.vps"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tarvik
