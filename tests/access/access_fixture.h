// The object-access tests' fixture: a new document whose database is the working database, and
// the checks every test ends with (nothing left open, no contract violation, every document
// closed); helpers that add closed objects to the drawing.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/host_checks.h"

namespace access_test {

class AccessTest : public ::testing::Test {
public:
    AcDbDatabase* db() const { return m_db; }

    // Appends entity to the block record (model space by default), closes it and returns its id;
    // the test fails when the block refuses it.
    AcDbObjectId append(AcDbEntity* entity, AcDbObjectId block = AcDbObjectId::kNull) {
        return testsupport::appendEntity(entity, block.isNull() ? m_db->modelSpaceId() : block);
    }

protected:
    void SetUp() override {
        ASSERT_TRUE(host::documents().empty());
        host::clearContractViolations();
        host::newDocument();
        m_db = acdbHostApplicationServices()->workingDatabase();
        ASSERT_NE(m_db, nullptr);
        host::resetDocumentLockCalls();
    }

    void TearDown() override { testsupport::expectHostClean(); }

private:
    AcDbDatabase* m_db = nullptr;
};

// How many objects are open now.
inline std::size_t openCount() {
    return host::openObjects().size();
}

}  // namespace access_test
