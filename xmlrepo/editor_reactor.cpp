// VLKXEditorReactor and the module's static instance of it (common/module_parts.h).
#include "xmlrepo/editor_reactor.h"

#include "common/module_parts.h"
#include "xmlrepo/xml_undo_object_table.h"

KESTREL_APP_DEFINE_MEMBERS(VLKXEditorReactor, AcEditorReactor, 0, 0, 1, nullptr, nullptr, nullptr)

namespace {

AcRxObject* createEditorReactor() {
    return new VLKXEditorReactor(true);
}

}  // namespace

const kestrel::ModuleObject kestrel::kEditorReactor{&createEditorReactor};

VLKXEditorReactor::VLKXEditorReactor(bool autoAttach) {
    if (autoAttach) {
        Attach();
    }
}

VLKXEditorReactor::~VLKXEditorReactor() {
    Detach();
}

void VLKXEditorReactor::beginSave(AcDbDatabase* db, const ACHAR* pIntendedName) {
    if (boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable()) {
        table->SaveToRepository();
    }
    AcEditorReactor::beginSave(db, pIntendedName);
}

void VLKXEditorReactor::Attach() {
    Detach();
    AcEditor* editor = Subject();
    if (!m_attached && editor != nullptr) {
        editor->addReactor(this);
        m_attached = true;
    }
}

void VLKXEditorReactor::Detach() {
    AcEditor* editor = Subject();
    if (m_attached && editor != nullptr) {
        editor->removeReactor(this);
        m_attached = false;
    }
}

AcEditor* VLKXEditorReactor::Subject() const {
    return acedEditor;
}
