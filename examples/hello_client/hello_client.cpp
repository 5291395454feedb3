// hello_client: a client module that uses Kestrel as a module author would. Loaded into a drawing
// host, it adds the layer "HELLO", draws a line and an arc through three points on it, tags the
// line with XData of its own application and keeps a note in the line's extension dictionary.
// Only Kestrel's public headers are used.
#include <kestrel/access/cx_entity.h>
#include <kestrel/drawing/arc_ptr.h>
#include <kestrel/drawing/entity_creation.h>
#include <kestrel/drawing/layer_table_ptr.h>
#include <kestrel/drawing/line_ptr.h>
#include <kestrel/host/app/command_line.h>
#include <kestrel/host/rx/app_framework.h>

namespace {

constexpr const wchar_t* kApp = L"HELLO_CLIENT";

// Draws the showcase into the working database; false when the host refuses a step.
bool drawHello() {
    CVLKCLayerTablePtr layers;
    CVLKCLayerPtr layer;
    if (!layers.createLayer(L"HELLO", layer, true)) {
        return false;
    }
    layer.close();

    CVLKCLinePtr line;
    CVLKCDraw::line(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0), &line);
    const bool tagged = line.eedWrite(kApp, L"made by hello_client") == Acad::eOk &&
                        line.dctWrite(L"HELLO_NOTE", 42) == Acad::eOk;

    CVLKCArcPtr arc;
    CVLKCDraw::arc(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 5, 0), AcGePoint3d(10, 0, 0), &arc);
    return tagged && arc.status() == Acad::eOk;
}

}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    switch (msg) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(pkt);
            acutPrintf(drawHello() ? L"hello_client: drew a line and an arc on layer HELLO\n"
                                   : L"hello_client: the drawing refused the showcase\n");
            return AcRx::kRetOK;
        default:
            return AcRx::kRetOK;
    }
}

extern "C" int acrxGetApiVersion(int hostVersion) {
    return hostVersion;
}
