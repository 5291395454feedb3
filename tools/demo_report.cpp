// The demo's report lines: headings flush left, steps indented by two spaces, failures on
// standard error.
#include "tools/demo_report.h"

#include <cstdio>

void DemoReport::section(const std::string& title) {
    std::printf("%s\n", title.c_str());
}

bool DemoReport::step(bool ok, const std::string& what) {
    if (ok) {
        std::printf("  %s\n", what.c_str());
    } else {
        ++m_failures;
        std::fprintf(stderr, "kestrel: failed: %s\n", what.c_str());
    }
    return ok;
}
