// What reading a drawing file gives besides the drawing: whether it was read, where and why it
// was refused, and the repairs the reader made to a damaged but readable file, one entry each.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/handle.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;

namespace host {

// The kinds of damage the reader repairs. The numbers are stable: reports and scripts use them.
enum class RepairCode {
    kUndecodableText = 1,  // bytes that do not decode in the file's encoding: read as U+FFFD
    kInvalidHandle,        // an object's handle missing from a file that has handles, empty,
                           // not hexadecimal or too large: the object gets a new handle
    kDuplicateHandle,      // a handle a former object has: the later object gets a new one
    kNameForHandle,        // a name written where a handle belongs: resolved by name, or dropped
    kInvalidName,          // an invalid or empty record name: the record is renamed
    kDanglingReference,    // a reference to an object the file does not have: dropped
    kBadOwner,             // an owner that does not own the object: the object is re-owned
    kUndefinedLayer,       // a layer used but not defined: the layer is added
    kUndefinedLinetype,    // a linetype used but not defined: ByLayer is used instead
    kUndefinedTextStyle,   // a text style used but not defined: Standard is used instead
    kUndefinedBlock,       // a block referenced but not defined: an empty block is added
    kDataAfterEof,         // bytes after the end-of-file marker: ignored
    kMissingRecord,        // a record or object the drawing must have was missing: added
    kUndefinedDimensionStyle,  // a dimension style used but not defined: the current one is used
    kRepeatedBaseGroups,       // what only an object's base holds (an AcDbEntity section, extension
                          // dictionary or reactor groups) again among its other groups: dropped
};

// The name of a code as reports print it ("duplicate-handle"); "unknown" for another value.
DRAWHOST_API const wchar_t* repairCodeName(RepairCode code);

// One repair: what kind, the object concerned (its handle in the repaired drawing, null when the
// repair concerns no object; its DXF name), the line of the file where the damage stands (the
// byte offset in a binary file, 0 when it has no place) and what was done.
struct DRAWHOST_API Repair {
    RepairCode code = RepairCode::kUndecodableText;
    AcDbHandle handle;
    std::wstring kind;
    std::size_t line = 0;
    std::wstring action;
};

// The result of reading a drawing file. On failure nothing of the file was kept.
struct DRAWHOST_API DrawingReadResult {
    Acad::ErrorStatus status = Acad::eOk;
    // The line (byte offset in a binary file) where reading stopped; 0 when the failure has no
    // place in the file (no such file, ...).
    std::size_t line = 0;
    // Why it failed, "line 12: group code 'x' is not a number"; empty on success.
    std::wstring description;
    std::wstring release;  // the file's $ACADVER ("AC1009"), empty when the file names none
    bool binary = false;   // the file was a binary DXF file
    std::vector<Repair> repairs;

    bool ok() const { return status == Acad::eOk; }
};

// Reads the drawing file at path into db, replacing its objects (as AcDbDatabase::readDwgFile,
// which calls this); db is unchanged when the result is not ok.
DRAWHOST_API DrawingReadResult readDrawingFile(AcDbDatabase* db, const std::wstring& path);

// The result of the last drawing file read on this thread (readDwgFile or readDrawingFile).
DRAWHOST_API const DrawingReadResult& lastDrawingRead();

}  // namespace host
