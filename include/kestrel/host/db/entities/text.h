// AcDbText: a single line of text in its object coordinate system, measured with the host's
// font metric (host/gi/text_metric.h); host::TextFields, the data that attribute definitions and
// attributes share with it. Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/gi/text_metric.h"

namespace host {

// The filed data of a single-line text. Points are kept in OCS coordinates, as DXF files them.
// The DXF fields of the first "AcDbText" subclass: 39 thickness, 10 position, 40 height,
// 1 text, 50 rotation, 41 width factor, 51 oblique angle, 7 style name, 71 generation flags
// (2 backward, 4 upside down), 72 horizontal mode, 11 alignment point, 210 normal. The
// vertical mode is filed by each class in its own subclass (73 for texts, 74 for attributes).
struct DRAWHOST_API TextFields {
    AcGePoint3d position;
    AcGePoint3d alignment;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    double thickness = 0.0;
    double height = 0.2;
    std::wstring text;
    double rotation = 0.0;
    double widthFactor = 1.0;
    double oblique = 0.0;
    AcDbObjectId style;
    Adesk::Int16 generation = 0;
    Adesk::Int16 horizontal = 0;
    Adesk::Int16 vertical = 0;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.real(39, self.thickness);
        v.point3d(10, self.position);
        v.real(40, self.height);
        v.text(1, self.text);
        v.angle(50, self.rotation);
        v.real(41, self.widthFactor);
        v.angle(51, self.oblique);
        recordRef(v, 7, self.style);
        v.int16(71, self.generation);
        v.int16(72, self.horizontal);
        v.point3d(11, self.alignment);
        v.vector3d(210, self.normal);
    }
};

}  // namespace host

// Decisions where the host SDK leaves the behaviour to the host:
// - A new text has height 0.2, width factor 1, no style (appendAcDbEntity or the caller sets
//   one), left and baseline alignment.
// - Alignment: with left/baseline alignment the position places the text and the alignment point
//   is not used. Otherwise the alignment point places it and the position follows from the
//   metric: horizontally the point is at the left end, the middle or the right end of the
//   advance (kTextMid: middle); vertically at the baseline, the font's descent below it
//   (kTextBottom), half the height (kTextVertMid), the height (kTextTop), or the middle of the
//   text's box (kTextMid). kTextAlign and kTextFit run from the position to the alignment point:
//   the rotation follows the two points and the height (align) or the width factor (fit)
//   changes so that the advance spans them. The position is recomputed whenever a property it
//   depends on changes (adjustAlignment does it on demand too); DXF reading keeps both points
//   as read.
// - Height and width factor must be positive and finite, other values finite (eInvalidInput).
// - Extents: the metric's box of the text at its position, rotation, generation flags and
//   oblique angle (host/gi/text_metric.h), extruded by the thickness; an empty text has the
//   extents of its position.
// - Transforms that keep the plane's shape (moves, rotations, uniform scaling, reflections)
//   apply; a reflection mirrors the text in X (generation flag 2 toggles). Others give
//   eCannotScaleNonUniformly.
// - Stretch points: the position for left/baseline texts; the position and the alignment point
//   for aligned and fitted texts; the alignment point otherwise.
// - DXF: the first "AcDbText" subclass (host::TextFields), then 100 "AcDbText" and 73 vertical
//   mode.
class DRAWHOST_API AcDbText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbText);
    AcDbText() = default;
    // Invalid height or rotation values leave the defaults in their place.
    AcDbText(const AcGePoint3d& position, const ACHAR* text,
             AcDbObjectId style = AcDbObjectId::kNull, double height = 0.0, double rotation = 0.0);
    ~AcDbText() override = default;

    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    AcGePoint3d alignmentPoint() const;
    Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& point);
    bool isDefaultAlignment() const;
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the points keep their world positions.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    double oblique() const;
    Acad::ErrorStatus setOblique(double angle);
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    double height() const;
    Acad::ErrorStatus setHeight(double height);
    double widthFactor() const;
    Acad::ErrorStatus setWidthFactor(double factor);
    bool isMirroredInX() const;
    Acad::ErrorStatus mirrorInX(bool mirror);
    bool isMirroredInY() const;
    Acad::ErrorStatus mirrorInY(bool mirror);
    AcDb::TextHorzMode horizontalMode() const;
    // eInvalidInput for a value outside the enumeration.
    Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
    AcDb::TextVertMode verticalMode() const;
    Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);
    // A new[] copy of the text, released by the caller with acutDelString or delete[].
    ACHAR* textString() const;
    // The text itself, valid until the entity changes or is closed.
    const ACHAR* textStringConst() const;
    // eNullPtr for null.
    Acad::ErrorStatus setTextString(const ACHAR* text);
    AcDbObjectId textStyle() const;
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    // Recomputes the position from the alignment point (see the class comment); needs write.
    Acad::ErrorStatus adjustAlignment(const AcDbDatabase* database = nullptr);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    // Host use: the filed text data (attributes copy it from their definitions).
    const host::TextFields& textFields() const { return host::readField(this, m_text); }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        host::TextFields::visitFields(self.m_text, v);
        v.int16(kVerticalCode, self.m_text.vertical);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    static constexpr int kVerticalCode = 73;
    static constexpr int kAttributeVerticalCode = 74;

    // The first "AcDbText" subclass, shared with attribute definitions and attributes (which
    // file the vertical mode under their own code).
    Acad::ErrorStatus dxfOutTextSubclass(AcDbDxfFiler* filer) const;
    Acad::ErrorStatus dxfInTextSubclass(AcDbDxfFiler* filer);
    // Reads a subclass of vertical-mode code plus the fields of Self's list (Self::visitFields
    // over self), checking the values read.
    template <class Self>
    Acad::ErrorStatus dxfInWithVertical(AcDbDxfFiler* filer, const wchar_t* marker, Self& self,
                                        int verticalCode);
    // The DXF filing of attribute definitions and attributes: the entity, the first "AcDbText"
    // subclass, then marker with Self's fields and the vertical mode under code 74.
    template <class Self>
    Acad::ErrorStatus dxfInAttribute(AcDbDxfFiler* filer, const wchar_t* marker, Self& self);
    template <class Self>
    Acad::ErrorStatus dxfOutAttribute(AcDbDxfFiler* filer, const wchar_t* marker,
                                      const Self& self) const;
    // Ends a DXF read that found no second "AcDbText" subclass (files of some writers).
    bool atTextSubclassEnd(AcDbDxfFiler* filer) const;
    // The filed text data, for the derived classes.
    host::TextFields& mutableTextFields() { return m_text; }
    // Brings the position in line with the alignment point (no write check).
    void realign();
    // Applies the transform (validated first) to the text data.
    Acad::ErrorStatus transformText(const AcGeMatrix3d& xform);

private:
    // Sets a field after requireWrite and realigns; check refuses values (eInvalidInput).
    template <class T, class Check>
    Acad::ErrorStatus setAndRealign(T& field, const T& value, Check check);

    host::TextFields m_text;
};

template <class Self>
Acad::ErrorStatus AcDbText::dxfInWithVertical(AcDbDxfFiler* filer, const wchar_t* marker,
                                              Self& self, int verticalCode) {
    Adesk::Int16 vertical = m_text.vertical;
    const Acad::ErrorStatus status =
        host::dxfInSubclass(filer, marker, self, [&](const host::DxfItem& item) {
            if (item.code != verticalCode) {
                return false;
            }
            vertical = static_cast<Adesk::Int16>(item.integer());
            return true;
        });
    if (status != Acad::eOk) {
        return status;
    }
    if (vertical < AcDb::kTextBase || vertical > AcDb::kTextTop) {
        return filer->setError(Acad::eDxfReadFailed, L"%s: invalid vertical mode (%d)", marker,
                               static_cast<int>(vertical));
    }
    m_text.vertical = vertical;
    return Acad::eOk;
}

template <class Self>
Acad::ErrorStatus AcDbText::dxfInAttribute(AcDbDxfFiler* filer, const wchar_t* marker, Self& self) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = dxfInTextSubclass(filer);
    }
    return status == Acad::eOk ? dxfInWithVertical(filer, marker, self, kAttributeVerticalCode)
                               : status;
}

template <class Self>
Acad::ErrorStatus AcDbText::dxfOutAttribute(AcDbDxfFiler* filer, const wchar_t* marker,
                                            const Self& self) const {
    Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    if (status == Acad::eOk) {
        status = dxfOutTextSubclass(filer);
    }
    if (status == Acad::eOk) {
        status = host::dxfOutSubclass(filer, marker, self);
    }
    return status == Acad::eOk ? filer->writeInt16(kAttributeVerticalCode, m_text.vertical)
                               : status;
}
