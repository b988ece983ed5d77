#include "objects/placed_objects.h"

#include "base/text.h"
#include "packs/scramble.h"

namespace tarvik {

namespace {

PlacedFields FieldsOfKind(const ObjectKindDescriptor& kind) {
  const RecordLayout& layout = kind.layout();
  PlacedFields f;
  switch (kind.blockKind) {
    case BlockKind::Planet:
      f.ore = {&layout.Get("oreN"), &layout.Get("oreD"), &layout.Get("oreT"), &layout.Get("oreM")};
      for (const ScrambledText& text : kind.scrambled) {
        if (text.field != "name") continue;
        f.name = &TextField(text, layout);
        f.nameKey = &layout.Get(text.keyField);
        break;
      }
      [[fallthrough]];
    case BlockKind::Base:
    case BlockKind::Ship:
    case BlockKind::Wing:
      f.x = &layout.Get("x");
      f.y = &layout.Get("y");
      if (kind.blockKind == BlockKind::Base) f.planetId = &layout.Get("planetId");
      break;
    default: break;
  }
  return f;
}

}  // namespace

const PlacedFields& PlacedFieldsOf(const ObjectKindDescriptor& kind) {
  static const std::vector<PlacedFields> byKind = [] {
    std::vector<PlacedFields> fields;
    for (const ObjectKindDescriptor& k : ObjectKinds()) fields.push_back(FieldsOfKind(k));
    return fields;
  }();
  return byKind[static_cast<size_t>(&kind - ObjectKinds().data())];
}

std::string PlanetName(const PlacedFields& f, std::span<const uint8_t> r, std::string& scratch) {
  if (!f.name) return {};
  scratch.assign(reinterpret_cast<const char*>(r.data()) + f.name->offset, static_cast<size_t>(f.name->charLen));
  ScrambleName(ValueIn(r, *f.nameKey), scratch);
  return scratch.substr(0, TrimmedLength(scratch));
}

PlacedObject Placed(int id, const ObjectKindDescriptor& kind, int owner, int32_t recordPos, std::span<const uint8_t> r,
                    std::string* nameScratch) {
  const PlacedFields& f = PlacedFieldsOf(kind);
  PlacedObject o;
  o.id = id;
  o.kind = kind.blockKind;
  o.owner = owner;
  o.recordPos = recordPos;
  if (f.x) {
    o.x = ValueIn(r, *f.x);
    o.y = ValueIn(r, *f.y);
  }
  if (f.planetId) o.planetId = ValueIn(r, *f.planetId);
  if (kind.blockKind == BlockKind::Planet) {
    if (nameScratch) o.name = PlanetName(f, r, *nameScratch);
    o.ore = static_cast<long long>(ValueIn(r, *f.ore[0])) + ValueIn(r, *f.ore[1]) + ValueIn(r, *f.ore[2]) +
            ValueIn(r, *f.ore[3]);
  }
  return o;
}

const ObjectKindDescriptor* KindOfStoredObject(int kindCode, int recordSize) {
  const ObjectKindDescriptor* kind = kindCode != 0 ? KindOfCode(kindCode) : nullptr;
  if (!kind && recordSize != 0) kind = KindOfSize(recordSize);
  return kind;
}

}  // namespace tarvik
