// CApplicationRepository: the repository document, its reading with the markup engine and its
// storage as a big string in the named object dictionary; the repository registry's look-up.
#include "xmlrepo/application_repository.h"

#include "access/dictionary_ptr.h"
#include "frame/module_state.h"
#include "host/db/database.h"
#include "xmlrepo/database_registry.h"
#include "xmlrepo/xml_markup_doc.h"

namespace {

const wchar_t kDictionaryName[] = L"VLKX_XMLUndo";
const wchar_t kRecordName[] = L"Repository";
const wchar_t kRootElement[] = L"appRepository";
const wchar_t kEntryElement[] = L"repositoryEntry";
const wchar_t kNameAttribute[] = L"refId";

}  // namespace

CApplicationRepository::CApplicationRepository()
    : m_databaseSerial(acdbHostApplicationServices()->workingDatabase()->serial()) {
    Load();
}

bool CApplicationRepository::Load() {
    m_entries.clear();
    CString text;
    CVLKCDictionaryPtr dictionary(AcDb::kForRead);
    dictionary.dctReadBigString(kDictionaryName, kRecordName, text);
    CXMLMarkupDoc document;
    if (!document.SetDocument(std::move(text))) {
        return false;
    }
    if (!document.FindElement(kRootElement)) {
        return true;
    }
    document.EnterElement();
    while (document.FindElement(kEntryElement)) {
        m_entries.emplace(document.GetAttribute(kNameAttribute), document.GetElementContent());
    }
    document.LeaveElement();
    return true;
}

bool CApplicationRepository::Save() {
    CVLKCDictionaryPtr dictionary(AcDb::kForRead);
    dictionary.upgradeOpen();
    CString text;
    return dictionary.dctWriteBigString(kDictionaryName, kRecordName, BuildDocument(text)) ==
           Acad::eOk;
}

CString& CApplicationRepository::BuildDocument(CString& out) const {
    std::size_t length = 0;
    for (const auto& [name, xml] : m_entries) {
        length += name.GetLength() + xml.GetLength() + 64;
    }
    std::wstring text;
    text.reserve(length + 64);
    text += L"<appRepository>";
    for (const auto& [name, xml] : m_entries) {
        text += L"<repositoryEntry refId=\"";
        text += name.str();
        text += L"\">";
        text += xml.str();
        text += L"</repositoryEntry>";
    }
    text += L"</appRepository>";
    out = std::move(text);
    return out;
}

CString CApplicationRepository::GetEntry(const wchar_t* appName) const {
    auto found = m_entries.find(CString(appName));
    return found != m_entries.end() ? found->second : CString();
}

bool CApplicationRepository::SetEntry(const wchar_t* appName, const wchar_t* xml) {
    CString text(xml);
    const int declarationEnd = text.Find(L"?>");
    if (declarationEnd >= 0) {
        text = text.Mid(declarationEnd + 2);
    }
    m_entries.insert_or_assign(CString(appName), std::move(text));
    return true;
}

int CApplicationRepository::GetEntryNames(CStringArray& names) const {
    names.RemoveAll();
    for (const auto& [name, xml] : m_entries) {
        names.Add(name);
    }
    return names.GetSize();
}

boost::shared_ptr<CApplicationRepository> GetRepository() {
    return kestrel::workingDatabaseEntry(kestrel::repositoryRegistry());
}

void ReleaseRepository() {
    kestrel::releaseWorkingDatabaseEntry(kestrel::repositoryRegistry());
}
