// kestrel render FILE OUT.svg: draws the drawing's model space as an SVG picture (see
// svg_render.h). The picture replaces OUT.svg through a temporary file (replaceFileContents), so
// a failed run leaves an existing picture as it was.
#include <sstream>

#include "host/db/database.h"
#include "platform/file_replace.h"
#include "platform/utf8.h"
#include "tools/commands.h"
#include "tools/host_session.h"
#include "tools/svg_render.h"

namespace {

// Writes the picture of the working database to path; false with reason set.
bool writePicture(const std::filesystem::path& path, SvgStats& stats, std::string& reason) {
    std::ostringstream picture;
    if (!renderModelSpace(*acdbHostApplicationServices()->workingDatabase(), picture, stats)) {
        reason = "cannot read the model space";
        return false;
    }
    if (replaceFileContents(path.string(), picture.view(), FileDurability::kWritten) != 0) {
        reason = "cannot write " + path.string();
        return false;
    }
    return true;
}

}  // namespace

int runRender(const Arguments& args) {
    if (args.size() != 2) {
        return wrongUsage("render FILE OUT.svg");
    }
    HostSession session;
    if (session.openDrawing(args[0]) == nullptr) {
        return failed(session.error());
    }
    SvgStats stats;
    std::string reason;
    if (!writePicture(args[1], stats, reason)) {
        return failed(reason);
    }
    std::string skipped;
    for (const auto& [kind, count] : stats.skipped) {
        skipped += (skipped.empty() ? "; not drawn: " : ", ") + wideToUtf8(kind) + " " +
                   std::to_string(count);
    }
    std::printf("%s: %d entities drawn%s\n", args[1].c_str(), stats.drawn, skipped.c_str());
    return kExitOk;
}
