// The object-access tests' fixture: the shared document fixture, and how many objects are open.
#pragma once

#include "kestrel/host/harness.h"
#include "tests/support/document_test.h"

namespace access_test {

using AccessTest = testsupport::DocumentTest;

// How many objects are open now.
inline std::size_t openCount() {
    return host::openObjects().size();
}

}  // namespace access_test
