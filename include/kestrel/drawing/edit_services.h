// CVLKCEdit: editing operations on entities a client already has, in the working database:
// copying in place, moving by a vector, to a point or by dragging, scaling, undo marks, and
// zooming the current view. Moves and scales go through the editor's selection-set transform.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/scale3d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/error_status.h"

class AcDbExtents;

// Every member is static; moves and scales answer only whether the host's transform (or the
// drag, or the base-point prompt) succeeded. Each selection set, mapping and opened entity is
// released before a member returns. The single-id forms call the array forms with a one-element
// array.
//
// Decisions where the interface leaves the behaviour open:
// - undoMark sets an undo mark of the working database's undo controller and undoBack(n) undoes
//   back over n marks, passing the controller's status through; with no working database both
//   answer eAmbiguousOutput (5), as for a database without undo controller.
// - zoom(ids, factor) when no entity yields extents answers eInvalidExtents and leaves the view
//   as it was.
// - Only one interactive move runs at a time: the drag base point and last drag point are shared
//   module-wide and stay set after the move.
class KESTREL_API CVLKCEdit {
public:
    CVLKCEdit() {}
    CVLKCEdit& operator=(const CVLKCEdit&) {
        return *this;
    }

    // Copies each entity into its own owner, in place; copies receives every object cloned (the
    // copies' own vertices and attributes included). eAmbiguousOutput for an empty ids (copies
    // untouched); the first failing open or clone stops the copying with its status.
    static Acad::ErrorStatus copyEntity(const AcDbObjectIdArray& ids, AcDbObjectIdArray& copies);
    // As above for one entity; copy receives the first id cloned when eOk.
    static Acad::ErrorStatus copyEntity(const AcDbObjectId& id, AcDbObjectId& copy);

    // Moves the entities by offset.
    static bool moveEntity(const AcDbObjectIdArray& ids, const AcGeVector3d& offset);
    static bool moveEntity(const AcDbObjectId& id, const AcGeVector3d& offset);
    // Moves the middle of the entities' extents in X and Y to target (z of that middle counts as
    // 0). Entities without extents are left out of the middle but moved.
    static bool moveEntity(const AcDbObjectIdArray& ids, const AcGePoint3d& target);
    static bool moveEntity(const AcDbObjectId& id, const AcGePoint3d& target);
    // Drags the entities from base with a rubber band; moves them to the pick, which goes to
    // endPoint (may be null). False when the drag is cancelled.
    static bool moveEntity(const AcDbObjectIdArray& ids, const wchar_t* dragPrompt,
                           const AcGePoint3d& base, AcGePoint3d* endPoint);
    static bool moveEntity(const AcDbObjectId& id, const wchar_t* dragPrompt,
                           const AcGePoint3d& base, AcGePoint3d* endPoint);
    // As above from a base the user picks (askBase) or the middle of the extents (z 0).
    static bool moveEntity(const AcDbObjectIdArray& ids, const wchar_t* dragPrompt, bool askBase,
                           const wchar_t* basePrompt, AcGePoint3d* endPoint);
    static bool moveEntity(const AcDbObjectId& id, const wchar_t* dragPrompt, bool askBase,
                           const wchar_t* basePrompt, AcGePoint3d* endPoint);

    // Scales about the middle of the entities' extents (z 0); false with nothing scaled when an
    // entity opens without extents or the first does not open.
    static bool scaleEntity(const AcDbObjectIdArray& ids, const AcGeScale3d& scale);
    static bool scaleEntity(const AcDbObjectId& id, const AcGeScale3d& scale);
    // Scales about base, which stays where it is.
    static bool scaleEntity(const AcDbObjectIdArray& ids, const AcGeScale3d& scale,
                            const AcGePoint3d& base);
    static bool scaleEntity(const AcDbObjectId& id, const AcGeScale3d& scale,
                            const AcGePoint3d& base);

    static Acad::ErrorStatus undoMark();
    static Acad::ErrorStatus undoBack(unsigned short count);

    // Shows the window from corner to opposite (user coordinates; a window whose corners are
    // less than 1.42 apart becomes the 5 by 5 square from corner); acedSetCurrentView's status.
    static Acad::ErrorStatus zoom(const AcGePoint3d& corner, const AcGePoint3d& opposite);
    static Acad::ErrorStatus zoom(const AcDbExtents& extents);
    // Shows the entities' extents scaled by factor about their middle (a box under 1.42 across
    // becomes the 5 by 5 square around its maximum corner). Every entity that opens adds what
    // its getGeomExtents gives, whatever that call answers: one without extents adds nothing.
    static Acad::ErrorStatus zoom(const AcDbObjectIdArray& ids, double factor);
    static Acad::ErrorStatus zoom(const AcDbObjectId& id, double factor);
};
