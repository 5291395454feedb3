// The editor service (AcEditor, in the system registry under "AcEditor") and the reactors that
// hear about drawings being opened, saved and closed. The editor does not own its reactors: a
// reactor removes itself before it is destroyed.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/app/reactor_list.h"
#include "kestrel/host/rx/adesk.h"
#include "kestrel/host/rx/dictionary.h"

class AcDbDatabase;

// The system registry's name of the editor.
#define ACRX_EDITOR_SERVICE L"AcEditor"

// Notifications about databases and their files; each does nothing unless overridden.
class DRAWHOST_API AcRxEventReactor : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxEventReactor);
    ~AcRxEventReactor() override = default;

    virtual void dwgFileOpened(AcDbDatabase* /*db*/, const ACHAR* /*fileName*/) {}
    virtual void initialDwgFileOpenComplete(AcDbDatabase* /*db*/) {}
    virtual void databaseConstructed(AcDbDatabase* /*db*/) {}
    virtual void databaseToBeDestroyed(AcDbDatabase* /*db*/) {}
    virtual void beginSave(AcDbDatabase* /*db*/, const ACHAR* /*pIntendedName*/) {}
    virtual void saveComplete(AcDbDatabase* /*db*/, const ACHAR* /*pActualName*/) {}
    virtual void abortSave(AcDbDatabase* /*db*/) {}
};

// The editor's own notifications, after those of AcRxEventReactor.
class DRAWHOST_API AcEditorReactor : public AcRxEventReactor {
public:
    ACRX_DECLARE_MEMBERS(AcEditorReactor);
    ~AcEditorReactor() override = default;

    virtual void beginDwgOpen(const ACHAR* /*filename*/) {}
    virtual void endDwgOpen(const ACHAR* /*filename*/, AcDbDatabase* /*db*/) {}
    virtual void beginClose(AcDbDatabase* /*db*/) {}
};

class DRAWHOST_API AcEditor : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcEditor);
    AcEditor() = default;
    ~AcEditor() override = default;

    AcEditor(const AcEditor&) = delete;
    AcEditor& operator=(const AcEditor&) = delete;

    // Adds a reactor (null and one already added are ignored); the caller keeps ownership.
    void addReactor(AcRxEventReactor* reactor) { m_reactors.add(reactor); }
    // Removes a reactor; one that was not added is ignored.
    void removeReactor(AcRxEventReactor* reactor) { m_reactors.remove(reactor); }
    // Whether reactor is added.
    bool hasReactor(const AcRxEventReactor* reactor) const { return m_reactors.contains(reactor); }
    // The number of reactors added.
    int numReactors() const { return m_reactors.size(); }

    // Host use: the reactors added, in order.
    const std::vector<AcRxEventReactor*>& reactors() const { return m_reactors.reactors(); }
    // Host use: sends a notification to every reactor that hears it.
    template <class Target, class... Params, class... Args>
    void notify(void (Target::*notification)(Params...), Args&&... args) const {
        m_reactors.notify(notification, std::forward<Args>(args)...);
    }

private:
    host::ReactorList<AcRxEventReactor> m_reactors;
};

// The editor registered in the system registry, or null when there is none.
#define acedEditor (AcEditor::cast(acrxSysRegistry()->at(ACRX_EDITOR_SERVICE)))

namespace host {

// Host use: the process's editor, registered or not; never null.
DRAWHOST_API AcEditor* hostEditor();

}  // namespace host
