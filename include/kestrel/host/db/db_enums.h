// The AcDb namespace's small enumerations that objects, filers and opening share: open modes,
// entity visibility and filer kinds. Values only; nothing to initialise or release. Each has int
// as its underlying type, so a value outside the list is still a value (refused by the host with
// a status) rather than undefined behaviour.
#pragma once

namespace AcDb {

// How an object is opened. kForNotify opens behave exactly as kForRead opens on this host.
enum OpenMode : int {
    kForRead = 0,
    kForWrite = 1,
    kForNotify = 2,
};

enum Visibility : int {
    kVisible = 0,
    kInvisible = 1,
};

// What a filer is used for; objects may file differently per kind (see AcDbObject::dwgOutFields).
enum FilerType : int {
    kFileFiler = 0,
    kCopyFiler = 1,
    kUndoFiler = 2,
    kBagFiler = 3,
    kIdXlateFiler = 4,
    kPageFiler = 5,
    kDeepCloneFiler = 6,
    kIdFiler = 7,
    kPurgeFiler = 8,
    kWblockCloneFiler = 9,
};

}  // namespace AcDb
