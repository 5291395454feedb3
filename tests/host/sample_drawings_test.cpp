// The sample drawings: sound as saved, built in the shapes they promise, and a refused step
// reported without stopping the rest or leaving anything open. What other programs read of the
// every-kind drawing is the interop suite's.
#include "kestrel/host/sample_drawings.h"

#include <gtest/gtest.h>

#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace {

using testsupport::open;

class SampleDrawingsTest : public ::testing::Test {
protected:
    void TearDown() override { testsupport::expectHostClean(); }

    std::vector<AcDbObjectId> modelEntities() {
        return testsupport::entitiesOf(m_db.modelSpaceId());
    }

    AcDbDatabase m_db;
};

TEST_F(SampleDrawingsTest, EveryKindIsSoundAndReportsTheFirstRefusalOfASecondRun) {
    ASSERT_EQ(host::addEveryKind(m_db), Acad::eOk);
    testsupport::expectSoundDrawing(&m_db);
    const std::size_t entities = modelEntities().size();
    EXPECT_GE(entities, 20u);
    // The layers exist now: the second run says so and still adds its entities.
    EXPECT_EQ(host::addEveryKind(m_db), Acad::eDuplicateRecordName);
    EXPECT_GT(modelEntities().size(), entities);
}

TEST_F(SampleDrawingsTest, PolylinesFollowTheirShapeAndCarryTheirData) {
    const host::SampleShape sparse = host::kSampleShapes[0];
    const host::SampleShape high = host::kSampleShapes[1];
    ASSERT_EQ(host::addSamplePolylines(m_db, 3, 4, high), Acad::eOk);
    ASSERT_EQ(host::addSamplePolylines(m_db, 3, 4, sparse), Acad::eOk);
    const std::vector<AcDbObjectId> ids = modelEntities();
    ASSERT_EQ(ids.size(), 6u);
    EXPECT_GE(ids[0].handle().value(), high.firstHandle);
    EXPECT_GE(ids[5].handle().value() - ids[4].handle().value(), sparse.gap);
    auto entity = open<AcDbEntity>(ids[5]);
    resbuf* xdata = entity->xData(host::kEveryKindApp);
    EXPECT_NE(xdata, nullptr);
    acutRelRb(xdata);
    EXPECT_FALSE(entity->extensionDictionary().isNull());
    entity.reset();
    testsupport::expectSoundDrawing(&m_db);
}

TEST_F(SampleDrawingsTest, LinesRunAlongTheGrid) {
    ASSERT_EQ(host::addSampleLines(m_db, 1002), Acad::eOk);
    const std::vector<AcDbObjectId> ids = modelEntities();
    ASSERT_EQ(ids.size(), 1002u);
    auto line = open<AcDbLine>(ids[1001]);
    EXPECT_EQ(line->startPoint(), AcGePoint3d(1, 1, 0));
    EXPECT_EQ(line->endPoint(), host::sampleLine(1001).end);
}

}  // namespace
