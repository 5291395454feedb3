// The demo's report lines.
#include "tools/demo_report.h"

#include <cstdio>

#include "host/ge/point3d.h"

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

std::string describePoint(const AcGePoint3d& point) {
    char text[96];
    if (point.z == 0.0) {
        std::snprintf(text, sizeof text, "(%g, %g)", point.x, point.y);
    } else {
        std::snprintf(text, sizeof text, "(%g, %g, %g)", point.x, point.y, point.z);
    }
    return text;
}
