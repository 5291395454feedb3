// AcRxClass, the runtime description of a class, and the free functions that register and remove
// classes. Class objects belong to the class dictionary: newAcRxClass creates them,
// deleteAcRxClass destroys them, and a class pointer is valid until then.
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/rx/object.h"

class AcRxDictionary;

namespace host::rx {
class ClassRegistry;
// The class dictionary itself (also the system registry's "ClassDictionary" entry).
DRAWHOST_API AcRxDictionary& classDictionary();
}  // namespace host::rx

class DRAWHOST_API AcRxClass : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxClass);

    using PseudoConstructor = AcRxObject* (*)();

    // The class name; never null.
    const wchar_t* name() const { return m_name.c_str(); }
    // The parent class, or null for AcRxObject and while the parent's name is not registered.
    AcRxClass* myParent() const { return m_parent; }
    // The parent's name as registered (empty for AcRxObject).
    const wchar_t* parentName() const { return m_parentName.c_str(); }
    // The DXF name, or null when the class has none.
    const wchar_t* dxfName() const { return m_dxfName.empty() ? nullptr : m_dxfName.c_str(); }
    // The application name, or null when the class has none.
    const wchar_t* appName() const { return m_appName.empty() ? nullptr : m_appName.c_str(); }
    int proxyFlags() const { return m_proxyFlags; }
    // The drawing-format version and maintenance release the class was registered with.
    void getClassVersion(int& dwgVersion, int& maintenanceVersion) const;

    // True when this class is aClass or one of its ancestors is; false for null.
    bool isDerivedFrom(const AcRxClass* aClass) const;
    // A new object from the pseudo-constructor, owned by the caller; null without one.
    AcRxObject* create() const;
    PseudoConstructor constructor() const { return m_constructor; }

    // What acrxClassDictionary's class records describe of a class, for filing and listing.
    struct Details {
        std::wstring name;
        std::wstring parentName;
        int dwgVersion = 0;
        int maintenanceVersion = 0;
        int proxyFlags = 0;
        PseudoConstructor constructor = nullptr;
        std::wstring dxfName;
        std::wstring appName;
    };
    // Host use: classes are made by newAcRxClass and the class macros.
    explicit AcRxClass(Details details);
    ~AcRxClass() override;

    AcRxClass(const AcRxClass&) = delete;
    AcRxClass& operator=(const AcRxClass&) = delete;

private:
    friend class host::rx::ClassRegistry;

    std::wstring m_name;
    std::wstring m_parentName;
    AcRxClass* m_parent = nullptr;
    int m_dwgVersion = 0;
    int m_maintenanceVersion = 0;
    int m_proxyFlags = 0;
    PseudoConstructor m_constructor = nullptr;
    std::wstring m_dxfName;
    std::wstring m_appName;
    AcRxClass** m_descSlot = nullptr;  // the class macro's pointer, nulled on deletion
};

// Short form: registers class className under parentClassName and returns it. An existing class
// of that name is returned unchanged. Null for a null or empty name or parent name. A parent not
// registered yet is looked up again by acrxBuildClassHierarchy.
DRAWHOST_API AcRxClass* newAcRxClass(const wchar_t* className, const wchar_t* parentClassName,
                                     int proxyFlags = 0,
                                     AcRxObject* (*pseudoConstructor)() = nullptr,
                                     const wchar_t* dxfName = nullptr,
                                     const wchar_t* appName = nullptr);

// Long form: as the short form, with the drawing-format version and maintenance release.
DRAWHOST_API AcRxClass* newAcRxClass(const wchar_t* className, const wchar_t* parentClassName,
                                     int dwgVersion, int maintenanceVersion, int proxyFlags,
                                     AcRxObject* (*pseudoConstructor)(),
                                     const wchar_t* dxfName = nullptr,
                                     const wchar_t* appName = nullptr);

// Removes the class from the class dictionary and destroys it. Refused (nothing happens, a
// contract violation is noted, see host/harness.h) for null, for AcRxObject, and for a class that
// still has registered children: callers remove children first.
DRAWHOST_API void deleteAcRxClass(AcRxClass* pClassObj);

// Links every class whose parent was not registered when it was created to its parent, when the
// parent now is; classes whose parent is still missing stay unlinked.
DRAWHOST_API void acrxBuildClassHierarchy();

// Prints the printf-style message (%s takes a wide string) to the standard error and aborts
// the process; never returns.
[[noreturn]] void acrx_abort(const wchar_t* format, ...);
