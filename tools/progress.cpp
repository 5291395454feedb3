// The terminal progress line: carriage return and an erase-line sequence, no newline, so the
// line is replaced in place and removed at the end.
#include "tools/progress.h"

#include <unistd.h>

#include <cstdio>

Progress::Progress(std::string label, long total)
    : m_label(std::move(label)),
      m_total(total),
      m_visible(total >= kShownFrom && isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    if (m_visible && m_shownPercent >= 0) {
        std::fputs("\r\033[K", stderr);
    }
}

void Progress::step() {
    ++m_done;
    if (m_visible) {
        draw();
    }
}

void Progress::draw() {
    const long percent = m_done * 100 / m_total;
    if (percent == m_shownPercent) {
        return;
    }
    m_shownPercent = percent;
    std::fprintf(stderr, "\r\033[K%s %ld/%ld (%ld%%)", m_label.c_str(), m_done, m_total, percent);
    std::fflush(stderr);
}
