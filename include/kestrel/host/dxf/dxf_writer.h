// The DXF writer: turns a database into the text of an ASCII DXF file (release 2010 layout,
// UTF-8), every object filed through its own dxfOutFields, and streams it to a sink a buffer at
// a time (host/dxf/dxf_text_writer.h): AcDbDatabase::saveAs streams to the file it replaces, the
// drawing audit and tests to a string. The database is only read, each object opened for read in
// turn; a first pass over it finds what the header and CLASSES need, without formatting text.
#pragma once

#include <cstddef>
#include <string>

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;

namespace host {
class DxfSink;
}

namespace host::dxf {

// Decisions on what a file holds:
// - Objects reach the file when they are not erased and their owner chain leads to the named
//   object dictionary or a symbol table; the rest (objects added without an owner, objects of
//   erased owners) belong to no drawing and are left out. References to objects left out are
//   written as the null handle "0".
// - ENTITIES holds the entities of *Model_Space, then those of *Paper_Space; BLOCKS holds every
//   block (the two layout blocks without their entities). An entity's vertices or attributes
//   follow it, then its SEQEND; entities of paper-space layouts carry 67 1, others none.
// - BLOCK and ENDBLK entities have no objects in the database: their handles are taken from the
//   database's next handles on, and $HANDSEED is written above them (the database's own handle
//   seed does not move).
// - CLASSES lists, for each DXF name written that the format does not define itself, its class
//   name, application and the number of objects written: the format's own record for the
//   well-known names (host/dxf/dxf_conventions.h), else the registered class's.
// - A dimension without a block of its own (or whose block is not written) is given an empty
//   anonymous block "*D<n>" in the file, a BLOCK_RECORD and a BLOCK/ENDBLK pair with handles
//   above the database's, since other programs drop dimensions that name no block.
// - An object is refused, and the write fails (saveAs then keeps the former file), when it cannot
//   be opened for read (open for write elsewhere: eWasOpenForWrite), when its XData uses an
//   application that is not registered (eUnregisteredApplication), holds a 1000 text over 255
//   characters (eStringTooLong) or exceeds 16383 bytes (eXDataSizeExceeded), or when it files a
//   real that is not finite (eInvalidInput).
//   The message names the object's handle and class. A database without a drawing (made empty and
//   never read into) is refused with eNoDatabase.
// - Header extents ($EXTMIN/$EXTMAX) are those of the model-space entities that have extents;
//   with none, the empty box (1e20 / -1e20) that drawings use for "no extents".
// - The first pass takes the header's and CLASSES' figures from the objects the file holds; in a
//   database whose owners and block contents disagree (an entity listed by a block it does not
//   name as owner) the written objects can differ from them: the sink is then rewound and the
//   text written again with the figures of the objects written, so the file is always right.
struct DRAWHOST_API WriteResult {
    Acad::ErrorStatus status = Acad::eOk;
    std::wstring message;  // empty on success
    std::size_t lines = 0;
    int sinkError = 0;  // the sink's error number when it failed (status eFileAccessError)
};

// Streams the DXF text of db to sink; on failure the sink holds a partial text (the caller
// discards it) and result.message says what and where. db must not be null.
DRAWHOST_API WriteResult writeDrawing(AcDbDatabase* db, DxfSink& sink);
// Appends the DXF text of db to out, as above.
DRAWHOST_API WriteResult writeDrawing(AcDbDatabase* db, std::string& out);
// Runs the first pass alone (for measuring it); the status of a write without its text.
DRAWHOST_API WriteResult planDrawing(AcDbDatabase* db);

}  // namespace host::dxf
