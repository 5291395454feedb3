// Drawing-file reading and writing for documents, through the database's file members.
#include "kestrel/host/app/drawing_files.h"

#include "kestrel/host/db/database.h"

namespace host {

Acad::ErrorStatus readDrawingFile(AcDbDatabase* db, const wchar_t* path) {
    return db->readDwgFile(path, kShareDenyWrite, false, nullptr);
}

Acad::ErrorStatus writeDrawingFile(AcDbDatabase* db, const wchar_t* path) {
    return db->saveAs(path);
}

}  // namespace host
