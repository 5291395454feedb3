// CKestrelApp, the module's application object, and the module's life from mapping to
// unmapping. The statics, the operating-system entry and the two host entry points live in
// frame/kestrel_app.cpp alone, so their order is the order written there.
#pragma once

#include <span>

#include "kestrel/host/rx/app_framework.h"

// Order of a whole load and unload:
//   mapping:   1 repository registry, 2 target-space name "*Model_Space", 3 undo-table registry,
//              4 CVLKXMLUndoObject's runtime class (registered, hierarchy rebuilt), 5 editor
//              reactor, 6 document reactor (both created attached); then the operating-system
//              entry attaches the MFC extension module and initialises the user-interface library.
//   message 1: unlock, MDI-aware, no server components, the custom-class table registered.
//   message 2: the custom-class table unregistered (derived classes first).
//   unmapping: the entry detaches the extension module; statics destroyed from 6 back to 1
//              (the undo object's class deleted at 4, the registries cleared at 3 and 1).
// Statics 4 to 6 and the table's one entry come from the files of their classes
// (common/module_parts.h says how they join).
//
// Decisions where the module's interface leaves the behaviour open:
// - acrxGetApiVersion answers 0x120000 (release 18) to the host's first call and keeps the
//   version the host announced then; every later call answers that kept version, so a host
//   that loads the module again while it stays mapped (a client module holds it) gets the
//   version it agreed to.
// - Unloading while a drawing holds undo objects: the host's loader refuses to unload a module
//   while any live database holds an object, erased or not, of a class the module registered,
//   so neither the undo objects nor the undo records that name them outlive their class. The
//   application itself never refuses; a host without that check would need the refusal in
//   On_kUnloadAppMsg, asking the undo objects' class file whether any database still holds one.
// - The command and function tables are not kept: there are no entries, and messages 3 to 5
//   answer kRetOK as the framework's handlers do.
class CKestrelApp : public AcRxArxApp {
public:
    // classes: the custom-class table, which must outlive the application object.
    constexpr explicit CKestrelApp(std::span<AcRxCustomClassEntry* const> classes)
        : AcRxArxApp(classes, true, true) {}

    // Initialisation (framework's); always kRetOK.
    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    // Shutdown (framework's); always kRetOK.
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
    // The module registers no server components.
    void RegisterServerComponents() override;
};
