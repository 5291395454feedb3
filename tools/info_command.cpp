// kestrel info FILE: opens the drawing in the host with the module loaded and prints what it
// holds (see drawing_summary.h).
#include "kestrel/host/db/database.h"
#include "tools/commands.h"
#include "tools/drawing_summary.h"
#include "tools/host_session.h"

int runInfo(const Arguments& args) {
    if (args.size() != 1) {
        return wrongUsage("info FILE");
    }
    HostSession session;
    if (session.openDrawing(args[0]) == nullptr) {
        return failed(session.error());
    }
    DrawingSummary summary;
    if (!summarizeDrawing(summary)) {
        return failed("cannot read the model space of " + args[0]);
    }
    printSummary(summary);
    return kExitOk;
}
