// CVLKCTextPtr: the typed pointer for single-line texts, a CxEntity<AcDbText> that opens by id,
// handle text or selection name and closes with the pointer, with the width and bounding box of
// the text as the host measures it. It is never copied or re-pointed by assignment; open()
// re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

// Widths are measured by acedTextBox in the text's own frame (rotation does not change them);
// -1.0 when the host cannot measure. Bounding boxes append five points (the last repeats the
// first): the measured width by the text's height, centred on the middle of its extents and
// turned by its rotation; they are built with width -1.0 when the width cannot be measured.
//
// Decision where the interface leaves the behaviour open: a style id that names no text style
// gives an empty style name, which the host refuses, so the width is -1.0.
class KESTREL_API CVLKCTextPtr : public CxEntity<AcDbText> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbText>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCTextPtr& operator=(CVLKCTextPtr& /*other*/) { return *this; }

    // The width of text at height in the style called style; -1.0 for a null text or style, a
    // height that is not positive, or a text the host cannot measure.
    static double getWidth(const wchar_t* text, double height, double rotation,
                           const wchar_t* style);
    // As above with the style's id, looked up in the working database's text-style table.
    static double getWidth(const wchar_t* text, double height, double rotation, AcDbObjectId style);
    // The width of the held text; -1.0 when empty or not measurable.
    double getWidth();
    // Appends the five corners of the text's box to points (not emptied first): 1, or 0 with
    // points unchanged when empty.
    int GetTextBoundingBox(AcGePoint3dArray & points);
};

namespace kestrel {

// The width of text's own string, height, rotation and style.
KESTREL_API double textWidth(const AcDbText& text);
// Appends the box of text for the given width to points: p0, p1, p2, p3 and p0 again.
KESTREL_API void appendTextBoundingBox(const AcDbText& text, double width,
                                       AcGePoint3dArray& points);

}  // namespace kestrel
