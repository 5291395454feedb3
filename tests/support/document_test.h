// The fixture of the suites that work in a document: a new current document per test, whose
// database is the working database, with no contract violation, command-line text or lock call
// counted from before; every test ends with the host's end-of-test checks (nothing left open,
// no contract violation, every document closed).
#pragma once

#include <gtest/gtest.h>

#include "kestrel/host/app/document.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/harness.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace testsupport {

class DocumentTest : public ::testing::Test {
public:
    // The current document's database (a test may open another document as m_doc).
    AcDbDatabase* db() const { return m_doc->database(); }

    // Appends entity to the block record (model space by default), closes it and returns its id;
    // the test fails when the block refuses it.
    AcDbObjectId append(AcDbEntity* entity, AcDbObjectId block = AcDbObjectId::kNull) {
        return appendEntity(entity, block.isNull() ? db()->modelSpaceId() : block);
    }

protected:
    void SetUp() override {
        ASSERT_TRUE(host::documents().empty());
        host::clearContractViolations();
        host::clearCommandLine();
        m_doc = host::newDocument();
        ASSERT_EQ(db(), acdbHostApplicationServices()->workingDatabase());
        host::resetDocumentLockCalls();
    }
    void TearDown() override { expectHostClean(); }

    AcApDocument* m_doc = nullptr;
};

}  // namespace testsupport
