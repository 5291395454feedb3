// The linetype table and its records: a description and a dash pattern, whose elements may carry
// a shape or a text. Setters need the record open for write (eNotOpenForWrite).
#pragma once

#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Dash indexes outside [0, numDashes) give 0 / null / empty from getters and eInvalidIndex from
//   setters. setNumDashes keeps the first dashes and adds plain dashes of length 0.
// - A dash element holds a shape when shapeStyleAt is set and textAt is empty, a text when textAt
//   is not empty; its DXF flag (74) follows from that: 2 text, 4 shape, +1 for absolute rotation.
// - "ByBlock", "ByLayer" keep their names; they and "Continuous" cannot be erased.
// - DXF: 100 "AcDbLinetypeTableRecord", 2 name, 70 flags, 3 description, 72 alignment (65 'A'),
//   73 number of dashes, 40 pattern length, then per dash 49 length, 74 flags and, for a shape or
//   text, 75 shape number, 340 style, 46 scale, 50 rotation, 44/45 offset and 9 text.
class DRAWHOST_API AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTableRecord);
    AcDbLinetypeTableRecord() = default;
    ~AcDbLinetypeTableRecord() override = default;

    // The description, valid until the record changes or is closed.
    Acad::ErrorStatus comments(const wchar_t*& text) const;
    Acad::ErrorStatus setComments(const wchar_t* text);
    double patternLength() const { return readField(m_patternLength); }
    Acad::ErrorStatus setPatternLength(double length) {
        return writeField(m_patternLength, length);
    }
    bool isScaledToFit() const { return readField(m_scaledToFit); }
    Acad::ErrorStatus setIsScaledToFit(bool fit) { return writeField(m_scaledToFit, fit); }

    int numDashes() const;
    Acad::ErrorStatus setNumDashes(int count);
    double dashLengthAt(int index) const;
    Acad::ErrorStatus setDashLengthAt(int index, double length);
    AcDbObjectId shapeStyleAt(int index) const;
    Acad::ErrorStatus setShapeStyleAt(int index, AcDbObjectId styleId);
    int shapeNumberAt(int index) const;
    Acad::ErrorStatus setShapeNumberAt(int index, int shapeNumber);
    AcGeVector2d shapeOffsetAt(int index) const;
    Acad::ErrorStatus setShapeOffsetAt(int index, const AcGeVector2d& offset);
    double shapeScaleAt(int index) const;
    Acad::ErrorStatus setShapeScaleAt(int index, double scale);
    double shapeRotationAt(int index) const;
    Acad::ErrorStatus setShapeRotationAt(int index, double rotation);
    bool shapeIsUcsOrientedAt(int index) const;
    Acad::ErrorStatus setShapeIsUcsOrientedAt(int index, bool absolute);
    // The text of a text element; the empty text for others. Valid while the record is open.
    Acad::ErrorStatus textAt(int index, const wchar_t*& text) const;
    Acad::ErrorStatus setTextAt(int index, const wchar_t* text);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        v.text(3, self.m_comments);
        v.int16(72, self.m_alignment);
        v.real(40, self.m_patternLength);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    bool isNameFixed() const override;
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    struct Dash {
        double length = 0.0;
        AcDbObjectId styleId;
        Adesk::Int16 shapeNumber = 0;
        double scale = 1.0;
        double rotation = 0.0;
        AcGeVector2d offset;
        bool absoluteRotation = false;
        std::wstring text;
    };

    Adesk::Int16 dxfFlags(const Dash& dash) const;
    const Dash* dashAt(int index) const;
    // Changes one dash through change(dash); eInvalidIndex for a bad index.
    template <class Change>
    Acad::ErrorStatus changeDash(int index, Change change);

    std::wstring m_comments;
    Adesk::Int16 m_alignment = 65;
    double m_patternLength = 0.0;
    bool m_scaledToFit = false;
    std::vector<Dash> m_dashes;
};

class DRAWHOST_API AcDbLinetypeTableIterator
    : public AcDbSymbolTableIteratorOf<AcDbLinetypeTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The linetype table: linetypes by name; "ByBlock", "ByLayer" and "Continuous" are always there.
class DRAWHOST_API AcDbLinetypeTable
    : public AcDbSymbolTableOf<AcDbLinetypeTableRecord, AcDbLinetypeTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbLinetypeTable);
    AcDbLinetypeTable() = default;
    ~AcDbLinetypeTable() override = default;
};
