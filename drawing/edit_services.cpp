// CVLKCEdit: selection sets built per call, 4 x 4 editor matrices, extents gathered from the
// entities, and the view record filled from the editor's view variables.
#include "kestrel/drawing/edit_services.h"

#include <cmath>
#include <cstdint>

#include "kestrel/host/app/coordinates.h"
#include "kestrel/host/app/input.h"
#include "kestrel/host/app/screen.h"
#include "kestrel/host/app/selection_set.h"
#include "kestrel/host/app/system_variables.h"
#include "kestrel/host/app/view.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/deep_clone.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/undo.h"
#include "kestrel/host/db/view_table.h"
#include "kestrel/host/ge/extents.h"

namespace {

// The shared state of the interactive move (one at a time).
AcGePoint3d dragBase;
AcGePoint3d lastDragPoint;

// Windows smaller than this across become a 5 by 5 square.
constexpr double kSmallWindow = 1.42;
constexpr double kSquareSide = 5.0;
// acedRedraw mode that clears the temporary graphics.
constexpr int kRedrawClear = 4;

// A selection set of the entities, freed with the object; ids that do not convert are left out.
class SelectionSet {
public:
    explicit SelectionSet(const AcDbObjectIdArray& ids) {
        acedSSAdd(nullptr, nullptr, m_name);
        for (int i = 0; i < ids.length(); ++i) {
            ads_name entity = {0, 0};
            if (acdbGetAdsName(entity, ids[i]) == Acad::eOk) {
                acedSSAdd(entity, m_name, m_name);
            }
        }
    }
    ~SelectionSet() { acedSSFree(m_name); }
    SelectionSet(const SelectionSet&) = delete;
    SelectionSet& operator=(const SelectionSet&) = delete;

    const std::int64_t* name() const { return m_name; }

private:
    ads_name m_name = {0, 0};
};

void setIdentity(ads_matrix matrix) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            matrix[row][col] = row == col ? 1.0 : 0.0;
        }
    }
}

void setTranslation(ads_matrix matrix, const AcGeVector3d& offset) {
    matrix[0][3] = offset.x;
    matrix[1][3] = offset.y;
    matrix[2][3] = offset.z;
}

bool transform(const AcDbObjectIdArray& ids, ads_matrix matrix) {
    const SelectionSet set(ids);
    return acedXformSS(set.name(), matrix) == RTNORM;
}

AcDbObjectIdArray single(const AcDbObjectId& id) {
    AcDbObjectIdArray ids;
    ids.append(id);
    return ids;
}

// The extents of the entity id; false when it does not open or has none (opened tells which).
bool entityExtents(const AcDbObjectId& id, AcDbExtents& extents, bool& opened) {
    AcDbEntity* entity = nullptr;
    opened = acdbOpenAcDbEntity(entity, id, AcDb::kForRead) == Acad::eOk;
    if (!opened) {
        return false;
    }
    const bool found = entity->getGeomExtents(extents) == Acad::eOk;
    entity->close();
    return found;
}

// Whether an entity whose getGeomExtents fails still adds what that call left in its box.
enum class FailedExtents { kLeftOut, kAdded };

// The extents of every entity that opens and has them (or, kAdded, of every entity that opens).
AcDbExtents gatherExtents(const AcDbObjectIdArray& ids,
                          FailedExtents failed = FailedExtents::kLeftOut) {
    AcDbExtents all;
    for (int i = 0; i < ids.length(); ++i) {
        AcDbExtents one;
        bool opened = false;
        if (entityExtents(ids[i], one, opened) || (opened && failed == FailedExtents::kAdded)) {
            all.addExt(one);
        }
    }
    return all;
}

// The middle of extents in X and Y, at z 0.
AcGePoint3d flatMiddle(const AcDbExtents& extents) {
    const AcGePoint3d& low = extents.minPoint();
    const AcGePoint3d& high = extents.maxPoint();
    return AcGePoint3d((low.x + high.x) / 2, (low.y + high.y) / 2, 0.0);
}

int dragCallback(ads_point cursor, ads_matrix matrix) {
    setIdentity(matrix);
    acedRedraw(nullptr, kRedrawClear);
    lastDragPoint.set(cursor[0], cursor[1], cursor[2]);
    setTranslation(matrix, lastDragPoint - dragBase);
    const ads_point from = {lastDragPoint.x, lastDragPoint.y, lastDragPoint.z};
    const ads_point to = {dragBase.x, dragBase.y, dragBase.z};
    acedGrDraw(from, to, -1, 0);
    return RTNORM;
}

resbuf coordinateSystem(short number) {
    resbuf system{};
    system.restype = RTSHORT;
    system.resval.rint = number;
    return system;
}

// point translated between coordinate systems (0 world, 1 user, 2 display); status not looked at.
AcGePoint3d translated(const AcGePoint3d& point, short from, short to, int displacement = 0) {
    const resbuf source = coordinateSystem(from);
    const resbuf target = coordinateSystem(to);
    const ads_point in = {point.x, point.y, point.z};
    ads_point out = {point.x, point.y, point.z};
    acedTrans(in, &source, &target, displacement, out);
    return AcGePoint3d(out[0], out[1], out[2]);
}

// The variable's value as a point, a real or a short (status not looked at: a failed read gives
// zero).
resbuf variable(const wchar_t* name) {
    resbuf value{};
    acedGetVar(name, &value);
    return value;
}

AcGePoint3d pointVariable(const wchar_t* name) {
    const resbuf value = variable(name);
    return AcGePoint3d(value.resval.rpoint[0], value.resval.rpoint[1], value.resval.rpoint[2]);
}

Acad::ErrorStatus undoOfWorkingDatabase(AcDbUndoController*& controller) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    controller = db != nullptr ? db->undoController() : nullptr;
    return controller != nullptr ? Acad::eOk : Acad::eAmbiguousOutput;
}

}  // namespace

Acad::ErrorStatus CVLKCEdit::copyEntity(const AcDbObjectIdArray& ids, AcDbObjectIdArray& copies) {
    if (ids.isEmpty()) {
        return Acad::eAmbiguousOutput;
    }
    copies.removeAll();
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    for (int i = 0; i < ids.length(); ++i) {
        AcDbEntity* entity = nullptr;
        Acad::ErrorStatus status = acdbOpenAcDbEntity(entity, ids[i], AcDb::kForRead);
        if (status != Acad::eOk) {
            return status;
        }
        AcDbObjectId owner = entity->blockId();
        entity->close();
        AcDbObjectIdArray one = single(ids[i]);
        AcDbIdMapping mapping;
        status =
            db != nullptr ? db->deepCloneObjects(one, owner, mapping, false) : Acad::eNoDatabase;
        if (status != Acad::eOk) {
            return status;
        }
        AcDbIdMappingIter pairs(mapping);
        for (pairs.start(); !pairs.done(); pairs.next()) {
            if (pairs.isCloned()) {
                copies.append(pairs.value());
            }
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus CVLKCEdit::copyEntity(const AcDbObjectId& id, AcDbObjectId& copy) {
    AcDbObjectIdArray copies;
    const Acad::ErrorStatus status = copyEntity(single(id), copies);
    if (status == Acad::eOk && !copies.isEmpty()) {
        copy = copies[0];
    }
    return status;
}

bool CVLKCEdit::moveEntity(const AcDbObjectIdArray& ids, const AcGeVector3d& offset) {
    ads_matrix matrix;
    setIdentity(matrix);
    setTranslation(matrix, offset);
    return transform(ids, matrix);
}

bool CVLKCEdit::moveEntity(const AcDbObjectId& id, const AcGeVector3d& offset) {
    return moveEntity(single(id), offset);
}

bool CVLKCEdit::moveEntity(const AcDbObjectIdArray& ids, const AcGePoint3d& target) {
    const AcGePoint3d middle = flatMiddle(gatherExtents(ids));
    return moveEntity(ids, target - middle);
}

bool CVLKCEdit::moveEntity(const AcDbObjectId& id, const AcGePoint3d& target) {
    return moveEntity(single(id), target);
}

bool CVLKCEdit::moveEntity(const AcDbObjectIdArray& ids, const wchar_t* dragPrompt,
                           const AcGePoint3d& base, AcGePoint3d* endPoint) {
    dragBase = base;
    bool moved = false;
    {
        const SelectionSet set(ids);
        ads_point picked = {0, 0, 0};
        if (acedDragGen(set.name(), dragPrompt, 0, &dragCallback, picked) == RTNORM) {
            ads_matrix matrix;
            setIdentity(matrix);
            setTranslation(matrix, lastDragPoint - dragBase);
            moved = acedXformSS(set.name(), matrix) == RTNORM;
            if (endPoint != nullptr) {
                endPoint->set(picked[0], picked[1], picked[2]);
            }
        }
    }
    acedRedraw(nullptr, kRedrawClear);
    return moved;
}

bool CVLKCEdit::moveEntity(const AcDbObjectId& id, const wchar_t* dragPrompt,
                           const AcGePoint3d& base, AcGePoint3d* endPoint) {
    return moveEntity(single(id), dragPrompt, base, endPoint);
}

bool CVLKCEdit::moveEntity(const AcDbObjectIdArray& ids, const wchar_t* dragPrompt, bool askBase,
                           const wchar_t* basePrompt, AcGePoint3d* endPoint) {
    AcGePoint3d base;
    if (askBase) {
        ads_point picked = {0, 0, 0};
        if (acedGetPoint(nullptr, basePrompt, picked) != RTNORM) {
            return false;
        }
        base.set(picked[0], picked[1], picked[2]);
    } else {
        base = flatMiddle(gatherExtents(ids));
    }
    return moveEntity(ids, dragPrompt, base, endPoint);
}

bool CVLKCEdit::moveEntity(const AcDbObjectId& id, const wchar_t* dragPrompt, bool askBase,
                           const wchar_t* basePrompt, AcGePoint3d* endPoint) {
    return moveEntity(single(id), dragPrompt, askBase, basePrompt, endPoint);
}

bool CVLKCEdit::scaleEntity(const AcDbObjectIdArray& ids, const AcGeScale3d& scale) {
    AcDbExtents all;
    for (int i = 0; i < ids.length(); ++i) {
        AcDbExtents one;
        bool opened = false;
        const bool found = entityExtents(ids[i], one, opened);
        if ((opened && !found) || (!opened && i == 0)) {
            return false;
        }
        if (found) {
            all.addExt(one);
        }
    }
    return scaleEntity(ids, scale, flatMiddle(all));
}

bool CVLKCEdit::scaleEntity(const AcDbObjectId& id, const AcGeScale3d& scale) {
    return scaleEntity(single(id), scale);
}

bool CVLKCEdit::scaleEntity(const AcDbObjectIdArray& ids, const AcGeScale3d& scale,
                            const AcGePoint3d& base) {
    ads_matrix matrix;
    setIdentity(matrix);
    matrix[0][0] = scale.sx;
    matrix[1][1] = scale.sy;
    matrix[2][2] = scale.sz;
    setTranslation(matrix, AcGeVector3d(base.x * (1 - scale.sx), base.y * (1 - scale.sy),
                                        base.z * (1 - scale.sz)));
    return transform(ids, matrix);
}

bool CVLKCEdit::scaleEntity(const AcDbObjectId& id, const AcGeScale3d& scale,
                            const AcGePoint3d& base) {
    return scaleEntity(single(id), scale, base);
}

Acad::ErrorStatus CVLKCEdit::undoMark() {
    AcDbUndoController* controller = nullptr;
    const Acad::ErrorStatus status = undoOfWorkingDatabase(controller);
    return status == Acad::eOk ? controller->setMark() : status;
}

Acad::ErrorStatus CVLKCEdit::undoBack(unsigned short count) {
    AcDbUndoController* controller = nullptr;
    const Acad::ErrorStatus status = undoOfWorkingDatabase(controller);
    return status == Acad::eOk ? controller->undoBack(static_cast<int>(count)) : status;
}

Acad::ErrorStatus CVLKCEdit::zoom(const AcGePoint3d& corner, const AcGePoint3d& opposite) {
    AcGePoint3d second = opposite;
    if (corner.distanceTo(opposite) < kSmallWindow) {
        second.set(corner.x + kSquareSide, corner.y + kSquareSide, corner.z);
    }
    AcDbViewTableRecord view;
    const AcGeVector3d direction = translated(pointVariable(L"VIEWDIR"), 1, 0).asVector();
    const AcGePoint3d a = translated(AcGePoint3d(corner.x, corner.y, 0), 1, 2);
    const AcGePoint3d b = translated(AcGePoint3d(second.x, second.y, 0), 1, 2);
    view.setCenterPoint(AcGePoint2d((a.x + b.x) / 2, (a.y + b.y) / 2));
    view.setHeight(std::fabs(a.y - b.y));
    view.setWidth(std::fabs(a.x - b.x));
    view.setViewDirection(direction);
    view.setLensLength(variable(L"LENSLENGTH").resval.rreal);
    view.setViewTwist(variable(L"VIEWTWIST").resval.rreal);
    const double front = variable(L"FRONTZ").resval.rreal;
    const double back = variable(L"BACKZ").resval.rreal;
    view.setPerspectiveEnabled(false);
    view.setFrontClipEnabled(false);
    view.setBackClipEnabled(false);
    view.setFrontClipAtEye(false);
    const bool paper =
        variable(L"TILEMODE").resval.rint == 0 && variable(L"CVPORT").resval.rint == 1;
    view.setIsPaperspaceView(paper);
    view.setFrontClipDistance(paper ? 0.0 : front);
    view.setBackClipDistance(paper ? 0.0 : back);
    view.setTarget(translated(pointVariable(L"TARGET"), 1, 0));
    return acedSetCurrentView(&view, AcDbObjectId::kNull);
}

Acad::ErrorStatus CVLKCEdit::zoom(const AcDbExtents& extents) {
    return zoom(extents.maxPoint(), extents.minPoint());
}

Acad::ErrorStatus CVLKCEdit::zoom(const AcDbObjectIdArray& ids, double factor) {
    // getGeomExtents' status is not looked at: an entity without extents adds what the host
    // left in its box (nothing, as the host leaves it empty).
    AcDbExtents box = gatherExtents(ids, FailedExtents::kAdded);
    if (box.isEmpty()) {
        return Acad::eInvalidExtents;
    }
    if (box.maxPoint().distanceTo(box.minPoint()) < kSmallWindow) {
        const AcGePoint3d high = box.maxPoint();
        const AcGeVector3d half(kSquareSide / 2, kSquareSide / 2, 0);
        box = AcDbExtents(high - half, high + half);
    }
    box.transformBy(AcGeMatrix3d::scaling(factor, flatMiddle(box)));
    return zoom(box.maxPoint(), box.minPoint());
}

Acad::ErrorStatus CVLKCEdit::zoom(const AcDbObjectId& id, double factor) {
    return zoom(single(id), factor);
}
