// CDrawingEntity: one entry of a client's list of supported entity kinds, binding a host runtime
// class, the name the client shows for it and the extractor of its characteristic points.
// Copies share the extractor; the class descriptor is the host's and is not owned.
#pragma once

#include <boost/shared_ptr.hpp>

#include "kestrel/export.h"
#include "kestrel/geometry/characteristic_points.h"
#include "kestrel/platform/cstring.h"

class AcRxClass;

// The record never checks an entity's class before it extracts: the client picks the record by
// the entity's class (isA(), operator==).
//
// Decisions where the interface leaves the behaviour open:
// - operator== holds when the stored class is exactly the given one (a derived class does not
//   count; a record without class equals only null); operator!= is its negation.
// - A null UI name is stored as the empty string.
class KESTREL_API CDrawingEntity {
public:
    // No class, empty UI name, no extractor.
    CDrawingEntity();
    // Keeps the class pointer (may be null), copies uiName and takes a share of extractor (may be
    // empty).
    CDrawingEntity(AcRxClass * entityClass, const wchar_t* uiName,
                   boost::shared_ptr<ICharacteristicPointsExtractor> extractor);

    // The stored class, or null.
    AcRxClass* isA() const;
    // The host's DXF name of the stored class; empty without a class or when it has none.
    CString GetDXFName() const;
    // A copy of the UI name.
    CString GetUIName() const;
    // Whether the stored class is exactly entityClass (see the class comment).
    bool operator==(const AcRxClass* entityClass) const;
    bool operator!=(const AcRxClass* entityClass) const;

    // The extractor's answer (points written as it says); 1 with points untouched when the
    // record has no extractor.
    int ExtractCharacteristicPoints(AcDbEntity * entity, AcGePoint3dArray & points);

private:
    AcRxClass* m_class = nullptr;
    CString m_uiName;
    boost::shared_ptr<ICharacteristicPointsExtractor> m_extractor;
};
