// host::DxfTextWriter, the low level of the DXF writer: appends groups as ASCII DXF lines (the
// code right-aligned in three columns, then the value) to a byte buffer it owns. Texts become
// UTF-8; reals are written in the shortest form that reads back to the same double, whatever
// the process locale. Nothing is allocated per group once the buffer has grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/ge/point3d.h"

namespace host {

// Decisions on values files cannot carry as they are:
// - Control characters (below U+0020) in texts are written in caret notation ("^J" for a line
//   feed), so that a text never spans lines; code points that are not characters (surrogates,
//   beyond U+10FFFF) become U+FFFD. A caret the text holds is written as it stands: the format
//   has no escape for it ("^ " is a caret glyph to text renderers, not to files), so a text
//   holding "^J" itself reads back as a line feed.
// - Reals that are whole numbers get ".0" so that every reader sees a real.
class DxfTextWriter {
public:
    // Starts with room for reserveBytes bytes.
    explicit DxfTextWriter(std::size_t reserveBytes = 1 << 16);

    void text(int code, std::wstring_view value);
    // A text given as bytes already in UTF-8 (ASCII names, hexadecimal handles).
    void ascii(int code, std::string_view value);
    void integer(int code, std::int64_t value);
    void real(int code, double value);
    // The point under code, code + 10 and, with withZ, code + 20.
    void point(int code, const AcGePoint3d& value, bool withZ);
    // A handle in upper-case hexadecimal ("0" for none).
    void handle(int code, std::uint64_t value);
    void bytes(int code, const unsigned char* data, std::size_t length);

    // Lines written so far.
    std::size_t lines() const { return m_lines; }
    const std::string& buffer() const { return m_buffer; }
    std::string& buffer() { return m_buffer; }

private:
    void code(int code);
    void realValue(double value);
    void endLine() {
        m_buffer.push_back('\n');
        ++m_lines;
    }

    std::string m_buffer;
    std::size_t m_lines = 0;
};

}  // namespace host
