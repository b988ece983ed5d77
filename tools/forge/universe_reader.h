// Reading back a universe file the program wrote: its objects with their records, and
// the race each player slot plays. The program itself never reads a universe file; the
// tests and the summary tool do, through the same field tables and object kind
// descriptors that the writer and the object store use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "objects/object_kinds.h"
#include "universe/record.h"

namespace tarvik::forge {

// An object as stored: its identifier, kind code, owner, position and record, and the
// descriptor of its kind.
struct StoredObject {
  int id = 0, kind = 0, owner = 0;
  long long pos = 0;
  Record record;
  const ObjectKindDescriptor* descriptor = nullptr;
};

// The objects of a universe file, in the order they were stored (by file position).
// Objects of a kind code no descriptor has are left out. A file too short for what its
// directory says throws std::out_of_range.
std::vector<StoredObject> ReadObjects(const std::string& path);

// The race ID of each player slot 1..30 as the universe file's header holds it (0 for
// none); element 0 is unused.
std::vector<int32_t> ReadPlayerRaces(const std::string& path);

}  // namespace tarvik::forge
