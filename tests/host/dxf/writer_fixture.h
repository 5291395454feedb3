// Shared by the DXF writer tests: a fixture that fails any test leaving an object open or making
// the host note a contract violation and gives each test a folder of its own; a drawing with
// something of every structure the writer handles; and helpers that look into written texts.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"
#include "tests/support/test_folder.h"

namespace writertest {

using testsupport::Held;
using testsupport::open;

// The ids of what buildDrawing made.
struct Drawing {
    AcDbObjectId line;        // model space, on "Walls", with XData of "KESTREL"
    AcDbObjectId circle;      // with an extension dictionary holding the Xrecord "DATA"
    AcDbObjectId xrecord;     // binary chunks, a text, a real, an angle (50), a pointer (340)
    AcDbObjectId arc;         // 30 to 120 degrees
    AcDbObjectId mtext;       // rotated by 0.5 radians
    AcDbObjectId polyline;    // LWPOLYLINE of three vertices
    AcDbObjectId polyline2d;  // POLYLINE with three vertices
    AcDbObjectId insert;      // of block "TAG" with one attribute
    AcDbObjectId dimension;   // rotated dimension without a block
    AcDbObjectId paperLine;   // in paper space
    AcDbObjectId block;       // "TAG": a circle and an attribute definition
    AcDbObjectId walls;       // layer
};

// Fills db (a default drawing) with the content listed in Drawing.
Drawing buildDrawing(AcDbDatabase& db);

// The DXF text the writer makes of db; the test fails when the writer refuses.
std::string textOf(AcDbDatabase& db);

// One group of a text: code and value (trailing blanks removed).
struct Group {
    int code;
    std::string value;
    bool operator==(const Group&) const = default;
};
std::vector<Group> groupsOf(const std::string& text);
// The groups of the object with that handle (from its group 0 to the next), empty when none.
std::vector<Group> objectGroups(const std::vector<Group>& groups, AcDbObjectId id);
// The groups of the whole section name, from its group 0 SECTION on; empty when none.
std::vector<Group> section(const std::vector<Group>& groups, const char* name);
// The value of the first group of code in groups, or "(none)".
std::string valueOf(const std::vector<Group>& groups, int code);

class WriterTest : public ::testing::Test {
protected:
    void SetUp() override { host::clearContractViolations(); }
    void TearDown() override { testsupport::expectHostClean(); }

    std::filesystem::path path(const char* name) const { return m_files.path(name); }
    std::wstring widePath(const char* name) const { return m_files.widePath(name); }
    // The file's bytes.
    static std::string contents(const std::filesystem::path& file);
    // Names in the test's folder.
    std::vector<std::string> folderEntries() const;

    testsupport::TestFolder m_files;
};

}  // namespace writertest
