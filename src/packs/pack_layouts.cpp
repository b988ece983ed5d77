// Placeholder layouts of the race and hull records; replaced by the full field tables.
#include "packs/pack_state.h"

namespace tarvik {

#define TARVIK_WHOLE_RECORD(fn, label, n)                               \
  const RecordLayout& fn() {                                            \
    static const Field fields[] = {Chars("", 0, n)};                    \
    static const RecordLayout layout(label, n, fields);                 \
    return layout;                                                      \
  }
TARVIK_WHOLE_RECORD(RaceRecordLayout, "RaceRecord", 622)
TARVIK_WHOLE_RECORD(RaceUnitRecordLayout, "RaceUnitRecord", 98)
TARVIK_WHOLE_RECORD(RaceExtraRecordLayout, "RaceExtraRecord", 74)
TARVIK_WHOLE_RECORD(HullRecordLayout, "HullRecord", 190)

}  // namespace tarvik
