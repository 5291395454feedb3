// The application framework a module builds its application object on: AcRxDbxApp (message
// dispatch and the default handlers) and AcRxArxApp (initialisation and shutdown with the
// custom-class table), and the class macros whose registration follows the module rule: a
// module's classes are registered when it asks (rxInit), not when it is mapped.
#pragma once

#include <span>

#include "kestrel/export.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/dynamic_linker.h"
#include "kestrel/platform/mfc_module.h"

// The entry points every module defines and exports under these plain names: the host sends its
// messages to acrxEntryPoint and asks acrxGetApiVersion, once at load, for the API version the
// module was built against (host::kAcrxApiVersion).
extern "C" DRAWHOST_API AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt);
extern "C" DRAWHOST_API int acrxGetApiVersion(int hostVersion);

// One class of the custom-class table: its runtime class (desc), its registration function
// (rxInit) and whether the application registered it.
struct DRAWHOST_API AcRxCustomClassEntry {
    AcRxClass* (*desc)();
    void (*rxInit)();
    bool registered;
};

// Decisions where the host SDK leaves the behaviour to the host:
// - The command and function tables are not kept: the handlers of messages 3 to 5 answer
//   kRetOK and do nothing else.
// - dispatch: codes 1 to 15 call their handler, 0 calls On_kNullMsg, anything else (above 15 or
//   negative) answers kRetOK at once.
// - The application object's state is constant-initialised (constexpr constructors), so a
//   module-wide application object needs no code to run at load.
class DRAWHOST_API AcRxDbxApp {
public:
    constexpr AcRxDbxApp(bool unlocked, bool mdiAware)
        : m_bUnlocked(unlocked), m_bMDIAware(mdiAware) {}
    virtual ~AcRxDbxApp() = default;

    AcRxDbxApp(const AcRxDbxApp&) = delete;
    AcRxDbxApp& operator=(const AcRxDbxApp&) = delete;

    // Hands the message to its handler and returns the handler's answer.
    AcRx::AppRetCode dispatch(AcRx::AppMsgCode msg, void* pkt);

    virtual AcRx::AppRetCode On_kInitAppMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadAppMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kLoadDwgMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadDwgMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInvkSubrMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kCfgMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kQuitMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kSaveMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kDependencyMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNoDependencyMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kOleUnloadAppMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kPreQuitMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInitDialogMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndDialogMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNullMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    // Registers the module's servers; the module decides what that is.
    virtual void RegisterServerComponents() = 0;

    // The module's instance handle, null until kInitAppMsg.
    HINSTANCE GetModuleInstance() const { return m_hdllInstance; }
    bool IsUnlocked() const { return m_bUnlocked; }
    bool IsMDIAware() const { return m_bMDIAware; }

protected:
    HINSTANCE m_hdllInstance = nullptr;
    bool m_bUnlocked;
    bool m_bMDIAware;
};

// Initialisation (kInitAppMsg): records the instance handle, asks the dynamic linker to unlock
// the module and to count it MDI-aware (as the flags say), calls RegisterServerComponents,
// registers every class of the table (rxInit, registered flag set) and rebuilds the class
// hierarchy when it registered any. Shutdown (kUnloadAppMsg): removes every registered class,
// the classes derived from it first, and clears the flags. Both answer kRetOK.
class DRAWHOST_API AcRxArxApp : public AcRxDbxApp {
public:
    // classes: the module's custom-class table (null entries are skipped); not owned, it must
    // outlive the application object.
    constexpr explicit AcRxArxApp(std::span<AcRxCustomClassEntry* const> classes = {},
                                  bool unlocked = true, bool mdiAware = true)
        : AcRxDbxApp(unlocked, mdiAware), m_classes(classes) {}

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;

private:
    void unregisterClass(AcRxCustomClassEntry& entry);

    std::span<AcRxCustomClassEntry* const> m_classes;
};

namespace host::rx {

// What a module class registers with: the arguments of newAcRxClass.
struct DRAWHOST_API AppClassInfo {
    const wchar_t* name;
    const wchar_t* parentName;
    int dwgVersion;
    int maintenanceVersion;
    int proxyFlags;
    AcRxObject* (*pseudoConstructor)();
    const wchar_t* dxfName;
    const wchar_t* appName;
};

// The registration rule of a module class. When the module holds a class object (stored) and
// the class dictionary has an entry of that name: the same object changes nothing, another one
// aborts the process ("Class mismatch"). Otherwise newAcRxClass creates the class (or returns
// the one registered under that name) and stored takes it.
DRAWHOST_API void registerAppClass(AcRxClass*& stored, const AppClassInfo& info);
// The class registered under the module class's name, or null. Looked up by name each time, so
// a class deleted since (kUnloadAppMsg) is never answered.
DRAWHOST_API AcRxClass* appClassDesc(const wchar_t* name);

}  // namespace host::rx

// Declares desc(), cast(), rxInit() and isA() of a module class derived from AcRxObject.
#define KESTREL_APP_DECLARE_MEMBERS(CLASS_NAME)                                     \
    static AcRxClass* desc();                                                       \
    static CLASS_NAME* cast(const AcRxObject* inPtr) {                              \
        return inPtr != nullptr && inPtr->isKindOf(CLASS_NAME::desc())              \
                   ? const_cast<CLASS_NAME*>(static_cast<const CLASS_NAME*>(inPtr)) \
                   : nullptr;                                                       \
    }                                                                               \
    static void rxInit();                                                           \
    AcRxClass* isA() const override

// Defines them: the class registers under its name with the parent's name, the drawing and
// maintenance versions, proxy flags, pseudo-constructor (or nullptr), and the DXF and
// application names (wide literals or nullptr). Used at global scope.
#define KESTREL_APP_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINTENANCE_VERSION, \
                                   PROXY_FLAGS, PSEUDO_CONSTRUCTOR, DXF_NAME, APP_NAME)        \
    namespace {                                                                                \
    AcRxClass* CLASS_NAME##_gpDesc = nullptr;                                                  \
    }                                                                                          \
    AcRxClass* CLASS_NAME::desc() {                                                            \
        return host::rx::appClassDesc(L"" #CLASS_NAME);                                        \
    }                                                                                          \
    void CLASS_NAME::rxInit() {                                                                \
        static const host::rx::AppClassInfo info{                                              \
            L"" #CLASS_NAME, L"" #PARENT_CLASS,  DWG_VERSION, MAINTENANCE_VERSION,             \
            PROXY_FLAGS,     PSEUDO_CONSTRUCTOR, DXF_NAME,    APP_NAME};                       \
        host::rx::registerAppClass(CLASS_NAME##_gpDesc, info);                                 \
    }                                                                                          \
    AcRxClass* CLASS_NAME::isA() const {                                                       \
        return CLASS_NAME::desc();                                                             \
    }
