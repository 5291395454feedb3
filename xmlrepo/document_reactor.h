// CVLKXDocumentReactor: hears the document manager's documentToBeDestroyed and drops the working
// database's undo table and repository. The module makes one, attached, among its statics, and
// registers its runtime class at kInitAppMsg (common/module_parts.h); main thread only.
#pragma once

#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/rx/app_framework.h"

// The reactor acts on the working database, which the host makes the closing document's
// database during the notification. Entries of another database left behind are never reused
// for a later database (see CVLKXMLUndoObjectTable).
class CVLKXDocumentReactor : public AcApDocManagerReactor {
public:
    KESTREL_APP_DECLARE_MEMBERS(CVLKXDocumentReactor);

    // With autoAttach, added to the host's document manager when there is one.
    explicit CVLKXDocumentReactor(bool autoAttach = true);
    // Removed from the document manager when attached and it still exists.
    ~CVLKXDocumentReactor() override;
    CVLKXDocumentReactor(const CVLKXDocumentReactor&) = delete;
    CVLKXDocumentReactor& operator=(const CVLKXDocumentReactor&) = delete;

    // Releases the working database's undo table, then its repository.
    void documentToBeDestroyed(AcApDocument* pDocToDestroy) override;

    // Detaches, then adds the reactor to the document manager when there is one.
    void Attach();
    // Removes the reactor from the document manager when attached and it exists.
    void Detach();
    // The host's document manager, or null.
    AcApDocManager* Subject() const;
    bool IsAttached() const { return m_attached; }

private:
    bool m_attached = false;
};
