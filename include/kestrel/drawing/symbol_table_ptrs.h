// The linetype, text-style and dimension-style table pointers: each opens its table of the
// working database for its own lifetime and translates between record names and ids. One code
// serves the three (kestrel::SymbolTablePtr); the table is closed by the destructor.
#pragma once

#include "kestrel/access/cx_ptr.h"
#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/cstring_array.h"

namespace kestrel {

// The fields and states of CxPtr<Table>: status holds the status of the last host call a member
// made. Records are looked up with open-erased false and walked skipping erased ones.
//
// Decisions where the interface leaves the behaviour open:
// - Without a working database the table does not open and status is eNoWorkingDatabase.
// - On a table that did not open, getNames and getIds answer 0 and leave their output and
//   status as they were; getId answers the status of the constructor.
// - getName reads the name of any symbol-table record (of any table) and refuses other objects
//   with eNotThatKindOfClass (34), name untouched.
template <class Table>
class KESTREL_API SymbolTablePtr : public CxPtr<Table> {
public:
    // Opens the working database's table in mode; empty on failure, the reason in status().
    explicit SymbolTablePtr(AcDb::OpenMode mode = AcDb::kForRead);
    SymbolTablePtr(const SymbolTablePtr&) = delete;
    // Changes nothing and returns this pointer.
    SymbolTablePtr& operator=(SymbolTablePtr&) {
        return *this;
    }

    // The id of the record called name (letter case ignored): the host's getAt status, id
    // unchanged on failure.
    Acad::ErrorStatus getId(const wchar_t* name, AcDbObjectId& id);
    // The name of the record id as stored: eOk, or the open's status with name unchanged.
    Acad::ErrorStatus getName(const AcDbObjectId& id, CString& name);
    // Replaces names by the records' names in table order; their number. Records that do not
    // open are left out, status holding each open's answer. The text-style and dimension-style
    // tables also keep the status of each name read and list only names read with eOk; the
    // linetype table lists every name it reads.
    int getNames(CStringArray & names);
    // Replaces ids by the records' ids in table order; their number.
    int getIds(AcDbObjectIdArray & ids);
};

extern template class KESTREL_API SymbolTablePtr<AcDbLinetypeTable>;
extern template class KESTREL_API SymbolTablePtr<AcDbTextStyleTable>;
extern template class KESTREL_API SymbolTablePtr<AcDbDimStyleTable>;

}  // namespace kestrel

// The working database's linetype table, open for the pointer's lifetime.
class KESTREL_API CVLKCLinetypeTablePtr : public kestrel::SymbolTablePtr<AcDbLinetypeTable> {
public:
    using SymbolTablePtr::SymbolTablePtr;
    using SymbolTablePtr::operator=;
};

// The working database's text-style table, open for the pointer's lifetime.
class KESTREL_API CVLKCTextStyleTablePtr : public kestrel::SymbolTablePtr<AcDbTextStyleTable> {
public:
    using SymbolTablePtr::SymbolTablePtr;
    using SymbolTablePtr::operator=;
};

// The working database's dimension-style table, open for the pointer's lifetime.
class KESTREL_API CVLKCDimStyleTablePtr : public kestrel::SymbolTablePtr<AcDbDimStyleTable> {
public:
    using SymbolTablePtr::SymbolTablePtr;
    using SymbolTablePtr::operator=;
};
