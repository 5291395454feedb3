// AcApDocument: one open drawing in the editor, with its database, its file name, its lock state
// and the editor's state for it (view, UCS). The document manager creates and destroys
// documents (host::newDocument, openDocument, closeDocument); a document owns its database.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/app/editor_state.h"
#include "kestrel/host/rx/adesk.h"
#include "kestrel/host/rx/object.h"

class AcDbDatabase;

namespace AcAp {

// Lock modes of a document; kWrite (4) is the ordinary lock of code that changes a drawing.
enum DocLockMode {
    kNone = 0x00,
    kAutoWrite = 0x01,
    kNotLocked = 0x02,
    kWrite = 0x04,
    kProtectedAutoWrite = 0x08,
    kRead = 0x10,
    kXWrite = 0x20,
};

}  // namespace AcAp

class DRAWHOST_API AcApDocument : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcApDocument);
    ~AcApDocument() override;

    AcApDocument(const AcApDocument&) = delete;
    AcApDocument& operator=(const AcApDocument&) = delete;

    // The document's database; never null while the document lives.
    AcDbDatabase* database() const { return m_database.get(); }
    // The drawing file's absolute path, or "DrawingN.dxf" for a drawing never saved; never null.
    const ACHAR* fileName() const { return m_fileName.c_str(); }
    // Whether the drawing was read from or saved to a file.
    bool isNamedDrawing() const { return m_named; }
    // The mode of the innermost lock still held, or kNotLocked.
    AcAp::DocLockMode myLockMode() const;
    // The same: every lock belongs to the host's one execution context.
    AcAp::DocLockMode lockMode(bool /*bIncludeMyLocks*/ = true) const { return myLockMode(); }

    // Host use: the number of locks held, the editor's state, the manager's bookkeeping.
    int lockCount() const { return static_cast<int>(m_locks.size()); }
    host::EditorState& editorState() { return m_editorState; }
    AcApDocument(std::unique_ptr<AcDbDatabase> database, std::wstring fileName, bool named);
    void pushLock(AcAp::DocLockMode mode) { m_locks.push_back(mode); }
    void popLock() { m_locks.pop_back(); }
    // The lock mode once the innermost level is gone.
    AcAp::DocLockMode outerLockMode() const;
    void setFile(std::wstring path);
    bool closing() const { return m_closing; }
    void setClosing() { m_closing = true; }

private:
    std::unique_ptr<AcDbDatabase> m_database;
    std::wstring m_fileName;
    bool m_named;
    bool m_closing = false;
    std::vector<AcAp::DocLockMode> m_locks;
    host::EditorState m_editorState;
};
