// The DXF text writer on its own: reals exactly as std::to_chars writes them (with ".0" for whole
// numbers), the same bytes whatever the buffer size and however long a group, and a sink's
// error kept and reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "host/dxf/dxf_text_writer.h"

namespace {

std::string toChars(double value) {
    char digits[40];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string formatted(double value) {
    char digits[40];
    return std::string(digits, host::formatReal(digits, value));
}

TEST(WriterText, WriterTextRealsAreTheShortestFormToCharsGives) {
    std::vector<double> values = {0.0,     -0.0,    1.0,      -1.0,    0.5,       0.1,
                                  1.0 / 3, 99999.0, 100000.0, 120000.0, 1200000.0, 12000000.0,
                                  1e15,    1e16,    1e20,     -1e20,   0x1p37,    0x1p37 - 0.5,
                                  0x1p20 + 1.0 / 1024,  0x1p21 + 1.0 / 1024, 1.0 / 1024,
                                  3.0 / 1024, 5e-324,  1e-300,  std::numeric_limits<double>::max(),
                                  123456.0625, -0.0009765625};
    // Every fraction of 1/1024 the fast path takes, around zero and at its limits of magnitude.
    for (long units = -40000; units <= 40000; units += 3) {
        values.push_back(static_cast<double>(units) / 1024);
    }
    for (int bits : {20, 24, 27, 30, 34, 37}) {
        for (long units = -5; units <= 5; ++units) {
            values.push_back(std::ldexp(1.0, bits) + static_cast<double>(units) / 1024);
            values.push_back(std::ldexp(1.0, bits) + static_cast<double>(units) / 8);
        }
    }
    for (double whole = 1; whole < 1e13; whole *= 10) {
        values.push_back(whole);
        values.push_back(whole * 7);
        values.push_back(whole * 7 + 3);
    }
    std::mt19937_64 random(20261207);
    while (values.size() < 120000) {
        double value = 0.0;
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            values.push_back(value);
        }
    }
    for (double value : values) {
        ASSERT_EQ(formatted(value), toChars(value)) << "bits of " << std::hexfloat << value;
    }
}

// Keeps every buffer the writer hands over; fails with error from the failAt-th on.
class RecordingSink final : public host::DxfSink {
public:
    int write(std::string_view bytes) override {
        if (++m_writes >= m_failAt) {
            return m_error;
        }
        m_text.append(bytes);
        m_largest = std::max(m_largest, bytes.size());
        return 0;
    }
    int rewind() override {
        m_text.clear();
        return 0;
    }

    std::string m_text;
    std::size_t m_largest = 0;
    int m_writes = 0;
    int m_failAt = std::numeric_limits<int>::max();
    int m_error = 0;
};

// Groups of every kind, one text far longer than small buffers.
void writeGroups(host::DxfTextWriter& out) {
    std::wstring longText(5000, L'\u00e9');
    longText += L"line\nfeed \U0001F600 \xD800 end";
    const unsigned char chunk[] = {0x00, 0x7F, 0xAB, 0xFF};
    for (int i = 0; i < 200; ++i) {
        out.ascii(0, "LINE");
        out.handle(5, 0x1A2Bu + i);
        out.text(1, i == 100 ? std::wstring_view(longText) : L"caf\u00e9");
        out.integer(1071, -i);
        out.real(40, i * 0.25);
        out.point(10, AcGePoint3d(i, -i / 3.0, 1e21), true);
        out.bytes(310, chunk, sizeof chunk);
    }
}

TEST(WriterText, WriterTextBuffersOfAnySizeWriteTheSameBytes) {
    RecordingSink whole;
    host::DxfTextWriter large(whole);
    writeGroups(large);
    ASSERT_EQ(large.flush(), 0);
    EXPECT_EQ(large.lines(), 200u * 18);
    const std::string first =
        "  0\nLINE\n  5\n1A2B\n  1\ncaf\xC3\xA9\n1071\n0\n 40\n0.0\n 10\n0.0\n 20\n0.0\n 30\n1e+21\n";
    EXPECT_EQ(whole.m_text.substr(0, first.size()), first);
    EXPECT_NE(whole.m_text.find("line^Jfeed \xF0\x9F\x98\x80 \xEF\xBF\xBD end\n"),
              std::string::npos);
    EXPECT_NE(whole.m_text.find("310\n007FABFF\n"), std::string::npos);
    for (std::size_t buffer : {std::size_t{16}, std::size_t{100}, std::size_t{4096}}) {
        RecordingSink pieces;
        host::DxfTextWriter small(pieces, buffer);
        writeGroups(small);
        ASSERT_EQ(small.flush(), 0);
        EXPECT_EQ(pieces.m_text, whole.m_text) << buffer;
        EXPECT_EQ(small.lines(), large.lines());
        EXPECT_GT(pieces.m_writes, 1);
    }
}

TEST(WriterText, WriterTextASinkErrorIsKeptAndWhatFollowsIsDropped) {
    RecordingSink sink;
    sink.m_failAt = 2;
    sink.m_error = ENOSPC;
    host::DxfTextWriter out(sink, 64);
    writeGroups(out);
    EXPECT_EQ(out.error(), ENOSPC);
    EXPECT_EQ(out.flush(), ENOSPC);
    EXPECT_EQ(out.rewind(), ENOSPC);
    EXPECT_LE(sink.m_text.size(), 64u);
    EXPECT_EQ(sink.m_writes, 2);
}

}  // namespace
