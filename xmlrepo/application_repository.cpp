// CApplicationRepository: the repository document, its reading with the markup engine and its
// storage as a big string in the named object dictionary; the repository registry's look-up.
#include "xmlrepo/application_repository.h"

#include <string_view>

#include "common/module_state.h"
#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/host/db/database.h"
#include "kestrel/xmlrepo/xml_markup_doc.h"
#include "xmlrepo/database_registry.h"

namespace {

const wchar_t kDictionaryName[] = L"VLKX_XMLUndo";
const wchar_t kRecordName[] = L"Repository";
const wchar_t kRootElement[] = L"appRepository";
const wchar_t kEntryElement[] = L"repositoryEntry";
const wchar_t kNameAttribute[] = L"refId";
constexpr std::wstring_view kDocumentStart = L"<appRepository>";
constexpr std::wstring_view kDocumentEnd = L"</appRepository>";
constexpr std::wstring_view kEntryStart = L"<repositoryEntry refId=\"";
constexpr std::wstring_view kEntryNameEnd = L"\">";
constexpr std::wstring_view kEntryEnd = L"</repositoryEntry>";

// The working database's serial number, 0 without one.
std::uint64_t workingDatabaseSerial() {
    const AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    return db != nullptr ? db->serial() : 0;
}

}  // namespace

CApplicationRepository::CApplicationRepository() : m_databaseSerial(workingDatabaseSerial()) {
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
    std::size_t length = kDocumentStart.size() + kDocumentEnd.size();
    for (const auto& [name, xml] : m_entries) {
        length += kEntryStart.size() + name.GetLength() + kEntryNameEnd.size() + xml.GetLength() +
                  kEntryEnd.size();
    }
    std::wstring text;
    text.reserve(length);
    text += kDocumentStart;
    for (const auto& [name, xml] : m_entries) {
        text += kEntryStart;
        text += name.str();
        text += kEntryNameEnd;
        text += xml.str();
        text += kEntryEnd;
    }
    text += kDocumentEnd;
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
