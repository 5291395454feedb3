// The shared DXF conventions: the angle unit of files and the classes behind DXF names that
// several host classes share.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "host/dxf/dxf_conventions.h"
#include "kestrel/host/rx/class.h"

namespace {

namespace dxf = host::dxf;

TEST(DxfConventions, AngleConversionRoundTripsWithinOneUlpOrSo) {
    for (double a : {0.0, 1e-9, 0.1, 1.0, 2.5, std::numbers::pi, 6.0, -4.0, 1e6}) {
        const double back = host::fileDegreesToRadians(host::radiansToFileDegrees(a));
        EXPECT_NEAR(back, a, std::abs(a) * 4e-16) << a;
    }
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

}  // namespace
