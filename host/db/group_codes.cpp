// The group-code table: sorted, non-overlapping ranges of codes and the class of their values,
// after the DXF group-code reference (value types by range) and the host's result-type codes.
#include "kestrel/host/db/group_codes.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "kestrel/host/db/resbuf.h"

namespace {

using C = GroupValueClass;

struct CodeRange {
    int first;
    int last;
    GroupValueClass valueClass;
};

// Within 10-39, 110-139, 210-239 and 1010-1059 the X codes start points; the matching Y and Z
// codes (20-37, 120-132, 220-233, 1020-1033) never stand alone in a resbuf and read as reals.
constexpr CodeRange kRanges[] = {
    {-4, -4, C::kText},  // conditional operator of a selection filter
    {-3, -3, C::kNone},  // XData follows
    {-2, -1, C::kName},  // entity names
    {0, 9, C::kText},
    {10, 18, C::kPoint},
    {19, 59, C::kReal},
    {60, 79, C::kInt16},
    {90, 99, C::kInt32},
    {100, 102, C::kText},  // subclass marker, embedded object marker, control string
    {105, 105, C::kText},  // dimension style handle
    {110, 112, C::kPoint},
    {113, 149, C::kReal},
    {160, 169, C::kInt64},
    {170, 179, C::kInt16},
    {210, 213, C::kPoint},
    {214, 239, C::kReal},
    {270, 289, C::kInt16},
    {290, 299, C::kBool},
    {300, 309, C::kText},
    {310, 319, C::kBinary},
    {320, 329, C::kText},  // arbitrary handles, kept as text
    {330, 369, C::kName},  // soft and hard pointer and ownership ids
    {370, 389, C::kInt16},
    {390, 399, C::kName},  // hard pointer ids (plot style names)
    {400, 409, C::kInt16},
    {410, 419, C::kText},
    {420, 429, C::kInt32},
    {430, 439, C::kText},
    {440, 459, C::kInt32},
    {460, 469, C::kReal},
    {470, 479, C::kText},
    {480, 481, C::kName},  // hard pointer handles
    {999, 999, C::kText},  // comment
    {1000, 1003, C::kText},
    {1004, 1004, C::kBinary},
    {1005, 1009, C::kText},  // 1005: database handle, as text
    {1010, 1013, C::kPoint},
    {1014, 1059, C::kReal},
    {1060, 1070, C::kInt16},
    {1071, 1071, C::kInt32},
    {RTNONE, RTNONE, C::kNone},
    {RTREAL, RTREAL, C::kReal},
    {RTPOINT, RTPOINT, C::kPoint},
    {RTSHORT, RTSHORT, C::kInt16},
    {RTANG, RTANG, C::kReal},
    {RTSTR, RTSTR, C::kText},
    {RTENAME, RTPICKS, C::kName},
    {RTORINT, RTORINT, C::kReal},
    {RT3DPOINT, RT3DPOINT, C::kPoint},
    {RTLONG, RTLONG, C::kInt32},
    {RTVOID, RTVOID, C::kNone},
    {RTLB, RTNIL, C::kNone},  // list begin, list end, dotted pair end, nil
    {RTDXF0, RTDXF0, C::kText},
    {RTT, RTT, C::kNone},
    {RTINT64, RTINT64, C::kInt64},
};

constexpr bool rangesAreSorted() {
    for (size_t i = 0; i < std::size(kRanges); ++i) {
        if (kRanges[i].first > kRanges[i].last) {
            return false;
        }
        if (i > 0 && kRanges[i - 1].last >= kRanges[i].first) {
            return false;
        }
    }
    return true;
}
static_assert(rangesAreSorted(), "group-code ranges must be sorted and disjoint");

// The codes files carry, from the first range up to the last XData code, looked up directly:
// readers and writers ask for the class of every group.
constexpr int kFirstTabled = -4;
constexpr int kLastTabled = 1071;
constexpr auto kTabled = [] {
    std::array<GroupValueClass, kLastTabled - kFirstTabled + 1> classes{};
    classes.fill(C::kUnknown);
    for (const CodeRange& range : kRanges) {
        for (int code = std::max(range.first, kFirstTabled);
             code <= std::min(range.last, kLastTabled); ++code) {
            classes[static_cast<std::size_t>(code - kFirstTabled)] = range.valueClass;
        }
    }
    return classes;
}();

}  // namespace

GroupValueClass groupValueClass(int code) {
    if (code >= kFirstTabled && code <= kLastTabled) {
        return kTabled[static_cast<std::size_t>(code - kFirstTabled)];
    }
    const auto* end = std::end(kRanges);
    const auto* it = std::lower_bound(std::begin(kRanges), end, code,
                                      [](const CodeRange& r, int c) { return r.last < c; });
    if (it == end || code < it->first) {
        return C::kUnknown;
    }
    return it->valueClass;
}

bool isPointCode(int code) {
    return groupValueClass(code) == C::kPoint;
}

bool isNameCode(int code) {
    return groupValueClass(code) == C::kName;
}

bool isHandleTextCode(int code) {
    return code == 5 || code == 105 || (code >= 320 && code <= 329) || code == 1005;
}

bool isControlCode(int code) {
    return code == -3 || code == 102 || code == 1002;
}

bool isXDataCode(int code) {
    return code == 1000 || (code >= 1002 && code <= 1005) || (code >= 1010 && code <= 1013) ||
           (code >= 1040 && code <= 1042) || code == 1070 || code == 1071;
}
