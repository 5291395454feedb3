// AcGiTextStyle: a text style as the graphics side sees it (font files, size, width factor,
// obliquing angle, direction flags), filled from a text style record with fromAcDbTextStyle,
// and measuring texts with the host's font metric (host/gi/text_metric.h). A plain value that
// opens nothing and holds no database object.
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/rx/adesk.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;

// Decisions where the host SDK leaves the behaviour to the host:
// - A new style has text size 1, width factor 1, obliquing angle 0, font "txt", no flags.
// - loadStyleRec loads nothing (the metric is built in) and answers 1 (the one metric in use).
// - extents() measures with the host metric at textSize(), xScale() and obliquingAngle():
//   the width and height of the text's box.
class DRAWHOST_API AcGiTextStyle {
public:
    explicit AcGiTextStyle(AcDbDatabase* database = nullptr) : m_database(database) {}

    const ACHAR* styleName() const { return m_styleName.c_str(); }
    // eNullPtr for null.
    Acad::ErrorStatus setStyleName(const ACHAR* name);
    const ACHAR* fileName() const { return m_fileName.c_str(); }
    void setFileName(const ACHAR* name);
    const ACHAR* bigFontFileName() const { return m_bigFontFileName.c_str(); }
    void setBigFontFileName(const ACHAR* name);
    double textSize() const { return m_textSize; }
    void setTextSize(double size) { m_textSize = size; }
    double xScale() const { return m_xScale; }
    void setXScale(double scale) { m_xScale = scale; }
    double obliquingAngle() const { return m_obliquingAngle; }
    void setObliquingAngle(double angle) { m_obliquingAngle = angle; }
    bool isVertical() const { return m_vertical; }
    void setVertical(bool vertical) { m_vertical = vertical; }
    bool isBackward() const { return m_backward; }
    void setBackward(bool backward) { m_backward = backward; }
    bool isUpsideDown() const { return m_upsideDown; }
    void setUpsideDown(bool upsideDown) { m_upsideDown = upsideDown; }

    // See the class comment; the database argument is accepted for the SDK's shape.
    int loadStyleRec(AcDbDatabase* database = nullptr) const;
    // Width and height of text (length characters, all when negative) in this style.
    AcGePoint2d extents(const ACHAR* text, bool penups = false, int length = -1,
                        bool raw = false) const;

private:
    AcDbDatabase* m_database;
    std::wstring m_styleName;
    std::wstring m_fileName = L"txt";
    std::wstring m_bigFontFileName;
    double m_textSize = 1.0;
    double m_xScale = 1.0;
    double m_obliquingAngle = 0.0;
    bool m_vertical = false;
    bool m_backward = false;
    bool m_upsideDown = false;
};

// Fills style from the text style record styleId (opened for read and closed again): name,
// font files, size (1 when the record's is 0), width factor, obliquing angle and flags. The
// open's status (eNotThatKindOfClass for another kind of object) leaves style unchanged.
DRAWHOST_API Acad::ErrorStatus fromAcDbTextStyle(AcGiTextStyle& style, const AcDbObjectId& styleId);
