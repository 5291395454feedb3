// The editor tests' fixture: a fresh current document per test, with model-space helpers, and
// the checks every test ends with (nothing left open, no selection set left, no input left).
#pragma once

#include <gtest/gtest.h>

#include "kestrel/host/app/document.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/harness.h"
#include "tests/support/host_checks.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::clearCommandLine();
        host::clearScreen();
        host::clearInput();
        m_doc = host::newDocument();
        m_db = m_doc->database();
    }

    void TearDown() override {
        EXPECT_EQ(host::selectionSetCount(), 0);
        EXPECT_EQ(host::pendingInput(), 0);
        host::clearInput();
        testsupport::expectHostClean();
    }

    // Appends entity to model space and closes it; its id.
    AcDbObjectId append(AcDbEntity* entity) {
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(m_db->getBlockTable(table, AcDb::kForRead), Acad::eOk);
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(table->getAt(L"*Model_Space", space, AcDb::kForWrite), Acad::eOk);
        table->close();
        AcDbObjectId id;
        EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
        entity->close();
        space->close();
        return id;
    }

    AcDbObjectId addLine(const AcGePoint3d& start, const AcGePoint3d& end) {
        return append(new AcDbLine(start, end));
    }

    AcDbObjectId addCircle(const AcGePoint3d& center, double radius) {
        return append(new AcDbCircle(center, AcGeVector3d::kZAxis, radius));
    }

    AcApDocument* m_doc = nullptr;
    AcDbDatabase* m_db = nullptr;
};
