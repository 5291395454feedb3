// The group codes of the value stores: one classification of a caller's codes into the stores'
// value classes, used both to convert lists into XData and into dictionary records, and the
// building of one item from a typed value. Every list made here belongs to the caller.
#pragma once

#include <optional>
#include <variant>

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

class AcGePoint3d;
struct resbuf;

namespace kestrel {

// The kinds of value the stores keep.
enum class StoreClass { kText, kPoint, kReal, kShort, kLong, kBinary };

// The code each class is stored under by one conversion; 0 leaves that class out.
struct KESTREL_API StoreCodes {
    short text;
    short point;
    short real;
    short shortInt;
    short longInt;
    short binary;
};

// XData: 1000 text, 1010 point, 1040 real, 1070 short, 1071 long; binary chunks are left out.
inline constexpr StoreCodes kXDataCodes{1000, 1010, 1040, 1070, 1071, 0};
// Dictionary records: 1 text, 210 point, 38 real, 60 short, 90 long, 310 binary chunk.
inline constexpr StoreCodes kRecordCodes{1, 210, 38, 60, 90, 310};

// The class of an item with this code, or none. Classes: text 0-9, 100, 102, 300-309, 320-329,
// 1000-1005, 5005; point 10-19, 210-239, 1010-1013, 5002, 5009; real 38-59, 140-149, 1040-1042,
// 5001; short 60-79, 170-179, 270-279, 1070, 5003; long 90-99, 1071, 5010; binary 310.
KESTREL_API std::optional<StoreClass> storeClass(int code);

// One new item per classed item of values, in order, under codes; unclassed items, classes whose
// code is 0 and chunks that cannot be copied (negative length) are left out. values is not
// changed. Null when nothing converts; otherwise a new list owned by the caller.
// Three codes of the table hold another kind of value in the host, and convert from that value:
// a 1004 chunk becomes the text of its bytes in hexadecimal (two upper-case digits a byte, as
// drawing files write it), and the one real of a 19 or 214-239 item becomes the point (real, 0, 0).
KESTREL_API resbuf* convertValues(const resbuf* values, const StoreCodes& codes);

// A typed value as the single-value writers take it.
using ItemValue = std::variant<const wchar_t*, int, long, double, const AcGePoint3d*>;

// Builds the one-item list (code, value) into item. The code's value class must take the value:
// text codes a non-null text, real codes a double, point codes a point, 16-bit and 32-bit integer
// codes an int or long within their range. Refusals (item null): eNullPtr for a null text or
// point, eOutOfRange for an integer that does not fit, eInvalidResBuf for any other mismatch.
KESTREL_API Acad::ErrorStatus buildItem(int code, const ItemValue& value, resbuf*& item);

}  // namespace kestrel
