// VLKXEditorReactor: hears the host editor's beginSave and has the working database's undo table
// write every application's text into the drawing's repository before the host writes the file.
// The module makes one, attached, among its statics (common/module_parts.h); main thread only.
#pragma once

#include "kestrel/host/app/editor.h"
#include "kestrel/host/rx/app_framework.h"

// The reactor acts on the working database whatever database is being saved. Its runtime class
// is never registered, so desc() and isA() are null while no class of its name exists.
class VLKXEditorReactor : public AcEditorReactor {
public:
    KESTREL_APP_DECLARE_MEMBERS(VLKXEditorReactor);

    // With autoAttach, added to the host's editor when there is one.
    explicit VLKXEditorReactor(bool autoAttach = true);
    // Removed from the editor when attached and the editor still exists.
    ~VLKXEditorReactor() override;
    VLKXEditorReactor(const VLKXEditorReactor&) = delete;
    VLKXEditorReactor& operator=(const VLKXEditorReactor&) = delete;

    // Saves the working database's texts into its repository; a failure leaves the save alone.
    void beginSave(AcDbDatabase* db, const ACHAR* pIntendedName) override;

    // Detaches, then adds the reactor to the editor when there is one.
    void Attach();
    // Removes the reactor from the editor when attached and the editor exists.
    void Detach();
    // The host's editor, or null.
    AcEditor* Subject() const;
    bool IsAttached() const { return m_attached; }

private:
    bool m_attached = false;
};
