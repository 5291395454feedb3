// Fixture of the XML repository tests: the shared document fixture, whose tests also leave every
// registry entry dropped; a folder for drawing files and a notifier that records what it hears.
#pragma once

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>
#include <string>
#include <vector>

#include "common/module_state.h"
#include "kestrel/host/app/document.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "tests/support/document_test.h"
#include "tests/support/test_folder.h"
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

class RepositoryTest : public testsupport::DocumentTest {
protected:
    void TearDown() override {
        DocumentTest::TearDown();
        // Closing a document drops its entries; a test that made others removes them itself.
        EXPECT_TRUE(kestrel::undoTableRegistry().empty());
        EXPECT_TRUE(kestrel::repositoryRegistry().empty());
    }

    std::wstring path(const char* name) const { return m_files.widePath(name); }

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

    testsupport::TestFolder m_files;
};

}  // namespace repotest
