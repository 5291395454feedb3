// The drawing audit: checks the text of a drawing file against the rules a release-2010 drawing
// keeps to be taken by other programs without repair, independently of the reader (it sees only
// the file's groups, not the database). The host audits what it saves with it (kestrel audit,
// the tests of the writer and of the reader's repairs); it changes nothing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/export.h"

class AcDbDatabase;

namespace host {

// The rules. The numbers are stable: reports and scripts use them.
enum class AuditCode {
    kUnreadable = 1,       // the groups cannot be read (the lexer's message says where)
    kSections,             // HEADER, CLASSES, TABLES, BLOCKS, ENTITIES, OBJECTS, then EOF alone
    kHeader,               // $ACADVER and a hexadecimal $HANDSEED
    kHandle,               // present, hexadecimal, nonzero, unique, below $HANDSEED; DIMSTYLE
                           // records under 105, not 5
    kOwner,                // a 330 owner; null only for table heads and the root dictionary
    kReference,            // 330/340/350/360 name objects of the file; dictionary entries
                           // and extension dictionaries not null
    kSubclassMarker,       // entities start with AcDbEntity, objects of the format's kinds
                           // have a marker
    kMissingRecord,        // linetypes ByBlock, ByLayer, Continuous, layer 0, style Standard,
                           // application ACAD, dimension style Standard, both layout records
    kBlock,                // BLOCK/ENDBLK pairs, both layout blocks among them
    kRootDictionary,       // OBJECTS starts with it; ACAD_GROUP, ACAD_LAYOUT of LAYOUT objects
    kXData,                // registered applications, 1000 texts of at most 255 characters,
                           // at most 16383 bytes per object (counted as the host counts them)
    kUndefinedName,        // layers, linetypes and blocks that entities name exist
    kExtensionDictionary,  // owned by the object that names it
    kPaperSpace,           // 67 1 exactly on entities of paper-space layouts
};

// The name of a code as reports print it ("paper-space"); "unknown" for another value.
DRAWHOST_API const wchar_t* auditCodeName(AuditCode code);

// One broken rule: the object concerned (its DXF name and handle as the file writes them; both
// empty for a rule of the file as a whole), the line of its group 0 (the byte offset in a binary
// file; 0 when it has no place) and what is wrong.
struct DRAWHOST_API AuditFinding {
    AuditCode code = AuditCode::kUnreadable;
    std::wstring kind;
    std::wstring handle;
    std::size_t line = 0;
    std::wstring fault;

    // "LINE 2A: handle used twice"; the fault alone when no object is concerned.
    std::wstring text() const;
};

// The broken rules of a drawing file's bytes (ASCII or binary), in the order of the rules above,
// objects in file order; empty when the file keeps every rule. A file whose groups cannot be
// read gives one kUnreadable finding.
DRAWHOST_API std::vector<AuditFinding> auditDrawingFile(std::string_view bytes);

// The broken rules of db as saveAs writes it: the drawing is written to memory and audited. A
// drawing that cannot be written gives one kUnreadable finding with the writer's message.
DRAWHOST_API std::vector<AuditFinding> auditDrawing(AcDbDatabase* db);

}  // namespace host
