// Progress: a one-line counter of long work on standard error ("rendering 1200/5000"), shown
// only when standard error is a terminal, so that pipes and logs stay clean.
#pragma once

#include <string>

// Redraws at most once per whole percent; the destructor clears the line. Work of fewer than
// kShownFrom units is over too soon to be worth a line and shows nothing.
class Progress {
public:
    static constexpr long kShownFrom = 1000;

    Progress(std::string label, long total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Counts one more unit of work done.
    void step();

private:
    void draw();

    std::string m_label;
    long m_total;
    long m_done = 0;
    long m_shownPercent = -1;
    bool m_visible;
};
