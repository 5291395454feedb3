// AcDbAttribute: the text a block reference owns for one attribute definition of its block
// (tag, value, flags). Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/attribute_definition.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - setAttributeFromBlock copies the definition's text data (its default text included), tag,
//   flags, field length, layer, linetype and colour, then applies the block transform; a
//   transform a text cannot take (eCannotScaleNonUniformly) leaves the attribute unchanged.
// - DXF: the first "AcDbText" subclass (AcDbText), then 100 "AcDbAttribute", 2 tag, 70 flags,
//   73 field length, 74 vertical mode.
class DRAWHOST_API AcDbAttribute : public AcDbText {
public:
    ACRX_DECLARE_MEMBERS(AcDbAttribute);
    AcDbAttribute() = default;
    // An invalid tag leaves the tag empty.
    AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                  AcDbObjectId style = AcDbObjectId::kNull);
    ~AcDbAttribute() override = default;

    // A new[] copy released by the caller; tagConst is valid while the entity is open.
    ACHAR* tag() const;
    const ACHAR* tagConst() const;
    // See host::checkTag.
    Acad::ErrorStatus setTag(const ACHAR* tag);
    bool isInvisible() const;
    Acad::ErrorStatus setInvisible(bool invisible);
    bool isConstant() const;
    bool isVerifiable() const;
    bool isPreset() const;
    Adesk::UInt16 fieldLength() const;
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);

    // See the class comment; eNullPtr for a null definition.
    Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                            const AcGeMatrix3d& blockTransform);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        host::AttributeFields::visitFields(self.m_attribute, v);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    host::AttributeFields m_attribute;
};
