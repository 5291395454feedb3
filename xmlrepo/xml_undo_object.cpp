// CVLKXMLUndoObject: its filing and its runtime class, registered among the module's statics
// (common/module_parts.h).
#include "xmlrepo/xml_undo_object.h"

#include <boost/shared_ptr.hpp>

#include "common/module_parts.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

constexpr int kVersionCode = 90;
constexpr int kTextCode = 1;

AcRxObject* createUndoObject() {
    return new CVLKXMLUndoObject();
}

}  // namespace

KESTREL_APP_DEFINE_MEMBERS(
    CVLKXMLUndoObject, AcDbObject, 29, 6, 0, createUndoObject, L"VLKXMLUNDOOBJECT",
    L"\"VLKXUNDOOBJECTAPP\" \"|Product Desc: XML text of a client application, kept for undo\" "
    L"\"|Company: Kestrel\" \"|WEB Address: https://kestrel.invalid\"")

const kestrel::ModuleClass kestrel::kUndoObjectClass{&CVLKXMLUndoObject::desc,
                                                     &CVLKXMLUndoObject::rxInit};

const CString& CVLKXMLUndoObject::xml() const {
    assertReadEnabled();
    return m_xml;
}

void CVLKXMLUndoObject::setXml(const wchar_t* xml, bool recordUndo) {
    if (recordUndo) {
        assertWriteEnabled(true, true);
    }
    m_xml = xml != nullptr ? xml : L"";
}

Acad::ErrorStatus CVLKXMLUndoObject::dwgOutFields(AcDbDwgFiler* filer) const {
    assertReadEnabled();
    Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if ((status = filer->writeUInt32(kObjectVersion)) != Acad::eOk) {
        return status;
    }
    if ((status = filer->writeString(m_xml.str())) != Acad::eOk) {
        return status;
    }
    return filer->filerStatus();
}

Acad::ErrorStatus CVLKXMLUndoObject::dwgInFields(AcDbDwgFiler* filer) {
    assertWriteEnabled(true, true);
    Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Adesk::UInt32 version = 0;
    if ((status = filer->readUInt32(&version)) != Acad::eOk) {
        return status;
    }
    if (version > kObjectVersion) {
        return Acad::eNewerObjectVersion;
    }
    std::wstring text;
    if ((status = filer->readString(text)) != Acad::eOk) {
        return status;
    }
    m_xml = std::move(text);
    status = filer->filerStatus();
    if (boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable()) {
        table->NotifyRestored(m_appName, m_xml);
    }
    return status;
}

Acad::ErrorStatus CVLKXMLUndoObject::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if ((status = filer->writeString(100, kSubclassName)) != Acad::eOk) {
        return status;
    }
    if ((status = filer->writeUInt32(kVersionCode, kObjectVersion)) != Acad::eOk) {
        return status;
    }
    if ((status = filer->writeString(kTextCode, m_xml.str())) != Acad::eOk) {
        return status;
    }
    return filer->filerStatus();
}

Acad::ErrorStatus CVLKXMLUndoObject::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled(true, true);
    if (AcDbObject::dxfInFields(filer) != Acad::eOk || !filer->atSubclassData(kSubclassName)) {
        return filer->filerStatus();
    }
    host::DxfItem item;
    const bool read = filer->readItem(item) == Acad::eOk;
    if (!read || item.code != kVersionCode) {
        if (read) {
            filer->pushBackItem();
        }
        return filer->setError(Acad::eMissingDxfField,
                               L"\nError: expected group code %d (version #)", kVersionCode);
    }
    if (static_cast<Adesk::UInt32>(item.integer()) > kObjectVersion) {
        return Acad::eNewerObjectVersion;
    }
    for (;;) {
        const Acad::ErrorStatus status = filer->readItem(item);
        if (status == Acad::eEndOfFile) {
            break;
        }
        if (status != Acad::eOk) {
            return Acad::eDxfReadFailed;
        }
        if (item.code != kTextCode) {
            filer->pushBackItem();
            break;
        }
        m_xml = item.text();
    }
    return filer->filerStatus();
}
