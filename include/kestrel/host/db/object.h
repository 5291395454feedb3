// AcDbObject, the base of everything a database holds: identity (id, handle, owner), the open
// state, erasure, XData, the extension dictionary and filing. A database owns every object added
// to it; the object then lives until the database is destroyed, erased or not. Deleting a
// database-resident object yourself is a contract violation that the host notes and survives.
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"
#include "kestrel/host/rx/object.h"

class AcDbDatabase;
class AcDbObject;
class AcDbDwgFiler;
class AcDbDxfFiler;
struct resbuf;

namespace host {
struct ObjectSlot;
struct ObjectAccess;

// Host bookkeeping inside every object; only the host's own code touches it. Kept to 32 bytes:
// the stamps are the low 32 bits of the undo group's and transaction's serial numbers, which
// could only be mistaken for a later group after 2^32 groups.
struct DRAWHOST_API ObjectState {
    std::uint32_t slot = 0;            // the object's slot number; 0 when not in a database
    std::uint16_t readers = 0;         // read (and notify) opens, the transaction's hold included
    bool writer : 1 = false;           // open for write (by a caller or by a transaction)
    bool transactionHeld : 1 = false;  // one of the opens belongs to a transaction
    bool restoring : 1 = false;        // undo, redo or abort is reading a state back
    bool erased : 1 = false;
    std::uint32_t openPlace = 0;         // place in the database's open objects plus one; 0: closed
    std::uint32_t undoStamp = 0;         // the undo group that last recorded this object
    std::uint32_t undoIndex = 0;         // its record's position in that group
    std::uint32_t transactionStamp = 0;  // the transaction that last recorded this object
    resbuf* xdata = nullptr;             // owned chain: 1001 groups, each followed by its items
};
static_assert(sizeof(ObjectState) == 32);
}  // namespace host

// Decisions where the host SDK leaves the behaviour to the host:
// - An object not in a database is always write-enabled; close() on it answers eNoDatabase.
// - close() on an object that is not open answers eWasNotOpen; on an object held only by a
//   transaction it does nothing and answers eOk.
// - Getters on a database-resident object that is not open still answer (the object stays in
//   memory), and the host notes a contract violation (see host/harness.h).
// - assertWriteEnabled on an object not open for write changes no state, records nothing and notes
//   a contract violation; setters check first (requireWrite) and answer eNotOpenForWrite.
// - erase(true) on an erased object answers eWasErased, erase(false) on a live one eWasNotErased.
//   Erasing an object erases its extension dictionary with it (and unerasing unerases it); when
//   that dictionary cannot be opened for write, nothing is erased and its status is returned.
// - Base filing (dwgOutFields) writes the owner, the extension dictionary and the XData; a copy
//   filer (clone, copyFrom) skips the owner and the extension dictionary, so a copy has neither.
// - XData: see setXData.
class DRAWHOST_API AcDbObject : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbObject);
    ~AcDbObject() override;

    AcDbObject(const AcDbObject&) = delete;
    AcDbObject& operator=(const AcDbObject&) = delete;

    // Identity. All null / none for an object not in a database.
    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const { return m_ownerId; }
    // Sets the owner; eNotOpenForWrite unless write-enabled.
    Acad::ErrorStatus setOwnerId(AcDbObjectId ownerId);
    void getAcDbHandle(AcDbHandle& handle) const;
    AcDbDatabase* database() const;

    // Ends one open: a write open, else one read open. Statuses: see the class comment.
    Acad::ErrorStatus close();
    // Read to write: eWasOpenForWrite (83) when already write-open, eHadMultipleReaders with
    // other readers, eWasNotOpen when not open; nothing changes on refusal.
    Acad::ErrorStatus upgradeOpen();
    // Write to read: eWasOpenForRead (82) when read-open, eWasNotOpen when not open.
    Acad::ErrorStatus downgradeOpen();

    bool isReadEnabled() const;
    bool isWriteEnabled() const;
    bool isNotifyEnabled() const { return isReadEnabled(); }
    // True while a transaction holds the object open.
    bool isTransactionResident() const { return m_host.transactionHeld; }
    // True while undo, redo or a transaction abort reads a recorded state into the object.
    bool isUndoing() const { return m_host.restoring; }

    // Erases (true) or unerases (false); needs write; statuses in the class comment, plus any
    // refusal of subErase. Recorded for undo.
    Acad::ErrorStatus erase(bool erasing = true);
    bool isErased() const { return m_host.erased; }

    // Declares a read of the object's state (a violation is noted when it may not be read).
    void assertReadEnabled() const;
    // Declares a change: the first one in an undo group (and in a transaction) files the state
    // for undo when autoUndo is true. recordModified is accepted for the SDK's shape.
    void assertWriteEnabled(bool autoUndo = true, bool recordModified = true);
    void assertNotifyEnabled() const { assertReadEnabled(); }
    // eNotOpenForWrite when the object may not be changed now; otherwise assertWriteEnabled
    // (autoUndo) and eOk. Every setter starts with it.
    Acad::ErrorStatus requireWrite(bool autoUndo = true);

    // Filing, base class first in every override. See the class comment for what the base files.
    virtual Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer);
    virtual Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const;
    virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer);
    virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const;
    // The whole DXF description: group 0 with the class's DXF name, dxfOutFields, then the
    // XData when withXData is true.
    Acad::ErrorStatus dxfOut(AcDbDxfFiler* filer, bool withXData = true) const;
    // Reads what dxfOut writes (the leading -1 and 0 groups are optional); XData found at the
    // end replaces the object's XData.
    Acad::ErrorStatus dxfIn(AcDbDxfFiler* filer);

    // The XData of one application (1001 name, then its items), or of all applications when
    // regappName is null; a new list owned by the caller, null when there is none.
    virtual resbuf* xData(const wchar_t* regappName = nullptr) const;
    // Replaces, per application in the list, that application's XData; applications not in the
    // list keep theirs, a replaced one keeps its place, new ones go last. A group with no items
    // removes its application. Refused, with nothing changed: null list (eInvalidInput); items
    // before the first 1001 (eMissingXDataApplication); an application not registered in the
    // database (eUnregisteredApplication); a code that XData cannot hold (eInvalidXDataCode);
    // unbalanced 1002 braces (eXDataBraceMismatch); a 1000 text over 255 characters
    // (eStringTooLong); a 1005 text that is not a handle (eInvalidHandleText); more than
    // kMaxXDataSize bytes in all (eXDataSizeExceeded). Needs write (eNotOpenForWrite).
    virtual Acad::ErrorStatus setXData(const resbuf* xdata);
    // The bytes the object's XData counts against kMaxXDataSize: per item 2 for the code plus
    // 2 + 2 per character for texts and names, 24 per point, 8 per real and handle, 2 per
    // 16-bit and 4 per 32-bit integer, 1 per brace, 1 + length per binary chunk.
    int xDataSize() const;
    static constexpr int kMaxXDataSize = 16383;
    static constexpr int kMaxXDataStringLength = 255;

    // Creates the extension dictionary (an AcDbDictionary owned by this object). Needs write;
    // eAlreadyInDb when it exists, eNoDatabase when the object is not in a database.
    Acad::ErrorStatus createExtensionDictionary();
    // The extension dictionary's id, or null.
    AcDbObjectId extensionDictionary() const { return m_extDictId; }

    // A new object of the same class (from its pseudo-constructor) with a copy of the filed
    // state, not in any database; null when the class has no pseudo-constructor.
    AcRxObject* clone() const override;
    // Copies other's filed state (copy filer); needs write; eNotThatKindOfClass for another
    // class, eNullPtr for null.
    Acad::ErrorStatus copyFrom(const AcRxObject* other) override;

protected:
    AcDbObject() = default;
    // Asked before the object is erased (true) or unerased (false); a status other than eOk
    // refuses the change. The default accepts.
    virtual Acad::ErrorStatus subErase(bool erasing);
    // Called once the object was added to a database (it has its id and owner, is open for write
    // and its creation is recorded), so it can add the objects it owns. The default does nothing.
    virtual void subAddedToDatabase();

private:
    friend struct host::ObjectAccess;

    AcDbObjectId m_ownerId;
    AcDbObjectId m_extDictId;
    host::ObjectState m_host;
};
