// The tools as programs: run from a copy of tarvik inside a game folder with a run log
// of an earlier build, no slot folders and a map file beside the program, each tool
// leaves the folder exactly as it was, good input or bad; their exit statuses and
// usage errors; and the installed program with its manual page and Debian package.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/options.h"
#include "forge/forge.h"
#include "generation_game.h"
#include "json_lite.h"
#include "test_support.h"
#include "xml_lite.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

// A game folder as a host leaves it between builds, with a copy of tarvik in it and the
// files the tools are given: a universe and its game.dat from a build elsewhere, and
// files that are empty, of the wrong kind, cut off, or hold absurd positions.
struct ToolFolder {
  TempDir dir;
  TempDir outside;
  std::string root = dir.path();

  ToolFolder() {
    forge::WriteSampleGame(root);
    fs::copy_file(std::string(TARVIK_SOURCE_DIR) + "/sample/scripts/tutorial.vps", root + "scripts/tutorial.vps");
    dir.Write("tarvik.log", std::string("Starting to make universe file. . . \r\nDone\r\n"));
    forge::WriteMapFile(root + "beside.map", forge::GenerateMap(30, 1500, 1500, 1000, 4));
    GenerationGame g;
    EXPECT_EQ(g.Generate(1, {"--races", "101,102,111", "--map", "epsilon"}), 0);
    const std::vector<uint8_t> universe = ReadWholeFile(g.Universe(1));
    dir.Write("made/g1.yig", universe);
    dir.Write("made/game.dat", ReadWholeFile(GameRecordPath(g.app, 1)));
    dir.Write("bad/empty.yig", std::string());
    dir.Write("bad/words.txt", std::string("BEGIN PLANET\r\nNAME = Vale\r\nEND\r\n"));
    dir.Write("bad/cut.yig", std::vector<uint8_t>(universe.begin(), universe.begin() + 700));
    std::vector<uint8_t> absurd = universe;
    forge::PokeI32(absurd, 629 + 256, 2147483000);  // the object tables beyond the file
    forge::PokeI32(absurd, 629 + 252, -40);         // the player section before it
    dir.Write("bad/absurd.yig", absurd);
    std::vector<uint8_t> map = forge::BuildMapFile(forge::GenerateMap(4, 1000, 1000, 500, 2));
    forge::PokeI32(map, 100, 2147483647);
    dir.Write("bad/absurd.map", map);
    fs::copy_file(TARVIK_BINARY, root + "tarvik");
  }
  CommandRun Tool(const std::string& args) { return RunIn(root, "./tarvik " + args); }
};

TEST(ToolsProgram, LeaveTheGameFolderAsItWas) {
  ToolFolder f;
  const FolderSnapshot before = TakeSnapshot(f.root);
  ASSERT_TRUE(before.files.count("tarvik.log") && before.files.count("beside.map"));
  ASSERT_FALSE(before.folders.count("UNIV") || before.folders.count("WAR") || before.folders.count("univ"));

  CommandRun p = f.Tool("--inspect made/g1.yig");
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(p.err, "");
  const Json doc = Json::Parse(p.out);
  EXPECT_EQ(doc["kind"].s, "universe file");
  EXPECT_GT(doc["objects"].size(), 600u);

  p = f.Tool("--inspect made/game.dat");
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(Json::Parse(p.out)["fields"]["inUse"].n, 1);

  const std::string picture = f.outside.path() + "g1.svg";
  p = f.Tool("--map-picture made/g1.yig " + picture);
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_EQ(p.out, "");
  const XmlElement svg = XmlElement::Parse(f.outside.Read("g1.svg"));
  EXPECT_EQ(svg.name, "svg");

  p = f.Tool("--fairness made/g1.yig");
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_NE(p.out.find("straight-line distances in map units"), std::string::npos);

  p = f.Tool("--check scripts/tutorial.vps");
  EXPECT_EQ(p.status, 0) << p.out << p.err;
  EXPECT_EQ(p.out, "scripts/tutorial.vps: no warnings\n");
  p = f.Tool("--check tutorial.vps");  // by its name in the scripts folder
  EXPECT_EQ(p.status, 0) << p.out << p.err;

  EXPECT_TRUE(TakeSnapshot(f.root) == before) << "the tool changed the game folder";
}

TEST(ToolsProgram, BadInputGivesAMessageAndAStatusAndWritesNothingElse) {
  ToolFolder f;
  const FolderSnapshot before = TakeSnapshot(f.root);
  const char* const files[] = {"bad/empty.yig", "bad/words.txt", "bad/cut.yig", "bad/absurd.yig", "bad/absurd.map"};
  for (const char* file : files) {
    SCOPED_TRACE(file);
    const std::string name = file;
    CommandRun p = f.Tool("--inspect " + name);
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find("tarvik: --inspect: \"" + name + "\":"), std::string::npos) << p.err;
    EXPECT_GT(Json::Parse(p.out)["errors"].size(), 0u);

    p = f.Tool("--fairness " + name);
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find("tarvik: --fairness: \"" + name + "\""), std::string::npos) << p.err;

    const std::string picture = f.outside.path() + "bad.svg";
    DeleteFileAt(picture);
    p = f.Tool("--map-picture " + name + " " + picture);
    EXPECT_EQ(p.status, 1);
    EXPECT_NE(p.err.find("tarvik: --map-picture: "), std::string::npos) << p.err;
    // Only a universe whose objects could be read is drawn, as far as it goes.
    EXPECT_EQ(FileExists(picture), name == "bad/absurd.yig") << p.err;
    if (FileExists(picture)) {
      EXPECT_NO_THROW(XmlElement::Parse(f.outside.Read("bad.svg")));
    }

    // The words of a script are a good script; every other file has warnings.
    p = f.Tool("--check " + name);
    EXPECT_EQ(p.status, name == "bad/words.txt" ? 0 : 1) << p.out;
    EXPECT_EQ(p.out.find(": warning: ") != std::string::npos, name != "bad/words.txt") << p.out;
  }
  EXPECT_TRUE(TakeSnapshot(f.root) == before) << "the tool changed the game folder";
}

TEST(ToolsProgram, UsageErrors) {
  ToolFolder f;
  const FolderSnapshot before = TakeSnapshot(f.root);
  struct Case {
    std::string args, message;
  };
  const Case cases[] = {
      {"--inspect", "--inspect needs a file"},
      {"--map-picture made/g1.yig", "--map-picture needs 2 files"},
      {"--inspect nowhere.yig", "tarvik: --inspect: there is no file \"nowhere.yig\""},
      {"--check nowhere.vps", "tarvik: --check: there is no file \"nowhere.vps\""},
      {"--fairness made", "tarvik: --fairness: there is no file \"made\""},
      {"--check scripts/tutorial.vps UNIV/g.yig /OX", "--check runs alone"},
      {"--fairness made/g1.yig --inspect made/g1.yig", "--inspect cannot be combined with --fairness"},
      {"--list-slots --check scripts/tutorial.vps", "--check runs alone"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CommandRun p = f.Tool(c.args);
    EXPECT_EQ(p.status, 2);
    EXPECT_NE(p.err.find(c.message), std::string::npos) << p.err;
    EXPECT_EQ(p.out, "");
  }
  EXPECT_TRUE(TakeSnapshot(f.root) == before) << "the tool changed the game folder";
}

// The options of --help, every one of them in the manual page.
std::vector<std::string> HelpOptions() {
  std::vector<std::string> options;
  const std::string help = UsageText();
  for (size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
    size_t end = at + 2;
    while (end < help.size() && (std::isalnum(static_cast<unsigned char>(help[end])) || help[end] == '-')) ++end;
    options.push_back(help.substr(at, end - at));
  }
  return options;
}

TEST(ToolsProgram, InstallsLikeAUnixToolWithItsManualPage) {
  TempDir prefix, scratch;
  const std::string install = std::string(TARVIK_CMAKE) + " --install '" + TARVIK_BUILD_DIR + "' --prefix '" +
                              prefix.path() + "' > /dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  EXPECT_TRUE(FileExists(prefix.path() + "bin/tarvik"));
  EXPECT_TRUE(FileExists(prefix.path() + "share/tarvik/scripts/tutorial.vps"));
  EXPECT_TRUE(FileExists(prefix.path() + "share/tarvik/data/epsilon.map"));
  EXPECT_FALSE(FileExists(prefix.path() + "share/tarvik/.stamp"));
  EXPECT_FALSE(ListFiles(prefix.path() + "share/tarvik/races", "*.rce").empty());

  const std::string man = ReadText(prefix.path() + "share/man/man1/tarvik.1");
  for (const std::string& option : HelpOptions()) {
    std::string roff;
    for (char c : option) roff += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(man.find(roff), std::string::npos) << option << " is not in the manual page";
  }
  for (const char* part : {"\\-\\-replay", "wizard", ".SH EXIT STATUS", ".B 0\n", ".B 1\n", ".B 2\n", "bin"}) {
    EXPECT_NE(man.find(part), std::string::npos) << part;
  }

  // The installed program works in the current folder: a copy of the sample game.
  const std::string game = scratch.path() + "game";
  fs::copy(prefix.path() + "share/tarvik", game, fs::copy_options::recursive);
  CommandRun p = RunIn(game, "'" + prefix.path() + "bin/tarvik' --list-races");
  EXPECT_EQ(p.status, 0) << p.err;
  EXPECT_NE(p.out.find("Brannock Freeholds"), std::string::npos) << p.out;
  EXPECT_TRUE(FolderExists(game + "/UNIV/GAME12"));
  p = RunIn(game, "'" + prefix.path() + "bin/tarvik' --check tutorial.vps");
  EXPECT_EQ(p.status, 0) << p.out << p.err;

  // The Debian package holds the same.
  if (std::system("command -v dpkg-deb > /dev/null") != 0) GTEST_SKIP() << "no dpkg-deb to make a Debian package";
  const std::string cpack = "cd '" + scratch.path() + "' && " + TARVIK_CPACK + " --config '" + TARVIK_BUILD_DIR +
                            "/CPackConfig.cmake' -G DEB -B '" + scratch.path() + "deb' > /dev/null 2>&1";
  ASSERT_EQ(std::system(cpack.c_str()), 0);
  const std::vector<std::string> debs = ListFiles(scratch.path() + "deb", "*.deb");
  ASSERT_EQ(debs.size(), 1u);
  p = RunIn(scratch.path(), "dpkg-deb -c 'deb/" + debs[0] + "'");
  for (const char* file : {"./usr/bin/tarvik", "./usr/share/man/man1/tarvik.1", "./usr/share/tarvik/scripts/tutorial.vps"}) {
    EXPECT_NE(p.out.find(file), std::string::npos) << file;
  }
}

}  // namespace
}  // namespace tarvik::test
