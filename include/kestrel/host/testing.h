// GoogleTest support for client test programs: statuses print by name, points by coordinates,
// and one check that a test left nothing behind. For programs that link GoogleTest; header-only,
// so the host library does not depend on GoogleTest.
//
//   EXPECT_EQ(line->setLayer(L"Walls"), Acad::eOk);  // fails as "eNotOpenForWrite (45)"
//   EXPECT_TRUE(host::nothingLeftOpen());            // lists each object still open
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"

namespace Acad {

// Prints a status as its name and number.
inline void PrintTo(ErrorStatus status, std::ostream* out) {
    *out << wideToUtf8(acadErrorStatusText(status)) << " (" << static_cast<int>(status) << ")";
}

}  // namespace Acad

// Points and vectors print as their coordinates.
inline void PrintTo(const AcGePoint3d& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ", " << point.z << ")";
}
inline void PrintTo(const AcGeVector3d& vector, std::ostream* out) {
    *out << "(" << vector.x << ", " << vector.y << ", " << vector.z << ")";
}

namespace host {

// Prints a module status as its name.
inline void PrintTo(ModuleStatus status, std::ostream* out) {
    *out << wideToUtf8(moduleStatusText(status));
}

// Succeeds when no object of any live database is open and the host noticed no contract
// violation; otherwise fails with one line per open object (handle, class, mode, opens) and per
// violation. Clears the violations it reports, so the next test starts clean.
inline ::testing::AssertionResult nothingLeftOpen() {
    const std::wstring open = describeOpenObjects(openObjects());
    std::wstring violations;
    for (const std::wstring& violation : contractViolations()) {
        violations += violation + L"\n";
    }
    clearContractViolations();
    if (open.empty() && violations.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << (open.empty() ? "" : "objects left open (handle, class, mode, opens):\n")
           << wideToUtf8(open) << (violations.empty() ? "" : "contract violations:\n")
           << wideToUtf8(violations);
}

}  // namespace host
