// The object store's open file and the values it keeps in memory between
// OpenObjectStore and CloseObjectStore (the counters and tables themselves live in
// UniverseTables).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "objects/placed_objects.h"
#include "objects/planet_grid.h"
#include "objects/taken_ids.h"
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
  // the file already holds, and the memory the store touches near what it changes.
  // All of it is rebuilt at open and dropped at close.

  // The identifiers in use: those with a kind code in the tables or an entry in the
  // file's index when the store opened, and every one given since.
  TakenIds takenIds;
  // Every map-list slot below this one is known to be in use.
  int32_t mapListCursor = 1;
  // The map-list slots written since the open, from mapListDirtyFirst to
  // mapListDirtyLast (first > last: none).
  int32_t mapListDirtyFirst = 1;
  int32_t mapListDirtyLast = 0;

  // The object index entries of identifiers indexDirtyFirst to indexDirtyLast, as they
  // go back to the file at close: those of the objects stored since the open and,
  // between them, the entries the file held. Each entry lies at its own place in a
  // buffer with room for the whole index, of which only this stretch is ever touched.
  // indexDirtyFirst > indexDirtyLast: nothing changed.
  std::unique_ptr<uint8_t[]> indexEntries;
  int32_t indexDirtyFirst = 1;
  int32_t indexDirtyLast = 0;

  // Object records appended since the last write; they belong at pendingPos and
  // onward in the file. Its room is reserved at open and reused after each write.
  std::vector<uint8_t> pendingRecords;
  long long pendingPos = 0;

  // The planets of the tables by where they lie, for the base that locks to one.
  PlanetGrid planets;

  // The stored object's log line, made in the same storage object after object.
  std::string logLine;

  // Asked for before a build, and kept across opens: every object stored from the open
  // on is also kept in `placed`, as a universe file's reader takes it from the file
  // (planets without their names), so that what is made of the players' homes and the
  // planets (the fairness report) need not read the objects back. `placedAll`: they
  // are all the objects of the file, which held none at the open. Both stay after the
  // close, until the next open.
  bool keepPlaced = false;
  std::vector<PlacedObject> placed;
  bool placedAll = false;
};

}  // namespace tarvik
