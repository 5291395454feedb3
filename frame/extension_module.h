// The module's MFC extension-module record and the two steps the operating-system entry takes
// with it: attach when the module is mapped, detach when it is unmapped. One static record per
// module, constant-initialised, used from the entry only.
#pragma once

#include "kestrel/platform/mfc_module.h"

namespace kestrel {

// Attach records the instance, attaches the extension module once (AfxInitExtensionModule, then
// a CDynLinkLibrary that the MFC module state owns) and initialises the host's user-interface
// library on every call, also when the extension module could not be attached. Detach ends the
// extension module when it is attached (AfxTermExtensionModule) and does nothing otherwise.
class ExtensionModule {
public:
    constexpr ExtensionModule() = default;

    ExtensionModule(const ExtensionModule&) = delete;
    ExtensionModule& operator=(const ExtensionModule&) = delete;

    // Process attach; never fails.
    void attach(HINSTANCE instance);
    // Process detach.
    void detach();

private:
    bool m_attached = false;
    // The instance of the last attach, and the resource handles a resource lookup switches
    // between: the MFC state's at attach time and the module's own.
    HINSTANCE m_instance = nullptr;
    HINSTANCE m_defaultResource = nullptr;
    HINSTANCE m_moduleResource = nullptr;
    AFX_EXTENSION_MODULE m_module = {};
};

}  // namespace kestrel
