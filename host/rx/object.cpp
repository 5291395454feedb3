// AcRxObject: the root runtime class and the generic class tests.
#include "kestrel/host/rx/object.h"

#include "kestrel/host/rx/class.h"

namespace {
AcRxClass* gRootDesc = nullptr;
}

AcRxClass* AcRxObject::desc() {
    if (gRootDesc == nullptr) {
        static const host::rx::StaticClassInfo info{L"AcRxObject", nullptr, 0,      0, 0,
                                                    nullptr,       nullptr, nullptr};
        host::rx::registerStaticClass(&gRootDesc, info);
    }
    return gRootDesc;
}

AcRxClass* AcRxObject::isA() const {
    return AcRxObject::desc();
}

bool AcRxObject::isKindOf(const AcRxClass* aClass) const {
    const AcRxClass* mine = isA();
    return mine != nullptr && mine->isDerivedFrom(aClass);
}

AcRxObject* AcRxObject::clone() const {
    return nullptr;
}

Acad::ErrorStatus AcRxObject::copyFrom(const AcRxObject*) {
    return Acad::eNotApplicable;
}
