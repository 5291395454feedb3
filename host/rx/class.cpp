// AcRxClass and the class registry: registration by name (macros and newAcRxClass), parent
// links resolved by name, removal. The class dictionary holds every class object; the registry
// creates and destroys them.
#include "kestrel/host/rx/class.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <utility>

#include "host/rx/class_serial.h"
#include "kestrel/host/rx/contract_violations.h"
#include "kestrel/host/rx/dictionary.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/utf8.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxClass, AcRxObject)

namespace host::rx {

// Creates, links and removes class objects; the class dictionary is its index by name.
class ClassRegistry {
public:
    static AcRxDictionary& dictionary();
    static AcRxClass* find(const wchar_t* name);
    static AcRxClass* add(AcRxClass::Details details, AcRxClass** descSlot);
    static void remove(AcRxClass* cls);
    static void linkParents();

    // The serial number of each class object alive.
    static std::unordered_map<const AcRxClass*, std::uint64_t>& serials();

private:
    static void linkParent(AcRxClass* cls);
    static bool hasChildren(const AcRxClass* cls);
};

std::unordered_map<const AcRxClass*, std::uint64_t>& ClassRegistry::serials() {
    static auto* serials = new std::unordered_map<const AcRxClass*, std::uint64_t>();
    return *serials;
}

std::uint64_t classSerial(const AcRxClass* cls) {
    const auto found = ClassRegistry::serials().find(cls);
    return found != ClassRegistry::serials().end() ? found->second : 0;
}

AcRxDictionary& ClassRegistry::dictionary() {
    // Never destroyed: statics of other libraries may look classes up during process exit.
    static auto* classes = new AcRxDictionary();
    return *classes;
}

AcRxDictionary& classDictionary() {
    return ClassRegistry::dictionary();
}

AcRxClass* ClassRegistry::find(const wchar_t* name) {
    // A client may put anything into the dictionary; only classes count.
    return dynamic_cast<AcRxClass*>(dictionary().at(name));
}

AcRxClass* ClassRegistry::add(AcRxClass::Details details, AcRxClass** descSlot) {
    static std::uint64_t lastSerial = 0;
    auto* cls = new AcRxClass(std::move(details));
    serials()[cls] = ++lastSerial;
    cls->m_descSlot = descSlot;
    if (descSlot != nullptr) {
        *descSlot = cls;
    }
    linkParent(cls);
    dictionary().atPut(cls->name(), cls);
    return cls;
}

void ClassRegistry::linkParent(AcRxClass* cls) {
    if (cls->m_parent == nullptr && !cls->m_parentName.empty()) {
        cls->m_parent = find(cls->m_parentName.c_str());
    }
}

bool ClassRegistry::hasChildren(const AcRxClass* cls) {
    for (const auto& [name, entry] : dictionary().entries()) {
        const auto* other = dynamic_cast<const AcRxClass*>(entry);
        if (other != nullptr && other->myParent() == cls) {
            return true;
        }
    }
    return false;
}

void ClassRegistry::remove(AcRxClass* cls) {
    if (cls == nullptr) {
        host::noteContractViolation(L"deleteAcRxClass: null class");
        return;
    }
    if (cls->m_parentName.empty() || hasChildren(cls)) {
        host::noteContractViolation(std::wstring(L"deleteAcRxClass: ") + cls->name() +
                                    L" is the root or still has child classes");
        return;
    }
    if (find(cls->name()) == cls) {
        dictionary().remove(cls->name());
    }
    if (cls->m_descSlot != nullptr) {
        *cls->m_descSlot = nullptr;
    }
    serials().erase(cls);
    delete cls;
}

void ClassRegistry::linkParents() {
    for (const auto& [name, entry] : dictionary().entries()) {
        if (auto* cls = dynamic_cast<AcRxClass*>(entry)) {
            linkParent(cls);
        }
    }
}

AcRxClass* registerStaticClass(AcRxClass** slot, const StaticClassInfo& info) {
    AcRxClass::Details details;
    details.name = info.name;
    if (info.parentDesc != nullptr) {
        details.parentName = info.parentDesc()->name();
    }
    if (ClassRegistry::find(info.name) != nullptr) {
        acrx_abort(L"Class mismatch: %s", info.name);
    }
    details.dwgVersion = info.dwgVersion;
    details.maintenanceVersion = info.maintenanceVersion;
    details.proxyFlags = info.proxyFlags;
    details.constructor = info.pseudoConstructor;
    details.dxfName = info.dxfName != nullptr ? info.dxfName : L"";
    details.appName = info.appName != nullptr ? info.appName : L"";
    return ClassRegistry::add(std::move(details), slot);
}

}  // namespace host::rx

AcRxClass::AcRxClass(Details details)
    : m_name(std::move(details.name)),
      m_parentName(std::move(details.parentName)),
      m_dwgVersion(details.dwgVersion),
      m_maintenanceVersion(details.maintenanceVersion),
      m_proxyFlags(details.proxyFlags),
      m_constructor(details.constructor),
      m_dxfName(std::move(details.dxfName)),
      m_appName(std::move(details.appName)) {}

AcRxClass::~AcRxClass() = default;

void AcRxClass::getClassVersion(int& dwgVersion, int& maintenanceVersion) const {
    dwgVersion = m_dwgVersion;
    maintenanceVersion = m_maintenanceVersion;
}

bool AcRxClass::isDerivedFrom(const AcRxClass* aClass) const {
    for (const AcRxClass* cls = this; cls != nullptr; cls = cls->m_parent) {
        if (cls == aClass) {
            return true;
        }
    }
    return false;
}

AcRxObject* AcRxClass::create() const {
    return m_constructor != nullptr ? m_constructor() : nullptr;
}

namespace {

bool isBlank(const wchar_t* text) {
    return text == nullptr || *text == L'\0';
}

AcRxClass* newClass(const wchar_t* className, const wchar_t* parentClassName, int dwgVersion,
                    int maintenanceVersion, int proxyFlags, AcRxObject* (*pseudoConstructor)(),
                    const wchar_t* dxfName, const wchar_t* appName) {
    if (isBlank(className) || isBlank(parentClassName)) {
        return nullptr;
    }
    if (AcRxClass* existing = host::rx::ClassRegistry::find(className)) {
        return existing;
    }
    AcRxClass::Details details;
    details.name = className;
    details.parentName = parentClassName;
    details.dwgVersion = dwgVersion;
    details.maintenanceVersion = maintenanceVersion;
    details.proxyFlags = proxyFlags;
    details.constructor = pseudoConstructor;
    details.dxfName = dxfName != nullptr ? dxfName : L"";
    details.appName = appName != nullptr ? appName : L"";
    return host::rx::ClassRegistry::add(std::move(details), nullptr);
}

}  // namespace

AcRxClass* newAcRxClass(const wchar_t* className, const wchar_t* parentClassName, int proxyFlags,
                        AcRxObject* (*pseudoConstructor)(), const wchar_t* dxfName,
                        const wchar_t* appName) {
    return newClass(className, parentClassName, 0, 0, proxyFlags, pseudoConstructor, dxfName,
                    appName);
}

AcRxClass* newAcRxClass(const wchar_t* className, const wchar_t* parentClassName, int dwgVersion,
                        int maintenanceVersion, int proxyFlags, AcRxObject* (*pseudoConstructor)(),
                        const wchar_t* dxfName, const wchar_t* appName) {
    return newClass(className, parentClassName, dwgVersion, maintenanceVersion, proxyFlags,
                    pseudoConstructor, dxfName, appName);
}

void deleteAcRxClass(AcRxClass* pClassObj) {
    host::rx::ClassRegistry::remove(pClassObj);
}

void acrxBuildClassHierarchy() {
    host::rx::ClassRegistry::linkParents();
}

void acrx_abort(const wchar_t* format, ...) {
    CString message;
    va_list args;
    va_start(args, format);
    message.FormatV(format != nullptr ? format : L"", args);
    va_end(args);
    std::fprintf(stderr, "%s\n", wideToUtf8(message.GetString()).c_str());
    std::fflush(stderr);
    std::abort();
}
