// AcRxObject, the root of every runtime class, and the macros that give a C++ class its runtime
// class (desc, isA, cast). A class defined with the macros registers itself in the class
// dictionary when its library is loaded; classes may also be registered with newAcRxClass.
// The macros are used at global scope with an unqualified class name.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

class AcRxClass;

class DRAWHOST_API AcRxObject {
public:
    virtual ~AcRxObject() = default;

    // The runtime class of AcRxObject; never null.
    static AcRxClass* desc();
    // inPtr itself: every object is an AcRxObject.
    static AcRxObject* cast(const AcRxObject* inPtr) { return const_cast<AcRxObject*>(inPtr); }

    // The object's runtime class; a class defined outside the host may answer null.
    virtual AcRxClass* isA() const;
    // True when isA() is aClass or derives from it; false for a null class on either side.
    bool isKindOf(const AcRxClass* aClass) const;

    // A new object of the same class with the same contents, owned by the caller, or null when
    // the class cannot copy itself (the default).
    virtual AcRxObject* clone() const;
    // Copies other's contents into this object; eNotApplicable for classes that cannot copy
    // (the default), eNotThatKindOfClass when other is of another class.
    virtual Acad::ErrorStatus copyFrom(const AcRxObject* other);
};

namespace host::rx {

// The details a class macro gives when it registers its class.
struct DRAWHOST_API StaticClassInfo {
    const wchar_t* name;
    AcRxClass* (*parentDesc)();
    int dwgVersion;
    int maintenanceVersion;
    int proxyFlags;
    AcRxObject* (*pseudoConstructor)();
    const wchar_t* dxfName;
    const wchar_t* appName;
};

// Registers the class described by info and stores it in *slot (which deleteAcRxClass nulls
// again); returns it. Another class of the same name already registered aborts with
// "Class mismatch", as two classes cannot share a name.
DRAWHOST_API AcRxClass* registerStaticClass(AcRxClass** slot, const StaticClassInfo& info);

}  // namespace host::rx

// Declares desc(), cast() and isA() for a class derived from AcRxObject.
#define ACRX_DECLARE_MEMBERS(CLASS_NAME)                                            \
    static AcRxClass* desc();                                                       \
    static CLASS_NAME* cast(const AcRxObject* inPtr) {                              \
        return inPtr != nullptr && inPtr->isKindOf(CLASS_NAME::desc())              \
                   ? const_cast<CLASS_NAME*>(static_cast<const CLASS_NAME*>(inPtr)) \
                   : nullptr;                                                       \
    }                                                                               \
    static void rxInit() {                                                          \
        desc();                                                                     \
    }                                                                               \
    AcRxClass* isA() const override

#define KESTREL_RX_DEFINE_MEMBERS_(CLASS_NAME, PARENT, DWG, MAINT, PROXY, CONS, DXF, APP) \
    namespace {                                                                           \
    AcRxClass* CLASS_NAME##_gpDesc = nullptr;                                             \
    }                                                                                     \
    AcRxClass* CLASS_NAME::desc() {                                                       \
        if (CLASS_NAME##_gpDesc == nullptr) {                                             \
            static const host::rx::StaticClassInfo info{                                  \
                L"" #CLASS_NAME, &PARENT::desc, DWG, MAINT, PROXY, CONS, DXF, APP};       \
            host::rx::registerStaticClass(&CLASS_NAME##_gpDesc, info);                    \
        }                                                                                 \
        return CLASS_NAME##_gpDesc;                                                       \
    }                                                                                     \
    AcRxClass* CLASS_NAME::isA() const {                                                  \
        return CLASS_NAME::desc();                                                        \
    }                                                                                     \
    namespace {                                                                           \
    [[maybe_unused]] const bool CLASS_NAME##_registered = (CLASS_NAME::desc(), true);     \
    }

// Defines the members of a class that has no pseudo-constructor (abstract, or never created by
// class name).
#define ACRX_NO_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS) \
    KESTREL_RX_DEFINE_MEMBERS_(CLASS_NAME, PARENT_CLASS, 0, 0, 0, nullptr, nullptr, nullptr)

// Defines the members of a class whose pseudo-constructor creates a default object.
#define ACRX_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, VERSION_NUMBER)     \
    static AcRxObject* CLASS_NAME##_create() {                                 \
        return new CLASS_NAME();                                               \
    }                                                                          \
    KESTREL_RX_DEFINE_MEMBERS_(CLASS_NAME, PARENT_CLASS, VERSION_NUMBER, 0, 0, \
                               &CLASS_NAME##_create, nullptr, nullptr)

// Defines the members of a database class with its DXF name and application name (tokens,
// stringized) and its drawing and maintenance versions.
#define ACRX_DXF_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINTENANCE_VERSION, \
                                PROXY_FLAGS, DXF_NAME, APP)                                 \
    static AcRxObject* CLASS_NAME##_create() {                                              \
        return new CLASS_NAME();                                                            \
    }                                                                                       \
    KESTREL_RX_DEFINE_MEMBERS_(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINTENANCE_VERSION,  \
                               PROXY_FLAGS, &CLASS_NAME##_create, L"" #DXF_NAME, L"" #APP)
