// The geometry array types in one place.
#pragma once

#include "host/ge/point2d.h"
#include "host/ge/point3d.h"
#include "host/ge/vector2d.h"
#include "host/ge/vector3d.h"
#include "host/rx/array.h"

using AcGeDoubleArray = AcArray<double>;
using AcGeIntArray = AcArray<int>;
