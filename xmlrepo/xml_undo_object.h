// CVLKXMLUndoObject: the database object that carries one client application's XML text in a
// drawing, so that every change of the text follows the host's undo and redo. Objects are made,
// erased at once and opened only by the undo table (xml_undo_object_table.h); the text is its
// only filed field, the application name is set by the table and never filed.
#pragma once

#include "kestrel/host/db/object.h"
#include "kestrel/host/rx/app_framework.h"
#include "kestrel/platform/cstring.h"

// Reading a state back (dwgInFields, dxfInFields) changes only the text. A version above 1 gives
// eNewerObjectVersion (301) and a DXF description without the version group eMissingDxfField
// (50, with a message on the filer), with the text left as it was; dwgInFields changes it only
// when the whole state was read. In a DXF description each text group replaces the text as it is
// read, so a later read that fails (eDxfReadFailed, 51) leaves the last text read before it.
// Every successful dwgInFields tells the notifiers of the working database's undo table
// (OnXMLRestored), whatever the filer.
//
// Unloading: the host's loader refuses to unload the module while any live database holds an
// object of this class, erased or not, so neither the objects nor the undo records that file
// them outlive the class. A drawing's undo objects go with its database when the document is
// closed; a side database in which a client wrote texts keeps the module loaded until it is
// deleted.
class CVLKXMLUndoObject : public AcDbObject {
public:
    KESTREL_APP_DECLARE_MEMBERS(CVLKXMLUndoObject);

    // The version written by this class; a state filed with a greater one is refused.
    static constexpr Adesk::UInt32 kObjectVersion = 1;
    // The subclass marker of the DXF description.
    static constexpr const wchar_t* kSubclassName = L"CVLKXMLUndoObject";

    // An empty text for no application.
    CVLKXMLUndoObject() = default;
    ~CVLKXMLUndoObject() override = default;

    // The XML text; the object must be open.
    const CString& xml() const;
    // Replaces the text (null: empty); with recordUndo the change is declared to the host first,
    // which files the former state for undo. The object must be open for write.
    void setXml(const wchar_t* xml, bool recordUndo);
    // The application the object belongs to; empty for one not made by the undo table.
    const CString& appName() const { return m_appName; }
    void setAppName(const wchar_t* appName) { m_appName = appName; }

    // Filing, base class first; see the class comment for failures.
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    CString m_xml;
    CString m_appName;
};
