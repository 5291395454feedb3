// The command line: acutPrintf and the editor's prompts append to it and the harness reads it
// back (host::commandLine). The text is kept until the harness clears it; with echo on, each
// piece is also written to the standard output as UTF-8.
#pragma once

#include <string_view>

#include "kestrel/export.h"
#include "kestrel/host/rx/adesk.h"

// Formats as CString::Format does (%s takes wide text) and appends the result to the command
// line; returns the number of characters appended, or -1 (nothing appended) for a null format.
DRAWHOST_API int acutPrintf(const ACHAR* format, ...);

namespace host {

// Host use: appends text unformatted (prompts, the host's own messages).
DRAWHOST_API void printToCommandLine(std::wstring_view text);

}  // namespace host
