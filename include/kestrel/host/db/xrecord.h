// AcDbXrecord: a database object that holds a list of typed values (group code plus value) for
// an application, usually as an entry of a dictionary. The list is copied in and out: callers
// keep their lists and own the lists they are given.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/object.h"

struct resbuf;

// Decisions where the host SDK leaves the behaviour to the host:
// - An Xrecord holds items with group codes 1 to 369 except 5 and 105 (its own handle codes) and
//   100 (a subclass marker would split the object in a DXF file). Binary chunks (310-319) hold at
//   most kMaxChunkBytes bytes each, the size a DXF line carries. Anything else (XData codes,
//   result-type codes such as 5005, unknown codes) is refused with eInvalidDxfCode, a chunk
//   that is too long or a name naming no live object with eInvalidResBuf; the record is then
//   unchanged.
// - Object references (330-369) are kept as ids: rbChain hands them out as entity names.
// - An empty list (null pointer) empties the record; rbChain of an empty record gives null.
// - DXF: 100 "AcDbXrecord", 280 duplicate-record cloning (1, keep existing), then the items.
class DRAWHOST_API AcDbXrecord : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbXrecord);
    AcDbXrecord() = default;
    ~AcDbXrecord() override = default;

    static constexpr int kMaxChunkBytes = 127;

    // A new copy of the items, owned by the caller (release with acutRelRb); null when empty.
    // eOutOfMemory (chain null) when a copy cannot be made. auxDb is accepted for the SDK's shape.
    Acad::ErrorStatus rbChain(resbuf*& chain, AcDbDatabase* auxDb = nullptr) const;
    // Replaces the items by a copy of the chain from `chain` on; refusals in the class comment,
    // eNotOpenForWrite when the record may not change.
    Acad::ErrorStatus setFromRbChain(const resbuf& chain, AcDbDatabase* auxDb = nullptr);
    // As above; null empties the record.
    Acad::ErrorStatus setFromRbChain(const resbuf* chain, AcDbDatabase* auxDb = nullptr);

    // eOk when an item of that code and value could be held; see the class comment.
    static Acad::ErrorStatus validateItem(const host::DxfItem& item);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    host::DxfItemList m_items;
};
