// Placeholder layouts: each record as one unnamed run of bytes of the right size.
// Replaced by the full field tables.
#include "universe/records.h"

namespace tarvik {

#define TARVIK_WHOLE_RECORD(fn, label, n)                               \
  const RecordLayout& fn() {                                            \
    static const Field fields[] = {Chars("", 0, n)};                    \
    static const RecordLayout layout(label, n, fields);                 \
    return layout;                                                      \
  }
TARVIK_WHOLE_RECORD(PlanetRecordLayout, "PlanetRecord", 288)
TARVIK_WHOLE_RECORD(ShipRecordLayout, "ShipRecord", 1424)
TARVIK_WHOLE_RECORD(BaseRecordLayout, "BaseRecord", 1502)
TARVIK_WHOLE_RECORD(ConPodRecordLayout, "ConPodRecord", 132)
TARVIK_WHOLE_RECORD(OrePodRecordLayout, "OrePodRecord", 130)
TARVIK_WHOLE_RECORD(LifePodRecordLayout, "LifePodRecord", 134)
TARVIK_WHOLE_RECORD(AssaultPodRecordLayout, "AssaultPodRecord", 150)
TARVIK_WHOLE_RECORD(OutfitPodRecordLayout, "OutfitPodRecord", 408)
TARVIK_WHOLE_RECORD(NativePodRecordLayout, "NativePodRecord", 154)
TARVIK_WHOLE_RECORD(ResupplyPodRecordLayout, "ResupplyPodRecord", 142)
TARVIK_WHOLE_RECORD(GoldPodRecordLayout, "GoldPodRecord", 196)
TARVIK_WHOLE_RECORD(WreckageRecordLayout, "WreckageRecord", 346)
TARVIK_WHOLE_RECORD(MinefieldRecordLayout, "MinefieldRecord", 60)
TARVIK_WHOLE_RECORD(ThingRecordLayout, "ThingRecord", 180)
TARVIK_WHOLE_RECORD(BuoyRecordLayout, "BuoyRecord", 222)
TARVIK_WHOLE_RECORD(WingRecordLayout, "WingRecord", 284)
TARVIK_WHOLE_RECORD(PlayerRecordLayout, "PlayerRecord", 226)
TARVIK_WHOLE_RECORD(ObjectIndexEntryLayout, "ObjectIndexEntry", 12)

std::span<const RecordLayout* const> AllRecordLayouts() {
  static const RecordLayout* const all[] = {&PlanetRecordLayout(), &ShipRecordLayout(), &BaseRecordLayout()};
  return all;
}

}  // namespace tarvik
