// Scripted point input: acedGetPoint and acedDragGen over queued picks, cursor positions and
// cancels, with their prompts on the command line.
#include "kestrel/host/app/input.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/host/app/editor_fixture.h"

namespace {

// What the drag callback saw, in order.
std::vector<AcGePoint3d> dragged;
int callbackAnswer = RTNORM;

int recordDrag(ads_point pt, ads_matrix mt) {
    dragged.emplace_back(pt[0], pt[1], pt[2]);
    // Each call gets a fresh identity matrix, whatever the previous call wrote.
    EXPECT_EQ(mt[0][3], 0.0);
    EXPECT_EQ(mt[1][1], 1.0);
    mt[0][3] = pt[0];
    return callbackAnswer;
}

class InputTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        dragged.clear();
        callbackAnswer = RTNORM;
        ASSERT_EQ(acedSSAdd(nullptr, nullptr, m_set), RTNORM);
    }
    void TearDown() override {
        acedSSFree(m_set);
        EditorTest::TearDown();
    }
    ads_name m_set;
};

TEST_F(InputTest, GetPointTakesTheNextPickAndPrompts) {
    host::queueCursor({9, 9, 9});
    host::queuePoint({1, 2, 3});
    host::queuePoint({4, 5, 6});
    ads_point result = {0, 0, 0};
    EXPECT_EQ(acedGetPoint(nullptr, L"\nBase point: ", result), RTNORM);
    EXPECT_TRUE(AcGePoint3d(result[0], result[1], result[2]).isEqualTo({1, 2, 3}));
    const ads_point base = {0, 0, 0};
    EXPECT_EQ(acedGetPoint(base, nullptr, result), RTNORM);
    EXPECT_TRUE(AcGePoint3d(result[0], result[1], result[2]).isEqualTo({4, 5, 6}));
    EXPECT_EQ(host::commandLine(), L"\nBase point: ");
}

TEST_F(InputTest, GetPointReportsCancelAndMissingInput) {
    host::queueCancel();
    ads_point result = {7, 7, 7};
    EXPECT_EQ(acedGetPoint(nullptr, L"Point: ", result), RTCAN);
    EXPECT_EQ(acedGetPoint(nullptr, L"Point: ", result), RTERROR);
    EXPECT_EQ(result[0], 7.0);
    EXPECT_EQ(host::commandLine(), L"Point: *Cancel*\nPoint: *No input*\n");
    host::queuePoint({1, 1, 1});
    EXPECT_EQ(acedGetPoint(nullptr, L"Point: ", nullptr), RTERROR);
    EXPECT_EQ(host::pendingInput(), 1);
    host::clearInput();
}

TEST_F(InputTest, DragCallsBackForEachCursorPositionAndThePick) {
    host::queueCursor({1, 0, 0});
    host::queueCursor({2, 0, 0});
    host::queuePoint({3, 0, 0});
    host::queuePoint({8, 8, 8});
    ads_point end = {0, 0, 0};
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, recordDrag, end), RTNORM);
    ASSERT_EQ(dragged.size(), 3u);
    EXPECT_TRUE(dragged[0].isEqualTo({1, 0, 0}));
    EXPECT_TRUE(dragged[2].isEqualTo({3, 0, 0}));
    EXPECT_TRUE(AcGePoint3d(end[0], end[1], end[2]).isEqualTo({3, 0, 0}));
    EXPECT_EQ(host::pendingInput(), 1);
    host::clearInput();
}

TEST_F(InputTest, DragEndsOnCancelOrACallbackThatStops) {
    host::queueCursor({1, 0, 0});
    host::queueCancel();
    ads_point end = {5, 5, 5};
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, recordDrag, end), RTCAN);
    EXPECT_EQ(dragged.size(), 1u);
    EXPECT_EQ(end[0], 5.0);

    callbackAnswer = RTERROR;
    host::queueCursor({2, 0, 0});
    host::queuePoint({3, 0, 0});
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, recordDrag, end), RTERROR);
    EXPECT_EQ(dragged.size(), 2u);
    EXPECT_EQ(host::pendingInput(), 1);
    host::clearInput();

    callbackAnswer = RTNONE;
    host::queuePoint({4, 0, 0});
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, recordDrag, end), RTNORM);
    EXPECT_EQ(end[0], 4.0);
}

TEST_F(InputTest, DragRefusesBadArgumentsWithoutTakingInput) {
    host::queuePoint({1, 0, 0});
    ads_point end;
    ads_name bogus = {m_set[0], m_set[1] + 1000};
    EXPECT_EQ(acedDragGen(bogus, L"Drag: ", 0, recordDrag, end), RTERROR);
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, nullptr, end), RTERROR);
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, recordDrag, nullptr), RTERROR);
    EXPECT_EQ(host::pendingInput(), 1);
    EXPECT_TRUE(dragged.empty());
    host::clearInput();
    EXPECT_EQ(acedDragGen(m_set, L"Drag: ", 0, recordDrag, end), RTERROR);
}

}  // namespace
