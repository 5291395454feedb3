// AcDbXrecord: the item list kept as host DXF items, converted to and from resbuf chains, and
// filed item by item (binary filing tags each item with its code).

#include "kestrel/host/db/xrecord.h"

#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/field_filer.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/resbuf.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbXrecord, AcDbObject, 0, 0, 0, XRECORD, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbXrecord";
constexpr int kCloningCode = 280;
constexpr Adesk::Int8 kKeepExisting = 1;

bool isHeldCode(int code) {
    const GroupValueClass kind = groupValueClass(code);
    return code >= 1 && code <= 369 && code != 5 && code != 105 && code != 100 &&
           kind != GroupValueClass::kUnknown && kind != GroupValueClass::kNone;
}

void writeItemValue(AcDbDwgFiler* filer, const host::DxfItem& item) {
    switch (groupValueClass(item.code)) {
        case GroupValueClass::kText:
            filer->writeString(item.text());
            break;
        case GroupValueClass::kReal:
            filer->writeDouble(item.real());
            break;
        case GroupValueClass::kPoint:
            filer->writePoint3d(item.point());
            break;
        case GroupValueClass::kBinary: {
            const auto& bytes = item.bytes();
            filer->writeUInt32(static_cast<Adesk::UInt32>(bytes.size()));
            filer->writeBytes(bytes.data(), bytes.size());
            break;
        }
        case GroupValueClass::kName:
            filer->writeSoftPointerId(item.id());
            break;
        default:
            filer->writeInt64(item.integer());
            break;
    }
}

void readItemValue(AcDbDwgFiler* filer, host::DxfItem& item) {
    switch (groupValueClass(item.code)) {
        case GroupValueClass::kText: {
            std::wstring text;
            filer->readString(text);
            item.value = std::move(text);
            break;
        }
        case GroupValueClass::kReal: {
            double real = 0.0;
            filer->readDouble(&real);
            item.value = real;
            break;
        }
        case GroupValueClass::kPoint: {
            AcGePoint3d point;
            filer->readPoint3d(&point);
            item.value = point;
            break;
        }
        case GroupValueClass::kBinary: {
            Adesk::UInt32 length = 0;
            filer->readUInt32(&length);
            std::vector<unsigned char> bytes(length <= AcDbXrecord::kMaxChunkBytes ? length : 0);
            if (bytes.size() != length) {
                filer->setFilerStatus(Acad::eInvalidResBuf);
            } else {
                filer->readBytes(bytes.data(), bytes.size());
            }
            item.value = std::move(bytes);
            break;
        }
        case GroupValueClass::kName: {
            AcDbSoftPointerId id;
            filer->readSoftPointerId(&id);
            item.value = AcDbObjectId(id);
            break;
        }
        default: {
            Adesk::Int64 integer = 0;
            filer->readInt64(&integer);
            item.value = static_cast<std::int64_t>(integer);
            break;
        }
    }
}

}  // namespace

Acad::ErrorStatus AcDbXrecord::validateItem(const host::DxfItem& item) {
    if (!isHeldCode(item.code)) {
        return Acad::eInvalidDxfCode;
    }
    if (groupValueClass(item.code) == GroupValueClass::kBinary &&
        item.bytes().size() > static_cast<std::size_t>(kMaxChunkBytes)) {
        return Acad::eInvalidResBuf;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXrecord::rbChain(resbuf*& chain, AcDbDatabase*) const {
    assertReadEnabled();
    chain = nullptr;
    resbuf* tail = nullptr;
    for (const host::DxfItem& item : m_items) {
        resbuf* rb = host::newResbufFromItem(item);
        if (rb == nullptr) {
            acutRelRb(chain);
            chain = nullptr;
            return Acad::eOutOfMemory;
        }
        (tail == nullptr ? chain : tail->rbnext) = rb;
        tail = rb;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbXrecord::setFromRbChain(const resbuf& chain, AcDbDatabase* auxDb) {
    return setFromRbChain(&chain, auxDb);
}

Acad::ErrorStatus AcDbXrecord::setFromRbChain(const resbuf* chain, AcDbDatabase*) {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    host::DxfItemList items;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        if (!isHeldCode(rb->restype)) {
            return Acad::eInvalidDxfCode;
        }
        host::DxfItem item;
        Acad::ErrorStatus status = host::itemFromResbuf(*rb, item);
        if (status == Acad::eOk) {
            status = validateItem(item);
        }
        if (status != Acad::eOk) {
            return status;
        }
        items.push_back(std::move(item));
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_items = std::move(items);
    }
    return status;
}

Acad::ErrorStatus AcDbXrecord::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeUInt32(static_cast<Adesk::UInt32>(m_items.size()));
    for (const host::DxfItem& item : m_items) {
        filer->writeInt16(static_cast<Adesk::Int16>(item.code));
        writeItemValue(filer, item);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbXrecord::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Adesk::UInt32 count = 0;
    filer->readUInt32(&count);
    host::DxfItemList items;
    for (Adesk::UInt32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        Adesk::Int16 code = 0;
        filer->readInt16(&code);
        if (filer->filerStatus() == Acad::eOk && !isHeldCode(code)) {
            filer->setFilerStatus(Acad::eInvalidDxfCode);
        }
        host::DxfItem item = host::DxfItem::ofCode(code);
        readItemValue(filer, item);
        items.push_back(std::move(item));
    }
    if (filer->filerStatus() == Acad::eOk) {
        m_items = std::move(items);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbXrecord::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeInt8(kCloningCode, kKeepExisting);
    for (const host::DxfItem& item : m_items) {
        filer->writeItem(item);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbXrecord::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    host::DxfItem first;
    if (!filer->atEndOfObject() && filer->readItem(first) == Acad::eOk &&
        first.code != kCloningCode) {
        filer->pushBackItem();
    }
    host::DxfItemList items;
    int refused = 0;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        if (refused == 0 && validateItem(item) != Acad::eOk) {
            refused = item.code;
        }
        items.push_back(item);
        return true;
    });
    if (status != Acad::eOk) {
        return status;
    }
    if (refused != 0) {
        return filer->setError(Acad::eInvalidDxfCode, L"an Xrecord cannot hold group %d", refused);
    }
    m_items = std::move(items);
    return Acad::eOk;
}
