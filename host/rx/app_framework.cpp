// Message dispatch, initialisation and shutdown of application objects, and the registration
// rule of module classes.
#include "kestrel/host/rx/app_framework.h"

#include <cstdint>
#include <unordered_map>

#include "host/rx/class_serial.h"
#include "kestrel/host/rx/dictionary.h"

namespace {

using Handler = AcRx::AppRetCode (AcRxDbxApp::*)(void*);

// The handlers of messages 1 to 15, by code.
constexpr Handler kHandlers[] = {
    &AcRxDbxApp::On_kInitAppMsg,      &AcRxDbxApp::On_kUnloadAppMsg,
    &AcRxDbxApp::On_kLoadDwgMsg,      &AcRxDbxApp::On_kUnloadDwgMsg,
    &AcRxDbxApp::On_kInvkSubrMsg,     &AcRxDbxApp::On_kCfgMsg,
    &AcRxDbxApp::On_kEndMsg,          &AcRxDbxApp::On_kQuitMsg,
    &AcRxDbxApp::On_kSaveMsg,         &AcRxDbxApp::On_kDependencyMsg,
    &AcRxDbxApp::On_kNoDependencyMsg, &AcRxDbxApp::On_kOleUnloadAppMsg,
    &AcRxDbxApp::On_kPreQuitMsg,      &AcRxDbxApp::On_kInitDialogMsg,
    &AcRxDbxApp::On_kEndDialogMsg,
};

AcRxClass* classNamed(const wchar_t* name) {
    return AcRxClass::cast(acrxClassDictionary->at(name));
}

// The serial number of the class each module's class pointer took: the class registered under
// the name may be another object at the address of the stored one, deleted since.
std::unordered_map<AcRxClass* const*, std::uint64_t>& storedSerials() {
    static auto* serials = new std::unordered_map<AcRxClass* const*, std::uint64_t>();
    return *serials;
}

}  // namespace

AcRx::AppRetCode AcRxDbxApp::dispatch(AcRx::AppMsgCode msg, void* pkt) {
    const int code = static_cast<int>(msg);
    if (code == AcRx::kNullMsg) {
        return On_kNullMsg(pkt);
    }
    if (code < 1 || code > AcRx::kEndDialogMsg) {
        return AcRx::kRetOK;
    }
    return (this->*kHandlers[code - 1])(pkt);
}

AcRx::AppRetCode AcRxArxApp::On_kInitAppMsg(void* pkt) {
    m_hdllInstance = platform::moduleInstance(this);
    AcRxDynamicLinker* linker = acrxDynamicLinker;
    if (m_bUnlocked && linker != nullptr) {
        linker->unlockApplication(pkt);
    }
    if (m_bMDIAware && linker != nullptr) {
        linker->registerAppMDIAware(pkt);
    }
    RegisterServerComponents();
    int registered = 0;
    for (AcRxCustomClassEntry* entry : m_classes) {
        if (entry != nullptr) {
            entry->rxInit();
            entry->registered = true;
            ++registered;
        }
    }
    if (registered >= 1) {
        acrxBuildClassHierarchy();
    }
    return AcRx::kRetOK;
}

AcRx::AppRetCode AcRxArxApp::On_kUnloadAppMsg(void* pkt) {
    for (AcRxCustomClassEntry* entry : m_classes) {
        if (entry != nullptr && entry->registered) {
            unregisterClass(*entry);
        }
    }
    return AcRx::kRetOK;
}

void AcRxArxApp::unregisterClass(AcRxCustomClassEntry& entry) {
    AcRxClass* cls = entry.desc();
    for (AcRxCustomClassEntry* other : m_classes) {
        if (other != nullptr && other != &entry && other->registered && cls != nullptr) {
            AcRxClass* otherClass = other->desc();
            if (otherClass != nullptr && otherClass->myParent() == cls) {
                unregisterClass(*other);
            }
        }
    }
    if (cls != nullptr) {
        deleteAcRxClass(cls);
    }
    entry.registered = false;
}

namespace host::rx {

void registerAppClass(AcRxClass*& stored, const AppClassInfo& info) {
    AcRxClass* entry = classNamed(info.name);
    if (stored != nullptr && entry != nullptr) {
        if (entry != stored || host::rx::classSerial(entry) != storedSerials()[&stored]) {
            acrx_abort(L"Class mismatch");
        }
        return;
    }
    stored = newAcRxClass(info.name, info.parentName, info.dwgVersion, info.maintenanceVersion,
                          info.proxyFlags, info.pseudoConstructor, info.dxfName, info.appName);
    storedSerials()[&stored] = host::rx::classSerial(stored);
}

AcRxClass* appClassDesc(const wchar_t* name) {
    return classNamed(name);
}

}  // namespace host::rx
