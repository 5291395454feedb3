// Temporary screen vectors (acedGrDraw, acedRedraw) and the command line (acutPrintf).
#include "kestrel/host/app/command_line.h"
#include "kestrel/host/app/screen.h"
#include "kestrel/host/app/selection_set.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/host/app/editor_fixture.h"

namespace {

using ScreenTest = EditorTest;

TEST_F(ScreenTest, GrDrawAppendsVectorsUntilTheScreenIsRedrawn) {
    const ads_point a = {0, 0, 0};
    const ads_point b = {1, 2, 3};
    EXPECT_EQ(acedGrDraw(a, b, 1, 0), RTNORM);
    EXPECT_EQ(acedGrDraw(b, a, -1, 1), RTNORM);
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_TRUE(drawn[0].to.isEqualTo({1, 2, 3}));
    EXPECT_EQ(drawn[0].color, 1);
    EXPECT_TRUE(drawn[1].from.isEqualTo({1, 2, 3}));
    EXPECT_EQ(drawn[1].color, -1);
    EXPECT_EQ(drawn[1].highlight, 1);

    EXPECT_EQ(acedRedraw(nullptr, 4), RTNORM);
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(ScreenTest, GrDrawRefusesBadInputWithoutDrawing) {
    const ads_point a = {0, 0, 0};
    EXPECT_EQ(acedGrDraw(a, a, 256, 0), RTERROR);
    EXPECT_EQ(acedGrDraw(a, a, -2, 0), RTERROR);
    EXPECT_EQ(acedGrDraw(nullptr, a, 1, 0), RTERROR);
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(ScreenTest, RedrawOfOneEntityLeavesTheVectors) {
    const ads_point a = {0, 0, 0};
    ASSERT_EQ(acedGrDraw(a, a, 7, 0), RTNORM);
    const AcDbObjectId line = addLine({0, 0, 0}, {1, 0, 0});
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, line), Acad::eOk);
    EXPECT_EQ(acedRedraw(name, 3), RTNORM);
    EXPECT_EQ(acedRedraw(name, 5), RTERROR);
    EXPECT_EQ(acedRedraw(nullptr, -1), RTERROR);
    EXPECT_EQ(host::screenVectors().size(), 1u);

    AcDbEntity* entity = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(entity, line, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(entity->erase(), Acad::eOk);
    entity->close();
    EXPECT_EQ(acedRedraw(name, 1), RTERROR);

    ads_name set;
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, set), RTNORM);
    EXPECT_EQ(acedRedraw(set, 1), RTERROR);
    acedSSFree(set);
    EXPECT_EQ(host::screenVectors().size(), 1u);
}

TEST_F(ScreenTest, PrintfFormatsIntoTheCommandLine) {
    EXPECT_EQ(acutPrintf(L"\nBlock name: %s ErrorStatus: %d", L"Door", 3), 32);
    EXPECT_EQ(acutPrintf(L"|%5.2f|", 3.14159), 7);
    EXPECT_EQ(host::commandLine(), L"\nBlock name: Door ErrorStatus: 3| 3.14|");
    EXPECT_EQ(acutPrintf(nullptr), -1);
    host::clearCommandLine();
    EXPECT_EQ(host::commandLine(), L"");
}

TEST_F(ScreenTest, EchoCopiesTheCommandLineToStandardOutput) {
    testing::internal::CaptureStdout();
    host::setCommandLineEcho(true);
    acutPrintf(L"gr\u00fc\u00dfe %d\n", 5);
    host::setCommandLineEcho(false);
    acutPrintf(L"silent");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "gr\xc3\xbc\xc3\x9f"
              "e 5\n");
    EXPECT_EQ(host::commandLine(), L"gr\u00fc\u00dfe 5\nsilent");
}

}  // namespace
