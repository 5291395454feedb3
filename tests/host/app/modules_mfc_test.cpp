// The extension-module stand-ins and the operating-system entry caller.
#include "kestrel/platform/mfc_module.h"
#include "tests/host/app/docs_fixture.h"

namespace {

std::vector<std::pair<HINSTANCE, DWORD>> entryCalls;

BOOL recordEntry(HINSTANCE instance, DWORD reason, LPVOID) {
    entryCalls.emplace_back(instance, reason);
    return TRUE;
}

class MfcTest : public ::testing::Test {
protected:
    void SetUp() override { platform::clearMfcCalls(); }
    void TearDown() override { platform::setAfxInitExtensionModuleFails(false); }
};

TEST_F(MfcTest, ExtensionModuleLifecycle) {
    const HINSTANCE instance = platform::moduleInstance(&entryCalls);
    ASSERT_NE(instance, nullptr);
    AFX_EXTENSION_MODULE state = {};
    ASSERT_TRUE(AfxInitExtensionModule(state, instance));
    EXPECT_TRUE(state.bInitialized);
    EXPECT_EQ(state.hResource, instance);
    EXPECT_FALSE(AfxInitExtensionModule(state, instance));
    const std::size_t before = AfxGetModuleState()->m_libraries.size();
    auto* library = new CDynLinkLibrary(state);
    EXPECT_EQ(AfxGetModuleState()->m_libraries.back(), library);
    EXPECT_EQ(library->m_hModule, instance);
    InitAcUiDLL();
    AfxTermExtensionModule(state);
    EXPECT_FALSE(state.bInitialized);
    EXPECT_EQ(AfxGetModuleState()->m_libraries.size(), before);
    EXPECT_EQ(platform::mfcCalls(),
              (std::vector<std::wstring>{L"AfxInitExtensionModule", L"AfxInitExtensionModule",
                                         L"CDynLinkLibrary", L"InitAcUiDLL",
                                         L"AfxTermExtensionModule", L"~CDynLinkLibrary"}));
}

TEST_F(MfcTest, AFailingInitLeavesTheModuleDetached) {
    AFX_EXTENSION_MODULE state = {};
    platform::setAfxInitExtensionModuleFails(true);
    EXPECT_FALSE(AfxInitExtensionModule(state, platform::moduleInstance(&entryCalls)));
    EXPECT_FALSE(state.bInitialized);
    platform::setAfxInitExtensionModuleFails(false);
    EXPECT_FALSE(AfxInitExtensionModule(state, nullptr));
    // Terminating a module never attached does nothing more than record the call.
    AfxTermExtensionModule(state);
    EXPECT_EQ(platform::mfcCalls().back(), L"AfxTermExtensionModule");
    EXPECT_NE(AfxGetModuleState()->m_hCurrentResourceHandle, nullptr);
}

TEST_F(MfcTest, EntryCallerRunsAttachThenDetach) {
    entryCalls.clear();
    {
        platform::DllEntryCaller caller(&recordEntry);
        ASSERT_EQ(entryCalls.size(), 1u);
        EXPECT_EQ(entryCalls[0].second, DLL_PROCESS_ATTACH);
        EXPECT_EQ(entryCalls[0].first, platform::moduleInstance(&entryCalls));
    }
    ASSERT_EQ(entryCalls.size(), 2u);
    EXPECT_EQ(entryCalls[1].second, DLL_PROCESS_DETACH);
    EXPECT_EQ(platform::moduleInstance(nullptr), nullptr);
}

}  // namespace
