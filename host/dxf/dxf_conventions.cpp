// The shared DXF conventions as tables: sections, symbol tables, angle units, header variables
// and the DXF names that several host classes share.
#include "host/dxf/dxf_conventions.h"

#include <algorithm>
#include <array>

#include "kestrel/host/db/database.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/dictionary.h"

namespace host::dxf {
namespace {

constexpr std::array<TableInfo, 9> kTables = {{
    {L"VPORT", L"AcDbViewportTable", L"AcDbViewportTableRecord", &AcDbDatabase::viewportTableId},
    {L"LTYPE", L"AcDbLinetypeTable", L"AcDbLinetypeTableRecord", &AcDbDatabase::linetypeTableId},
    {L"LAYER", L"AcDbLayerTable", L"AcDbLayerTableRecord", &AcDbDatabase::layerTableId},
    {L"STYLE", L"AcDbTextStyleTable", L"AcDbTextStyleTableRecord", &AcDbDatabase::textStyleTableId},
    {L"VIEW", L"AcDbViewTable", L"AcDbViewTableRecord", &AcDbDatabase::viewTableId},
    {L"UCS", L"AcDbUCSTable", L"AcDbUCSTableRecord", &AcDbDatabase::UCSTableId},
    {L"APPID", L"AcDbRegAppTable", L"AcDbRegAppTableRecord", &AcDbDatabase::regAppTableId},
    {L"DIMSTYLE", L"AcDbDimStyleTable", L"AcDbDimStyleTableRecord", &AcDbDatabase::dimStyleTableId},
    {L"BLOCK_RECORD", L"AcDbBlockTable", L"AcDbBlockTableRecord", &AcDbDatabase::blockTableId},
}};

constexpr HeaderVariable fixed(const wchar_t* name, int code, HeaderKind kind, double a = 0.0,
                               double b = 0.0, double c = 0.0) {
    return HeaderVariable{name, code, kind, HeaderBinding::kFixed, nullptr, {a, b, c}};
}
constexpr HeaderVariable fixedText(const wchar_t* name, int code, const wchar_t* text) {
    return HeaderVariable{name, code, HeaderKind::kText, HeaderBinding::kFixed, text, {}};
}
constexpr HeaderVariable format(const wchar_t* name, int code, HeaderKind kind, double value) {
    return HeaderVariable{name, code, kind, HeaderBinding::kFormat, nullptr, {value, 0.0, 0.0}};
}
constexpr HeaderVariable formatText(const wchar_t* name, int code, const wchar_t* text) {
    return HeaderVariable{name, code, HeaderKind::kText, HeaderBinding::kFormat, text, {}};
}
constexpr HeaderVariable bound(const wchar_t* name, int code, HeaderKind kind,
                               HeaderBinding binding) {
    return HeaderVariable{name, code, kind, binding, nullptr, {}};
}

// The variables written, in order. The bound ones carry database state; the fixed ones give
// other readers the values they expect of a drawing in millimetres with default settings, unless
// the drawing was read from a file that gave them.
constexpr std::array<HeaderVariable, 17> kHeader = {{
    bound(L"$ACADVER", 1, HeaderKind::kText, HeaderBinding::kVersion),
    format(L"$ACADMAINTVER", 70, HeaderKind::kInt16, kFileMaintenanceVersion),
    formatText(L"$DWGCODEPAGE", 3, kCodePage),
    fixed(L"$INSBASE", 10, HeaderKind::kPoint3d),
    bound(L"$EXTMIN", 10, HeaderKind::kPoint3d, HeaderBinding::kExtentsMin),
    bound(L"$EXTMAX", 10, HeaderKind::kPoint3d, HeaderBinding::kExtentsMax),
    fixed(L"$LIMMIN", 10, HeaderKind::kPoint2d),
    fixed(L"$LIMMAX", 10, HeaderKind::kPoint2d, 420.0, 297.0),
    fixed(L"$LTSCALE", 40, HeaderKind::kReal, 1.0),
    bound(L"$TEXTSTYLE", 7, HeaderKind::kText, HeaderBinding::kCurrentTextStyle),
    bound(L"$CLAYER", 8, HeaderKind::kText, HeaderBinding::kCurrentLayer),
    fixedText(L"$CELTYPE", 6, L"ByLayer"),
    fixed(L"$CECOLOR", 62, HeaderKind::kInt16, 256),
    bound(L"$DIMSTYLE", 2, HeaderKind::kText, HeaderBinding::kCurrentDimStyle),
    bound(L"$HANDSEED", 5, HeaderKind::kHandle, HeaderBinding::kHandleSeed),
    fixed(L"$MEASUREMENT", 70, HeaderKind::kInt16, 1),
    fixed(L"$TILEMODE", 70, HeaderKind::kInt16, 1),
}};

// DXF names that cover several host classes, told apart by one subclass marker each.
struct SharedName {
    std::wstring_view dxfName;
    std::wstring_view marker;
    const wchar_t* className;
};
constexpr std::array<SharedName, 8> kSharedNames = {{
    {L"INSERT", L"AcDbBlockReference", L"AcDbBlockReference"},
    {L"VERTEX", L"AcDb2dVertex", L"AcDb2dVertex"},
    {L"VERTEX", L"AcDb3dPolylineVertex", L"AcDb3dPolylineVertex"},
    {L"POLYLINE", L"AcDb2dPolyline", L"AcDb2dPolyline"},
    {L"POLYLINE", L"AcDb3dPolyline", L"AcDb3dPolyline"},
    {L"DIMENSION", L"AcDbRotatedDimension", L"AcDbRotatedDimension"},
    {L"DIMENSION", L"AcDb2LineAngularDimension", L"AcDb2LineAngularDimension"},
    {L"DIMENSION", L"AcDb3PointAngularDimension", L"AcDb3PointAngularDimension"},
}};

constexpr std::array<std::wstring_view, 48> kBuiltInNames = {
    L"3DFACE",   L"3DSOLID",    L"ARC",        L"ATTDEF",       L"ATTRIB",   L"BODY",
    L"CIRCLE",   L"DIMENSION",  L"ELLIPSE",    L"HATCH",        L"INSERT",   L"LEADER",
    L"LINE",     L"LWPOLYLINE", L"MLINE",      L"MTEXT",        L"OLEFRAME", L"OLE2FRAME",
    L"POINT",    L"POLYLINE",   L"RAY",        L"REGION",       L"SEQEND",   L"SHAPE",
    L"SOLID",    L"SPLINE",     L"TEXT",       L"TOLERANCE",    L"TRACE",    L"VERTEX",
    L"VIEWPORT", L"XLINE",      L"BLOCK",      L"ENDBLK",       L"TABLE",    L"DICTIONARY",
    L"XRECORD",  L"GROUP",      L"MLINESTYLE", L"BLOCK_RECORD", L"LAYER",    L"LTYPE",
    L"STYLE",    L"VIEW",       L"UCS",        L"VPORT",        L"APPID",    L"DIMSTYLE",
};

// The markers of the object kinds the format defines outside the tables.
struct ObjectMarker {
    std::wstring_view dxfName;
    std::wstring_view marker;
};
constexpr std::array<ObjectMarker, 4> kObjectMarkers = {{
    {L"DICTIONARY", L"AcDbDictionary"},
    {L"XRECORD", L"AcDbXrecord"},
    {L"GROUP", L"AcDbGroup"},
    {L"MLINESTYLE", L"AcDbMlineStyle"},
}};

constexpr const wchar_t* kDbx = L"ObjectDBX Classes";
constexpr std::array<ClassRecord, 34> kClassRecords = {{
    {L"ACAD_TABLE", L"AcDbTable", kDbx, 1025},
    {L"ACDBDETAILVIEWSTYLE", L"AcDbDetailViewStyle", kDbx, 1025},
    {L"ACDBDICTIONARYWDFLT", L"AcDbDictionaryWithDefault", kDbx, 0},
    {L"ACDBPLACEHOLDER", L"AcDbPlaceHolder", kDbx, 0},
    {L"ACDBSECTIONVIEWSTYLE", L"AcDbSectionViewStyle", kDbx, 1025},
    {L"CELLSTYLEMAP", L"AcDbCellStyleMap", kDbx, 1152},
    {L"DICTIONARYVAR", L"AcDbDictionaryVar", kDbx, 0},
    {L"DIMASSOC", L"AcDbDimAssoc", L"AcDbDimAssoc", 0},
    {L"GEODATA", L"AcDbGeoData", kDbx, 4095},
    {L"HELIX", L"AcDbHelix", kDbx, 4095},
    {L"IDBUFFER", L"AcDbIdBuffer", kDbx, 0},
    {L"IMAGE", L"AcDbRasterImage", L"ISM", 2175},
    {L"IMAGEDEF", L"AcDbRasterImageDef", L"ISM", 0},
    {L"IMAGEDEF_REACTOR", L"AcDbRasterImageDefReactor", L"ISM", 1},
    {L"LAYER_FILTER", L"AcDbLayerFilter", kDbx, 0},
    {L"LAYER_INDEX", L"AcDbLayerIndex", kDbx, 0},
    {L"LAYOUT", L"AcDbLayout", kDbx, 0},
    {L"MATERIAL", L"AcDbMaterial", kDbx, 1153},
    {L"MENTALRAYRENDERSETTINGS", L"AcDbMentalRayRenderSettings", L"SCENEOE", 1024},
    {L"MLEADER", L"AcDbMLeader", L"ACDB_MLEADER_CLASS", 3071},
    {L"MLEADERSTYLE", L"AcDbMLeaderStyle", L"ACDB_MLEADERSTYLE_CLASS", 4095},
    {L"MPOLYGON", L"AcDbMPolygon", L"AcMPolygonObj15", 1025},
    {L"PDFDEFINITION", L"AcDbPdfDefinition", kDbx, 1153},
    {L"PDFUNDERLAY", L"AcDbPdfReference", kDbx, 4095},
    {L"RASTERVARIABLES", L"AcDbRasterVariables", L"ISM", 0},
    {L"SCALE", L"AcDbScale", kDbx, 1153},
    {L"SORTENTSTABLE", L"AcDbSortentsTable", kDbx, 0},
    {L"SPATIAL_FILTER", L"AcDbSpatialFilter", kDbx, 0},
    {L"SPATIAL_INDEX", L"AcDbSpatialIndex", kDbx, 0},
    {L"SUN", L"AcDbSun", L"SCENEOE", 1153},
    {L"TABLESTYLE", L"AcDbTableStyle", kDbx, 4095},
    {L"VISUALSTYLE", L"AcDbVisualStyle", kDbx, 4095},
    {L"WIPEOUT", L"AcDbWipeout", L"WipeOut", 127},
    {L"WIPEOUTVARIABLES", L"AcDbWipeoutVariables", L"WipeOut", 0},
}};

const AcRxClass* classByName(const wchar_t* name) {
    return AcRxClass::cast(host::rx::classDictionary().at(name));
}

// The one creatable class registered with that DXF name, or null (none, or several).
const AcRxClass* uniqueClassWithDxfName(std::wstring_view dxfName) {
    const AcRxClass* found = nullptr;
    for (const auto& [name, entry] : host::rx::classDictionary().entries()) {
        const AcRxClass* cls = AcRxClass::cast(entry);
        if (cls == nullptr || cls->dxfName() == nullptr || cls->constructor() == nullptr ||
            dxfName != cls->dxfName()) {
            continue;
        }
        if (found != nullptr) {
            return nullptr;
        }
        found = cls;
    }
    return found;
}

}  // namespace

std::span<const TableInfo> tableOrder() {
    return kTables;
}

const TableInfo* findTable(std::wstring_view dxfName) {
    const auto it = std::find_if(kTables.begin(), kTables.end(),
                                 [&](const TableInfo& t) { return dxfName == t.dxfName; });
    return it != kTables.end() ? &*it : nullptr;
}

std::span<const HeaderVariable> headerVariables() {
    return kHeader;
}

const HeaderVariable* findHeaderVariable(std::wstring_view name) {
    const auto it = std::find_if(kHeader.begin(), kHeader.end(),
                                 [&](const HeaderVariable& v) { return name == v.name; });
    return it != kHeader.end() ? &*it : nullptr;
}

const AcRxClass* classForDxfName(std::wstring_view dxfName,
                                 const std::vector<std::wstring>& markers) {
    bool shared = false;
    for (const SharedName& entry : kSharedNames) {
        if (entry.dxfName != dxfName) {
            continue;
        }
        shared = true;
        if (std::find(markers.begin(), markers.end(), entry.marker) != markers.end()) {
            return classByName(entry.className);
        }
    }
    return shared ? nullptr : uniqueClassWithDxfName(dxfName);
}

const ClassRecord* findClassRecord(std::wstring_view dxfName) {
    const auto it = std::find_if(kClassRecords.begin(), kClassRecords.end(),
                                 [&](const ClassRecord& r) { return dxfName == r.dxfName; });
    return it != kClassRecords.end() ? &*it : nullptr;
}

std::wstring_view objectMarker(std::wstring_view dxfName) {
    for (const ObjectMarker& known : kObjectMarkers) {
        if (known.dxfName == dxfName) {
            return known.marker;
        }
    }
    const ClassRecord* record = findClassRecord(dxfName);
    return record != nullptr ? record->className : std::wstring_view();
}

bool isBuiltInDxfName(std::wstring_view dxfName) {
    return std::find(kBuiltInNames.begin(), kBuiltInNames.end(), dxfName) != kBuiltInNames.end();
}

}  // namespace host::dxf
