// kestrel render [--layout NAME] FILE OUT.svg: draws the drawing's model space, or the named
// layout, as an SVG picture (see svg_render.h). The picture replaces OUT.svg through a
// temporary file (replaceFileContents), so a failed run leaves an existing picture as it was.
#include <sstream>

#include "host/db/database.h"
#include "platform/file_replace.h"
#include "platform/utf8.h"
#include "tools/commands.h"
#include "tools/host_session.h"
#include "tools/svg_render.h"

namespace {

constexpr char kUsage[] = "render [--layout NAME] FILE OUT.svg";

// Writes the picture of the block to path; false with reason set.
bool writePicture(const AcDbObjectId& blockId, const std::filesystem::path& path,
                  SvgStats& stats, std::string& reason) {
    std::ostringstream picture;
    if (!renderBlock(blockId, picture, stats)) {
        reason = "cannot read the drawing's entities";
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
    Arguments files = args;
    std::string layout;
    if (files.size() == 4 && files[0] == "--layout") {
        layout = files[1];
        files.erase(files.begin(), files.begin() + 2);
    }
    if (files.size() != 2 || files[0].starts_with("--")) {
        return wrongUsage(kUsage);
    }
    HostSession session;
    if (session.openDrawing(files[0]) == nullptr) {
        return failed(session.error());
    }
    AcDbDatabase& db = *acdbHostApplicationServices()->workingDatabase();
    const AcDbObjectId blockId =
        layout.empty() ? db.modelSpaceId() : layoutBlock(db, utf8ToWide(layout));
    if (blockId.isNull()) {
        return failed("no layout named " + layout + " in " + files[0]);
    }
    SvgStats stats;
    std::string reason;
    if (!writePicture(blockId, files[1], stats, reason)) {
        return failed(reason);
    }
    std::string skipped;
    for (const auto& [kind, count] : stats.skipped) {
        skipped += (skipped.empty() ? "; not drawn: " : ", ") + wideToUtf8(kind) + " " +
                   std::to_string(count);
    }
    std::printf("%s: %d entities drawn%s\n", files[1].c_str(), stats.drawn, skipped.c_str());
    return kExitOk;
}
