// The host's font metric and AcGiTextStyle: advances per character class, control codes,
// descenders, width factor and oblique slant, and filling a style from a text style record.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/gi/text_metric.h"
#include "kestrel/host/gi/text_style.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class EntityTextMetricTest : public entity_test::EntityTest {};

TEST_F(EntityTextMetricTest, EntityTextMetricAdvancesByCharacterClass) {
    EXPECT_DOUBLE_EQ(host::textAdvance(L"AB", 2.0, 1.0), 2.8);
    EXPECT_DOUBLE_EQ(host::textAdvance(L"il", 1.0, 1.0), 0.7);
    EXPECT_DOUBLE_EQ(host::textAdvance(L"mW", 1.0, 1.0), 2.0);
    EXPECT_DOUBLE_EQ(host::textAdvance(L"a b", 1.0, 0.5), 0.95);
    EXPECT_DOUBLE_EQ(host::textAdvance(L"", 1.0, 1.0), 0.0);
}

TEST_F(EntityTextMetricTest, EntityTextMetricReadsControlCodes) {
    EXPECT_EQ(host::visibleText(L"30%%d"), std::u32string(U"30\u00B0"));
    EXPECT_EQ(host::visibleText(L"%%c5 %%p1"), std::u32string(U"\u23005 \u00B11"));
    EXPECT_EQ(host::visibleText(L"%%uAB%%u"), std::u32string(U"AB"));
    EXPECT_EQ(host::visibleText(L"100%%%"), std::u32string(U"100%"));
    EXPECT_EQ(host::visibleText(L"%%065B"), std::u32string(U"AB"));
    EXPECT_EQ(host::visibleText(L"5%"), std::u32string(U"5%"));
    EXPECT_EQ(host::visibleText(L"%%x"), std::u32string(U"%%x"));
    // Raw measuring draws the codes as characters.
    EXPECT_GT(host::measureText(L"%%d", 1.0, 1.0, 0.0, false).width(),
              host::measureText(L"%%d", 1.0, 1.0, 0.0).width());
}

TEST_F(EntityTextMetricTest, EntityTextMetricBoxHasDescendersAndSlant) {
    host::TextBox box = host::measureText(L"AB", 2.0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(box.minX, 0.0);
    EXPECT_DOUBLE_EQ(box.maxX, 2.8);
    EXPECT_DOUBLE_EQ(box.minY, 0.0);
    EXPECT_DOUBLE_EQ(box.maxY, 2.0);
    box = host::measureText(L"gy", 2.0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(box.minY, -0.5);
    box = host::measureText(L"AB", 2.0, 1.0, kPi / 4);
    EXPECT_NEAR(box.maxX, 4.8, 1e-12);
    EXPECT_NEAR(box.minX, 0.0, 1e-12);
    box = host::measureText(L"Ag", 2.0, 1.0, -kPi / 4);
    EXPECT_NEAR(box.minX, -2.0, 1e-12);
    EXPECT_NEAR(box.maxX, 2.8 + 0.5, 1e-12);
    box = host::measureText(L"", 2.0, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(box.width(), 0.0);
    EXPECT_DOUBLE_EQ(box.maxY, 0.0);
}

TEST_F(EntityTextMetricTest, EntityTextStyleFillsFromTheRecordAndMeasures) {
    auto* record = new AcDbTextStyleTableRecord;
    record->setXScale(0.5);
    record->setObliquingAngle(0.25);
    record->setFlagBits(2);
    const AcDbObjectId styleId =
        testsupport::addRecord<AcDbTextStyleTable>(db(), record, L"Narrow");
    AcGiTextStyle style;
    ASSERT_EQ(fromAcDbTextStyle(style, styleId), Acad::eOk);
    EXPECT_STREQ(style.styleName(), L"Narrow");
    EXPECT_DOUBLE_EQ(style.xScale(), 0.5);
    EXPECT_DOUBLE_EQ(style.obliquingAngle(), 0.25);
    EXPECT_DOUBLE_EQ(style.textSize(), 1.0);
    EXPECT_TRUE(style.isBackward());
    EXPECT_FALSE(style.isUpsideDown());
    EXPECT_EQ(style.loadStyleRec(), 1);
    style.setObliquingAngle(0.0);
    const AcGePoint2d size = style.extents(L"AB");
    EXPECT_DOUBLE_EQ(size.x, 0.7);
    EXPECT_DOUBLE_EQ(size.y, 1.0);
    EXPECT_DOUBLE_EQ(style.extents(L"ABAB", false, 2).x, 0.7);

    // A layer's id is not a text style: the style keeps what it had.
    AcGiTextStyle other;
    other.setXScale(3.0);
    EXPECT_EQ(fromAcDbTextStyle(other, db()->layerZero()), Acad::eNotThatKindOfClass);
    EXPECT_DOUBLE_EQ(other.xScale(), 3.0);
}

}  // namespace
