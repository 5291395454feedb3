// The statuses the entity geometry answers beyond the common ones: a transform the entity cannot
// take, an entity without finite extents, degenerate input. Stand-ins for names that
// error_status.h will list.
#pragma once

#include "host/db/error_status.h"

namespace host {
inline constexpr Acad::ErrorStatus kCannotScaleNonUniformly = Acad::eNotApplicable;
inline constexpr Acad::ErrorStatus kInvalidExtents = Acad::eNotApplicable;
inline constexpr Acad::ErrorStatus kDegenerateGeometry = Acad::eInvalidInput;
}  // namespace host
