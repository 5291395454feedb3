// acedTextBox against the host's documented font metric: an advance of 0.7 of the height for
// ordinary characters, 0.35 for narrow ones, a quarter of the height below the baseline for
// descenders, the width factor and obliquing angle, and the text style's defaults.
#include <cmath>

#include "kestrel/host/app/text_box.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"
#include "tests/host/app/editor_fixture.h"

namespace {

struct Box {
    AcGePoint3d lowerLeft;
    AcGePoint3d upperRight;
};

class TextBoxTest : public EditorTest {
protected:
    // The box of the list, which the test then releases; fails when acedTextBox refuses.
    static Box measure(resbuf* list) {
        ads_point a = {0, 0, 0};
        ads_point b = {0, 0, 0};
        EXPECT_EQ(acedTextBox(list, a, b), RTNORM);
        acutRelRb(list);
        return {{a[0], a[1], a[2]}, {b[0], b[1], b[2]}};
    }

    static int refuse(resbuf* list) {
        ads_point a = {9, 9, 9};
        ads_point b = {9, 9, 9};
        const int result = acedTextBox(list, a, b);
        EXPECT_EQ(a[0], 9.0);
        acutRelRb(list);
        return result;
    }

    void addStyle(const wchar_t* name, double size, double xScale, Adesk::UInt8 flags) {
        auto* style = new AcDbTextStyleTableRecord();
        ASSERT_EQ(style->setTextSize(size), Acad::eOk);
        ASSERT_EQ(style->setXScale(xScale), Acad::eOk);
        ASSERT_EQ(style->setFlagBits(flags), Acad::eOk);
        testsupport::addRecord<AcDbTextStyleTable>(db(), style, name);
    }
};

TEST_F(TextBoxTest, WidthFollowsHeightAndWidthFactor) {
    // D o o r: four ordinary characters, 4 x 0.7 = 2.8 heights.
    Box box = measure(acutBuildList(1, L"Door", 40, 2.0, 0));
    EXPECT_TRUE(box.lowerLeft.isEqualTo({0, 0, 0}));
    EXPECT_TRUE(box.upperRight.isEqualTo({5.6, 2, 0}));
    box = measure(acutBuildList(1, L"Door", 40, 2.0, 41, 0.5, 0));
    EXPECT_NEAR(box.upperRight.x, 2.8, 1e-9);
    // i l . are narrow, the space half, m wide: 0.35 x 3 + 0.5 + 1.0.
    box = measure(acutBuildList(1, L"il. m", 40, 1.0, 0));
    EXPECT_NEAR(box.upperRight.x, 2.55, 1e-9);
}

TEST_F(TextBoxTest, DescendersObliqueAndControlCodes) {
    Box box = measure(acutBuildList(1, L"gap", 40, 4.0, 0));
    EXPECT_NEAR(box.lowerLeft.y, -1.0, 1e-9);
    EXPECT_NEAR(box.upperRight.y, 4.0, 1e-9);
    // Slanted by 45 degrees the top moves right by the height, the descent left by its depth.
    box = measure(acutBuildList(1, L"gap", 40, 4.0, 51, std::atan(1.0), 0));
    EXPECT_NEAR(box.lowerLeft.x, -1.0, 1e-9);
    EXPECT_NEAR(box.upperRight.x, 3 * 0.7 * 4.0 + 4.0, 1e-9);
    // %%d is one character (degree), so "90%%d" draws three ordinary characters.
    box = measure(acutBuildList(1, L"90%%d", 40, 1.0, 0));
    EXPECT_NEAR(box.upperRight.x, 2.1, 1e-9);
}

TEST_F(TextBoxTest, RotationDoesNotTurnTheBox) {
    const Box flat = measure(acutBuildList(1, L"Door", 40, 2.0, 0));
    const Box turned = measure(acutBuildList(1, L"Door", 40, 2.0, 50, 1.0, 0));
    EXPECT_TRUE(turned.upperRight.isEqualTo(flat.upperRight));
}

TEST_F(TextBoxTest, TheStyleFillsWhatTheListLeavesOut) {
    addStyle(L"Narrow", 3.0, 0.5, 0);
    addStyle(L"Mirrored", 0.0, 1.0, 2 | 4);
    Box box = measure(acutBuildList(1, L"Door", 7, L"Narrow", 0));
    EXPECT_TRUE(box.upperRight.isEqualTo({4.2, 3, 0}));
    box = measure(acutBuildList(1, L"Door", 7, L"narrow", 40, 1.0, 0));
    EXPECT_TRUE(box.upperRight.isEqualTo({1.4, 1, 0}));
    // A style without a size measures one unit high; backward and upside down flip the box.
    box = measure(acutBuildList(1, L"Door", 7, L"Mirrored", 0));
    EXPECT_TRUE(box.lowerLeft.isEqualTo({-2.8, -1, 0}));
    EXPECT_TRUE(box.upperRight.isEqualTo({0, 0, 0}));
    box = measure(acutBuildList(1, L"Door", 7, L"Mirrored", 71, 0, 0));
    EXPECT_TRUE(box.upperRight.isEqualTo({2.8, 1, 0}));

    // Without a style group the current text style counts.
    AcDbTextStyleTable* table = nullptr;
    ASSERT_EQ(db()->getTextStyleTable(table, AcDb::kForRead), Acad::eOk);
    AcDbObjectId narrow;
    ASSERT_EQ(table->getAt(L"Narrow", narrow), Acad::eOk);
    table->close();
    ASSERT_EQ(db()->setTextstyle(narrow), Acad::eOk);
    box = measure(acutBuildList(1, L"Door", 0));
    EXPECT_TRUE(box.upperRight.isEqualTo({4.2, 3, 0}));
}

TEST_F(TextBoxTest, BadListsAreRefused) {
    EXPECT_EQ(refuse(acutBuildList(40, 1.0, 0)), RTERROR);
    EXPECT_EQ(refuse(acutBuildList(1, L"Door", 40, 0.0, 0)), RTERROR);
    EXPECT_EQ(refuse(acutBuildList(1, L"Door", 40, -1.0, 0)), RTERROR);
    EXPECT_EQ(refuse(acutBuildList(1, L"Door", 41, 0.0, 0)), RTERROR);
    EXPECT_EQ(refuse(acutBuildList(1, L"Door", 7, L"NoSuchStyle", 0)), RTERROR);
    EXPECT_EQ(refuse(nullptr), RTERROR);
    resbuf* list = acutBuildList(1, L"Door", 0);
    ads_point a;
    EXPECT_EQ(acedTextBox(list, a, nullptr), RTERROR);
    acutRelRb(list);

    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(refuse(acutBuildList(1, L"Door", 7, L"Standard", 0)), RTERROR);
    const Box box = measure(acutBuildList(1, L"Door", 40, 1.0, 0));
    EXPECT_NEAR(box.upperRight.x, 2.8, 1e-9);
    acdbHostApplicationServices()->setWorkingDatabase(db());
}

}  // namespace
