// Reading and writing a document's drawing file through the database's readDwgFile and saveAs.
// Until the database offers them (the DXF reader and writer come with the drawing-file work),
// both answer eNotImplementedYet and leave the database and the file untouched.
#pragma once

#include "host/db/error_status.h"

class AcDbDatabase;

namespace host {

// The share mode the host opens drawings with (deny others writing).
constexpr int kShareDenyWrite = 0x20;

// Reads path into db (a fresh database); the status of readDwgFile.
Acad::ErrorStatus readDrawingFile(AcDbDatabase* db, const wchar_t* path);
// Writes db to path; the status of saveAs.
Acad::ErrorStatus writeDrawingFile(AcDbDatabase* db, const wchar_t* path);

}  // namespace host
