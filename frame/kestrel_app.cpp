// The module's statics in their load order, its operating-system entry and its exported host
// entry points. A static whose construction or destruction is part of the module's life belongs
// here (its class may give it as a part, common/module_parts.h): anywhere else its order would
// not be fixed.
#include "frame/kestrel_app.h"

#include <memory>

#include "common/module_parts.h"
#include "common/module_state.h"
#include "frame/extension_module.h"
#include "kestrel/host/rx/class.h"

AcRx::AppRetCode CKestrelApp::On_kInitAppMsg(void* pkt) {
    return AcRxArxApp::On_kInitAppMsg(pkt);
}

AcRx::AppRetCode CKestrelApp::On_kUnloadAppMsg(void* pkt) {
    return AcRxArxApp::On_kUnloadAppMsg(pkt);
}

void CKestrelApp::RegisterServerComponents() {}

namespace {

// The host API release the module is built against (release 18).
constexpr int kApiVersion = 0x120000;

// Registers a part's class at construction and deletes it at destruction.
class ClassSlot {
public:
    explicit ClassSlot(const kestrel::ModuleClass& part) : m_part(part) {
        m_part.rxInit();
        acrxBuildClassHierarchy();
    }
    ~ClassSlot() {
        if (AcRxClass* cls = m_part.desc()) {
            deleteAcRxClass(cls);
        }
    }
    ClassSlot(const ClassSlot&) = delete;
    ClassSlot& operator=(const ClassSlot&) = delete;

private:
    const kestrel::ModuleClass& m_part;
};

// Holds a part's object from construction to destruction.
class ObjectSlot {
public:
    explicit ObjectSlot(const kestrel::ModuleObject& part) : m_object(part.create()) {}

private:
    std::unique_ptr<AcRxObject> m_object;
};

AcRxCustomClassEntry* const kCustomClasses[] = {&kestrel::documentReactorClassEntry};

// Constant-initialised: no code runs for it at load, and it is destroyed after every other
// static of this file.
constinit CKestrelApp theApp(kCustomClasses);
constinit kestrel::ExtensionModule extensionModule;
// The version the host announced at its first acrxGetApiVersion call, once it asked.
constinit bool apiVersionAsked = false;
constinit int hostApiVersion = 0;

// The module-wide statics, in their load order (kestrel_app.h).
kestrel::RepositoryRegistry repositories;
CString targetSpace(L"*Model_Space");
kestrel::UndoTableRegistry undoTables;
ClassSlot undoObjectClass(kestrel::kUndoObjectClass);
ObjectSlot editorReactor(kestrel::kEditorReactor);
ObjectSlot documentReactor(kestrel::kDocumentReactor);

BOOL moduleEntry(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        extensionModule.attach(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        extensionModule.detach();
    }
    return TRUE;
}

// Last static: runs the entry right after the statics above are built and right before they
// are destroyed.
platform::DllEntryCaller entry(&moduleEntry);

}  // namespace

namespace kestrel {

RepositoryRegistry& repositoryRegistry() {
    return repositories;
}

UndoTableRegistry& undoTableRegistry() {
    return undoTables;
}

CString& targetSpaceName() {
    return targetSpace;
}

}  // namespace kestrel

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return theApp.dispatch(msg, pkt);
}

extern "C" int acrxGetApiVersion(int hostVersion) {
    if (!apiVersionAsked) {
        apiVersionAsked = true;
        hostApiVersion = hostVersion;
        return kApiVersion;
    }
    return hostApiVersion;
}
