// Drawing files of release 12 and older: objects come without subclass markers, their kind
// shown by flags, and the layout blocks are named "$MODEL_SPACE" and "$PAPER_SPACE". What the
// reader needs to read such objects as later releases lay them out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kestrel/host/db/dxf_filer.h"

namespace host::dxf {

// True when items (an object's groups after its group 0) hold no subclass marker.
bool lacksSubclassMarkers(const DxfItemList& items);

// The subclass markers, after AcDbEntity, that later releases give an object of dxfName whose
// groups are items: POLYLINE, VERTEX and DIMENSION by their flags (group 70), INSERT by its
// column and row counts (70, 71: more than one makes an array), ATTRIB, TRACE, SHAPE and
// VIEWPORT by name; none for other names.
std::vector<std::wstring> impliedMarkers(std::wstring_view dxfName, const DxfItemList& items);

// Rewrites the groups of an entity without subclass markers, in place, into the later layout:
// its object groups (handle, owner, 102 groups), "100 AcDbEntity" with the entity's common
// groups, then each implied marker with its groups, then the XData.
void addEntityMarkers(std::wstring_view dxfName, DxfItemList& items);

// Gives an object (not an entity) of a kind the format defines, whose groups lack every subclass
// marker, the marker of its kind (objectMarker) after its object groups; other kinds stay as
// they are.
void addObjectMarker(std::wstring_view dxfName, DxfItemList& items);

// The name later releases give a layout block: "$MODEL_SPACE" is "*Model_Space" and
// "$PAPER_SPACE" "*Paper_Space" (in any case); other names are returned as they are.
std::wstring layoutBlockName(const std::wstring& name);

}  // namespace host::dxf
