// marker_client's module entry and its MARKER command (marker_client.h).
#include "marker_client.h"

#include <kestrel/drawing/circle_ptr.h>
#include <kestrel/drawing/entity_creation.h>
#include <kestrel/drawing/line_ptr.h>
#include <kestrel/host/app/command_line.h>
#include <kestrel/host/rx/app_framework.h>
#include <kestrel/xmlrepo/xml_handler.h>

namespace marker {
namespace {

// Adds the marker to the drawing's XML text "<markers>...</markers>" of the application.
bool listMarker(const AcGePoint3d& at, const wchar_t* label) {
    CString xml;
    if (_CXMLHandler::GetXML(kApp, xml) != Acad::eOk || xml.IsEmpty()) {
        xml = L"<markers></markers>";
    }
    CString entry;
    entry.Format(L"<marker label=\"%s\" x=\"%g\" y=\"%g\"/>", label, at.x, at.y);
    xml.Insert(xml.Find(L"</markers>"), entry);
    return _CXMLHandler::SetXML(kApp, xml) == Acad::eOk;
}

}  // namespace

Marker placeMarker(const AcGePoint3d& at, double size, const wchar_t* label) {
    Marker made;
    CVLKCLinePtr line;  // empty: the creating call hands the new line over open for write
    made.line = CVLKCDraw::line(at - AcGeVector3d(size, 0, 0), at + AcGeVector3d(size, 0, 0),
                                &line);
    made.circle = CVLKCDraw::circle(at, size, AcGeVector3d::kZAxis);
    const bool tagged = line.eedWrite(kApp, label) == Acad::eOk &&
                        line.dctWrite(kSizeKey, size) == Acad::eOk && listMarker(at, label);
    line.close();
    if (made.line.isNull() || made.circle.isNull() || !tagged) {
        acutPrintf(L"MARKER: the drawing refused the marker \"%s\"\n", label);
        return Marker{};
    }
    acutPrintf(L"MARKER: placed \"%s\" at %g,%g\n", label, at.x, at.y);
    return made;
}

}  // namespace marker

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    if (msg == AcRx::kInitAppMsg) {
        acrxDynamicLinker->unlockApplication(pkt);
    }
    return AcRx::kRetOK;
}

extern "C" int acrxGetApiVersion(int hostVersion) {
    return hostVersion;
}
