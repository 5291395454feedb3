// DemoReport: what `kestrel demo` did, step by step, on standard output; a step that failed goes
// to standard error instead and makes the demo fail at the end.
#pragma once

#include <string>

class DemoReport {
public:
    // Prints a heading line for the steps that follow.
    void section(const std::string& title);
    // Prints "  what" when ok, else "kestrel: failed: what" on standard error; returns ok.
    bool step(bool ok, const std::string& what);
    // The number of steps that failed.
    int failures() const { return m_failures; }

private:
    int m_failures = 0;
};
