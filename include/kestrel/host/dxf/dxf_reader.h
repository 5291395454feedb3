// The DXF reader: builds the objects of an ASCII or binary DXF file of any release from R12 on
// in an empty side database, each made from its DXF name and filled through its own
// dxfInFields, with the file's handles; it repairs what a careful reader can and reports each
// repair. Used by host::readDrawingFile, which reads into a fresh database and takes its
// objects only when the whole file was read; the database passed here is left half-filled on
// failure.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/dxf/read_result.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;

namespace host::dxf {

struct TableInfo;

// The objects a database keeps track of, as found in a file.
struct DRAWHOST_API DrawingRoots {
    // A symbol table found in the file, with what the table list knows of its kind.
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

// Decisions on what a file must hold, what is repaired and what is kept:
// - Sections may come in any order and each at most once; the text ends with "0 EOF" (a text
//   without it is refused as cut short; bytes after it are ignored and reported). A group code
//   that does not read, or a missing EOF, is the cause given for a refused file even when the
//   groups break the rules before it. The release, code page and $HANDSEED are those of the
//   HEADER section, read ahead of the others; a group 9 elsewhere names no variable. HEADER binds
//   the current layer and styles (host/dxf/dxf_conventions.h) and keeps every other variable
//   as read for the writer (AcDbDatabase::keptHeaderVariables), except the file's own release
//   and encoding, a variable's repetitions and variables that hold references; CLASSES is read
//   and not kept (the writer lists the classes of what it writes). Texts decode in the file's code
//   page before AC1021 and as UTF-8 from it on (host/dxf/dxf_text_decoder.h); bytes that do not
//   decode are reported.
// - What the file lacks of what every drawing has (tables, standard records, layout blocks,
//   the named object dictionary with ACAD_GROUP and ACAD_LAYOUT, layouts) is added, as
//   AcDbDatabase::completeDrawing does; it is reported as a missing record only for files of
//   AC1015 or later that have the section it belongs in. Release-12 layout blocks
//   "$MODEL_SPACE" and "$PAPER_SPACE" are the layout blocks; a BLOCK without a block record gets
//   one. What an older release cannot hold (the dimension style variables added after release
//   12, ...) takes the host's defaults, those of a new drawing.
// - An object without subclass markers (older releases) is read with implied markers: its kind
//   comes from its name and flags (host/dxf/legacy_layout.h), each subclass takes its codes
//   from all its groups, and one kept raw gets the markers of the later layout.
// - Objects keep their handles; new handles start above the largest one of the file and
//   $HANDSEED. The handles of BLOCK and ENDBLK entities are not given to objects (the block
//   record carries the block); no later object takes them either. An object whose handle is
//   missing (from AC1012 on), empty, not hexadecimal, too large or already another object's
//   gets a new one; references to the handle keep naming the first object that had it.
// - A reference that is a name is taken as the record of that name (text styles, linetypes,
//   layers, dimension styles, blocks, in that order), else dropped; a reference to a handle no
//   object has is dropped. A record name that breaks the rules, or that another record of the
//   table has, is replaced, and references by the former name follow the record. Layers and
//   blocks used but not defined are added (an empty block); undefined linetypes read as ByLayer
//   (Continuous for a layer), text styles as Standard, dimension styles as the current one.
// - An entity of ENTITIES goes to the block record its owner group names; without one, or when
//   the owner is no block record (reported), to paper space when its paper-space flag (67) is
//   set, else to model space. Entities between BLOCK and ENDBLK go to that block. Vertices and
//   attributes follow their owner and are closed by SEQEND, whose handle the owner's sequence
//   end keeps. An object whose owner does not hold it while a dictionary or object does gets
//   that one as owner (reported). Owner chains that still loop are refused (eSelfReference).
// - An object of a kind the host does not model is kept raw (host/db/raw_object.h), and so is
//   one whose class refuses it with eDxfReadFailed: the status classes give for a valid variant
//   of their kind they do not take (a hatch with elliptic edges, ...). The vertices
//   and sequence end of a raw POLYLINE (and the attributes of a raw INSERT) stay raw entities
//   in the block after it, owned by it.
// Every error message starts with "line N: " ("byte N: " in a binary file), N the line of the
// offending group or of the start of the offending object.
// publish(roots) is called whenever roots gained something (after each table, and at the end),
// so that the database answers its table and record look-ups while later objects are read.
// The result's status, line, description (without the file name), release, binary flag and
// repairs are filled; its status is also returned.
DRAWHOST_API Acad::ErrorStatus readDrawing(std::string_view text, AcDbDatabase* db,
                                           DrawingRoots& roots,
                                           const std::function<void(const DrawingRoots&)>& publish,
                                           DrawingReadResult& result);

}  // namespace host::dxf
