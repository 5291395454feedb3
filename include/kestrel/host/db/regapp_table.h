// The registered-application table: one record per application name that may own XData in the
// drawing. Records carry only their name and flags.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - DXF: 100 "AcDbRegAppTableRecord", 2 name, 70 flags.
class DRAWHOST_API AcDbRegAppTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbRegAppTableRecord);
    AcDbRegAppTableRecord() = default;
    ~AcDbRegAppTableRecord() override = default;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
};

class DRAWHOST_API AcDbRegAppTableIterator
    : public AcDbSymbolTableIteratorOf<AcDbRegAppTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The registered-application table: the applications that may own XData, by name.
class DRAWHOST_API AcDbRegAppTable
    : public AcDbSymbolTableOf<AcDbRegAppTableRecord, AcDbRegAppTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbRegAppTable);
    AcDbRegAppTable() = default;
    ~AcDbRegAppTable() override = default;
};

// Registers appName in the working database's regapp table. RTNORM when added; RTERROR when the
// name is null or invalid, already registered, there is no working database, or the table cannot
// be opened for write.
DRAWHOST_API int acdbRegApp(const wchar_t* appName);
