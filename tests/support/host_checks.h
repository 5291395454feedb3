// Shared by the test suites: the end-of-test checks every suite makes on the host (nothing left
// open, documents closed, no contract violation), the audit of a drawing as it would be saved,
// adding a symbol table record, appending an entity to a block record, putting an Xrecord in a
// dictionary, point arrays and comparing points, and the ids of what a block or an owner holds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/drawing_audit.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/testing.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"

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

// Whether two points (or vectors) are within tol of each other; the failure names both.
inline ::testing::AssertionResult near(const AcGePoint3d& actual, const AcGePoint3d& expected,
                                       double tol = 1e-9) {
    if (actual.distanceTo(expected) <= tol) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << ::testing::PrintToString(actual) << " is not " << ::testing::PrintToString(expected);
}
inline ::testing::AssertionResult near(const AcGeVector3d& actual, const AcGeVector3d& expected,
                                       double tol = 1e-9) {
    return near(AcGePoint3d::kOrigin + actual, AcGePoint3d::kOrigin + expected, tol);
}

// The points of list as an array, in order.
inline AcGePoint3dArray pointArray(const std::vector<AcGePoint3d>& list) {
    AcGePoint3dArray array;
    for (const AcGePoint3d& point : list) {
        array.append(point);
    }
    return array;
}

// Names record and adds it to db's table of type Table; its id. The test fails (and the record
// is deleted) when the table refuses it; the record is closed otherwise.
template <class Table, class Record>
AcDbObjectId addRecord(AcDbDatabase* db, Record* record, const wchar_t* name) {
    AcDbObjectId id;
    Table* table = nullptr;
    EXPECT_EQ(db->getSymbolTable(table, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(record->setName(name), Acad::eOk);
    if (table != nullptr) {
        EXPECT_EQ(table->add(id, record), Acad::eOk);
        table->close();
    }
    if (id.isNull()) {
        delete record;
    } else {
        record->close();
    }
    return id;
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

// Puts a new Xrecord holding items (released after; null for none) under key in the dictionary
// dictionaryId, which must not be open; the record's id.
inline AcDbObjectId putRecord(AcDbObjectId dictionaryId, const wchar_t* key,
                              resbuf* items = nullptr) {
    Held<AcDbXrecord> record(new AcDbXrecord());
    EXPECT_EQ(record->setFromRbChain(items), Acad::eOk);
    acutRelRb(items);
    AcDbObjectId id;
    EXPECT_EQ(open<AcDbDictionary>(dictionaryId, AcDb::kForWrite)->setAt(key, record.get(), id),
              Acad::eOk);
    return id;
}

// The entities of the block record block, in its order; the test fails when it does not open.
inline std::vector<AcDbObjectId> entitiesOf(AcDbObjectId block) {
    std::vector<AcDbObjectId> ids;
    AcDbBlockTableRecord* record = nullptr;
    EXPECT_EQ(acdbOpenObject(record, block, AcDb::kForRead), Acad::eOk);
    AcDbBlockTableRecordIterator* it = nullptr;
    if (record != nullptr && record->newIterator(it) == Acad::eOk) {
        for (; !it->done(); it->step()) {
            it->getEntityId(ids.emplace_back());
        }
    }
    delete it;
    if (record != nullptr) {
        record->close();
    }
    return ids;
}

// The objects an owner's iterator walks (vertices, attributes), in order; the iterator is
// deleted.
inline std::vector<AcDbObjectId> idsOf(AcDbObjectIterator* iterator) {
    std::vector<AcDbObjectId> ids;
    for (iterator->start(); !iterator->done(); iterator->step()) {
        ids.push_back(iterator->objectId());
    }
    delete iterator;
    return ids;
}

}  // namespace testsupport
