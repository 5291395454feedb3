// Widths and bounding boxes of texts and attributes: the host's metric advances capitals such as
// "ABC" 0.7 of the height each and boxes them from the baseline to the height, so "ABC" at
// height 2 is 4.2 by 2, which the expected values below are worked out from.
#include "drawing_fixture.h"
#include "kestrel/drawing/attrib_ptr.h"
#include "kestrel/drawing/block_reference_ptr.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/drawing/symbol_table_ptrs.h"
#include "kestrel/drawing/text_ptr.h"
#include "kestrel/host/app/text_box.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"

namespace {

using drawing_test::DrawingTest;

constexpr double kPi = 3.14159265358979323846;

void expectCorners(const AcGePoint3dArray& points, int from,
                   std::initializer_list<AcGePoint3d> corners) {
    ASSERT_EQ(points.length(), from + static_cast<int>(corners.size()));
    int i = from;
    for (const AcGePoint3d& corner : corners) {
        EXPECT_NEAR(points[i].x, corner.x, 1e-9) << "corner " << i - from;
        EXPECT_NEAR(points[i].y, corner.y, 1e-9) << "corner " << i - from;
        EXPECT_NEAR(points[i].z, corner.z, 1e-9) << "corner " << i - from;
        ++i;
    }
}

class DrawingTextTest : public DrawingTest {
protected:
    // A text style "Wide" that stretches characters twice.
    AcDbObjectId addWideStyle() {
        auto* style = new AcDbTextStyleTableRecord();
        style->setXScale(2.0);
        return testsupport::addRecord<AcDbTextStyleTable>(db(), style, L"Wide");
    }

    AcDbObjectId standard() {
        AcDbObjectId id;
        EXPECT_EQ(CVLKCTextStyleTablePtr().getId(L"Standard", id), Acad::eOk);
        return id;
    }
};

TEST_F(DrawingTextTest, DrawingTextWidthByStyleNameAndId) {
    const AcDbObjectId wide = addWideStyle();
    EXPECT_NEAR(CVLKCTextPtr::getWidth(L"ABC", 2.0, 0.0, L"Standard"), 4.2, 1e-12);
    EXPECT_NEAR(CVLKCTextPtr::getWidth(L"ABC", 2.0, 1.0, L"Wide"), 8.4, 1e-12);
    EXPECT_NEAR(CVLKCTextPtr::getWidth(L"ABC", 2.0, 0.5, wide), 8.4, 1e-12);
    EXPECT_NEAR(CVLKCTextPtr::getWidth(L"ABC", 2.0, 0.0, standard()), 4.2, 1e-12);

    // The same as the text box the host measures for a text with descenders in that style.
    resbuf* args = acutBuildList(1, L"gyp", 40, 1.5, 7, L"Wide", 0);
    ads_point low = {0, 0, 0};
    ads_point high = {0, 0, 0};
    ASSERT_EQ(acedTextBox(args, low, high), RTNORM);
    acutRelRb(args);
    EXPECT_DOUBLE_EQ(CVLKCTextPtr::getWidth(L"gyp", 1.5, 0.0, wide), high[0] - low[0]);

    for (double width : {CVLKCTextPtr::getWidth(nullptr, 2.0, 0.0, L"Standard"),
                         CVLKCTextPtr::getWidth(L"ABC", 2.0, 0.0, static_cast<wchar_t*>(nullptr)),
                         CVLKCTextPtr::getWidth(L"ABC", 0.0, 0.0, L"Standard"),
                         CVLKCTextPtr::getWidth(L"ABC", -1.0, 0.0, L"Standard"),
                         CVLKCTextPtr::getWidth(L"ABC", 2.0, 0.0, L"Missing"),
                         CVLKCTextPtr::getWidth(L"ABC", 2.0, 0.0, AcDbObjectId::kNull)}) {
        EXPECT_EQ(width, -1.0);
    }
}

TEST_F(DrawingTextTest, DrawingTextBoxOfATurnedText) {
    const AcDbObjectId wide = addWideStyle();
    CVLKCTextPtr text;
    CVLKCDraw::text({10, 20, 0}, L"ABC", 2.0, 90.0, AcDb::kTextBase, AcDb::kTextLeft, wide, &text);
    ASSERT_NE(text, nullptr);
    EXPECT_NEAR(text.getWidth(), 8.4, 1e-12);

    // 8.4 along +y from the insertion point, 2 high towards -x.
    AcGePoint3dArray points;
    points.append(AcGePoint3d(-1, -1, -1));
    ASSERT_EQ(text.GetTextBoundingBox(points), 1);
    expectCorners(points, 1, {{10, 20, 0}, {10, 28.4, 0}, {8, 28.4, 0}, {8, 20, 0}, {10, 20, 0}});

    CVLKCTextPtr empty;
    EXPECT_EQ(empty.getWidth(), -1.0);
    EXPECT_EQ(empty.GetTextBoundingBox(points), 0);
    EXPECT_EQ(points.length(), 6);
}

TEST_F(DrawingTextTest, DrawingTextBoxOfAnUpsideDownAttribute) {
    const AcDbObjectId block = addBlock(L"Label");
    append(new AcDbAttributeDefinition({0, 1, 0}, L"", L"NAME", L"", standard()), block);
    CStringArray values;
    values.Add(CString(L"ABC"));
    CVLKCBlockReferencePtr reference;
    CVLKCDraw::insertBlockReference(block, {10, 0, 0}, &values, 1.0, &reference);
    CVLKCAttribPtr attribute;
    ASSERT_EQ(reference.openAttribute(L"NAME", attribute), Acad::eOk);
    ASSERT_EQ(attribute->setHeight(2.0), Acad::eOk);
    ASSERT_EQ(attribute->setRotation(kPi), Acad::eOk);
    EXPECT_NEAR(attribute.GetWidth(), 4.2, 1e-12);

    // Reading leftwards from (10,1), the top of the letters towards -y.
    AcGePoint3dArray points;
    ASSERT_EQ(attribute.GetTextBoundingBox(points), 1);
    expectCorners(points, 0, {{10, 1, 0}, {5.8, 1, 0}, {5.8, -1, 0}, {10, -1, 0}, {10, 1, 0}});

    CVLKCAttribPtr empty;
    EXPECT_EQ(empty.GetWidth(), -1.0);
    EXPECT_EQ(empty.GetTextBoundingBox(points), 0);
    EXPECT_EQ(points.length(), 5);
}

}  // namespace
