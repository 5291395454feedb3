// Loading and unloading application modules built as shared libraries (tests/modules): the order
// of statics, entry, messages and teardown, the unlock rule, the refusal while drawings hold the
// module's objects, and modules that cannot be loaded.
#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/rx/app_framework.h"
#include "kestrel/platform/mfc_module.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/app/docs_fixture.h"

namespace {

using Names = std::vector<std::wstring>;

const std::wstring kSample = utf8ToWide(KESTREL_MODULE_SAMPLE);
const std::wstring kLocked = utf8ToWide(KESTREL_MODULE_LOCKED);
const std::wstring kDependent = utf8ToWide(KESTREL_MODULE_DEPENDENT);

// The lines a variant of the sample module printed since the command line was last cleared.
Names trace(const wchar_t* variant = L"sample") {
    Names lines;
    std::wistringstream text(host::commandLine());
    std::wstring line;
    const std::wstring prefix = L"[" + std::wstring(variant) + L"] ";
    while (std::getline(text, line)) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line.substr(prefix.size()));
        }
    }
    return lines;
}

bool classRegistered(const wchar_t* name) {
    return acrxClassDictionary->at(name) != nullptr;
}

// Adds a note of the sample module's class to db through the loaded module of that path.
AcDbObjectId addNote(const char* module, const char* function, AcDbDatabase* db) {
    void* library = dlopen(module, RTLD_NOW | RTLD_NOLOAD);
    AcDbObjectId note;
    if (library != nullptr) {
        if (auto add = reinterpret_cast<void (*)(AcDbDatabase*, AcDbObjectId*)>(
                dlsym(library, function))) {
            add(db, &note);
        }
        dlclose(library);
    }
    return note;
}

class ModulesTest : public DocsTest {
protected:
    void SetUp() override {
        DocsTest::SetUp();
        platform::clearMfcCalls();
        m_editorReactors = acedEditor->numReactors();
    }
    void TearDown() override {
        EXPECT_TRUE(host::loadedModules().empty());
        EXPECT_EQ(acedEditor->numReactors(), m_editorReactors);
        DocsTest::TearDown();
    }

    // Checks that a refused load left nothing behind: statics built and destroyed again, no
    // class, no module.
    void expectNothingLeft(const wchar_t* variant) {
        const Names lines = trace(variant);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), L"statics begin");
        EXPECT_EQ(lines.back(), L"statics end");
        EXPECT_FALSE(classRegistered(L"SampleNote"));
        EXPECT_FALSE(classRegistered(L"SampleDocReactor"));
        EXPECT_TRUE(host::loadedModules().empty());
    }

    int m_editorReactors = 0;
};

TEST_F(ModulesTest, LoadAndUnloadRunEveryStepInOrder) {
    host::newDocument();
    host::clearCommandLine();
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(trace(), (Names{L"statics begin", L"class registered", L"editor reactor attached",
                              L"entry attach", L"kInitAppMsg", L"RegisterServerComponents",
                              L"kLoadDwgMsg"}));
    EXPECT_EQ(platform::mfcCalls(),
              (Names{L"AfxInitExtensionModule", L"CDynLinkLibrary", L"InitAcUiDLL"}));
    EXPECT_EQ(host::loadedModules().size(), 1u);
    EXPECT_FALSE(acrxDynamicLinker->isApplicationLocked(L"libtest_module_sample.so"));
    EXPECT_TRUE(acrxDynamicLinker->isAppMDIAware(kSample.c_str()));

    auto* reactorClass = AcRxClass::cast(acrxClassDictionary->at(L"SampleDocReactor"));
    ASSERT_NE(reactorClass, nullptr);
    EXPECT_EQ(reactorClass->myParent(), AcApDocManagerReactor::desc());
    EXPECT_EQ(reactorClass->proxyFlags(), 1);
    auto* noteClass = AcRxClass::cast(acrxClassDictionary->at(L"SampleNote"));
    ASSERT_NE(noteClass, nullptr);
    int dwg = 0;
    int maintenance = 0;
    noteClass->getClassVersion(dwg, maintenance);
    EXPECT_EQ(dwg, 29);
    EXPECT_EQ(maintenance, 6);
    EXPECT_STREQ(noteClass->dxfName(), L"SAMPLENOTE");

    host::clearCommandLine();
    platform::clearMfcCalls();
    ASSERT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(trace(), (Names{L"kUnloadAppMsg", L"entry detach", L"editor reactor removed",
                              L"class deleted", L"statics end"}));
    EXPECT_EQ(platform::mfcCalls(), (Names{L"AfxTermExtensionModule", L"~CDynLinkLibrary"}));
    EXPECT_FALSE(classRegistered(L"SampleNote"));
    EXPECT_FALSE(classRegistered(L"SampleDocReactor"));
}

TEST_F(ModulesTest, DocumentsReachLoadedModules) {
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kAlreadyLoaded);
    host::clearCommandLine();
    AcApDocument* doc = host::newDocument();
    host::saveDocument(doc, L"/nonexistent-folder/x.dxf");
    EXPECT_EQ(host::closeDocument(doc), Acad::eOk);
    EXPECT_EQ(trace(), (Names{L"kLoadDwgMsg", L"beginSave", L"kUnloadDwgMsg"}));
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kOk);
}

TEST_F(ModulesTest, UnloadIsRefusedWhileDrawingsHoldTheModulesObjects) {
    AcApDocument* doc = host::newDocument();
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    const AcDbObjectId note = addNote(KESTREL_MODULE_SAMPLE, "sampleAddNote", doc->database());
    ASSERT_FALSE(note.isNull());

    host::clearCommandLine();
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kClassesInUse);
    EXPECT_NE(host::commandLine().find(L"SampleNote"), std::wstring::npos);
    EXPECT_TRUE(trace().empty());

    // Erased objects stay in the drawing, so they still count.
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(object, note, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(object->erase(), Acad::eOk);
    object->close();
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kClassesInUse);
    EXPECT_EQ(host::loadedModules().size(), 1u);

    ASSERT_EQ(host::closeDocument(doc), Acad::eOk);
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kOk);
}

TEST_F(ModulesTest, ALockedModuleStaysMapped) {
    ASSERT_EQ(host::loadModule(kLocked.c_str()), host::ModuleStatus::kOk);
    EXPECT_TRUE(acrxDynamicLinker->isApplicationLocked(kLocked.c_str()));
    host::clearCommandLine();
    EXPECT_EQ(host::unloadModule(kLocked.c_str()), host::ModuleStatus::kKeptMapped);
    // Message 2 ran, the library was not closed: its statics live on.
    EXPECT_EQ(trace(L"locked"), Names{L"kUnloadAppMsg"});
    EXPECT_FALSE(classRegistered(L"LockedDocReactor"));
    EXPECT_TRUE(classRegistered(L"LockedNote"));
    EXPECT_TRUE(host::loadedModules().empty());

    host::clearCommandLine();
    ASSERT_EQ(host::loadModule(kLocked.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(trace(L"locked"), (Names{L"kInitAppMsg", L"RegisterServerComponents"}));
    EXPECT_TRUE(classRegistered(L"LockedDocReactor"));
    EXPECT_EQ(host::unloadModule(kLocked.c_str()), host::ModuleStatus::kKeptMapped);
    // The module's statics, its editor reactor among them, stay until the process ends.
    m_editorReactors = acedEditor->numReactors();
}

TEST_F(ModulesTest, ModulesThatCannotBeLoadedLeaveNothing) {
    host::clearCommandLine();
    EXPECT_EQ(host::loadModule(utf8ToWide(KESTREL_MODULE_OLD_VERSION).c_str()),
              host::ModuleStatus::kWrongApiVersion);
    expectNothingLeft(L"old_version");
    EXPECT_NE(host::commandLine().find(L"API version 110000"), std::wstring::npos);

    host::clearCommandLine();
    EXPECT_EQ(host::loadModule(utf8ToWide(KESTREL_MODULE_NO_ENTRY).c_str()),
              host::ModuleStatus::kNoEntryPoint);
    expectNothingLeft(L"no_entry");
    EXPECT_NE(host::commandLine().find(L"no acrxEntryPoint"), std::wstring::npos);

    host::clearCommandLine();
    EXPECT_EQ(host::loadModule(utf8ToWide(KESTREL_MODULE_REFUSING).c_str()),
              host::ModuleStatus::kInitRefused);
    expectNothingLeft(L"refusing");
    EXPECT_EQ(trace(L"refusing")[4], L"kInitAppMsg");
}

TEST_F(ModulesTest, WhatAnUnmappedModuleLeftBehindIsReported) {
    // A class left behind stays registered for the rest of the process; a later load of the
    // module takes it over, so only a first load reports it.
    const bool firstLoad = !classRegistered(L"LeakyNote");
    const std::wstring leaky = utf8ToWide(KESTREL_MODULE_LEAKY);
    ASSERT_EQ(host::loadModule(leaky.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(acedEditor->numReactors(), m_editorReactors + 1);
    ASSERT_EQ(host::unloadModule(leaky.c_str()), host::ModuleStatus::kOk);
    // Its reactor no longer hears anything: the code it would run is gone.
    EXPECT_EQ(acedEditor->numReactors(), m_editorReactors);
    AcApDocument* doc = host::newDocument();
    host::saveDocument(doc, L"/nonexistent-folder/x.dxf");
    const std::vector<std::wstring> violations = host::contractViolations();
    ASSERT_EQ(violations.size(), firstLoad ? 2u : 1u);
    EXPECT_NE(violations[0].find(L"left a reactor attached"), std::wstring::npos);
    if (firstLoad) {
        EXPECT_NE(violations[1].find(L"left class LeakyNote registered"), std::wstring::npos);
    }
    EXPECT_TRUE(classRegistered(L"LeakyNote"));
    host::clearContractViolations();
}

TEST_F(ModulesTest, AClientLoadsOnlyAfterTheModuleItLinks) {
    host::clearCommandLine();
    EXPECT_EQ(host::loadModule(kDependent.c_str()), host::ModuleStatus::kDependencyNotLoaded);
    EXPECT_NE(host::commandLine().find(L"it needs module " + kSample + L", which is not loaded"),
              std::wstring::npos)
        << host::commandLine();
    // The sample module came and went with the client, without a message.
    expectNothingLeft(L"sample");
    EXPECT_EQ(trace(L"dependent"), Names{});

    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    ASSERT_EQ(host::loadModule(kDependent.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(host::loadedModules().size(), 2u);
    EXPECT_EQ(host::tearDown(), L"");
}

TEST_F(ModulesTest, ObjectsHoldTheModuleOfTheirClassNotTheClientThatMadeThem) {
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    ASSERT_EQ(host::loadModule(kDependent.c_str()), host::ModuleStatus::kOk);
    AcApDocument* doc = host::newDocument();
    ASSERT_FALSE(addNote(KESTREL_MODULE_DEPENDENT, "dependentAddNote", doc->database()).isNull());
    EXPECT_EQ(host::unloadModule(kDependent.c_str()), host::ModuleStatus::kOk);
    host::clearCommandLine();
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kClassesInUse);
    EXPECT_NE(host::commandLine().find(L"(SampleNote)"), std::wstring::npos);
    EXPECT_EQ(host::tearDown(), L"");
}

TEST_F(ModulesTest, TearDownClosesDocumentsThenUnloadsClientsFirst) {
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    ASSERT_EQ(host::loadModule(kDependent.c_str()), host::ModuleStatus::kOk);
    host::newDocument();
    host::newDocument();
    host::clearCommandLine();
    EXPECT_EQ(host::tearDown(), L"");
    EXPECT_TRUE(host::documents().empty());
    EXPECT_TRUE(host::loadedModules().empty());
    const std::wstring said = host::commandLine();
    const std::size_t documentClosed = said.find(L"[sample] kUnloadDwgMsg");
    const std::size_t clientUnloaded = said.find(L"[dependent] kUnloadAppMsg");
    const std::size_t moduleUnloaded = said.find(L"[sample] kUnloadAppMsg");
    ASSERT_NE(moduleUnloaded, std::wstring::npos) << said;
    EXPECT_LT(documentClosed, clientUnloaded);
    EXPECT_LT(clientUnloaded, moduleUnloaded);
    EXPECT_EQ(trace().back(), L"statics end");

    // A database outside the documents still holds a note: the module stays, and says why.
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    auto* db = new AcDbDatabase();
    ASSERT_FALSE(addNote(KESTREL_MODULE_SAMPLE, "sampleAddNote", db).isNull());
    const std::wstring failures = host::tearDown();
    EXPECT_NE(failures.find(L"Cannot unload " + kSample), std::wstring::npos) << failures;
    EXPECT_NE(failures.find(L"(SampleNote)"), std::wstring::npos);
    delete db;
    EXPECT_EQ(host::tearDown(), L"");
}

TEST_F(ModulesTest, BadPathsAreRefused) {
    EXPECT_EQ(host::loadModule(nullptr), host::ModuleStatus::kInvalidPath);
    EXPECT_EQ(host::loadModule(L""), host::ModuleStatus::kInvalidPath);
    EXPECT_EQ(host::loadModule(L"/no/such/module.so"), host::ModuleStatus::kNotFound);
    const std::filesystem::path text =
        std::filesystem::temp_directory_path() / "kestrel_not_a_module.so";
    std::ofstream(text) << "not a shared library";
    EXPECT_EQ(host::loadModule(utf8ToWide(text.string()).c_str()), host::ModuleStatus::kOpenFailed);
    std::filesystem::remove(text);
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kNotLoaded);
    EXPECT_EQ(host::unloadModule(nullptr), host::ModuleStatus::kNotLoaded);
    EXPECT_FALSE(acrxDynamicLinker->unlockApplication(nullptr));
    EXPECT_FALSE(acrxDynamicLinker->registerAppMDIAware(this));
    EXPECT_STREQ(host::moduleStatusText(host::ModuleStatus::kClassesInUse), L"kClassesInUse");
}

}  // namespace
