// The host's plain value types shared by result buffers, selection sets and entity names:
// reals, points as three doubles, and the entity name as two 64-bit integers passed as a pointer.
#pragma once

#include <cstdint>

typedef double ads_real;
typedef ads_real ads_point[3];
typedef ads_real* ads_pointp;
typedef std::int64_t ads_name[2];
typedef std::int64_t* ads_namep;
