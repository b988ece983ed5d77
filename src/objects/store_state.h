// The object store's open file and the values it keeps in memory between
// OpenObjectStore and CloseObjectStore (the counters and tables themselves live in
// UniverseTables).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"

namespace tarvik {

struct StoreState {
  std::string path;
  std::unique_ptr<BinaryFile> file;  // open between OpenObjectStore and CloseObjectStore
  int32_t reserved264 = 0;           // read at open, written back unchanged at close
  int32_t lastObjectId = 0;          // the non-planet object stored last
};

}  // namespace tarvik
