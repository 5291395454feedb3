// The module's MFC extension-module record: attach and detach for the operating-system entry.
#include "frame/extension_module.h"

namespace kestrel {

void ExtensionModule::attach(HINSTANCE instance) {
    m_instance = instance;
    if (!m_attached && AfxInitExtensionModule(m_module, instance)) {
        m_attached = true;
        m_defaultResource = AfxGetModuleState()->m_hCurrentResourceHandle;
        m_moduleResource = instance;
        // Owned by the MFC module state; AfxTermExtensionModule destroys it.
        new CDynLinkLibrary(m_module);
    }
    InitAcUiDLL();
}

void ExtensionModule::detach() {
    if (m_attached) {
        AfxTermExtensionModule(m_module);
        m_attached = false;
    }
}

}  // namespace kestrel
