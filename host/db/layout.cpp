// AcDbLayout: accessors and filing (plot settings, then the layout, as two DXF subclasses).
#include "kestrel/host/db/layout.h"

#include "kestrel/host/db/entity_support.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbLayout, AcDbObject, 0, 0, 0, LAYOUT, DrawHost);

namespace {
constexpr const wchar_t* kPlotSettingsSubclass = L"AcDbPlotSettings";
constexpr const wchar_t* kLayoutSubclass = L"AcDbLayout";
}  // namespace

Acad::ErrorStatus AcDbLayout::getLayoutName(const ACHAR*& name) const {
    name = host::readField(this, m_name).c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayout::setLayoutName(const ACHAR* name) {
    if (name == nullptr) {
        return Acad::eNullPtr;
    }
    return *name == L'\0' ? Acad::eInvalidInput : host::writeField(this, m_name, name);
}

int AcDbLayout::getTabOrder() const {
    return host::readField(this, m_tabOrder);
}

Acad::ErrorStatus AcDbLayout::setTabOrder(int order) {
    if (order < 0 || order > 0x7FFF) {
        return Acad::eInvalidInput;
    }
    return host::writeField(this, m_tabOrder, order);
}

AcDbObjectId AcDbLayout::getBlockTableRecordId() const {
    return host::readField(this, m_blockId);
}

Acad::ErrorStatus AcDbLayout::setBlockTableRecordId(AcDbObjectId id) {
    return host::writeField(this, m_blockId, id);
}

void AcDbLayout::getLimits(AcGePoint2d& min, AcGePoint2d& max) const {
    min = host::readField(this, m_limitsMin);
    max = m_limitsMax;
}

Acad::ErrorStatus AcDbLayout::setLimits(const AcGePoint2d& min, const AcGePoint2d& max) {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_limitsMin = min;
        m_limitsMax = max;
    }
    return status;
}

Acad::ErrorStatus AcDbLayout::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbObject>(*this, filer);
}

Acad::ErrorStatus AcDbLayout::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbObject>(*this, filer);
}

Acad::ErrorStatus AcDbLayout::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfInSubclassAs<PlotSettingsFields>(
            filer, kPlotSettingsSubclass, *this, [](const host::DxfItem&) { return false; });
    }
    if (status == Acad::eOk) {
        status = host::dxfInSubclassAs<LayoutFields>(filer, kLayoutSubclass, *this,
                                                     [](const host::DxfItem&) { return false; });
    }
    return status;
}

Acad::ErrorStatus AcDbLayout::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfOutSubclassAs<PlotSettingsFields>(filer, kPlotSettingsSubclass, *this);
    }
    return status == Acad::eOk ? host::dxfOutSubclassAs<LayoutFields>(filer, kLayoutSubclass, *this)
                               : status;
}
