// Drawing-file reading and writing, bound to the database's file members when they exist.
#include "host/docs/drawing_files.h"

#include "host/db/database.h"

namespace {

template <class Database>
Acad::ErrorStatus readWith(Database& db, const wchar_t* path) {
    if constexpr (requires(Database & d, const wchar_t* p) {
                      d.readDwgFile(p, host::kShareDenyWrite, false, nullptr);
                  }) {
        return db.readDwgFile(path, host::kShareDenyWrite, false, nullptr);
    } else {
        return Acad::eNotImplementedYet;
    }
}

template <class Database>
Acad::ErrorStatus saveWith(Database& db, const wchar_t* path) {
    if constexpr (requires(Database & d, const wchar_t* p) { d.saveAs(p); }) {
        return db.saveAs(path);
    } else {
        return Acad::eNotImplementedYet;
    }
}

}  // namespace

namespace host {

Acad::ErrorStatus readDrawingFile(AcDbDatabase* db, const wchar_t* path) {
    return readWith(*db, path);
}

Acad::ErrorStatus writeDrawingFile(AcDbDatabase* db, const wchar_t* path) {
    return saveWith(*db, path);
}

}  // namespace host
