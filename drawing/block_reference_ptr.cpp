// CVLKCBlockReferencePtr's services: one attribute walk serves the five attribute members and
// the rotation; explode copies through the working database's deep clone.
#include "kestrel/drawing/block_reference_ptr.h"

#include <cwchar>
#include <memory>

#include "drawing/screen_marks.h"
#include "kestrel/drawing/attrib_ptr.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/deep_clone.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/ge/extents.h"
#include "kestrel/platform/wide_runtime.h"

namespace {

// The box of a reference is enlarged this many times about its middle before it is drawn.
constexpr double kMarkScale = 5.0;
// Boxes whose diagonal is shorter than this grow by kMarkGrowth on each side in x and y first.
constexpr double kMarkSmallBox = 0.1;
constexpr double kMarkGrowth = 1.41;

bool sameTagIgnoringCase(const wchar_t* tag, const AcDbAttribute* attribute) {
    return tag != nullptr && _wcsicmp(attribute->tagConst(), tag) == 0;
}

bool sameTag(const wchar_t* tag, const AcDbAttribute* attribute) {
    return tag != nullptr && wcscmp(attribute->tagConst(), tag) == 0;
}

// point turned by angle about the Z axis through center.
AcGePoint3d turned(const AcGePoint3d& point, double angle, const AcGePoint3d& center) {
    AcGeMatrix3d rotation;
    rotation.setToRotation(angle, AcGeVector3d::kZAxis, center);
    return AcGePoint3d(point).transformBy(rotation);
}

// Appends the ids of the entities of the block definition to ids: eOk, or the status of the
// definition's open or of its iterator's creation.
Acad::ErrorStatus entitiesOf(const AcDbObjectId& definitionId, AcDbObjectIdArray& ids) {
    AcDbObject* object = nullptr;
    Acad::ErrorStatus status = acdbOpenAcDbObject(object, definitionId, AcDb::kForRead, false);
    if (status != Acad::eOk) {
        return status;
    }
    auto* definition = AcDbBlockTableRecord::cast(object);
    AcDbBlockTableRecordIterator* iterator = nullptr;
    status = definition == nullptr ? Acad::eNotThatKindOfClass
                                   : definition->newIterator(iterator, true, true);
    if (status == Acad::eOk) {
        for (; !iterator->done(); iterator->step(true, true)) {
            AcDbObjectId id;
            if (iterator->getEntityId(id) == Acad::eOk) {
                ids.append(id);
            }
        }
        delete iterator;
    }
    object->close();
    return status;
}

}  // namespace

template <class Visitor>
void CVLKCBlockReferencePtr::walkAttributes(AcDb::OpenMode mode, Visitor visit) {
    std::unique_ptr<AcDbObjectIterator> iterator(m_object->attributeIterator());
    for (iterator->start(); !iterator->done(); iterator->step(false, true)) {
        AcDbAttribute* attribute = nullptr;
        m_status = m_object->openAttribute(attribute, iterator->objectId(), mode, false);
        const Visit next = visit(m_status == Acad::eOk ? attribute : nullptr);
        if (attribute != nullptr && next != Visit::kKeepOpen) {
            attribute->close();
        }
        if (next != Visit::kNext) {
            return;
        }
    }
}

Acad::ErrorStatus CVLKCBlockReferencePtr::openAttribute(const wchar_t* tag,
                                                        CVLKCAttribPtr& attribute) {
    if (m_object == nullptr) {
        return m_status;
    }
    walkAttributes(AcDb::kForWrite, [&](AcDbAttribute* found) {
        if (found == nullptr || !sameTagIgnoringCase(tag, found)) {
            return Visit::kNext;
        }
        attribute.close();
        attribute.m_object = found;
        attribute.m_status = m_status;
        attribute.m_mode = AcDb::kForWrite;
        return Visit::kKeepOpen;
    });
    return m_status;
}

CString CVLKCBlockReferencePtr::getAttributeText(const wchar_t* tag) {
    CString text;
    if (m_object == nullptr) {
        return text;
    }
    walkAttributes(AcDb::kForRead, [&](AcDbAttribute* found) {
        if (found == nullptr) {
            return Visit::kStop;
        }
        if (!sameTagIgnoringCase(tag, found)) {
            return Visit::kNext;
        }
        text = found->textStringConst();
        return Visit::kStop;
    });
    return text;
}

Acad::ErrorStatus CVLKCBlockReferencePtr::setAttributeText(const wchar_t* tag,
                                                           const wchar_t* text) {
    if (m_object == nullptr) {
        return m_status;
    }
    walkAttributes(AcDb::kForWrite, [&](AcDbAttribute* found) {
        if (found == nullptr || !sameTagIgnoringCase(tag, found)) {
            return Visit::kNext;
        }
        found->setTextString(text);
        return Visit::kStop;
    });
    return m_status;
}

int CVLKCBlockReferencePtr::getAllAttributeTag(CStringArray& tags) {
    if (m_object == nullptr) {
        return 0;
    }
    tags.RemoveAll();
    walkAttributes(AcDb::kForWrite, [&](AcDbAttribute* found) {
        if (found != nullptr) {
            tags.Add(CString(found->tagConst()));
        }
        return Visit::kNext;
    });
    return static_cast<int>(tags.GetSize());
}

AcDbObjectId CVLKCBlockReferencePtr::GetAttributeId(const wchar_t* tag) {
    AcDbObjectId id;
    if (m_object == nullptr) {
        return id;
    }
    walkAttributes(AcDb::kForRead, [&](AcDbAttribute* found) {
        if (found != nullptr && sameTag(tag, found)) {
            id = found->objectId();
        }
        return Visit::kNext;
    });
    return id;
}

Acad::ErrorStatus CVLKCBlockReferencePtr::setPosition(const AcGePoint3d& position) {
    if (m_object == nullptr || m_mode != AcDb::kForWrite) {
        return m_status = Acad::eNotOpenForWrite;
    }
    AcGeMatrix3d move;
    move.setTranslation(position - m_object->position());
    return m_status = m_object->transformBy(move);
}

Acad::ErrorStatus CVLKCBlockReferencePtr::setRotation(double angle) {
    m_status = Acad::eNotOpenForWrite;
    if (m_object == nullptr || m_mode != AcDb::kForWrite) {
        return m_status;
    }
    const double delta = angle - m_object->rotation();
    const Acad::ErrorStatus rotated = m_status = m_object->setRotation(angle);
    if (rotated != Acad::eOk) {
        return rotated;
    }
    const AcGePoint3d center = m_object->position();
    Acad::ErrorStatus refused = Acad::eOk;
    walkAttributes(AcDb::kForWrite, [&](AcDbAttribute* found) {
        if (found == nullptr) {
            refused = refused == Acad::eOk ? m_status : refused;
            return Visit::kNext;
        }
        found->setRotation(angle);
        found->setAlignmentPoint(turned(found->alignmentPoint(), delta, center));
        found->setPosition(turned(found->position(), delta, center));
        return Visit::kNext;
    });
    return m_status = refused == Acad::eOk ? rotated : refused;
}

Acad::ErrorStatus CVLKCBlockReferencePtr::explode(AcDbObjectIdArray& ids) {
    if (m_object == nullptr) {
        return m_status;
    }
    AcDbObjectId owner = m_object->blockId();
    const AcGeMatrix3d transform = m_object->blockTransform();
    if (!transform.isUniScaledOrtho(AcGeTol())) {
        return m_status;
    }
    AcDbObjectIdArray originals;
    if ((m_status = entitiesOf(m_object->blockTableRecord(), originals)) != Acad::eOk) {
        return m_status;
    }
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    if (database == nullptr) {
        return m_status = Acad::eNoWorkingDatabase;
    }
    AcDbIdMapping mapping;
    if ((m_status = database->deepCloneObjects(originals, owner, mapping, false)) != Acad::eOk) {
        return m_status;
    }
    ids.removeAll();
    AcDbIdMappingIter pairs(mapping);
    for (pairs.start(); !pairs.done(); pairs.next()) {
        if (pairs.isCloned()) {
            ids.append(pairs.value());
            AcDbEntity* copy = nullptr;
            if ((m_status = acdbOpenAcDbEntity(copy, pairs.value(), AcDb::kForWrite)) ==
                Acad::eOk) {
                copy->transformBy(transform);
                copy->close();
            }
        }
    }
    return m_status;
}

bool CVLKCBlockReferencePtr::mark(int color, int highlight) {
    if (m_object == nullptr) {
        return false;
    }
    AcDbExtents box;
    if (m_object->geomExtentsBestFit(box, AcGeMatrix3d::kIdentity) != Acad::eOk) {
        box.set(m_object->position(), m_object->position());
    }
    const AcGePoint3d low = box.minPoint();
    const AcGePoint3d high = box.maxPoint();
    const AcGePoint3d middle((low.x + high.x) / 2, (low.y + high.y) / 2, 0.0);
    if (high.distanceTo(low) < kMarkSmallBox) {
        box.addPoint({middle.x + kMarkGrowth, middle.y + kMarkGrowth, high.z});
        box.addPoint({middle.x - kMarkGrowth, middle.y - kMarkGrowth, low.z});
    }
    AcGeMatrix3d scaling;
    box.transformBy(scaling.setToScaling(kMarkScale, middle));
    const AcGePoint3d& min = box.minPoint();
    const AcGePoint3d& max = box.maxPoint();
    kestrel::drawVector(max, min, color, highlight);
    kestrel::drawVector({max.x, min.y, max.z}, {min.x, max.y, min.z}, color, highlight);
    return true;
}
