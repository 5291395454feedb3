// CVLKXMLUndoObjectTable: per database, the undo object of each client application, the copies
// of the texts between those objects and the drawing's repository, and the registered notifiers.
// Tables are held through the module's undo-table registry (GetUndoTable) and used on the host's
// main thread only; a caller keeps a table through its shared pointer, never by address.
// An undo object made in the undo group that also changes its text (an application's first
// text) is undone like any other: the host reads back the state it had when made (the empty
// text, or the text loaded from the drawing), which tells the notifiers, before it undoes the
// creation.
#pragma once

#include <boost/shared_ptr.hpp>
#include <map>
#include <set>

#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"
#include "kestrel/platform/cstring.h"

class CVLKXMLUndoObject;
class _CXMLHandlerNotifier;

// Decisions where the interface leaves the behaviour open:
// - Loaded texts reach clients when they register: a notifier newly added to a table receives
//   OnXMLLoaded once per application that the table loaded from the drawing, in ascending name
//   order, with that application's current text. (At Build itself no notifier can be registered
//   yet.) Registering a notifier that is already there sends nothing.
// - A table belongs to one database instance, recorded by its serial number. A registry entry
//   left for a destroyed database (one that was not the working database when its document was
//   closed, or a side database deleted by its owner) is never found for a later database at the
//   same address: GetUndoTable replaces it with a new table. Such an entry otherwise stays until
//   the module is unloaded.
// - Without a working database there is no table: GetUndoTable returns null.
// - Undo objects are made under the current document's lock (held around creating an object and
//   around each final open); a refused lock is ignored.
class CVLKXMLUndoObjectTable {
public:
    // A table of the working database, filled from the drawing's repository (Build). Made
    // without a working database it stays empty and every OpenUndoObject fails.
    CVLKXMLUndoObjectTable();
    ~CVLKXMLUndoObjectTable();
    CVLKXMLUndoObjectTable(const CVLKXMLUndoObjectTable&) = delete;
    CVLKXMLUndoObjectTable& operator=(const CVLKXMLUndoObjectTable&) = delete;

    // Reloads the repository and gives each of its applications' undo objects (made when
    // missing) the stored text without recording undo, then OnXMLLoaded. False, with nothing
    // changed, when the drawing holds no well-formed repository document.
    bool Build();
    // Opens the application's undo object in mode, making it first when the table has none
    // (added to the working database, erased at once). The status of the final open; on eOk
    // the caller closes object. A name whose object could not be made stays out of the table.
    Acad::ErrorStatus OpenUndoObject(const wchar_t* appName, CVLKXMLUndoObject*& object,
                                     AcDb::OpenMode mode);
    // Copies each application's text into the repository (OnXMLSaving for each) and writes the
    // repository into the drawing; the result of the repository's Save.
    bool SaveToRepository();
    // Adds the notifier (null is ignored) unless one at that address is registered; a new one
    // is told of the loaded texts (see above). The table shares its ownership.
    void Register(boost::shared_ptr<_CXMLHandlerNotifier> notifier);

    // Tell every registered notifier, in ascending address order, with a new name string each.
    void NotifyRestored(const wchar_t* appName, const CString& xml);
    void NotifySaving(const wchar_t* appName, const CString& xml);
    void NotifyLoaded(const wchar_t* appName, const CString& xml);

    // The serial number of the database the table belongs to.
    std::uint64_t databaseSerial() const { return m_databaseSerial; }
    // The applications of the table and their objects' ids, in ascending name order.
    const std::map<CString, AcDbObjectId>& applications() const { return m_applications; }

private:
    using Notification = void (_CXMLHandlerNotifier::*)(boost::shared_ptr<CString>, const CString&);
    void notify(Notification notification, const wchar_t* appName, const CString& xml);
    void tellLoaded(_CXMLHandlerNotifier& notifier);
    // Adds a new erased undo object for appName and enters it when it opens in mode; its id, or
    // null when the database refused it.
    AcDbObjectId makeUndoObject(const wchar_t* appName, AcDb::OpenMode mode);

    std::uint64_t m_databaseSerial;
    std::map<CString, AcDbObjectId> m_applications;
    std::set<CString> m_loaded;
    std::map<const _CXMLHandlerNotifier*, boost::shared_ptr<_CXMLHandlerNotifier>> m_notifiers;
};

// The working database's table, made (and built) when it has none; null without a working
// database.
boost::shared_ptr<CVLKXMLUndoObjectTable> GetUndoTable();
// Drops the working database's table from the registry; the table goes with its last owner.
void ReleaseUndoTable();
