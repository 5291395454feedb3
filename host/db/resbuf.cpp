// Result-buffer items: creation, release, building from variadic arguments, deep copies.
// What an item owns follows from its restype through groupValueClass.
#include "kestrel/host/db/resbuf.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "kestrel/host/db/group_codes.h"

namespace {

bool ownsText(const resbuf* rb) {
    return groupValueClass(rb->restype) == GroupValueClass::kText;
}

bool ownsBinary(const resbuf* rb) {
    return groupValueClass(rb->restype) == GroupValueClass::kBinary;
}

// A malloc copy of length bytes; nullptr for an empty chunk. ok turns false when memory runs out.
char* copyChunk(const char* data, int length, bool& ok) {
    ok = true;
    if (length <= 0) {
        return nullptr;
    }
    char* copy = static_cast<char*>(std::malloc(static_cast<size_t>(length)));
    if (copy == nullptr) {
        ok = false;
        return nullptr;
    }
    std::memcpy(copy, data, static_cast<size_t>(length));
    return copy;
}

bool validChunk(const ads_binary* chunk) {
    return chunk != nullptr && chunk->clen >= 0 && (chunk->clen == 0 || chunk->buf != nullptr);
}

// Reads the value of one item of class valueClass from args into rb; false when the argument is
// unusable or memory runs out (rb then owns nothing).
bool readValue(resbuf* rb, GroupValueClass valueClass, va_list& args) {
    ads_u_val& v = rb->resval;
    switch (valueClass) {
        case GroupValueClass::kNone:
            return true;
        case GroupValueClass::kText: {
            const wchar_t* text = va_arg(args, const wchar_t*);
            v.rstring = acutRbNewString(text);
            return text == nullptr || v.rstring != nullptr;
        }
        case GroupValueClass::kReal:
            v.rreal = va_arg(args, double);
            return true;
        case GroupValueClass::kInt16:
        case GroupValueClass::kBool:
            v.rint = static_cast<short>(va_arg(args, int));
            return true;
        case GroupValueClass::kInt32:
            v.rlong = static_cast<std::int32_t>(va_arg(args, long));
            return true;
        case GroupValueClass::kInt64:
            v.mnInt64 = va_arg(args, std::int64_t);
            return true;
        case GroupValueClass::kPoint: {
            const double* p = va_arg(args, const double*);
            if (p == nullptr) {
                return false;
            }
            std::memcpy(v.rpoint, p, sizeof v.rpoint);
            return true;
        }
        case GroupValueClass::kName: {
            const std::int64_t* name = va_arg(args, const std::int64_t*);
            if (name == nullptr) {
                return false;
            }
            v.rlname[0] = name[0];
            v.rlname[1] = name[1];
            return true;
        }
        case GroupValueClass::kBinary: {
            const ads_binary* chunk = va_arg(args, const ads_binary*);
            if (!validChunk(chunk)) {
                return false;
            }
            bool ok = false;
            v.rbinary.buf = copyChunk(chunk->buf, chunk->clen, ok);
            v.rbinary.clen = ok ? chunk->clen : 0;
            return ok;
        }
        case GroupValueClass::kUnknown:
            break;
    }
    return false;
}

}  // namespace

resbuf* acutNewRb(int type) {
    resbuf* rb = new (std::nothrow) resbuf{};
    if (rb != nullptr) {
        rb->restype = static_cast<short>(type);
    }
    return rb;
}

int acutRelRb(resbuf* rb) {
    while (rb != nullptr) {
        resbuf* next = rb->rbnext;
        if (ownsText(rb)) {
            delete[] rb->resval.rstring;
        } else if (ownsBinary(rb)) {
            std::free(rb->resval.rbinary.buf);
        }
        delete rb;
        rb = next;
    }
    return RTNORM;
}

resbuf* acutBuildList(int type, ...) {
    va_list args;
    va_start(args, type);
    resbuf* head = nullptr;
    resbuf** link = &head;
    bool ok = true;
    for (; type != 0; type = va_arg(args, int)) {
        const GroupValueClass valueClass =
            type == static_cast<short>(type) ? groupValueClass(type) : GroupValueClass::kUnknown;
        resbuf* rb = valueClass == GroupValueClass::kUnknown ? nullptr : acutNewRb(type);
        if (rb == nullptr || !readValue(rb, valueClass, args)) {
            acutRelRb(rb);
            ok = false;
            break;
        }
        *link = rb;
        link = &rb->rbnext;
    }
    va_end(args);
    if (!ok) {
        acutRelRb(head);
        return nullptr;
    }
    return head;
}

resbuf* acutCopyRb(const resbuf* rb) {
    if (rb == nullptr) {
        return nullptr;
    }
    resbuf* copy = acutNewRb(rb->restype);
    if (copy == nullptr) {
        return nullptr;
    }
    copy->resval = rb->resval;
    bool ok = true;
    if (ownsText(rb)) {
        copy->resval.rstring = acutRbNewString(rb->resval.rstring);
        ok = rb->resval.rstring == nullptr || copy->resval.rstring != nullptr;
    } else if (ownsBinary(rb)) {
        copy->resval.rbinary.buf = copyChunk(rb->resval.rbinary.buf, rb->resval.rbinary.clen, ok);
        if (copy->resval.rbinary.buf == nullptr) {
            copy->resval.rbinary.clen = 0;
        }
    }
    if (!ok) {
        acutRelRb(copy);
        return nullptr;
    }
    return copy;
}

resbuf* acutCopyRbChain(const resbuf* rb) {
    resbuf* head = nullptr;
    resbuf** link = &head;
    for (; rb != nullptr; rb = rb->rbnext) {
        *link = acutCopyRb(rb);
        if (*link == nullptr) {
            acutRelRb(head);
            return nullptr;
        }
        link = &(*link)->rbnext;
    }
    return head;
}

int acutRbChainLength(const resbuf* rb) {
    int count = 0;
    for (; rb != nullptr; rb = rb->rbnext) {
        ++count;
    }
    return count;
}

resbuf* acutRbChainLast(resbuf* rb) {
    while (rb != nullptr && rb->rbnext != nullptr) {
        rb = rb->rbnext;
    }
    return rb;
}

int acutRbSetString(resbuf* rb, const wchar_t* text) {
    if (rb == nullptr || !ownsText(rb)) {
        return RTERROR;
    }
    wchar_t* copy = acutRbNewString(text);
    if (text != nullptr && copy == nullptr) {
        return RTERROR;
    }
    delete[] rb->resval.rstring;
    rb->resval.rstring = copy;
    return RTNORM;
}

int acutRbSetBinary(resbuf* rb, const void* data, int length) {
    if (rb == nullptr || !ownsBinary(rb) || length < 0 || length > 32767 ||
        (length > 0 && data == nullptr)) {
        return RTERROR;
    }
    bool ok = false;
    char* copy = copyChunk(static_cast<const char*>(data), length, ok);
    if (!ok) {
        return RTERROR;
    }
    std::free(rb->resval.rbinary.buf);
    rb->resval.rbinary.buf = copy;
    rb->resval.rbinary.clen = static_cast<short>(length);
    return RTNORM;
}

wchar_t* acutRbNewString(const wchar_t* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t length = std::wcslen(text);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy != nullptr) {
        std::wmemcpy(copy, text, length + 1);
    }
    return copy;
}

void acutDelString(wchar_t*& text) {
    delete[] text;
    text = nullptr;
}
