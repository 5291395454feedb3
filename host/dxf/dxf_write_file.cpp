// AcDbDatabase::saveAs: writes the drawing's DXF text to a temporary file beside the target and
// renames it over the target only once every byte is written, so a failed save leaves a former
// file as it was and no temporary behind. Durability against power loss is left to the system
// (no fsync): the rename protects against failures of this process and of the writes.
#include <cerrno>
#include <cstring>
#include <string>

#include "host/db/database.h"
#include "host/dxf/dxf_writer.h"
#include "host/dxf/file_message.h"
#include "platform/file_replace.h"
#include "platform/utf8.h"

namespace {

Acad::ErrorStatus failWith(Acad::ErrorStatus status, const std::wstring& message) {
    host::setLastDrawingFileMessage(message);
    return status;
}

std::wstring systemError(int error) {
    return utf8ToWide(std::strerror(error));
}

// Puts text into the file called name (see replaceFileContents); a status and the message on
// failure.
Acad::ErrorStatus replaceFile(const std::wstring& name, const std::string& text) {
    const int error = replaceFileContents(wideToUtf8(name), text, FileDurability::kWritten);
    if (error == EISDIR || error == EINVAL) {
        return failWith(Acad::eFileAccessError, name + L": not a file");
    }
    if (error != 0) {
        return failWith(Acad::eFileAccessError,
                        name + L": cannot be written: " + systemError(error));
    }
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName) {
    if (fileName == nullptr || *fileName == L'\0') {
        return failWith(Acad::eInvalidInput, L"no file name to save to");
    }
    const std::wstring name(fileName);
    std::string text;
    const host::dxf::WriteResult result = host::dxf::writeDrawing(this, text);
    if (result.status != Acad::eOk) {
        return failWith(result.status, name + L": not saved: " + result.message);
    }
    const Acad::ErrorStatus status = replaceFile(name, text);
    if (status == Acad::eOk) {
        host::setLastDrawingFileMessage(std::wstring());
    }
    return status;
}
