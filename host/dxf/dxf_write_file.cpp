// AcDbDatabase::saveAs: streams the drawing's DXF text to a temporary file beside the target as
// the writer formats it, and renames it over the target only once every byte is written, so a
// failed save leaves a former file as it was and no temporary behind, and saving takes no more
// memory than the writer's buffer. Durability against power loss is left to the system (no
// fsync): the rename protects against failures of this process and of the writes.
#include <cerrno>
#include <cstring>
#include <string>

#include "host/dxf/dxf_text_writer.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/dxf_writer.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/platform/file_replace.h"
#include "kestrel/platform/utf8.h"

namespace {

Acad::ErrorStatus failWith(Acad::ErrorStatus status, const std::wstring& message) {
    host::setLastDrawingFileMessage(message);
    return status;
}

// A status and the message for a file that could not be replaced.
Acad::ErrorStatus fileFailure(const std::wstring& name, int error) {
    if (error == EISDIR || error == EINVAL) {
        return failWith(Acad::eFileAccessError, name + L": not a file");
    }
    return failWith(Acad::eFileAccessError,
                    name + L": cannot be written: " + utf8ToWide(std::strerror(error)));
}

// The writer's sink: the temporary file of the replacement.
class ReplacementSink final : public host::DxfSink {
public:
    explicit ReplacementSink(FileReplacement& file) : m_file(file) {}
    int write(std::string_view bytes) override { return m_file.write(bytes); }
    int rewind() override { return m_file.restart(); }

private:
    FileReplacement& m_file;
};

}  // namespace

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName) {
    if (fileName == nullptr || *fileName == L'\0') {
        return failWith(Acad::eInvalidInput, L"no file name to save to");
    }
    const std::wstring name(fileName);
    FileReplacement file;
    if (const int error = file.begin(wideToUtf8(name)); error != 0) {
        return fileFailure(name, error);
    }
    ReplacementSink sink(file);
    const host::dxf::WriteResult result = host::dxf::writeDrawing(this, sink);
    if (result.sinkError != 0) {
        return fileFailure(name, result.sinkError);
    }
    if (result.status != Acad::eOk) {
        return failWith(result.status, name + L": not saved: " + result.message);
    }
    if (const int error = file.commit(FileDurability::kWritten); error != 0) {
        return fileFailure(name, error);
    }
    host::setLastDrawingFileMessage(std::wstring());
    return Acad::eOk;
}
