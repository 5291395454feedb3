// CDrawingEntity: the record's accessors and the hand-over to its extractor.
#include "kestrel/geometry/drawing_entity.h"

#include <utility>

#include "kestrel/host/rx/class.h"

CDrawingEntity::CDrawingEntity() = default;

CDrawingEntity::CDrawingEntity(AcRxClass* entityClass, const wchar_t* uiName,
                               boost::shared_ptr<ICharacteristicPointsExtractor> extractor)
    : m_class(entityClass), m_uiName(uiName), m_extractor(std::move(extractor)) {}

AcRxClass* CDrawingEntity::isA() const {
    return m_class;
}

CString CDrawingEntity::GetDXFName() const {
    return m_class != nullptr ? CString(m_class->dxfName()) : CString();
}

CString CDrawingEntity::GetUIName() const {
    return m_uiName;
}

bool CDrawingEntity::operator==(const AcRxClass* entityClass) const {
    return m_class == entityClass;
}

bool CDrawingEntity::operator!=(const AcRxClass* entityClass) const {
    return !(*this == entityClass);
}

int CDrawingEntity::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return m_extractor ? m_extractor->ExtractCharacteristicPoints(entity, points) : 1;
}
