// The editor tests' fixture: the shared document fixture with the screen and the scripted input
// cleared, whose tests also leave no selection set and no input behind; model-space helpers.
#pragma once

#include <gtest/gtest.h>

#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/harness.h"
#include "tests/support/document_test.h"

class EditorTest : public testsupport::DocumentTest {
protected:
    void SetUp() override {
        host::clearScreen();
        host::clearInput();
        DocumentTest::SetUp();
    }

    void TearDown() override {
        EXPECT_EQ(host::selectionSetCount(), 0);
        EXPECT_EQ(host::pendingInput(), 0);
        host::clearInput();
        DocumentTest::TearDown();
    }

    AcDbObjectId addLine(const AcGePoint3d& start, const AcGePoint3d& end) {
        return append(new AcDbLine(start, end));
    }

    AcDbObjectId addCircle(const AcGePoint3d& center, double radius) {
        return append(new AcDbCircle(center, AcGeVector3d::kZAxis, radius));
    }
};
