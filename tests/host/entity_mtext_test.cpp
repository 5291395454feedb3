// Multiline texts: layout of lines and attachment points through the metric, format codes,
// transforms, and filing of contents longer than one DXF group.
#include <gtest/gtest.h>

#include "entity_fixture.h"
#include "host/db/entities/mtext.h"
#include "host/db/resbuf.h"
#include "host/ge/scale3d.h"
#include "host/gi/text_metric.h"

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

}  // namespace
