// The editor's selection sets and their transformation. Transformations run inside one
// transaction per database, so that a refusal can put every entity back by aborting.
#include "kestrel/host/app/selection_set.h"

#include <algorithm>
#include <map>
#include <vector>

#include "kestrel/host/app/session.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/transaction.h"
#include "kestrel/host/rx/class.h"

namespace {

// Set names carry this tag where an entity name carries its database's serial number.
constexpr std::int64_t kSetTag = -1;
constexpr std::size_t kMaxSets = 128;

struct SelectionSets {
    std::map<std::int64_t, std::vector<AcDbObjectId>> sets;
    std::int64_t nextNumber = 1;
};

SelectionSets& selectionSets() {
    static auto* sets = new SelectionSets();
    return *sets;
}

// The set that name names, or null.
std::vector<AcDbObjectId>* setOf(const ads_name name) {
    if (name == nullptr || name[0] != kSetTag) {
        return nullptr;
    }
    auto found = selectionSets().sets.find(name[1]);
    return found != selectionSets().sets.end() ? &found->second : nullptr;
}

int newSet(const AcDbObjectId& first, ads_name result) {
    SelectionSets& all = selectionSets();
    if (all.sets.size() >= kMaxSets) {
        return RTERROR;
    }
    std::vector<AcDbObjectId> entities;
    if (!first.isNull()) {
        entities.push_back(first);
    }
    const std::int64_t number = all.nextNumber++;
    all.sets.emplace(number, std::move(entities));
    result[0] = kSetTag;
    result[1] = number;
    return RTNORM;
}

void addTo(std::vector<AcDbObjectId>& set, const AcDbObjectId& id) {
    if (std::find(set.begin(), set.end(), id) == set.end()) {
        set.push_back(id);
    }
}

// Transforms one entity inside its database's transaction.
bool transformOne(const AcDbObjectId& id, const AcGeMatrix3d& xform) {
    AcDbObject* object = nullptr;
    AcDbTransactionManager* manager = id.database()->transactionManager();
    if (manager->getObject(object, id, AcDb::kForWrite) != Acad::eOk) {
        return false;
    }
    AcDbEntity* entity = AcDbEntity::cast(object);
    return entity != nullptr && entity->transformBy(xform) == Acad::eOk;
}

AcGeMatrix3d matrixOf(ads_matrix m) {
    AcGeMatrix3d xform;
    for (unsigned int row = 0; row < 4; ++row) {
        for (unsigned int col = 0; col < 4; ++col) {
            xform(row, col) = m[row][col];
        }
    }
    return xform;
}

}  // namespace

int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result) {
    if (result == nullptr) {
        return RTERROR;
    }
    const AcDbObjectId id = ename != nullptr ? host::entityOfName(ename) : AcDbObjectId();
    if (ename != nullptr && id.isNull()) {
        return RTERROR;
    }
    if (sname == nullptr) {
        return newSet(id, result);
    }
    std::vector<AcDbObjectId>* set = setOf(sname);
    if (set == nullptr) {
        return RTERROR;
    }
    if (!id.isNull()) {
        addTo(*set, id);
    }
    result[0] = sname[0];
    result[1] = sname[1];
    return RTNORM;
}

int acedSSFree(const ads_name sname) {
    if (setOf(sname) == nullptr) {
        return RTERROR;
    }
    selectionSets().sets.erase(sname[1]);
    return RTNORM;
}

int acedSSLength(const ads_name sname, Adesk::Int32* len) {
    const std::vector<AcDbObjectId>* set = setOf(sname);
    if (set == nullptr || len == nullptr) {
        return RTERROR;
    }
    *len = static_cast<Adesk::Int32>(set->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, Adesk::Int32 i, ads_name entres) {
    const std::vector<AcDbObjectId>* set = setOf(ss);
    if (set == nullptr || entres == nullptr || i < 0 ||
        static_cast<std::size_t>(i) >= set->size()) {
        return RTERROR;
    }
    return acdbGetAdsName(entres, (*set)[static_cast<std::size_t>(i)]) == Acad::eOk ? RTNORM
                                                                                    : RTERROR;
}

int acedXformSS(const ads_name ssname, ads_matrix genmat) {
    const std::vector<AcDbObjectId>* set = setOf(ssname);
    if (set == nullptr || genmat == nullptr) {
        return RTERROR;
    }
    const AcGeMatrix3d xform = matrixOf(genmat);
    std::vector<AcDbDatabase*> started;
    bool ok = true;
    for (const AcDbObjectId& id : *set) {
        AcDbDatabase* db = id.database();
        if (db == nullptr) {
            ok = false;
            break;
        }
        if (std::find(started.begin(), started.end(), db) == started.end()) {
            db->transactionManager()->startTransaction();
            started.push_back(db);
        }
        if (!transformOne(id, xform)) {
            ok = false;
            break;
        }
    }
    for (auto it = started.rbegin(); it != started.rend(); ++it) {
        AcDbTransactionManager* manager = (*it)->transactionManager();
        if (ok) {
            manager->endTransaction();
        } else {
            manager->abortTransaction();
        }
    }
    return ok ? RTNORM : RTERROR;
}

namespace host {

AcDbObjectId entityOfName(const ads_name name) {
    AcDbObjectId id;
    if (name == nullptr || acdbGetObjectId(id, name) != Acad::eOk) {
        return AcDbObjectId();
    }
    const AcRxClass* cls = id.objectClass();
    if (cls == nullptr || !cls->isDerivedFrom(AcDbEntity::desc()) || id.isErased()) {
        return AcDbObjectId();
    }
    return id;
}

int selectionSetCount() {
    return static_cast<int>(selectionSets().sets.size());
}

}  // namespace host
