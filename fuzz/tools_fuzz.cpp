// Fuzz target of the readers of the tools: each input is read as a file of the game by
// the inspector (as whatever kind its header or size says; a file of no kind also as
// the slot records, by their names), and a universe file also as the map picture and
// the fairness report read it; a map file through the map file reader and its picture. Any bytes
// must give JSON and pictures, never a crash, a hang or a read out of bounds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "survey/fairness.h"
#include "survey/file_dump.h"
#include "survey/map_picture.h"
#include "survey/universe_view.h"
#include "packs/map_files.h"
#include "platform/files.h"

namespace {

using namespace tarvik;

const std::string& MapPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("tarvik-tools-fuzz-" + std::to_string(::getpid()) + ".map")).string();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const Inspection inspection = InspectFile(bytes, "fuzz.bin", "fuzz.bin");
  switch (inspection.kind) {
    case InspectedKind::Unknown:
      // Files that only their name makes slot records.
      InspectFile(bytes, "game.dat", "game.dat");
      InspectFile(bytes, "slot.dat", "slot.dat");
      break;
    case InspectedKind::Universe: {
      const UniverseView view = ReadUniverseView(bytes);
      UniverseSvg(view);
      FairnessText(RateStartPositions(Players(view), Planets(view)));
      break;
    }
    case InspectedKind::MapFile: {
      WriteWholeFile(MapPath(), std::vector<uint8_t>(bytes.begin(), bytes.end()));
      const MapFile map = ReadMapFile(MapPath());
      if (map.status == MapFileStatus::Ok) MapFileSvg(map);
      break;
    }
    default:
      break;
  }
  return 0;
}
