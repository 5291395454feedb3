// CxEntity<T>: opening and the store members, which hand the wrapper's fields to the XData and
// extension-dictionary stores. Only this file instantiates the template (21 classes).
#include "kestrel/access/cx_entity.h"

#include <variant>

#include "access/extended_data_store.h"
#include "access/extension_dictionary_store.h"
#include "access/record_store.h"
#include "kestrel/access/entity_fields.h"
#include "kestrel/access/store_codes.h"
#include "kestrel/host/db/database.h"
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
#include "kestrel/host/db/handle.h"
#include "kestrel/host/db/open.h"

namespace {

using kestrel::EntityFields;
using kestrel::ItemValue;
using kestrel::RecordOutput;
using kestrel::XDataOutput;

template <class Value>
ItemValue itemValue(Value value) {
    return ItemValue(std::in_place_type<Value>, value);
}

}  // namespace

template <class T>
CxEntity<T>::CxEntity() = default;

template <class T>
CxEntity<T>::CxEntity(const AcDbObjectId& id, AcDb::OpenMode mode) {
    open(id, mode);
}

template <class T>
CxEntity<T>::CxEntity(const wchar_t* handle, AcDb::OpenMode mode) {
    open(handle, mode);
}

template <class T>
CxEntity<T>::CxEntity(std::int64_t* name, AcDb::OpenMode mode) {
    open(name, mode);
}

template <class T>
CxEntity<T>& CxEntity<T>::operator=(CxEntity& other) {
    return *this;
}

template <class T>
Acad::ErrorStatus CxEntity<T>::open(const AcDbObjectId& id, AcDb::OpenMode mode) {
    return openEntity(id, mode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::open(const wchar_t* handle, AcDb::OpenMode mode) {
    AcDbObjectId id;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db != nullptr) {
        db->getAcDbObjectId(id, false, AcDbHandle(handle), 0);
    }
    return openEntity(id, mode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::open(std::int64_t* name, AcDb::OpenMode mode) {
    AcDbObjectId id;
    acdbGetObjectId(id, name);
    return openEntity(id, mode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::openEntity(const AcDbObjectId& id, AcDb::OpenMode mode) {
    this->close();
    this->m_mode = mode;
    AcDbEntity* entity = nullptr;
    this->m_status = acdbOpenAcDbEntity(entity, id, mode, false);
    this->adopt(entity);
    return this->m_status;
}

template <class T>
EntityFields CxEntity<T>::fields() {
    return EntityFields{this->m_object, this->m_status, this->m_mode};
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedWrite(const wchar_t* app, const wchar_t* value, bool add,
                                        bool atEnd, int groupCode) {
    return kestrel::writeXDataValue(fields(), app, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedWrite(const wchar_t* app, int value, bool add, bool atEnd,
                                        int groupCode) {
    return kestrel::writeXDataValue(fields(), app, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedWrite(const wchar_t* app, long value, bool add, bool atEnd,
                                        int groupCode) {
    return kestrel::writeXDataValue(fields(), app, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedWrite(const wchar_t* app, double value, bool add, bool atEnd,
                                        int groupCode) {
    return kestrel::writeXDataValue(fields(), app, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedWrite(const wchar_t* app, const AcGePoint3d& value, bool add,
                                        bool atEnd, int groupCode) {
    return kestrel::writeXDataValue(fields(), app, itemValue(&value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedWrite(const wchar_t* app, resbuf* values, bool add, bool atEnd) {
    return kestrel::writeXDataList(fields(), app, values, add, atEnd);
}

template <class T>
bool CxEntity<T>::eedRead(const wchar_t* app, int& value, bool partialName) {
    return kestrel::readXDataValue(fields(), app, partialName, XDataOutput(&value));
}

template <class T>
bool CxEntity<T>::eedRead(const wchar_t* app, long& value, bool partialName) {
    return kestrel::readXDataValue(fields(), app, partialName, XDataOutput(&value));
}

template <class T>
bool CxEntity<T>::eedRead(const wchar_t* app, double& value, bool partialName) {
    return kestrel::readXDataValue(fields(), app, partialName, XDataOutput(&value));
}

template <class T>
bool CxEntity<T>::eedRead(const wchar_t* app, AcGePoint3d& value, bool partialName) {
    return kestrel::readXDataValue(fields(), app, partialName, XDataOutput(&value));
}

template <class T>
bool CxEntity<T>::eedRead(const wchar_t* app, CString& value, bool partialName) {
    return kestrel::readXDataValue(fields(), app, partialName, XDataOutput(&value));
}

template <class T>
bool CxEntity<T>::eedRead(const wchar_t* app, resbuf*& values, bool partialName) {
    return kestrel::readXDataList(fields(), app, partialName, values);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::eedErase(const wchar_t* app) {
    return kestrel::eraseXData(fields(), app);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, const wchar_t* value, bool add,
                                        bool atEnd, int groupCode) {
    return kestrel::writeEntityValue(fields(), key, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, int value, bool add, bool atEnd,
                                        int groupCode) {
    return kestrel::writeEntityValue(fields(), key, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, long value, bool add, bool atEnd,
                                        int groupCode) {
    return kestrel::writeEntityValue(fields(), key, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, double value, bool add, bool atEnd,
                                        int groupCode) {
    return kestrel::writeEntityValue(fields(), key, itemValue(value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, const AcGePoint3d& value, bool add,
                                        bool atEnd, int groupCode) {
    return kestrel::writeEntityValue(fields(), key, itemValue(&value), add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, const CVLKCBinaryData& value, bool add,
                                        bool atEnd, int groupCode) {
    return kestrel::writeEntityBinary(fields(), key, value, add, atEnd, groupCode);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctWrite(const wchar_t* key, resbuf* values, bool add, bool atEnd) {
    return kestrel::writeEntityRecord(fields(), key, values, add, atEnd);
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, int& value, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&value));
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, long& value, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&value));
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, double& value, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&value));
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, AcGePoint3d& value, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&value));
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, CString& value, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&value));
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, resbuf*& values, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&values));
}

template <class T>
bool CxEntity<T>::dctRead(const wchar_t* key, CVLKCBinaryData& value, bool partialKey) {
    return kestrel::readEntityRecord(fields(), key, partialKey, RecordOutput(&value));
}

template <class T>
Acad::ErrorStatus CxEntity<T>::dctErase(const wchar_t* key) {
    return kestrel::eraseEntityRecord(fields(), key);
}

template <class T>
resbuf* CxEntity<T>::xDataX(const wchar_t* app) {
    return kestrel::xDataContaining(this->m_object, app);
}

template <class T>
resbuf* CxEntity<T>::setEedRestype(resbuf* values) {
    return kestrel::convertValues(values, kestrel::kXDataCodes);
}

template <class T>
resbuf* CxEntity<T>::setDictionaryRestype(resbuf* values) {
    return kestrel::convertValues(values, kestrel::kRecordCodes);
}

template <class T>
Acad::ErrorStatus CxEntity<T>::openRecord(AcDbDictionary* dictionary, const wchar_t* key,
                                          bool partialKey, AcDbObject*& record) {
    this->m_status = kestrel::openRecord(dictionary, key, partialKey, this->m_mode, record);
    return this->m_status;
}

template class CxEntity<AcDb2LineAngularDimension>;
template class CxEntity<AcDb2dPolyline>;
template class CxEntity<AcDb3PointAngularDimension>;
template class CxEntity<AcDb3dPolyline>;
template class CxEntity<AcDbArc>;
template class CxEntity<AcDbAttribute>;
template class CxEntity<AcDbBlockReference>;
template class CxEntity<AcDbCircle>;
template class CxEntity<AcDbEllipse>;
template class CxEntity<AcDbEntity>;
template class CxEntity<AcDbFace>;
template class CxEntity<AcDbLine>;
template class CxEntity<AcDbPoint>;
template class CxEntity<AcDbPolyline>;
template class CxEntity<AcDbRay>;
template class CxEntity<AcDbRotatedDimension>;
template class CxEntity<AcDbSolid>;
template class CxEntity<AcDbTable>;
template class CxEntity<AcDbText>;
template class CxEntity<AcDbHatch>;
template class CxEntity<AcDbSpline>;
