// The drawing-services tests' fixture: the shared document fixture, whose tests also leave no
// lock level or target space behind; a helper that adds blocks, and whether an object opens for
// write.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "common/module_state.h"
#include "kestrel/drawing/doc_lock.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/harness.h"
#include "tests/support/document_test.h"
#include "tests/support/test_folder.h"

namespace drawing_test {

class DrawingTest : public testsupport::DocumentTest {
protected:
    void TearDown() override {
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
        CVLKCDocLock::m_LockCounter = 0;
        EXPECT_EQ(kestrel::targetSpaceName(), CString(ACDB_MODEL_SPACE));
        kestrel::targetSpaceName() = ACDB_MODEL_SPACE;
        DocumentTest::TearDown();
    }

    // Adds an empty block definition called name to database (the working one by default).
    AcDbObjectId addBlock(const wchar_t* name, AcDbDatabase* database = nullptr) {
        return testsupport::addRecord<AcDbBlockTable>(database != nullptr ? database : db(),
                                                      new AcDbBlockTableRecord(), name);
    }
};

// Whether id can be opened for write now (it is opened and closed again).
inline bool writable(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, id, AcDb::kForWrite) != Acad::eOk) {
        return false;
    }
    object->close();
    return true;
}

}  // namespace drawing_test
