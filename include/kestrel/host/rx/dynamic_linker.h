// The dynamic linker (AcRxDynamicLinker, in the system registry under "DynamicLinker"): loads
// application modules with dlopen, checks the API version they were built against and sends them
// host messages through their acrxEntryPoint; unloads them again. Modules are loaded and
// unloaded on the application thread only, never from inside a message to the same module.
// Declared here, where modules see it; its bodies are the application's
// (host/app/dynamic_linker.cpp), since unloading audits the documents and databases.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/rx/adesk.h"
#include "kestrel/host/rx/dictionary.h"

namespace AcRx {

// Host messages, by code.
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
};

enum AppRetCode { kRetOK = 0, kRetError = 3 };

}  // namespace AcRx

// The system registry's name of the dynamic linker.
#define ACRX_DYNAMIC_LINKER L"DynamicLinker"

namespace host {

// The API version of this host (release 18); a module's acrxGetApiVersion must answer a version
// of the same release (the same upper 16 bits).
constexpr int kAcrxApiVersion = 0x120000;

enum class ModuleStatus {
    kOk,               // loaded, or unloaded and closed
    kAlreadyLoaded,    // loading a module that is loaded: nothing happened
    kInvalidPath,      // a null or empty path
    kNotFound,         // no such file
    kOpenFailed,       // dlopen refused the file (message: the system's reason)
    kNoEntryPoint,     // the module exports no acrxEntryPoint
    kNoApiVersion,     // the module exports no acrxGetApiVersion
    kWrongApiVersion,  // built for another release
    kInitRefused,      // the module answered kRetError to kInitAppMsg
    kNotLoaded,        // unloading a module that is not loaded
    kClassesInUse,     // a live database holds objects of a class the module registered
    kUnloadRefused,    // the module answered kRetError to kUnloadAppMsg, or is busy
    kKeptMapped,       // unloaded, but the module never unlocked itself: it stays mapped
    kDependencyNotLoaded,  // the module links against a module that is not loaded
};

// The status's name ("kNoEntryPoint"); never null.
DRAWHOST_API const wchar_t* moduleStatusText(ModuleStatus status);

}  // namespace host

// Decisions where the host SDK leaves the behaviour to the host:
// - A module is named by its canonical path; loading it again while loaded does nothing.
// - Load: dlopen (the module's statics and its operating-system entry run), acrxEntryPoint and
//   acrxGetApiVersion are looked up in the module itself (not in libraries it depends on),
//   acrxGetApiVersion(kAcrxApiVersion) is asked once, then kInitAppMsg is sent with the module's
//   application id as pkt, then kLoadDwgMsg once per open document (pkt: the AcApDocument). Any
//   refusal closes the library again: nothing stays half-loaded. Failures print one line to the
//   command line.
// - Before a module is initialised, every module it links against must have been loaded:
//   loading a client before the module it depends on is refused with kDependencyNotLoaded, and
//   the client is closed again.
// - The classes of a module are those whose pseudo-constructor lies in it, and those without one
//   that appear in the class dictionary while it is being mapped or handles a message.
// - Unloading closes the library; when the program or another module still links it, it stays
//   mapped and what it left registered or attached is still valid, so only a library that was
//   unmapped is audited for leftovers.
// - Unload: refused while any live database holds an object (erased ones too) of such a class;
//   otherwise kUnloadAppMsg is sent and, when the module unlocked itself (unlockApplication),
//   the library is closed. A module that did not unlock itself stays mapped (kKeptMapped); a
//   later load sends it kInitAppMsg again. Classes a module leaves registered when it is
//   unmapped are reported as contract violations; reactors it leaves attached to the editor or
//   the document manager are taken off and reported too.
// - Documents opened and closed while a module is loaded reach it as kLoadDwgMsg and
//   kUnloadDwgMsg (pkt: the AcApDocument).
class DRAWHOST_API AcRxDynamicLinker : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxDynamicLinker);
    AcRxDynamicLinker() = default;
    ~AcRxDynamicLinker() override = default;

    AcRxDynamicLinker(const AcRxDynamicLinker&) = delete;
    AcRxDynamicLinker& operator=(const AcRxDynamicLinker&) = delete;

    // Loads the module; true when it is loaded afterwards. printit: failures go to the command
    // line.
    bool loadModule(const ACHAR* fileName, bool printit, bool asCmd = false);
    // Unloads the module; true when it is no longer loaded (unmapped or kept mapped).
    bool unloadModule(const ACHAR* fileName, bool printit, bool asCmd = false);

    // Allows (unlock) or forbids (lock) closing the library of the module whose application id
    // is appId (the pkt of kInitAppMsg); false for an unknown id.
    bool unlockApplication(void* appId) const;
    bool lockApplication(void* appId) const;
    // Whether the loaded module of that file name (with or without its folder) is locked; false
    // for an unknown name.
    bool isApplicationLocked(const ACHAR* name) const;
    // Declares the module able (or not) to work with several documents; false for an unknown id.
    bool registerAppMDIAware(void* appId) const;
    bool registerAppNotMDIAware(void* appId) const;
    // Whether the loaded module of that file name declared itself MDI-aware.
    bool isAppMDIAware(const ACHAR* name) const;

    // Host use: the operations behind host::loadModule and host::unloadModule, and the
    // document messages.
    host::ModuleStatus load(const ACHAR* path, bool printit);
    host::ModuleStatus unload(const ACHAR* path, bool printit);
    void broadcast(AcRx::AppMsgCode msg, void* pkt);
    std::vector<std::wstring> loadedModules() const;
};

// The dynamic linker registered in the system registry, or null.
#define acrxDynamicLinker (AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)))
