// AcDbDwgFiler's runtime class and the in-memory DWG filer: every value is stored as a kind tag
// followed by its bytes (counted values carry their count), so reads check what they get.
#include "kestrel/host/db/dwg_filer.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "kestrel/host/db/resbuf.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDwgFiler, AcRxObject)

namespace host {

enum class DwgMemoryFiler::Kind : unsigned char {
    kBool = 1,
    kInt8,
    kInt16,
    kInt32,
    kInt64,
    kUInt8,
    kUInt16,
    kUInt32,
    kUInt64,
    kDouble,
    kPoint2d,
    kPoint3d,
    kVector2d,
    kVector3d,
    kScale3d,
    kString,
    kChunk,
    kBytes,
    kHandle,
    kSoftPointer,
    kHardPointer,
    kSoftOwnership,
    kHardOwnership,
};

namespace {
using Kind = DwgMemoryFiler::Kind;
constexpr std::size_t kMaxChunk = 32767;
}  // namespace

DwgMemoryFiler::DwgMemoryFiler(AcDb::FilerType type, AcDbDatabase* database)
    : m_type(type), m_database(database) {}

DwgMemoryFiler::DwgMemoryFiler(std::vector<unsigned char> bytes, AcDb::FilerType type,
                               AcDbDatabase* database)
    : m_bytes(std::move(bytes)), m_type(type), m_database(database) {}

void DwgMemoryFiler::rewind() {
    m_position = 0;
    m_status = Acad::eOk;
}

void DwgMemoryFiler::clear() {
    m_bytes.clear();
    rewind();
}

std::vector<unsigned char> DwgMemoryFiler::takeBytes() {
    std::vector<unsigned char> bytes = std::move(m_bytes);
    clear();
    return bytes;
}

Acad::ErrorStatus DwgMemoryFiler::put(Kind kind, const void* data, std::size_t length) {
    if (m_status != Acad::eOk) {
        return m_status;
    }
    m_bytes.push_back(static_cast<unsigned char>(kind));
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + length);
    return Acad::eOk;
}

Acad::ErrorStatus DwgMemoryFiler::get(Kind kind, void* data, std::size_t length) {
    if (m_status != Acad::eOk) {
        return m_status;
    }
    if (m_position >= m_bytes.size()) {
        return m_status = Acad::eEndOfFile;
    }
    if (m_bytes[m_position] != static_cast<unsigned char>(kind) ||
        m_bytes.size() - m_position - 1 < length) {
        return m_status = Acad::eFilerTypeMismatch;
    }
    std::memcpy(data, m_bytes.data() + m_position + 1, length);
    m_position += 1 + length;
    return Acad::eOk;
}

// Reads a counted value's tag and count and checks that count units of unit bytes follow; the
// position is then at the first unit.
Acad::ErrorStatus DwgMemoryFiler::getCounted(Kind kind, std::size_t unit, std::size_t& count) {
    std::uint64_t stored = 0;
    const std::size_t start = m_position;
    if (get(kind, &stored, sizeof stored) != Acad::eOk) {
        return m_status;
    }
    if (stored > (m_bytes.size() - m_position) / unit) {
        m_position = start;
        return m_status = Acad::eFilerTypeMismatch;
    }
    count = static_cast<std::size_t>(stored);
    return Acad::eOk;
}

#define KESTREL_DWG_PLAIN(NAME, TYPE, KIND)                            \
    Acad::ErrorStatus DwgMemoryFiler::read##NAME(TYPE* value) {        \
        TYPE read{};                                                   \
        if (value == nullptr) {                                        \
            return Acad::eNullPtr;                                     \
        }                                                              \
        if (get(Kind::KIND, &read, sizeof read) == Acad::eOk) {        \
            *value = read;                                             \
        }                                                              \
        return m_status;                                               \
    }                                                                  \
    Acad::ErrorStatus DwgMemoryFiler::write##NAME(const TYPE& value) { \
        return put(Kind::KIND, &value, sizeof value);                  \
    }

#define KESTREL_DWG_SCALAR(NAME, TYPE, KIND)                    \
    Acad::ErrorStatus DwgMemoryFiler::read##NAME(TYPE* value) { \
        TYPE read{};                                            \
        if (value == nullptr) {                                 \
            return Acad::eNullPtr;                              \
        }                                                       \
        if (get(Kind::KIND, &read, sizeof read) == Acad::eOk) { \
            *value = read;                                      \
        }                                                       \
        return m_status;                                        \
    }                                                           \
    Acad::ErrorStatus DwgMemoryFiler::write##NAME(TYPE value) { \
        return put(Kind::KIND, &value, sizeof value);           \
    }

KESTREL_DWG_SCALAR(Bool, bool, kBool)
KESTREL_DWG_SCALAR(Int8, Adesk::Int8, kInt8)
KESTREL_DWG_SCALAR(Int16, Adesk::Int16, kInt16)
KESTREL_DWG_SCALAR(Int32, Adesk::Int32, kInt32)
KESTREL_DWG_SCALAR(Int64, Adesk::Int64, kInt64)
KESTREL_DWG_SCALAR(UInt8, Adesk::UInt8, kUInt8)
KESTREL_DWG_SCALAR(UInt16, Adesk::UInt16, kUInt16)
KESTREL_DWG_SCALAR(UInt32, Adesk::UInt32, kUInt32)
KESTREL_DWG_SCALAR(UInt64, Adesk::UInt64, kUInt64)
KESTREL_DWG_SCALAR(Double, double, kDouble)
KESTREL_DWG_PLAIN(Point2d, AcGePoint2d, kPoint2d)
KESTREL_DWG_PLAIN(Point3d, AcGePoint3d, kPoint3d)
KESTREL_DWG_PLAIN(Vector2d, AcGeVector2d, kVector2d)
KESTREL_DWG_PLAIN(Vector3d, AcGeVector3d, kVector3d)
KESTREL_DWG_PLAIN(Scale3d, AcGeScale3d, kScale3d)
KESTREL_DWG_PLAIN(HardOwnershipId, AcDbHardOwnershipId, kHardOwnership)
KESTREL_DWG_PLAIN(SoftOwnershipId, AcDbSoftOwnershipId, kSoftOwnership)
KESTREL_DWG_PLAIN(HardPointerId, AcDbHardPointerId, kHardPointer)
KESTREL_DWG_PLAIN(SoftPointerId, AcDbSoftPointerId, kSoftPointer)
KESTREL_DWG_PLAIN(DbHandle, AcDbHandle, kHandle)

#undef KESTREL_DWG_PLAIN
#undef KESTREL_DWG_SCALAR

Acad::ErrorStatus DwgMemoryFiler::writeString(const std::wstring& value) {
    const std::uint64_t count = value.size();
    if (put(Kind::kString, &count, sizeof count) != Acad::eOk) {
        return m_status;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    m_bytes.insert(m_bytes.end(), bytes, bytes + count * sizeof(wchar_t));
    return Acad::eOk;
}

Acad::ErrorStatus DwgMemoryFiler::writeString(const ACHAR* value) {
    return writeString(std::wstring(value != nullptr ? value : L""));
}

Acad::ErrorStatus DwgMemoryFiler::readString(std::wstring& value) {
    std::size_t count = 0;
    if (getCounted(Kind::kString, sizeof(wchar_t), count) != Acad::eOk) {
        return m_status;
    }
    value.resize(count);
    std::memcpy(value.data(), m_bytes.data() + m_position, count * sizeof(wchar_t));
    m_position += count * sizeof(wchar_t);
    return Acad::eOk;
}

Acad::ErrorStatus DwgMemoryFiler::readString(ACHAR** value) {
    if (value == nullptr) {
        return Acad::eNullPtr;
    }
    std::wstring text;
    if (readString(text) == Acad::eOk) {
        *value = acutRbNewString(text.c_str());
    }
    return m_status;
}

Acad::ErrorStatus DwgMemoryFiler::writeBytes(const void* buffer, std::size_t length) {
    if (buffer == nullptr && length > 0) {
        return Acad::eNullPtr;
    }
    const std::uint64_t count = length;
    if (put(Kind::kBytes, &count, sizeof count) != Acad::eOk) {
        return m_status;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    m_bytes.insert(m_bytes.end(), bytes, bytes + length);
    return Acad::eOk;
}

Acad::ErrorStatus DwgMemoryFiler::readBytes(void* buffer, std::size_t length) {
    if (buffer == nullptr && length > 0) {
        return Acad::eNullPtr;
    }
    const std::size_t start = m_position;
    std::size_t count = 0;
    if (getCounted(Kind::kBytes, 1, count) != Acad::eOk) {
        return m_status;
    }
    if (count != length) {
        m_position = start;
        return m_status = Acad::eFilerTypeMismatch;
    }
    std::memcpy(buffer, m_bytes.data() + m_position, length);
    m_position += length;
    return Acad::eOk;
}

Acad::ErrorStatus DwgMemoryFiler::writeBChunk(const ads_binary& value) {
    if (value.clen < 0 || (value.clen > 0 && value.buf == nullptr)) {
        return m_status = Acad::eInvalidInput;
    }
    const std::uint64_t count = static_cast<std::uint64_t>(value.clen);
    if (put(Kind::kChunk, &count, sizeof count) != Acad::eOk) {
        return m_status;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.buf);
    m_bytes.insert(m_bytes.end(), bytes, bytes + value.clen);
    return Acad::eOk;
}

Acad::ErrorStatus DwgMemoryFiler::readBChunk(ads_binary* value) {
    if (value == nullptr) {
        return Acad::eNullPtr;
    }
    std::size_t count = 0;
    if (getCounted(Kind::kChunk, 1, count) != Acad::eOk) {
        return m_status;
    }
    if (count > kMaxChunk) {
        return m_status = Acad::eFilerTypeMismatch;
    }
    char* copy = nullptr;
    if (count > 0) {
        copy = static_cast<char*>(std::malloc(count));
        if (copy == nullptr) {
            return m_status = Acad::eOutOfMemory;
        }
        std::memcpy(copy, m_bytes.data() + m_position, count);
    }
    m_position += count;
    value->clen = static_cast<short>(count);
    value->buf = copy;
    return Acad::eOk;
}

}  // namespace host
