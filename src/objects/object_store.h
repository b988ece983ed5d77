// The object store inside an open universe file: identifiers, the map list, and one
// store operation per object kind, each copying the kind's working record
// (s.records.*) into the file with its index entry and one run-log line, as the kind's
// descriptor (objects/object_kinds.h) says.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

struct ObjectSession;

void OpenObjectStore(ObjectSession& s, const std::string& path);
// An object store with no file behind it, for the script checker: it starts as the
// store of a newly written universe file (no objects), gives identifiers and map-list
// slots as that store would, and writes nothing, at close either.
void OpenDryObjectStore(ObjectSession& s);
// Whether a universe file is open for objects (between OpenObjectStore and
// CloseObjectStore).
bool ObjectStoreOpen(const ObjectSession& s);
void CloseObjectStore(ObjectSession& s);
// Drops an open store without writing its tables back (a build that failed; its file is
// deleted afterwards).
void AbandonObjectStore(ObjectSession& s);
int32_t AllocateObjectId(ObjectSession& s);
void AddToMapList(ObjectSession& s, int32_t id);

void StorePlanet(ObjectSession& s);
void StoreShip(ObjectSession& s);
void StoreBase(ObjectSession& s);
void StoreConPod(ObjectSession& s);
void StoreOrePod(ObjectSession& s);
void StoreLifePod(ObjectSession& s);
void StoreAssaultPod(ObjectSession& s);
void StoreOutfitPod(ObjectSession& s);
void StoreNativePod(ObjectSession& s);
void StoreResupplyPod(ObjectSession& s);
void StoreGoldPod(ObjectSession& s);
void StoreWreckage(ObjectSession& s);
void StoreMinefield(ObjectSession& s);
void StoreThing(ObjectSession& s);
void StoreBuoy(ObjectSession& s);
void StoreWing(ObjectSession& s);

}  // namespace tarvik
