// The extension-module, user-interface-library and module-entry stand-ins. Everything runs on
// the application thread; the call log lives as long as the process.
#include "kestrel/platform/mfc_module.h"

#include <dlfcn.h>

#include <algorithm>

namespace {

struct MfcLog {
    std::vector<std::wstring> calls;
    bool initFails = false;
};

// Never destroyed: modules unmapped during process exit still call in.
MfcLog& mfcLog() {
    static auto* log = new MfcLog();
    return *log;
}

void record(const wchar_t* call) {
    mfcLog().calls.emplace_back(call);
}

}  // namespace

// Lies in the host library's static data, so its address names the host's instance.
const char kHostAnchor = 0;

AFX_MODULE_STATE* AfxGetModuleState() {
    // The host's own instance holds the default resources.
    static auto* state = new AFX_MODULE_STATE{
        platform::moduleInstance(&kHostAnchor), platform::moduleInstance(&kHostAnchor), {}};
    return state;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    record(L"AfxInitExtensionModule");
    if (hModule == nullptr || state.bInitialized || mfcLog().initFails) {
        return FALSE;
    }
    state.bInitialized = TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    record(L"AfxTermExtensionModule");
    if (!state.bInitialized) {
        return;
    }
    std::vector<CDynLinkLibrary*> own;
    for (CDynLinkLibrary* library : AfxGetModuleState()->m_libraries) {
        if (library->m_hModule == state.hModule) {
            own.push_back(library);
        }
    }
    for (auto it = own.rbegin(); it != own.rend(); ++it) {
        delete *it;
    }
    state = AFX_EXTENSION_MODULE{};
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem) {
    record(L"CDynLinkLibrary");
    AfxGetModuleState()->m_libraries.push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    record(L"~CDynLinkLibrary");
    auto& libraries = AfxGetModuleState()->m_libraries;
    libraries.erase(std::remove(libraries.begin(), libraries.end(), this), libraries.end());
}

void InitAcUiDLL() {
    record(L"InitAcUiDLL");
}

namespace platform {

HINSTANCE moduleInstance(const void* address) {
    Dl_info info{};
    if (address == nullptr || dladdr(address, &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

std::vector<std::wstring> mfcCalls() {
    return mfcLog().calls;
}

void clearMfcCalls() {
    mfcLog().calls.clear();
}

void setAfxInitExtensionModuleFails(bool fails) {
    mfcLog().initFails = fails;
}

// The entry's code lies in the module, wherever the caller object itself lives.
DllEntryCaller::DllEntryCaller(Entry entry)
    : m_entry(entry), m_instance(moduleInstance(reinterpret_cast<const void*>(entry))) {
    if (m_entry != nullptr) {
        m_entry(m_instance, DLL_PROCESS_ATTACH, nullptr);
    }
}

DllEntryCaller::~DllEntryCaller() {
    if (m_entry != nullptr) {
        m_entry(m_instance, DLL_PROCESS_DETACH, nullptr);
    }
}

}  // namespace platform
