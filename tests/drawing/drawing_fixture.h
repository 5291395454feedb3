// The drawing-services tests' fixture: a new document whose database is the working database,
// and the checks every test ends with (nothing left open, no contract violation, no lock level
// or target space left behind, every document closed); helpers that add closed entities.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/module_state.h"
#include "kestrel/drawing/doc_lock.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/host_checks.h"

namespace drawing_test {

class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host::documents().empty());
        host::clearContractViolations();
        host::clearCommandLine();
        host::newDocument();
        m_db = acdbHostApplicationServices()->workingDatabase();
        ASSERT_NE(m_db, nullptr);
        host::resetDocumentLockCalls();
    }

    void TearDown() override {
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
        CVLKCDocLock::m_LockCounter = 0;
        EXPECT_EQ(kestrel::targetSpaceName(), CString(ACDB_MODEL_SPACE));
        kestrel::targetSpaceName() = ACDB_MODEL_SPACE;
        testsupport::expectHostClean();
    }

    AcDbDatabase* db() const { return m_db; }

    // Appends entity to the block record (model space of the working database by default; any
    // database's block otherwise), closes it and returns its id; the test fails when the block
    // refuses it.
    AcDbObjectId append(AcDbEntity* entity, AcDbObjectId block = AcDbObjectId::kNull) {
        return testsupport::appendEntity(entity, block.isNull() ? m_db->modelSpaceId() : block);
    }

    // Adds an empty block definition called name to database (the working one by default).
    AcDbObjectId addBlock(const wchar_t* name, AcDbDatabase* database = nullptr) {
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ((database != nullptr ? database : m_db)->getSymbolTable(table, AcDb::kForWrite),
                  Acad::eOk);
        auto* record = new AcDbBlockTableRecord();
        record->setName(name);
        AcDbObjectId id;
        EXPECT_EQ(table->add(id, record), Acad::eOk);
        record->close();
        table->close();
        return id;
    }

    // The object id opened for read as T, or null; the caller closes it.
    template <class T>
    T* openRead(AcDbObjectId id) {
        T* object = nullptr;
        EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
        return object;
    }

private:
    AcDbDatabase* m_db = nullptr;
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

// A folder of the running test's own under the system's temporary folder, removed with the
// object (kept when the test failed, to look at what it wrote).
class TempFolder {
public:
    TempFolder()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("kestrel_drawing_" + std::to_string(getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::create_directories(m_folder);
    }
    ~TempFolder() {
        if (!::testing::Test::HasFailure()) {
            std::filesystem::remove_all(m_folder);
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, or a file name in it.
    const std::filesystem::path& folder() const { return m_folder; }
    std::wstring path(const char* name) const { return utf8ToWide((m_folder / name).string()); }

private:
    std::filesystem::path m_folder;
};

}  // namespace drawing_test
