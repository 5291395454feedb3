// The repository end to end through the host, as a client module uses it: libkestrel loaded by
// the host's loader, the client interface reached through the loaded library, texts written in
// commands, undone and redone, kept apart per drawing, saved into the file and read back after
// the drawing is opened again; the unload refused while drawings hold undo objects.
#include <dlfcn.h>

#include "kestrel/host/rx/dictionary.h"
#include "tests/xmlrepo/repository_fixture.h"

namespace {

using repotest::HeardList;
using repotest::RecordingNotifier;

const std::string kKestrelPath = KESTREL_BINARY_DIR "/lib/libkestrel.so";

bool mapped() {
    void* library = dlopen(kKestrelPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr) {
        dlclose(library);
    }
    return library != nullptr;
}

// The client interface as the dynamic linker binds it for a client module of the loaded library.
struct ClientInterface {
    using GetXML = Acad::ErrorStatus(const wchar_t*, CString&);
    using SetXML = Acad::ErrorStatus(const wchar_t*, const wchar_t*);
    using Register = void(boost::shared_ptr<_CXMLHandlerNotifier>);

    GetXML* getXml = nullptr;
    SetXML* setXml = nullptr;
    Register* registerNotifier = nullptr;

    bool bind() {
        void* library = dlopen(kKestrelPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (library == nullptr) {
            return false;
        }
        getXml = reinterpret_cast<GetXML*>(dlsym(library, "_ZN12_CXMLHandler6GetXMLEPKwR7CString"));
        setXml = reinterpret_cast<SetXML*>(dlsym(library, "_ZN12_CXMLHandler6SetXMLEPKwS1_"));
        registerNotifier = reinterpret_cast<Register*>(dlsym(
            library, "_ZN12_CXMLHandler8RegisterEN5boost10shared_ptrI20_CXMLHandlerNotifierEE"));
        dlclose(library);
        return getXml != nullptr && setXml != nullptr && registerNotifier != nullptr;
    }

    std::wstring text(const wchar_t* appName) const {
        CString xml;
        return getXml(appName, xml) == Acad::eOk ? xml.str() : L"<failed>";
    }

    Acad::ErrorStatus setInCommand(const wchar_t* appName, const wchar_t* xml) const {
        host::beginCommand(L"CLIENTCMD");
        const Acad::ErrorStatus status = setXml(appName, xml);
        host::endCommand();
        return status;
    }

    boost::shared_ptr<RecordingNotifier> listen() const {
        auto notifier = boost::make_shared<RecordingNotifier>();
        registerNotifier(notifier);
        return notifier;
    }
};

// Calls nothing of the module directly, so a program that only loads it stays free of it.
class EndToEndTest : public testsupport::DocumentTest {
protected:
    std::wstring path(const char* name) const { return m_files.widePath(name); }

    testsupport::TestFolder m_files;
};

TEST_F(EndToEndTest, XmlRepositoryFromAFreshDocumentToAReopenedFile) {
    // This program does not link the module: the loader maps it and unmaps it again.
    ASSERT_FALSE(mapped());
    const std::wstring module = utf8ToWide(kKestrelPath);
    const host::ModuleStatus loaded = host::loadModule(module.c_str());
    ASSERT_EQ(loaded, host::ModuleStatus::kOk) << wideToUtf8(host::moduleStatusText(loaded));
    ClientInterface client;
    ASSERT_TRUE(client.bind());
    // The undo object's class from mapping, the document reactor's from initialisation.
    EXPECT_NE(acrxClassDictionary->at(L"CVLKXMLUndoObject"), nullptr);
    EXPECT_NE(acrxClassDictionary->at(L"CVLKXDocumentReactor"), nullptr);
    EXPECT_EQ(acrxClassDictionary->at(L"VLKXEditorReactor"), nullptr);

    // A fresh drawing: the client reads its text, then changes it in two commands.
    auto inA = client.listen();
    EXPECT_EQ(client.text(L"Client"), L"");
    ASSERT_EQ(client.setInCommand(L"Client", L"<v n=\"1\"/>"), Acad::eOk);
    ASSERT_EQ(client.setInCommand(L"Client", L"<v n=\"2\"/>"), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(client.text(L"Client"), L"<v n=\"1\"/>");
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(client.text(L"Client"), L"<v n=\"2\"/>");
    EXPECT_EQ(inA->heard,
              (HeardList{{'R', L"Client", L"<v n=\"1\"/>"}, {'R', L"Client", L"<v n=\"2\"/>"}}));

    // A second drawing open at the same time keeps its own text and notifiers.
    host::newDocument();
    auto inB = client.listen();
    EXPECT_EQ(client.text(L"Client"), L"");
    ASSERT_EQ(client.setInCommand(L"Client", L"<b/>"), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(inB->heard, (HeardList{{'R', L"Client", L""}}));
    EXPECT_EQ(inA->heard.size(), 2u);
    ASSERT_EQ(host::activateDocument(m_doc), Acad::eOk);
    EXPECT_EQ(client.text(L"Client"), L"<v n=\"2\"/>");

    // Saving writes the texts into the file.
    ASSERT_EQ(host::saveDocument(m_doc, path("drawing.dxf").c_str()), Acad::eOk);
    EXPECT_EQ(inA->heard.back(), (repotest::Heard{'S', L"Client", L"<v n=\"2\"/>"}));
    EXPECT_EQ(host::unloadModule(module.c_str()), host::ModuleStatus::kClassesInUse);

    // Closing both and opening the file brings the text back.
    boost::weak_ptr<RecordingNotifier> watchA = inA;
    inA.reset();
    inB.reset();
    ASSERT_EQ(host::closeAllDocuments(), Acad::eOk);
    EXPECT_TRUE(watchA.expired());
    Acad::ErrorStatus status = Acad::eOk;
    m_doc = host::openDocument(path("drawing.dxf").c_str(), &status);
    ASSERT_NE(m_doc, nullptr) << status;
    auto reopened = client.listen();
    EXPECT_EQ(reopened->heard, (HeardList{{'L', L"Client", L"<v n=\"2\"/>"}}));
    EXPECT_EQ(client.text(L"Client"), L"<v n=\"2\"/>");
    ASSERT_EQ(client.setInCommand(L"Client", L"<v n=\"3\"/>"), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(client.text(L"Client"), L"<v n=\"2\"/>");

    // The name strings were made by the module and are freed through it: a client lets go of
    // them before the module goes.
    reopened.reset();
    ASSERT_EQ(host::closeAllDocuments(), Acad::eOk);
    EXPECT_EQ(host::unloadModule(module.c_str()), host::ModuleStatus::kOk);
    EXPECT_FALSE(mapped());
    EXPECT_EQ(acrxClassDictionary->at(L"CVLKXMLUndoObject"), nullptr);
    EXPECT_EQ(acrxClassDictionary->at(L"CVLKXDocumentReactor"), nullptr);
}

}  // namespace
