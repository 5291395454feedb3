// The geometry array types in one place.
#pragma once

#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector2d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/array.h"

using AcGeDoubleArray = AcArray<double>;
using AcGeIntArray = AcArray<int>;
