#include "app/tool_commands.h"

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "app/options.h"
#include "app/startup.h"
#include "base/errors.h"
#include "objects/store_state.h"
#include "packs/map_files.h"
#include "packs/race_modules.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/mapped_file.h"
#include "platform/ui.h"
#include "script/script_session.h"
#include "survey/fairness.h"
#include "survey/file_dump.h"
#include "survey/map_picture.h"
#include "survey/script_check.h"
#include "survey/universe_view.h"

namespace tarvik {

namespace {

// A file a tool is given, read whole; false with a message for a usage error (no such
// file, or one that cannot be read).
bool ReadInput(const std::string& tool, const std::string& path, std::vector<uint8_t>& bytes, std::ostream& err) {
  if (!FileExists(path)) {
    err << "tarvik: " << tool << ": there is no file \"" << path << "\"\n";
    return false;
  }
  try {
    bytes = ReadWholeFile(path);
  } catch (const RuntimeError& e) {
    err << "tarvik: " << tool << ": \"" << path << "\" cannot be read: " << e.what() << "\n";
    return false;
  }
  return true;
}

void TellProblems(const std::string& tool, const std::string& path, const std::vector<std::string>& problems,
                  std::ostream& err) {
  if (problems.empty()) return;
  err << "tarvik: " << tool << ": \"" << path << "\" is damaged or incomplete:\n";
  for (const std::string& p : problems) err << "  " << p << "\n";
}

int Inspect(const std::string& path, std::ostream& out, std::ostream& err) {
  std::vector<uint8_t> bytes;
  if (!ReadInput("--inspect", path, bytes, err)) return 2;
  const Inspection inspection = InspectFile(bytes, path, path);
  out << inspection.json;
  if (inspection.errorCount == 0) return 0;
  err << "tarvik: --inspect: \"" << path << "\": " << inspection.errorCount
      << (inspection.errorCount == 1 ? " problem" : " problems") << " (see \"errors\")\n";
  return 1;
}

int MapPicture(const std::string& path, const std::string& outPath, std::ostream& err) {
  std::vector<uint8_t> bytes;
  if (!ReadInput("--map-picture", path, bytes, err)) return 2;
  std::string svg;
  std::vector<std::string> problems;
  switch (InspectedKindOf(bytes, path)) {
    case InspectedKind::Universe: {
      const UniverseView view = ReadUniverseView(bytes);
      problems = view.problems.List();
      if (view.objects.empty() && !problems.empty()) break;  // nothing that could be drawn
      svg = UniverseSvg(view);
      break;
    }
    case InspectedKind::MapFile: {
      const MapFile map = ReadMapFile(path);
      if (map.status != MapFileStatus::Ok) {
        problems.push_back("its planets cannot be read (see tarvik --inspect " + path + ")");
        break;
      }
      svg = MapFileSvg(map);
      break;
    }
    default:
      err << "tarvik: --map-picture: \"" << path << "\" is neither a universe file nor a map file\n";
      return 1;
  }
  TellProblems("--map-picture", path, problems, err);
  if (svg.empty()) {
    err << "tarvik: --map-picture: nothing to draw; " << outPath << " is not written\n";
    return 1;
  }
  try {
    WriteWholeFile(outPath, std::vector<uint8_t>(svg.begin(), svg.end()));
  } catch (const RuntimeError& e) {
    err << "tarvik: --map-picture: " << outPath << " cannot be written: " << e.what() << "\n";
    return 2;
  }
  return problems.empty() ? 0 : 1;
}

int Fairness(const std::string& path, std::ostream& out, std::ostream& err) {
  std::vector<uint8_t> bytes;
  if (!ReadInput("--fairness", path, bytes, err)) return 2;
  if (InspectedKindOf(bytes, path) != InspectedKind::Universe) {
    err << "tarvik: --fairness: \"" << path << "\" is not a universe file\n";
    return 1;
  }
  const UniverseView view = ReadUniverseView(bytes);
  out << FairnessText(RateStartPositions(Players(view), Planets(view)));
  TellProblems("--fairness", path, view.problems.List(), err);
  return view.problems.empty() ? 0 : 1;
}

int Check(const std::string& given, const std::string& gameDir, const Clock& clock, std::ostream& out,
          std::ostream& err) {
  auto session = std::make_unique<ScriptSession>();
  ScriptSession& s = *session;
  ConsoleUserInterface ui(err);  // notices about the game folder's data files
  s.clock = &clock;
  s.ui = &ui;
  try {
    StartWithoutChanges(s, gameDir);
  } catch (const RuntimeError& e) {
    err << "tarvik: --check: the game folder " << gameDir << " cannot be read: " << e.what() << "\n";
    return 1;
  }
  // A script named by a path from the current folder, or by its name in the scripts folder.
  std::string path = given;
  if (!FileExists(path) && FileExists(s.paths.scriptsDir + given)) path = s.paths.scriptsDir + given;
  std::vector<uint8_t> bytes;
  if (!ReadInput("--check", path, bytes, err)) return 2;
  const std::vector<ScriptWarning> warnings = CheckScript(s, bytes);
  out << CheckReportText(given, warnings);
  return warnings.empty() ? 0 : 1;
}

}  // namespace

void StartWithoutChanges(ScriptSession& s, const std::string& gameDir) {
  SetAppPath(s.paths, gameDir);
  ListRaceModules(s);
  LoadRaceNames(s);
  BuildBitValues(s);
  s.map.circleRadius = 1000;
  s.random.Seed(s.clock->SecondsSinceMidnight());
  for (int p = 1; p <= MAX_PLAYERS; ++p) s.tables.playerActive[p] = p <= 12 ? 1 : 0;
  s.tables.playerCount = 12;
}

int RunTool(const LongOptions& options, const std::string& gameDir, const Clock& clock, std::ostream& out,
            std::ostream& err) {
  const std::vector<std::string>& a = options.toolArgs;
  if (options.tool == "--inspect") return Inspect(a.at(0), out, err);
  if (options.tool == "--map-picture") return MapPicture(a.at(0), a.at(1), err);
  if (options.tool == "--fairness") return Fairness(a.at(0), out, err);
  if (options.tool == "--check") return Check(a.at(0), gameDir, clock, out, err);
  err << "tarvik: unknown tool " << options.tool << "\n";
  return 2;
}

std::string FairnessReportOf(const std::string& path) {
  // The file the build has just made, mapped rather than copied: only the parts that
  // hold the players and planets are looked at, and its problems are not reported.
  std::optional<MappedFile> file;
  try {
    file.emplace(path);
  } catch (const RuntimeError&) {
    return {};
  }
  const StartPositions start = ReadStartPositions(file->bytes(), file->zeroStretches());
  return FairnessText(RateStartPositions(start.players, start.planets));
}

std::string FairnessReportOf(const std::string& path, const StoreState& store, int32_t objectTablesPos) {
  if (!store.placedAll || store.path != path || objectTablesPos <= 1) return FairnessReportOf(path);
  std::optional<StartPositions> start;
  try {
    BinaryFile file(path, BinaryFile::Mode::Read);
    // A file cut shorter since it was written, or a record beyond its end, is read whole
    // below, as any file is.
    const long long length = file.Length();
    if (objectTablesPos - 1 <= length) {
      const std::vector<uint8_t> head = file.Read(1, static_cast<size_t>(objectTablesPos - 1));
      start = StartPositionsOf(head, store.placed, [&](int32_t pos, int size) {
        if (pos < 1 || size < 0 || pos - 1 + static_cast<long long>(size) > length) {
          throw RuntimeError("a record beyond the end of the file");
        }
        return file.Read(pos, static_cast<size_t>(size));
      });
    }
  } catch (const RuntimeError&) {
    start.reset();
  }
  if (!start) return FairnessReportOf(path);
  return FairnessText(RateStartPositions(start->players, start->planets));
}

}  // namespace tarvik
