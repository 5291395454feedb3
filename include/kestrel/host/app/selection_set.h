// Selection sets: named lists of entities that the editor keeps until acedSSFree. A set's name is
// an ads_name like an entity's but never names an entity. acedXformSS transforms every entity of
// a set at once, all or nothing.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/ads_types.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/adesk.h"

// A 4x4 transformation acting on column vectors; the last column holds the translation.
typedef ads_real ads_matrix[4][4];

// Decisions where the host SDK leaves the behaviour to the host:
// - At most 128 sets live at once; one more answers RTERROR until a set is freed.
// - An entity is in a set at most once; adding it again changes nothing and answers RTNORM.
// - Only live (not erased) entities can be added; acedSSName on a set whose entity was erased
//   since still names it.

// ename null and sname null: a new empty set; ename only: a new set holding ename; both: adds
// ename to sname, result = sname; sname only: result = sname, nothing added. RTNORM; RTERROR
// (nothing created or added) for a null result, a name that is not a live entity, an unknown
// set, or too many sets.
DRAWHOST_API int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result);

// Frees the set; RTNORM, or RTERROR for a name that is no live set.
DRAWHOST_API int acedSSFree(const ads_name sname);

// The number of entities in the set; RTNORM, or RTERROR (len unchanged) for an unknown set or a
// null len.
DRAWHOST_API int acedSSLength(const ads_name sname, Adesk::Int32* len);

// The name of the entity at index i; RTNORM, or RTERROR (entres unchanged) for an unknown set,
// an index outside the set, a null entres or an entity whose database is gone.
DRAWHOST_API int acedSSName(const ads_name ss, Adesk::Int32 i, ads_name entres);

// Transforms every entity of the set by genmat (each opened for write and closed again). All or
// nothing: when one entity cannot be opened or refuses the transformation, every entity is left
// as it was. RTNORM; RTERROR for an unknown set or such a refusal.
DRAWHOST_API int acedXformSS(const ads_name ssname, ads_matrix genmat);

namespace host {

// Host use: the id of the live entity that name names, or the null id.
DRAWHOST_API AcDbObjectId entityOfName(const ads_name name);

}  // namespace host
