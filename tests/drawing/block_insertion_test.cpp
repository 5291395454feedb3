// Block references with attributes made from the definition's attribute definitions, and block
// definitions brought in from drawing files (written by the host in a temporary folder), with
// the module's one message on failure.
#include <filesystem>
#include <fstream>

#include "drawing_fixture.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"

// An attribute definition of a derived class: insertions skip it.
class DrawingTestAttributeDefinition : public AcDbAttributeDefinition {
public:
    ACRX_DECLARE_MEMBERS(DrawingTestAttributeDefinition);
    DrawingTestAttributeDefinition() = default;
};
ACRX_CONS_DEFINE_MEMBERS(DrawingTestAttributeDefinition, AcDbAttributeDefinition, 0);

namespace fs = std::filesystem;

namespace {

using drawing_test::DrawingTest;
using drawing_test::writable;

struct AttributeText {
    std::wstring tag;
    std::wstring text;
    AcGePoint3d position;
};

class DrawingBlockTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        // A drawing whose model space holds a line on layer "Frame" and which defines "Door".
        AcDbDatabase source;
        const AcDbObjectId frameId =
            testsupport::addRecord<AcDbLayerTable>(&source, new AcDbLayerTableRecord(), L"Frame");
        auto* line = new AcDbLine({0, 0, 0}, {10, 0, 0});
        line->setDatabaseDefaults(&source);
        line->setLayer(frameId);
        append(line, source.modelSpaceId());
        fillDoor(addBlock(L"Door", &source));
        ASSERT_EQ(source.saveAs(path("parts.dxf").c_str()), Acad::eOk);
    }
    std::wstring path(const char* name) const { return m_files.widePath(name); }

    // Three attribute definitions (tags A, B, C, each with a default text) and a line.
    void fillDoor(AcDbObjectId block) {
        append(new AcDbAttributeDefinition({0, 0, 0}, L"dA", L"A", L"a?"), block);
        append(new AcDbLine({0, 0, 0}, {1, 2, 0}), block);
        append(new AcDbAttributeDefinition({0, 1, 0}, L"dB", L"B", L"b?"), block);
        append(new AcDbAttributeDefinition({0, 2, 0}, L"dC", L"C", L"c?"), block);
    }

    // The attributes of the reference in order.
    std::vector<AttributeText> attributesOf(AcDbObjectId referenceId) {
        std::vector<AttributeText> found;
        const auto reference = testsupport::open<AcDbBlockReference>(referenceId);
        for (AcDbObjectId id : testsupport::idsOf(reference->attributeIterator())) {
            const auto attribute = testsupport::open<AcDbAttribute>(id);
            found.push_back(
                {attribute->tagConst(), attribute->textStringConst(), attribute->position()});
        }
        return found;
    }

    // The number of entities in the block.
    int entityCount(AcDbObjectId block) {
        return static_cast<int>(testsupport::entitiesOf(block).size());
    }

    bool hasLayer(const wchar_t* name) {
        return testsupport::open<AcDbLayerTable>(db()->layerTableId())->has(name);
    }

private:
    testsupport::TestFolder m_files;
};

TEST_F(DrawingBlockTest, DrawingBlockReferenceTakesValuesInDefinitionOrder) {
    const AcDbObjectId door = addBlock(L"Door");
    fillDoor(door);
    CStringArray values;
    values.Add(L"first");
    values.Add(L"second");
    const AcDbObjectId id = CVLKCDraw::insertBlockReference(door, {10, 20, 0}, &values, 2.0);
    ASSERT_FALSE(id.isNull());
    EXPECT_TRUE(host::openObjects().empty());
    EXPECT_EQ(values.GetSize(), 2);

    const std::vector<AttributeText> attributes = attributesOf(id);
    ASSERT_EQ(attributes.size(), 3u);
    EXPECT_EQ(attributes[0].tag, L"A");
    EXPECT_EQ(attributes[0].text, L"first");
    EXPECT_EQ(attributes[1].tag, L"B");
    EXPECT_EQ(attributes[1].text, L"second");
    EXPECT_EQ(attributes[2].tag, L"C");
    EXPECT_EQ(attributes[2].text, L"");
    // Placed through the block transform: (0, 2) scaled by 2 and moved to (10, 20).
    EXPECT_NEAR(attributes[2].position.x, 10.0, 1e-9);
    EXPECT_NEAR(attributes[2].position.y, 24.0, 1e-9);

    CVLKCBlockReferencePtr reference(id, AcDb::kForRead);
    EXPECT_EQ(reference->blockTableRecord(), door);
    EXPECT_DOUBLE_EQ(reference->scaleFactors().sz, 2.0);
    EXPECT_EQ(reference->rotation(), 0.0);
}

TEST_F(DrawingBlockTest, DrawingBlockReferenceWithoutValuesHasEmptyAttributes) {
    const AcDbObjectId door = addBlock(L"Door");
    fillDoor(door);
    // A derived definition class is not an attribute definition here.
    auto* derived = new DrawingTestAttributeDefinition();
    derived->setTag(L"D");
    append(derived, door);

    CVLKCBlockReferencePtr reference;
    const AcDbObjectId id =
        CVLKCDraw::insertBlockReference(door, {0, 0, 0}, nullptr, 1.0, &reference);
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference.mode(), AcDb::kForWrite);
    EXPECT_EQ(host::openObjects().size(), 1u);
    reference.close();
    const std::vector<AttributeText> attributes = attributesOf(id);
    ASSERT_EQ(attributes.size(), 3u);
    for (const AttributeText& attribute : attributes) {
        EXPECT_EQ(attribute.text, L"");
    }

    // More values than definitions: the rest is ignored.
    CStringArray values;
    for (const wchar_t* value : {L"1", L"2", L"3", L"4"}) {
        values.Add(value);
    }
    const std::vector<AttributeText> full =
        attributesOf(CVLKCDraw::insertBlockReference(door, {0, 0, 0}, &values, 1.0));
    ASSERT_EQ(full.size(), 3u);
    EXPECT_EQ(full[2].text, L"3");
}

TEST_F(DrawingBlockTest, DrawingBlockReferenceWhoseDefinitionDoesNotOpen) {
    const AcDbObjectId door = addBlock(L"Door");
    fillDoor(door);
    AcDbBlockTableRecord* held = nullptr;
    ASSERT_EQ(acdbOpenObject(held, door, AcDb::kForWrite), Acad::eOk);
    const AcDbObjectId id = CVLKCDraw::insertBlockReference(door, {0, 0, 0}, nullptr, 1.0);
    held->close();
    ASSERT_FALSE(id.isNull());
    EXPECT_TRUE(attributesOf(id).empty());
    EXPECT_TRUE(writable(id));
}

TEST_F(DrawingBlockTest, DrawingBlockDefinitionFromAWholeFile) {
    const AcDbObjectId id = CVLKCDraw::insertBlockDefinition(L"Parts", path("parts.dxf").c_str());
    ASSERT_FALSE(id.isNull());
    EXPECT_TRUE(host::openObjects().empty());
    EXPECT_EQ(host::commandLine(), L"");
    EXPECT_EQ(entityCount(id), 1);
    EXPECT_TRUE(hasLayer(L"Frame"));
    const wchar_t* text = nullptr;
    testsupport::open<AcDbBlockTableRecord>(id)->getName(text);
    EXPECT_STREQ(text, L"Parts");

    // Present now: the file is not read again (not even when it is gone).
    fs::remove(wideToUtf8(path("parts.dxf")));
    EXPECT_EQ(CVLKCDraw::insertBlockDefinition(L"parts", path("parts.dxf").c_str()), id);
    EXPECT_EQ(host::commandLine(), L"");
}

TEST_F(DrawingBlockTest, DrawingBlockDefinitionFromAMissingFilePrintsTheMessage) {
    const std::wstring file = path("missing.dxf");
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(L"Parts", file.c_str()).isNull());
    EXPECT_EQ(host::commandLine(), L"\nError inserting\n Block name: Parts\n File name: " + file +
                                       L"\n ErrorStatus: 68");
    EXPECT_TRUE(host::openObjects().empty());

    // A name the block table refuses fails in the insertion, with its status.
    host::clearCommandLine();
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(L"a|b", path("parts.dxf").c_str()).isNull());
    EXPECT_EQ(host::commandLine(), L"\nError inserting\n Block name: a|b\n File name: " +
                                       path("parts.dxf") + L"\n ErrorStatus: 29");

    host::clearCommandLine();
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(nullptr, file.c_str()).isNull());
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(L"X", nullptr).isNull());
    EXPECT_EQ(host::commandLine(), L"");
}

TEST_F(DrawingBlockTest, DrawingBlockDefinitionOfOneBlockOfAFile) {
    const AcDbObjectId id =
        CVLKCDraw::insertBlockDefinition(L"MyDoor", L"Door", path("parts.dxf").c_str());
    ASSERT_FALSE(id.isNull());
    EXPECT_EQ(entityCount(id), 4);
    // Its attribute definitions serve insertions as those of a block made here.
    CStringArray values;
    values.Add(L"v");
    const std::vector<AttributeText> attributes =
        attributesOf(CVLKCDraw::insertBlockReference(id, {0, 0, 0}, &values, 1.0));
    ASSERT_EQ(attributes.size(), 3u);
    EXPECT_EQ(attributes[0].text, L"v");
    EXPECT_EQ(attributes[1].tag, L"B");

    EXPECT_EQ(CVLKCDraw::insertBlockDefinition(L"mydoor", L"Other", L"/nonexistent.dxf"), id);
    // Failures print nothing.
    EXPECT_TRUE(
        CVLKCDraw::insertBlockDefinition(L"Window", L"Window", path("parts.dxf").c_str()).isNull());
    EXPECT_TRUE(
        CVLKCDraw::insertBlockDefinition(L"Window", L"Door", path("missing.dxf").c_str()).isNull());
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(L"Window", nullptr, L"x").isNull());
    EXPECT_EQ(host::commandLine(), L"");
    EXPECT_TRUE(host::openObjects().empty());
}

TEST_F(DrawingBlockTest, DrawingBlockDefinitionFromADrawingThatFailsToRead) {
    const std::wstring broken = path("broken.dxf");
    std::ofstream(wideToUtf8(broken)) << "This is no drawing.\n";
    // The whole-file form stops at the read and reports its status.
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(L"Parts", broken.c_str()).isNull());
    const std::wstring printed = host::commandLine();
    EXPECT_EQ(printed.rfind(L"\nError inserting\n Block name: Parts\n File name: " + broken, 0),
              0u);
    EXPECT_EQ(printed.find(L"ErrorStatus: 0"), std::wstring::npos);
    // The one-block form asks what the failed read left for the block all the same: nothing.
    host::clearCommandLine();
    EXPECT_TRUE(CVLKCDraw::insertBlockDefinition(L"Window", L"Door", broken.c_str()).isNull());
    EXPECT_EQ(host::commandLine(), L"");
    EXPECT_FALSE(testsupport::open<AcDbBlockTable>(db()->blockTableId())->has(L"Window"));
}

}  // namespace
