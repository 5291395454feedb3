// XData rules: per-application replacement, removal by an empty group, look-up by name without
// regard to case, and every refusal (unregistered application, codes XData cannot hold, braces,
// the 255-character text limit, the size limit), each leaving the XData as it was.
#include <gtest/gtest.h>

#include <string>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"

namespace {

using dbtest::DbTest;
using dbtest::Note;

// Owns a list for the length of a test.
struct List {
    explicit List(resbuf* rb) : head(rb) {}
    ~List() { acutRelRb(head); }
    resbuf* head;
};

// The codes and texts (or numbers) of a list, for comparisons.
std::wstring describe(const resbuf* rb) {
    std::wstring text;
    for (; rb != nullptr; rb = rb->rbnext) {
        text += std::to_wstring(rb->restype) + L":";
        switch (rb->restype) {
            case 1001:
            case 1000:
            case 1002:
            case 1005:
                text += rb->resval.rstring;
                break;
            case 1070:
                text += std::to_wstring(rb->resval.rint);
                break;
            case 1071:
                text += std::to_wstring(rb->resval.rlong);
                break;
            default:
                break;
        }
        text += L" ";
    }
    return text;
}

class XDataTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        ASSERT_EQ(acdbRegApp(L"APPA"), RTNORM);
        ASSERT_EQ(acdbRegApp(L"AppB"), RTNORM);
        m_id = addNote(L"x");
        m_note = dbtest::open<Note>(m_id, AcDb::kForWrite);
    }
    void TearDown() override {
        m_note.reset();
        DbTest::TearDown();
    }
    Acad::ErrorStatus set(resbuf* list) {
        List owned(list);
        return m_note->setXData(owned.head);
    }
    std::wstring all() {
        List xdata(m_note->xData());
        return describe(xdata.head);
    }

    AcDbObjectId m_id;
    dbtest::Held<Note> m_note;
};

TEST_F(XDataTest, DbXDataIsReplacedPerApplication) {
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 1070, 1, 1000, L"a", 1001, L"AppB", 1071, 7L, 0)),
              Acad::eOk);
    EXPECT_EQ(all(), L"1001:APPA 1070:1 1000:a 1001:AppB 1071:7 ");
    ASSERT_EQ(set(acutBuildList(1001, L"appa", 1070, 2, 0)), Acad::eOk);
    EXPECT_EQ(all(), L"1001:appa 1070:2 1001:AppB 1071:7 ");
    List b(m_note->xData(L"APPB"));
    EXPECT_EQ(describe(b.head), L"1001:AppB 1071:7 ");
    EXPECT_EQ(m_note->xData(L"NOPE"), nullptr);
}

TEST_F(XDataTest, DbAnEmptyGroupRemovesItsApplication) {
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 1070, 1, 1001, L"AppB", 1070, 2, 0)), Acad::eOk);
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 0)), Acad::eOk);
    EXPECT_EQ(all(), L"1001:AppB 1070:2 ");
    ASSERT_EQ(set(acutBuildList(1001, L"AppB", 0)), Acad::eOk);
    EXPECT_EQ(m_note->xData(), nullptr);
    EXPECT_EQ(m_note->xDataSize(), 0);
    EXPECT_EQ(set(acutBuildList(1001, L"AppB", 0)), Acad::eOk);
}

TEST_F(XDataTest, DbXDataOfEveryKindIsKept) {
    const double point[3] = {1, 2, 3};
    const char bytes[3] = {1, 2, 3};
    const ads_binary chunk{3, const_cast<char*>(bytes)};
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 1002, L"{", 1000, L"t", 1003, L"0", 1004, &chunk,
                                1005, L"1F", 1010, point, 1040, 2.5, 1041, 3.5, 1070, 5, 1071,
                                70000L, 1002, L"}", 0)),
              Acad::eOk);
    List xdata(m_note->xData(L"APPA"));
    ASSERT_EQ(acutRbChainLength(xdata.head), 12);
    const resbuf* rb = xdata.head;
    for (int i = 0; i < 4; ++i) {
        rb = rb->rbnext;
    }
    EXPECT_EQ(rb->restype, 1004);
    EXPECT_EQ(rb->resval.rbinary.clen, 3);
    EXPECT_EQ(rb->resval.rbinary.buf[2], 3);
    EXPECT_EQ(rb->rbnext->rbnext->resval.rpoint[2], 3.0);
}

TEST_F(XDataTest, DbXDataRefusalsChangeNothing) {
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 1070, 1, 0)), Acad::eOk);
    const std::wstring before = all();
    const std::wstring longText(256, L'x');
    struct Case {
        const char* what;
        resbuf* list;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"unregistered", acutBuildList(1001, L"NOTREG", 1070, 1, 0),
         Acad::eUnregisteredApplication},
        {"empty name", acutBuildList(1001, L"", 1070, 1, 0), Acad::eUnregisteredApplication},
        {"no application", acutBuildList(1070, 1, 1001, L"APPA", 0),
         Acad::eMissingXDataApplication},
        {"not an XData code", acutBuildList(1001, L"APPA", 8, L"0", 0), Acad::eInvalidXDataCode},
        {"result type", acutBuildList(1001, L"APPA", RTSTR, L"x", 0), Acad::eInvalidXDataCode},
        {"open brace", acutBuildList(1001, L"APPA", 1002, L"{", 0), Acad::eXDataBraceMismatch},
        {"close brace", acutBuildList(1001, L"APPA", 1002, L"}", 0), Acad::eXDataBraceMismatch},
        {"brace text", acutBuildList(1001, L"APPA", 1002, L"(", 0), Acad::eXDataBraceMismatch},
        {"brace across apps",
         acutBuildList(1001, L"APPA", 1002, L"{", 1001, L"AppB", 1002, L"}", 0),
         Acad::eXDataBraceMismatch},
        {"long text", acutBuildList(1001, L"APPA", 1000, longText.c_str(), 0),
         Acad::eStringTooLong},
        {"bad handle", acutBuildList(1001, L"APPA", 1005, L"XYZ", 0), Acad::eInvalidHandleText},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.list, nullptr);
        EXPECT_EQ(set(c.list), c.expected);
        EXPECT_EQ(all(), before);
    }
    EXPECT_EQ(m_note->setXData(nullptr), Acad::eInvalidInput);
    EXPECT_EQ(all(), before);
}

TEST_F(XDataTest, DbTheLongestTextIsAccepted) {
    const std::wstring text(255, L'y');
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 1000, text.c_str(), 0)), Acad::eOk);
    List xdata(m_note->xData(L"APPA"));
    EXPECT_EQ(std::wstring(xdata.head->rbnext->resval.rstring), text);
}

TEST_F(XDataTest, DbXDataSizeIsLimitedAcrossApplications) {
    // 2 + 2 + 2 * 4 for the application, then 2 + 8 per real: the first group takes 1612 bytes.
    resbuf* bigA = acutBuildList(1001, L"APPA", 0);
    resbuf* tail = bigA;
    for (int i = 0; i < 160; ++i) {
        tail = tail->rbnext = acutBuildList(1040, 1.0, 0);
    }
    ASSERT_EQ(set(bigA), Acad::eOk);
    EXPECT_EQ(m_note->xDataSize(), 12 + 160 * 10);
    const int room = AcDbObject::kMaxXDataSize - m_note->xDataSize() - (2 + 2 + 2 * 4);
    auto groupOf = [](int reals) {
        resbuf* head = acutBuildList(1001, L"AppB", 0);
        resbuf* last = head;
        for (int i = 0; i < reals; ++i) {
            last = last->rbnext = acutBuildList(1040, 2.0, 0);
        }
        return head;
    };
    const std::wstring before = all();
    EXPECT_EQ(set(groupOf(room / 10 + 1)), Acad::eXDataSizeExceeded);
    EXPECT_EQ(all(), before);
    EXPECT_EQ(set(groupOf(room / 10)), Acad::eOk);
    EXPECT_LE(m_note->xDataSize(), AcDbObject::kMaxXDataSize);
}

TEST_F(XDataTest, DbXDataNeedsWriteAndIsRecordedForUndo) {
    ASSERT_EQ(set(acutBuildList(1001, L"APPA", 1070, 1, 0)), Acad::eOk);
    m_note.reset();
    ASSERT_EQ(host::endCommand(), Acad::eNoActiveCommand);
    ASSERT_EQ(host::beginCommand(L"XDATA"), Acad::eOk);
    {
        dbtest::Held<Note> reader = dbtest::open<Note>(m_id, AcDb::kForRead);
        List list(acutBuildList(1001, L"APPA", 1070, 9, 0));
        EXPECT_EQ(reader->setXData(list.head), Acad::eNotOpenForWrite);
    }
    {
        dbtest::Held<Note> writer = dbtest::open<Note>(m_id, AcDb::kForWrite);
        List list(acutBuildList(1001, L"APPA", 1070, 9, 0));
        EXPECT_EQ(writer->setXData(list.head), Acad::eOk);
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(1), Acad::eOk);
    m_note = dbtest::open<Note>(m_id, AcDb::kForWrite);
    EXPECT_EQ(all(), L"1001:APPA 1070:1 ");
}

TEST_F(DbTest, DbXDataOfAnObjectOutsideADatabaseChecksTheWorkingDatabase) {
    Note note;
    List good(acutBuildList(1001, L"ACAD", 1000, L"x", 0));
    EXPECT_EQ(note.setXData(good.head), Acad::eOk);
    List bad(acutBuildList(1001, L"UNKNOWNAPP", 1000, L"x", 0));
    EXPECT_EQ(note.setXData(bad.head), Acad::eUnregisteredApplication);
}

}  // namespace
