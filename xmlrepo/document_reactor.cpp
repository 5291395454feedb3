// CVLKXDocumentReactor, the module's static instance of it and its custom-class entry
// (common/module_parts.h).
#include "xmlrepo/document_reactor.h"

#include "common/module_parts.h"
#include "xmlrepo/application_repository.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

AcRxObject* createDocumentReactor() {
    return new CVLKXDocumentReactor(true);
}

}  // namespace

KESTREL_APP_DEFINE_MEMBERS(CVLKXDocumentReactor, AcApDocManagerReactor, 0, 0, 1,
                           createDocumentReactor, nullptr, nullptr)

const kestrel::ModuleObject kestrel::kDocumentReactor{&createDocumentReactor};
AcRxCustomClassEntry kestrel::documentReactorClassEntry{&CVLKXDocumentReactor::desc,
                                                        &CVLKXDocumentReactor::rxInit, false};

CVLKXDocumentReactor::CVLKXDocumentReactor(bool autoAttach) {
    if (autoAttach) {
        Attach();
    }
}

CVLKXDocumentReactor::~CVLKXDocumentReactor() {
    Detach();
}

void CVLKXDocumentReactor::documentToBeDestroyed(AcApDocument* pDocToDestroy) {
    ReleaseUndoTable();
    ReleaseRepository();
    AcApDocManagerReactor::documentToBeDestroyed(pDocToDestroy);
}

void CVLKXDocumentReactor::Attach() {
    Detach();
    AcApDocManager* manager = Subject();
    if (!m_attached && manager != nullptr) {
        manager->addReactor(this);
        m_attached = true;
    }
}

void CVLKXDocumentReactor::Detach() {
    AcApDocManager* manager = Subject();
    if (m_attached && manager != nullptr) {
        manager->removeReactor(this);
        m_attached = false;
    }
}

AcApDocManager* CVLKXDocumentReactor::Subject() const {
    return acDocManagerPtr();
}
