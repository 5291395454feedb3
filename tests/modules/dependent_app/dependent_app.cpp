// A client module that links against the sample module (sample_app) and calls it, for the
// loader's tests of load order: it must be loaded after the module it depends on, and its
// objects are of the sample module's class, which the loader must not take for its own.
#include "kestrel/host/app/command_line.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/rx/app_framework.h"

extern "C" void sampleAddNote(AcDbDatabase* db, AcDbObjectId* id);

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    if (msg == AcRx::kInitAppMsg) {
        acrxDynamicLinker->unlockApplication(pkt);
        acutPrintf(L"[dependent] kInitAppMsg\n");
    } else if (msg == AcRx::kUnloadAppMsg) {
        acutPrintf(L"[dependent] kUnloadAppMsg\n");
    }
    return AcRx::kRetOK;
}

extern "C" int acrxGetApiVersion(int) {
    return host::kAcrxApiVersion;
}

// For the tests: adds a note of the sample module's class to db, through the sample module.
extern "C" void dependentAddNote(AcDbDatabase* db, AcDbObjectId* id) {
    sampleAddNote(db, id);
}
