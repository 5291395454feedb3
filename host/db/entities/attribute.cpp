// AcDbAttribute: tag and flags, the copy from a definition, filing.
#include "kestrel/host/db/entities/attribute.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbAttribute, AcDbText, 0, 0, 0, ATTRIB, DrawHost);

namespace {
constexpr const wchar_t* kSubclass = L"AcDbAttribute";
}  // namespace

AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                             AcDbObjectId style)
    : AcDbText(position, text, style) {
    if (host::checkTag(tag) == Acad::eOk) {
        m_attribute.tag = tag;
    }
}

ACHAR* AcDbAttribute::tag() const {
    return host::copyText(host::readField(this, m_attribute.tag));
}

const ACHAR* AcDbAttribute::tagConst() const {
    return host::readField(this, m_attribute.tag).c_str();
}

Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) {
    const Acad::ErrorStatus status = host::checkTag(tag);
    return status == Acad::eOk ? host::writeField(this, m_attribute.tag, tag) : status;
}

bool AcDbAttribute::isInvisible() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kInvisible) != 0;
}

Acad::ErrorStatus AcDbAttribute::setInvisible(bool invisible) {
    const Adesk::Int16 bit = host::AttributeFields::kInvisible;
    return host::writeField(this, m_attribute.flags,
                            invisible ? (m_attribute.flags | bit) : (m_attribute.flags & ~bit));
}

bool AcDbAttribute::isConstant() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kConstant) != 0;
}

bool AcDbAttribute::isVerifiable() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kVerifiable) != 0;
}

bool AcDbAttribute::isPreset() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kPreset) != 0;
}

Adesk::UInt16 AcDbAttribute::fieldLength() const {
    return static_cast<Adesk::UInt16>(host::readField(this, m_attribute.fieldLength));
}

Acad::ErrorStatus AcDbAttribute::setFieldLength(Adesk::UInt16 length) {
    return host::writeField(this, m_attribute.fieldLength, length);
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                                       const AcGeMatrix3d& blockTransform) {
    if (definition == nullptr) {
        return Acad::eNullPtr;
    }
    Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    const host::TextFields before = textFields();
    mutableTextFields() = definition->textFields();
    status = transformText(blockTransform);
    if (status != Acad::eOk) {
        mutableTextFields() = before;
        return status;
    }
    m_attribute = definition->attributeFields();
    if (!definition->layerId().isNull()) {
        setLayer(definition->layerId());
    }
    if (!definition->linetypeId().isNull()) {
        setLinetype(definition->linetypeId());
    }
    setColor(definition->color());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbAttribute::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbText>(*this, filer);
}

Acad::ErrorStatus AcDbAttribute::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbText>(*this, filer);
}

Acad::ErrorStatus AcDbAttribute::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInAttribute(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbAttribute::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutAttribute(filer, kSubclass, *this);
}
