// A small application module for the loader tests, built in several variants (SAMPLE_APP_*):
// sample, locked (never unlocks itself), old_version, no_entry, refusing (refuses kInitAppMsg)
// and leaky (leaves its class registered and its editor reactor attached).
// It does what a real module does at each step of its life and prints a line to the host's
// command line for each, so a test can read the order back. All statics and the entry live in
// this one file, so their order is the order of definition.
#include "kestrel/host/app/command_line.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/editor.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/rx/app_framework.h"
#include "kestrel/platform/mfc_module.h"

// The locked variant stays mapped after the tests unload it, and the leaky one leaves its class
// registered, so their classes take other names than those of the variants loaded after them.
#if defined(SAMPLE_APP_LOCKED)
#define SampleNote LockedNote
#define SampleDocReactor LockedDocReactor
#elif defined(SAMPLE_APP_LEAKY)
#define SampleNote LeakyNote
#define SampleDocReactor LeakyDocReactor
#endif

// Expands the class names above before the framework macro turns them into text.
#define SAMPLE_DEFINE_MEMBERS(...) KESTREL_APP_DEFINE_MEMBERS(__VA_ARGS__)

namespace {

// The variant's name, which starts each line the module prints.
#if defined(SAMPLE_APP_LOCKED)
constexpr const wchar_t* kVariant = L"locked";
#elif defined(SAMPLE_APP_OLD_VERSION)
constexpr const wchar_t* kVariant = L"old_version";
#elif defined(SAMPLE_APP_NO_ENTRY)
constexpr const wchar_t* kVariant = L"no_entry";
#elif defined(SAMPLE_APP_REFUSING)
constexpr const wchar_t* kVariant = L"refusing";
#elif defined(SAMPLE_APP_LEAKY)
constexpr const wchar_t* kVariant = L"leaky";
#else
constexpr const wchar_t* kVariant = L"sample";
#endif

void trace(const wchar_t* what) {
    acutPrintf(L"[%s] %s\n", kVariant, what);
}

// Marks where static construction starts and where destruction ends.
struct Trace {
    Trace() { trace(L"statics begin"); }
    ~Trace() { trace(L"statics end"); }
};

}  // namespace

// An object kind of the module's own, registered when the module is mapped.
class SampleNote : public AcDbObject {
public:
    KESTREL_APP_DECLARE_MEMBERS(SampleNote);
    SampleNote() = default;
};

static AcRxObject* createNote() {
    return new SampleNote();
}

SAMPLE_DEFINE_MEMBERS(SampleNote, AcDbObject, 29, 6, 0, createNote, L"SAMPLENOTE", L"SampleApp")

// A document reactor whose class the application registers at kInitAppMsg.
class SampleDocReactor : public AcApDocManagerReactor {
public:
    KESTREL_APP_DECLARE_MEMBERS(SampleDocReactor);
    void documentToBeDestroyed(AcApDocument*) override { trace(L"documentToBeDestroyed"); }
};

SAMPLE_DEFINE_MEMBERS(SampleDocReactor, AcApDocManagerReactor, 0, 0, 1, nullptr, nullptr, nullptr)

class SampleEditorReactor : public AcEditorReactor {
public:
    void beginSave(AcDbDatabase*, const ACHAR*) override { trace(L"beginSave"); }
};

namespace {

// Registers SampleNote while the module is mapped, as a module's statics do.
struct NoteClass {
    NoteClass() {
        SampleNote::rxInit();
        acrxBuildClassHierarchy();
        trace(L"class registered");
    }
    ~NoteClass() {
#if !defined(SAMPLE_APP_LEAKY)
        deleteAcRxClass(SampleNote::desc());
        trace(L"class deleted");
#endif
    }
};

// Keeps a reactor attached to the editor while the module is mapped.
struct AttachedEditorReactor {
    AttachedEditorReactor() {
        if (AcEditor* editor = acedEditor) {
            editor->addReactor(&reactor);
            trace(L"editor reactor attached");
        }
    }
    ~AttachedEditorReactor() {
#if !defined(SAMPLE_APP_LEAKY)
        if (AcEditor* editor = acedEditor) {
            editor->removeReactor(&reactor);
            trace(L"editor reactor removed");
        }
#endif
    }
    SampleEditorReactor reactor;
};

AcRxCustomClassEntry docReactorEntry{&SampleDocReactor::desc, &SampleDocReactor::rxInit, false};
AcRxCustomClassEntry* const kClassTable[] = {nullptr, &docReactorEntry};

#if defined(SAMPLE_APP_LOCKED)
constexpr bool kUnlocked = false;
#else
constexpr bool kUnlocked = true;
#endif

class SampleApp : public AcRxArxApp {
public:
    constexpr SampleApp() : AcRxArxApp(kClassTable, kUnlocked, true) {}

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override {
        trace(L"kInitAppMsg");
#if defined(SAMPLE_APP_REFUSING)
        return AcRx::kRetError;
#else
        return AcRxArxApp::On_kInitAppMsg(pkt);
#endif
    }
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override {
        trace(L"kUnloadAppMsg");
        return AcRxArxApp::On_kUnloadAppMsg(pkt);
    }
    AcRx::AppRetCode On_kLoadDwgMsg(void* pkt) override {
        trace(L"kLoadDwgMsg");
        return AcRx::kRetOK;
    }
    AcRx::AppRetCode On_kUnloadDwgMsg(void* pkt) override {
        trace(L"kUnloadDwgMsg");
        return AcRx::kRetOK;
    }
    void RegisterServerComponents() override {
        trace(L"RegisterServerComponents");
    }
};

constinit SampleApp theApp;

AFX_EXTENSION_MODULE extensionModule = {};

BOOL moduleEntry(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        trace(L"entry attach");
        if (AfxInitExtensionModule(extensionModule, instance)) {
            new CDynLinkLibrary(extensionModule);
        }
        InitAcUiDLL();
    } else if (reason == DLL_PROCESS_DETACH) {
        trace(L"entry detach");
        AfxTermExtensionModule(extensionModule);
    }
    return TRUE;
}

// The statics, in order; the entry runs right after them and right before their destruction.
Trace first;
NoteClass noteClass;
AttachedEditorReactor editorReactor;
platform::DllEntryCaller entry(&moduleEntry);

}  // namespace

#if !defined(SAMPLE_APP_NO_ENTRY)
extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return theApp.dispatch(msg, pkt);
}
#endif

extern "C" int acrxGetApiVersion(int) {
#if defined(SAMPLE_APP_OLD_VERSION)
    return 0x110000;
#else
    return host::kAcrxApiVersion;
#endif
}

// For the tests: adds a SampleNote to db and returns its id (null on failure).
extern "C" void sampleAddNote(AcDbDatabase* db, AcDbObjectId* id) {
    auto* note = new SampleNote();
    if (db->addAcDbObject(*id, note) != Acad::eOk) {
        delete note;
        return;
    }
    note->close();
}

// For the tests: the module's application object, to read its state.
extern "C" const AcRxDbxApp* sampleApp() {
    return &theApp;
}
