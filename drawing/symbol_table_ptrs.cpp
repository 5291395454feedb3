// The linetype, text-style and dimension-style table pointers: the member definitions and the
// three exported instantiations.
#include "kestrel/drawing/symbol_table_ptrs.h"

#include <type_traits>

#include "drawing/symbol_records.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/text_style_table.h"

namespace kestrel {

template <class Table>
SymbolTablePtr<Table>::SymbolTablePtr(AcDb::OpenMode mode) {
    this->m_mode = mode;
    this->m_status = openWorkingTable(this->m_object, mode);
}

template <class Table>
Acad::ErrorStatus SymbolTablePtr<Table>::getId(const wchar_t* name, AcDbObjectId& id) {
    if (this->m_object != nullptr) {
        this->m_status = this->m_object->getAt(name, id, false);
    }
    return this->m_status;
}

template <class Table>
Acad::ErrorStatus SymbolTablePtr<Table>::getName(const AcDbObjectId& id, CString& name) {
    this->m_status = recordName(id, name);
    return this->m_status;
}

template <class Table>
int SymbolTablePtr<Table>::getNames(CStringArray& names) {
    // The linetype table lists every name it reads; the style tables only those read with eOk.
    constexpr NameRead nameRead =
        std::is_same_v<Table, AcDbLinetypeTable> ? NameRead::kTrusted : NameRead::kChecked;
    return this->m_object != nullptr ? recordNames(*this->m_object, this->m_status, names, nameRead)
                                     : 0;
}

template <class Table>
int SymbolTablePtr<Table>::getIds(AcDbObjectIdArray& ids) {
    return this->m_object != nullptr ? recordIds(*this->m_object, this->m_status, ids) : 0;
}

template class SymbolTablePtr<AcDbLinetypeTable>;
template class SymbolTablePtr<AcDbTextStyleTable>;
template class SymbolTablePtr<AcDbDimStyleTable>;

}  // namespace kestrel
