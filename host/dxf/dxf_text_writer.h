// host::DxfTextWriter, the low level of the DXF writer: formats groups as ASCII DXF lines (the
// code right-aligned in three columns, then the value) into a buffer of fixed size that it hands
// to a DxfSink whenever it fills, so a text of any length passes through a few megabytes. Texts
// become UTF-8; reals are written in the shortest form that reads back to the same double,
// whatever the process locale. Nothing is allocated per group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "kestrel/host/ge/point3d.h"

namespace host {

// Where the writer's bytes go, in order, a buffer at a time.
class DxfSink {
public:
    // Takes the next bytes; 0 or an error number, after which the writer sends nothing more.
    virtual int write(std::string_view bytes) = 0;
    // Drops every byte taken so far, so that the text can be written again from its start; 0 or
    // an error number.
    virtual int rewind() = 0;

protected:
    ~DxfSink() = default;
};

// A sink that appends to a string (not owned), which must outlive it; rewinding cuts the string
// back to what it held when the sink was made. expectedBytes reserves room for a text of that
// size at once (a text of many megabytes is then backed by large pages where the system allows).
class DxfStringSink final : public DxfSink {
public:
    explicit DxfStringSink(std::string& out, std::size_t expectedBytes = 0);
    int write(std::string_view bytes) override {
        m_out.append(bytes);
        return 0;
    }
    int rewind() override {
        m_out.resize(m_start);
        return 0;
    }

private:
    std::string& m_out;
    std::size_t m_start;
};

// Decisions on values files cannot carry as they are:
// - Control characters (below U+0020) in texts are written in caret notation ("^J" for a line
//   feed), so that a text never spans lines; code points that are not characters (surrogates,
//   beyond U+10FFFF) become U+FFFD. A caret the text holds is written as it stands: the format
//   has no escape for it ("^ " is a caret glyph to text renderers, not to files), so a text
//   holding "^J" itself reads back as a line feed.
// - Reals that are whole numbers get ".0" so that every reader sees a real.
// - A group longer than the buffer (a text of many thousand characters) grows the buffer for
//   as long as it takes; the buffer goes back to its size at the next flush.
class DxfTextWriter {
public:
    // Writes to sink (not owned, must outlive the writer) through a buffer of bufferBytes.
    explicit DxfTextWriter(DxfSink& sink, std::size_t bufferBytes = kDefaultBuffer);

    static constexpr std::size_t kDefaultBuffer = std::size_t{1} << 20;

    void text(int code, std::wstring_view value);
    // A text given as bytes already in UTF-8 (ASCII names, hexadecimal handles).
    void ascii(int code, std::string_view value);
    void integer(int code, std::int64_t value);
    void real(int code, double value);
    // An angle given in radians, written in degrees as files hold angles.
    void angle(int code, double radians);
    // The point under code, code + 10 and, with withZ, code + 20.
    void point(int code, const AcGePoint3d& value, bool withZ);
    // A handle in upper-case hexadecimal ("0" for none).
    void handle(int code, std::uint64_t value);
    void bytes(int code, const unsigned char* data, std::size_t length);

    // Hands what is buffered to the sink; 0 or the sink's first error (kept: later groups are
    // dropped and every flush answers it).
    int flush();
    // Drops what is buffered, rewinds the sink and counts lines from 0 again; 0 or an error.
    int rewind();
    // The sink's first error, or 0.
    int error() const { return m_error; }
    // Lines written so far.
    std::size_t lines() const { return m_lines; }

private:
    // Room for n more bytes at the end of the buffer, flushing first when they do not fit.
    char* room(std::size_t n) {
        if (m_capacity - m_size < n) {
            makeRoom(n);
        }
        return m_data.get() + m_size;
    }
    void makeRoom(std::size_t n);
    // Ends a line written up to end (which room gave).
    void endLine(char* end) {
        *end++ = '\n';
        m_size = static_cast<std::size_t>(end - m_data.get());
        ++m_lines;
    }
    char* code(char* out, int code);

    DxfSink& m_sink;
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity;
    std::size_t m_bufferBytes;  // the capacity to go back to after a long group
    std::size_t m_lines = 0;
    int m_error = 0;
};

// Writes value as the shortest text that reads back to it (std::to_chars' form) into out, which
// has room for 32 bytes; the end of what it wrote. Exposed for its tests.
char* formatReal(char* out, double value);

}  // namespace host
