// AcDbAttributeDefinition: a text in a block definition that becomes an attribute of each block
// reference (tag, prompt, default text, flags); host::AttributeFields, what definitions and
// attributes share. Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/text.h"

namespace host {

// Tag, flags (1 invisible, 2 constant, 4 verify, 8 preset) and field length; DXF 2, 70, 73.
struct DRAWHOST_API AttributeFields {
    std::wstring tag;
    Adesk::Int16 flags = 0;
    Adesk::Int16 fieldLength = 0;

    static constexpr Adesk::Int16 kInvisible = 1;
    static constexpr Adesk::Int16 kConstant = 2;
    static constexpr Adesk::Int16 kVerifiable = 4;
    static constexpr Adesk::Int16 kPreset = 8;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.text(2, self.tag);
        v.int16(70, self.flags);
        v.int16(73, self.fieldLength);
    }
};

// A tag must not be null (eNullPtr), empty or hold a space (eInvalidInput).
DRAWHOST_API Acad::ErrorStatus checkTag(const ACHAR* tag);
// A new[] copy of text, released by the caller with acutDelString or delete[].
DRAWHOST_API ACHAR* copyText(const std::wstring& text);

}  // namespace host

// Decisions where the host SDK leaves the behaviour to the host:
// - Tags keep their spelling; see host::checkTag for what is refused.
// - DXF: the first "AcDbText" subclass (AcDbText), then 100 "AcDbAttributeDefinition", 3 prompt,
//   2 tag, 70 flags, 73 field length, 74 vertical mode.
class DRAWHOST_API AcDbAttributeDefinition : public AcDbText {
public:
    ACRX_DECLARE_MEMBERS(AcDbAttributeDefinition);
    AcDbAttributeDefinition() = default;
    // An invalid tag leaves the tag empty.
    AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                            const ACHAR* prompt, AcDbObjectId style = AcDbObjectId::kNull);
    ~AcDbAttributeDefinition() override = default;

    // New[] copies released by the caller; the Const forms are valid while the entity is open.
    ACHAR* prompt() const;
    const ACHAR* promptConst() const;
    // eNullPtr for null.
    Acad::ErrorStatus setPrompt(const ACHAR* prompt);
    ACHAR* tag() const;
    const ACHAR* tagConst() const;
    Acad::ErrorStatus setTag(const ACHAR* tag);
    bool isInvisible() const;
    Acad::ErrorStatus setInvisible(bool invisible);
    bool isConstant() const;
    Acad::ErrorStatus setConstant(bool constant);
    bool isVerifiable() const;
    Acad::ErrorStatus setVerifiable(bool verifiable);
    bool isPreset() const;
    Acad::ErrorStatus setPreset(bool preset);
    Adesk::UInt16 fieldLength() const;
    Acad::ErrorStatus setFieldLength(Adesk::UInt16 length);

    // Host use: the tag, flags and field length for attributes made from this definition.
    const host::AttributeFields& attributeFields() const;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.text(3, self.m_prompt);
        host::AttributeFields::visitFields(self.m_attribute, v);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    Acad::ErrorStatus setFlag(Adesk::Int16 bit, bool on);

    std::wstring m_prompt;
    host::AttributeFields m_attribute;
};
