// Subclass markers for objects of older drawing files, told from their flags and names.
#include "host/dxf/legacy_layout.h"

#include <algorithm>
#include <array>

#include "host/dxf/dxf_conventions.h"
#include "kestrel/host/db/symbol_name.h"

namespace host::dxf {
namespace {

constexpr int kSubclassCode = 100;
constexpr int kFlagsCode = 70;
constexpr int kXDataCode = 1001;

// Codes of the object itself and of AcDbEntity, which come first in the later layout.
bool isObjectCode(int code) {
    return code == 5 || code == 105 || code == 102 || code == 330 || code == 360;
}
bool isEntityCode(int code) {
    constexpr std::array<int, 10> kCodes = {6, 8, 48, 60, 62, 67, 370, 420, 430, 440};
    return std::find(kCodes.begin(), kCodes.end(), code) != kCodes.end();
}

// Codes of the AcDbDimension part, shared by every kind of dimension.
bool isDimensionCode(int code) {
    constexpr std::array<int, 14> kCodes = {1, 2, 3, 10, 11, 12, 41, 42, 51, 53, 70, 71, 72, 210};
    return std::find(kCodes.begin(), kCodes.end(), code) != kCodes.end();
}

// Codes of the AcDbAttribute part of an ATTRIB, after its AcDbText part.
bool isAttributeCode(int code) {
    constexpr std::array<int, 5> kCodes = {2, 70, 73, 74, 280};
    return std::find(kCodes.begin(), kCodes.end(), code) != kCodes.end();
}

// The codes of a part that shares an entity's groups with another part; null for a part that
// holds what no other part does.
using CodeTest = bool (*)(int);
CodeTest ownCodesOf(std::wstring_view marker) {
    if (marker == L"AcDbDimension") {
        return isDimensionCode;
    }
    return marker == L"AcDbAttribute" ? isAttributeCode : nullptr;
}

int flagsOf(const DxfItemList& items) {
    const auto it = std::find_if(items.begin(), items.end(),
                                 [](const DxfItem& item) { return item.code == kFlagsCode; });
    return it != items.end() ? static_cast<int>(it->integer()) : 0;
}

// True when an INSERT's column (70) or row (71) count makes it an array of references.
bool isReferenceArray(const DxfItemList& items) {
    return std::any_of(items.begin(), items.end(), [](const DxfItem& item) {
        return (item.code == 70 || item.code == 71) && item.integer() > 1;
    });
}

std::vector<std::wstring> polylineMarkers(int flags) {
    if ((flags & 8) != 0) {
        return {L"AcDb3dPolyline"};
    }
    if ((flags & 16) != 0) {
        return {L"AcDbPolygonMesh"};
    }
    return {(flags & 64) != 0 ? L"AcDbPolyFaceMesh" : L"AcDb2dPolyline"};
}

std::vector<std::wstring> vertexMarkers(int flags) {
    if ((flags & 128) != 0) {
        return {L"AcDbVertex", (flags & 64) != 0 ? L"AcDbPolyFaceMeshVertex" : L"AcDbFaceRecord"};
    }
    if ((flags & 64) != 0) {
        return {L"AcDbVertex", L"AcDbPolygonMeshVertex"};
    }
    return {L"AcDbVertex", (flags & 32) != 0 ? L"AcDb3dPolylineVertex" : L"AcDb2dVertex"};
}

std::vector<std::wstring> dimensionMarkers(int flags) {
    constexpr std::array<const wchar_t*, 7> kKinds = {
        L"AcDbRotatedDimension",   L"AcDbAlignedDimension", L"AcDb2LineAngularDimension",
        L"AcDbDiametricDimension", L"AcDbRadialDimension",  L"AcDb3PointAngularDimension",
        L"AcDbOrdinateDimension",
    };
    const int kind = std::min(flags & 7, 6);
    if (kind == 0) {
        return {L"AcDbDimension", L"AcDbAlignedDimension", kKinds[0]};
    }
    return {L"AcDbDimension", kKinds[static_cast<std::size_t>(kind)]};
}

}  // namespace

bool lacksSubclassMarkers(const DxfItemList& items) {
    return std::none_of(items.begin(), items.end(),
                        [](const DxfItem& item) { return item.code == kSubclassCode; });
}

std::vector<std::wstring> impliedMarkers(std::wstring_view dxfName, const DxfItemList& items) {
    if (dxfName == L"POLYLINE") {
        return polylineMarkers(flagsOf(items));
    }
    if (dxfName == L"VERTEX") {
        return vertexMarkers(flagsOf(items));
    }
    if (dxfName == L"DIMENSION") {
        return dimensionMarkers(flagsOf(items));
    }
    if (dxfName == L"ATTRIB") {
        return {L"AcDbText", L"AcDbAttribute"};
    }
    if (dxfName == L"INSERT") {
        return {isReferenceArray(items) ? L"AcDbMInsertBlock" : L"AcDbBlockReference"};
    }
    if (dxfName == L"TRACE") {
        return {L"AcDbTrace"};
    }
    if (dxfName == L"SHAPE") {
        return {L"AcDbShape"};
    }
    if (dxfName == L"VIEWPORT") {
        return {L"AcDbViewport"};
    }
    return {};
}

void addEntityMarkers(std::wstring_view dxfName, DxfItemList& items) {
    const auto xdata = std::find_if(items.begin(), items.end(),
                                    [](const DxfItem& item) { return item.code == kXDataCode; });
    const DxfItemList body(items.begin(), xdata);
    DxfItemList laidOut;
    laidOut.reserve(items.size() + 4);
    const auto take = [&](auto belongs) {
        for (const DxfItem& item : body) {
            if (belongs(item.code)) {
                laidOut.push_back(item);
            }
        }
    };
    const auto marker = [&laidOut](const std::wstring& name) {
        DxfItem item = DxfItem::ofCode(kSubclassCode);
        item.value = name;
        laidOut.push_back(std::move(item));
    };
    take(isObjectCode);
    marker(L"AcDbEntity");
    take(isEntityCode);
    const std::vector<std::wstring> markers = impliedMarkers(dxfName, items);
    // Parts with codes of their own take those; the last part without takes the rest.
    const auto rest = [&markers](int code) {
        return !isObjectCode(code) && !isEntityCode(code) &&
               std::none_of(markers.begin(), markers.end(), [code](const std::wstring& name) {
                   const CodeTest own = ownCodesOf(name);
                   return own != nullptr && own(code);
               });
    };
    std::size_t restAt = markers.size();
    for (std::size_t i = 0; i < markers.size(); ++i) {
        restAt = ownCodesOf(markers[i]) == nullptr ? i : restAt;
    }
    for (std::size_t i = 0; i < markers.size(); ++i) {
        marker(markers[i]);
        if (const CodeTest own = ownCodesOf(markers[i])) {
            take(own);
        } else if (i == restAt) {
            take(rest);
        }
    }
    if (markers.empty()) {
        take(rest);
    }
    laidOut.insert(laidOut.end(), xdata, items.end());
    items = std::move(laidOut);
}

std::wstring layoutBlockName(const std::wstring& name) {
    const std::wstring folded = foldName(name);
    if (folded == L"$model_space") {
        return kModelSpaceName;
    }
    if (folded == L"$paper_space") {
        return kPaperSpaceName;
    }
    return name;
}

void addObjectMarker(std::wstring_view dxfName, DxfItemList& items) {
    const std::wstring_view marker = objectMarker(dxfName);
    if (marker.empty()) {
        return;
    }
    const auto after = std::find_if(items.begin(), items.end(),
                                    [](const DxfItem& item) { return !isObjectCode(item.code); });
    DxfItem item = DxfItem::ofCode(kSubclassCode);
    item.value = std::wstring(marker);
    items.insert(after, std::move(item));
}

}  // namespace host::dxf
