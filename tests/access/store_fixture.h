// The store tests' fixture: the object-access fixture (nothing left open, no contract violation)
// with sample entities of every wrapped class, the names an entity is opened by, and direct
// views of what the stores left in the drawing (XData groups, extension-dictionary records).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "tests/access/access_fixture.h"
#include "tests/support/held_object.h"

namespace store_test {

// One item of a list as the tests compare it: its code and its value written out.
struct Item {
    int code;
    std::wstring value;
    bool operator==(const Item& other) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Item& item) {
    return out << item.code << "=" << std::string(item.value.begin(), item.value.end());
}

// The items of list in order (the list is not released).
inline std::vector<Item> itemsOf(const resbuf* list) {
    std::vector<Item> items;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        std::wstring value;
        switch (groupValueClass(rb->restype)) {
            case GroupValueClass::kText:
                value = rb->resval.rstring != nullptr ? rb->resval.rstring : L"(null)";
                break;
            case GroupValueClass::kPoint:
                value = std::to_wstring(rb->resval.rpoint[0]) + L"," +
                        std::to_wstring(rb->resval.rpoint[1]) + L"," +
                        std::to_wstring(rb->resval.rpoint[2]);
                break;
            case GroupValueClass::kReal:
                value = std::to_wstring(rb->resval.rreal);
                break;
            case GroupValueClass::kInt16:
                value = std::to_wstring(rb->resval.rint);
                break;
            case GroupValueClass::kInt32:
                value = std::to_wstring(rb->resval.rlong);
                break;
            case GroupValueClass::kBinary:
                value = L"#" + std::to_wstring(rb->resval.rbinary.clen);
                break;
            default:
                value = L"?";
        }
        items.push_back({rb->restype, value});
    }
    return items;
}

// The items of list, which is then released.
inline std::vector<Item> takeItems(resbuf* list) {
    std::vector<Item> items = itemsOf(list);
    acutRelRb(list);
    return items;
}

// A new binary item of code holding the bytes 0, 1, ... length - 1 (wrapping at 256).
inline resbuf* chunk(int code, int length) {
    std::vector<char> bytes(length);
    for (int i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>(i);
    }
    resbuf* item = acutNewRb(code);
    EXPECT_EQ(acutRbSetBinary(item, bytes.data(), length), RTNORM);
    return item;
}

class StoreTest : public access_test::AccessTest {
public:
    AcDbObjectId addLine() {
        return append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
    }
    AcDbObjectId addCircle() {
        return append(new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), 2.0));
    }

    // The hexadecimal handle text of id.
    static std::wstring handleOf(AcDbObjectId id) { return id.handle().text(); }

    // The items of app's XData on the object, read directly from the host (1001 item first).
    static std::vector<Item> xdataOf(AcDbObjectId id, const wchar_t* app) {
        return takeItems(testsupport::open<AcDbObject>(id)->xData(app));
    }

    // The chain of the Xrecord under key in the object's extension dictionary, read directly;
    // empty when there is none.
    static std::vector<Item> recordOf(AcDbObjectId id, const wchar_t* key) {
        return dictionaryRecordOf(testsupport::open<AcDbObject>(id)->extensionDictionary(), key);
    }

    // The chain of the Xrecord under key in the named object dictionary's sub-dictionary area.
    std::vector<Item> namedRecordOf(const wchar_t* area, const wchar_t* key) {
        AcDbObjectId sub;
        testsupport::open<AcDbDictionary>(db()->namedObjectsDictionaryId())->getAt(area, sub);
        return dictionaryRecordOf(sub, key);
    }

    // The chain of the Xrecord under key of the dictionary dictionaryId; empty when none.
    static std::vector<Item> dictionaryRecordOf(AcDbObjectId dictionaryId, const wchar_t* key) {
        AcDbDictionary* dictionary = nullptr;
        if (dictionaryId.isNull() ||
            acdbOpenObject(dictionary, dictionaryId, AcDb::kForRead) != Acad::eOk) {
            return {};
        }
        const testsupport::Held<AcDbDictionary> heldDictionary(dictionary);
        AcDbObject* entry = nullptr;
        if (dictionary->getAt(key, entry, AcDb::kForRead) != Acad::eOk) {
            return {};
        }
        const testsupport::Held<AcDbObject> heldEntry(entry);
        resbuf* chain = nullptr;
        if (auto* record = AcDbXrecord::cast(entry)) {
            EXPECT_EQ(record->rbChain(chain), Acad::eOk);
        }
        return takeItems(chain);
    }
};

}  // namespace store_test
