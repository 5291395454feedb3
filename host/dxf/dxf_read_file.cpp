// Reading drawing files (host::readDrawingFile, AcDbDatabase::readDwgFile): maps the file's
// bytes, reads them into a fresh side database and, only when the whole file was read,
// exchanges that database's objects with this one's, so a failed read leaves the database
// exactly as it was.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "host/db/object_store.h"
#include "host/dxf/dxf_conventions.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/transaction.h"
#include "kestrel/host/db/undo.h"
#include "kestrel/host/dxf/dxf_reader.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/dxf/read_result.h"
#include "kestrel/platform/utf8.h"

namespace {

// A drawing file's bytes, mapped read-only for the reader (no copy); unmapped on destruction.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (m_data != nullptr) {
            ::munmap(m_data, m_size);
        }
    }

    // Maps the file called name; a status and the message on failure.
    Acad::ErrorStatus map(const std::wstring& name, std::wstring& message) {
        const auto failWith = [&message](Acad::ErrorStatus status, std::wstring what) {
            message = std::move(what);
            return status;
        };
        const std::string path = wideToUtf8(name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return errno == ENOENT
                       ? failWith(Acad::eFileNotFound, L"no such file")
                       : failWith(Acad::eFileAccessError, L"cannot be opened for reading");
        }
        struct stat info {};
        Acad::ErrorStatus status = Acad::eOk;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            status = failWith(Acad::eFileAccessError, L"not a file");
        } else if (info.st_size > 0) {
            void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                                MAP_PRIVATE, fd, 0);
            if (data == MAP_FAILED) {
                status = failWith(Acad::eFileAccessError, L"read error");
            } else {
                m_data = data;
                m_size = static_cast<std::size_t>(info.st_size);
            }
        }
        ::close(fd);
        return status;
    }

    std::string_view text() const {
        return m_data == nullptr ? std::string_view()
                                 : std::string_view(static_cast<const char*>(m_data), m_size);
    }

private:
    void* m_data = nullptr;
    std::size_t m_size = 0;
};

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

void AcDbDatabase::takeContentsOf(AcDbDatabase& source) {
    m_store->swapContents(*source.m_store);
    for (AcDbObjectId AcDbDatabase::*member :
         {&AcDbDatabase::m_blockTableId, &AcDbDatabase::m_layerTableId,
          &AcDbDatabase::m_linetypeTableId, &AcDbDatabase::m_textStyleTableId,
          &AcDbDatabase::m_dimStyleTableId, &AcDbDatabase::m_regAppTableId,
          &AcDbDatabase::m_viewTableId, &AcDbDatabase::m_ucsTableId,
          &AcDbDatabase::m_viewportTableId, &AcDbDatabase::m_namedObjectsDictionaryId,
          &AcDbDatabase::m_clayerId, &AcDbDatabase::m_textstyleId, &AcDbDatabase::m_dimstyleId,
          &AcDbDatabase::m_modelSpaceId, &AcDbDatabase::m_paperSpaceId,
          &AcDbDatabase::m_layerZeroId, &AcDbDatabase::m_continuousLinetypeId,
          &AcDbDatabase::m_byLayerLinetypeId, &AcDbDatabase::m_byBlockLinetypeId}) {
        this->*member = source.*member;
    }
    m_currentSpaceId = m_modelSpaceId;
    m_keptHeader = std::move(source.m_keptHeader);
    const bool recording = m_undo->isRecording();
    m_undo->setRecording(false);
    m_undo->setRecording(recording);
}

// Decisions: the share mode, code-page conversion and password are accepted and not used (the
// host keeps no locks; the file's own code page decides how its texts decode). The read is
// refused while an object of the database is open (eWasOpenForWrite) or a transaction is active
// (eTransactionOpen). On success every former object is gone (its ids turn stale), the undo
// history is dropped and the model space is the current space.
Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName, int, bool, const wchar_t*) {
    return host::readDrawingFile(this, fileName != nullptr ? fileName : L"").status;
}

namespace host {

DrawingReadResult readDrawingFile(AcDbDatabase* db, const std::wstring& path) {
    DrawingReadResult result;
    // The file message names the file; the result's description is the reader's own.
    const auto finish = [&result, &path](Acad::ErrorStatus status, std::wstring message) {
        result.status = status;
        if (!message.empty()) {
            result.description = std::move(message);
        }
        setLastDrawingFileMessage(status == Acad::eOk ? std::wstring()
                                  : path.empty()      ? result.description
                                                      : path + L": " + result.description);
        setLastDrawingRead(result);
        return result;
    };
    if (path.empty()) {
        return finish(Acad::eInvalidInput, L"no file name given");
    }
    if (!db->objectStore()->openObjects().empty()) {
        return finish(Acad::eWasOpenForWrite,
                      L"objects of the database are open; close them before reading a file");
    }
    if (db->transactionManager()->numActiveTransactions() > 0) {
        return finish(Acad::eTransactionOpen, L"a transaction is active on the database");
    }
    MappedFile file;
    std::wstring message;
    Acad::ErrorStatus status = file.map(path, message);
    if (status != Acad::eOk) {
        return finish(status, message);
    }
    AcDbDatabase fresh(false, true);
    dxf::DrawingRoots roots;
    status = dxf::readDrawing(
        file.text(), &fresh, roots, [&](const dxf::DrawingRoots& found) { fresh.takeRoots(found); },
        result);
    if (status == Acad::eOk) {
        db->takeContentsOf(fresh);
    }
    return finish(status, L"");
}

}  // namespace host
