// What the players' homes and the planets of a universe are made from (the map picture
// and the fairness report): each object with a kind and a record, and the values of its
// record they use. Read the same way from a record in a universe file and from a record
// the object store is storing.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "objects/object_kinds.h"
#include "universe/record.h"

namespace tarvik {

struct PlacedObject {
  int id = 0;
  BlockKind kind = BlockKind::Planet;
  int owner = 0;
  int32_t recordPos = 0;
  int x = 0, y = 0;
  int planetId = 0;       // a base's
  std::string name;       // a planet's
  long long ore = 0;      // a planet's
};

// The fields of one kind's records that Placed reads, looked up by name once for every
// kind instead of once for every object: the same fields of the same layout, so the
// same values.
struct PlacedFields {
  const Field* x = nullptr;
  const Field* y = nullptr;
  const Field* planetId = nullptr;       // a base's
  std::array<const Field*, 4> ore{};     // a planet's
  const Field* name = nullptr;           // a planet's name text (see PlanetName), or none
  const Field* nameKey = nullptr;        // the field it is scrambled under
};

// A whole-number field's first element in a record's bytes, as Record::Get reads it.
inline int32_t ValueIn(std::span<const uint8_t> r, const Field& f) { return Record::Read(f, r.data() + f.offset); }

// The fields of the kind in its own layout, found once for all kinds.
const PlacedFields& PlacedFieldsOf(const ObjectKindDescriptor& kind);

// The plain name of a planet whose record is `r`: its name text unscrambled under its
// name key, blanks and zero bytes at the end dropped (`scratch` is reused from planet to
// planet); empty for a kind without a name.
std::string PlanetName(const PlacedFields& f, std::span<const uint8_t> r, std::string& scratch);

// The values of one object's record of its kind's layout (`r`, its bytes; zero past
// what a file holds of it). A planet's name only with `nameScratch` (see PlanetName).
PlacedObject Placed(int id, const ObjectKindDescriptor& kind, int owner, int32_t recordPos, std::span<const uint8_t> r,
                    std::string* nameScratch);

// The kind a universe file's object is taken for: the one of its kind code, or else the
// one of its record size (nullptr: none).
const ObjectKindDescriptor* KindOfStoredObject(int kindCode, int recordSize);

}  // namespace tarvik
