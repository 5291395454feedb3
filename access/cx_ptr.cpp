// CxPtr<T>: the member definitions and the 26 instantiations. Only this file instantiates the
// template, so every client shares the module's one copy of each.
#include "kestrel/access/cx_ptr.h"

#include <type_traits>

#include "kestrel/host/app/doc_lock.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/spline.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/rx/class.h"

namespace {

// The host's open for T: entities through acdbOpenAcDbEntity, everything else class-checked.
template <class T>
Acad::ErrorStatus openAs(AcDbObject*& object, const AcDbObjectId& id, AcDb::OpenMode mode) {
    if constexpr (std::is_same_v<T, AcDbEntity>) {
        AcDbEntity* entity = nullptr;
        const Acad::ErrorStatus status = acdbOpenAcDbEntity(entity, id, mode, false);
        object = entity;
        return status;
    } else {
        return acdbOpenAcDbObject(object, id, mode, T::desc(), false);
    }
}

// True when the object's runtime class is T or derives from it.
template <class T>
bool isT(const AcDbObject* object) {
    const AcRxClass* cls = object->isA();
    return cls != nullptr && cls->isDerivedFrom(T::desc());
}

}  // namespace

template <class T>
CxPtr<T>::CxPtr() = default;

template <class T>
CxPtr<T>::CxPtr(const AcDbObjectId& id, AcDb::OpenMode mode, bool withLock) {
    if (withLock) {
        AcAxDocLock lock(id, AcAxDocLock::kNormal);
        openById(id, mode);
    } else {
        openById(id, mode);
    }
}

template <class T>
CxPtr<T>::CxPtr(std::int64_t* name, AcDb::OpenMode mode) {
    AcDbObjectId id;
    acdbGetObjectId(id, name);
    openById(id, mode);
}

template <class T>
CxPtr<T>::~CxPtr() {
    if (m_object != nullptr) {
        m_object->close();
        m_object = nullptr;
    }
}

template <class T>
CxPtr<T>& CxPtr<T>::operator=(CxPtr& other) {
    return *this;
}

template <class T>
CxPtr<T>& CxPtr<T>::operator=(T* object) {
    return *this;
}

template <class T>
Acad::ErrorStatus CxPtr<T>::close() {
    if (m_object == nullptr) {
        return Acad::eOk;
    }
    const Acad::ErrorStatus status = m_object->close();
    m_object = nullptr;
    return status;
}

template <class T>
Acad::ErrorStatus CxPtr<T>::upgradeOpen() {
    m_status = m_object != nullptr ? m_object->upgradeOpen() : Acad::eNullObjectPointer;
    if (m_status == Acad::eOk || m_status == Acad::eWasOpenForWrite) {
        m_mode = AcDb::kForWrite;
    }
    return m_status;
}

template <class T>
Acad::ErrorStatus CxPtr<T>::downgradeOpen() {
    m_status = m_object != nullptr ? m_object->downgradeOpen() : Acad::eNullObjectPointer;
    if (m_status == Acad::eOk || m_status == Acad::eWasOpenForRead) {
        m_mode = AcDb::kForRead;
    }
    return m_status;
}

template <class T>
void CxPtr<T>::adopt(AcDbObject* opened) {
    // The class test runs before the cast, so a T* never points at anything but a T.
    if (opened != nullptr && !isT<T>(opened)) {
        opened->close();
        opened = nullptr;
        m_status = Acad::eNotThatKindOfClass;
    }
    m_object = static_cast<T*>(opened);
}

template <class T>
void CxPtr<T>::openById(const AcDbObjectId& id, AcDb::OpenMode mode) {
    AcDbObject* opened = nullptr;
    m_status = openAs<T>(opened, id, mode);
    adopt(opened);
    m_mode = mode;
}

template class CxPtr<AcDb2LineAngularDimension>;
template class CxPtr<AcDb2dPolyline>;
template class CxPtr<AcDb3PointAngularDimension>;
template class CxPtr<AcDb3dPolyline>;
template class CxPtr<AcDbArc>;
template class CxPtr<AcDbAttribute>;
template class CxPtr<AcDbBlockReference>;
template class CxPtr<AcDbCircle>;
template class CxPtr<AcDbDictionary>;
template class CxPtr<AcDbDimStyleTable>;
template class CxPtr<AcDbEllipse>;
template class CxPtr<AcDbEntity>;
template class CxPtr<AcDbFace>;
template class CxPtr<AcDbLayerTableRecord>;
template class CxPtr<AcDbLine>;
template class CxPtr<AcDbLinetypeTable>;
template class CxPtr<AcDbPoint>;
template class CxPtr<AcDbPolyline>;
template class CxPtr<AcDbRay>;
template class CxPtr<AcDbRotatedDimension>;
template class CxPtr<AcDbSolid>;
template class CxPtr<AcDbTable>;
template class CxPtr<AcDbText>;
template class CxPtr<AcDbTextStyleTable>;
template class CxPtr<AcDbHatch>;
template class CxPtr<AcDbSpline>;
