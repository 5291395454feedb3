// Fuzz target of the DXF reader: reads any bytes as a drawing file into a side database that
// already holds the default drawing. A refused file must leave that database as it was and say
// where and what; what the host saves of a read file must keep every rule of the drawing audit
// and read back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/drawing_audit.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/platform/utf8.h"

namespace {

std::string scratch(const char* name) {
    return "/tmp/kestrel_fuzz_dxf_" + std::to_string(getpid()) + "_" + name;
}

[[noreturn]] void failure(const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, wideToUtf8(host::lastDrawingFileMessage()).c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = scratch("in.dxf");
    std::ofstream(input, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    AcDbDatabase db(true, true);
    const std::int64_t objects = db.approxNumObjects();
    const AcDbHandle seed = db.handseed();
    const AcDbObjectId layerZero = db.layerZero();
    if (db.readDwgFile(utf8ToWide(input).c_str()) != Acad::eOk) {
        const std::wstring& message = host::lastDrawingFileMessage();
        if (message.find(L": line ") == std::wstring::npos &&
            message.find(L": byte ") == std::wstring::npos) {
            failure("a refused file without a line or byte in its message");
        }
        if (db.approxNumObjects() != objects || db.handseed() != seed ||
            db.layerZero() != layerZero || !layerZero.isValid()) {
            failure("a refused file changed the database");
        }
        return 0;
    }
    const auto findings = host::auditDrawing(&db);
    if (!findings.empty() && findings.front().code != host::AuditCode::kUnreadable) {
        std::fprintf(stderr, "%s\n", wideToUtf8(findings.front().text()).c_str());
        failure("what the host saves of a read file breaks a rule");
    }
    const std::wstring output = utf8ToWide(scratch("out.dxf"));
    if (db.saveAs(output.c_str()) == Acad::eOk) {
        AcDbDatabase again(false, true);
        if (again.readDwgFile(output.c_str()) != Acad::eOk) {
            failure("a file the host saved does not read back");
        }
    }
    return 0;
}
