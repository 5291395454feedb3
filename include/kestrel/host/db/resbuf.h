// The host's result-buffer lists: resbuf items chained through rbnext, each with a type code
// (DXF group code or RTxxx result type) and a value whose member follows from the code
// (host/db/group_codes.h). An item owns its text (new[] wchar_t, freed with delete[]) and its
// binary chunk (malloc, freed with free); acutRelRb frees a whole chain with what it owns. Code
// that fills rstring itself uses acutRbNewString; code that fills a chunk uses malloc or
// acutRbSetBinary. What an item frees follows from its restype, so change a type only between
// values of the same class.
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/host/db/ads_types.h"

// A binary chunk: clen bytes at buf.
struct DRAWHOST_API ads_binary {
    short clen;
    char* buf;
};

// The value of a result buffer; which member holds it follows from the type code.
union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    wchar_t* rstring;
    std::int64_t rlname[2];
    std::int32_t rlong;
    std::int64_t mnInt64;
    ads_binary rbinary;
    unsigned char ihandle[8];
};

struct DRAWHOST_API resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

// Result-type codes.
constexpr int RTNONE = 5000;
constexpr int RTREAL = 5001;
constexpr int RTPOINT = 5002;
constexpr int RTSHORT = 5003;
constexpr int RTANG = 5004;
constexpr int RTSTR = 5005;
constexpr int RTENAME = 5006;
constexpr int RTPICKS = 5007;
constexpr int RTORINT = 5008;
constexpr int RT3DPOINT = 5009;
constexpr int RTLONG = 5010;
constexpr int RTVOID = 5014;
constexpr int RTLB = 5016;
constexpr int RTLE = 5017;
constexpr int RTDOTE = 5018;
constexpr int RTNIL = 5019;
constexpr int RTDXF0 = 5020;
constexpr int RTT = 5021;
constexpr int RTRESBUF = 5023;
constexpr int RTINT64 = 5031;

// Editor result codes.
constexpr int RTNORM = 5100;
constexpr int RTERROR = -5001;
constexpr int RTCAN = -5002;
constexpr int RTREJ = -5003;
constexpr int RTFAIL = -5004;
constexpr int RTKWORD = -5005;
constexpr int RTINPUTTRUNCATED = -5008;

// A new item of the given type (any code) with a zeroed value (null text, empty chunk); nullptr
// only when memory runs out. The caller releases it with acutRelRb.
DRAWHOST_API resbuf* acutNewRb(int type);

// Frees the chain from rb on, with every text and binary chunk it owns; null-safe; RTNORM.
DRAWHOST_API int acutRelRb(resbuf* rb);

// Builds a chain from (type, value) pairs ending at a 0 type. Values are read by the type's
// value class: text const wchar_t* (copied; null gives a null text), real double, 16-bit int,
// 32-bit long, 64-bit std::int64_t, point const double* (three doubles copied), name/id
// const std::int64_t* (two copied), binary chunk const ads_binary* (copied); RTLB, RTLE, RTDOTE,
// RTNIL, RTT, RTNONE, RTVOID and -3 take no value. A null point, name or chunk pointer, a chunk
// with a negative length, or a type of no known class gives nullptr with nothing leaked.
// The caller owns the chain.
DRAWHOST_API resbuf* acutBuildList(int type, ...);

// A deep copy of the single item rb (rbnext null); nullptr when rb is null.
DRAWHOST_API resbuf* acutCopyRb(const resbuf* rb);

// A deep copy of the whole chain from rb on; nullptr when rb is null.
DRAWHOST_API resbuf* acutCopyRbChain(const resbuf* rb);

// The number of items in the chain from rb on (0 for null).
DRAWHOST_API int acutRbChainLength(const resbuf* rb);

// The last item of the chain, or nullptr for an empty chain.
DRAWHOST_API resbuf* acutRbChainLast(resbuf* rb);

// Replaces the text of a text item with a copy of text (null allowed); RTNORM, or RTERROR when
// rb is null or not of a text type (the item is then unchanged).
DRAWHOST_API int acutRbSetString(resbuf* rb, const wchar_t* text);

// Replaces the chunk of a binary item with a copy of length bytes of data; RTNORM, or RTERROR
// when rb is null or not a binary item, length is outside 0..32767 or data is null with a
// positive length (the item is then unchanged).
DRAWHOST_API int acutRbSetBinary(resbuf* rb, const void* data, int length);

// A new[] copy of text for a resbuf's rstring, or nullptr when text is null.
DRAWHOST_API wchar_t* acutRbNewString(const wchar_t* text);

// Frees a text made by acutRbNewString (or held by the host's items) and nulls the pointer.
DRAWHOST_API void acutDelString(wchar_t*& text);
