// The shared DXF conventions: the angle unit of files, the header table, the table order and the
// classes behind DXF names that several host classes share.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <string>

#include "host/dxf/dxf_conventions.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/dictionary.h"
#include "kestrel/platform/utf8.h"

namespace {

namespace dxf = host::dxf;

TEST(DxfConventions, AngleConversionRoundTripsWithinOneUlpOrSo) {
    for (double a : {0.0, 1e-9, 0.1, 1.0, 2.5, std::numbers::pi, 6.0, -4.0, 1e6}) {
        const double back = host::fileDegreesToRadians(host::radiansToFileDegrees(a));
        EXPECT_NEAR(back, a, std::abs(a) * 4e-16) << a;
    }
}

TEST(DxfConventions, HeaderTableStartsWithTheVersionAndHasUniqueNames) {
    const auto vars = dxf::headerVariables();
    ASSERT_FALSE(vars.empty());
    EXPECT_STREQ(vars.front().name, L"$ACADVER");
    std::set<std::wstring> names;
    for (const dxf::HeaderVariable& v : vars) {
        EXPECT_EQ(v.name[0], L'$');
        EXPECT_TRUE(names.insert(v.name).second) << wideToUtf8(v.name);
        EXPECT_EQ(dxf::findHeaderVariable(v.name), &v);
        if (v.kind == dxf::HeaderKind::kPoint2d || v.kind == dxf::HeaderKind::kPoint3d) {
            EXPECT_EQ(v.code, 10);
        }
    }
    EXPECT_EQ(dxf::findHeaderVariable(L"$NOSUCHVAR"), nullptr);
    EXPECT_EQ(dxf::findHeaderVariable(L"CLAYER"), nullptr);
    const dxf::HeaderVariable* seed = dxf::findHeaderVariable(L"$HANDSEED");
    ASSERT_NE(seed, nullptr);
    EXPECT_EQ(seed->code, 5);
    EXPECT_EQ(seed->binding, dxf::HeaderBinding::kHandleSeed);
    for (const wchar_t* name : {L"$CLAYER", L"$TEXTSTYLE", L"$DIMSTYLE", L"$EXTMIN", L"$EXTMAX"}) {
        EXPECT_NE(dxf::findHeaderVariable(name), nullptr);
    }
}

TEST(DxfConventions, TablesResolveToTheirHostClassesInFileOrder) {
    AcDbDatabase db;
    const auto tables = dxf::tableOrder();
    ASSERT_EQ(tables.size(), 9u);
    EXPECT_STREQ(tables.front().dxfName, L"VPORT");
    EXPECT_STREQ(tables.back().dxfName, L"BLOCK_RECORD");
    for (const dxf::TableInfo& t : tables) {
        EXPECT_EQ(dxf::findTable(t.dxfName), &t);
        const AcRxClass* table = AcRxClass::cast(acrxClassDictionary->at(t.tableClass));
        const AcRxClass* record = AcRxClass::cast(acrxClassDictionary->at(t.recordClass));
        ASSERT_NE(table, nullptr);
        ASSERT_NE(record, nullptr);
        EXPECT_STREQ(record->dxfName(), t.dxfName);
        AcDbObject* object = db.objectAt((db.*t.tableId)());
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->isA(), table);
    }
    EXPECT_EQ(dxf::findTable(L"BLOCK"), nullptr);
}

TEST(DxfConventions, SharedDxfNamesResolveBySubclassMarker) {
    const auto cls = [](const wchar_t* dxfName, std::vector<std::wstring> markers) {
        const AcRxClass* c = dxf::classForDxfName(dxfName, markers);
        return c != nullptr ? std::wstring(c->name()) : std::wstring(L"(none)");
    };
    EXPECT_EQ(cls(L"VERTEX", {L"AcDbEntity", L"AcDbVertex", L"AcDb2dVertex"}), L"AcDb2dVertex");
    EXPECT_EQ(cls(L"VERTEX", {L"AcDbEntity", L"AcDbVertex", L"AcDb3dPolylineVertex"}),
              L"AcDb3dPolylineVertex");
    EXPECT_EQ(cls(L"VERTEX", {L"AcDbEntity", L"AcDbVertex", L"AcDbPolyFaceMeshVertex"}), L"(none)");
    EXPECT_EQ(cls(L"POLYLINE", {L"AcDbEntity", L"AcDb3dPolyline"}), L"AcDb3dPolyline");
    EXPECT_EQ(
        cls(L"DIMENSION", {L"AcDbDimension", L"AcDbAlignedDimension", L"AcDbRotatedDimension"}),
        L"AcDbRotatedDimension");
    EXPECT_EQ(cls(L"DIMENSION", {L"AcDbDimension", L"AcDb3PointAngularDimension"}),
              L"AcDb3PointAngularDimension");
    EXPECT_EQ(cls(L"DIMENSION", {L"AcDbDimension", L"AcDbAlignedDimension"}), L"(none)");
    EXPECT_EQ(cls(L"LINE", {}), L"AcDbLine");
    EXPECT_EQ(cls(L"DICTIONARY", {}), L"AcDbDictionary");
    EXPECT_EQ(cls(L"TABLE", {}), L"(none)");  // every symbol table is a TABLE
    EXPECT_EQ(cls(L"NOSUCHTHING", {}), L"(none)");
}

TEST(DxfConventions, BuiltInNamesStayOutOfTheClassesSection) {
    for (const wchar_t* name : {L"LINE", L"VERTEX", L"DICTIONARY", L"XRECORD", L"BLOCK_RECORD",
                                L"DIMSTYLE", L"LWPOLYLINE", L"HATCH"}) {
        EXPECT_TRUE(dxf::isBuiltInDxfName(name)) << wideToUtf8(name);
    }
    for (const wchar_t* name : {L"LAYOUT", L"ACAD_TABLE", L"MLEADER", L"line"}) {
        EXPECT_FALSE(dxf::isBuiltInDxfName(name)) << wideToUtf8(name);
    }
}

TEST(DxfConventions, WellKnownClassesHaveTheirRecordsAndBuiltInNamesNone) {
    const dxf::ClassRecord* layout = dxf::findClassRecord(L"LAYOUT");
    ASSERT_NE(layout, nullptr);
    EXPECT_STREQ(layout->className, L"AcDbLayout");
    const dxf::ClassRecord* wipeout = dxf::findClassRecord(L"WIPEOUT");
    ASSERT_NE(wipeout, nullptr);
    EXPECT_STREQ(wipeout->appName, L"WipeOut");
    for (const wchar_t* name : {L"LINE", L"DICTIONARY", L"layout", L"NOSUCHTHING"}) {
        EXPECT_EQ(dxf::findClassRecord(name), nullptr) << wideToUtf8(name);
    }
}

}  // namespace
