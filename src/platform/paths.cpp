#include "platform/paths.h"

namespace tarvik {

std::string GameFolderOfProgram(const std::string& programFolder) {
  std::string folder = programFolder;
  while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  const size_t cut = folder.find_last_of("/\\");
  const std::string name = cut == std::string::npos ? folder : folder.substr(cut + 1);
  return name == "bin" ? std::string("./") : programFolder;
}

void SetAppPath(AppPaths& paths, std::string appPath) {
  if (appPath.empty() || (appPath.back() != '/' && appPath.back() != '\\')) appPath += '/';
  paths.appPath = appPath;
  paths.racesDir = appPath + "races\\";
  paths.shipsDir = appPath + "ships\\";
  paths.scriptsDir = appPath + "scripts\\";
  paths.dataDir = appPath + "data\\";
  paths.logPath = appPath + "tarvik.log";
}

}  // namespace tarvik
