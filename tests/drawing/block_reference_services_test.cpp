// The services of block-reference pointers on references made by CVLKCDraw: the attribute
// members, moving and turning with the attributes, exploding into the owner and the on-screen
// mark. The fixture fails any test that leaves an attribute or a copy open.
#include <cmath>

#include "drawing_fixture.h"
#include "kestrel/drawing/attrib_ptr.h"
#include "kestrel/drawing/block_reference_ptr.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/line.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace {

using testsupport::near;

using drawing_test::DrawingTest;

constexpr double kPi = 3.14159265358979323846;

class DrawingBlockRefTest : public DrawingTest {
protected:
    // "Tag": attribute definitions Name at (0,0), SIZE at (0,1), and a line (0,0)-(1,2).
    AcDbObjectId tagBlock() {
        const AcDbObjectId block = addBlock(L"Tag");
        append(new AcDbAttributeDefinition({0, 0, 0}, L"", L"Name", L"Name?"), block);
        append(new AcDbAttributeDefinition({0, 1, 0}, L"", L"SIZE", L"Size?"), block);
        append(new AcDbLine({0, 0, 0}, {1, 2, 0}), block);
        return block;
    }

    // A reference to "Tag" at (10,0) with the texts "door" and "12", open for write.
    void insertTag(CVLKCBlockReferencePtr& reference) {
        CStringArray values;
        values.Add(CString(L"door"));
        values.Add(CString(L"12"));
        CVLKCDraw::insertBlockReference(tagBlock(), {10, 0, 0}, &values, 1.0, &reference);
        ASSERT_NE(reference, nullptr);
    }

    AcGePoint3d attributePosition(AcDbObjectId id) {
        return testsupport::open<AcDbAttribute>(id)->position();
    }
};

TEST_F(DrawingBlockRefTest, DrawingBlockRefAttributesByTag) {
    CVLKCBlockReferencePtr reference;
    insertTag(reference);

    EXPECT_EQ(reference.getAttributeText(L"name"), CString(L"door"));
    EXPECT_EQ(reference.getAttributeText(L"Size"), CString(L"12"));
    EXPECT_EQ(reference.getAttributeText(L"Colour"), CString(L""));
    EXPECT_EQ(reference.getAttributeText(nullptr), CString(L""));

    EXPECT_TRUE(reference.GetAttributeId(L"name").isNull());
    const AcDbObjectId sizeId = reference.GetAttributeId(L"SIZE");
    ASSERT_FALSE(sizeId.isNull());
    EXPECT_EQ(std::wstring(testsupport::open<AcDbAttribute>(sizeId)->tagConst()), L"SIZE");

    EXPECT_EQ(reference.setAttributeText(L"size", L"14"), Acad::eOk);
    EXPECT_EQ(reference.getAttributeText(L"SIZE"), CString(L"14"));
    EXPECT_EQ(reference.getAttributeText(L"NAME"), CString(L"door"));

    CStringArray tags;
    tags.Add(CString(L"stale"));
    ASSERT_EQ(reference.getAllAttributeTag(tags), 2);
    EXPECT_EQ(tags[0], CString(L"Name"));
    EXPECT_EQ(tags[1], CString(L"SIZE"));
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefLastExactTagWinsAndNoAttributesListNothing) {
    const AcDbObjectId twice = addBlock(L"Twice");
    append(new AcDbAttributeDefinition({0, 0, 0}, L"", L"DUP", L""), twice);
    append(new AcDbAttributeDefinition({0, 1, 0}, L"", L"DUP", L""), twice);
    CStringArray values;
    values.Add(CString(L"first"));
    values.Add(CString(L"second"));
    CVLKCBlockReferencePtr reference;
    CVLKCDraw::insertBlockReference(twice, {0, 0, 0}, &values, 1.0, &reference);
    const AcDbObjectId last = reference.GetAttributeId(L"DUP");
    EXPECT_EQ(std::wstring(testsupport::open<AcDbAttribute>(last)->textStringConst()), L"second");
    EXPECT_EQ(reference.getAttributeText(L"dup"), CString(L"first"));

    CVLKCBlockReferencePtr bare;
    CVLKCDraw::insertBlockReference(addBlock(L"Bare"), {0, 0, 0}, nullptr, 1.0, &bare);
    CStringArray tags;
    tags.Add(CString(L"stale"));
    EXPECT_EQ(bare.getAllAttributeTag(tags), 0);
    EXPECT_EQ(tags.GetSize(), 0);
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefOpenAttributeHandsOverTheOpen) {
    CVLKCBlockReferencePtr reference;
    insertTag(reference);
    CVLKCAttribPtr attribute;
    ASSERT_EQ(reference.openAttribute(L"NAME", attribute), Acad::eOk);
    ASSERT_NE(attribute, nullptr);
    EXPECT_EQ(attribute.mode(), AcDb::kForWrite);
    EXPECT_EQ(attribute.status(), Acad::eOk);
    EXPECT_EQ(std::wstring(attribute->tagConst()), L"Name");

    // A second match closes the first attribute before the pointer takes the new one.
    const AcDbObjectId nameId = attribute->objectId();
    ASSERT_EQ(reference.openAttribute(L"size", attribute), Acad::eOk);
    EXPECT_EQ(std::wstring(attribute->tagConst()), L"SIZE");
    EXPECT_TRUE(drawing_test::writable(nameId));

    // No match: the walk passes the held SIZE attribute, answers its refusal, keeps the pointer.
    const AcDbAttribute* held = attribute;
    EXPECT_NE(reference.openAttribute(L"Colour", attribute), Acad::eOk);
    EXPECT_EQ(static_cast<AcDbAttribute*>(attribute), held);
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefAttributeThatDoesNotOpen) {
    CVLKCBlockReferencePtr reference;
    insertTag(reference);
    CVLKCAttribPtr name;
    ASSERT_EQ(reference.openAttribute(L"Name", name), Acad::eOk);

    // getAttributeText ends at the refused attribute; the other walks pass over it.
    EXPECT_EQ(reference.getAttributeText(L"SIZE"), CString(L""));
    EXPECT_NE(reference.status(), Acad::eOk);
    EXPECT_FALSE(reference.GetAttributeId(L"SIZE").isNull());
    CStringArray tags;
    ASSERT_EQ(reference.getAllAttributeTag(tags), 1);
    EXPECT_EQ(tags[0], CString(L"SIZE"));
    EXPECT_EQ(reference.setAttributeText(L"SIZE", L"20"), Acad::eOk);

    // setRotation turns the reference and SIZE, and answers the refusal of Name.
    EXPECT_NE(reference.setRotation(kPi / 2), Acad::eOk);
    EXPECT_DOUBLE_EQ(reference->rotation(), kPi / 2);
    EXPECT_DOUBLE_EQ(name->rotation(), 0.0);
    name.close();
    EXPECT_TRUE(near(attributePosition(reference.GetAttributeId(L"SIZE")), AcGePoint3d(9, 0, 0)));
    EXPECT_EQ(reference.getAttributeText(L"SIZE"), CString(L"20"));
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefMoveAndTurnCarryTheAttributes) {
    CVLKCBlockReferencePtr reference;
    insertTag(reference);
    const AcDbObjectId nameId = reference.GetAttributeId(L"Name");
    const AcDbObjectId sizeId = reference.GetAttributeId(L"SIZE");

    ASSERT_EQ(reference.setPosition({13, 4, 0}), Acad::eOk);
    EXPECT_TRUE(near(reference->position(), AcGePoint3d(13, 4, 0)));
    EXPECT_TRUE(near(attributePosition(nameId), AcGePoint3d(13, 4, 0)));
    EXPECT_TRUE(near(attributePosition(sizeId), AcGePoint3d(13, 5, 0)));

    ASSERT_EQ(reference.setRotation(kPi / 2), Acad::eOk);
    ASSERT_EQ(reference.setRotation(kPi), Acad::eOk);
    EXPECT_DOUBLE_EQ(reference->rotation(), kPi);
    EXPECT_TRUE(near(attributePosition(nameId), AcGePoint3d(13, 4, 0)));
    EXPECT_TRUE(near(attributePosition(sizeId), AcGePoint3d(13, 3, 0)));
    EXPECT_DOUBLE_EQ(testsupport::open<AcDbAttribute>(sizeId)->rotation(), kPi);

    ASSERT_EQ(reference.setPosition({0, 0, 0}), Acad::eOk);
    EXPECT_TRUE(near(attributePosition(sizeId), AcGePoint3d(0, -1, 0)));
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefRefusalsWithoutWriteOrObject) {
    CVLKCBlockReferencePtr reference;
    insertTag(reference);
    ASSERT_EQ(reference.downgradeOpen(), Acad::eOk);
    EXPECT_EQ(reference.setPosition({1, 1, 0}), Acad::eNotOpenForWrite);
    EXPECT_EQ(reference.setRotation(1.0), Acad::eNotOpenForWrite);
    EXPECT_TRUE(near(reference->position(), AcGePoint3d(10, 0, 0)));
    EXPECT_DOUBLE_EQ(reference->rotation(), 0.0);

    CVLKCBlockReferencePtr empty;
    CVLKCAttribPtr attribute;
    CStringArray tags;
    AcDbObjectIdArray ids;
    EXPECT_EQ(empty.openAttribute(L"Name", attribute), Acad::eNullObjectId);
    EXPECT_EQ(attribute, nullptr);
    EXPECT_EQ(empty.getAttributeText(L"Name"), CString(L""));
    EXPECT_EQ(empty.getAllAttributeTag(tags), 0);
    EXPECT_TRUE(empty.GetAttributeId(L"Name").isNull());
    EXPECT_EQ(empty.setPosition({1, 1, 0}), Acad::eNotOpenForWrite);
    EXPECT_EQ(empty.setRotation(1.0), Acad::eNotOpenForWrite);
    EXPECT_EQ(empty.explode(ids), Acad::eNotOpenForWrite);  // the status setRotation left
    EXPECT_FALSE(empty.mark(1, 0));
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefExplodeCopiesIntoTheOwner) {
    CVLKCBlockReferencePtr reference;
    CVLKCDraw::insertBlockReference(tagBlock(), {10, 0, 0}, nullptr, 2.0, &reference);
    ASSERT_EQ(reference.setRotation(kPi / 2), Acad::eOk);
    AcDbObjectIdArray ids;
    ids.append(AcDbObjectId::kNull);
    ASSERT_EQ(reference.explode(ids), Acad::eOk);

    // Two attribute definitions and the line, each in model space; the line scaled by 2,
    // turned a quarter and moved to (10,0): (0,0)-(1,2) becomes (10,0)-(6,2).
    ASSERT_EQ(ids.length(), 3);
    int lines = 0;
    for (int i = 0; i < ids.length(); ++i) {
        auto copy = testsupport::open<AcDbEntity>(ids[i]);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->blockId(), db()->modelSpaceId());
        if (auto* line = AcDbLine::cast(copy.get())) {
            ++lines;
            EXPECT_TRUE(near(line->startPoint(), AcGePoint3d(10, 0, 0)));
            EXPECT_TRUE(near(line->endPoint(), AcGePoint3d(6, 2, 0)));
        }
    }
    EXPECT_EQ(lines, 1);
    EXPECT_FALSE(reference->isErased());

    // A reference scaled unevenly is left alone.
    ASSERT_EQ(reference->setScaleFactors(AcGeScale3d(1, 2, 1)), Acad::eOk);
    AcDbObjectIdArray untouched;
    untouched.append(AcDbObjectId::kNull);
    EXPECT_EQ(reference.explode(untouched), reference.status());
    EXPECT_EQ(untouched.length(), 1);
}

TEST_F(DrawingBlockRefTest, DrawingBlockRefMarkDrawsTheEnlargedDiagonals) {
    const AcDbObjectId lineBlock = addBlock(L"Line");
    append(new AcDbLine({0, 0, 0}, {1, 2, 0}), lineBlock);
    const AcDbObjectId emptyBlock = addBlock(L"Nothing");

    // Box (10,0)-(11,2) five times about (10.5,1): (8,-4)-(13,6). An empty block at (3,4) is a
    // point there, which first grows by 1.41 each way: 7.05 each way after the enlargement.
    struct Case {
        AcDbObjectId block;
        AcGePoint3d position;
        double minX, minY, maxX, maxY;
    };
    for (const Case& c : {Case{lineBlock, {10, 0, 0}, 8, -4, 13, 6},
                          Case{emptyBlock, {3, 4, 0}, -4.05, -3.05, 10.05, 11.05}}) {
        host::clearScreen();
        CVLKCBlockReferencePtr reference;
        CVLKCDraw::insertBlockReference(c.block, c.position, nullptr, 1.0, &reference);
        ASSERT_TRUE(reference.mark(3, 1));
        const std::vector<host::ScreenVector> drawn = host::screenVectors();
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_TRUE(near(drawn[0].from, AcGePoint3d(c.maxX, c.maxY, 0)));
        EXPECT_TRUE(near(drawn[0].to, AcGePoint3d(c.minX, c.minY, 0)));
        EXPECT_TRUE(near(drawn[1].from, AcGePoint3d(c.maxX, c.minY, 0)));
        EXPECT_TRUE(near(drawn[1].to, AcGePoint3d(c.minX, c.maxY, 0)));
        EXPECT_EQ(drawn[0].color, 3);
        EXPECT_EQ(drawn[1].highlight, 1);
    }
}

}  // namespace
