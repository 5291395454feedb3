// File search over the name as given, the drawing's folder and the support path.
#include "kestrel/host/app/find_file.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/document.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/platform/utf8.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::wstring>& supportFolders() {
    static auto* folders = new std::vector<std::wstring>();
    return *folders;
}

std::vector<fs::path> environmentFolders() {
    std::vector<fs::path> folders;
    const char* value = std::getenv(kSupportPathVariable);
    if (value == nullptr) {
        return folders;
    }
    std::string text(value);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        if (end > start) {
            folders.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return folders;
}

// The folder of the current document's drawing file, if it has one.
std::optional<fs::path> drawingFolder() {
    AcApDocManager* manager = acDocManagerPtr();
    AcApDocument* doc = manager != nullptr ? manager->curDocument() : nullptr;
    if (doc == nullptr || !doc->isNamedDrawing()) {
        return std::nullopt;
    }
    return fs::path(wideToUtf8(doc->fileName())).parent_path();
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::optional<fs::path> search(const fs::path& name) {
    if (isFile(name)) {
        return name;
    }
    if (name.is_absolute()) {
        return std::nullopt;
    }
    std::vector<fs::path> folders;
    if (std::optional<fs::path> folder = drawingFolder()) {
        folders.push_back(*folder);
    }
    for (const std::wstring& folder : supportFolders()) {
        folders.emplace_back(wideToUtf8(folder));
    }
    for (fs::path& folder : environmentFolders()) {
        folders.push_back(std::move(folder));
    }
    for (const fs::path& folder : folders) {
        if (isFile(folder / name)) {
            return folder / name;
        }
    }
    return std::nullopt;
}

}  // namespace

int acedFindFile(const ACHAR* fname, ACHAR* result, std::size_t resultLength) {
    if (fname == nullptr || *fname == L'\0' || result == nullptr) {
        return RTERROR;
    }
    const std::optional<fs::path> found = search(fs::path(wideToUtf8(fname)));
    if (!found) {
        return RTERROR;
    }
    std::error_code error;
    const fs::path absolute = fs::absolute(*found, error).lexically_normal();
    const std::wstring text = utf8ToWide(absolute.string());
    if (error || text.size() + 1 > resultLength) {
        return RTERROR;
    }
    text.copy(result, text.size());
    result[text.size()] = L'\0';
    return RTNORM;
}

namespace host {

void setSupportPath(const std::vector<std::wstring>& folders) {
    supportFolders() = folders;
}

std::vector<std::wstring> supportPath() {
    return supportFolders();
}

}  // namespace host
