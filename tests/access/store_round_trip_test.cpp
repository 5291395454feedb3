// Values written through the three stores survive saving the drawing and opening it again:
// XData, extension-dictionary records (binary blocks included) and named-dictionary records
// (big strings included) read back unchanged from the reopened drawing.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/drawing/circle_ptr.h"
#include "kestrel/drawing/line_ptr.h"
#include "kestrel/host/app/doc_manager.h"
#include "tests/access/store_fixture.h"
#include "tests/support/test_folder.h"

namespace {

using store_test::Item;
using store_test::StoreTest;
using Items = std::vector<Item>;

class StoreRoundTripTest : public StoreTest {
public:
    // Saves the current drawing and opens the file as a new current document.
    void saveAndReopen() {
        ASSERT_EQ(host::saveDocument(acDocManagerPtr()->curDocument(), m_path.c_str()), Acad::eOk);
        Acad::ErrorStatus status = Acad::eOk;
        ASSERT_NE(host::openDocument(m_path.c_str(), &status), nullptr) << status;
    }

private:
    testsupport::TestFolder m_files;
    std::wstring m_path = m_files.widePath("store.dxf");
};

TEST_F(StoreRoundTripTest, XDataAndExtensionRecordsSurviveSaveAndReload) {
    unsigned char bytes[250];
    for (int i = 0; i < 250; ++i) {
        bytes[i] = static_cast<unsigned char>(255 - i);
    }
    const std::wstring handle = handleOf(addLine());
    const AcGePoint3d point(1.25, -2.5, 1e-7);
    {
        CVLKCLinePtr line(handle.c_str(), AcDb::kForWrite);
        ASSERT_EQ(line.eedWrite(L"APP", -12), Acad::eOk);
        ASSERT_EQ(line.eedWrite(L"APP", 123456L, true), Acad::eOk);
        ASSERT_EQ(line.eedWrite(L"APP", 0.1, true), Acad::eOk);
        ASSERT_EQ(line.eedWrite(L"APP", point, true), Acad::eOk);
        ASSERT_EQ(line.eedWrite(L"APP", L"Zeichen äöü ✓", true), Acad::eOk);
        ASSERT_EQ(line.dctWrite(L"real", 1.0 / 3.0), Acad::eOk);
        ASSERT_EQ(line.dctWrite(L"text", L"line one"), Acad::eOk);
        ASSERT_EQ(line.dctWrite(L"point", point), Acad::eOk);
        ASSERT_EQ(line.dctWrite(L"short", 7, false, true, 1070), Acad::eOk);
        CVLKCBinaryData data;
        data.m_texts.Add(CString(L"header"));
        data.m_data = bytes;
        data.m_size = 250;
        ASSERT_EQ(line.dctWrite(L"blob", data), Acad::eOk);
    }
    saveAndReopen();

    CVLKCLinePtr line(handle.c_str(), AcDb::kForRead);
    ASSERT_NE(static_cast<AcDbLine*>(line), nullptr);
    resbuf* values = nullptr;
    ASSERT_TRUE(line.eedRead(L"APP", values));
    EXPECT_EQ(store_test::takeItems(values), (Items{{1070, L"-12"},
                                                    {1071, L"123456"},
                                                    {1040, L"0.100000"},
                                                    {1010, L"1.250000,-2.500000,0.000000"},
                                                    {1000, L"Zeichen äöü ✓"}}));
    double real = 0;
    AcGePoint3d readPoint;
    EXPECT_TRUE(line.eedRead(L"APP", real));
    EXPECT_EQ(real, 0.1);
    EXPECT_TRUE(line.eedRead(L"APP", readPoint));
    EXPECT_EQ(readPoint.x, point.x);
    EXPECT_EQ(readPoint.z, point.z);

    EXPECT_TRUE(line.dctRead(L"real", real));
    EXPECT_EQ(real, 1.0 / 3.0);
    CString text;
    EXPECT_TRUE(line.dctRead(L"text", text));
    EXPECT_EQ(text, CString(L"line one"));
    EXPECT_TRUE(line.dctRead(L"point", readPoint));
    EXPECT_EQ(readPoint.y, point.y);
    EXPECT_EQ(readPoint.z, point.z);
    int shortValue = 0;
    EXPECT_TRUE(line.dctRead(L"short", shortValue));
    EXPECT_EQ(shortValue, 7);
    CVLKCBinaryData data;
    ASSERT_TRUE(line.dctRead(L"blob", data));
    ASSERT_EQ(data.m_size, 250u);
    EXPECT_EQ(std::memcmp(data.m_data, bytes, 250), 0);
    ASSERT_EQ(data.m_texts.GetSize(), 1);
    EXPECT_EQ(data.m_texts[0], CString(L"header"));
    std::free(data.m_data);
}

TEST_F(StoreRoundTripTest, NamedDictionaryRecordsAndBigStringsSurviveSaveAndReload) {
    std::wstring big;
    for (int i = 0; i < 2 * CVLKCDictionaryPtr::kBigStringPiece + 1; ++i) {
        big += static_cast<wchar_t>(i % 7 == 0 ? L'\u00e9' : L'a' + i % 26);
    }
    {
        CVLKCDictionaryPtr pointer(AcDb::kForWrite);
        ASSERT_EQ(pointer.dctWriteBigString(L"AREA", L"big", big.c_str()), Acad::eOk);
        ASSERT_EQ(pointer.dctWriteBigString(L"AREA", L"empty", L""), Acad::eOk);
        ASSERT_EQ(pointer.dctWrite(L"AREA", L"long", -2000000000L), Acad::eOk);
        ASSERT_EQ(pointer.dctWrite(L"AREA", L"list", L"<xml a=\"1\"/>  "), Acad::eOk);
        ASSERT_EQ(pointer.dctWrite(L"AREA", L"list", 2.0e-300, true), Acad::eOk);
    }
    saveAndReopen();

    CVLKCDictionaryPtr pointer;
    CString text;
    ASSERT_TRUE(pointer.dctReadBigString(L"AREA", L"big", text));
    EXPECT_EQ(text.GetLength(), static_cast<int>(big.size()));
    EXPECT_TRUE(text.str() == big);
    EXPECT_TRUE(pointer.dctReadBigString(L"AREA", L"empty", text));
    EXPECT_TRUE(text.IsEmpty());
    long longValue = 0;
    EXPECT_TRUE(pointer.dctRead(L"AREA", L"long", longValue));
    EXPECT_EQ(longValue, -2000000000L);
    resbuf* list = nullptr;
    ASSERT_TRUE(pointer.dctRead(L"AREA", L"list", list));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->rbnext, nullptr);
    EXPECT_EQ(std::wstring(list->resval.rstring), L"<xml a=\"1\"/>  ");
    EXPECT_EQ(list->rbnext->resval.rreal, 2.0e-300);
    acutRelRb(list);
    CStringArray names;
    EXPECT_EQ(pointer.allRecNames(L"AREA", names), 4);
}

}  // namespace
