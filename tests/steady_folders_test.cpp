// The file layer's steady span: while it is open, the answers come from what the layer
// remembers, and they must be the answers the folder itself gives, whatever the program
// does to it meanwhile (folders and files made under other spellings, written, copied,
// deleted).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "test_support.h"

namespace tarvik {
namespace {

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

std::string Bytes(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

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
      case 0: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { CreateFolder(r + folder); return std::string("made"); }); }); break;
      case 1: steps.push_back([=](const std::string& r, Held&) { return std::to_string(FolderExists(r + folder)); }); break;
      case 2: steps.push_back([=](const std::string& r, Held&) { return std::to_string(FileExists(r + file)); }); break;
      case 3: steps.push_back([=](const std::string& r, Held&) { return std::to_string(FileLength(r + file)); }); break;
      case 4: steps.push_back([=](const std::string& r, Held&) { return ResolvePath(r + file).substr(r.size()); }); break;
      case 5: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { return Bytes(ReadWholeFile(r + file)); }); }); break;
      case 6: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { return Bytes(ReadFileStart(r + file, 5)); }); }); break;
      case 7:
        steps.push_back([=](const std::string& r, Held&) {
          return Guarded([&] {
            WriteWholeFile(r + file, std::vector<uint8_t>(bytes.begin(), bytes.end()));
            return std::string("written");
          });
        });
        break;
      case 8: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { DeleteFileAt(r + file); return std::string("deleted"); }); }); break;
      case 9: steps.push_back([=](const std::string& r, Held&) { return Guarded([&] { CopyFileTo(r + file, r + other); return std::string("copied"); }); }); break;
      case 11:
        steps.push_back([=](const std::string& r, Held& held) {
          return Guarded([&] {
            held.file.reset();
            held.file = std::make_unique<BinaryFile>(r + file, BinaryFile::Mode::ReadWrite);
            return std::string("held");
          });
        });
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
      case 13: steps.push_back([](const std::string&, Held& held) { held.file.reset(); return std::string("let go"); }); break;
      case 14: steps.push_back([](const std::string&, Held&) { ForgetFolders(); return std::string("box"); }); break;
      case 15:  // the slot folders made in a folder of either spelling
        steps.push_back([=, parent = std::string(rng() % 2 ? "univ" : "WAR")](const std::string& r, Held&) {
          return Guarded([&] {
            CreateFolders(r + parent, {"GAME1", "game2", "slot2"});
            return std::string("made some");
          });
        });
        break;
      default:
        steps.push_back([=](const std::string& r, Held&) {
          return Guarded([&] {
            BinaryFile f(r + file, BinaryFile::Mode::ReadWrite);
            f.Write(3, bytes.data(), bytes.size());
            f.Close();
            return std::string("patched");
          });
        });
        break;
    }
  }
  return steps;
}

// The answers of the steps, with the folder's own path taken out (two runs use two
// folders).
std::vector<std::string> Answers(const std::vector<Step>& steps, bool steady) {
  test::TempDir dir;
  std::vector<std::string> answers;
  auto take = [&](std::string answer) {
    for (size_t at; (at = answer.find(dir.path())) != std::string::npos;) answer.replace(at, dir.path().size(), "<root>/");
    answers.push_back(answer);
  };
  Held held;
  if (steady) {
    const SteadyFolders span;
    for (const Step& step : steps) take(step(dir.path(), held));
  } else {
    for (const Step& step : steps) take(step(dir.path(), held));
  }
  held.file.reset();
  for (const std::string& f : dir.Folders()) answers.push_back("folder " + f);
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
  EXPECT_EQ(Bytes(ReadWholeFile(dir.path() + "SHIPS/a.spk")), "first");
  dir.Write("ships/A.SPK", "second!");
  ForgetFolders();
  EXPECT_EQ(FileLength(dir.path() + "ships/a.spk"), 7);
  EXPECT_EQ(Bytes(ReadWholeFile(dir.path() + "ships/a.spk")), "second!");
  {
    const SteadyFolders inner;  // spans nest; the inner one's end forgets nothing
  }
  dir.Write("ships/A.SPK", "third");
  EXPECT_EQ(Bytes(ReadWholeFile(dir.path() + "ships/a.spk")), "second!");
}

}  // namespace
}  // namespace tarvik
