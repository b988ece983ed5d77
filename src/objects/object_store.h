// The object store inside an open universe file: identifiers, the map list, and one
// store operation per object kind, each copying the kind's working record
// (s.records.*) into the file with its index entry and one run-log line.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

struct Session;

void OpenObjectStore(Session& s, const std::string& path);
void CloseObjectStore(Session& s);
// Drops an open store without writing its tables back (a build that failed; its file is
// deleted afterwards).
void AbandonObjectStore(Session& s);
int32_t AllocateObjectId(Session& s);
void AddToMapList(Session& s, int32_t id);

void StorePlanet(Session& s);
void StoreShip(Session& s);
void StoreBase(Session& s);
void StoreConPod(Session& s);
void StoreOrePod(Session& s);
void StoreLifePod(Session& s);
void StoreAssaultPod(Session& s);
void StoreOutfitPod(Session& s);
void StoreNativePod(Session& s);
void StoreResupplyPod(Session& s);
void StoreGoldPod(Session& s);
void StoreWreckage(Session& s);
void StoreMinefield(Session& s);
void StoreThing(Session& s);
void StoreBuoy(Session& s);
void StoreWing(Session& s);

}  // namespace tarvik
