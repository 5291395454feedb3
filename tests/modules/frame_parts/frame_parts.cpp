// Stand-in parts for the module frame, linked with frame/ into the test module test_module_frame:
// an object class registered at mapping, an editor and a document reactor created attached, and
// the document reactor's class in the custom-class table. Each step prints a line to the host's
// command line ("[frame_parts] ..."), with the number of MFC calls made by then, so a test can
// read back the order of statics, entry and messages.
#include <string>

#include "common/module_parts.h"
#include "kestrel/host/app/command_line.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/editor.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/rx/app_framework.h"
#include "kestrel/host/rx/dictionary.h"
#include "kestrel/platform/mfc_module.h"

namespace {

bool registered(const wchar_t* name) {
    return acrxClassDictionary->at(name) != nullptr;
}

void trace(const wchar_t* what) {
    acutPrintf(L"[frame_parts] %s, mfc %d\n", what, static_cast<int>(platform::mfcCalls().size()));
}

}  // namespace

class FramePartsObject : public AcDbObject {
public:
    KESTREL_APP_DECLARE_MEMBERS(FramePartsObject);
};

static AcRxObject* createObject() {
    return new FramePartsObject();
}

KESTREL_APP_DEFINE_MEMBERS(FramePartsObject, AcDbObject, 29, 6, 0, createObject,
                           L"FRAMEPARTSOBJECT", L"FrameParts")

class FramePartsDocReactor : public AcApDocManagerReactor {
public:
    KESTREL_APP_DECLARE_MEMBERS(FramePartsDocReactor);
    FramePartsDocReactor() {
        if (AcApDocManager* manager = acDocManagerPtr()) {
            manager->addReactor(this);
            trace(L"document reactor attached");
        }
    }
    ~FramePartsDocReactor() override {
        if (AcApDocManager* manager = acDocManagerPtr()) {
            manager->removeReactor(this);
            trace(L"document reactor removed");
        }
    }
};

KESTREL_APP_DEFINE_MEMBERS(FramePartsDocReactor, AcApDocManagerReactor, 0, 0, 1, nullptr, nullptr,
                           nullptr)

class FramePartsEditorReactor : public AcEditorReactor {
public:
    FramePartsEditorReactor() {
        if (AcEditor* editor = acedEditor) {
            editor->addReactor(this);
            trace(L"editor reactor attached");
        }
    }
    ~FramePartsEditorReactor() override {
        if (AcEditor* editor = acedEditor) {
            editor->removeReactor(this);
        }
        // What is still registered when the statics are on their way out.
        std::wstring line = L"editor reactor removed";
        line += registered(L"FramePartsDocReactor") ? L", reactor class" : L"";
        line += registered(L"FramePartsObject") ? L", object class" : L"";
        trace(line.c_str());
    }
};

namespace {

void registerObjectClass() {
    FramePartsObject::rxInit();
    trace(L"object class registered");
}

void registerDocReactorClass() {
    FramePartsDocReactor::rxInit();
    trace(L"document reactor class registered");
}

AcRxObject* createEditorReactor() {
    return new FramePartsEditorReactor();
}

AcRxObject* createDocReactor() {
    return new FramePartsDocReactor();
}

}  // namespace

const kestrel::ModuleClass kestrel::kUndoObjectClass{&FramePartsObject::desc, &registerObjectClass};
const kestrel::ModuleObject kestrel::kEditorReactor{&createEditorReactor};
const kestrel::ModuleObject kestrel::kDocumentReactor{&createDocReactor};
AcRxCustomClassEntry kestrel::documentReactorClassEntry{&FramePartsDocReactor::desc,
                                                        &registerDocReactorClass, false};
