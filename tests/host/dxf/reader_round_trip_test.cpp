// Round trips through files: a drawing written by the host and read back, and a file of another
// program read, written and read again, give the same objects under the same handles, each
// filing the same groups (references compared by handle, reals to the last bits of a decimal).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>

#include "host/db/object_store.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/rx/class.h"
#include "tests/host/dxf/reader_fixture.h"

namespace {

using dxftest::open;
using testsupport::appendEntity;

// The groups of an object with its references as handle texts, so that two databases compare.
host::DxfItemList comparable(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead, true), Acad::eOk);
    if (object == nullptr) {
        return {};
    }
    host::DxfItemFiler filer(id.database());
    EXPECT_EQ(object->dxfOut(&filer), Acad::eOk);
    object->close();
    host::DxfItemList items = filer.takeItems();
    for (host::DxfItem& item : items) {
        if (const auto* ref = std::get_if<AcDbObjectId>(&item.value)) {
            item.value = std::wstring(L"#") + ref->handle().text();
        }
    }
    return items;
}

bool near(double a, double b) {
    return std::abs(a - b) <= 1e-12 * std::max({1.0, std::abs(a), std::abs(b)});
}

bool sameItem(const host::DxfItem& a, const host::DxfItem& b) {
    if (a.code != b.code || a.value.index() != b.value.index()) {
        return false;
    }
    if (const auto* real = std::get_if<double>(&a.value)) {
        return near(*real, b.real());
    }
    if (const auto* point = std::get_if<AcGePoint3d>(&a.value)) {
        return near(point->x, b.point().x) && near(point->y, b.point().y) &&
               near(point->z, b.point().z);
    }
    return a == b;
}

std::string describe(const host::DxfItemList& items) {
    std::string text;
    for (const host::DxfItem& item : items) {
        text += std::to_string(item.code) + "=";
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::wstring>) {
                    text += wideToUtf8(value);
                } else if constexpr (std::is_same_v<T, double> || std::is_same_v<T, std::int64_t>) {
                    text += std::to_string(value);
                } else if constexpr (std::is_same_v<T, AcGePoint3d>) {
                    text += std::to_string(value.x) + "," + std::to_string(value.y) + "," +
                            std::to_string(value.z);
                }
            },
            item.value);
        text += " ";
    }
    return text;
}

// Every live object of expected has its twin in actual: same handle, class and groups.
void expectSameObjects(AcDbDatabase& expected, AcDbDatabase& actual) {
    int compared = 0;
    for (std::uint32_t number : expected.objectStore()->slots()) {
        const host::ObjectSlot* slot = &host::slotAt(number);
        if (slot->object == nullptr || slot->object->isErased()) {
            continue;
        }
        const AcDbObjectId id = host::idOf(number);
        AcDbObjectId twin;
        ASSERT_EQ(actual.getAcDbObjectId(twin, false, slot->handle), Acad::eOk)
            << wideToUtf8(slot->handle.text());
        ASSERT_EQ(twin.objectClass(), id.objectClass()) << wideToUtf8(slot->handle.text());
        const host::DxfItemList a = comparable(id);
        const host::DxfItemList b = comparable(twin);
        const bool same =
            a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameItem);
        EXPECT_TRUE(same) << wideToUtf8(slot->handle.text()) << "\n  " << describe(a) << "\n  "
                          << describe(b);
        ++compared;
    }
    EXPECT_GT(compared, 20);
}

class DxfReaderRoundTrip : public dxftest::ReaderTest {
protected:
    // Writes db to name and reads it into a new database.
    std::unique_ptr<AcDbDatabase> throughFile(AcDbDatabase& db, const char* name) {
        const std::wstring path = m_files.widePath(name);
        EXPECT_EQ(db.saveAs(path.c_str()), Acad::eOk) << message();
        auto read = std::make_unique<AcDbDatabase>(false, true);
        EXPECT_EQ(read->readDwgFile(path.c_str()), Acad::eOk) << message();
        return read;
    }
};

TEST_F(DxfReaderRoundTrip, AHostDrawingComesBackAsItWasWritten) {
    AcDbDatabase db(true, true);
    const AcDbObjectId space = db.modelSpaceId();
    const AcDbObjectId lineId =
        appendEntity(new AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6)), space);
    appendEntity(new AcDbArc(AcGePoint3d(0, 0, 0), 2.0, 0.1, std::numbers::pi * 1.3), space);
    appendEntity(new AcDbCircle(AcGePoint3d(1, 1, 0), AcGeVector3d(0, 0, 1), 0.75), space);
    auto* lw = new AcDbPolyline();
    lw->addVertexAt(0, AcGePoint2d(0, 0), 0.5);
    lw->addVertexAt(1, AcGePoint2d(3, 1));
    appendEntity(lw, space);
    AcGePoint3dArray points = testsupport::pointArray({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}});
    appendEntity(new AcDb2dPolyline(AcDb::k2dSimplePoly, points, 1.5, true), space);

    const AcDbObjectId blockId =
        testsupport::addRecord<AcDbBlockTable>(&db, new AcDbBlockTableRecord(), L"TAG");
    appendEntity(new AcDbAttributeDefinition(AcGePoint3d(0, 1, 0), L"?", L"NUM", L"Number"),
                 blockId);
    auto* insert = new AcDbBlockReference(AcGePoint3d(5, 5, 0), blockId);
    insert->appendAttribute(new AcDbAttribute(AcGePoint3d(5, 6, 0), L"7", L"NUM"));
    appendEntity(insert, space);

    testsupport::addRecord<AcDbRegAppTable>(&db, new AcDbRegAppTableRecord(), L"KESTREL");
    {
        auto line = open<AcDbLine>(lineId, AcDb::kForWrite);
        resbuf* xdata = acutBuildList(1001, L"KESTREL", 1000, L"note", 1040, 2.5, 0);
        const Acad::ErrorStatus status = line->setXData(xdata);
        acutRelRb(xdata);
        ASSERT_EQ(status, Acad::eOk);
        ASSERT_EQ(line->createExtensionDictionary(), Acad::eOk);
    }
    {
        AcDbObjectId dictId;
        {
            auto line = open<AcDbLine>(lineId);
            dictId = line->extensionDictionary();
        }
        testsupport::putRecord(dictId, L"DATA", acutBuildList(1, L"kept", 70, 3, 0));
    }

    const auto read = throughFile(db, "host.dxf");
    ASSERT_NE(read, nullptr);
    expectSameObjects(db, *read);
    EXPECT_EQ(read->clayer().handle(), db.clayer().handle());
    EXPECT_EQ(read->textstyle().handle(), db.textstyle().handle());
    EXPECT_GE(read->handseed().value(), db.handseed().value());
    // A second pass changes nothing either.
    const auto again = throughFile(*read, "again.dxf");
    expectSameObjects(*read, *again);
}

TEST_F(DxfReaderRoundTrip, AFileOfAnotherProgramComesBackAsItWasRead) {
    AcDbDatabase first(false, true);
    const std::wstring sample = utf8ToWide(dxftest::sampleFile("ezdxf_sample.dxf").string());
    ASSERT_EQ(first.readDwgFile(sample.c_str()), Acad::eOk) << message();
    const auto second = throughFile(first, "written.dxf");
    ASSERT_NE(second, nullptr);
    expectSameObjects(first, *second);
    expectSameObjects(*second, first);
}

// The header section of a saved drawing, without the next handle.
std::string savedHeader(AcDbDatabase& db, const std::filesystem::path& path) {
    EXPECT_EQ(db.saveAs(utf8ToWide(path.string()).c_str()), Acad::eOk);
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string header = text.substr(0, text.find("ENDSEC"));
    const std::size_t seed = header.find("$HANDSEED\n");
    const std::size_t next = header.find("  9\n", seed);
    return seed == std::string::npos ? header : header.erase(seed, next - seed);
}

// Header variables the database does not model pass through as the file gave them, in place of
// the writer's defaults; the file's own (release, encoding) and references stay the writer's.
TEST_F(DxfReaderRoundTrip, HeaderVariablesOfTheFileComeBack) {
    const std::string text =
        dxftest::DrawingText()
            .header(
                "9\n$ACADMAINTVER\n70\n99\n9\n$LTSCALE\n40\n2.5\n9\n$INSUNITS\n70\n4\n"
                "9\n$MEASUREMENT\n70\n0\n9\n$LTSCALE\n40\n7\n9\n$UCSBASE\n346\n10\n"
                "9\n$PROJECTNAME\n1\nBridge\n9\n$LIMMAX\n10\n12\n20\n9\n")
            .str();
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, text), Acad::eOk) << message();
    const std::string header = savedHeader(db, m_files.path("first.dxf"));
    for (const char* given :
         {"$LTSCALE\n 40\n2.5\n", "$MEASUREMENT\n 70\n0\n", "$LIMMAX\n 10\n12.0\n 20\n9.0\n",
          "$INSUNITS\n 70\n4\n", "$PROJECTNAME\n  1\nBridge\n"}) {
        EXPECT_NE(header.find(given), std::string::npos) << given << "in:\n" << header;
    }
    EXPECT_EQ(header.find("$LTSCALE"), header.rfind("$LTSCALE"));  // the first one only
    EXPECT_EQ(header.find("$UCSBASE"), std::string::npos);
    EXPECT_EQ(header.find("$ACADMAINTVER\n 70\n99\n"), std::string::npos);
    EXPECT_LT(header.find("$TILEMODE"), header.find("$INSUNITS"));  // after the writer's own

    const auto again = throughFile(db, "second.dxf");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(savedHeader(*again, m_files.path("third.dxf")), header);
    AcDbDatabase fresh;
    EXPECT_NE(savedHeader(fresh, m_files.path("fresh.dxf")).find("$LTSCALE\n 40\n1.0\n"),
              std::string::npos);
}

}  // namespace
