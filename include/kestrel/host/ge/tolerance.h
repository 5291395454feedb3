// AcGeTol, the pair of tolerances every geometric comparison takes, and AcGeContext::gTol, the
// host's global tolerance that comparisons use by default. gTol is mutable process-wide state:
// whoever changes it should restore it.
#pragma once

#include "kestrel/export.h"

// Outcome of geometric operations that can meet degenerate input.
namespace AcGe {
enum ErrorCondition {
    kOk = 0,
    k0This,  // the object itself has zero length
    k0Arg1,  // the first argument has zero length
    k0Arg2,  // the second argument has zero length
};
}  // namespace AcGe

// equalPoint bounds the distance between points that count as equal; equalVector bounds the
// difference between unit directions (and relative lengths) that count as equal. Both default
// to 1e-10; negative values are stored as their magnitude.
class DRAWHOST_API AcGeTol {
public:
    AcGeTol() = default;

    double equalPoint() const { return m_equalPoint; }
    double equalVector() const { return m_equalVector; }
    void setEqualPoint(double value) { m_equalPoint = value < 0 ? -value : value; }
    void setEqualVector(double value) { m_equalVector = value < 0 ? -value : value; }

private:
    double m_equalPoint = 1e-10;
    double m_equalVector = 1e-10;
};

struct DRAWHOST_API AcGeContext {
    // The tolerance every AcGe comparison uses when none is given.
    static AcGeTol gTol;
};
