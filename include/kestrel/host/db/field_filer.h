// Field lists for host classes: a class names each of its filed fields once, with its DXF group
// code, in a static template `visitFields(self, visitor)`; the four visitors below turn that one
// list into dwgOutFields, dwgInFields, dxfOutFields and dxfInFields, so binary filing (undo,
// copies), DXF files and acdbEntGet cannot drift apart. Visitors do not own the filer.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>

#include "kestrel/export.h"
#include "kestrel/host/db/color.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/rx/error_status.h"

namespace host {

// How an object refers to another: pointers or ownership, soft or hard.
enum class RefKind { kSoftPointer, kHardPointer, kSoftOwner, kHardOwner };

// Kinds a field list uses, each as visitor.kind(code, field):
//   text(std::wstring)  real(double)  angle(double, radians)  int16(Adesk::Int16)
//   int32(Adesk::Int32)  flag(bool, filed as 0/1 under a 16-bit or bool code)
//   point3d  vector3d  point2d  vector2d  id(AcDbObjectId, RefKind)
//   color(AcCmColor: the whole colour in binary filing, its index under code in DXF)

class DRAWHOST_API DwgFieldWriter {
public:
    explicit DwgFieldWriter(AcDbDwgFiler* filer) : m_filer(filer) {}
    void text(int, const std::wstring& v) { m_filer->writeString(v); }
    void real(int, double v) { m_filer->writeDouble(v); }
    void angle(int, double v) { m_filer->writeDouble(v); }
    void int16(int, Adesk::Int16 v) { m_filer->writeInt16(v); }
    void int32(int, Adesk::Int32 v) { m_filer->writeInt32(v); }
    void flag(int, bool v) { m_filer->writeBool(v); }
    void point3d(int, const AcGePoint3d& v) { m_filer->writePoint3d(v); }
    void vector3d(int, const AcGeVector3d& v) { m_filer->writeVector3d(v); }
    void point2d(int, const AcGePoint2d& v) { m_filer->writePoint2d(v); }
    void vector2d(int, const AcGeVector2d& v) { m_filer->writeVector2d(v); }
    void id(int, const AcDbObjectId& v, RefKind kind);
    void color(int, const AcCmColor& v) { m_filer->writeUInt32(v.color()); }
    Acad::ErrorStatus status() const { return m_filer->filerStatus(); }

private:
    AcDbDwgFiler* m_filer;
};

// Reads the fields back from a binary filer, in the order DwgFieldWriter wrote them.
class DRAWHOST_API DwgFieldReader {
public:
    explicit DwgFieldReader(AcDbDwgFiler* filer) : m_filer(filer) {}
    void text(int, std::wstring& v) { m_filer->readString(v); }
    void real(int, double& v) { m_filer->readDouble(&v); }
    void angle(int, double& v) { m_filer->readDouble(&v); }
    void int16(int, Adesk::Int16& v) { m_filer->readInt16(&v); }
    void int32(int, Adesk::Int32& v) { m_filer->readInt32(&v); }
    void flag(int, bool& v) { m_filer->readBool(&v); }
    void point3d(int, AcGePoint3d& v) { m_filer->readPoint3d(&v); }
    void vector3d(int, AcGeVector3d& v) { m_filer->readVector3d(&v); }
    void point2d(int, AcGePoint2d& v) { m_filer->readPoint2d(&v); }
    void vector2d(int, AcGeVector2d& v) { m_filer->readVector2d(&v); }
    void id(int, AcDbObjectId& v, RefKind kind);
    void color(int, AcCmColor& v);
    Acad::ErrorStatus status() const { return m_filer->filerStatus(); }

private:
    AcDbDwgFiler* m_filer;
};

// Writes the fields as DXF groups, each with its group code.
class DRAWHOST_API DxfFieldWriter {
public:
    explicit DxfFieldWriter(AcDbDxfFiler* filer) : m_filer(filer) {}
    void text(int code, const std::wstring& v) { m_filer->writeString(code, v); }
    void real(int code, double v) { m_filer->writeDouble(code, v); }
    void angle(int code, double v) { m_filer->writeAngle(code, v); }
    void int16(int code, Adesk::Int16 v) { m_filer->writeInt16(code, v); }
    void int32(int code, Adesk::Int32 v) { m_filer->writeInt32(code, v); }
    void flag(int code, bool v);
    void point3d(int code, const AcGePoint3d& v) { m_filer->writePoint3d(code, v); }
    void vector3d(int code, const AcGeVector3d& v) { m_filer->writeVector3d(code, v); }
    void point2d(int code, const AcGePoint2d& v) { m_filer->writePoint2d(code, v); }
    void vector2d(int code, const AcGeVector2d& v) { m_filer->writeVector2d(code, v); }
    void id(int code, const AcDbObjectId& v, RefKind) { m_filer->writeObjectId(code, v); }
    void color(int code, const AcCmColor& v);
    Acad::ErrorStatus status() const { return m_filer->filerStatus(); }

private:
    AcDbDxfFiler* m_filer;
};

// Offers one group that filer read to every field; the field with the group's code takes the
// value.
class DRAWHOST_API DxfFieldReader {
public:
    DxfFieldReader(const AcDbDxfFiler* filer, const DxfItem& item) : m_filer(filer), m_item(item) {}
    void text(int code, std::wstring& v) { take(code, v, m_item.text()); }
    void real(int code, double& v) { take(code, v, m_item.real()); }
    void angle(int code, double& v) {
        if (code == m_item.code) {
            take(code, v, m_filer->angleOf(m_item));
        }
    }
    void int16(int code, Adesk::Int16& v) {
        take(code, v, static_cast<Adesk::Int16>(m_item.integer()));
    }
    void int32(int code, Adesk::Int32& v) {
        take(code, v, static_cast<Adesk::Int32>(m_item.integer()));
    }
    void flag(int code, bool& v) { take(code, v, m_item.integer() != 0); }
    void point3d(int code, AcGePoint3d& v) { take(code, v, m_item.point()); }
    void vector3d(int code, AcGeVector3d& v) { take(code, v, m_item.point().asVector()); }
    void point2d(int code, AcGePoint2d& v) {
        take(code, v, AcGePoint2d(m_item.point().x, m_item.point().y));
    }
    void vector2d(int code, AcGeVector2d& v) {
        take(code, v, AcGeVector2d(m_item.point().x, m_item.point().y));
    }
    void id(int code, AcDbObjectId& v, RefKind) { take(code, v, m_item.id()); }
    void color(int code, AcCmColor& v);
    // True when some field had the group's code.
    bool matched() const { return m_matched; }

private:
    template <class T>
    void take(int code, T& field, const T& value) {
        if (code == m_item.code) {
            field = value;
            m_matched = true;
        }
    }

    const AcDbDxfFiler* m_filer;
    const DxfItem& m_item;
    bool m_matched = false;
};

// Reads the groups of one subclass up to the next subclass marker (100), XData (1001, -3), the
// next object (0) or the end, handing each to take(item); take answers false for a group it does
// not know, which is skipped: files from other programs carry groups this host does not keep.
// Returns the filer's status (eEndOfFile counts as eOk).
template <class Take>
Acad::ErrorStatus readSubclassGroups(AcDbDxfFiler* filer, Take take) {
    const DxfItem* item = nullptr;
    while (!filer->atEndOfObject()) {
        if (filer->readItem(item) != Acad::eOk) {
            break;
        }
        if (item->code == 100 || item->code == 1001 || item->code == -3) {
            filer->pushBackItem();
            break;
        }
        take(*item);
    }
    const Acad::ErrorStatus status = filer->filerStatus();
    return status == Acad::eEndOfFile ? Acad::eOk : status;
}

// Reads one subclass: its marker (eBadDxfSequence with a message when missing), then its groups
// through the field list Fields::visitFields; groups no field takes go to extra(item), which
// answers whether it knew the group.
template <class Fields, class Self, class Extra>
Acad::ErrorStatus dxfInSubclassAs(AcDbDxfFiler* filer, const wchar_t* marker, Self& self,
                                  Extra extra) {
    if (!filer->atSubclassData(marker)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", marker);
    }
    return readSubclassGroups(filer, [filer, &self, &extra](const DxfItem& item) {
        DxfFieldReader reader(filer, item);
        Fields::visitFields(self, reader);
        return reader.matched() || extra(item);
    });
}

// As dxfInSubclassAs with the class's own field list.
template <class Self, class Extra>
Acad::ErrorStatus dxfInSubclass(AcDbDxfFiler* filer, const wchar_t* marker, Self& self,
                                Extra extra) {
    return dxfInSubclassAs<std::remove_const_t<Self>>(filer, marker, self, extra);
}

template <class Self>
Acad::ErrorStatus dxfInSubclass(AcDbDxfFiler* filer, const wchar_t* marker, Self& self) {
    return dxfInSubclass(filer, marker, self, [](const DxfItem&) { return false; });
}

// Writes one subclass: its marker, then the field list Fields::visitFields.
template <class Fields, class Self>
Acad::ErrorStatus dxfOutSubclassAs(AcDbDxfFiler* filer, const wchar_t* marker, const Self& self) {
    filer->writeString(100, marker);
    DxfFieldWriter writer(filer);
    Fields::visitFields(self, writer);
    return filer->filerStatus();
}

// As dxfOutSubclassAs with the class's own field list.
template <class Self>
Acad::ErrorStatus dxfOutSubclass(AcDbDxfFiler* filer, const wchar_t* marker, const Self& self) {
    return dxfOutSubclassAs<Self>(filer, marker, self);
}

template <class Self>
Acad::ErrorStatus dwgOutFieldList(AcDbDwgFiler* filer, const Self& self) {
    DwgFieldWriter writer(filer);
    Self::visitFields(self, writer);
    return filer->filerStatus();
}

template <class Self>
Acad::ErrorStatus dwgInFieldList(AcDbDwgFiler* filer, Self& self) {
    DwgFieldReader reader(filer);
    Self::visitFields(self, reader);
    return filer->filerStatus();
}

}  // namespace host
