// kestrel render [--layout NAME] FILE OUT.svg: draws the drawing's model space, or the named
// layout, as an SVG picture (see svg_render.h). The picture is streamed into a temporary file
// that replaces OUT.svg once complete (FileReplacement), so a failed run leaves an existing
// picture as it was and a large picture is never held whole in memory.
#include <array>
#include <ostream>
#include <streambuf>

#include "kestrel/host/db/database.h"
#include "kestrel/platform/file_replace.h"
#include "kestrel/platform/utf8.h"
#include "tools/commands.h"
#include "tools/host_session.h"
#include "tools/svg_render.h"

namespace {

constexpr char kUsage[] = "render [--layout NAME] FILE OUT.svg";

// An output stream buffer that hands its bytes to a file replacement in pieces of 64 KB.
class ReplacementBuffer : public std::streambuf {
public:
    explicit ReplacementBuffer(FileReplacement& file) : m_file(file) {
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    }
    // 0 or the first error number of the writes.
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        if (m_error == 0 && pptr() != pbase()) {
            m_error =
                m_file.write(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
        }
        setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
        return m_error == 0 ? 0 : -1;
    }

private:
    FileReplacement& m_file;
    std::array<char, 1 << 16> m_buffer{};
    int m_error = 0;
};

// Writes the picture of the block to path; false with reason set.
bool writePicture(const AcDbObjectId& blockId, const std::filesystem::path& path, SvgStats& stats,
                  std::string& reason) {
    FileReplacement file;
    if (file.begin(path.string()) != 0) {
        reason = "cannot write " + path.string();
        return false;
    }
    ReplacementBuffer buffer(file);
    std::ostream picture(&buffer);
    if (!renderBlock(blockId, picture, stats)) {
        reason = buffer.error() != 0 ? "cannot write " + path.string()
                                     : "cannot read the drawing's entities";
        return false;
    }
    if (buffer.pubsync() != 0 || file.commit(FileDurability::kWritten) != 0) {
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
