// The XData store: splicing new items into an application's group and taking typed values out
// of it. The 1001 item always heads the group; the host validates whatever is written.
#include "access/extended_data_store.h"

#include <cwchar>

#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/platform/cstring.h"

namespace kestrel {

namespace {

constexpr short kAppCode = 1001;
constexpr short kBraceCode = 1002;

bool validApp(const wchar_t* app) {
    return app != nullptr && *app != L'\0';
}

// Every application name contains the empty text, so a partial read of it takes the first group.
bool readableApp(const wchar_t* app, bool partialName) {
    return partialName ? app != nullptr : validApp(app);
}

// Puts items (taken over, non-null) into app's group as add and atEnd say and writes the group.
Acad::ErrorStatus writeItems(const EntityFields& fields, const wchar_t* app, resbuf* items,
                             bool add, bool atEnd) {
    resbuf* group = fields.entity->xData(app);
    if (group == nullptr) {
        acdbRegApp(app);
        group = acutBuildList(kAppCode, app, 0);
        if (group == nullptr) {
            acutRelRb(items);
            return fields.status = Acad::eOutOfMemory;
        }
        group->rbnext = items;
    } else if (!add) {
        acutRelRb(group->rbnext);
        group->rbnext = items;
    } else if (atEnd) {
        acutRbChainLast(group)->rbnext = items;
    } else {
        acutRbChainLast(items)->rbnext = group->rbnext;
        group->rbnext = items;
    }
    fields.status = fields.entity->setXData(group);
    acutRelRb(group);
    return fields.status;
}

// Takes item's value when the output's type accepts its code.
bool take(const resbuf& item, int* value) {
    if (item.restype != 1070) {
        return false;
    }
    *value = item.resval.rint;
    return true;
}

bool take(const resbuf& item, long* value) {
    if (item.restype != 1071) {
        return false;
    }
    *value = item.resval.rlong;
    return true;
}

bool take(const resbuf& item, double* value) {
    if (item.restype < 1040 || item.restype > 1042) {
        return false;
    }
    *value = item.resval.rreal;
    return true;
}

bool take(const resbuf& item, AcGePoint3d* value) {
    if (item.restype < 1010 || item.restype > 1013) {
        return false;
    }
    value->set(item.resval.rpoint[0], item.resval.rpoint[1], item.resval.rpoint[2]);
    return true;
}

bool take(const resbuf& item, CString* value) {
    const short code = item.restype;
    if (code != 1000 && code != kBraceCode && code != 1003 && code != 1005) {
        return false;
    }
    value->Format(L"%s", item.resval.rstring != nullptr ? item.resval.rstring : L"");
    return true;
}

resbuf* groupOf(const EntityFields& fields, const wchar_t* app, bool partialName) {
    return partialName ? xDataContaining(fields.entity, app) : fields.entity->xData(app);
}

// Unlinks and frees every item of list with code, keeping the others in order.
void removeCode(resbuf*& list, short code) {
    for (resbuf** link = &list; *link != nullptr;) {
        resbuf* item = *link;
        if (item->restype == code) {
            *link = item->rbnext;
            item->rbnext = nullptr;
            acutRelRb(item);
        } else {
            link = &item->rbnext;
        }
    }
}

}  // namespace

Acad::ErrorStatus writeXDataValue(const EntityFields& fields, const wchar_t* app,
                                  const ItemValue& value, bool add, bool atEnd, int groupCode) {
    if (!fields.writable()) {
        return fields.status;
    }
    if (!validApp(app)) {
        return fields.status = Acad::eInvalidInput;
    }
    resbuf* item = nullptr;
    fields.status = buildItem(groupCode, value, item);
    if (fields.status != Acad::eOk) {
        return fields.status;
    }
    return writeItems(fields, app, item, add, atEnd);
}

Acad::ErrorStatus writeXDataList(const EntityFields& fields, const wchar_t* app,
                                 const resbuf* values, bool add, bool atEnd) {
    if (!fields.writable()) {
        return fields.status;
    }
    resbuf* items = validApp(app) ? convertValues(values, kXDataCodes) : nullptr;
    if (items == nullptr) {
        return fields.status = Acad::eInvalidInput;
    }
    return writeItems(fields, app, items, add, atEnd);
}

Acad::ErrorStatus eraseXData(const EntityFields& fields, const wchar_t* app) {
    if (!fields.writable()) {
        return fields.status;
    }
    resbuf* group = validApp(app) ? acutBuildList(kAppCode, app, 0) : nullptr;
    if (group == nullptr) {
        return fields.status = Acad::eInvalidInput;
    }
    fields.status = fields.entity->setXData(group);
    acutRelRb(group);
    return fields.status;
}

bool readXDataValue(const EntityFields& fields, const wchar_t* app, bool partialName,
                    const XDataOutput& output) {
    if (fields.entity == nullptr || !readableApp(app, partialName)) {
        return false;
    }
    resbuf* group = groupOf(fields, app, partialName);
    bool found = false;
    for (const resbuf* item = group; item != nullptr && !found; item = item->rbnext) {
        found = std::visit([&](auto* value) { return take(*item, value); }, output);
    }
    acutRelRb(group);
    return found;
}

bool readXDataList(const EntityFields& fields, const wchar_t* app, bool partialName,
                   resbuf*& list) {
    if (fields.entity == nullptr || !readableApp(app, partialName)) {
        return false;
    }
    list = groupOf(fields, app, partialName);
    if (list == nullptr) {
        return false;
    }
    removeCode(list, kBraceCode);
    removeCode(list, kAppCode);
    return true;
}

resbuf* xDataContaining(const AcDbEntity* entity, const wchar_t* app) {
    if (entity == nullptr || app == nullptr) {
        return nullptr;
    }
    resbuf* all = entity->xData(nullptr);
    resbuf** start = &all;
    while (*start != nullptr &&
           ((*start)->restype != kAppCode || (*start)->resval.rstring == nullptr ||
            std::wcsstr((*start)->resval.rstring, app) == nullptr)) {
        start = &(*start)->rbnext;
    }
    resbuf* found = *start;
    *start = nullptr;
    acutRelRb(all);
    if (found == nullptr) {
        return nullptr;
    }
    resbuf* last = found;
    while (last->rbnext != nullptr && last->rbnext->restype != kAppCode) {
        last = last->rbnext;
    }
    acutRelRb(last->rbnext);
    last->rbnext = nullptr;
    return found;
}

}  // namespace kestrel
