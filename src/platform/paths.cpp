#include "platform/paths.h"

namespace tarvik {

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
