// CVLKCCirclePtr: the screen mark of a circle, drawn as one octant of chords mirrored eight
// ways.
#include "kestrel/drawing/circle_ptr.h"

#include <cmath>

#include "drawing/screen_marks.h"
#include "kestrel/host/db/entities/circle.h"

namespace {

// Chord step of the octant chains, and the last angle a chain reaches: pi/4 plus one step, so
// neighbouring octants overlap and no gap shows.
constexpr double kChordStep = 0.086;
constexpr double kChainEnd = 0.8713981633974482;
constexpr int kHighlighted = 1;

// The chord from angle a0 to angle a1 (from the X axis, within the first octant) in all eight
// mirror images about the axes and the diagonals through the centre.
void drawOctantChords(const AcGePoint3d& c, double r, double a0, double a1, int colour) {
    const double cp = r * std::cos(a0);
    const double sp = r * std::sin(a0);
    const double ca = r * std::cos(a1);
    const double sa = r * std::sin(a1);
    // Signs of the two coordinates, and whether x and y trade places (the diagonal mirror).
    const struct {
        double sx;
        double sy;
        bool swap;
    } images[] = {{1, 1, false}, {1, -1, false}, {-1, 1, false}, {-1, -1, false},
                  {1, 1, true},  {1, -1, true},  {-1, 1, true},  {-1, -1, true}};
    for (const auto& m : images) {
        const double fx = m.swap ? sp : cp;
        const double fy = m.swap ? cp : sp;
        const double tx = m.swap ? sa : ca;
        const double ty = m.swap ? ca : sa;
        kestrel::drawVector(AcGePoint3d(c.x + m.sx * fx, c.y + m.sy * fy, 0.0),
                            AcGePoint3d(c.x + m.sx * tx, c.y + m.sy * ty, 0.0), colour,
                            kHighlighted);
    }
}

}  // namespace

void CVLKCCirclePtr::mark(int colour) {
    if (m_object == nullptr) {
        return;
    }
    const AcGePoint3d c = m_object->center();
    const double r = m_object->radius();
    double previous = 0.0;
    for (double a = 0.0; a <= kChainEnd; a += kChordStep) {
        drawOctantChords(c, r, previous, a, colour);
        previous = a;
    }
}
