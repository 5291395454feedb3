// AcDbDxfFiler (reading with push-back, typed writers checked against the group-code table,
// errors with messages) and its item-list and resbuf-list implementations.
#include "kestrel/host/db/dxf_filer.h"

#include <cstdarg>
#include <cstring>
#include <iterator>
#include <limits>
#include <numbers>
#include <utility>

#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/platform/cstring.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDxfFiler, AcRxObject)

namespace host {
namespace {

// The variant index each value class is held in.
std::size_t valueIndex(GroupValueClass valueClass) {
    switch (valueClass) {
        case GroupValueClass::kText:
            return 1;
        case GroupValueClass::kReal:
            return 2;
        case GroupValueClass::kPoint:
            return 3;
        case GroupValueClass::kInt16:
        case GroupValueClass::kBool:
        case GroupValueClass::kInt32:
        case GroupValueClass::kInt64:
            return 4;
        case GroupValueClass::kBinary:
            return 5;
        case GroupValueClass::kName:
            return 6;
        default:
            return 0;
    }
}

bool fitsClass(std::int64_t value, GroupValueClass valueClass) {
    switch (valueClass) {
        case GroupValueClass::kInt16:
            return value >= std::numeric_limits<std::int16_t>::min() &&
                   value <= std::numeric_limits<std::uint16_t>::max();
        case GroupValueClass::kBool:
            return value == 0 || value == 1;
        case GroupValueClass::kInt32:
            return value >= std::numeric_limits<std::int32_t>::min() &&
                   value <= std::numeric_limits<std::uint32_t>::max();
        default:
            return true;
    }
}

constexpr std::size_t kMaxChunk = 32767;

// Sets the value of the kinds a resbuf holds in place (points, numbers, names); texts and
// chunks are the callers' (they differ in who owns the copy).
void setScalarValue(ads_u_val& v, GroupValueClass valueClass, const DxfItem& item) {
    switch (valueClass) {
        case GroupValueClass::kPoint:
            v.rpoint[0] = item.point().x;
            v.rpoint[1] = item.point().y;
            v.rpoint[2] = item.point().z;
            break;
        case GroupValueClass::kReal:
            v.rreal = item.real();
            break;
        case GroupValueClass::kInt16:
        case GroupValueClass::kBool:
            v.rint = static_cast<short>(item.integer());
            break;
        case GroupValueClass::kInt32:
            v.rlong = static_cast<std::int32_t>(item.integer());
            break;
        case GroupValueClass::kInt64:
            v.mnInt64 = item.integer();
            break;
        case GroupValueClass::kName:
            v.rlname[0] = 0;
            v.rlname[1] = 0;
            if (!item.id().isNull()) {
                acdbGetAdsName(v.rlname, item.id());
            }
            break;
        default:
            break;
    }
}

}  // namespace

DxfItem DxfItem::ofCode(int code) {
    DxfItem item;
    item.code = code;
    switch (valueIndex(groupValueClass(code))) {
        case 1:
            item.value = std::wstring();
            break;
        case 2:
            item.value = 0.0;
            break;
        case 3:
            item.value = AcGePoint3d();
            break;
        case 4:
            item.value = std::int64_t{0};
            break;
        case 5:
            item.value = std::vector<unsigned char>();
            break;
        case 6:
            item.value = AcDbObjectId();
            break;
        default:
            break;
    }
    return item;
}

const std::wstring& DxfItem::text() const {
    static const std::wstring kEmpty;
    const auto* text = std::get_if<std::wstring>(&value);
    return text != nullptr ? *text : kEmpty;
}

double DxfItem::real() const {
    const auto* real = std::get_if<double>(&value);
    return real != nullptr ? *real : 0.0;
}

AcGePoint3d DxfItem::point() const {
    const auto* point = std::get_if<AcGePoint3d>(&value);
    return point != nullptr ? *point : AcGePoint3d();
}

std::int64_t DxfItem::integer() const {
    const auto* integer = std::get_if<std::int64_t>(&value);
    return integer != nullptr ? *integer : 0;
}

const std::vector<unsigned char>& DxfItem::bytes() const {
    static const std::vector<unsigned char> kEmpty;
    const auto* bytes = std::get_if<std::vector<unsigned char>>(&value);
    return bytes != nullptr ? *bytes : kEmpty;
}

AcDbObjectId DxfItem::id() const {
    const auto* id = std::get_if<AcDbObjectId>(&value);
    return id != nullptr ? *id : AcDbObjectId();
}

resbuf* newResbufFromItem(const DxfItem& item) {
    const GroupValueClass valueClass = groupValueClass(item.code);
    if (valueClass == GroupValueClass::kUnknown || item.value.index() != valueIndex(valueClass)) {
        return nullptr;
    }
    resbuf* rb = acutNewRb(item.code);
    ads_u_val& v = rb->resval;
    switch (valueClass) {
        case GroupValueClass::kText:
            acutRbSetString(rb, item.text().c_str());
            break;
        case GroupValueClass::kBinary:
            if (item.bytes().size() > kMaxChunk) {
                acutRelRb(rb);
                return nullptr;
            }
            acutRbSetBinary(rb, item.bytes().data(), static_cast<int>(item.bytes().size()));
            break;
        default:
            setScalarValue(v, valueClass, item);
            break;
    }
    return rb;
}

Acad::ErrorStatus itemFromResbuf(const resbuf& rb, DxfItem& item) {
    const ads_u_val& v = rb.resval;
    DxfItem read;
    read.code = rb.restype;
    switch (groupValueClass(rb.restype)) {
        case GroupValueClass::kUnknown:
            return Acad::eInvalidResBuf;
        case GroupValueClass::kNone:
            break;
        case GroupValueClass::kText:
            read.value = std::wstring(v.rstring != nullptr ? v.rstring : L"");
            break;
        case GroupValueClass::kBinary: {
            if (v.rbinary.clen < 0 || (v.rbinary.clen > 0 && v.rbinary.buf == nullptr)) {
                return Acad::eInvalidResBuf;
            }
            const auto* bytes = reinterpret_cast<const unsigned char*>(v.rbinary.buf);
            read.value = std::vector<unsigned char>(bytes, bytes + v.rbinary.clen);
            break;
        }
        case GroupValueClass::kPoint:
            read.value = AcGePoint3d(v.rpoint[0], v.rpoint[1], v.rpoint[2]);
            break;
        case GroupValueClass::kReal:
            read.value = v.rreal;
            break;
        case GroupValueClass::kInt16:
        case GroupValueClass::kBool:
            read.value = std::int64_t{v.rint};
            break;
        case GroupValueClass::kInt32:
            read.value = std::int64_t{v.rlong};
            break;
        case GroupValueClass::kInt64:
            read.value = v.mnInt64;
            break;
        case GroupValueClass::kName: {
            AcDbObjectId id;
            if ((v.rlname[0] != 0 || v.rlname[1] != 0) &&
                acdbGetObjectId(id, v.rlname) != Acad::eOk) {
                return Acad::eInvalidResBuf;
            }
            read.value = id;
            break;
        }
    }
    item = std::move(read);
    return Acad::eOk;
}

}  // namespace host

AcDbDxfFiler::AcDbDxfFiler(AcDb::FilerType type, AcDbDatabase* database)
    : m_type(type), m_database(database) {}

void AcDbDxfFiler::resetFilerStatus() {
    m_status = Acad::eOk;
    m_message.clear();
}

Acad::ErrorStatus AcDbDxfFiler::setError(Acad::ErrorStatus status, const wchar_t* format, ...) {
    CString message;
    va_list args;
    va_start(args, format);
    message.FormatV(format != nullptr ? format : L"", args);
    va_end(args);
    m_message = message.GetString();
    m_status = status;
    return status;
}

Acad::ErrorStatus AcDbDxfFiler::setError(const wchar_t* format, ...) {
    CString message;
    va_list args;
    va_start(args, format);
    message.FormatV(format != nullptr ? format : L"", args);
    va_end(args);
    m_message = message.GetString();
    m_status = Acad::eDxfReadFailed;
    return m_status;
}

double AcDbDxfFiler::angleOf(const host::DxfItem& item) const {
    return holdsFileValues() && !item.angle ? host::fileDegreesToRadians(item.real()) : item.real();
}

Acad::ErrorStatus AcDbDxfFiler::readItem(host::DxfItem& item) {
    const host::DxfItem* next = nullptr;
    const Acad::ErrorStatus status = readItem(next);
    if (status == Acad::eOk) {
        item = *next;
    }
    return status;
}

Acad::ErrorStatus AcDbDxfFiler::readItem(const host::DxfItem*& item) {
    const Acad::ErrorStatus status = peek(item);
    if (status == Acad::eOk) {
        m_pushedBack = false;
    }
    return status;
}

Acad::ErrorStatus AcDbDxfFiler::readItem(resbuf* item) {
    if (item == nullptr) {
        return Acad::eNullPtr;
    }
    host::DxfItem read;
    const Acad::ErrorStatus status = readItem(read);
    if (status != Acad::eOk) {
        return status;
    }
    m_handedOut = std::move(read);
    ads_u_val& v = item->resval;
    item->restype = static_cast<short>(m_handedOut.code);
    const GroupValueClass valueClass = groupValueClass(m_handedOut.code);
    switch (valueClass) {
        case GroupValueClass::kText:
            v.rstring = const_cast<wchar_t*>(m_handedOut.text().c_str());
            break;
        case GroupValueClass::kBinary:
            v.rbinary.clen = static_cast<short>(m_handedOut.bytes().size());
            v.rbinary.buf =
                reinterpret_cast<char*>(const_cast<unsigned char*>(m_handedOut.bytes().data()));
            break;
        default:
            host::setScalarValue(v, valueClass, m_handedOut);
            break;
    }
    return Acad::eOk;
}

bool AcDbDxfFiler::pushBackItem() {
    if (m_last == nullptr || m_pushedBack) {
        return false;
    }
    m_pushedBack = true;
    return true;
}

Acad::ErrorStatus AcDbDxfFiler::peek(const host::DxfItem*& item) {
    if (m_status != Acad::eOk) {
        return m_status;
    }
    if (!m_pushedBack) {
        const Acad::ErrorStatus status = nextItem(m_last);
        if (status != Acad::eOk) {
            if (status != Acad::eEndOfFile && m_status == Acad::eOk) {
                m_status = status;
            }
            return status;
        }
        m_pushedBack = true;
    }
    item = m_last;
    return Acad::eOk;
}

bool AcDbDxfFiler::atEOF() {
    return m_status != Acad::eOk || (!m_pushedBack && sourceExhausted());
}

// peek fails once the status is set or the source is exhausted, so it answers for atEOF too
// (with one call to the source instead of two).
bool AcDbDxfFiler::atEndOfObject() {
    const host::DxfItem* next = nullptr;
    return peek(next) != Acad::eOk || next->code == 0;
}

bool AcDbDxfFiler::atSubclassData(const wchar_t* subClassName) {
    if (impliedSubclasses() && subClassName != nullptr) {
        startImpliedSubclass();
        return true;
    }
    const host::DxfItem* next = nullptr;
    if (subClassName == nullptr || peek(next) != Acad::eOk || next->code != 100 ||
        next->text() != subClassName) {
        return false;
    }
    m_pushedBack = false;
    return true;
}

Acad::ErrorStatus AcDbDxfFiler::writeItem(const host::DxfItem& item) {
    if (m_status != Acad::eOk) {
        return m_status;
    }
    const GroupValueClass valueClass = groupValueClass(item.code);
    if (valueClass == GroupValueClass::kUnknown) {
        return setError(Acad::eInvalidDxfCode, L"unknown group code %d", item.code);
    }
    if (item.value.index() != host::valueIndex(valueClass) ||
        !host::fitsClass(item.integer(), valueClass) || item.bytes().size() > host::kMaxChunk) {
        return setError(Acad::eInvalidDxfCode, L"the value does not suit group code %d", item.code);
    }
    const Acad::ErrorStatus status = putItem(item);
    if (status != Acad::eOk) {
        m_status = status;
    }
    return status;
}

Acad::ErrorStatus AcDbDxfFiler::writeItem(const resbuf& item) {
    host::DxfItem converted;
    const Acad::ErrorStatus status = host::itemFromResbuf(item, converted);
    if (status != Acad::eOk) {
        return setError(status, L"item of group code %d cannot be written", item.restype);
    }
    return writeItem(converted);
}

namespace {

host::DxfItem makeItem(int code, host::DxfItem::Value value) {
    host::DxfItem item;
    item.code = code;
    item.value = std::move(value);
    return item;
}

}  // namespace

Acad::ErrorStatus AcDbDxfFiler::writeString(int code, const ACHAR* value) {
    return writeString(code, std::wstring_view(value != nullptr ? value : L""));
}

Acad::ErrorStatus AcDbDxfFiler::writeString(int code, const std::wstring& value) {
    return writeString(code, std::wstring_view(value));
}

Acad::ErrorStatus AcDbDxfFiler::writeString(int code, std::wstring_view value) {
    m_text.code = code;
    if (auto* text = std::get_if<std::wstring>(&m_text.value)) {
        text->assign(value);
    } else {
        m_text.value = std::wstring(value);
    }
    return writeItem(m_text);
}

Acad::ErrorStatus AcDbDxfFiler::writeInt8(int code, Adesk::Int8 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeInt16(int code, Adesk::Int16 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeInt32(int code, Adesk::Int32 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeInt64(int code, Adesk::Int64 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt8(int code, Adesk::UInt8 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt16(int code, Adesk::UInt16 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeUInt32(int code, Adesk::UInt32 value) {
    return writeItem(makeItem(code, std::int64_t{value}));
}

Acad::ErrorStatus AcDbDxfFiler::writeBool(int code, bool value) {
    return writeItem(makeItem(code, std::int64_t{value ? 1 : 0}));
}

Acad::ErrorStatus AcDbDxfFiler::writeDouble(int code, double value) {
    return writeItem(makeItem(code, value));
}

Acad::ErrorStatus AcDbDxfFiler::writeAngle(int code, double value) {
    host::DxfItem item = makeItem(code, value);
    item.angle = true;
    return writeItem(item);
}

Acad::ErrorStatus AcDbDxfFiler::writePoint2d(int code, const AcGePoint2d& value) {
    host::DxfItem item = makeItem(code, AcGePoint3d(value.x, value.y, 0.0));
    item.point2d = true;
    return writeItem(item);
}

Acad::ErrorStatus AcDbDxfFiler::writePoint3d(int code, const AcGePoint3d& value) {
    return writeItem(makeItem(code, value));
}

Acad::ErrorStatus AcDbDxfFiler::writeVector2d(int code, const AcGeVector2d& value) {
    host::DxfItem item = makeItem(code, AcGePoint3d(value.x, value.y, 0.0));
    item.point2d = true;
    return writeItem(item);
}

Acad::ErrorStatus AcDbDxfFiler::writeVector3d(int code, const AcGeVector3d& value) {
    return writeItem(makeItem(code, AcGePoint3d(value.x, value.y, value.z)));
}

Acad::ErrorStatus AcDbDxfFiler::writeScale3d(int code, const AcGeScale3d& value) {
    return writeItem(makeItem(code, AcGePoint3d(value.sx, value.sy, value.sz)));
}

Acad::ErrorStatus AcDbDxfFiler::writeBChunk(int code, const ads_binary& value) {
    if (value.clen < 0 || (value.clen > 0 && value.buf == nullptr)) {
        return setError(Acad::eInvalidInput, L"bad binary chunk for group code %d", code);
    }
    return writeBytes(code, value.buf, static_cast<std::size_t>(value.clen));
}

Acad::ErrorStatus AcDbDxfFiler::writeBytes(int code, const void* data, std::size_t length) {
    if (data == nullptr && length > 0) {
        return setError(Acad::eNullPtr, L"null data for group code %d", code);
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    return writeItem(makeItem(code, std::vector<unsigned char>(bytes, bytes + length)));
}

Acad::ErrorStatus AcDbDxfFiler::writeObjectId(int code, const AcDbObjectId& id) {
    return writeItem(makeItem(code, id));
}

Acad::ErrorStatus AcDbDxfFiler::writeAcDbHandle(int code, const AcDbHandle& handle) {
    wchar_t digits[17];
    handle.getIntoAsciiBuffer(digits, std::size(digits));
    return writeString(code, std::wstring_view(digits));
}

namespace host {

double radiansToFileDegrees(double radians) {
    return radians * (180.0 / std::numbers::pi);
}

double fileDegreesToRadians(double degrees) {
    return degrees * (std::numbers::pi / 180.0);
}

DxfItemFiler::DxfItemFiler(AcDbDatabase* database, AcDb::FilerType type)
    : AcDbDxfFiler(type, database) {}

DxfItemFiler::DxfItemFiler(DxfItemList items, AcDbDatabase* database, AcDb::FilerType type)
    : AcDbDxfFiler(type, database), m_items(std::move(items)) {}

DxfItemList DxfItemFiler::takeItems() {
    DxfItemList items = std::move(m_items);
    m_items.clear();
    m_position = 0;
    forgetLastItem();
    return items;
}

void DxfItemFiler::rewind() {
    m_position = 0;
    m_subclassStart = kNoStart;
    forgetLastItem();
    resetFilerStatus();
}

Acad::ErrorStatus DxfItemFiler::nextItem(const DxfItem*& item) {
    if (m_position >= m_items.size()) {
        return Acad::eEndOfFile;
    }
    item = &m_items[m_position++];
    return Acad::eOk;
}

void DxfItemFiler::setImpliedSubclasses(bool implied) {
    m_implied = implied;
    m_subclassStart = kNoStart;
}

void DxfItemFiler::startImpliedSubclass() {
    if (m_subclassStart == kNoStart) {
        m_subclassStart = m_position - (itemPushedBack() ? 1 : 0);
        return;
    }
    m_position = m_subclassStart;
    forgetLastItem();
}

Acad::ErrorStatus DxfItemFiler::putItem(const DxfItem& item) {
    forgetLastItem();
    m_items.push_back(item);
    return Acad::eOk;
}

DxfResbufFiler::DxfResbufFiler(const resbuf* source, AcDbDatabase* database, AcDb::FilerType type)
    : AcDbDxfFiler(type, database), m_next(source) {}

DxfResbufFiler::~DxfResbufFiler() {
    acutRelRb(m_head);
}

resbuf* DxfResbufFiler::takeChain() {
    m_tail = nullptr;
    return std::exchange(m_head, nullptr);
}

Acad::ErrorStatus DxfResbufFiler::nextItem(const DxfItem*& item) {
    if (m_next == nullptr) {
        return Acad::eEndOfFile;
    }
    const resbuf* rb = m_next;
    const Acad::ErrorStatus status = itemFromResbuf(*rb, m_read);
    if (status != Acad::eOk) {
        return setError(status, L"list item of group code %d cannot be read", rb->restype);
    }
    m_next = rb->rbnext;
    item = &m_read;
    return Acad::eOk;
}

Acad::ErrorStatus DxfResbufFiler::putItem(const DxfItem& item) {
    resbuf* rb = newResbufFromItem(item);
    if (rb == nullptr) {
        return Acad::eOutOfMemory;
    }
    (m_tail != nullptr ? m_tail->rbnext : m_head) = rb;
    m_tail = rb;
    return Acad::eOk;
}

}  // namespace host
