// Raw objects and entities: the kept groups, their DXF and binary filing, and the DXF name a file
// gives any object.
#include "kestrel/host/db/raw_object.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/rx/class.h"

// No DXF name of their own: each raw object files under the name it was read with.
ACRX_CONS_DEFINE_MEMBERS(AcDbRawObject, AcDbObject, 0);
ACRX_CONS_DEFINE_MEMBERS(AcDbRawEntity, AcDbEntity, 0);

namespace host {
namespace {

constexpr int kSubclassCode = 100;
constexpr const wchar_t* kEntitySubclass = L"AcDbEntity";
// The groups of the AcDbEntity subclass that AcDbEntity files itself (see host/db/entity.h).
constexpr int kEntityOwnCodes[] = {6, 8, 60, 62, 420};
// A binary record longer than this is damaged rather than real.
constexpr Adesk::Int32 kMaxChunk = 1 << 24;

// The alternatives of DxfItem::Value, in their order, then a point given without its Z.
enum ValueKind : Adesk::Int8 { kNoValue, kText, kReal, kPoint, kInteger, kBytes, kId, kPoint2d };
static_assert(std::variant_size_v<DxfItem::Value> == kId + 1);

ValueKind kindOf(const DxfItem& item) {
    const auto kind = static_cast<ValueKind>(item.value.index());
    return kind == kPoint && item.point2d ? kPoint2d : kind;
}

bool endsGroups(const DxfItem& item) {
    return item.code == 0 || item.code == 1001 || item.code == -3;
}

void writeId(AcDbDwgFiler* filer, int code, const AcDbObjectId& id) {
    if (code >= 330 && code <= 339) {
        filer->writeSoftPointerId(id);
    } else if (code >= 350 && code <= 359) {
        filer->writeSoftOwnershipId(id);
    } else if (code >= 360 && code <= 369) {
        filer->writeHardOwnershipId(id);
    } else {
        filer->writeHardPointerId(id);
    }
}

void readId(AcDbDwgFiler* filer, int code, AcDbObjectId& id) {
    if (code >= 330 && code <= 339) {
        AcDbSoftPointerId read;
        filer->readSoftPointerId(&read);
        id = read;
    } else if (code >= 350 && code <= 359) {
        AcDbSoftOwnershipId read;
        filer->readSoftOwnershipId(&read);
        id = read;
    } else if (code >= 360 && code <= 369) {
        AcDbHardOwnershipId read;
        filer->readHardOwnershipId(&read);
        id = read;
    } else {
        AcDbHardPointerId read;
        filer->readHardPointerId(&read);
        id = read;
    }
}

void writeItem(AcDbDwgFiler* filer, const DxfItem& item) {
    filer->writeInt32(item.code);
    filer->writeInt8(kindOf(item));
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::wstring>) {
                filer->writeString(value);
            } else if constexpr (std::is_same_v<T, double>) {
                filer->writeDouble(value);
            } else if constexpr (std::is_same_v<T, AcGePoint3d>) {
                filer->writePoint3d(value);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                filer->writeInt64(value);
            } else if constexpr (std::is_same_v<T, std::vector<unsigned char>>) {
                filer->writeInt32(static_cast<Adesk::Int32>(value.size()));
                filer->writeBytes(value.data(), value.size());
            } else if constexpr (std::is_same_v<T, AcDbObjectId>) {
                writeId(filer, item.code, value);
            }
        },
        item.value);
}

void readItem(AcDbDwgFiler* filer, DxfItem& item) {
    Adesk::Int32 code = 0;
    Adesk::Int8 kind = kNoValue;
    filer->readInt32(&code);
    filer->readInt8(&kind);
    item.code = code;
    switch (kind) {
        case kNoValue:
            item.value = std::monostate();
            return;
        case kText: {
            std::wstring text;
            filer->readString(text);
            item.value = std::move(text);
            return;
        }
        case kReal: {
            double real = 0.0;
            filer->readDouble(&real);
            item.value = real;
            return;
        }
        case kPoint:
        case kPoint2d: {
            AcGePoint3d point;
            filer->readPoint3d(&point);
            item.value = point;
            item.point2d = kind == kPoint2d;
            return;
        }
        case kInteger: {
            Adesk::Int64 integer = 0;
            filer->readInt64(&integer);
            item.value = std::int64_t{integer};
            return;
        }
        case kBytes: {
            Adesk::Int32 length = 0;
            if (filer->readInt32(&length) != Acad::eOk || length < 0 || length > kMaxChunk) {
                break;
            }
            std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
            filer->readBytes(bytes.data(), bytes.size());
            item.value = std::move(bytes);
            return;
        }
        case kId: {
            AcDbObjectId id;
            readId(filer, code, id);
            item.value = id;
            return;
        }
        default:
            break;
    }
    if (filer->filerStatus() == Acad::eOk) {
        filer->setFilerStatus(Acad::eFilerError);
    }
}

}  // namespace

void dwgOutGroups(AcDbDwgFiler* filer, const DxfItemList& items) {
    filer->writeInt32(static_cast<Adesk::Int32>(items.size()));
    for (const DxfItem& item : items) {
        writeItem(filer, item);
    }
}

Acad::ErrorStatus dwgInGroups(AcDbDwgFiler* filer, DxfItemList& items) {
    Adesk::Int32 count = 0;
    if (filer->readInt32(&count) == Acad::eOk && (count < 0 || count > kMaxChunk)) {
        filer->setFilerStatus(Acad::eFilerError);
    }
    DxfItemList read;
    for (Adesk::Int32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        read.emplace_back();
        readItem(filer, read.back());
    }
    if (filer->filerStatus() == Acad::eOk) {
        items = std::move(read);
    }
    return filer->filerStatus();
}

namespace {

// Reads the groups up to the next subclass marker, the XData or the next object into head (the
// groups AcDbEntity files itself) and extras (the others).
Acad::ErrorStatus splitEntitySubclass(AcDbDxfFiler* filer, DxfItemList& head, DxfItemList& extras) {
    DxfItem item;
    while (!filer->atEndOfObject() && filer->readItem(item) == Acad::eOk) {
        if (item.code == kSubclassCode || endsGroups(item)) {
            filer->pushBackItem();
            break;
        }
        const bool own = std::find(std::begin(kEntityOwnCodes), std::end(kEntityOwnCodes),
                                   item.code) != std::end(kEntityOwnCodes);
        (own ? head : extras).push_back(std::move(item));
    }
    return filer->filerStatus();
}

// Reads the object's base groups and its AcDbEntity subclass into head and extras.
Acad::ErrorStatus readEntityHead(AcDbDxfFiler* filer, DxfItemList& head, DxfItemList& extras) {
    DxfItem item;
    while (!filer->atEndOfObject() && filer->readItem(item) == Acad::eOk) {
        if (endsGroups(item)) {
            filer->pushBackItem();
            return filer->filerStatus();
        }
        const bool marker = item.code == kSubclassCode;
        const bool entityMarker = marker && item.text() == kEntitySubclass;
        if (marker && !entityMarker) {
            filer->pushBackItem();
            return filer->filerStatus();
        }
        head.push_back(std::move(item));
        if (entityMarker) {
            return splitEntitySubclass(filer, head, extras);
        }
    }
    return filer->filerStatus();
}

}  // namespace

Acad::ErrorStatus RawGroups::dxfIn(AcDbDxfFiler* filer) {
    DxfItemList read;
    DxfItem item;
    while (!filer->atEndOfObject() && filer->readItem(item) == Acad::eOk) {
        if (endsGroups(item)) {
            filer->pushBackItem();
            break;
        }
        read.push_back(std::move(item));
    }
    if (filer->filerStatus() == Acad::eOk) {
        m_groups = std::move(read);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus RawGroups::dxfOut(AcDbDxfFiler* filer) const {
    for (const DxfItem& item : m_groups) {
        filer->writeItem(item);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus RawGroups::dwgIn(AcDbDwgFiler* filer) {
    std::wstring name;
    DxfItemList extras;
    DxfItemList groups;
    filer->readString(name);
    dwgInGroups(filer, extras);
    if (dwgInGroups(filer, groups) == Acad::eOk) {
        m_dxfName = std::move(name);
        m_entityExtras = std::move(extras);
        m_groups = std::move(groups);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus RawGroups::dwgOut(AcDbDwgFiler* filer) const {
    filer->writeString(m_dxfName);
    dwgOutGroups(filer, m_entityExtras);
    dwgOutGroups(filer, m_groups);
    return filer->filerStatus();
}

const wchar_t* dxfNameOf(const AcDbObject* object) {
    if (const auto* raw = AcDbRawObject::cast(object)) {
        return raw->dxfName().c_str();
    }
    if (const auto* raw = AcDbRawEntity::cast(object)) {
        return raw->dxfName().c_str();
    }
    const AcRxClass* cls = object->isA();
    return cls->dxfName() != nullptr ? cls->dxfName() : cls->name();
}

}  // namespace host

const std::wstring& AcDbRawObject::dxfName() const {
    assertReadEnabled();
    return m_raw.dxfName();
}

const host::DxfItemList& AcDbRawObject::groups() const {
    assertReadEnabled();
    return m_raw.groups();
}

Acad::ErrorStatus AcDbRawObject::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    return status == Acad::eOk ? m_raw.dwgIn(filer) : status;
}

Acad::ErrorStatus AcDbRawObject::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    return status == Acad::eOk ? m_raw.dwgOut(filer) : status;
}

Acad::ErrorStatus AcDbRawObject::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    return status == Acad::eOk ? m_raw.dxfIn(filer) : status;
}

Acad::ErrorStatus AcDbRawObject::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    return status == Acad::eOk ? m_raw.dxfOut(filer) : status;
}

const std::wstring& AcDbRawEntity::dxfName() const {
    assertReadEnabled();
    return m_raw.dxfName();
}

const host::DxfItemList& AcDbRawEntity::groups() const {
    assertReadEnabled();
    return m_raw.groups();
}

Acad::ErrorStatus AcDbRawEntity::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
    return status == Acad::eOk ? m_raw.dwgIn(filer) : status;
}

Acad::ErrorStatus AcDbRawEntity::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
    return status == Acad::eOk ? m_raw.dwgOut(filer) : status;
}

// The entity's own groups go through AcDbEntity over a list of their own, so that the groups
// of its subclass it does not keep stay here rather than being skipped.
Acad::ErrorStatus AcDbRawEntity::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled();
    host::DxfItemList head;
    host::DxfItemList extras;
    Acad::ErrorStatus status = host::readEntityHead(filer, head, extras);
    if (status != Acad::eOk) {
        return status;
    }
    host::DxfItemFiler entityFiler(std::move(head), filer->database(), filer->filerType());
    status = AcDbEntity::dxfInFields(&entityFiler);
    if (status != Acad::eOk) {
        return filer->setError(status, L"%s", entityFiler.errorMessage());
    }
    status = m_raw.dxfIn(filer);
    if (status == Acad::eOk) {
        m_raw.extraEntityGroups() = std::move(extras);
    }
    return status;
}

Acad::ErrorStatus AcDbRawEntity::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    for (const host::DxfItem& item : m_raw.extraEntityGroups()) {
        if (status == Acad::eOk) {
            status = filer->writeItem(item);
        }
    }
    return status == Acad::eOk ? m_raw.dxfOut(filer) : status;
}
