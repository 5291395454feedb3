// The conventions the DXF reader and writer share, as data: file version, section and table
// names, the header variables and where each comes from, and the DXF names that cover several
// host classes. Nothing here touches a file. Angles and 2D points are the classes' own: they
// file them as such (AcDbDxfFiler::writeAngle, writePoint2d).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/object_id.h"

class AcDbDatabase;
class AcRxClass;

namespace host::dxf {

// The release written: 2010 layout, UTF-8 text.
inline constexpr const wchar_t* kFileVersion = L"AC1024";
inline constexpr int kFileMaintenanceVersion = 6;
inline constexpr const wchar_t* kCodePage = L"ANSI_1252";

// --- Sections and tables ---------------------------------------------------------------------

inline constexpr const wchar_t* kSectionHeader = L"HEADER";
inline constexpr const wchar_t* kSectionClasses = L"CLASSES";
inline constexpr const wchar_t* kSectionTables = L"TABLES";
inline constexpr const wchar_t* kSectionBlocks = L"BLOCKS";
inline constexpr const wchar_t* kSectionEntities = L"ENTITIES";
inline constexpr const wchar_t* kSectionObjects = L"OBJECTS";

// One symbol table: its DXF name (also the group 0 name of its records), the host classes of the
// table and its records, and the database accessor of the table's id.
struct TableInfo {
    const wchar_t* dxfName;
    const wchar_t* tableClass;
    const wchar_t* recordClass;
    AcDbObjectId (AcDbDatabase::*tableId)() const;
};

// The tables in the order files carry them: VPORT, LTYPE, LAYER, STYLE, VIEW, UCS, APPID,
// DIMSTYLE, BLOCK_RECORD.
std::span<const TableInfo> tableOrder();
// The table of that DXF name (the group 2 after "0 TABLE"), or null.
const TableInfo* findTable(std::wstring_view dxfName);

// Records that a well-formed file has; the writer never drops them and the reader may rely on
// them once a file was written by the host.
inline constexpr const wchar_t* kModelSpaceName = L"*Model_Space";
inline constexpr const wchar_t* kPaperSpaceName = L"*Paper_Space";
inline constexpr const wchar_t* kModelLayoutName = L"Model";
inline constexpr const wchar_t* kPaperLayoutName = L"Layout1";
inline constexpr const wchar_t* kLayoutDictionaryName = L"ACAD_LAYOUT";
inline constexpr const wchar_t* kGroupDictionaryName = L"ACAD_GROUP";
inline constexpr const wchar_t* kAcadAppName = L"ACAD";

// Dimension style records carry their handle under 105 instead of 5.
inline constexpr int kDimStyleHandleCode = 105;

// --- Header variables ------------------------------------------------------------------------

// The kind of a header variable's value and the group codes it is written with.
enum class HeaderKind {
    kText,     // one group of the variable's code
    kInt16,    // one group of the variable's code
    kReal,     // one group of the variable's code
    kPoint2d,  // 10 and 20 (no 30)
    kPoint3d,  // 10, 20 and 30
    kHandle,   // one group of the variable's code, hexadecimal text
};

// The group that names a header variable; its value groups follow it.
constexpr int kVariableCode = 9;

// Where a variable's value comes from when written, and what reading does with it.
enum class HeaderBinding {
    kFixed,             // written as its default, or as a drawing file gave it (kept)
    kFormat,            // the file's own ($ACADMAINTVER, $DWGCODEPAGE): always its default
    kVersion,           // $ACADVER: written as kFileVersion; the reader checks it
    kHandleSeed,        // the database's next handle; the reader keeps new handles above it
    kCurrentLayer,      // the name of AcDbDatabase::clayer(); read back with setClayer
    kCurrentTextStyle,  // the name of textstyle(); read back with setTextstyle
    kCurrentDimStyle,   // the name of dimstyle(); read back with setDimstyle
    kExtentsMin,        // computed from the model space's entities; read and not kept
    kExtentsMax,
};

// One header variable: name (with its "$"), code (the first code for points), kind, binding and
// the default written for kFixed variables (text, or up to three numbers).
struct HeaderVariable {
    const wchar_t* name;
    int code;
    HeaderKind kind;
    HeaderBinding binding;
    const wchar_t* defaultText;
    double defaultValue[3];
};

// Every header variable the host writes, in the order written ($ACADVER first).
std::span<const HeaderVariable> headerVariables();
// The variable of that name (exactly, "$" included), or null for one the host does not keep.
const HeaderVariable* findHeaderVariable(std::wstring_view name);

// --- Classes ---------------------------------------------------------------------------------

// The host class that files objects of dxfName, told apart by the subclass markers (the values
// of the object's 100 groups) where the name covers several classes: VERTEX (AcDb2dVertex,
// AcDb3dPolylineVertex), POLYLINE (AcDb2dPolyline, AcDb3dPolyline), DIMENSION
// (AcDbRotatedDimension, AcDb2LineAngularDimension, AcDb3PointAngularDimension) and INSERT
// (AcDbBlockReference; an array of references, AcDbMInsertBlock, is kept raw). Other names
// resolve through the class dictionary to the one creatable class registered with that DXF
// name. Null when no class, or no single class, fits: the reader then keeps the object raw.
const AcRxClass* classForDxfName(std::wstring_view dxfName,
                                 const std::vector<std::wstring>& markers);

// True for DXF names that are part of the format itself and so are never listed in the CLASSES
// section (LINE, INSERT, DICTIONARY, XRECORD, the table records, ...). Every other name written
// gets a CLASS record.
bool isBuiltInDxfName(std::wstring_view dxfName);

// The CLASS record the format gives a DXF name outside its built-in set: C++ class name,
// application and proxy flags.
struct ClassRecord {
    const wchar_t* dxfName;
    const wchar_t* className;
    const wchar_t* appName;
    int proxyFlags;
};

// The record of the well-known classes (LAYOUT, ACAD_TABLE, WIPEOUT, MLEADER, ...), or null.
// The writer lists these as other programs expect them, also for objects kept raw, whose
// CLASSES entry the reader does not keep.
const ClassRecord* findClassRecord(std::wstring_view dxfName);

// The subclass marker that starts the own groups of an object (not an entity) of a kind the
// format defines: DICTIONARY, XRECORD, GROUP and MLINESTYLE, and the class name of a kind with
// a class record; empty for other kinds.
std::wstring_view objectMarker(std::wstring_view dxfName);

}  // namespace host::dxf
