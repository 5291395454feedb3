// CVLKXMLUndoObjectTable: making and opening the undo objects, the copies between them and the
// repository, the notifications, and the undo-table registry's look-up.
#include "xmlrepo/xml_undo_object_table.h"

#include <vector>

#include "common/module_state.h"
#include "kestrel/drawing/doc_lock.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/open.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "xmlrepo/application_repository.h"
#include "xmlrepo/database_registry.h"
#include "xmlrepo/xml_undo_object.h"

namespace {

AcDbDatabase* workingDatabase() {
    return acdbHostApplicationServices()->workingDatabase();
}

// Opens an undo object by id in mode, erased ones admitted.
Acad::ErrorStatus openUndoObject(AcDbObjectId id, AcDb::OpenMode mode, CVLKXMLUndoObject*& object) {
    AcDbObject* opened = nullptr;
    const Acad::ErrorStatus status =
        acdbOpenAcDbObject(opened, id, mode, CVLKXMLUndoObject::desc(), true);
    object = status == Acad::eOk ? static_cast<CVLKXMLUndoObject*>(opened) : nullptr;
    return status;
}

}  // namespace

CVLKXMLUndoObjectTable::CVLKXMLUndoObjectTable()
    : m_databaseSerial(workingDatabase() != nullptr ? workingDatabase()->serial() : 0) {
    Build();
}

CVLKXMLUndoObjectTable::~CVLKXMLUndoObjectTable() = default;

bool CVLKXMLUndoObjectTable::Build() {
    boost::shared_ptr<CApplicationRepository> repository = GetRepository();
    if (repository == nullptr || !repository->Load()) {
        return false;
    }
    CStringArray names;
    repository->GetEntryNames(names);
    for (int i = 0; i < names.GetSize(); ++i) {
        CVLKXMLUndoObject* object = nullptr;
        if (OpenUndoObject(names[i], object, AcDb::kForWrite) != Acad::eOk) {
            continue;
        }
        const CString text = repository->GetEntry(names[i]);
        object->setXml(text, false);
        object->close();
        m_loaded.insert(names[i]);
        NotifyLoaded(names[i], text);
    }
    return true;
}

AcDbObjectId CVLKXMLUndoObjectTable::makeUndoObject(const wchar_t* appName, AcDb::OpenMode mode) {
    AcDbDatabase* db = workingDatabase();
    if (db == nullptr) {
        return AcDbObjectId::kNull;
    }
    CVLKCDocLock lock;
    auto* object = new CVLKXMLUndoObject();
    object->setAppName(appName);
    AcDbObjectId id;
    if (db->addAcDbObject(id, object) != Acad::eOk) {
        delete object;
        return AcDbObjectId::kNull;
    }
    object->erase(true);
    object->close();
    CVLKXMLUndoObject* check = nullptr;
    if (openUndoObject(id, mode, check) == Acad::eOk) {
        check->close();
        m_applications[appName] = id;
    }
    return id;
}

Acad::ErrorStatus CVLKXMLUndoObjectTable::OpenUndoObject(const wchar_t* appName,
                                                         CVLKXMLUndoObject*& object,
                                                         AcDb::OpenMode mode) {
    const CString name(appName);
    auto found = m_applications.find(name);
    const AcDbObjectId id =
        found != m_applications.end() ? found->second : makeUndoObject(name, mode);
    CVLKCDocLock lock;
    return openUndoObject(id, mode, object);
}

bool CVLKXMLUndoObjectTable::SaveToRepository() {
    boost::shared_ptr<CApplicationRepository> repository = GetRepository();
    if (repository == nullptr) {
        return false;
    }
    for (const auto& [name, id] : m_applications) {
        CVLKXMLUndoObject* object = nullptr;
        if (openUndoObject(id, AcDb::kForRead, object) != Acad::eOk) {
            continue;
        }
        repository->SetEntry(name, object->xml());
        NotifySaving(name, object->xml());
        object->close();
    }
    return repository->Save();
}

void CVLKXMLUndoObjectTable::Register(boost::shared_ptr<_CXMLHandlerNotifier> notifier) {
    if (notifier == nullptr || !m_notifiers.emplace(notifier.get(), notifier).second) {
        return;
    }
    tellLoaded(*notifier);
}

void CVLKXMLUndoObjectTable::tellLoaded(_CXMLHandlerNotifier& notifier) {
    for (const CString& name : m_loaded) {
        auto found = m_applications.find(name);
        CVLKXMLUndoObject* object = nullptr;
        if (found == m_applications.end() ||
            openUndoObject(found->second, AcDb::kForRead, object) != Acad::eOk) {
            continue;
        }
        const CString text = object->xml();
        object->close();
        notifier.OnXMLLoaded(boost::shared_ptr<CString>(new CString(name)), text);
    }
}

void CVLKXMLUndoObjectTable::notify(Notification notification, const wchar_t* appName,
                                    const CString& xml) {
    // A notifier may register others while it is told; they hear from the next event on.
    std::vector<boost::shared_ptr<_CXMLHandlerNotifier>> notifiers;
    for (const auto& [address, notifier] : m_notifiers) {
        notifiers.push_back(notifier);
    }
    for (const auto& notifier : notifiers) {
        ((*notifier).*notification)(boost::shared_ptr<CString>(new CString(appName)), xml);
    }
}

void CVLKXMLUndoObjectTable::NotifyRestored(const wchar_t* appName, const CString& xml) {
    notify(&_CXMLHandlerNotifier::OnXMLRestored, appName, xml);
}

void CVLKXMLUndoObjectTable::NotifySaving(const wchar_t* appName, const CString& xml) {
    notify(&_CXMLHandlerNotifier::OnXMLSaving, appName, xml);
}

void CVLKXMLUndoObjectTable::NotifyLoaded(const wchar_t* appName, const CString& xml) {
    notify(&_CXMLHandlerNotifier::OnXMLLoaded, appName, xml);
}

boost::shared_ptr<CVLKXMLUndoObjectTable> GetUndoTable() {
    return kestrel::workingDatabaseEntry(kestrel::undoTableRegistry());
}

void ReleaseUndoTable() {
    kestrel::releaseWorkingDatabaseEntry(kestrel::undoTableRegistry());
}
