// The current view: set from view records, read by the harness.
#include "kestrel/host/app/view.h"

#include <cmath>

#include "kestrel/host/app/editor_state.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/view_table.h"

namespace {

bool finite(const AcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool validView(const AcDbViewTableRecord& record) {
    const AcGeVector3d direction = record.viewDirection();
    const AcGePoint2d center = record.centerPoint();
    return std::isfinite(record.height()) && record.height() >= 0.0 &&
           std::isfinite(record.width()) && record.width() >= 0.0 &&
           finite(AcGePoint3d(direction.x, direction.y, direction.z)) &&
           !direction.isZeroLength() && std::isfinite(center.x) && std::isfinite(center.y) &&
           finite(record.target()) && std::isfinite(record.viewTwist()) &&
           std::isfinite(record.lensLength()) && std::isfinite(record.frontClipDistance()) &&
           std::isfinite(record.backClipDistance());
}

host::ViewState viewOf(const AcDbViewTableRecord& record) {
    host::ViewState view;
    view.center = record.centerPoint();
    view.height = record.height();
    view.width = record.width();
    view.target = record.target();
    view.viewDirection = record.viewDirection().normal();
    view.viewTwist = record.viewTwist();
    view.lensLength = record.lensLength();
    view.frontClipDistance = record.frontClipDistance();
    view.backClipDistance = record.backClipDistance();
    view.perspectiveEnabled = record.perspectiveEnabled();
    view.frontClipEnabled = record.frontClipEnabled();
    view.backClipEnabled = record.backClipEnabled();
    view.frontClipAtEye = record.frontClipAtEye();
    view.paperspaceView = record.isPaperspaceView();
    return view;
}

}  // namespace

Acad::ErrorStatus acedSetCurrentView(AcDbViewTableRecord* pVwRec, AcDbObjectId vportId) {
    if (pVwRec == nullptr) {
        return Acad::eNullPtr;
    }
    if (!vportId.isNull()) {
        return Acad::eNotApplicable;
    }
    if (!validView(*pVwRec)) {
        return Acad::eInvalidInput;
    }
    host::editorState().view = viewOf(*pVwRec);
    return Acad::eOk;
}

namespace host {

ViewState currentView() {
    return editorState().view;
}

}  // namespace host
