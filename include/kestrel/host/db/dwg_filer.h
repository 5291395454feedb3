// AcDbDwgFiler, the binary filer objects write their state to (dwgOutFields) and read it back
// from (dwgInFields), and host::DwgMemoryFiler, its in-memory implementation used for undo, redo,
// copying and tests. Once a filer's status is not eOk, every further read or write does nothing
// and returns that status; reads leave their outputs unchanged on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

class DRAWHOST_API AcDbDwgFiler : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDwgFiler);

    virtual Acad::ErrorStatus filerStatus() const = 0;
    virtual AcDb::FilerType filerType() const = 0;
    virtual void setFilerStatus(Acad::ErrorStatus status) = 0;
    virtual void resetFilerStatus() = 0;
    // The database the filed objects belong to, or null.
    virtual AcDbDatabase* database() const = 0;

    virtual Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id) = 0;
    virtual Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id) = 0;
    virtual Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id) = 0;
    virtual Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id) = 0;
    virtual Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id) = 0;
    virtual Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& id) = 0;
    virtual Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id) = 0;
    virtual Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& id) = 0;

    // A new[] copy of the text, released by the caller with acutDelString (null text allowed).
    virtual Acad::ErrorStatus readString(ACHAR** value) = 0;
    virtual Acad::ErrorStatus readString(std::wstring& value) = 0;
    // Writes text; null is written as the empty text.
    virtual Acad::ErrorStatus writeString(const ACHAR* value) = 0;
    virtual Acad::ErrorStatus writeString(const std::wstring& value) = 0;
    // The chunk's bytes come in a new malloc block owned by the caller (null when empty).
    virtual Acad::ErrorStatus readBChunk(ads_binary* value) = 0;
    virtual Acad::ErrorStatus writeBChunk(const ads_binary& value) = 0;
    virtual Acad::ErrorStatus readDbHandle(AcDbHandle* value) = 0;
    virtual Acad::ErrorStatus writeDbHandle(const AcDbHandle& value) = 0;

    virtual Acad::ErrorStatus readInt64(Adesk::Int64* value) = 0;
    virtual Acad::ErrorStatus writeInt64(Adesk::Int64 value) = 0;
    virtual Acad::ErrorStatus readInt32(Adesk::Int32* value) = 0;
    virtual Acad::ErrorStatus writeInt32(Adesk::Int32 value) = 0;
    virtual Acad::ErrorStatus readInt16(Adesk::Int16* value) = 0;
    virtual Acad::ErrorStatus writeInt16(Adesk::Int16 value) = 0;
    virtual Acad::ErrorStatus readInt8(Adesk::Int8* value) = 0;
    virtual Acad::ErrorStatus writeInt8(Adesk::Int8 value) = 0;
    virtual Acad::ErrorStatus readUInt64(Adesk::UInt64* value) = 0;
    virtual Acad::ErrorStatus writeUInt64(Adesk::UInt64 value) = 0;
    virtual Acad::ErrorStatus readUInt32(Adesk::UInt32* value) = 0;
    virtual Acad::ErrorStatus writeUInt32(Adesk::UInt32 value) = 0;
    virtual Acad::ErrorStatus readUInt16(Adesk::UInt16* value) = 0;
    virtual Acad::ErrorStatus writeUInt16(Adesk::UInt16 value) = 0;
    virtual Acad::ErrorStatus readUInt8(Adesk::UInt8* value) = 0;
    virtual Acad::ErrorStatus writeUInt8(Adesk::UInt8 value) = 0;
    virtual Acad::ErrorStatus readBool(bool* value) = 0;
    virtual Acad::ErrorStatus writeBool(bool value) = 0;
    Acad::ErrorStatus readBoolean(Adesk::Boolean* value) { return readBool(value); }
    Acad::ErrorStatus writeBoolean(Adesk::Boolean value) { return writeBool(value); }
    virtual Acad::ErrorStatus readDouble(double* value) = 0;
    virtual Acad::ErrorStatus writeDouble(double value) = 0;
    virtual Acad::ErrorStatus readPoint2d(AcGePoint2d* value) = 0;
    virtual Acad::ErrorStatus writePoint2d(const AcGePoint2d& value) = 0;
    virtual Acad::ErrorStatus readPoint3d(AcGePoint3d* value) = 0;
    virtual Acad::ErrorStatus writePoint3d(const AcGePoint3d& value) = 0;
    virtual Acad::ErrorStatus readVector2d(AcGeVector2d* value) = 0;
    virtual Acad::ErrorStatus writeVector2d(const AcGeVector2d& value) = 0;
    virtual Acad::ErrorStatus readVector3d(AcGeVector3d* value) = 0;
    virtual Acad::ErrorStatus writeVector3d(const AcGeVector3d& value) = 0;
    virtual Acad::ErrorStatus readScale3d(AcGeScale3d* value) = 0;
    virtual Acad::ErrorStatus writeScale3d(const AcGeScale3d& value) = 0;
    // Raw bytes; reading needs exactly as many bytes as were written in that place.
    virtual Acad::ErrorStatus readBytes(void* buffer, std::size_t length) = 0;
    virtual Acad::ErrorStatus writeBytes(const void* buffer, std::size_t length) = 0;
};

namespace host {

// Keeps the filed values in memory, each tagged with its kind, so a read of another kind than
// the one written at that place fails with eFilerTypeMismatch instead of reading garbage, and a
// read past the last value fails with eEndOfFile (41). Ids are kept as ids: the data is only
// meaningful in the same process. Writes append; rewind() goes back to the first value.
class DRAWHOST_API DwgMemoryFiler : public AcDbDwgFiler {
public:
    explicit DwgMemoryFiler(AcDb::FilerType type = AcDb::kCopyFiler,
                            AcDbDatabase* database = nullptr);
    // A filer that reads back bytes taken from another memory filer (takeBytes).
    DwgMemoryFiler(std::vector<unsigned char> bytes, AcDb::FilerType type,
                   AcDbDatabase* database = nullptr);
    ~DwgMemoryFiler() override = default;

    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDb::FilerType filerType() const override { return m_type; }
    void setFilerStatus(Acad::ErrorStatus status) override { m_status = status; }
    void resetFilerStatus() override { m_status = Acad::eOk; }
    AcDbDatabase* database() const override { return m_database; }

    // Reads from the first value again and resets the status.
    void rewind();
    // Drops every value and resets the status.
    void clear();
    // The filed bytes; the filer is empty afterwards.
    std::vector<unsigned char> takeBytes();
    std::size_t size() const { return m_bytes.size(); }
    // True when every value has been read.
    bool atEnd() const { return m_position >= m_bytes.size(); }

    Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id) override;
    Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id) override;
    Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id) override;
    Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id) override;
    Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id) override;
    Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& id) override;
    Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id) override;
    Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& id) override;
    Acad::ErrorStatus readString(ACHAR** value) override;
    Acad::ErrorStatus readString(std::wstring& value) override;
    Acad::ErrorStatus writeString(const ACHAR* value) override;
    Acad::ErrorStatus writeString(const std::wstring& value) override;
    Acad::ErrorStatus readBChunk(ads_binary* value) override;
    Acad::ErrorStatus writeBChunk(const ads_binary& value) override;
    Acad::ErrorStatus readDbHandle(AcDbHandle* value) override;
    Acad::ErrorStatus writeDbHandle(const AcDbHandle& value) override;
    Acad::ErrorStatus readInt64(Adesk::Int64* value) override;
    Acad::ErrorStatus writeInt64(Adesk::Int64 value) override;
    Acad::ErrorStatus readInt32(Adesk::Int32* value) override;
    Acad::ErrorStatus writeInt32(Adesk::Int32 value) override;
    Acad::ErrorStatus readInt16(Adesk::Int16* value) override;
    Acad::ErrorStatus writeInt16(Adesk::Int16 value) override;
    Acad::ErrorStatus readInt8(Adesk::Int8* value) override;
    Acad::ErrorStatus writeInt8(Adesk::Int8 value) override;
    Acad::ErrorStatus readUInt64(Adesk::UInt64* value) override;
    Acad::ErrorStatus writeUInt64(Adesk::UInt64 value) override;
    Acad::ErrorStatus readUInt32(Adesk::UInt32* value) override;
    Acad::ErrorStatus writeUInt32(Adesk::UInt32 value) override;
    Acad::ErrorStatus readUInt16(Adesk::UInt16* value) override;
    Acad::ErrorStatus writeUInt16(Adesk::UInt16 value) override;
    Acad::ErrorStatus readUInt8(Adesk::UInt8* value) override;
    Acad::ErrorStatus writeUInt8(Adesk::UInt8 value) override;
    Acad::ErrorStatus readBool(bool* value) override;
    Acad::ErrorStatus writeBool(bool value) override;
    Acad::ErrorStatus readDouble(double* value) override;
    Acad::ErrorStatus writeDouble(double value) override;
    Acad::ErrorStatus readPoint2d(AcGePoint2d* value) override;
    Acad::ErrorStatus writePoint2d(const AcGePoint2d& value) override;
    Acad::ErrorStatus readPoint3d(AcGePoint3d* value) override;
    Acad::ErrorStatus writePoint3d(const AcGePoint3d& value) override;
    Acad::ErrorStatus readVector2d(AcGeVector2d* value) override;
    Acad::ErrorStatus writeVector2d(const AcGeVector2d& value) override;
    Acad::ErrorStatus readVector3d(AcGeVector3d* value) override;
    Acad::ErrorStatus writeVector3d(const AcGeVector3d& value) override;
    Acad::ErrorStatus readScale3d(AcGeScale3d* value) override;
    Acad::ErrorStatus writeScale3d(const AcGeScale3d& value) override;
    Acad::ErrorStatus readBytes(void* buffer, std::size_t length) override;
    Acad::ErrorStatus writeBytes(const void* buffer, std::size_t length) override;

    // The kinds of value the filer tells apart.
    enum class Kind : unsigned char;

private:
    Acad::ErrorStatus put(Kind kind, const void* data, std::size_t length);
    Acad::ErrorStatus get(Kind kind, void* data, std::size_t length);
    Acad::ErrorStatus getCounted(Kind kind, std::size_t unit, std::size_t& count);

    std::vector<unsigned char> m_bytes;
    std::size_t m_position = 0;
    Acad::ErrorStatus m_status = Acad::eOk;
    AcDb::FilerType m_type;
    AcDbDatabase* m_database;
};

}  // namespace host
