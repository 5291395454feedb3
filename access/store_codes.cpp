// The stores' group-code table and the two list builders on it. The table is the only place
// that says which caller codes the stores keep; XData and dictionary records differ only in the
// codes they write per class.
#include "kestrel/access/store_codes.h"

#include <cstdint>
#include <limits>
#include <string>

#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/point3d.h"

namespace kestrel {

namespace {

struct ClassRange {
    int first;
    int last;
    StoreClass storeClass;
};

// In the order the classes are tested: text, point, real, short, long, binary.
constexpr ClassRange kClassRanges[] = {
    {0, 9, StoreClass::kText},
    {100, 100, StoreClass::kText},
    {102, 102, StoreClass::kText},
    {300, 309, StoreClass::kText},
    {320, 329, StoreClass::kText},
    {1000, 1005, StoreClass::kText},
    {RTSTR, RTSTR, StoreClass::kText},
    {10, 19, StoreClass::kPoint},
    {210, 239, StoreClass::kPoint},
    {1010, 1013, StoreClass::kPoint},
    {RTPOINT, RTPOINT, StoreClass::kPoint},
    {RT3DPOINT, RT3DPOINT, StoreClass::kPoint},
    {38, 59, StoreClass::kReal},
    {140, 149, StoreClass::kReal},
    {1040, 1042, StoreClass::kReal},
    {RTREAL, RTREAL, StoreClass::kReal},
    {60, 79, StoreClass::kShort},
    {170, 179, StoreClass::kShort},
    {270, 279, StoreClass::kShort},
    {1070, 1070, StoreClass::kShort},
    {RTSHORT, RTSHORT, StoreClass::kShort},
    {90, 99, StoreClass::kLong},
    {1071, 1071, StoreClass::kLong},
    {RTLONG, RTLONG, StoreClass::kLong},
    {310, 310, StoreClass::kBinary},
};

short codeFor(StoreClass storeClass, const StoreCodes& codes) {
    switch (storeClass) {
        case StoreClass::kText:
            return codes.text;
        case StoreClass::kPoint:
            return codes.point;
        case StoreClass::kReal:
            return codes.real;
        case StoreClass::kShort:
            return codes.shortInt;
        case StoreClass::kLong:
            return codes.longInt;
        case StoreClass::kBinary:
            return codes.binary;
    }
    return 0;
}

// The chunk's bytes as text, two upper-case hexadecimal digits a byte; false for a chunk that
// cannot be read (negative length, or no bytes behind a length).
bool chunkText(const ads_binary& chunk, std::wstring& text) {
    if (chunk.clen < 0 || (chunk.clen > 0 && chunk.buf == nullptr)) {
        return false;
    }
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    text.clear();
    for (short i = 0; i < chunk.clen; ++i) {
        const auto byte = static_cast<unsigned char>(chunk.buf[i]);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return true;
}

// A new item under code with item's value read as storeClass, from the value the host holds
// for the item's code; null when the value cannot be copied (a bad chunk, or no memory).
resbuf* convertItem(const resbuf* item, StoreClass storeClass, short code) {
    const ads_u_val& value = item->resval;
    const GroupValueClass held = groupValueClass(item->restype);
    switch (storeClass) {
        case StoreClass::kText: {
            if (held != GroupValueClass::kBinary) {
                return acutBuildList(code, value.rstring != nullptr ? value.rstring : L"", 0);
            }
            std::wstring text;
            return chunkText(value.rbinary, text) ? acutBuildList(code, text.c_str(), 0) : nullptr;
        }
        case StoreClass::kPoint: {
            if (held != GroupValueClass::kReal) {
                return acutBuildList(code, value.rpoint, 0);
            }
            const double point[3] = {value.rreal, 0.0, 0.0};
            return acutBuildList(code, point, 0);
        }
        case StoreClass::kReal:
            return acutBuildList(code, value.rreal, 0);
        case StoreClass::kShort:
            return acutBuildList(code, static_cast<int>(value.rint), 0);
        case StoreClass::kLong:
            return acutBuildList(code, static_cast<long>(value.rlong), 0);
        case StoreClass::kBinary: {
            resbuf* chunk = acutNewRb(code);
            if (chunk != nullptr &&
                acutRbSetBinary(chunk, value.rbinary.buf, value.rbinary.clen) != RTNORM) {
                acutRelRb(chunk);
                chunk = nullptr;
            }
            return chunk;
        }
    }
    return nullptr;
}

template <class Integer>
bool fits(long value) {
    return value >= std::numeric_limits<Integer>::min() &&
           value <= std::numeric_limits<Integer>::max();
}

Acad::ErrorStatus buildTyped(int code, GroupValueClass held, const wchar_t* text, resbuf*& item) {
    if (held != GroupValueClass::kText) {
        return Acad::eInvalidResBuf;
    }
    if (text == nullptr) {
        return Acad::eNullPtr;
    }
    item = acutBuildList(code, text, 0);
    return item != nullptr ? Acad::eOk : Acad::eOutOfMemory;
}

Acad::ErrorStatus buildTyped(int code, GroupValueClass held, long value, resbuf*& item) {
    if (held == GroupValueClass::kInt16) {
        if (!fits<std::int16_t>(value)) {
            return Acad::eOutOfRange;
        }
        item = acutBuildList(code, static_cast<int>(value), 0);
    } else if (held == GroupValueClass::kInt32) {
        if (!fits<std::int32_t>(value)) {
            return Acad::eOutOfRange;
        }
        item = acutBuildList(code, value, 0);
    } else {
        return Acad::eInvalidResBuf;
    }
    return item != nullptr ? Acad::eOk : Acad::eOutOfMemory;
}

Acad::ErrorStatus buildTyped(int code, GroupValueClass held, int value, resbuf*& item) {
    return buildTyped(code, held, static_cast<long>(value), item);
}

Acad::ErrorStatus buildTyped(int code, GroupValueClass held, double value, resbuf*& item) {
    if (held != GroupValueClass::kReal) {
        return Acad::eInvalidResBuf;
    }
    item = acutBuildList(code, value, 0);
    return item != nullptr ? Acad::eOk : Acad::eOutOfMemory;
}

Acad::ErrorStatus buildTyped(int code, GroupValueClass held, const AcGePoint3d* point,
                             resbuf*& item) {
    if (held != GroupValueClass::kPoint) {
        return Acad::eInvalidResBuf;
    }
    if (point == nullptr) {
        return Acad::eNullPtr;
    }
    const double coordinates[3] = {point->x, point->y, point->z};
    item = acutBuildList(code, coordinates, 0);
    return item != nullptr ? Acad::eOk : Acad::eOutOfMemory;
}

}  // namespace

std::optional<StoreClass> storeClass(int code) {
    for (const ClassRange& range : kClassRanges) {
        if (code >= range.first && code <= range.last) {
            return range.storeClass;
        }
    }
    return std::nullopt;
}

resbuf* convertValues(const resbuf* values, const StoreCodes& codes) {
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    for (const resbuf* item = values; item != nullptr; item = item->rbnext) {
        const std::optional<StoreClass> itemClass = storeClass(item->restype);
        const short code = itemClass ? codeFor(*itemClass, codes) : 0;
        if (code == 0) {
            continue;
        }
        resbuf* converted = convertItem(item, *itemClass, code);
        if (converted == nullptr) {
            continue;
        }
        (tail != nullptr ? tail->rbnext : head) = converted;
        tail = converted;
    }
    return head;
}

Acad::ErrorStatus buildItem(int code, const ItemValue& value, resbuf*& item) {
    item = nullptr;
    const GroupValueClass held = groupValueClass(code);
    return std::visit([&](const auto& typed) { return buildTyped(code, held, typed, item); },
                      value);
}

}  // namespace kestrel
