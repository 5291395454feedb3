// AcDbDatabase::readDwgFile: loads the file's bytes, reads them into a fresh side database and,
// only when the whole file was read, exchanges that database's objects with this one's, so a
// failed read leaves the database exactly as it was.
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>

#include "host/db/database.h"
#include "host/db/object_store.h"
#include "host/db/transaction.h"
#include "host/db/undo.h"
#include "host/dxf/dxf_conventions.h"
#include "host/dxf/dxf_reader.h"
#include "host/dxf/file_message.h"
#include "platform/utf8.h"

namespace {

namespace fs = std::filesystem;

Acad::ErrorStatus failWith(Acad::ErrorStatus status, const std::wstring& message) {
    host::setLastDrawingFileMessage(message);
    return status;
}

// The whole file in text; a status and the message on failure.
Acad::ErrorStatus loadFile(const std::wstring& name, std::string& text) {
    const fs::path path(wideToUtf8(name));
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        return failWith(Acad::eFileNotFound, name + L": no such file");
    }
    if (!fs::is_regular_file(status)) {
        return failWith(Acad::eFileAccessError, name + L": not a file");
    }
    std::ifstream in(path, std::ios::binary);
    const std::uintmax_t size = fs::file_size(path, error);
    if (!in || error) {
        return failWith(Acad::eFileAccessError, name + L": cannot be opened for reading");
    }
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size)) {
        return failWith(Acad::eFileAccessError, name + L": read error");
    }
    return Acad::eOk;
}

}  // namespace

void AcDbDatabase::takeRoots(const host::dxf::DrawingRoots& roots) {
    using Accessor = AcDbObjectId (AcDbDatabase::*)() const;
    const std::pair<Accessor, AcDbObjectId AcDbDatabase::*> tableMembers[] = {
        {&AcDbDatabase::blockTableId, &AcDbDatabase::m_blockTableId},
        {&AcDbDatabase::layerTableId, &AcDbDatabase::m_layerTableId},
        {&AcDbDatabase::linetypeTableId, &AcDbDatabase::m_linetypeTableId},
        {&AcDbDatabase::textStyleTableId, &AcDbDatabase::m_textStyleTableId},
        {&AcDbDatabase::dimStyleTableId, &AcDbDatabase::m_dimStyleTableId},
        {&AcDbDatabase::regAppTableId, &AcDbDatabase::m_regAppTableId},
        {&AcDbDatabase::viewTableId, &AcDbDatabase::m_viewTableId},
        {&AcDbDatabase::UCSTableId, &AcDbDatabase::m_ucsTableId},
        {&AcDbDatabase::viewportTableId, &AcDbDatabase::m_viewportTableId},
    };
    for (const host::dxf::DrawingRoots::Table& table : roots.tables) {
        for (const auto& [accessor, member] : tableMembers) {
            if (table.info->tableId == accessor) {
                this->*member = table.id;
            }
        }
    }
    m_namedObjectsDictionaryId = roots.namedObjectsDictionary;
    m_modelSpaceId = roots.modelSpace;
    m_paperSpaceId = roots.paperSpace;
    m_currentSpaceId = roots.modelSpace;
    m_layerZeroId = roots.layerZero;
    m_continuousLinetypeId = roots.continuousLinetype;
    m_byLayerLinetypeId = roots.byLayerLinetype;
    m_byBlockLinetypeId = roots.byBlockLinetype;
    m_clayerId = roots.clayer;
    m_textstyleId = roots.textstyle;
    m_dimstyleId = roots.dimstyle;
}

// Decisions: the share mode, code-page conversion and password are accepted and not used (the
// host keeps no locks and reads UTF-8 only). The read is refused while an object of the
// database is open (eWasOpenForWrite) or a transaction is active (eTransactionOpen). On success
// every former object is gone (its ids turn stale), the undo history is dropped and the model
// space is the current space.
Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int, bool, const wchar_t*) {
    host::setLastDrawingFileMessage(L"");
    if (fileName == nullptr || *fileName == L'\0') {
        return failWith(Acad::eInvalidInput, L"no file name given");
    }
    if (m_store->firstOpen() != nullptr) {
        return failWith(Acad::eWasOpenForWrite,
                        L"objects of the database are open; close them before reading a file");
    }
    if (m_transactions->numActiveTransactions() > 0) {
        return failWith(Acad::eTransactionOpen, L"a transaction is active on the database");
    }
    std::string text;
    Acad::ErrorStatus status = loadFile(fileName, text);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbDatabase fresh(false, true);
    host::dxf::DrawingRoots roots;
    std::wstring message;
    status = host::dxf::readDrawing(
        text, &fresh, roots, [&](const host::dxf::DrawingRoots& found) { fresh.takeRoots(found); },
        message);
    if (status != Acad::eOk) {
        return failWith(status, std::wstring(fileName) + L": " + message);
    }
    m_store->swapContents(*fresh.m_store);
    takeRoots(roots);
    const bool recording = m_undo->isRecording();
    m_undo->setRecording(false);
    m_undo->setRecording(recording);
    return Acad::eOk;
}
