// A drawing host for hello_client: opens a document, loads Kestrel and then the client the way
// the host loads any module, prints the host's command line, saves the drawing to the file named
// on the command line and closes everything. Exit status 0 when every step succeeded.
#include <cstdio>
#include <string>

#include <kestrel/host/harness.h>
#include <kestrel/platform/utf8.h>

namespace {

bool loaded(const wchar_t* path) {
    if (host::loadModule(path) == host::ModuleStatus::kOk) {
        return true;
    }
    std::fprintf(stderr, "run_hello_client: cannot load %s\n", wideToUtf8(path).c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: run_hello_client OUT.dxf\n", stderr);
        return 2;
    }
    AcApDocument* document = host::newDocument();
    const std::wstring kestrel = utf8ToWide(KESTREL_MODULE_PATH);
    const std::wstring client = utf8ToWide(HELLO_CLIENT_PATH);
    bool ok = loaded(kestrel.c_str()) && loaded(client.c_str());
    std::fputs(wideToUtf8(host::commandLine()).c_str(), stdout);
    ok = ok && host::commandLine().find(L"drew a line and an arc") != std::wstring::npos;
    ok = host::saveDocument(document, utf8ToWide(argv[1]).c_str()) == Acad::eOk && ok;
    ok = host::closeAllDocuments() == Acad::eOk && ok;
    host::unloadModule(client.c_str());
    host::unloadModule(kestrel.c_str());
    return ok ? 0 : 1;
}
