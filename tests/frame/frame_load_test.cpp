// Loading and unloading libkestrel through the host's loader: the extension module and the
// user-interface library at mapping, unlocking and MDI-awareness at message 1, every host message
// answered kRetOK, the API version exchange, and a clean unmapping.
#include "kestrel/host/rx/app_framework.h"
#include "tests/frame/frame_fixture.h"

namespace {

using frame_test::exported;
using frame_test::FrameTest;
using frame_test::kKestrelPath;
using frame_test::mapped;
using frame_test::Names;
using frame_test::wide;

using EntryPoint = AcRx::AppRetCode(AcRx::AppMsgCode, void*);
using ApiVersion = int(int);

TEST_F(FrameTest, LoadAttachesTheExtensionModuleAndUnloadUnmapsEverything) {
    // The test program must not hold the module, or the loader could never unmap it.
    ASSERT_FALSE(mapped(kKestrelPath));
    ASSERT_EQ(host::loadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
    EXPECT_TRUE(mapped(kKestrelPath));
    EXPECT_EQ(platform::mfcCalls(),
              (Names{L"AfxInitExtensionModule", L"CDynLinkLibrary", L"InitAcUiDLL"}));
    EXPECT_EQ(AfxGetModuleState()->m_libraries.size(), 1u);
    EXPECT_FALSE(acrxDynamicLinker->isApplicationLocked(L"libkestrel.so"));
    EXPECT_TRUE(acrxDynamicLinker->isAppMDIAware(L"libkestrel.so"));
    // The module prints nothing.
    EXPECT_EQ(host::commandLine(), L"");

    platform::clearMfcCalls();
    ASSERT_EQ(host::unloadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
    EXPECT_FALSE(mapped(kKestrelPath));
    EXPECT_EQ(platform::mfcCalls(), (Names{L"AfxTermExtensionModule", L"~CDynLinkLibrary"}));
    EXPECT_TRUE(AfxGetModuleState()->m_libraries.empty());
    EXPECT_EQ(host::commandLine(), L"");
}

TEST_F(FrameTest, AFailedExtensionModuleStillInitialisesTheUserInterfaceLibrary) {
    platform::setAfxInitExtensionModuleFails(true);
    ASSERT_EQ(host::loadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
    EXPECT_EQ(platform::mfcCalls(), (Names{L"AfxInitExtensionModule", L"InitAcUiDLL"}));
    EXPECT_TRUE(AfxGetModuleState()->m_libraries.empty());

    platform::clearMfcCalls();
    ASSERT_EQ(host::unloadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
    // Never attached, so nothing to end.
    EXPECT_TRUE(platform::mfcCalls().empty());
}

TEST_F(FrameTest, EveryHostMessageIsAnsweredOk) {
    AcApDocument* before = host::newDocument();
    ASSERT_EQ(host::loadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
    auto* entry = exported<EntryPoint>(kKestrelPath, "acrxEntryPoint");
    ASSERT_NE(entry, nullptr);
    const int classes = acrxClassDictionary->numEntries();
    for (int code : {0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 255, -1}) {
        EXPECT_EQ(entry(static_cast<AcRx::AppMsgCode>(code), nullptr), AcRx::kRetOK)
            << "message " << code;
    }
    EXPECT_EQ(acrxClassDictionary->numEntries(), classes);

    // Documents opened and closed while the module is loaded reach it as messages 3 and 4.
    AcApDocument* during = host::newDocument();
    EXPECT_EQ(host::closeDocument(during), Acad::eOk);
    EXPECT_EQ(host::closeDocument(before), Acad::eOk);
    EXPECT_EQ(host::commandLine(), L"");
    EXPECT_EQ(host::unloadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
}

TEST_F(FrameTest, ApiVersionIsTheBuildReleaseFirstThenTheHostsAnnouncedVersion) {
    ASSERT_EQ(host::loadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
    auto* version = exported<ApiVersion>(kKestrelPath, "acrxGetApiVersion");
    ASSERT_NE(version, nullptr);
    // The loader asked once and was answered 0x120000; later calls give back what it announced.
    EXPECT_EQ(version(0x120005), host::kAcrxApiVersion);
    EXPECT_EQ(version(0), host::kAcrxApiVersion);
    EXPECT_EQ(host::unloadModule(wide(kKestrelPath).c_str()), host::ModuleStatus::kOk);
}

TEST_F(FrameTest, ApiVersionKeepsTheFirstAnnouncedVersionForTheWholeMapping) {
    // Mapped directly, without the loader: this test makes the first call itself.
    void* library = dlopen(frame_test::kFramePartsPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    auto* version = reinterpret_cast<ApiVersion*>(dlsym(library, "acrxGetApiVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(0x120007), 0x120000);
    EXPECT_EQ(version(0x130000), 0x120007);
    EXPECT_EQ(version(0x120000), 0x120007);
    dlclose(library);
    // A new mapping starts the exchange again.
    library = dlopen(frame_test::kFramePartsPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    version = reinterpret_cast<ApiVersion*>(dlsym(library, "acrxGetApiVersion"));
    EXPECT_EQ(version(0), 0x120000);
    EXPECT_EQ(version(0x120009), 0);
    dlclose(library);
}

}  // namespace
