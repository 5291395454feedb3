// Shared by the test suites: the end-of-test checks every suite makes on the host (nothing left
// open, documents closed, no contract violation), the audit of a drawing as it would be saved,
// and appending an entity to a block record.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/dxf/drawing_audit.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/testing.h"
#include "kestrel/platform/utf8.h"

namespace testsupport {

// Fails the test for objects left open or contract violations; closes every document.
inline void expectHostClean() {
    EXPECT_TRUE(host::nothingLeftOpen());
    EXPECT_EQ(host::closeAllDocuments(), Acad::eOk);
}

// Fails the test for each rule db would break as saved, naming the rule and the object.
inline void expectSoundDrawing(AcDbDatabase* db) {
    for (const host::AuditFinding& finding : host::auditDrawing(db)) {
        ADD_FAILURE() << "the saved drawing breaks a rule: "
                      << wideToUtf8(host::auditCodeName(finding.code)) << ": "
                      << wideToUtf8(finding.text());
    }
}

// Appends entity to the block record block, closes it and returns its id; the test fails (and
// the entity is deleted) when the block refuses it.
inline AcDbObjectId appendEntity(AcDbEntity* entity, AcDbObjectId block) {
    AcDbBlockTableRecord* record = nullptr;
    AcDbObjectId id;
    EXPECT_EQ(acdbOpenObject(record, block, AcDb::kForWrite), Acad::eOk);
    if (record == nullptr) {
        delete entity;
        return id;
    }
    EXPECT_EQ(record->appendAcDbEntity(id, entity), Acad::eOk);
    record->close();
    if (id.isNull()) {
        delete entity;
    } else {
        entity->close();
    }
    return id;
}

}  // namespace testsupport
