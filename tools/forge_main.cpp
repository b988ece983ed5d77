// tarvik-forge: writes the sample game folder, or single data files, in the program's
// own formats.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "forge/forge.h"

namespace {

void Usage() {
  std::fputs(
      "usage:\n"
      "  tarvik-forge sample DIR\n"
      "      write the sample game (races/, ships/, data/) below DIR and make DIR/scripts;\n"
      "      scripts already there are kept\n"
      "  tarvik-forge map FILE COUNT CENTERX CENTERY SIZE [SEED]\n"
      "      write a map file of COUNT planets in a square of side SIZE\n",
      stderr);
}

bool ToInt(const char* text, long long& out) {
  char* end = nullptr;
  out = std::strtoll(text, &end, 10);
  return end && *end == '\0' && end != text;
}

int Sample(const std::string& dir) {
  namespace fs = std::filesystem;
  // Fresh data folders, so that files of earlier recipes do not linger; the scripts
  // folder belongs to the sample scripts and is left as it is.
  for (const char* sub : {"races", "ships", "data"}) fs::remove_all(fs::path(dir) / sub);
  tarvik::forge::WriteSampleGame(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 2 && args[0] == "sample") return Sample(args[1]);
    if ((args.size() == 6 || args.size() == 7) && args[0] == "map") {
      long long v[5] = {0, 0, 0, 0, 1};
      for (size_t i = 2; i < args.size(); ++i) {
        if (!ToInt(argv[i + 1], v[i - 2])) {
          Usage();
          return 2;
        }
      }
      if (v[0] < 1 || v[0] > 18999 || v[3] < 1) {
        std::fputs("tarvik-forge: COUNT must lie in 1..18999 and SIZE be positive\n", stderr);
        return 2;
      }
      tarvik::forge::WriteMapFile(args[1], tarvik::forge::GenerateMap(static_cast<int>(v[0]), static_cast<int>(v[1]),
                                                                       static_cast<int>(v[2]), static_cast<int>(v[3]),
                                                                       static_cast<uint64_t>(v[4])));
      return 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvik-forge: %s\n", e.what());
    return 1;
  }
  Usage();
  return 2;
}
