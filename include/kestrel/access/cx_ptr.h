// CxPtr<T>: opens one database object as a T for the pointer's lifetime and closes it in the
// destructor. Instantiated for 24 host classes of the exported interface and for two more that
// the module's own extractors open (listed at the end); the pointer owns the open state, never
// the object, and is never copied or re-pointed.
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"

class AcDb2LineAngularDimension;
class AcDb2dPolyline;
class AcDb3PointAngularDimension;
class AcDb3dPolyline;
class AcDbArc;
class AcDbAttribute;
class AcDbBlockReference;
class AcDbCircle;
class AcDbDictionary;
class AcDbDimStyleTable;
class AcDbEllipse;
class AcDbEntity;
class AcDbFace;
class AcDbHatch;
class AcDbLayerTableRecord;
class AcDbLine;
class AcDbLinetypeTable;
class AcDbObject;
class AcDbPoint;
class AcDbPolyline;
class AcDbRay;
class AcDbRotatedDimension;
class AcDbSolid;
class AcDbSpline;
class AcDbTable;
class AcDbText;
class AcDbTextStyleTable;

// Two states: empty (nothing open) and holding (the object open in mode(), closed exactly once
// by close() or the destructor). An opening constructor ends empty on any failure, with the
// host's refusal, or eNotThatKindOfClass (34) for an object that is not a T, in status().
//
// Decisions where the interface leaves the behaviour open:
// - A default-constructed pointer reads as if the null id had been opened for read: status
//   eNullObjectId, mode kForRead.
// - upgradeOpen and downgradeOpen on an empty pointer call nothing and answer eNullObjectPointer,
//   which they also store in status; mode stays as it was.
// - Copy and move construction are deleted; both assignments are accepted and change nothing.
//
// Classes built on CxPtr (the entity wrapper, the dictionary and table pointers) reach the three
// fields directly and keep the same rules for them.
template <class T>
class KESTREL_API CxPtr {
public:
    // Empty; see the class comment for status and mode.
    CxPtr();
    // Opens id as a T in mode; withLock holds the normal lock of id's document during the open
    // call only. Empty on failure, with the reason in status().
    CxPtr(const AcDbObjectId& id, AcDb::OpenMode mode, bool withLock = false);
    // Opens the entity named by the selection name (two integers; null or unknown names fail
    // with the host's status) as a T, without a lock. Empty on failure.
    CxPtr(std::int64_t* name, AcDb::OpenMode mode);
    // Closes the object when one is open; a failing close is ignored.
    ~CxPtr();

    CxPtr(const CxPtr&) = delete;
    CxPtr(CxPtr&&) = delete;
    // Both change nothing and return this pointer: an open object keeps exactly one owner.
    CxPtr& operator=(CxPtr& other);
    CxPtr& operator=(T* object);

    // Closes and forgets the object: the host's answer (the pointer is empty either way), or
    // eOk when nothing was open. status() is not changed.
    Acad::ErrorStatus close();
    // Raises the object to write mode: the host's answer, kept in status(); eOk and
    // eWasOpenForWrite (83) set mode() to kForWrite.
    Acad::ErrorStatus upgradeOpen();
    // Lowers the object to read mode: the host's answer, kept in status(); eOk and
    // eWasOpenForRead (82) set mode() to kForRead.
    Acad::ErrorStatus downgradeOpen();

    // The open object, or null when empty; owned by the database.
    operator T*() const { return m_object; }
    T* operator->() const { return m_object; }
    // The open object; the pointer must not be empty.
    T& operator*() const { return *m_object; }

    // The status of the last open, upgrade or downgrade through this pointer.
    Acad::ErrorStatus status() const { return m_status; }
    // The mode the object is believed to be open in: the one asked for, then moved by
    // upgradeOpen and downgradeOpen.
    AcDb::OpenMode mode() const { return m_mode; }

protected:
    // Takes an object the host just opened for this pointer (or null): keeps it when its runtime
    // class is T or derived from T; otherwise closes it, stays empty and sets status
    // eNotThatKindOfClass (34). Shared with the wrappers that open by other means.
    void adopt(AcDbObject* opened);

    T* m_object = nullptr;
    Acad::ErrorStatus m_status = Acad::eNullObjectId;
    AcDb::OpenMode m_mode = AcDb::kForRead;

private:
    void openById(const AcDbObjectId& id, AcDb::OpenMode mode);
};

// The instantiations the module exports; client code links against these.
extern template class KESTREL_API CxPtr<AcDb2LineAngularDimension>;
extern template class KESTREL_API CxPtr<AcDb2dPolyline>;
extern template class KESTREL_API CxPtr<AcDb3PointAngularDimension>;
extern template class KESTREL_API CxPtr<AcDb3dPolyline>;
extern template class KESTREL_API CxPtr<AcDbArc>;
extern template class KESTREL_API CxPtr<AcDbAttribute>;
extern template class KESTREL_API CxPtr<AcDbBlockReference>;
extern template class KESTREL_API CxPtr<AcDbCircle>;
extern template class KESTREL_API CxPtr<AcDbDictionary>;
extern template class KESTREL_API CxPtr<AcDbDimStyleTable>;
extern template class KESTREL_API CxPtr<AcDbEllipse>;
extern template class KESTREL_API CxPtr<AcDbEntity>;
extern template class KESTREL_API CxPtr<AcDbFace>;
extern template class KESTREL_API CxPtr<AcDbLayerTableRecord>;
extern template class KESTREL_API CxPtr<AcDbLine>;
extern template class KESTREL_API CxPtr<AcDbLinetypeTable>;
extern template class KESTREL_API CxPtr<AcDbPoint>;
extern template class KESTREL_API CxPtr<AcDbPolyline>;
extern template class KESTREL_API CxPtr<AcDbRay>;
extern template class KESTREL_API CxPtr<AcDbRotatedDimension>;
extern template class KESTREL_API CxPtr<AcDbSolid>;
extern template class KESTREL_API CxPtr<AcDbTable>;
extern template class KESTREL_API CxPtr<AcDbText>;
extern template class KESTREL_API CxPtr<AcDbTextStyleTable>;
// The bases of CxEntity<AcDbHatch> and CxEntity<AcDbSpline>, which the characteristic-point
// extractors open; no typed pointer of the interface is built on them.
extern template class KESTREL_API CxPtr<AcDbHatch>;
extern template class KESTREL_API CxPtr<AcDbSpline>;
