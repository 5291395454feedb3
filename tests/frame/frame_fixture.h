// The module-frame tests' fixture: the built modules' paths, whether a library is mapped, the
// lines the stand-in parts printed, and the checks every test ends with (no module left loaded,
// no reactor left attached, no class left registered, nothing open, no contract violation).
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/editor.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/testing.h"
#include "kestrel/host/rx/dictionary.h"
#include "kestrel/platform/mfc_module.h"
#include "kestrel/platform/utf8.h"

namespace frame_test {

using Names = std::vector<std::wstring>;

// The module itself, and the frame alone with stand-in parts (tests/modules/frame_parts).
inline const std::string kKestrelPath = KESTREL_BINARY_DIR "/lib/libkestrel.so";
inline const std::string kFramePartsPath = KESTREL_BINARY_DIR "/lib/libtest_module_frame.so";

inline std::wstring wide(const std::string& path) {
    return utf8ToWide(path);
}

// True while the library is mapped into the process.
inline bool mapped(const std::string& path) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr) {
        dlclose(library);
    }
    return library != nullptr;
}

// A function the mapped library exports, or null.
template <class Function>
Function* exported(const std::string& path, const char* name) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        return nullptr;
    }
    void* symbol = dlsym(library, name);
    dlclose(library);
    return reinterpret_cast<Function*>(symbol);
}

inline bool classRegistered(const wchar_t* name) {
    return acrxClassDictionary->at(name) != nullptr;
}

// The lines the stand-in parts printed since the command line was last cleared.
inline Names partsTrace() {
    Names lines;
    std::wistringstream text(host::commandLine());
    std::wstring line;
    const std::wstring prefix = L"[frame_parts] ";
    while (std::getline(text, line)) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line.substr(prefix.size()));
        }
    }
    return lines;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host::documents().empty());
        ASSERT_TRUE(host::loadedModules().empty());
        host::clearCommandLine();
        host::clearContractViolations();
        platform::clearMfcCalls();
        m_editorReactors = acedEditor->numReactors();
        m_documentReactors = acDocManager->numReactors();
        m_classes = acrxClassDictionary->numEntries();
    }

    void TearDown() override {
        platform::setAfxInitExtensionModuleFails(false);
        EXPECT_EQ(host::closeAllDocuments(), Acad::eOk);
        for (const std::wstring& path : host::loadedModules()) {
            ADD_FAILURE() << "left loaded: " << wideToUtf8(path);
            host::unloadModule(path.c_str());
        }
        EXPECT_FALSE(mapped(kKestrelPath));
        EXPECT_FALSE(mapped(kFramePartsPath));
        EXPECT_EQ(acedEditor->numReactors(), m_editorReactors);
        EXPECT_EQ(acDocManager->numReactors(), m_documentReactors);
        EXPECT_EQ(acrxClassDictionary->numEntries(), m_classes);
        EXPECT_TRUE(host::nothingLeftOpen());
    }

    int m_editorReactors = 0;
    int m_documentReactors = 0;
    int m_classes = 0;
};

}  // namespace frame_test
