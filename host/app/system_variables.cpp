// The table of system variables and the readers and writers of each.
#include "kestrel/host/app/system_variables.h"

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "kestrel/host/app/coordinates.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/document.h"
#include "kestrel/host/app/editor_state.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_table.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/platform/wide_runtime.h"

namespace {

using Value = std::variant<Adesk::Int16, double, std::wstring, AcGePoint3d>;

struct Variable {
    const wchar_t* name;
    short type;
    std::optional<Value> (*get)();
    int (*set)(const Value& value);  // null for a read-only variable
};

AcDbDatabase* workingDb() {
    return acdbHostApplicationServices()->workingDatabase();
}

// --- Current records of the working database -------------------------------------------------

std::optional<Value> recordName(AcDbObjectId (AcDbDatabase::*current)() const) {
    AcDbDatabase* db = workingDb();
    if (db == nullptr) {
        return std::nullopt;
    }
    const auto* record = AcDbSymbolTableRecord::cast(db->objectAt((db->*current)()));
    return record != nullptr ? Value(record->nameForLookup()) : Value(std::wstring());
}

// The live record named name in the table, found whether or not someone holds the table open.
AcDbObjectId findRecord(AcDbDatabase* db, AcDbObjectId tableId, const std::wstring& name) {
    auto* table = AcDbSymbolTable::cast(db->objectAt(tableId));
    if (table == nullptr) {
        return AcDbObjectId();
    }
    AcDbObjectId id;
    if (table->isReadEnabled()) {
        table->getAt(name.c_str(), id);
        return id;
    }
    AcDbObject* opened = nullptr;
    if (acdbOpenAcDbObject(opened, tableId, AcDb::kForRead) == Acad::eOk) {
        table->getAt(name.c_str(), id);
        opened->close();
    }
    return id;
}

int setRecord(const Value& value, AcDbObjectId (AcDbDatabase::*tableId)() const,
              Acad::ErrorStatus (AcDbDatabase::*setCurrent)(AcDbObjectId)) {
    AcDbDatabase* db = workingDb();
    if (db == nullptr) {
        return RTERROR;
    }
    const AcDbObjectId id = findRecord(db, (db->*tableId)(), std::get<std::wstring>(value));
    if (id.isNull()) {
        return RTREJ;
    }
    return (db->*setCurrent)(id) == Acad::eOk ? RTNORM : RTREJ;
}

// --- Editor state -------------------------------------------------------------------------------

host::EditorState& state() {
    return host::editorState();
}

AcGePoint3d worldToUser(const AcGePoint3d& p) {
    return AcGePoint3d(p).transformBy(host::userToWorld().inverse());
}

AcGePoint3d directionToUser(const AcGeVector3d& v) {
    const AcGeVector3d user = AcGeVector3d(v).transformBy(host::userToWorld().inverse());
    return {user.x, user.y, user.z};
}

AcGePoint3d asPoint(const AcGeVector3d& v) {
    return {v.x, v.y, v.z};
}

std::optional<Value> viewCenter() {
    const AcGePoint2d center = state().view.center;
    const AcGePoint3d world =
        AcGePoint3d(center.x, center.y, 0.0).transformBy(host::displayToWorld());
    return worldToUser(world);
}

std::optional<Value> worldUcs() {
    const host::UcsState& ucs = state().ucs;
    const bool world = ucs.origin == AcGePoint3d::kOrigin && ucs.xAxis == AcGeVector3d::kXAxis &&
                       ucs.yAxis == AcGeVector3d::kYAxis;
    return Value(static_cast<Adesk::Int16>(world ? 1 : 0));
}

int setTileMode(const Value& value) {
    const Adesk::Int16 mode = std::get<Adesk::Int16>(value);
    if (mode != 0 && mode != 1) {
        return RTREJ;
    }
    state().tileMode = mode;
    return RTNORM;
}

int setCvport(const Value& value) {
    const Adesk::Int16 port = std::get<Adesk::Int16>(value);
    if (port < 1) {
        return RTREJ;
    }
    state().cvport = port;
    return RTNORM;
}

// --- The drawing's file name ---------------------------------------------------------------------

std::filesystem::path drawingPath() {
    AcApDocManager* manager = acDocManagerPtr();
    AcApDocument* doc = manager != nullptr ? manager->curDocument() : nullptr;
    return doc != nullptr ? std::filesystem::path(wideToUtf8(doc->fileName()))
                          : std::filesystem::path();
}

std::optional<Value> drawingName() {
    return Value(utf8ToWide(drawingPath().filename().string()));
}

std::optional<Value> drawingPrefix() {
    const std::filesystem::path folder = drawingPath().parent_path();
    return Value(folder.empty() ? std::wstring() : utf8ToWide((folder / "").string()));
}

// --- The table
// -------------------------------------------------------------------------------------

const Variable kVariables[] = {
    {L"BACKZ", RTREAL, [] { return std::optional<Value>(state().view.backClipDistance); }, nullptr},
    {L"CLAYER", RTSTR, [] { return recordName(&AcDbDatabase::clayer); },
     [](const Value& v) {
         return setRecord(v, &AcDbDatabase::layerTableId, &AcDbDatabase::setClayer);
     }},
    {L"CVPORT", RTSHORT, [] { return std::optional<Value>(state().cvport); }, setCvport},
    {L"DWGNAME", RTSTR, drawingName, nullptr},
    {L"DWGPREFIX", RTSTR, drawingPrefix, nullptr},
    {L"FRONTZ", RTREAL, [] { return std::optional<Value>(state().view.frontClipDistance); },
     nullptr},
    {L"LENSLENGTH", RTREAL, [] { return std::optional<Value>(state().view.lensLength); }, nullptr},
    {L"TARGET", RT3DPOINT, [] { return std::optional<Value>(worldToUser(state().view.target)); },
     nullptr},
    {L"TEXTSTYLE", RTSTR, [] { return recordName(&AcDbDatabase::textstyle); },
     [](const Value& v) {
         return setRecord(v, &AcDbDatabase::textStyleTableId, &AcDbDatabase::setTextstyle);
     }},
    {L"TILEMODE", RTSHORT, [] { return std::optional<Value>(state().tileMode); }, setTileMode},
    {L"UCSORG", RT3DPOINT, [] { return std::optional<Value>(state().ucs.origin); }, nullptr},
    {L"UCSXDIR", RT3DPOINT, [] { return std::optional<Value>(asPoint(state().ucs.xAxis)); },
     nullptr},
    {L"UCSYDIR", RT3DPOINT, [] { return std::optional<Value>(asPoint(state().ucs.yAxis)); },
     nullptr},
    {L"VIEWCTR", RT3DPOINT, viewCenter, nullptr},
    {L"VIEWDIR", RT3DPOINT,
     [] { return std::optional<Value>(directionToUser(state().view.viewDirection)); }, nullptr},
    {L"VIEWSIZE", RTREAL, [] { return std::optional<Value>(state().view.height); }, nullptr},
    {L"VIEWTWIST", RTREAL, [] { return std::optional<Value>(state().view.viewTwist); }, nullptr},
    {L"WORLDUCS", RTSHORT, worldUcs, nullptr},
};

const Variable* findVariable(const ACHAR* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const Variable& variable : kVariables) {
        if (_wcsicmp(variable.name, name) == 0) {
            return &variable;
        }
    }
    return nullptr;
}

void fill(resbuf* result, short type, const Value& value) {
    result->restype = type;
    switch (type) {
        case RTSHORT:
            result->resval.rint = std::get<Adesk::Int16>(value);
            break;
        case RTREAL:
            result->resval.rreal = std::get<double>(value);
            break;
        case RTSTR:
            result->resval.rstring = acutRbNewString(std::get<std::wstring>(value).c_str());
            break;
        default: {
            const AcGePoint3d& p = std::get<AcGePoint3d>(value);
            result->resval.rpoint[0] = p.x;
            result->resval.rpoint[1] = p.y;
            result->resval.rpoint[2] = p.z;
        }
    }
}

// The value val holds for a variable of the given type, or nothing when the types differ.
std::optional<Value> valueOf(const resbuf* val, short type) {
    if (val->restype != type) {
        return std::nullopt;
    }
    switch (type) {
        case RTSHORT:
            return Value(val->resval.rint);
        case RTREAL:
            return Value(val->resval.rreal);
        case RTSTR:
            if (val->resval.rstring == nullptr) {
                return std::nullopt;
            }
            return Value(std::wstring(val->resval.rstring));
        default:
            return Value(
                AcGePoint3d(val->resval.rpoint[0], val->resval.rpoint[1], val->resval.rpoint[2]));
    }
}

}  // namespace

int acedGetVar(const ACHAR* sym, resbuf* result) {
    const Variable* variable = findVariable(sym);
    if (variable == nullptr || result == nullptr) {
        return RTERROR;
    }
    const std::optional<Value> value = variable->get();
    if (!value) {
        return RTERROR;
    }
    fill(result, variable->type, *value);
    return RTNORM;
}

int acedSetVar(const ACHAR* sym, const resbuf* val) {
    const Variable* variable = findVariable(sym);
    if (variable == nullptr || val == nullptr) {
        return RTERROR;
    }
    const std::optional<Value> value = valueOf(val, variable->type);
    if (!value) {
        return RTERROR;
    }
    return variable->set != nullptr ? variable->set(*value) : RTREJ;
}
