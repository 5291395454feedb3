// The extended-data (XData) store behind CxEntity<T>: one application's values on one entity,
// written at the front, at the end or replacing, read back by type, erased. Every write replaces
// the application's XData as a whole through setXData; lists handed out belong to the caller.
#pragma once

#include <variant>

#include "kestrel/access/entity_fields.h"
#include "kestrel/access/store_codes.h"

class CString;

namespace kestrel {

// Stores value under groupCode in app's XData of the entity (buildItem's rules and refusals).
// eNotOpenForWrite (45) unless open for write; eInvalidInput for a null or empty app.
Acad::ErrorStatus writeXDataValue(const EntityFields& fields, const wchar_t* app,
                                  const ItemValue& value, bool add, bool atEnd, int groupCode);
// Stores the XData conversion of values (not changed, still the caller's); eInvalidInput when
// no item converts, else as writeXDataValue.
Acad::ErrorStatus writeXDataList(const EntityFields& fields, const wchar_t* app,
                                 const resbuf* values, bool add, bool atEnd);
// Removes app's XData: setXData's status; 45 unless open for write; eInvalidInput for no app.
Acad::ErrorStatus eraseXData(const EntityFields& fields, const wchar_t* app);

// Where a single-value reader puts what it found.
using XDataOutput = std::variant<int*, long*, double*, AcGePoint3d*, CString*>;

// The first item of app's group (or with partialName of the first group whose name contains
// app) that the output's type accepts; false, output unchanged, when there is none.
bool readXDataValue(const EntityFields& fields, const wchar_t* app, bool partialName,
                    const XDataOutput& output);
// The group's values without 1002 braces and without the 1001 item, owned by the caller (null
// when the group has only braces). false with list null when the entity has no such group;
// false with list unchanged when no entity is open, app is null, or app is empty without
// partialName (with it, the empty text takes the first group).
bool readXDataList(const EntityFields& fields, const wchar_t* app, bool partialName, resbuf*& list);

// The first XData group whose application name contains app (case-sensitive): its 1001 item
// and its values, a new list owned by the caller; null when none matches or there is no entity.
resbuf* xDataContaining(const AcDbEntity* entity, const wchar_t* app);

}  // namespace kestrel
