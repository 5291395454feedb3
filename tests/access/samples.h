// One object of every class the typed pointers open, shared by the pointer suites:
// addSample<T>(test) names one in the test's drawing, which the sample builder fills with an
// entity of every kind on first use (host::addEveryKind), or one that every drawing has.
#pragma once

#include <vector>
#include <type_traits>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/sample_drawings.h"
#include "tests/access/access_fixture.h"
#include "tests/support/held_object.h"

namespace access_test {

// The first entity of exactly the class wanted in model space, or an attribute of the first
// block reference that has one; null when there is none.
inline AcDbObjectId firstOfClass(AcDbDatabase* db, AcRxClass* wanted) {
    for (AcDbObjectId id : testsupport::entitiesOf(db->modelSpaceId())) {
        auto entity = testsupport::open<AcDbEntity>(id);
        if (entity->isA() == wanted) {
            return id;
        }
        auto* reference = AcDbBlockReference::cast(entity.get());
        if (reference != nullptr && wanted == AcDbAttribute::desc()) {
            const std::vector<AcDbObjectId> attributes = testsupport::idsOf(reference->attributeIterator());
            if (!attributes.empty()) {
                return attributes.front();
            }
        }
    }
    return AcDbObjectId::kNull;
}

template <class T>
AcDbObjectId addSample(AccessTest& test) {
    AcDbDatabase* db = test.db();
    if constexpr (std::is_same_v<T, AcDbDictionary>) {
        return db->namedObjectsDictionaryId();
    } else if constexpr (std::is_same_v<T, AcDbDimStyleTable>) {
        return db->dimStyleTableId();
    } else if constexpr (std::is_same_v<T, AcDbLayerTableRecord>) {
        return db->layerZero();
    } else if constexpr (std::is_same_v<T, AcDbLinetypeTable>) {
        return db->linetypeTableId();
    } else if constexpr (std::is_same_v<T, AcDbTextStyleTable>) {
        return db->textStyleTableId();
    } else {
        if (!testsupport::open<AcDbRegAppTable>(db->regAppTableId())->has(host::kEveryKindApp)) {
            EXPECT_EQ(host::addEveryKind(*db), Acad::eOk);
        }
        // For the entity base class, a line stands for every kind.
        return firstOfClass(db, std::is_same_v<T, AcDbEntity> ? AcDbLine::desc() : T::desc());
    }
}

}  // namespace access_test
