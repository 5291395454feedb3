// _CXMLHandler over the working database's undo table.
#include "kestrel/xmlrepo/xml_handler.h"

#include "kestrel/host/db/database.h"
#include "xmlrepo/xml_undo_object.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

// Opens the application's undo object in the working database's table.
Acad::ErrorStatus openApplication(const wchar_t* appName, AcDb::OpenMode mode,
                                  CVLKXMLUndoObject*& object) {
    if (appName == nullptr) {
        return Acad::eNullPtr;
    }
    boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable();
    if (table == nullptr) {
        return Acad::eNoWorkingDatabase;
    }
    return table->OpenUndoObject(appName, object, mode);
}

}  // namespace

Acad::ErrorStatus _CXMLHandler::GetXML(const wchar_t* appName, CString& xml) {
    CVLKXMLUndoObject* object = nullptr;
    const Acad::ErrorStatus status = openApplication(appName, AcDb::kForRead, object);
    if (status != Acad::eOk) {
        return status;
    }
    xml = object->xml();
    object->close();
    return Acad::eOk;
}

Acad::ErrorStatus _CXMLHandler::SetXML(const wchar_t* appName, const wchar_t* xml) {
    CVLKXMLUndoObject* object = nullptr;
    const Acad::ErrorStatus status = openApplication(appName, AcDb::kForWrite, object);
    if (status != Acad::eOk) {
        return status;
    }
    object->setXml(xml, true);
    object->close();
    return Acad::eOk;
}

void _CXMLHandler::Register(boost::shared_ptr<_CXMLHandlerNotifier> notifier) {
    if (boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable()) {
        table->Register(notifier);
    }
}
