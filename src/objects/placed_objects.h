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

// The fields of one kind's records that Placed reads, looked up by name once for the
// kind instead of once for every object: the same fields of the same layout, so the
// same values.
struct PlacedFields {
  const ObjectKindDescriptor* kind = nullptr;
  const RecordLayout* layout = nullptr;
  const Field* x = nullptr;
  const Field* y = nullptr;
  const Field* planetId = nullptr;       // a base's
  std::array<const Field*, 4> ore{};     // a planet's
  const Field* name = nullptr;           // a planet's name text (see PlanetName), or none
  const Field* nameKey = nullptr;        // the field it is scrambled under
};

// A whole-number field's first element in a record's bytes, as Record::Get reads it.
inline int32_t ValueIn(std::span<const uint8_t> r, const Field& f) { return Record::Read(f, r.data() + f.offset); }

PlacedFields FieldsOfKind(const ObjectKindDescriptor& kind, const RecordLayout& layout);
// The fields of the kind for records of `layout`, found once and kept in `known`.
const PlacedFields& PlacedFieldsOf(std::vector<PlacedFields>& known, const ObjectKindDescriptor& kind,
                                   const RecordLayout& layout);

// The plain name of a planet whose record is `r`: its name text unscrambled under its
// name key, blanks and zero bytes at the end dropped (`scratch` is reused from planet to
// planet); empty for a kind without a name.
std::string PlanetName(const PlacedFields& f, std::span<const uint8_t> r, std::string& scratch);

// The values of one object's record (`r`, its bytes; zero past what a file holds of
// it); `f` are the fields of its kind in the record's layout. A planet's name only
// `withName`.
PlacedObject Placed(int id, const ObjectKindDescriptor& kind, const PlacedFields& f, int owner, int32_t recordPos,
                    std::span<const uint8_t> r, std::string& scratch, bool withName = true);

// The kind a universe file's object is taken for: the one of its kind code, or else the
// one of its record size (nullptr: none).
const ObjectKindDescriptor* KindOfStoredObject(int kindCode, int recordSize);

}  // namespace tarvik
