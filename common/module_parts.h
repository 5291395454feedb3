// What the module's subsystems contribute to the module frame: the undo object's runtime class,
// the editor and document reactors, and the document reactor's custom-class entry. Each part is
// declared here, below the subsystems, and defined in the file of its class; the frame, above
// them all, builds the parts in its table of statics (frame/kestrel_app.cpp).
#pragma once

#include "kestrel/host/rx/app_framework.h"

class AcRxClass;
class AcRxObject;

namespace kestrel {

// A runtime class registered while the module is mapped: registered (rxInit, then the class
// hierarchy rebuilt) at its place among the statics, deleted (desc) at its place in reverse.
// A class declared with KESTREL_APP_DECLARE_MEMBERS gives both functions and follows the
// module's registration rule (host::rx::registerAppClass).
struct ModuleClass {
    AcRxClass* (*desc)();
    void (*rxInit)();
};

// A module-wide object built at its place among the statics: create returns a new object, which
// the frame owns and deletes at its place in reverse order.
struct ModuleObject {
    AcRxObject* (*create)();
};

// How a class joins: its own file includes this header and defines the matching part after it,
// with constant initialisation only (function addresses and literals), for example
//     const kestrel::ModuleObject kestrel::kEditorReactor{&createEditorReactor};
// A new part is declared below and takes its place in the frame's table.

// Static 4: the runtime class of CVLKXMLUndoObject.
extern const ModuleClass kUndoObjectClass;
// Static 5: the editor reactor (VLKXEditorReactor), created attached.
extern const ModuleObject kEditorReactor;
// Static 6: the document reactor (CVLKXDocumentReactor), created attached.
extern const ModuleObject kDocumentReactor;
// The custom-class table's entry of CVLKXDocumentReactor, registered at kInitAppMsg and deleted
// at kUnloadAppMsg; registered must start false.
extern AcRxCustomClassEntry documentReactorClassEntry;

}  // namespace kestrel
