// Shared by the database-core tests: a fixture whose default drawing is the working database and
// which fails every test that leaves an object open or makes the host note a contract violation;
// a scoped close; and two classes defined outside the host the way a client module defines them
// (one registered with newAcRxClass and a pseudo-constructor, one with the class macros).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace dbtest {

// Closes a database-resident object, deletes one that never got into a database.
using testsupport::CloseObject;
using testsupport::Held;
using testsupport::open;

// A module-style object class: one text and a format version, filed like a client class
// (version first, refusing newer versions with 301). Registered through newAcRxClass by
// registerNote(); it answers isA() by name, as such a class does.
class Note : public AcDbObject {
public:
    static constexpr Adesk::UInt32 kVersion = 1;

    static AcRxClass* desc() { return AcRxClass::cast(acrxClassDictionary->at(L"DbTestNote")); }
    AcRxClass* isA() const override { return desc(); }
    static AcRxObject* create() { return new Note(); }

    const std::wstring& text() const {
        assertReadEnabled();
        return m_text;
    }
    Acad::ErrorStatus setText(const std::wstring& text) {
        const Acad::ErrorStatus status = requireWrite();
        if (status == Acad::eOk) {
            m_text = text;
        }
        return status;
    }
    // How often a state was read back (undo, redo, copies).
    int restored = 0;
    // Called after each read-back, as a module's notification would be.
    static inline std::function<void()> onRestored;
    // Makes reading a state fail, as a corrupt or newer state would.
    static inline bool failReading = false;

    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

private:
    std::wstring m_text;
};

// Registers Note (idempotent) and rebuilds the class hierarchy.
AcRxClass* registerNote();

// A macro-defined entity class with one point.
class DbTestMarker : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(DbTestMarker);
    DbTestMarker() = default;

    AcGePoint3d position() const {
        assertReadEnabled();
        return m_position;
    }
    Acad::ErrorStatus setPosition(const AcGePoint3d& position) {
        const Acad::ErrorStatus status = requireWrite();
        if (status == Acad::eOk) {
            m_position = position;
        }
        return status;
    }

    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

private:
    AcGePoint3d m_position;
};

// A default drawing as the working database; fails the test that leaves anything open or
// causes a contract violation.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerNote();
        host::clearContractViolations();
        m_db = std::make_unique<AcDbDatabase>(true, false);
        acdbHostApplicationServices()->setWorkingDatabase(m_db.get());
    }

    void TearDown() override {
        Note::onRestored = nullptr;
        Note::failReading = false;
        testsupport::expectHostClean();
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
        m_db.reset();
    }

    AcDbDatabase* db() const { return m_db.get(); }

    // Adds a new Note with text to the database (closed again); its id.
    AcDbObjectId addNote(const std::wstring& text, AcDbDatabase* target = nullptr);
    // Appends a new DbTestMarker at x to model space (closed again); its id.
    AcDbObjectId addMarker(double x);
    // The text of a Note, read through an open for read.
    std::wstring noteText(AcDbObjectId id);
    // Sets the text of a Note through an open for write.
    void setNoteText(AcDbObjectId id, const std::wstring& text);

    std::unique_ptr<AcDbDatabase> m_db;
};

}  // namespace dbtest
