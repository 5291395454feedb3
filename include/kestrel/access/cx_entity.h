// CxEntity<T>: the scoped pointer for entities, opened by id, handle text or selection name and
// re-openable, with typed value stores in the entity's XData and extension dictionary.
// Instantiated for the 19 entity classes of the exported interface and for hatches and splines,
// which the characteristic-point extractors open (listed at the end). Lists handed in stay
// the caller's; lists and blocks handed out belong to the caller (acutRelRb, free).
#pragma once

#include <cstdint>

#include "kestrel/access/binary_data.h"
#include "kestrel/access/cx_ptr.h"
#include "kestrel/access/entity_fields.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/platform/cstring.h"

class CVLKCDraw;
struct resbuf;

// The fields, the two states and the rules of CxPtr hold, except that open() may be called on
// a holding wrapper: it first closes what it holds, and a failed open leaves it empty. Handle
// texts are looked up in the working database only; no open takes a document lock.
//
// Every write needs an entity open in mode kForWrite and otherwise answers eNotOpenForWrite (45)
// with nothing changed; readers answer false and leave their output unchanged. Writers leave the
// entity open for write; a write to the extension dictionary lowers it to read while the
// dictionary opens and raises it again.
//
// XData (eed...): the values of application app follow its 1001 item. add false replaces them,
// add true puts the new ones after the last (atEnd) or before the first. Readers take the first
// item of the accepted codes: int 1070, long 1071, double 1040-1042, point 1010-1013, CString
// 1000, 1002, 1003, 1005; partialName takes the first group whose name contains app (with an
// empty app, the first group).
//
// Extension dictionary (dct...): one Xrecord per key, its chain in record encoding (text 1,
// point 210, real 38, short 60, long 90, chunk 310). Single-value readers convert the first item
// (int/long: short, long, text by _wtoi/_wtol, real truncated; double: any number, text by
// _wtof; CString: "%d", "%s", "%.4f"; point: 210 only); a first item the type does not take
// still reads true with the output unchanged. partialKey takes the first entry, in the
// dictionary's order, whose name contains key. Records open in the wrapper's mode, so a read
// through a wrapper open for write opens the record for write.
//
// Decisions where the interface leaves the behaviour open:
// - Defaults: add false, atEnd true, partialName and partialKey false. groupCode defaults to
//   the code each type is found under: XData text 1000, int 1070, long 1071, double 1040,
//   point 1010; records text 1, int and long 90 (so no int is cut short), double 38, point 210,
//   binary 310.
// - The code must take the value (a text code a text, an integer code an int or long within its
//   range, ...): otherwise eInvalidResBuf, or eOutOfRange for an integer too large for the code,
//   and nothing changes. A null text or app (or an empty app) is eNullPtr / eInvalidInput;
//   readers answer false for a null app, and for an empty one read without partialName.
// - In a value list, the codes the host holds as another type than their class convert from
//   that value: a 1004 chunk becomes the hexadecimal text of its bytes, the real of a 19 or
//   214-239 item the point (real, 0, 0).
// - A value list with no item that converts (empty, or only codes the stores do not keep) is
//   refused with eInvalidInput and changes nothing; in XData an empty group would erase the
//   application. A binary holder with no text and size 0, a block that is null with a size, or a
//   groupCode other than 310 are refused the same way.
// - A record with no items: the single-value readers answer false (there is no value), the list
//   reader answers true with a null list, the binary reader true with no text added, size 0 and
//   data null (an empty block is never allocated).
// - Reals read as int or long saturate at the 32-bit limits (NaN gives 0), as text does.
// - The resbuf* XData reader sets its output to null when the entity carries no such group.
template <class T>
class KESTREL_API CxEntity : public CxPtr<T> {
public:
    // Empty.
    CxEntity();
    // Open as the matching open(); the pointer is empty on failure, with the reason in status().
    CxEntity(const AcDbObjectId& id, AcDb::OpenMode mode);
    CxEntity(const wchar_t* handle, AcDb::OpenMode mode);
    CxEntity(std::int64_t * name, AcDb::OpenMode mode);

    CxEntity(const CxEntity&) = delete;
    CxEntity(CxEntity &&) = delete;
    // Changes nothing and returns this pointer.
    CxEntity& operator=(CxEntity& other);

    // Closes what is held, then opens id as a T: the host's status, or eNotThatKindOfClass (34) for
    // an entity of another class (closed again); the same value stays in status().
    Acad::ErrorStatus open(const AcDbObjectId& id, AcDb::OpenMode mode);
    // As above for the entity whose hexadecimal handle is handle in the working database; a
    // handle that names nothing (or null or empty text) fails as the null id does.
    Acad::ErrorStatus open(const wchar_t* handle, AcDb::OpenMode mode);
    // As above for a selection name; a name that converts to nothing fails as the null id does.
    Acad::ErrorStatus open(std::int64_t * name, AcDb::OpenMode mode);

    // XData writers: the host's setXData status, or a refusal of the class comment.
    Acad::ErrorStatus eedWrite(const wchar_t* app, const wchar_t* value, bool add = false,
                               bool atEnd = true, int groupCode = 1000);
    Acad::ErrorStatus eedWrite(const wchar_t* app, int value, bool add = false, bool atEnd = true,
                               int groupCode = 1070);
    Acad::ErrorStatus eedWrite(const wchar_t* app, long value, bool add = false, bool atEnd = true,
                               int groupCode = 1071);
    Acad::ErrorStatus eedWrite(const wchar_t* app, double value, bool add = false,
                               bool atEnd = true, int groupCode = 1040);
    Acad::ErrorStatus eedWrite(const wchar_t* app, const AcGePoint3d& value, bool add = false,
                               bool atEnd = true, int groupCode = 1010);
    // Stores the XData conversion of values (see setEedRestype); values stay the caller's.
    Acad::ErrorStatus eedWrite(const wchar_t* app, resbuf* values, bool add = false,
                               bool atEnd = true);
    // XData readers: false, value unchanged, when nothing of the type is found.
    bool eedRead(const wchar_t* app, int& value, bool partialName = false);
    bool eedRead(const wchar_t* app, long& value, bool partialName = false);
    bool eedRead(const wchar_t* app, double& value, bool partialName = false);
    bool eedRead(const wchar_t* app, AcGePoint3d& value, bool partialName = false);
    bool eedRead(const wchar_t* app, CString& value, bool partialName = false);
    // The application's values without braces and 1001 item, owned by the caller.
    bool eedRead(const wchar_t* app, resbuf*& values, bool partialName = false);
    // Removes app's XData: the host's setXData status (other applications keep theirs).
    Acad::ErrorStatus eedErase(const wchar_t* app);

    // Record writers: the status of the dictionary's open, setFromRbChain or setAt, or a refusal
    // of the class comment; on failure the former record stays.
    Acad::ErrorStatus dctWrite(const wchar_t* key, const wchar_t* value, bool add = false,
                               bool atEnd = true, int groupCode = 1);
    Acad::ErrorStatus dctWrite(const wchar_t* key, int value, bool add = false, bool atEnd = true,
                               int groupCode = 90);
    Acad::ErrorStatus dctWrite(const wchar_t* key, long value, bool add = false, bool atEnd = true,
                               int groupCode = 90);
    Acad::ErrorStatus dctWrite(const wchar_t* key, double value, bool add = false,
                               bool atEnd = true, int groupCode = 38);
    Acad::ErrorStatus dctWrite(const wchar_t* key, const AcGePoint3d& value, bool add = false,
                               bool atEnd = true, int groupCode = 210);
    // The holder is not changed.
    Acad::ErrorStatus dctWrite(const wchar_t* key, const CVLKCBinaryData& value, bool add = false,
                               bool atEnd = true, int groupCode = 310);
    // Stores the record conversion of values (see setDictionaryRestype); values stay the caller's.
    Acad::ErrorStatus dctWrite(const wchar_t* key, resbuf* values, bool add = false,
                               bool atEnd = true);
    // Record readers: false, value unchanged, without an Xrecord under key.
    bool dctRead(const wchar_t* key, int& value, bool partialKey = false);
    bool dctRead(const wchar_t* key, long& value, bool partialKey = false);
    bool dctRead(const wchar_t* key, double& value, bool partialKey = false);
    bool dctRead(const wchar_t* key, AcGePoint3d& value, bool partialKey = false);
    bool dctRead(const wchar_t* key, CString& value, bool partialKey = false);
    // The Xrecord's chain, or another object's acdbEntGet list; owned by the caller.
    bool dctRead(const wchar_t* key, resbuf*& values, bool partialKey = false);
    // Appends the record's texts to value's and gives it a new malloc block of the chunks (the
    // caller frees it; a block the holder held before is not freed).
    bool dctRead(const wchar_t* key, CVLKCBinaryData& value, bool partialKey = false);
    // Removes the record: the host's remove status, eOk when there is no extension dictionary.
    Acad::ErrorStatus dctErase(const wchar_t* key);

protected:
    // The first XData group whose application name contains app, owned by the caller; null when
    // none.
    resbuf* xDataX(const wchar_t* app);
    // values converted to XData codes (1000, 1010, 1040, 1070, 1071), a new list owned by the
    // caller; null when nothing converts.
    resbuf* setEedRestype(resbuf * values);
    // values converted to record codes (1, 210, 38, 60, 90, 310), a new list owned by the
    // caller; null when nothing converts.
    resbuf* setDictionaryRestype(resbuf * values);
    // Opens the entry key of dictionary in this wrapper's mode (exactly, or the first name
    // containing key: eNoMatchingEntry (44) when none); the status, also kept in status(). The
    // caller closes it.
    Acad::ErrorStatus openRecord(AcDbDictionary * dictionary, const wchar_t* key, bool partialKey,
                                 AcDbObject*& record);

private:
    // Entity creation hands a new entity, open for write, straight to the caller's pointer.
    friend class CVLKCDraw;

    Acad::ErrorStatus openEntity(const AcDbObjectId& id, AcDb::OpenMode mode);
    // The three fields as the stores work on them.
    kestrel::EntityFields fields();
};

// The instantiations the module exports; client code links against these.
extern template class KESTREL_API CxEntity<AcDb2LineAngularDimension>;
extern template class KESTREL_API CxEntity<AcDb2dPolyline>;
extern template class KESTREL_API CxEntity<AcDb3PointAngularDimension>;
extern template class KESTREL_API CxEntity<AcDb3dPolyline>;
extern template class KESTREL_API CxEntity<AcDbArc>;
extern template class KESTREL_API CxEntity<AcDbAttribute>;
extern template class KESTREL_API CxEntity<AcDbBlockReference>;
extern template class KESTREL_API CxEntity<AcDbCircle>;
extern template class KESTREL_API CxEntity<AcDbEllipse>;
extern template class KESTREL_API CxEntity<AcDbEntity>;
extern template class KESTREL_API CxEntity<AcDbFace>;
extern template class KESTREL_API CxEntity<AcDbLine>;
extern template class KESTREL_API CxEntity<AcDbPoint>;
extern template class KESTREL_API CxEntity<AcDbPolyline>;
extern template class KESTREL_API CxEntity<AcDbRay>;
extern template class KESTREL_API CxEntity<AcDbRotatedDimension>;
extern template class KESTREL_API CxEntity<AcDbSolid>;
extern template class KESTREL_API CxEntity<AcDbTable>;
extern template class KESTREL_API CxEntity<AcDbText>;
// For the characteristic-point extractors; no typed pointer of the interface derives from them.
extern template class KESTREL_API CxEntity<AcDbHatch>;
extern template class KESTREL_API CxEntity<AcDbSpline>;
