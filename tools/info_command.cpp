// kestrel info FILE [--verbose | --json]: opens the drawing in the host with the module loaded
// and prints what it holds (see drawing_summary.h): counts and lists, with --verbose the values
// as well, with --json everything as one JSON object for scripts.
#include "kestrel/host/db/database.h"
#include "tools/commands.h"
#include "tools/drawing_summary.h"
#include "tools/host_session.h"

namespace {

constexpr const char* kUsage = "info FILE [--verbose | --json]";

}  // namespace

int runInfo(const Arguments& args) {
    std::string file;
    bool verbose = false;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg == "--verbose" || arg == "--json") {
            bool& flag = arg == "--verbose" ? verbose : json;
            if (flag) {
                return wrongUsage(kUsage);  // given twice
            }
            flag = true;
        } else if (!file.empty()) {
            return wrongUsage(kUsage);
        } else {
            file = arg;
        }
    }
    if (file.empty() || (verbose && json)) {
        return wrongUsage(kUsage);
    }
    HostSession session;
    if (session.openDrawing(file) == nullptr) {
        return failed(session.error());
    }
    DrawingSummary summary;
    if (!summarizeDrawing(summary)) {
        return failed("cannot read the model space of " + file);
    }
    json ? printSummaryJson(file, summary) : printSummary(summary, verbose);
    return kExitOk;
}
