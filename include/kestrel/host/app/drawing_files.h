// Reading and writing a document's drawing file through the database's readDwgFile and saveAs
// (host/dxf). Both leave the database and a former file untouched on failure, and
// host::lastDrawingFileMessage() then says where and what.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;

namespace host {

// The share mode the host opens drawings with (deny others writing).
constexpr int kShareDenyWrite = 0x20;

// Reads path into db; the status of readDwgFile.
DRAWHOST_API Acad::ErrorStatus readDrawingFile(AcDbDatabase* db, const wchar_t* path);
// Writes db to path; the status of saveAs.
DRAWHOST_API Acad::ErrorStatus writeDrawingFile(AcDbDatabase* db, const wchar_t* path);

}  // namespace host
