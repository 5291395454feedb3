// marker_client's tests, written as a client author writes them: the program links GoogleTest,
// Kestrel and the client. Each test opens a document, loads Kestrel and then the client into the
// headless host as the host loads any module, runs the command, checks what it made through
// Kestrel, and ends with the host's teardown and the check that nothing was left open.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <kestrel/drawing/circle_ptr.h>
#include <kestrel/drawing/line_ptr.h>
#include <kestrel/host/db/entities/circle.h>
#include <kestrel/host/db/entities/line.h>
#include <kestrel/host/harness.h>
#include <kestrel/host/testing.h>
#include <kestrel/platform/utf8.h>
#include <kestrel/xmlrepo/xml_handler.h>

#include "marker_client.h"

namespace {

class MarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_document = host::newDocument();
        ASSERT_EQ(host::loadModule(utf8ToWide(KESTREL_MODULE_PATH).c_str()),
                  host::ModuleStatus::kOk);
        ASSERT_EQ(host::loadModule(utf8ToWide(MARKER_CLIENT_PATH).c_str()),
                  host::ModuleStatus::kOk);
    }

    void TearDown() override {
        EXPECT_TRUE(host::nothingLeftOpen());
        EXPECT_EQ(host::tearDown(), L"");
    }

    // Runs the command as the host runs one: between command boundaries, so one undo takes all
    // of it back.
    static marker::Marker place(const AcGePoint3d& at, double size, const wchar_t* label) {
        EXPECT_EQ(host::beginCommand(L"MARKER"), Acad::eOk);
        const marker::Marker made = marker::placeMarker(at, size, label);
        EXPECT_EQ(host::endCommand(), Acad::eOk);
        return made;
    }

    static CString markerList() {
        CString xml;
        EXPECT_EQ(_CXMLHandler::GetXML(marker::kApp, xml), Acad::eOk);
        return xml;
    }

    AcApDocument* m_document = nullptr;
};

TEST_F(MarkerTest, PlacesACircleAndALineThatCarriesTheMarkersValues) {
    const marker::Marker made = place(AcGePoint3d(10, 20, 0), 2.5, L"north");
    EXPECT_NE(host::commandLine().find(L"MARKER: placed \"north\" at 10,20"), std::wstring::npos);

    CVLKCLinePtr line(made.line, AcDb::kForRead);
    ASSERT_EQ(line.status(), Acad::eOk);
    EXPECT_EQ(line->startPoint(), AcGePoint3d(7.5, 20, 0));
    EXPECT_EQ(line->endPoint(), AcGePoint3d(12.5, 20, 0));
    CString label;
    EXPECT_TRUE(line.eedRead(marker::kApp, label));
    EXPECT_STREQ(label, L"north");
    double size = 0.0;
    EXPECT_TRUE(line.dctRead(marker::kSizeKey, size));
    EXPECT_EQ(size, 2.5);
    line.close();

    CVLKCCirclePtr circle(made.circle, AcDb::kForRead);
    ASSERT_EQ(circle.status(), Acad::eOk);
    EXPECT_EQ(circle->center(), AcGePoint3d(10, 20, 0));
    EXPECT_EQ(circle->radius(), 2.5);
    circle.close();

    EXPECT_STREQ(markerList(), L"<markers><marker label=\"north\" x=\"10\" y=\"20\"/></markers>");
}

TEST_F(MarkerTest, UndoTakesTheCommandBackAndRedoRestoresIt) {
    place(AcGePoint3d(0, 0, 0), 1.0, L"first");
    const marker::Marker second = place(AcGePoint3d(5, 0, 0), 1.0, L"second");

    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_TRUE(second.line.isErased());
    EXPECT_TRUE(second.circle.isErased());
    EXPECT_EQ(markerList().Find(L"second"), -1);
    EXPECT_NE(markerList().Find(L"first"), -1);

    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_FALSE(second.line.isErased());
    CVLKCLinePtr line(second.line, AcDb::kForRead);
    CString label;
    EXPECT_TRUE(line.eedRead(marker::kApp, label));
    EXPECT_STREQ(label, L"second");
    line.close();
    EXPECT_NE(markerList().Find(L"second"), -1);
}

TEST_F(MarkerTest, TheSavedDrawingKeepsTheMarker) {
    const marker::Marker made = place(AcGePoint3d(3, 4, 0), 1.5, L"saved");
    const std::wstring handle = made.line.handle().text();
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "marker_client_test.dxf";
    ASSERT_EQ(host::saveDocument(m_document, utf8ToWide(file.string()).c_str()), Acad::eOk);
    ASSERT_EQ(host::closeDocument(m_document), Acad::eOk);

    Acad::ErrorStatus status = Acad::eOk;
    ASSERT_NE(host::openDocument(utf8ToWide(file.string()).c_str(), &status), nullptr) << status;
    CVLKCLinePtr line(handle.c_str(), AcDb::kForRead);
    ASSERT_EQ(line.status(), Acad::eOk);
    double size = 0.0;
    EXPECT_TRUE(line.dctRead(marker::kSizeKey, size));
    EXPECT_EQ(size, 1.5);
    line.close();
    EXPECT_NE(markerList().Find(L"label=\"saved\""), -1);
    std::filesystem::remove(file);
}

}  // namespace
