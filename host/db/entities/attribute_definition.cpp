// AcDbAttributeDefinition and the attribute fields it shares with AcDbAttribute.
#include "kestrel/host/db/entities/attribute_definition.h"

#include <cstring>

ACRX_DXF_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText, 0, 0, 0, ATTDEF, DrawHost);

namespace {
constexpr const wchar_t* kSubclass = L"AcDbAttributeDefinition";
}  // namespace

namespace host {

Acad::ErrorStatus checkTag(const ACHAR* tag) {
    if (tag == nullptr) {
        return Acad::eNullPtr;
    }
    return tag[0] == L'\0' || std::wcschr(tag, L' ') != nullptr ? Acad::eInvalidInput : Acad::eOk;
}

ACHAR* copyText(const std::wstring& text) {
    auto* copy = new ACHAR[text.size() + 1];
    std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace host

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text,
                                                 const ACHAR* tag, const ACHAR* prompt,
                                                 AcDbObjectId style)
    : AcDbText(position, text, style) {
    if (host::checkTag(tag) == Acad::eOk) {
        m_attribute.tag = tag;
    }
    m_prompt = prompt != nullptr ? prompt : L"";
}

ACHAR* AcDbAttributeDefinition::prompt() const {
    return host::copyText(host::readField(this, m_prompt));
}

const ACHAR* AcDbAttributeDefinition::promptConst() const {
    return host::readField(this, m_prompt).c_str();
}

Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) {
    return prompt == nullptr ? Acad::eNullPtr : host::writeField(this, m_prompt, prompt);
}

ACHAR* AcDbAttributeDefinition::tag() const {
    return host::copyText(host::readField(this, m_attribute.tag));
}

const ACHAR* AcDbAttributeDefinition::tagConst() const {
    return host::readField(this, m_attribute.tag).c_str();
}

Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) {
    const Acad::ErrorStatus status = host::checkTag(tag);
    return status == Acad::eOk ? host::writeField(this, m_attribute.tag, tag) : status;
}

bool AcDbAttributeDefinition::isInvisible() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kInvisible) != 0;
}

Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool invisible) {
    return setFlag(host::AttributeFields::kInvisible, invisible);
}

bool AcDbAttributeDefinition::isConstant() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kConstant) != 0;
}

Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool constant) {
    return setFlag(host::AttributeFields::kConstant, constant);
}

bool AcDbAttributeDefinition::isVerifiable() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kVerifiable) != 0;
}

Acad::ErrorStatus AcDbAttributeDefinition::setVerifiable(bool verifiable) {
    return setFlag(host::AttributeFields::kVerifiable, verifiable);
}

bool AcDbAttributeDefinition::isPreset() const {
    return (host::readField(this, m_attribute.flags) & host::AttributeFields::kPreset) != 0;
}

Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool preset) {
    return setFlag(host::AttributeFields::kPreset, preset);
}

Acad::ErrorStatus AcDbAttributeDefinition::setFlag(Adesk::Int16 bit, bool on) {
    return host::writeField(this, m_attribute.flags,
                            on ? (m_attribute.flags | bit) : (m_attribute.flags & ~bit));
}

Adesk::UInt16 AcDbAttributeDefinition::fieldLength() const {
    return static_cast<Adesk::UInt16>(host::readField(this, m_attribute.fieldLength));
}

Acad::ErrorStatus AcDbAttributeDefinition::setFieldLength(Adesk::UInt16 length) {
    return host::writeField(this, m_attribute.fieldLength, length);
}

const host::AttributeFields& AcDbAttributeDefinition::attributeFields() const {
    return host::readField(this, m_attribute);
}

Acad::ErrorStatus AcDbAttributeDefinition::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbText>(*this, filer);
}

Acad::ErrorStatus AcDbAttributeDefinition::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbText>(*this, filer);
}

Acad::ErrorStatus AcDbAttributeDefinition::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInAttribute(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbAttributeDefinition::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutAttribute(filer, kSubclass, *this);
}
