// Fixture of the XML repository tests: a fresh current document per test, a folder for drawing
// files, a notifier that records what it hears, and the checks every test ends with (nothing
// left open, no contract violation, every document closed and its registry entries dropped).
#pragma once

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>
#include <filesystem>
#include <string>
#include <vector>

#include "common/module_state.h"
#include "kestrel/host/app/document.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "tests/xmlrepo/xml_test_support.h"
#include "tests/support/host_checks.h"

namespace repotest {

// One notification: its kind ('R'estored, 'S'aving, 'L'oaded), application and text.
struct Heard {
    char kind;
    std::wstring appName;
    std::wstring xml;
    bool operator==(const Heard&) const = default;
};

inline void PrintTo(const Heard& heard, std::ostream* out) {
    *out << heard.kind << ' ' << wideToUtf8(heard.appName) << '=' << wideToUtf8(heard.xml);
}

using HeardList = std::vector<Heard>;

// Records every notification, with the name strings it was given (to check they are new).
class RecordingNotifier : public _CXMLHandlerNotifier {
public:
    void OnXMLRestored(boost::shared_ptr<CString> appName, const CString& xml) override {
        note('R', appName, xml);
    }
    void OnXMLSaving(boost::shared_ptr<CString> appName, const CString& xml) override {
        note('S', appName, xml);
    }
    void OnXMLLoaded(boost::shared_ptr<CString> appName, const CString& xml) override {
        note('L', appName, xml);
    }

    HeardList heard;
    std::vector<boost::shared_ptr<CString>> names;

private:
    void note(char kind, const boost::shared_ptr<CString>& appName, const CString& xml) {
        heard.push_back({kind, appName->str(), xml.str()});
        names.push_back(appName);
    }
};

class RepositoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host::documents().empty());
        host::clearContractViolations();
        host::clearCommandLine();
        m_folder = std::filesystem::temp_directory_path() /
                   ("kestrel_xmlrepo_" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_doc = host::newDocument();
    }

    void TearDown() override {
        testsupport::expectHostClean();
        // Closing a document drops its entries; a test that made others removes them itself.
        EXPECT_TRUE(kestrel::undoTableRegistry().empty());
        EXPECT_TRUE(kestrel::repositoryRegistry().empty());
        std::filesystem::remove_all(m_folder);
    }

    std::wstring path(const char* name) const { return utf8ToWide((m_folder / name).string()); }
    AcDbDatabase* db() const { return m_doc->database(); }

    // A notifier registered with the working database.
    boost::shared_ptr<RecordingNotifier> registerNotifier() {
        auto notifier = boost::make_shared<RecordingNotifier>();
        _CXMLHandler::Register(notifier);
        return notifier;
    }

    // The application's text, or "<failed N>" with the status.
    static std::wstring textOf(const wchar_t* appName) {
        CString xml;
        const Acad::ErrorStatus status = _CXMLHandler::GetXML(appName, xml);
        return status == Acad::eOk ? xml.str() : L"<failed " + std::to_wstring(status) + L">";
    }

    // SetXML inside a command of its own.
    static Acad::ErrorStatus setInCommand(const wchar_t* appName, const wchar_t* xml) {
        host::beginCommand(L"SETXML");
        const Acad::ErrorStatus status = _CXMLHandler::SetXML(appName, xml);
        host::endCommand();
        return status;
    }

    std::filesystem::path m_folder;
    AcApDocument* m_doc = nullptr;
};

}  // namespace repotest
