// Multiline texts: layout of lines and attachment points through the metric, format codes,
// transforms, and filing of contents longer than one DXF group.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/host/db/entities/entity_fixture.h"
#include "kestrel/host/db/entities/mtext.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/scale3d.h"
#include "kestrel/host/gi/text_metric.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;

constexpr double kPi = 3.14159265358979323846;

// "AB" over "ABAB" at height 2: widths 2.8 and 5.6, total height 2 + 2 x 5/3.
std::unique_ptr<AcDbMText> twoLines() {
    auto text = std::make_unique<AcDbMText>();
    text->setContents(L"AB\\PABAB");
    text->setTextHeight(2.0);
    return text;
}

const double kTall = 2.0 + 2.0 * 5.0 / 3.0;

class EntityMTextTest : public entity_test::EntityTest {};

TEST_F(EntityMTextTest, EntityMTextLayoutFollowsTheAttachmentPoint) {
    std::unique_ptr<AcDbMText> text = twoLines();
    EXPECT_DOUBLE_EQ(text->actualWidth(), 5.6);
    EXPECT_DOUBLE_EQ(text->actualHeight(), kTall);
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(0, -kTall, 0), AcGePoint3d(5.6, 0, 0)));
    ASSERT_EQ(text->setAttachment(AcDbMText::kMiddleCenter), Acad::eOk);
    EXPECT_TRUE(
        boxIs(extentsOf(*text), AcGePoint3d(-2.8, -kTall / 2, 0), AcGePoint3d(2.8, kTall / 2, 0)));
    ASSERT_EQ(text->setAttachment(AcDbMText::kBottomRight), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(-5.6, 0, 0), AcGePoint3d(0, kTall, 0)));
    ASSERT_EQ(text->setRotation(kPi / 2), Acad::eOk);
    EXPECT_TRUE(near(text->direction(), AcGeVector3d::kYAxis));
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(-kTall, -5.6, 0), AcGePoint3d(0, 0, 0)));
    EXPECT_EQ(text->setAttachment(static_cast<AcDbMText::AttachmentPoint>(10)),
              Acad::eInvalidInput);
    text->setLineSpacingFactor(0.0);
    EXPECT_DOUBLE_EQ(text->actualHeight(), 2.0);
}

TEST_F(EntityMTextTest, EntityMTextFormatCodesDrawOnlyTheirText) {
    const std::vector<std::wstring> lines =
        host::multilineTextLines(L"{\\fArial|b1;AB}\\P\\S1/22;\\~x\\\\\\{\\LUn\\l");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"AB");
    EXPECT_EQ(lines[1], L"22 x\\{Un");
}

TEST_F(EntityMTextTest, EntityMTextTransformsAndRefusals) {
    std::unique_ptr<AcDbMText> text = twoLines();
    text->setLocation(AcGePoint3d(1, 1, 0));
    text->setWidth(10.0);
    ASSERT_EQ(text->transformBy(AcGeMatrix3d::scaling(2.0)), Acad::eOk);
    EXPECT_TRUE(near(text->location(), AcGePoint3d(2, 2, 0)));
    EXPECT_DOUBLE_EQ(text->textHeight(), 4.0);
    EXPECT_DOUBLE_EQ(text->width(), 20.0);
    ASSERT_EQ(text->transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(near(text->direction(), AcGeVector3d::kYAxis));
    EXPECT_EQ(text->transformBy(AcGeScale3d(1, 2, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_DOUBLE_EQ(text->textHeight(), 4.0);
    EXPECT_EQ(text->setDirection(AcGeVector3d::kZAxis), Acad::eInvalidInput);
    EXPECT_EQ(text->setTextHeight(0.0), Acad::eInvalidInput);
}

TEST_F(EntityMTextTest, EntityMTextLongContentsFileInPieces) {
    auto text = std::make_unique<AcDbMText>();
    const std::wstring contents(600, L'x');
    text->setContents(contents.c_str());
    text->setLocation(AcGePoint3d(1, 2, 3));
    text->setRotation(0.5);
    const host::DxfItemList own = subclass(groupsOf(*text), L"AcDbMText");
    int pieces = 0;
    for (const host::DxfItem& item : own) {
        if (item.code == 3) {
            EXPECT_EQ(item.text().size(), 250u);
            ++pieces;
        }
        if (item.code == 1) {
            EXPECT_EQ(item.text().size(), 100u);
        }
    }
    EXPECT_EQ(pieces, 2);
    expectRoundTrips(*text);
    AcDbMText read;
    ASSERT_EQ(tables_test::dxfRead(read, groupsOf(*text), db()), Acad::eOk);
    ACHAR* copy = read.contents();
    EXPECT_EQ(std::wstring(copy), contents);
    acutDelString(copy);
}

// Columns come in an embedded object whose groups reuse the text's own codes (10, 11, 40,
// 41, ...): they must not overwrite the text, and pass through with the background groups.
TEST_F(EntityMTextTest, EntityMTextKeepsItsColumnsAndOtherGroups) {
    auto text = twoLines();
    text->setLocation(AcGePoint3d(5, 6, 0));
    host::DxfItemList items = groupsOf(*text);
    const host::DxfItemList kept = {
        {90, std::int64_t{1}},
        {63, std::int64_t{1}},
        {45, 1.5},
        {101, std::wstring(L"Embedded Object")},
        {70, std::int64_t{1}},
        {10, AcGePoint3d(1, 0, 0)},
        {11, AcGePoint3d(0, 0, 0)},
        {40, 10.0},
        {41, 15.0},
        {42, 34.0},
        {43, 15.0},
        {71, std::int64_t{1}},
        {72, std::int64_t{3}},
        {44, 10.0},
        {45, 2.0},
        {73, std::int64_t{0}},
        {74, std::int64_t{0}},
    };
    items.insert(items.end(), kept.begin(), kept.end());
    AcDbMText read;
    ASSERT_EQ(tables_test::dxfRead(read, items, db()), Acad::eOk);
    EXPECT_EQ(read.location(), AcGePoint3d(5, 6, 0));
    EXPECT_EQ(read.textHeight(), 2.0);
    EXPECT_EQ(read.width(), 0.0);
    EXPECT_TRUE(sameGroups(groupsOf(read), items));
    expectRoundTrips(read);

    EXPECT_EQ(read.columnType(), AcDbMText::kStaticColumns);
    EXPECT_EQ(read.columnCount(), 3);
    EXPECT_EQ(read.columnWidth(), 10.0);
    EXPECT_EQ(read.columnGutterWidth(), 2.0);
    double height = 0.0;
    ASSERT_EQ(read.getColumnHeight(2, height), Acad::eOk);
    EXPECT_EQ(height, 15.0);
    EXPECT_EQ(read.getColumnHeight(3, height), Acad::eInvalidIndex);
    EXPECT_EQ(text->columnType(), AcDbMText::kNoColumns);
    EXPECT_EQ(text->columnCount(), 0);

    // Scaling the text scales its columns; the background's 45 is no length of theirs.
    ASSERT_EQ(read.transformBy(AcGeMatrix3d::scaling(2.0)), Acad::eOk);
    EXPECT_EQ(read.columnWidth(), 20.0);
    EXPECT_EQ(read.columnGutterWidth(), 4.0);
    const host::DxfItemList own = subclass(groupsOf(read), L"AcDbMText");
    const auto background = std::find_if(own.begin(), own.end(),
                                         [](const host::DxfItem& item) { return item.code == 45; });
    ASSERT_NE(background, own.end());
    EXPECT_EQ(background->real(), 1.5);
}

}  // namespace
