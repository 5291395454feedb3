// Single-line texts, attribute definitions and attributes: alignment through the metric,
// extents (rotation, width factor, mirroring), transforms, stretch points, and attributes made
// from definitions through a block transform.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/host/db/entities/entity_fixture.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/scale3d.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;

constexpr double kPi = 3.14159265358979323846;

// "AB" at height 2 advances 2.8 (0.7 per character).
AcDbText* textAB(const AcGePoint3d& at = AcGePoint3d(0, 0, 0)) {
    return new AcDbText(at, L"AB", AcDbObjectId::kNull, 2.0);
}

class EntityTextTest : public entity_test::EntityTest {};

TEST_F(EntityTextTest, EntityTextExtentsFollowRotationWidthAndMirroring) {
    std::unique_ptr<AcDbText> text(textAB(AcGePoint3d(1, 1, 0)));
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(1, 1, 0), AcGePoint3d(3.8, 3, 0)));
    ASSERT_EQ(text->setWidthFactor(0.5), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(1, 1, 0), AcGePoint3d(2.4, 3, 0)));
    ASSERT_EQ(text->setWidthFactor(1.0), Acad::eOk);
    ASSERT_EQ(text->setRotation(kPi / 2), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(-1, 1, 0), AcGePoint3d(1, 3.8, 0)));
    ASSERT_EQ(text->setRotation(0.0), Acad::eOk);
    ASSERT_EQ(text->mirrorInX(true), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(-1.8, 1, 0), AcGePoint3d(1, 3, 0)));
    ASSERT_EQ(text->mirrorInY(true), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(-1.8, -1, 0), AcGePoint3d(1, 1, 0)));
}

TEST_F(EntityTextTest, EntityTextEmptyTextHasTheExtentsOfItsPosition) {
    AcDbText text(AcGePoint3d(4, 5, 6), L"", AcDbObjectId::kNull, 1.0);
    EXPECT_TRUE(boxIs(extentsOf(text), AcGePoint3d(4, 5, 6), AcGePoint3d(4, 5, 6)));
}

TEST_F(EntityTextTest, EntityTextAlignmentPointPlacesTheText) {
    std::unique_ptr<AcDbText> text(textAB());
    ASSERT_EQ(text->setHorizontalMode(AcDb::kTextCenter), Acad::eOk);
    ASSERT_EQ(text->setAlignmentPoint(AcGePoint3d(10, 10, 0)), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(8.6, 10, 0)));
    ASSERT_EQ(text->setVerticalMode(AcDb::kTextTop), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(8.6, 8, 0)));
    ASSERT_EQ(text->setHorizontalMode(AcDb::kTextRight), Acad::eOk);
    ASSERT_EQ(text->setVerticalMode(AcDb::kTextBottom), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(7.2, 10.5, 0)));
    ASSERT_EQ(text->setVerticalMode(AcDb::kTextVertMid), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(7.2, 9, 0)));
    // Middle: the middle of the advance and of the box.
    ASSERT_EQ(text->setHorizontalMode(AcDb::kTextMid), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(8.6, 9, 0)));
    // A changed text moves the position, not the alignment point.
    ASSERT_EQ(text->setTextString(L"ABAB"), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(7.2, 9, 0)));
    EXPECT_TRUE(near(text->alignmentPoint(), AcGePoint3d(10, 10, 0)));
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(7.2, 9, 0), AcGePoint3d(12.8, 11, 0)));
}

TEST_F(EntityTextTest, EntityTextAlignedAndFittedTextsSpanTheirPoints) {
    std::unique_ptr<AcDbText> aligned(textAB());
    ASSERT_EQ(aligned->setHorizontalMode(AcDb::kTextAlign), Acad::eOk);
    ASSERT_EQ(aligned->setAlignmentPoint(AcGePoint3d(0, 5.6, 0)), Acad::eOk);
    EXPECT_NEAR(aligned->height(), 4.0, 1e-12);
    EXPECT_NEAR(aligned->rotation(), kPi / 2, 1e-12);
    EXPECT_DOUBLE_EQ(aligned->widthFactor(), 1.0);

    std::unique_ptr<AcDbText> fitted(textAB());
    ASSERT_EQ(fitted->setHorizontalMode(AcDb::kTextFit), Acad::eOk);
    ASSERT_EQ(fitted->setAlignmentPoint(AcGePoint3d(5.6, 0, 0)), Acad::eOk);
    EXPECT_NEAR(fitted->widthFactor(), 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(fitted->height(), 2.0);
    AcGePoint3dArray points;
    fitted->getStretchPoints(points);
    EXPECT_EQ(points.length(), 2);
}

TEST_F(EntityTextTest, EntityTextRefusesBadValuesAndKeepsItsOwn) {
    std::unique_ptr<AcDbText> text(textAB());
    EXPECT_EQ(text->setHeight(0.0), Acad::eInvalidInput);
    EXPECT_EQ(text->setHeight(-1.0), Acad::eInvalidInput);
    EXPECT_EQ(text->setWidthFactor(std::nan("")), Acad::eInvalidInput);
    EXPECT_EQ(text->setHorizontalMode(static_cast<AcDb::TextHorzMode>(9)), Acad::eInvalidInput);
    EXPECT_EQ(text->setTextString(nullptr), Acad::eNullPtr);
    EXPECT_DOUBLE_EQ(text->height(), 2.0);
    EXPECT_EQ(text->horizontalMode(), AcDb::kTextLeft);
    ACHAR* copy = text->textString();
    EXPECT_STREQ(copy, L"AB");
    acutDelString(copy);
}

TEST_F(EntityTextTest, EntityTextTransformsScaleRotateAndMirror) {
    std::unique_ptr<AcDbText> text(textAB(AcGePoint3d(1, 0, 0)));
    ASSERT_EQ(text->transformBy(AcGeMatrix3d::scaling(2.0)), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(2, 0, 0)));
    EXPECT_DOUBLE_EQ(text->height(), 4.0);
    ASSERT_EQ(text->transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(0, 2, 0)));
    EXPECT_NEAR(text->rotation(), kPi / 2, 1e-12);
    EXPECT_EQ(text->transformBy(AcGeScale3d(1, 2, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_DOUBLE_EQ(text->height(), 4.0);

    // Mirrored in the YZ plane, the text reads backwards and keeps its box mirrored.
    std::unique_ptr<AcDbText> mirrored(textAB());
    ASSERT_EQ(mirrored->transformBy(
                  AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis))),
              Acad::eOk);
    EXPECT_TRUE(mirrored->isMirroredInX());
    EXPECT_TRUE(near(mirrored->normal(), AcGeVector3d::kZAxis));
    EXPECT_TRUE(boxIs(extentsOf(*mirrored), AcGePoint3d(-2.8, 0, 0), AcGePoint3d(0, 2, 0)));
}

TEST_F(EntityTextTest, EntityTextWithFlippedNormalKeepsWorldPoints) {
    std::unique_ptr<AcDbText> text(textAB(AcGePoint3d(1, 2, 3)));
    ASSERT_EQ(text->setNormal(AcGeVector3d(0, 0, -1)), Acad::eOk);
    EXPECT_TRUE(near(text->position(), AcGePoint3d(1, 2, 3)));
    // The OCS x axis of -Z is -X: the text runs towards -X.
    EXPECT_TRUE(boxIs(extentsOf(*text), AcGePoint3d(-1.8, 2, 3), AcGePoint3d(1, 4, 3)));
}

TEST_F(EntityTextTest, EntityAttributeFromDefinitionGoesThroughTheBlockTransform) {
    AcDbAttributeDefinition definition(AcGePoint3d(1, 0, 0), L"default", L"TAG", L"Value?");
    definition.setHeight(1.0);
    definition.setConstant(true);
    definition.setLayer(db()->layerZero());
    AcGeMatrix3d block = AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0)) *
                         AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis) *
                         AcGeMatrix3d::scaling(2.0);
    AcDbAttribute attribute;
    ASSERT_EQ(attribute.setAttributeFromBlock(&definition, block), Acad::eOk);
    EXPECT_TRUE(near(attribute.position(), AcGePoint3d(10, 2, 0)));
    EXPECT_DOUBLE_EQ(attribute.height(), 2.0);
    EXPECT_NEAR(attribute.rotation(), kPi / 2, 1e-12);
    EXPECT_STREQ(attribute.tagConst(), L"TAG");
    EXPECT_STREQ(attribute.textStringConst(), L"default");
    EXPECT_TRUE(attribute.isConstant());
    EXPECT_EQ(attribute.layerId(), db()->layerZero());

    EXPECT_EQ(attribute.setAttributeFromBlock(nullptr, block), Acad::eNullPtr);
    EXPECT_EQ(attribute.setAttributeFromBlock(&definition, AcGeScale3d(1, 3, 1)),
              Acad::eCannotScaleNonUniformly);
    EXPECT_TRUE(near(attribute.position(), AcGePoint3d(10, 2, 0)));
}

TEST_F(EntityTextTest, EntityAttributeTagsAndFlags) {
    AcDbAttribute attribute(AcGePoint3d(), L"v", L"A");
    EXPECT_EQ(attribute.setTag(L"HAS SPACE"), Acad::eInvalidInput);
    EXPECT_EQ(attribute.setTag(L""), Acad::eInvalidInput);
    EXPECT_EQ(attribute.setTag(nullptr), Acad::eNullPtr);
    EXPECT_STREQ(attribute.tagConst(), L"A");
    ACHAR* tag = attribute.tag();
    EXPECT_STREQ(tag, L"A");
    acutDelString(tag);
    ASSERT_EQ(attribute.setInvisible(true), Acad::eOk);
    EXPECT_TRUE(attribute.isInvisible());
    EXPECT_FALSE(attribute.isConstant());

    AcDbAttributeDefinition definition(AcGePoint3d(), L"", L"T", nullptr);
    EXPECT_STREQ(definition.promptConst(), L"");
    definition.setVerifiable(true);
    definition.setPreset(true);
    definition.setFieldLength(12);
    EXPECT_TRUE(definition.isVerifiable());
    EXPECT_TRUE(definition.isPreset());
    EXPECT_FALSE(definition.isInvisible());
    EXPECT_EQ(definition.fieldLength(), 12);
}

}  // namespace
