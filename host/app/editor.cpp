// The editor service object, registered in the system registry when the host library loads.
#include "kestrel/host/app/editor.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxEventReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEditorReactor, AcRxEventReactor)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEditor, AcRxObject)

namespace {

// The editor lives as long as the process; host::setEditorServicesPresent takes it out of the
// registry and puts it back.
AcEditor* theEditor() {
    static auto* editor = new AcEditor();
    return editor;
}

[[maybe_unused]] const bool kEditorRegistered =
    (acrxSysRegistry()->atPut(ACRX_EDITOR_SERVICE, theEditor()), true);

}  // namespace

namespace host {

AcEditor* hostEditor() {
    return theEditor();
}

}  // namespace host
