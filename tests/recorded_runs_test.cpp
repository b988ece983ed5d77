// Behaviour recorded on the sample game: the bundled scripts and every way a build can
// end, run through the real program with a fixed seed and a fixed clock. What each run
// shows (exit status, standard output, standard error) and every file it writes or
// changes are compared with tests/golden/recorded_runs.txt byte for byte: short texts
// as they are, longer ones and files by their length and a 64-bit FNV-1a hash.
//
// After a change that is meant to change what the program does, record again with
//   TARVIK_UPDATE_GOLDEN=1 build/tarvik_tests --gtest_filter='*RecordedRuns*'
// and look at the difference of the golden file before committing it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "app/session.h"
#include "app/startup.h"
#include "app/top.h"
#include "forge/forge.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "test_support.h"

#ifndef TARVIK_SOURCE_DIR
#error "the build must define TARVIK_SOURCE_DIR, TARVIK_BINARY and TARVIK_MAKE_BIG_SCRIPT"
#endif

namespace tarvik {
namespace {

namespace fs = std::filesystem;

const std::string GOLDEN_FILE = std::string(TARVIK_SOURCE_DIR) + "/tests/golden/recorded_runs.txt";
const std::string FIXED_MOMENT = "2026-03-04 12:00:00";
constexpr int FIXED_SEED = 7;
constexpr size_t LONGEST_SHOWN_TEXT = 400;

uint64_t Fnv1a(const std::string& bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) h = (h ^ c) * 0x100000001b3ull;
  return h;
}

// A text as one line: quoted with C escapes when short, else its length and hash.
std::string Describe(const std::string& bytes) {
  if (bytes.size() > LONGEST_SHOWN_TEXT) {
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(bytes)));
    return std::to_string(bytes.size()) + " bytes " + hash;
  }
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 32 || c > 126) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

using test::FolderSnapshot;

// What a run did to the game folder: new folders (on one line), new or changed files,
// removed files.
std::string Changes(const FolderSnapshot& before, const FolderSnapshot& after) {
  std::string folders, out;
  for (const std::string& f : after.folders) {
    if (!before.folders.count(f)) folders += " " + f;
  }
  if (!folders.empty()) out += "folders" + folders + "\n";
  for (const auto& [name, bytes] : after.files) {
    auto old = before.files.find(name);
    if (old == before.files.end() || old->second != bytes) out += "file " + name + " " + Describe(bytes) + "\n";
  }
  for (const auto& [name, bytes] : before.files) {
    if (!after.files.count(name)) out += "removed " + name + "\n";
  }
  return out;
}

using test::CommandRun;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The program in the game folder (its current folder), as a host runs it.
CommandRun RunTarvik(const std::string& game, const std::string& args) {
  return test::RunIn(game, "TARVIK_FIXED_CLOCK=" + Quoted(FIXED_MOMENT) + " " + Quoted(TARVIK_BINARY) +
                               " --game-dir . --seed " + std::to_string(FIXED_SEED) + " " + args);
}

void WriteScript(const std::string& game, const std::string& name, const std::vector<std::string>& lines) {
  std::ofstream(game + "scripts/" + name, std::ios::binary) << test::CrLfText(lines);
}

void CopyBundled(const std::string& game, const std::string& from, const std::string& name) {
  fs::copy_file(std::string(TARVIK_SOURCE_DIR) + "/" + from, game + "scripts/" + name,
                fs::copy_options::overwrite_existing);
}

// The console output view of a batch run that, once the first object of the objects
// pass is stored, fills the map list as if 20000 objects held it: the next object
// finds no room.
class MapListFiller : public ConsoleOutputView {
 public:
  MapListFiller(std::ostream& out, Session& s) : ConsoleOutputView(out), s_(s) {}
  void SetLogText(const std::string& text, const std::string& newLine) override {
    ConsoleOutputView::SetLogText(text, newLine);
    if (newLine.find("Object ID#") == std::string::npos) return;
    for (int i = 1; i <= MAX_OBJECTS; ++i) {
      if (s_.tables.objects.mapListId[i] == 0) s_.tables.objects.mapListId[i] = 1;
    }
  }

 private:
  Session& s_;
};

// A batch run inside this process, set up as main() sets it up, with the map list
// filled once an object is stored.
CommandRun RunWithFullMapList(const std::string& game, const std::string& commandLine) {
  std::ostringstream out, err;
  CommandRun r;
  {
    FixedClock clock;
    clock.now = DateTime{2026, 3, 4, 12, 0, 0};
    clock.seconds = 12 * 3600;
    ConsoleUserInterface ui(err);
    auto session = std::make_unique<Session>();
    MapListFiller output(out, *session);
    session->clock = &clock;
    session->ui = &ui;
    session->output = &output;
    session->random.SetFixedSeed(FIXED_SEED);
    session->paths.appPath = game;
    session->commandLine = commandLine;
    r.status = RunProgram(*session);
  }  // the session is gone, with every file it held open
  r.out = out.str();
  r.err = err.str();
  return r;
}

struct RecordedRun {
  std::string name;
  // Changes the sample game folder before the run (adds a script, removes a file).
  std::function<void(const std::string& game)> prepare;
  // Runs the program in the folder.
  std::function<CommandRun(const std::string& game)> run;
};

// Names the run in test listings instead of showing its bytes.
void PrintTo(const RecordedRun& run, std::ostream* os) { *os << run.name; }

// A batch run of a script of the game folder's scripts folder.
std::function<CommandRun(const std::string&)> Batch(const std::string& args) {
  return [=](const std::string& g) { return RunTarvik(g, args); };
}

std::function<void(const std::string&)> Bundled(const std::string& from, const std::string& name) {
  return [=](const std::string& g) { CopyBundled(g, from, name); };
}

const std::string TUTORIAL = "sample/scripts/tutorial.vps";

std::vector<RecordedRun> Runs() {
  const std::string build = " UNIV/GAME1/g1.yig /OX";
  std::vector<RecordedRun> runs = {
      {"tutorial", Bundled(TUTORIAL, "tutorial.vps"), Batch("scripts/tutorial.vps" + build)},
      {"tutorial-without-x", Bundled(TUTORIAL, "tutorial.vps"), Batch("scripts/tutorial.vps UNIV/GAME3/g3.yig")},
      {"big-script",
       [](const std::string& g) {
         const std::string cmd = Quoted(TARVIK_MAKE_BIG_SCRIPT) + " " + Quoted(g + "scripts/big.vps") + " 1900";
         ASSERT_EQ(std::system(cmd.c_str()), 0);
       },
       Batch("scripts/big.vps UNIV/GAME2/g2.yig /OX")},
      {"list-races", [](const std::string&) {}, Batch("--list-races")},
      {"fatal-script-missing", [](const std::string&) {}, Batch("scripts/nothere.vps" + build)},
      {"fatal-race-needs-missing-hull",
       [](const std::string& g) {
         fs::remove(g + "ships/veilhull.spk");  // hulls 600..610, which race 808 needs
         WriteScript(g, "hollow.vps",
                     {"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 808", "END", "BEGIN SHIP",
                      "END"});
       },
       Batch("scripts/hollow.vps" + build)},
      {"fatal-full-map-list",
       [](const std::string& g) {
         WriteScript(g, "crowd.vps",
                     {"BEGIN RACES", "PLAYERCOUNT = 2", "PLAYER(1) = 101", "PLAYER(2) = 102", "END", "BEGIN SHIP",
                      "HULL = 3", "END", "BEGIN WING", "END"});
       },
       [](const std::string& g) {
         return RunWithFullMapList(g, g + "scripts/crowd.vps " + g + "UNIV/GAME1/g1.yig /OX");
       }},
      {"guarded-step-in-build",
       [](const std::string& g) {
         fs::remove(g + "data/main.dat");  // the universe file cannot be written without it
         CopyBundled(g, TUTORIAL, "tutorial.vps");
       },
       Batch("scripts/tutorial.vps" + build)},
      {"guarded-step-in-start-up",
       [](const std::string& g) {
         std::ofstream(g + "WAR") << "a file where the player slots go";
         CopyBundled(g, TUTORIAL, "tutorial.vps");
       },
       Batch("scripts/tutorial.vps" + build)},
      {"output-exists",
       [](const std::string& g) {
         CopyBundled(g, TUTORIAL, "tutorial.vps");
         fs::create_directories(g + "UNIV/GAME1");
         std::ofstream(g + "UNIV/GAME1/g1.yig") << "an older universe";
       },
       Batch("scripts/tutorial.vps UNIV/GAME1/g1.yig /X")},
      {"no-output-named", Bundled(TUTORIAL, "tutorial.vps"), Batch("scripts/tutorial.vps")},
  };
  // The scripts of the fuzz corpus: every odd form of statement the reader takes.
  for (const char* name : {"cr_only", "lf_only", "names", "objects", "quotes", "settings", "values"}) {
    const std::string file = std::string(name) + ".vps";
    runs.push_back({std::string("corpus-") + name, Bundled("fuzz/corpus/script_fuzz/" + file, file),
                    Batch("scripts/" + file + build)});
  }
  return runs;
}

// The golden file: blocks that start with "== NAME", in name order.
std::map<std::string, std::string> ReadGolden() {
  std::map<std::string, std::string> blocks;
  std::istringstream in(test::ReadText(GOLDEN_FILE));
  std::string line, name;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) {
      name = line.substr(3);
      blocks[name];
    } else if (!name.empty()) {
      blocks[name] += line + "\n";
    }
  }
  return blocks;
}

void WriteGolden(const std::map<std::string, std::string>& blocks) {
  std::ofstream out(GOLDEN_FILE, std::ios::binary);
  for (const auto& [name, block] : blocks) out << "== " << name << "\n" << block;
}

class RecordedRuns : public ::testing::TestWithParam<RecordedRun> {};

TEST_P(RecordedRuns, SameAsRecorded) {
  const RecordedRun& run = GetParam();
  test::TempDir dir;
  const std::string game = dir.path() + "game/";
  forge::WriteSampleGame(game);
  run.prepare(game);
  const FolderSnapshot before = test::TakeSnapshot(game);
  const CommandRun r = run.run(game);
  const std::string actual = "status " + std::to_string(r.status) + "\nstdout " + Describe(r.out) + "\nstderr " +
                             Describe(r.err) + "\n" + Changes(before, test::TakeSnapshot(game));

  std::map<std::string, std::string> golden = ReadGolden();
  if (std::getenv("TARVIK_UPDATE_GOLDEN")) {
    golden[run.name] = actual;
    WriteGolden(golden);
    GTEST_SKIP() << "recorded " << run.name;
  }
  ASSERT_TRUE(golden.count(run.name)) << "no recording of " << run.name << " in " << GOLDEN_FILE;
  EXPECT_EQ(actual, golden[run.name]);
}

INSTANTIATE_TEST_SUITE_P(SampleGame, RecordedRuns, ::testing::ValuesIn(Runs()),
                         [](const ::testing::TestParamInfo<RecordedRun>& info) {
                           std::string name;
                           for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace tarvik
