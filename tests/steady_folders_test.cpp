// The file layer's steady span: while it is open, the answers come from what the layer
// remembers, and they must be the answers the folder itself gives, whatever the program
// does to it meanwhile (folders and files made under other spellings, written, copied,
// deleted, their start written over). Writing the start of a file inside a span leaves
// alone a file the span wrote itself that already begins with the bytes. And the whole
// file as a mapping or read.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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

// A file a session keeps open for writing over several steps (as a build keeps its
// universe file and its log open).
struct Held {
  std::unique_ptr<BinaryFile> file;
};

// One step of a file session and what it answered, as text.
using Step = std::function<std::string(const std::string& root, Held& held)>;

std::string Guarded(const std::function<std::string()>& f) {
  try {
    return f();
  } catch (const RuntimeError& e) {
    return std::string("error: ") + e.what();
  }
}

std::string Text(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }
std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// A step that changes something: it answers `done`, or the error it met.
Step Doing(const std::string& done, const std::function<void(const std::string& root, Held& held)>& act) {
  return [=](const std::string& r, Held& held) { return Guarded([&] { act(r, held); return done; }); };
}

// A random session of look-ups and changes on a few names in two spellings each.
std::vector<Step> RandomSteps(unsigned seed, int count) {
  std::mt19937 rng(seed);
  const std::vector<std::string> folders = {"univ", "UNIV", "Univ\\game1", "UNIV/GAME1", "war", "WAR\\slot2"};
  const std::vector<std::string> files = {"univ/game1/g1.yig", "UNIV\\GAME1\\G1.YIG", "./univ//game1/g1.yig",
                                          "war/slot2/slot.dat", "WAR\\SLOT2\\SLOT.DAT", "./war/slot2/../slot2/slot.dat",
                                          "data.map", "DATA.MAP", "univ\\x.dat"};
  std::vector<Step> steps;
  for (int i = 0; i < count; ++i) {
    const std::string folder = folders[rng() % folders.size()];
    const std::string file = files[rng() % files.size()];
    const std::string other = files[rng() % files.size()];
    const std::string bytes(1 + rng() % 40, static_cast<char>('a' + rng() % 26));
    switch (rng() % 16) {
      case 0: steps.push_back(Doing("made", [=](const std::string& r, Held&) { CreateFolder(r + folder); })); break;
      case 1: steps.push_back([=](const std::string& r, Held&) { return std::to_string(FolderExists(r + folder)); }); break;
      case 2: steps.push_back([=](const std::string& r, Held&) { return std::to_string(FileExists(r + file)); }); break;
      case 3: steps.push_back([=](const std::string& r, Held&) { return std::to_string(FileLength(r + file)); }); break;
      case 4: steps.push_back([=](const std::string& r, Held&) { return ResolvePath(r + file).substr(r.size()); }); break;
      case 5: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { return Text(ReadWholeFile(r + file)); }); }); break;
      case 6: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { return Text(ReadFileStart(r + file, 5)); }); }); break;
      case 7: steps.push_back(Doing("written", [=](const std::string& r, Held&) { WriteWholeFile(r + file, Bytes(bytes)); })); break;
      case 8: steps.push_back(Doing("deleted", [=](const std::string& r, Held&) { DeleteFileAt(r + file); })); break;
      case 9: steps.push_back(Doing("copied", [=](const std::string& r, Held&) { CopyFileTo(r + file, r + other); })); break;
      case 11:
        steps.push_back(Doing("held", [=](const std::string& r, Held& held) {
          held.file.reset();
          held.file = std::make_unique<BinaryFile>(r + file, BinaryFile::Mode::ReadWrite);
        }));
        break;
      case 12:
        steps.push_back([=](const std::string&, Held& held) {
          return Guarded([&] {
            if (!held.file) return std::string("none held");
            held.file->Write(held.file->Length() + 1, bytes.data(), bytes.size());
            return std::string("grown");
          });
        });
        break;
      case 13: steps.push_back(Doing("let go", [](const std::string&, Held& held) { held.file.reset(); })); break;
      case 14: steps.push_back(Doing("box", [](const std::string&, Held&) { ForgetFolders(); })); break;
      case 15:  // the slot folders made in a folder of either spelling
        steps.push_back(Doing("made some", [parent = std::string(rng() % 2 ? "univ" : "WAR")](const std::string& r, Held&) {
          CreateFolders(r + parent, {"GAME1", "game2", "slot2"});
        }));
        break;
      default:
        steps.push_back(Doing("patched", [=](const std::string& r, Held&) {
          BinaryFile f(r + file, BinaryFile::Mode::ReadWrite);
          f.Write(3, bytes.data(), bytes.size());
          f.Close();
        }));
        break;
    }
  }
  return steps;
}

// A random session of writes at the start of a few files (under two spellings each,
// often the bytes they hold already, shorter or longer ones too), whole writes, reads,
// deletions and boxes.
std::vector<Step> RandomStartWrites(unsigned seed, int count) {
  const std::vector<std::string> files = {"univ/game1/game.dat", "UNIV\\GAME1\\GAME.DAT", "univ/marker.tmp",
                                          "Univ\\Marker.TMP", "univ/game1/slot.dat"};
  const std::vector<std::string> contents = {"abcdefgh", "abcdefgh", "abcd", "abcdefghijkl", "zz", "abcdefgX"};
  std::mt19937 rng(seed);
  std::vector<Step> steps;
  for (int i = 0; i < count; ++i) {
    const std::string file = files[rng() % files.size()];
    const std::vector<uint8_t> bytes = Bytes(contents[rng() % contents.size()]);
    const unsigned kind = rng() % 8;
    steps.push_back([=](const std::string& r, Held&) {
      return Guarded([&] {
        switch (kind) {
          case 0: WriteWholeFile(r + file, bytes); return std::string("written");
          case 1: DeleteFileAt(r + file); return std::string("deleted");
          case 2: return Text(ReadWholeFile(r + file));
          case 3: return std::to_string(FileLength(r + file));
          case 4: ForgetFolders(); return std::string("box");
          default: WriteFileStart(r + file, bytes); return std::string("start written");
        }
      });
    });
  }
  return steps;
}

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

// The answer with the test folder's own path taken out (two runs use two folders).
std::string WithoutRoot(std::string answer, const std::string& root) {
  for (size_t at; (at = answer.find(root)) != std::string::npos;) answer.replace(at, root.size(), "<root>/");
  return answer;
}

// The answers of the steps, then every folder and every file they left. `folders` are made before the
// span opens.
std::vector<std::string> Answers(const std::vector<Step>& steps, bool steady,
                                 const std::vector<std::string>& folders = {}) {
  test::TempDir dir;
  for (const std::string& f : folders) CreateFolder(dir.path() + f);
  std::vector<std::string> answers;
  Held held;
  std::optional<SteadyFolders> span;
  if (steady) span.emplace();
  for (const Step& step : steps) answers.push_back(WithoutRoot(step(dir.path(), held), dir.path()));
  span.reset();
  held.file.reset();
  for (const std::string& f : dir.Folders()) answers.push_back("folder " + f);
  for (const std::string& f : FilesBelow(dir.path())) answers.push_back(f);
  return answers;
}

TEST(SteadyFolders, AnswersAsTheFolderDoesWhateverTheProgramChanges) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    const std::vector<Step> steps = RandomSteps(seed, 160);
    const std::vector<std::string> plain = Answers(steps, false);
    const std::vector<std::string> remembered = Answers(steps, true);
    ASSERT_EQ(plain.size(), remembered.size());
    for (size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(remembered[i], plain[i]) << "step " << i;
  }
}

TEST(SteadyFolders, WhatIsNotThereIsLookedUpAfreshAndForgettingSeesEveryChange) {
  test::TempDir dir;
  const SteadyFolders span;
  EXPECT_FALSE(FileExists(dir.path() + "ships/a.spk"));
  dir.Write("ships/A.SPK", "first");  // behind the program's back
  EXPECT_TRUE(FileExists(dir.path() + "ships/a.spk"));
  EXPECT_EQ(Text(ReadWholeFile(dir.path() + "SHIPS/a.spk")), "first");
  dir.Write("ships/A.SPK", "second!");
  ForgetFolders();
  EXPECT_EQ(FileLength(dir.path() + "ships/a.spk"), 7);
  EXPECT_EQ(Text(ReadWholeFile(dir.path() + "ships/a.spk")), "second!");
  {
    const SteadyFolders inner;  // spans nest; the inner one's end forgets nothing
  }
  dir.Write("ships/A.SPK", "third");
  EXPECT_EQ(Text(ReadWholeFile(dir.path() + "ships/a.spk")), "second!");
}

TEST(SteadyWrites, WritingTheStartOfAFileLeavesWhatWritingItAlwaysLeaves) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    const std::vector<Step> steps = RandomStartWrites(seed, 200);
    ASSERT_EQ(Answers(steps, true, {"univ", "univ/game1"}), Answers(steps, false, {"univ", "univ/game1"}));
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
    for (std::string& answer : answers) answer = WithoutRoot(answer, dir.path());
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
