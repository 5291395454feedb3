// The drawing comparison: what differs between two drawings, object by object, matched by handle,
// read from the files' groups (like the audit, independently of the reader and the database). A
// client's test writes a drawing before and after an operation and asserts that exactly the
// objects it should have changed differ. Nothing is changed; the result owns all its texts.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/export.h"

class AcDbDatabase;

namespace host {

// Decisions on what counts as a difference:
// - Objects are matched by handle. Objects whose handles the writer takes afresh on every save
//   are matched by what they belong to instead: BLOCK and ENDBLK by their block record, the
//   anonymous block ("*D...") that a dimension names, with its entities in order, by that
//   dimension. Their block names and the handles that point at them are compared by that match,
//   not as written. Objects without a handle (release 12) are matched by kind and order.
// - A group is known by its context, its code and its occurrence among the groups of that context
//   and code: the context is the subclass marker (100) it follows, the 102 group it stands in
//   ("{ACAD_REACTORS"), "XData APP" for the XData of application APP, "entry NAME" for a
//   dictionary's entry NAME, the variable name in the header. So groups of different codes may
//   come in another order, and entries of a dictionary in any order, without a difference; the
//   order of groups of one code within one context (vertices, XData items) counts.
// - An object's own handle (5, or 105 of a dimension style), the 100 and 102 groups and a table
//   head's record count (70) are not compared; nor is the CLASSES section (the writer lists in
//   them what the file holds, whose own differences show). Objects are compared wherever in the
//   file they stand.
// - A group present on one side only that holds the format's default for it is no difference,
//   since writers may leave such groups out: thickness 39 0, extrusion 210 0,0,1; on entities
//   linetype 6 ByLayer, colour 62 256, linetype scale 48 1, visibility 60 0, space 67 0, line
//   weight 370 -1; on texts 41 1 and 50, 51, 71, 72, 73 0; a block's description 4 empty.
// - Header variables not compared, since no edit of the drawing sets them: $HANDSEED (the next
//   handle), every $TD... timestamp ($TDCREATE, $TDUPDATE, $TDINDWG, ...), $VERSIONGUID (new on
//   every save), $EXTMIN and $EXTMAX (the extents of the entities, whose own changes show),
//   $ACADMAINTVER and $DWGCODEPAGE (the writing program and the file's encoding: texts are
//   compared decoded, host/dxf/dxf_text_decoder.h).
// - Values compare as text: texts decoded, reals and coordinates in their shortest exact form
//   (no tolerance), integers in decimal, handles as hexadecimal digits, chunks as hex digits. So
//   the same drawing as an ASCII and as a binary file compares equal.
// - The XML repository (the record "Repository" of the named object dictionary's dictionary
//   "VLKX_XMLUndo") is compared per application: its text groups are joined and split into the
//   applications' texts; each application added, removed or changed is one difference of kind
//   "XML". The record's text groups themselves are not compared, and the record is matched as
//   the repository whatever its handle (the module replaces it on every save). A repository
//   text that is no repository document is compared whole, as the application "(repository)".
// - Positions are lines in ASCII files and byte offsets in binary ones (host/dxf/dxf_lexer.h).

// How an object differs.
enum class DiffWhat { kAdded, kRemoved, kChanged };

// "added", "removed", "changed".
DRAWHOST_API const wchar_t* diffWhatName(DiffWhat what);

// One group that differs: present in one drawing only (inOld/inNew) or with another value.
struct DRAWHOST_API GroupDifference {
    std::wstring context;  // see the decisions above; the application of an XML text
    int code = 0;
    int occurrence = 0;  // 0 for the first group of its context and code
    bool inOld = false;
    bool inNew = false;
    std::wstring oldValue;  // as written (handles as in the file); empty when not inOld
    std::wstring newValue;
    std::size_t oldLine = 0;  // the position of the group; 0 when not there
    std::size_t newLine = 0;

    // "AcDbLine 11: 1,0,0 -> 5,0,0 (lines 120, 131)", the occurrence as "11#2" after the first,
    // "(none)" for a side without the group, line breaks in values as \n and \r.
    std::wstring text() const;
};

// One object that differs.
struct DRAWHOST_API ObjectDifference {
    DiffWhat what = DiffWhat::kChanged;
    std::wstring kind;    // DXF name ("LINE"); "HEADER" for the header, "XML" for an XML text
    std::wstring handle;  // as in the new drawing (the old one when removed); empty for the header
    // Where the object is reached from: its dictionary path from the named object dictionary
    // ("KESTREL_DEMO/Width"), "extension dictionary of CIRCLE 2B/DATA", the application of an XML
    // text; empty for others.
    std::wstring place;
    std::size_t oldLine = 0;  // the position of its group 0; 0 when not there
    std::size_t newLine = 0;
    // Changed objects: each group that differs (in the new drawing's order, then those only in
    // the old one). XML texts: the one text, whatever the kind of difference. Others: empty.
    std::vector<GroupDifference> groups;

    // "changed LINE 2A (lines 120, 131)", "added XRECORD 5F in KESTREL_DEMO/Width (line 3002)",
    // "changed XML of KestrelDemo.Settings (lines 4053, 4053)".
    std::wstring text() const;
};

// The comparison of two drawings.
struct DRAWHOST_API DrawingDiff {
    // Why a drawing could not be compared ("line 12: ..."); empty when it could. With either
    // set, objects is empty.
    std::wstring oldError;
    std::wstring newError;
    // The header first, then objects in the new drawing's order, then removed objects in the old
    // one's, then XML texts by application name.
    std::vector<ObjectDifference> objects;

    bool ok() const { return oldError.empty() && newError.empty(); }
    // Both drawings read and no difference.
    bool same() const { return ok() && objects.empty(); }
    // Every difference, one line per object and one indented line per group below it; the
    // errors when a drawing could not be read; empty when the drawings are the same.
    std::wstring text() const;
};

// Told, while each drawing's objects are read for the comparison (drawing 0 the old one, 1 the
// new one), how many of its objects are read (from 1) and how many it holds.
using DiffProgress = std::function<void(int drawing, std::size_t done, std::size_t total)>;

// Compares two drawing files' bytes (ASCII or binary DXF, any release). A file whose groups
// cannot be read, or that holds none, sets its error. progress, when set, is told of each object
// read.
DRAWHOST_API DrawingDiff diffDrawingFiles(std::string_view oldBytes, std::string_view newBytes,
                                          const DiffProgress& progress = nullptr);

// Compares two databases as saveAs would write them (written to memory, then compared). A
// drawing that cannot be written sets its error to the writer's message.
DRAWHOST_API DrawingDiff diffDrawings(AcDbDatabase* oldDb, AcDbDatabase* newDb);

}  // namespace host
