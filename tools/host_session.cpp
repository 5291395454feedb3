// The host session: loads the module this program is linked with through the host's loader (so
// its initialisation message runs and its classes are registered as in a drawing host), and
// keeps the drawing documents of one run.
#include "tools/host_session.h"

#include <dlfcn.h>

#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/rx/error_status.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"

namespace {

// The file of the mapped module, found from one of its functions; empty when unknown.
std::wstring modulePath() {
    Dl_info info{};
    void* function = reinterpret_cast<void*>(&_CXMLHandler::GetXML);
    if (dladdr(function, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return utf8ToWide(info.dli_fname);
}

std::string drawingFileReason(Acad::ErrorStatus status) {
    const std::wstring& message = host::lastDrawingFileMessage();
    return message.empty() ? "status " + std::to_string(static_cast<int>(status))
                           : wideToUtf8(message);
}

}  // namespace

HostSession::HostSession() : m_module(modulePath()) {
    if (m_module.empty()) {
        m_error = "cannot find the kestrel module library";
        return;
    }
    const host::ModuleStatus status = host::loadModule(m_module.c_str());
    m_ready = status == host::ModuleStatus::kOk;
    if (!m_ready) {
        m_error = "cannot load the module " + wideToUtf8(m_module) + ": " +
                  wideToUtf8(host::moduleStatusText(status));
    }
}

HostSession::~HostSession() {
    host::closeAllDocuments();
    if (m_ready) {
        host::unloadModule(m_module.c_str());
    }
}

AcApDocument* HostSession::newDrawing() {
    return host::newDocument();
}

AcApDocument* HostSession::openDrawing(const std::filesystem::path& path) {
    if (!m_ready) {
        return nullptr;
    }
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        m_error = "no such drawing file: " + path.string();
        return nullptr;
    }
    Acad::ErrorStatus status = Acad::eOk;
    AcApDocument* doc = host::openDocument(utf8ToWide(path.string()).c_str(), &status);
    if (doc == nullptr) {
        m_error = "cannot read " + path.string() + ": " + drawingFileReason(status);
    }
    return doc;
}

bool HostSession::saveDrawing(AcApDocument* doc, const std::filesystem::path& path) {
    const Acad::ErrorStatus status = host::saveDocument(doc, utf8ToWide(path.string()).c_str());
    if (status != Acad::eOk) {
        m_error = "cannot save " + path.string() + ": " + drawingFileReason(status);
    }
    return status == Acad::eOk;
}

CommandScope::CommandScope(const wchar_t* name) {
    host::beginCommand(name);
}

CommandScope::~CommandScope() {
    host::endCommand();
}
