// AcDbDxfFiler, the group-code filer objects write their DXF description to (dxfOutFields) and
// read it back from (dxfInFields), with two implementations: host::DxfItemFiler over an
// in-memory item list and host::DxfResbufFiler over resbuf lists. The DXF file reader and writer
// convert between files and item lists. Once the status is not eOk, reads and writes do nothing
// and return it; setError records a status and a message the caller reads back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/handle.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/scale3d.h"
#include "kestrel/host/ge/vector2d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/adesk.h"
#include "kestrel/host/rx/error_status.h"
#include "kestrel/host/rx/object.h"

class AcDbDatabase;
struct ads_binary;
struct resbuf;

namespace host {

// One group: a code and a value whose kind follows from the code (host/db/group_codes.h): text
// for text and handle codes, a real, a point, an integer for every integer and bool code, bytes
// for binary chunks, an id for name codes, nothing for control codes without value.
struct DRAWHOST_API DxfItem {
    using Value = std::variant<std::monostate, std::wstring, double, AcGePoint3d, std::int64_t,
                               std::vector<unsigned char>, AcDbObjectId>;
    DxfItem() = default;
    // An item of code holding value (anything a Value can be made from).
    template <class T>
    DxfItem(int itemCode, T&& itemValue) : code(itemCode), value(std::forward<T>(itemValue)) {}

    int code = 0;
    // A point without its Z group (10 and 20 without 30), as a file gave it or as a class filed
    // it (writePoint2d): files get it that way. Its Z is 0.
    bool point2d = false;
    // A real a class filed as an angle (writeAngle), in radians: files hold it in degrees. The
    // two flags sit in the room after code, so items cost no more.
    bool angle = false;
    Value value;

    // An item of code whose value is empty / zero / null of the code's kind.
    static DxfItem ofCode(int code);
    // The value as each kind; a default when the item holds another kind.
    const std::wstring& text() const;
    double real() const;
    AcGePoint3d point() const;
    std::int64_t integer() const;
    const std::vector<unsigned char>& bytes() const;
    AcDbObjectId id() const;
    bool operator==(const DxfItem& other) const = default;
};

static_assert(sizeof(DxfItem) == alignof(DxfItem::Value) + sizeof(DxfItem::Value),
              "code and the flags share the first word");

// Drawing files hold angles in degrees; filers and objects hold them in radians.
DRAWHOST_API double radiansToFileDegrees(double radians);
DRAWHOST_API double fileDegreesToRadians(double degrees);

using DxfItemList = std::vector<DxfItem>;

// Consulted while DXF reading resolves a record name that names no record of its table: the
// reader of a drawing file adds the record or gives a substitute, and reports what it did.
class DRAWHOST_API RecordResolver {
public:
    // The record to use for name in the symbol table tableId; null when there is none (the read
    // then fails as it would without a resolver).
    virtual AcDbObjectId missingRecord(AcDbObjectId tableId, const std::wstring& name) = 0;

protected:
    ~RecordResolver() = default;
};

}  // namespace host

// The typed writers write the value under the code given; a value whose kind does not suit the
// code (group_codes.h), or a code the host does not know, sets eInvalidDxfCode with a message.
class DRAWHOST_API AcDbDxfFiler : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDxfFiler);
    ~AcDbDxfFiler() override = default;

    Acad::ErrorStatus filerStatus() const { return m_status; }
    AcDb::FilerType filerType() const { return m_type; }
    void setFilerStatus(Acad::ErrorStatus status) { m_status = status; }
    // Clears the status and the message.
    void resetFilerStatus();
    // The database the filed objects belong to (names and handles are looked up there), or null.
    AcDbDatabase* database() const { return m_database; }
    // The resolver of record names that name no record while reading (not owned), or null.
    host::RecordResolver* recordResolver() const { return m_resolver; }
    void setRecordResolver(host::RecordResolver* resolver) { m_resolver = resolver; }
    // Whether writers include values equal to their defaults (true for item and resbuf lists).
    virtual bool includesDefaultValues() const { return true; }

    // Sets the status and a printf-style message (%s takes a wide string); returns status.
    Acad::ErrorStatus setError(Acad::ErrorStatus status, const wchar_t* format, ...);
    // As above with status eDxfReadFailed (51).
    Acad::ErrorStatus setError(const wchar_t* format, ...);
    // The last message set; empty when none.
    const wchar_t* errorMessage() const { return m_message.c_str(); }

    // --- Reading ---------------------------------------------------------------------------

    // Reads the next group into item. Texts and chunks stay owned by the filer and are valid
    // until the next readItem into a resbuf; eEndOfFile (41) after the last group, which does not
    // change the filer's status; item unchanged on failure.
    Acad::ErrorStatus readItem(resbuf* item);
    Acad::ErrorStatus readResBuf(resbuf* item) { return readItem(item); }
    // Host form of readItem.
    Acad::ErrorStatus readItem(host::DxfItem& item);
    // As above without a copy: points item at the filer's group, valid until the next read;
    // item unchanged on failure.
    Acad::ErrorStatus readItem(const host::DxfItem*& item);
    // Makes the last group read the next one again (once); false when there is none to push.
    bool pushBackItem();
    // True when no group is left.
    bool atEOF();
    // True when no group is left or the next one starts another object (group 0).
    bool atEndOfObject();
    // When the next group is the subclass marker 100 with that name, reads it and answers true;
    // otherwise reads nothing and answers false. With implied subclasses, answers true.
    bool atSubclassData(const wchar_t* subClassName);
    // True when the groups come without subclass markers (files of older releases): each
    // subclass then reads every group of the object and takes the codes it knows.
    virtual bool impliedSubclasses() const { return false; }
    // True when the groups are a drawing file's, whose angles are in degrees.
    virtual bool holdsFileValues() const { return false; }
    // The value of an angle group, in radians: a drawing file's groups hold degrees, unless a
    // class wrote the group as an angle.
    double angleOf(const host::DxfItem& item) const;

    // --- Writing ---------------------------------------------------------------------------

    Acad::ErrorStatus writeItem(const resbuf& item);
    Acad::ErrorStatus writeResBuf(const resbuf& item) { return writeItem(item); }
    Acad::ErrorStatus writeItem(const host::DxfItem& item);
    Acad::ErrorStatus writeString(int code, const ACHAR* value);
    Acad::ErrorStatus writeString(int code, const std::wstring& value);
    Acad::ErrorStatus writeString(int code, std::wstring_view value);
    Acad::ErrorStatus writeName(int code, const ACHAR* value) { return writeString(code, value); }
    Acad::ErrorStatus writeInt8(int code, Adesk::Int8 value);
    Acad::ErrorStatus writeInt16(int code, Adesk::Int16 value);
    Acad::ErrorStatus writeInt32(int code, Adesk::Int32 value);
    Acad::ErrorStatus writeInt64(int code, Adesk::Int64 value);
    Acad::ErrorStatus writeUInt8(int code, Adesk::UInt8 value);
    Acad::ErrorStatus writeUInt16(int code, Adesk::UInt16 value);
    Acad::ErrorStatus writeUInt32(int code, Adesk::UInt32 value);
    Acad::ErrorStatus writeBool(int code, bool value);
    Acad::ErrorStatus writeBoolean(int code, Adesk::Boolean value) {
        return writeBool(code, value);
    }
    Acad::ErrorStatus writeDouble(int code, double value);
    // An angle in radians; a drawing file gets it in degrees.
    Acad::ErrorStatus writeAngle(int code, double value);
    Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& value);
    Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& value);
    Acad::ErrorStatus writeVector2d(int code, const AcGeVector2d& value);
    Acad::ErrorStatus writeVector3d(int code, const AcGeVector3d& value);
    Acad::ErrorStatus writeScale3d(int code, const AcGeScale3d& value);
    Acad::ErrorStatus writeBChunk(int code, const ads_binary& value);
    Acad::ErrorStatus writeBytes(int code, const void* data, std::size_t length);
    Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id);
    Acad::ErrorStatus writeAcDbHandle(int code, const AcDbHandle& handle);

protected:
    AcDbDxfFiler(AcDb::FilerType type, AcDbDatabase* database);

    // Points item at the next group of the source, or answers eEndOfFile. The group stays valid
    // at least until the next call.
    virtual Acad::ErrorStatus nextItem(const host::DxfItem*& item) = 0;
    // True when the source has no group left (a pushed-back group is handled by the base).
    virtual bool sourceExhausted() const = 0;
    // Appends one group to the destination.
    virtual Acad::ErrorStatus putItem(const host::DxfItem& item) = 0;
    // Drops the last group read (and a pushed-back one): for sources whose groups move.
    void forgetLastItem() {
        m_last = nullptr;
        m_pushedBack = false;
    }
    // True when the last group read was pushed back (the source is one group further).
    bool itemPushedBack() const { return m_pushedBack; }
    // Called by atSubclassData when impliedSubclasses(): makes the subclass's groups readable.
    virtual void startImpliedSubclass() {}

private:
    Acad::ErrorStatus peek(const host::DxfItem*& item);

    AcDb::FilerType m_type;
    AcDbDatabase* m_database;
    host::RecordResolver* m_resolver = nullptr;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::wstring m_message;
    const host::DxfItem* m_last = nullptr;  // the last group read or peeked at (the source's)
    host::DxfItem m_handedOut;              // owns the text and chunk readItem(resbuf*) hands out
    host::DxfItem m_text;  // reused by writeString, so that writing a text allocates nothing
    bool m_pushedBack = false;
};

namespace host {

// Reads from and writes to an item list held by the filer. A filer made from a list reads it from
// the start; writes append to the same list and drop a pushed-back group.
class DRAWHOST_API DxfItemFiler : public AcDbDxfFiler {
public:
    explicit DxfItemFiler(AcDbDatabase* database = nullptr,
                          AcDb::FilerType type = AcDb::kFileFiler);
    DxfItemFiler(DxfItemList items, AcDbDatabase* database = nullptr,
                 AcDb::FilerType type = AcDb::kFileFiler);

    const DxfItemList& items() const { return m_items; }
    DxfItemList takeItems();
    // Reads from the first group again and clears the status.
    void rewind();
    // Items without subclass markers: from the first atSubclassData on, each one reads the
    // groups from where the first one started (after the object's base groups).
    void setImpliedSubclasses(bool implied);
    bool impliedSubclasses() const override { return m_implied; }
    // The items are a drawing file's groups, with its angles in degrees.
    void setFileValues(bool fileValues) { m_fileValues = fileValues; }
    bool holdsFileValues() const override { return m_fileValues; }

protected:
    Acad::ErrorStatus nextItem(const DxfItem*& item) override;
    bool sourceExhausted() const override { return m_position >= m_items.size(); }
    Acad::ErrorStatus putItem(const DxfItem& item) override;
    void startImpliedSubclass() override;

private:
    static constexpr std::size_t kNoStart = static_cast<std::size_t>(-1);

    DxfItemList m_items;
    std::size_t m_position = 0;
    bool m_implied = false;
    bool m_fileValues = false;
    std::size_t m_subclassStart = kNoStart;
};

// Reads a resbuf list (the caller's; not changed, must outlive the filer) and writes a new one.
// Name groups carry ads_names (acdbGetAdsName) in the list and ids in the filer.
class DRAWHOST_API DxfResbufFiler : public AcDbDxfFiler {
public:
    // A filer reading source (null: nothing to read) in database's terms.
    explicit DxfResbufFiler(const resbuf* source, AcDbDatabase* database = nullptr,
                            AcDb::FilerType type = AcDb::kBagFiler);
    ~DxfResbufFiler() override;

    // The groups written so far as a new list owned by the caller (null when none); the filer's
    // own list is emptied.
    resbuf* takeChain();

protected:
    Acad::ErrorStatus nextItem(const DxfItem*& item) override;
    bool sourceExhausted() const override { return m_next == nullptr; }
    Acad::ErrorStatus putItem(const DxfItem& item) override;

private:
    const resbuf* m_next;
    DxfItem m_read;  // the group nextItem converted last
    resbuf* m_head = nullptr;
    resbuf* m_tail = nullptr;
};

// Converts one group to a new resbuf owned by the caller (ids become ads_names); null when the
// code is unknown or memory runs out.
DRAWHOST_API resbuf* newResbufFromItem(const DxfItem& item);
// Converts one resbuf to a group (ads_names become ids); eInvalidResBuf for an unknown code or a
// name that names no object in a live database (a null name gives the null id).
DRAWHOST_API Acad::ErrorStatus itemFromResbuf(const resbuf& rb, DxfItem& item);

}  // namespace host
