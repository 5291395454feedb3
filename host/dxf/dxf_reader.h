// The DXF reader: builds the objects of an ASCII DXF text in an empty side database, each made
// from its DXF name and filled through its own dxfInFields, with the file's handles. Used by
// AcDbDatabase::readDwgFile, which reads into a fresh database and takes its objects only when
// the whole text was read; the database passed here is left half-filled on failure.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/error_status.h"
#include "host/db/object_id.h"
#include "host/dxf/read_result.h"

class AcDbDatabase;

namespace host::dxf {

struct TableInfo;

// The objects a database keeps track of, as found in a file.
struct DrawingRoots {
    struct Table {
        const TableInfo* info = nullptr;
        AcDbObjectId id;
    };
    std::vector<Table> tables;  // one per symbol table, in file order
    AcDbObjectId namedObjectsDictionary;
    AcDbObjectId modelSpace;
    AcDbObjectId paperSpace;
    AcDbObjectId layerZero;
    AcDbObjectId continuousLinetype;
    AcDbObjectId byLayerLinetype;
    AcDbObjectId byBlockLinetype;
    AcDbObjectId clayer;
    AcDbObjectId textstyle;
    AcDbObjectId dimstyle;
};

// Decisions on what a file must hold and what is kept:
// - Sections may come in any order and each at most once; the text ends with "0 EOF" (a text
//   without it is reported as cut short). HEADER keeps the variables of the shared header table
//   (host/dxf/dxf_conventions.h); CLASSES is read and not kept (the writer lists the classes of
//   what it writes). Releases before AC1015 (no subclass markers) are refused.
// - The file must hold the nine symbol tables, the *Model_Space and *Paper_Space blocks, layer
//   "0", the linetypes ByBlock, ByLayer and Continuous and the named object dictionary (the first
//   object of OBJECTS); eMissingDxfField otherwise. $CLAYER, $TEXTSTYLE and $DIMSTYLE name the
//   current records; a name the tables lack gives layer "0", style "Standard" and the first
//   dimension style.
// - Objects keep their handles; new handles start above the largest one of the file and
//   $HANDSEED. The handles of BLOCK and ENDBLK entities are not given to objects (the block
//   record carries the block); no later object takes them either. Two objects with one handle
//   (eHandleInUse), a reference to a handle no object has (eBadDxfSequence), an owner chain that
//   loops (eSelfReference) and a handle over 48 bits (eOutOfRange) are errors.
// - An entity of ENTITIES goes to the block record its owner group names (model space when it
//   names none); entities between BLOCK and ENDBLK go to that block. Vertices and attributes
//   follow their owner and are closed by SEQEND, whose handle the owner's sequence end keeps.
// - Texts are UTF-8; control characters come in caret notation (^J, ^I, ^@ to ^_).
// - An object of a kind the host does not model is kept raw (host/db/raw_object.h), and so is
//   one whose class refuses it with eDxfReadFailed: the status classes give for a valid variant
//   of their kind they do not take (a hatch with elliptic edges, ...). The vertices
//   and sequence end of a raw POLYLINE (and the attributes of a raw INSERT) stay raw entities
//   in the block after it, owned by it.
// Every error message starts with "line N: ", N the line of the offending group or of the start
// of the offending object.
// publish(roots) is called whenever roots gained something (after each table, and at the end),
// so that the database answers its table and record look-ups while later objects are read.
// The result's status, line, description (without the file name), release, binary flag and
// repairs are filled; its status is also returned.
Acad::ErrorStatus readDrawing(std::string_view text, AcDbDatabase* db, DrawingRoots& roots,
                              const std::function<void(const DrawingRoots&)>& publish,
                              DrawingReadResult& result);

}  // namespace host::dxf
