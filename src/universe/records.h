// The on-disk layouts of every object record, the PlayerRecord and the
// ObjectIndexEntry, each described once as a field table (universe/record.h).
#pragma once

#include <span>

#include "universe/record.h"

namespace tarvik {

const RecordLayout& PlanetRecordLayout();       // 288 bytes
const RecordLayout& ShipRecordLayout();         // 1424 bytes
const RecordLayout& BaseRecordLayout();         // 1502 bytes
const RecordLayout& ConPodRecordLayout();       // 132 bytes
const RecordLayout& OrePodRecordLayout();       // 130 bytes
const RecordLayout& LifePodRecordLayout();      // 134 bytes
const RecordLayout& AssaultPodRecordLayout();   // 150 bytes
const RecordLayout& OutfitPodRecordLayout();    // 408 bytes
const RecordLayout& NativePodRecordLayout();    // 154 bytes
const RecordLayout& ResupplyPodRecordLayout();  // 142 bytes
const RecordLayout& GoldPodRecordLayout();      // 196 bytes
const RecordLayout& WreckageRecordLayout();     // 346 bytes
const RecordLayout& MinefieldRecordLayout();    // 60 bytes
const RecordLayout& ThingRecordLayout();        // 180 bytes
const RecordLayout& BuoyRecordLayout();         // 222 bytes
const RecordLayout& WingRecordLayout();         // 284 bytes
const RecordLayout& PlayerRecordLayout();       // 226 bytes
const RecordLayout& ObjectIndexEntryLayout();   // 12 bytes

// Every layout above and those of the universe file's fixed structures
// (universe/universe_layout.h), for checks and dumps.
std::span<const RecordLayout* const> AllRecordLayouts();

// The working records: one per object kind, shared by everything that builds an
// object of that kind; the store operation copies it out whole.
struct WorkingRecords {
  Record planet{PlanetRecordLayout()};
  Record ship{ShipRecordLayout()};
  Record base{BaseRecordLayout()};
  Record conPod{ConPodRecordLayout()};
  Record orePod{OrePodRecordLayout()};
  Record lifePod{LifePodRecordLayout()};
  Record assaultPod{AssaultPodRecordLayout()};
  Record outfitPod{OutfitPodRecordLayout()};
  Record nativePod{NativePodRecordLayout()};
  Record resupplyPod{ResupplyPodRecordLayout()};
  Record goldPod{GoldPodRecordLayout()};
  Record wreckage{WreckageRecordLayout()};
  Record minefield{MinefieldRecordLayout()};
  Record thing{ThingRecordLayout()};
  Record buoy{BuoyRecordLayout()};
  Record wing{WingRecordLayout()};
};

}  // namespace tarvik
