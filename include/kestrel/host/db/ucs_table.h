// The user coordinate system table: named coordinate systems given by an origin and two axes.
// Setters need the record open for write (eNotOpenForWrite).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new record is the world system: origin (0,0,0), axes (1,0,0) and (0,1,0), elevation 0.
//   Axes are stored as given (not normalised); a zero axis is refused with eInvalidInput.
// - DXF: 100 "AcDbUCSTableRecord", 2 name, 70 flags, 10 origin, 11 x axis, 12 y axis,
//   79 orthographic type (0), 146 elevation.
class DRAWHOST_API AcDbUCSTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbUCSTableRecord);
    AcDbUCSTableRecord() = default;
    ~AcDbUCSTableRecord() override = default;

    AcGePoint3d origin() const { return readField(m_origin); }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& origin) { return writeField(m_origin, origin); }
    AcGeVector3d xAxis() const { return readField(m_xAxis); }
    Acad::ErrorStatus setXAxis(const AcGeVector3d& axis);
    AcGeVector3d yAxis() const { return readField(m_yAxis); }
    Acad::ErrorStatus setYAxis(const AcGeVector3d& axis);
    double elevation() const { return readField(m_elevation); }
    Acad::ErrorStatus setElevation(double elevation) { return writeField(m_elevation, elevation); }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        v.point3d(10, self.m_origin);
        v.vector3d(11, self.m_xAxis);
        v.vector3d(12, self.m_yAxis);
        v.int16(79, self.m_orthographicType);
        v.real(146, self.m_elevation);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    AcGePoint3d m_origin;
    AcGeVector3d m_xAxis{1.0, 0.0, 0.0};
    AcGeVector3d m_yAxis{0.0, 1.0, 0.0};
    Adesk::Int16 m_orthographicType = 0;
    double m_elevation = 0.0;
};

class DRAWHOST_API AcDbUCSTableIterator : public AcDbSymbolTableIteratorOf<AcDbUCSTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The user coordinate system table: named coordinate systems by name.
class DRAWHOST_API AcDbUCSTable
    : public AcDbSymbolTableOf<AcDbUCSTableRecord, AcDbUCSTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbUCSTable);
    AcDbUCSTable() = default;
    ~AcDbUCSTable() override = default;
};
