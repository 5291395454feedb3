// AcDbObject's XData: reading by application, validated replacement per application, the size
// count, and filing of the XData chain through both filer kinds.
#include "host/db/xdata.h"

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "host/db/object_access.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_name.h"
#include "kestrel/host/rx/class.h"

namespace {

constexpr int kAppCode = 1001;
constexpr int kTextCode = 1000;
constexpr int kBraceCode = 1002;
constexpr int kHandleCode = 1005;

// One application's group inside a chain: its 1001 item and the items up to the next one.
struct Group {
    const resbuf* head = nullptr;
    const resbuf* last = nullptr;  // the group's last item (head when it has no values)
    std::wstring key;              // the folded application name
};

const wchar_t* textOf(const resbuf* rb) {
    return rb->resval.rstring != nullptr ? rb->resval.rstring : L"";
}

std::vector<Group> splitGroups(const resbuf* chain) {
    std::vector<Group> groups;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        if (rb->restype == kAppCode) {
            groups.push_back({rb, rb, foldName(textOf(rb))});
        } else if (!groups.empty()) {
            groups.back().last = rb;
        }
    }
    return groups;
}

// Appends copies of the group's items to the chain ending at tail.
void appendGroup(const Group& group, resbuf*& head, resbuf*& tail) {
    for (const resbuf* rb = group.head;; rb = rb->rbnext) {
        resbuf* copy = acutCopyRb(rb);
        (tail != nullptr ? tail->rbnext : head) = copy;
        tail = copy;
        if (rb == group.last) {
            return;
        }
    }
}

AcDbDatabase* regappDatabase(const AcDbObject* object) {
    AcDbDatabase* db = object->database();
    return db != nullptr ? db : acdbHostApplicationServices()->workingDatabase();
}

Acad::ErrorStatus checkItem(const resbuf* rb, int& depth) {
    if (!isXDataCode(rb->restype)) {
        return Acad::eInvalidXDataCode;
    }
    switch (rb->restype) {
        case kBraceCode: {
            const std::wstring brace = textOf(rb);
            depth += brace == L"{" ? 1 : brace == L"}" ? -1 : 0;
            return depth < 0 || (brace != L"{" && brace != L"}") ? Acad::eXDataBraceMismatch
                                                                 : Acad::eOk;
        }
        case kTextCode:
            return std::wcslen(textOf(rb)) > AcDbObject::kMaxXDataStringLength
                       ? Acad::eStringTooLong
                       : Acad::eOk;
        case kHandleCode: {
            AcDbHandle handle;
            return AcDbHandle::fromText(textOf(rb), handle) ? Acad::eOk : Acad::eInvalidHandleText;
        }
        default:
            return Acad::eOk;
    }
}

Acad::ErrorStatus validate(const AcDbObject* object, const resbuf* list) {
    const AcDbDatabase* db = regappDatabase(object);
    int depth = 0;
    bool inGroup = false;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        if (rb->restype == kAppCode) {
            if (depth != 0) {
                return Acad::eXDataBraceMismatch;
            }
            if (*textOf(rb) == L'\0' || (db != nullptr && !db->isRegisteredApp(textOf(rb)))) {
                return Acad::eUnregisteredApplication;
            }
            inGroup = true;
            continue;
        }
        if (!inGroup) {
            return Acad::eMissingXDataApplication;
        }
        const Acad::ErrorStatus status = checkItem(rb, depth);
        if (status != Acad::eOk) {
            return status;
        }
    }
    return depth == 0 ? Acad::eOk : Acad::eXDataBraceMismatch;
}

// The object's groups with those of list merged in: replaced in place, removed when empty,
// appended when new. A later group of the same application in list wins.
resbuf* merge(const resbuf* current, const resbuf* list) {
    std::vector<Group> result = splitGroups(current);
    for (const Group& incoming : splitGroups(list)) {
        bool found = false;
        for (Group& group : result) {
            if (group.key == incoming.key) {
                group = incoming;
                found = true;
            }
        }
        if (!found) {
            result.push_back(incoming);
        }
    }
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    for (const Group& group : result) {
        if (group.last != group.head) {
            appendGroup(group, head, tail);
        }
    }
    return head;
}

// True when merging list into an object without XData gives list itself: each application
// once and none without items (merge drops those and keeps the last of repeated ones).
bool mergesAsIs(const resbuf* list) {
    int applications = 0;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        const bool application = rb->restype == kAppCode;
        if (application && (rb->rbnext == nullptr || rb->rbnext->restype == kAppCode)) {
            return false;
        }
        applications += application ? 1 : 0;
    }
    if (applications < 2) {
        return true;  // no names to compare (most objects carry one application's XData)
    }
    const std::vector<Group> groups = splitGroups(list);
    for (std::size_t i = 0; i < groups.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (groups[j].key == groups[i].key) {
                return false;
            }
        }
    }
    return true;
}

int itemSize(const resbuf* rb) {
    constexpr int kCode = 2;
    switch (groupValueClass(rb->restype)) {
        case GroupValueClass::kText:
            if (rb->restype == kBraceCode) {
                return kCode + 1;
            }
            if (rb->restype == kHandleCode) {
                return kCode + 8;
            }
            return kCode + 2 + 2 * static_cast<int>(std::wcslen(textOf(rb)));
        case GroupValueClass::kPoint:
            return kCode + 24;
        case GroupValueClass::kReal:
            return kCode + 8;
        case GroupValueClass::kInt16:
            return kCode + 2;
        case GroupValueClass::kInt32:
            return kCode + 4;
        case GroupValueClass::kBinary:
            return kCode + 1 + rb->resval.rbinary.clen;
        default:
            return kCode;
    }
}

int chainSize(const resbuf* chain) {
    int size = 0;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        size += itemSize(rb);
    }
    return size;
}

// Makes merged (taken over) the object's XData; eXDataSizeExceeded, releasing it, when too large.
Acad::ErrorStatus installXData(AcDbObject* object, resbuf* merged) {
    if (chainSize(merged) > AcDbObject::kMaxXDataSize) {
        acutRelRb(merged);
        return Acad::eXDataSizeExceeded;
    }
    object->assertWriteEnabled();
    acutRelRb(std::exchange(host::ObjectAccess::state(object).xdata, merged));
    return Acad::eOk;
}

// Reads one item's value of the code's class from the filer into rb.
void readValue(AcDbDwgFiler* filer, resbuf* rb) {
    ads_u_val& v = rb->resval;
    switch (groupValueClass(rb->restype)) {
        case GroupValueClass::kText:
            filer->readString(&v.rstring);
            break;
        case GroupValueClass::kBinary:
            filer->readBChunk(&v.rbinary);
            break;
        case GroupValueClass::kPoint: {
            AcGePoint3d point;
            filer->readPoint3d(&point);
            v.rpoint[0] = point.x;
            v.rpoint[1] = point.y;
            v.rpoint[2] = point.z;
            break;
        }
        case GroupValueClass::kReal:
            filer->readDouble(&v.rreal);
            break;
        case GroupValueClass::kInt16:
            filer->readInt16(&v.rint);
            break;
        case GroupValueClass::kInt32:
            filer->readInt32(&v.rlong);
            break;
        default:
            filer->setFilerStatus(Acad::eFilerError);
            break;
    }
}

void writeValue(AcDbDwgFiler* filer, const resbuf* rb) {
    const ads_u_val& v = rb->resval;
    switch (groupValueClass(rb->restype)) {
        case GroupValueClass::kText:
            filer->writeString(v.rstring);
            break;
        case GroupValueClass::kBinary:
            filer->writeBChunk(v.rbinary);
            break;
        case GroupValueClass::kPoint:
            filer->writePoint3d(AcGePoint3d(v.rpoint[0], v.rpoint[1], v.rpoint[2]));
            break;
        case GroupValueClass::kReal:
            filer->writeDouble(v.rreal);
            break;
        case GroupValueClass::kInt16:
            filer->writeInt16(v.rint);
            break;
        case GroupValueClass::kInt32:
            filer->writeInt32(v.rlong);
            break;
        default:
            filer->setFilerStatus(Acad::eFilerError);
            break;
    }
}

}  // namespace

namespace host {

void writeXData(AcDbDwgFiler* filer, const resbuf* chain) {
    filer->writeInt32(acutRbChainLength(chain));
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        filer->writeInt16(rb->restype);
        writeValue(filer, rb);
    }
}

void readXData(AcDbDwgFiler* filer, resbuf*& chain) {
    chain = nullptr;
    Adesk::Int32 count = 0;
    if (filer->readInt32(&count) != Acad::eOk) {
        return;
    }
    if (count < 0) {
        filer->setFilerStatus(Acad::eFilerError);
        return;
    }
    resbuf* tail = nullptr;
    for (Adesk::Int32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        Adesk::Int16 code = 0;
        if (filer->readInt16(&code) != Acad::eOk) {
            break;
        }
        resbuf* rb = acutNewRb(code);
        (tail != nullptr ? tail->rbnext : chain) = rb;
        tail = rb;
        readValue(filer, rb);
    }
    if (filer->filerStatus() != Acad::eOk) {
        acutRelRb(chain);
        chain = nullptr;
    }
}

void writeXData(AcDbDxfFiler* filer, const resbuf* chain) {
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        filer->writeItem(*rb);
    }
}

Acad::ErrorStatus readXData(AcDbDxfFiler* filer, AcDbObject* object) {
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    const DxfItem* item = nullptr;
    while (!filer->atEndOfObject() && filer->readItem(item) == Acad::eOk) {
        if (item->code == -3) {
            continue;
        }
        resbuf* rb =
            item->code == kAppCode || isXDataCode(item->code) ? newResbufFromItem(*item) : nullptr;
        if (rb == nullptr) {
            filer->setError(Acad::eInvalidDxfCode, L"group %d cannot follow the XData of %s",
                            item->code, object->isA()->name());
            break;
        }
        (tail != nullptr ? tail->rbnext : head) = rb;
        tail = rb;
    }
    if (filer->filerStatus() == Acad::eOk && head != nullptr) {
        const Acad::ErrorStatus status = takeXData(object, std::exchange(head, nullptr));
        if (status != Acad::eOk) {
            filer->setError(status, L"XData refused: %s", acadErrorStatusText(status));
        }
    }
    acutRelRb(head);
    return filer->filerStatus();
}

Acad::ErrorStatus applyXData(AcDbObject* object, const resbuf* list) {
    const Acad::ErrorStatus status = validate(object, list);
    if (status != Acad::eOk) {
        return status;
    }
    return installXData(object, merge(ObjectAccess::state(object).xdata, list));
}

Acad::ErrorStatus takeXData(AcDbObject* object, resbuf* list) {
    const Acad::ErrorStatus status = validate(object, list);
    if (status != Acad::eOk) {
        acutRelRb(list);
        return status;
    }
    const resbuf* current = ObjectAccess::state(object).xdata;
    if (current == nullptr && mergesAsIs(list)) {
        return installXData(object, list);  // no copy of each item
    }
    resbuf* merged = merge(current, list);
    acutRelRb(list);
    return installXData(object, merged);
}

}  // namespace host

resbuf* AcDbObject::xData(const wchar_t* regappName) const {
    assertReadEnabled();
    if (regappName == nullptr) {
        return acutCopyRbChain(m_host.xdata);
    }
    const std::wstring key = foldName(regappName);
    for (const Group& group : splitGroups(m_host.xdata)) {
        if (group.key == key) {
            resbuf* head = nullptr;
            resbuf* tail = nullptr;
            appendGroup(group, head, tail);
            return head;
        }
    }
    return nullptr;
}

Acad::ErrorStatus AcDbObject::setXData(const resbuf* xdata) {
    if (xdata == nullptr) {
        return Acad::eInvalidInput;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    return host::applyXData(this, xdata);
}

int AcDbObject::xDataSize() const {
    return chainSize(m_host.xdata);
}
