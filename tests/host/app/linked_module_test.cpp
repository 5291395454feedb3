// A test program that links a module itself, as a client's test program links the module its
// client calls: the loader still initialises the module when it is loaded, a client of it waits
// for that, and unloading it leaves the module whole, since the program keeps it mapped.
#include <gtest/gtest.h>

#include <string>

#include "kestrel/host/app/editor.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/testing.h"
#include "kestrel/platform/utf8.h"

extern "C" void sampleAddNote(AcDbDatabase* db, AcDbObjectId* id);

namespace {

const std::wstring kSample = utf8ToWide(KESTREL_MODULE_SAMPLE);
const std::wstring kDependent = utf8ToWide(KESTREL_MODULE_DEPENDENT);

class LinkedModuleTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(host::tearDown(), L"");
        EXPECT_TRUE(host::nothingLeftOpen());
    }
};

TEST_F(LinkedModuleTest, AClientWaitsUntilTheLinkedModuleIsLoaded) {
    host::clearCommandLine();
    EXPECT_EQ(host::loadModule(kDependent.c_str()), host::ModuleStatus::kDependencyNotLoaded);
    EXPECT_NE(host::commandLine().find(L"load that first"), std::wstring::npos);
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(host::loadModule(kDependent.c_str()), host::ModuleStatus::kOk);
}

TEST_F(LinkedModuleTest, UnloadingLeavesTheLinkedModuleWhole) {
    const int reactors = acedEditor->numReactors();  // the module's statics attached one
    for (int round = 0; round < 2; ++round) {
        host::clearCommandLine();
        ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
        EXPECT_NE(host::commandLine().find(L"[sample] kInitAppMsg"), std::wstring::npos);
        EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kOk);
        // Its reactor and class belong to code that is still there: nothing is taken away.
        EXPECT_EQ(acedEditor->numReactors(), reactors);
        EXPECT_NE(acrxClassDictionary->at(L"SampleNote"), nullptr);
    }
}

TEST_F(LinkedModuleTest, ItsClassesHoldItThoughRegisteredBeforeItWasLoaded) {
    ASSERT_EQ(host::loadModule(kSample.c_str()), host::ModuleStatus::kOk);
    auto* db = new AcDbDatabase();
    AcDbObjectId note;
    sampleAddNote(db, &note);
    ASSERT_FALSE(note.isNull());
    EXPECT_EQ(host::unloadModule(kSample.c_str()), host::ModuleStatus::kClassesInUse);
    delete db;
}

}  // namespace
