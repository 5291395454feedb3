// CVLKCTextPtr's measures, and the width and box construction it shares with CVLKCAttribPtr:
// the host's text box gives the width, the text's extents the middle of the box.
#include "kestrel/drawing/text_ptr.h"

#include "kestrel/drawing/symbol_table_ptrs.h"
#include "kestrel/host/app/text_box.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/extents.h"
#include "kestrel/host/ge/matrix3d.h"

namespace {

constexpr double kNotMeasured = -1.0;

}  // namespace

double CVLKCTextPtr::getWidth(const wchar_t* text, double height, double rotation,
                              const wchar_t* style) {
    if (text == nullptr || style == nullptr || !(height > 0.0)) {
        return kNotMeasured;
    }
    resbuf* args = acutBuildList(40, height, 1, text, 50, rotation, 7, style, 0);
    ads_point low = {0, 0, 0};
    ads_point high = {0, 0, 0};
    const bool measured = args != nullptr && acedTextBox(args, low, high) == RTNORM;
    acutRelRb(args);
    return measured ? high[0] - low[0] : kNotMeasured;
}

double CVLKCTextPtr::getWidth(const wchar_t* text, double height, double rotation,
                              AcDbObjectId style) {
    CString name;
    CVLKCTextStyleTablePtr(AcDb::kForRead).getName(style, name);
    return getWidth(text, height, rotation, static_cast<const wchar_t*>(name));
}

double CVLKCTextPtr::getWidth() {
    return m_object == nullptr ? kNotMeasured : kestrel::textWidth(*m_object);
}

int CVLKCTextPtr::GetTextBoundingBox(AcGePoint3dArray& points) {
    if (m_object == nullptr) {
        return 0;
    }
    const double width =
        getWidth(m_object->textStringConst(), m_object->height(), 0.0, m_object->textStyle());
    kestrel::appendTextBoundingBox(*m_object, width, points);
    return 1;
}

namespace kestrel {

double textWidth(const AcDbText& text) {
    return CVLKCTextPtr::getWidth(text.textStringConst(), text.height(), text.rotation(),
                                  text.textStyle());
}

void appendTextBoundingBox(const AcDbText& text, double width, AcGePoint3dArray& points) {
    const double height = text.height();
    AcDbExtents extents;
    text.getGeomExtents(extents);
    const AcGePoint3d middle = extents.minPoint() + (extents.maxPoint() - extents.minPoint()) / 2.0;
    const AcGePoint3d p0(middle.x - width / 2, middle.y - height / 2, middle.z);
    const AcGePoint3d p1 = p0 + AcGeVector3d(width, 0, 0);
    const AcGePoint3d p2 = p1 + AcGeVector3d(0, height, 0);
    const AcGePoint3d p3 = p0 + AcGeVector3d(0, height, 0);
    AcGeMatrix3d rotation;
    rotation.setToRotation(text.rotation(), AcGeVector3d::kZAxis, middle);
    for (AcGePoint3d corner : {p0, p1, p2, p3, p0}) {
        points.append(corner.transformBy(rotation));
    }
}

}  // namespace kestrel
