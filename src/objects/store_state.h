// The object store's open file and the values it keeps in memory between
// OpenObjectStore and CloseObjectStore (the counters and tables themselves live in
// UniverseTables).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/planet_grid.h"
#include "platform/files.h"

namespace tarvik {

struct StoreState {
  // Every object from now on takes a random identifier (a script's ID = RANDOM); kept
  // across opens.
  bool randomIds = false;

  std::string path;
  std::unique_ptr<BinaryFile> file;  // open between OpenObjectStore and CloseObjectStore
  // Open with no file behind it (OpenDryObjectStore): nothing is written.
  bool dry = false;
  int32_t lastObjectId = 0;          // the non-planet object stored last

  // What follows keeps the cost of a stored object independent of how many objects
  // the file already holds. All of it is rebuilt at open and dropped at close.

  // nextFreeId[i] (i = 1..MAX_OBJECTS + 1) points at or before the first identifier
  // >= i that may be free: every identifier from i up to it is known to be taken.
  // Identifiers are only ever taken while the store is open, so the pointers only
  // move forward; MAX_OBJECTS + 1 stands for "none".
  std::vector<int32_t> nextFreeId;
  // Every map-list slot below this one is known to be in use.
  int32_t mapListCursor = 1;

  // The object index (MAX_OBJECTS entries of 12 bytes), held in memory while the
  // store is open; the entries from indexDirtyFirst to indexDirtyLast (identifiers)
  // are written back at close. indexDirtyFirst > indexDirtyLast: nothing changed.
  std::vector<uint8_t> index;
  int32_t indexDirtyFirst = 1;
  int32_t indexDirtyLast = 0;

  // Object records appended since the last flush; they belong at pendingPos and
  // onward in the file and are written in large pieces.
  std::vector<uint8_t> pendingRecords;
  long long pendingPos = 0;

  // The planets of the tables by where they lie, for the base that locks to one.
  PlanetGrid planets;

  // The stored object's log line, made in the same storage object after object.
  std::string logLine;
};

}  // namespace tarvik
