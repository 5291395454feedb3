// acedFindFile: looks a file up by name, as given (relative names from the working directory),
// then in the current drawing's folder, then in each folder of the support path: the folders set
// by host::setSupportPath followed by those of the colon-separated environment variable
// KESTREL_SUPPORT_PATH, read at each search.
#pragma once

#include <cstddef>

#include "kestrel/export.h"
#include "kestrel/host/rx/adesk.h"

// The name of the environment variable that extends the support path.
inline constexpr char kSupportPathVariable[] = "KESTREL_SUPPORT_PATH";

// Writes the absolute path of the first regular file found into result (resultLength units, the
// terminator included). RTNORM; RTERROR (result unchanged) for a null or empty name, a null
// result, a file found nowhere, or a path that does not fit. An absolute name is only tried as
// given.
DRAWHOST_API int acedFindFile(const ACHAR* fname, ACHAR* result, std::size_t resultLength);

// The same with a result array, whose size is the length.
template <std::size_t N>
int acedFindFile(const ACHAR* fname, ACHAR (&result)[N]) {
    return acedFindFile(fname, result, N);
}
