// The few Windows and MFC entry points a module calls when it is mapped and unmapped: the MFC
// extension-module calls, the host user-interface library's initialisation, and the operating
// system's module entry. Each stand-in records its call in a log that tests read.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/platform/win_types.h"

// A module's instance handle: the base address at which the module is mapped.
using HINSTANCE = void*;
using HMODULE = HINSTANCE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;

class CDynLinkLibrary;

// One extension module's record; a module keeps it as a static, zero-initialised.
struct DRAWHOST_API AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

// The process's MFC state: the handles resources are looked up in, and the list of extension
// modules whose resources take part in that search.
struct DRAWHOST_API AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    std::vector<CDynLinkLibrary*> m_libraries;  // oldest first
};

// The process's module state; never null.
DRAWHOST_API AFX_MODULE_STATE* AfxGetModuleState();

// Attaches the extension module: fills state with hModule and returns TRUE. Refused (FALSE,
// state unchanged) for a null hModule, for a state already attached, or when a test made it
// fail (platform::setAfxInitExtensionModuleFails).
DRAWHOST_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);

// Detaches the extension module: destroys its CDynLinkLibrary objects and clears state.
// bAll is accepted for compatibility; every library of the module goes either way.
DRAWHOST_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// Makes an attached extension module's resources reachable. Created with new; the module state
// owns it and AfxTermExtensionModule destroys it.
class DRAWHOST_API CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    ~CDynLinkLibrary();

    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
};

// Initialises the host's user-interface library for the calling module; nothing to undo.
DRAWHOST_API void InitAcUiDLL();

namespace platform {

// The instance handle of the module that holds address (code or static data), or null when
// address lies in no mapped module.
DRAWHOST_API HINSTANCE moduleInstance(const void* address);

// The stand-ins' calls in order ("AfxInitExtensionModule", "CDynLinkLibrary",
// "~CDynLinkLibrary", "AfxTermExtensionModule", "InitAcUiDLL").
DRAWHOST_API std::vector<std::wstring> mfcCalls();
DRAWHOST_API void clearMfcCalls();
// Makes the next AfxInitExtensionModule calls refuse (true) or work again (false).
DRAWHOST_API void setAfxInitExtensionModuleFails(bool fails);

// Runs a module's operating-system entry as the loader of a Windows module would: with
// DLL_PROCESS_ATTACH when constructed, DLL_PROCESS_DETACH when destroyed. A module defines one
// as the last static object of the translation unit that holds its other statics, so the entry
// runs right after they are built and right before they are destroyed.
class DRAWHOST_API DllEntryCaller {
public:
    using Entry = BOOL (*)(HINSTANCE instance, DWORD reason, LPVOID reserved);
    explicit DllEntryCaller(Entry entry);
    ~DllEntryCaller();

    DllEntryCaller(const DllEntryCaller&) = delete;
    DllEntryCaller& operator=(const DllEntryCaller&) = delete;

private:
    Entry m_entry;
    HINSTANCE m_instance;
};

}  // namespace platform
