// Shared by the DXF reader tests: a fixture that fails any test leaving an object open or making
// the host note a contract violation, gives each test a folder of its own, writes texts there and
// reads them into a side database; and a builder of small but complete drawing texts.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"
#include "tests/support/test_folder.h"

namespace dxftest {

using testsupport::Held;
using testsupport::open;

// The id of the object with that hexadecimal handle in db, or null.
inline AcDbObjectId idOfHandle(AcDbDatabase& db, const wchar_t* hex) {
    AcDbObjectId id;
    db.getAcDbObjectId(id, false, AcDbHandle(hex));
    return id;
}

// The path of the checked-in sample file name (in tests/host/dxf/data).
inline std::filesystem::path sampleFile(const char* name) {
    return std::filesystem::path(__FILE__).parent_path() / "data" / name;
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override { host::clearContractViolations(); }
    void TearDown() override { testsupport::expectHostClean(); }

    // Writes bytes to a file of the test's folder; its path as wide text.
    std::wstring write(const char* name, const std::string& bytes) const {
        return m_files.write(name, bytes);
    }
    // Reads bytes (written to a file first) into db.
    Acad::ErrorStatus readText(AcDbDatabase& db, const std::string& bytes) const {
        return db.readDwgFile(write("read.dxf", bytes).c_str());
    }
    std::string message() const { return wideToUtf8(host::lastDrawingFileMessage()); }

    testsupport::TestFolder m_files;
};

// Builds the text of a complete drawing: the header, the nine tables with the records a drawing
// needs, the two layout blocks and the named object dictionary, plus the groups a test adds
// (whole groups, "code\nvalue\n..."). Handles below 0x100 are taken; tests use 100 and above.
class DrawingText {
public:
    DrawingText& header(const std::string& text) { return add(m_header, text); }
    DrawingText& layers(const std::string& text) { return add(m_layers, text); }
    DrawingText& blockRecords(const std::string& text) { return add(m_blockRecords, text); }
    DrawingText& blocks(const std::string& text) { return add(m_blocks, text); }
    DrawingText& entities(const std::string& text) { return add(m_entities, text); }
    // Entries of the named object dictionary ("3\nNAME\n350\nHANDLE\n").
    DrawingText& nodEntries(const std::string& text) { return add(m_nodEntries, text); }
    DrawingText& objects(const std::string& text) { return add(m_objects, text); }
    // The whole text, sections in order.
    std::string str() const;

private:
    DrawingText& add(std::string& to, const std::string& text) {
        to += text;
        return *this;
    }

    std::string m_header;
    std::string m_layers;
    std::string m_blockRecords;
    std::string m_blocks;
    std::string m_entities;
    std::string m_nodEntries;
    std::string m_objects;
};

}  // namespace dxftest
