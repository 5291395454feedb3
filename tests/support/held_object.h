// Shared by the test suites: a holder that closes the database object it holds when it goes out of
// scope (and deletes one that never got into a database), and an open that fails the test when
// the object does not open.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "kestrel/host/db/open.h"

namespace testsupport {

struct CloseObject {
    void operator()(AcDbObject* object) const {
        if (object == nullptr) {
            return;
        }
        if (object->objectId().isNull()) {
            delete object;
        } else {
            object->close();
        }
    }
};

template <class T>
using Held = std::unique_ptr<T, CloseObject>;

// Opens id as a T in mode; the test fails (and the result is empty) when it does not open.
template <class T>
Held<T> open(AcDbObjectId id, AcDb::OpenMode mode = AcDb::kForRead, bool openErased = false) {
    T* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, mode, openErased), Acad::eOk) << "the open failed";
    return Held<T>(object);
}

}  // namespace testsupport
