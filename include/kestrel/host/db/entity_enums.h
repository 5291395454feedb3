// The AcDb enumerations that entity kinds share: intersection modes, text alignment, polyline
// and vertex kinds, multiline-text attachment, dimension and hatch kinds. Values only, with the
// numbers the drawing file format gives them where it stores them.
#pragma once

#include "kestrel/host/rx/adesk.h"
#include "kestrel/host/rx/array.h"

namespace Adesk {
// A graphics-system marker naming a subentity; entities of this host have none (0).
using GsMarker = std::intptr_t;
}  // namespace Adesk

// Entities handed out by explode, owned by the caller (delete each as an AcDbEntity).
using AcDbVoidPtrArray = AcArray<void*>;
using AcDbIntArray = AcArray<int>;

namespace AcDb {

// Which operands of intersectWith are taken as unbounded.
enum Intersect {
    kOnBothOperands = 0,
    kExtendThis = 1,
    kExtendArg = 2,
    kExtendBoth = 3,
};

// Horizontal alignment of a single-line text (DXF group 72).
enum TextHorzMode {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextRight = 2,
    kTextAlign = 3,
    kTextMid = 4,
    kTextFit = 5,
};

// Vertical alignment of a single-line text (DXF group 73 of TEXT, 74 of ATTRIB/ATTDEF).
enum TextVertMode {
    kTextBase = 0,
    kTextBottom = 1,
    kTextVertMid = 2,
    kTextTop = 3,
};

enum Poly2dType {
    k2dSimplePoly = 0,
    k2dFitCurvePoly = 1,
    k2dQuadSplinePoly = 2,
    k2dCubicSplinePoly = 3,
};

enum Poly3dType {
    k3dSimplePoly = 0,
    k3dQuadSplinePoly = 1,
    k3dCubicSplinePoly = 2,
};

enum Vertex2dType {
    k2dVertex = 0,
    k2dSplineCtlVertex = 1,
    k2dSplineFitVertex = 2,
    k2dCurveFitVertex = 3,
};

enum Vertex3dType {
    k3dSimpleVertex = 0,
    k3dControlVertex = 1,
    k3dFitVertex = 2,
};

}  // namespace AcDb
