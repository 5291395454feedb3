// CVLKCBlockReferencePtr: the typed pointer for block references, a CxEntity<AcDbBlockReference>
// that opens by id, handle text or selection name and closes with the pointer, with services for
// the reference's attributes, moving, rotating, exploding and marking it on screen. It is never
// copied or re-pointed by assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/platform/cstring_array.h"

class CVLKCAttribPtr;

// Attribute members walk the attributes in the reference's order, opening each with
// openAttribute and keeping the status of every open in status(); only openAttribute leaves an
// attribute open. On an empty pointer they call nothing and answer status(), "", 0 or the null
// id. Setters need the reference open for write.
//
// Decisions where the interface leaves the behaviour open:
// - An attribute that does not open is passed over by every walk except getAttributeText's,
//   which ends there; its refusal stays in status() unless a later open replaces it.
//   setRotation answers the first such refusal instead of eOk: the attribute kept its place.
// - setPosition on an empty pointer or one open for read calls nothing and answers
//   eNotOpenForWrite (45), like setRotation.
// - A null tag matches no attribute (the walk still runs).
// - openAttribute closes what the attribute pointer held before handing it the match.
// - mark draws around the insertion point when the reference has no extents (an empty block).
class KESTREL_API CVLKCBlockReferencePtr : public CxEntity<AcDbBlockReference> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbBlockReference>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCBlockReferencePtr& operator=(CVLKCBlockReferencePtr& /*other*/) { return *this; }

    // Opens the attribute tagged tag (letter case ignored) for write into attribute, which then
    // owns that open; otherwise the status of the last open, attribute untouched.
    Acad::ErrorStatus openAttribute(const wchar_t* tag, CVLKCAttribPtr& attribute);
    // The text of the attribute tagged tag (letter case ignored); "" when none or null tag.
    CString getAttributeText(const wchar_t* tag);
    // Sets the text of the attribute tagged tag (letter case ignored): the status of the last
    // open (a null tag or text changes nothing).
    Acad::ErrorStatus setAttributeText(const wchar_t* tag, const wchar_t* text);
    // Replaces tags by the attribute tags in order; their number.
    int getAllAttributeTag(CStringArray & tags);
    // The id of the last attribute tagged exactly tag; the null id when none.
    AcDbObjectId GetAttributeId(const wchar_t* tag);

    // Moves the reference and its attributes so that it is inserted at position: the status
    // of transformBy (see the class comment for a pointer that cannot write).
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    // Turns the reference to angle (radians), its attributes turning about its insertion point:
    // eNotOpenForWrite (45) without write, the reference's setRotation status, or an attribute's
    // refusal.
    Acad::ErrorStatus setRotation(double angle);
    // Copies the block's entities, placed as the reference shows them, into the reference's
    // owner; ids receives the copies. status() unchanged without effect for a reference that is
    // not uniformly scaled, else the status of the last host call.
    Acad::ErrorStatus explode(AcDbObjectIdArray & ids);
    // Draws the two diagonals of the reference's box enlarged five times; false when empty.
    bool mark(int color, int highlight);

private:
    // What a walk does with the attribute it just visited.
    enum class Visit { kNext, kStop, kKeepOpen };
    // Opens each attribute in mode and hands it to visit (null when the open failed); closes it
    // unless visit answers kKeepOpen. Defined where it is used.
    template <class Visitor>
    void walkAttributes(AcDb::OpenMode mode, Visitor visit);
};
