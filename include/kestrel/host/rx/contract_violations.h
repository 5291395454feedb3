// The contract violations the host noticed: misuses of the host contract that it survived (an
// object read while closed, a resident object deleted, a database destroyed with objects open,
// a class deleted twice, ...). Every layer of the host notes them here; programs and tests read
// them through host/harness.h. Main thread only.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"

namespace host {

// The violations noted so far, oldest first.
DRAWHOST_API std::vector<std::wstring> contractViolations();
DRAWHOST_API void clearContractViolations();
// Notes one violation.
DRAWHOST_API void noteContractViolation(const std::wstring& text);

}  // namespace host
