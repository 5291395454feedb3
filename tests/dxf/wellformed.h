// A checker of the strict rules a DXF file of release 2010 must keep to be taken by other
// programs without repair, independent of the host's reader: it parses the text itself and
// lists every fault it finds, each as one line naming the rule and the object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dxftest {

// The faults of text; empty when the file is well-formed. Rules checked:
// - sections HEADER, CLASSES, TABLES, BLOCKS, ENTITIES, OBJECTS in that order, then EOF;
// - $ACADVER and $HANDSEED in the header;
// - handles present, hexadecimal, unique and below $HANDSEED (DIMSTYLE records under 105);
// - every object with a 330 owner (only table heads and the root dictionary may name "0"),
//   every 330/340/350/360 reference naming an object of the file;
// - subclass markers: entities carry AcDbEntity, other objects at least one marker;
// - the linetypes ByBlock, ByLayer and Continuous, layer 0, text style Standard, application
//   ACAD, dimension style Standard and both layout block records;
// - BLOCK/ENDBLK pairs, both layout blocks among them;
// - the root dictionary first in OBJECTS, with ACAD_GROUP and ACAD_LAYOUT, whose entries are
//   LAYOUT objects;
// - XData only under registered applications, 1000 texts of at most 255 characters and at most
//   16383 bytes per object (counted as the host counts them);
// - layers, linetypes and blocks that entities name exist;
// - an extension dictionary owned by the object that names it;
// - the paper-space flag (67) set exactly for entities of paper-space layouts.
std::vector<std::string> wellFormednessFaults(std::string_view text);

}  // namespace dxftest
