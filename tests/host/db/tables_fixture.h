// Shared by the dictionary, Xrecord and table tests: a default drawing made the working database,
// a check that every test leaves nothing open and no contract violation, scoped closing of
// opened objects, and filing round trips through the memory and item-list filers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace tables_test {

using testsupport::CloseObject;
using testsupport::Held;
using testsupport::open;

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::clearContractViolations();
        m_db = std::make_unique<AcDbDatabase>(true, false);
        acdbHostApplicationServices()->setWorkingDatabase(m_db.get());
    }

    void TearDown() override {
        testsupport::expectHostClean();
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        m_db.reset();
    }

    AcDbDatabase* db() const { return m_db.get(); }

private:
    std::unique_ptr<AcDbDatabase> m_db;
};

// Files source out through a memory filer and reads it into target.
inline Acad::ErrorStatus dwgCopy(const AcDbObject& source, AcDbObject& target,
                                 AcDb::FilerType type = AcDb::kCopyFiler) {
    host::DwgMemoryFiler filer(type, source.database());
    Acad::ErrorStatus status = source.dwgOutFields(&filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer.rewind();
    return target.dwgInFields(&filer);
}

// The groups source's dxfOutFields writes.
inline host::DxfItemList dxfItems(const AcDbObject& source, AcDbDatabase* db) {
    host::DxfItemFiler filer(db);
    EXPECT_EQ(source.dxfOutFields(&filer), Acad::eOk) << wideToUtf8(filer.errorMessage());
    return filer.takeItems();
}

// The groups source writes without its handle and owner (5, 330): a copy outside the database
// has neither, so these are what a copy must reproduce.
inline host::DxfItemList stateItems(const AcDbObject& source, AcDbDatabase* db) {
    host::DxfItemList items = dxfItems(source, db);
    std::erase_if(items,
                  [](const host::DxfItem& item) { return item.code == 5 || item.code == 330; });
    return items;
}

// Reads items into target with dxfInFields; the filer's message goes to the failure output.
inline Acad::ErrorStatus dxfRead(AcDbObject& target, host::DxfItemList items, AcDbDatabase* db) {
    host::DxfItemFiler filer(std::move(items), db);
    const Acad::ErrorStatus status = target.dxfInFields(&filer);
    const std::wstring message = filer.errorMessage();
    EXPECT_TRUE(status == Acad::eOk || !message.empty()) << "a refusal without a message";
    return status;
}

inline host::DxfItem text(int code, const wchar_t* value) {
    return host::DxfItem{code, std::wstring(value)};
}
inline host::DxfItem integer(int code, std::int64_t value) {
    return host::DxfItem{code, value};
}
inline host::DxfItem real(int code, double value) {
    return host::DxfItem{code, value};
}
// A real a class files as an angle (in radians).
inline host::DxfItem angle(int code, double value) {
    host::DxfItem item{code, value};
    item.angle = true;
    return item;
}

}  // namespace tables_test
