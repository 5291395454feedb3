// The DXF tokenizer: turns the bytes of an ASCII or binary DXF file into groups (a code and its
// value, the value converted by the code's value class, host/db/group_codes.h). Text values point
// into the bytes, which must outlive the lexer and every group it gave out. Nothing is allocated
// per group. Both kinds of file give the same groups for the same drawing, so that the reader
// above needs no branch; only positions and kBinary texts differ (see DxfGroup).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/host/db/group_codes.h"

namespace host {

// The integer of a name group whose value is no handle (often a record name written instead).
inline constexpr std::int64_t kNotAHandle = -1;

// One group of a file.
struct DxfGroup {
    int code = 0;
    GroupValueClass valueClass = GroupValueClass::kUnknown;
    // ASCII files: the line of the code, counted from 1. Binary files: the byte offset of the
    // code, counted from 0 at the start of the file (its title included).
    std::size_t line = 0;
    // kText as in the file; kName: hex handle; kBinary: hex digits (ASCII files) or the bytes
    // themselves (binary files): dxfGroupBytes gives the bytes of either.
    std::string_view text;
    double x = 0.0;  // kReal: the value; kPoint: the coordinates
    double y = 0.0;
    double z = 0.0;
    bool hasZ = false;    // kPoint: the file gave the third coordinate
    bool binary = false;  // read from a binary file
    // kInt16, kInt32, kInt64, kBool; kName: the handle (0 for none or an empty value,
    // kNotAHandle when the value is not hexadecimal: text then holds what the file wrote)
    std::int64_t integer = 0;
};

// The bytes of a kBinary group read in kValues mode, from either kind of file.
std::vector<unsigned char> dxfGroupBytes(const DxfGroup& group);
// The same into bytes, replacing its content (reusing its room).
void dxfGroupBytes(const DxfGroup& group, std::vector<unsigned char>& bytes);
// The bytes of a kBinary group as upper-case hexadecimal text, from either kind of file.
std::string dxfGroupHex(const DxfGroup& group);

// Decisions on what a file may hold:
// - ASCII files: lines end in LF or CRLF; a UTF-8 byte-order mark at the start is skipped. Blanks
//   (spaces and tabs) around codes and numbers are ignored; text values are kept exactly as
//   written. 16-bit codes take -32768..65535 and 32-bit codes -2^31..2^32-1 (files write flags
//   unsigned). Binary chunks are an even count of hex digits.
// - A name group (330-369, 390-399, 480-481) whose value is not a handle (1 to 16 hex digits) is
//   no error: its integer is kNotAHandle and the reader decides.
// - Binary files start with the format's 22-byte title line, ending in CR LF SUB NUL. The
//   first group (0 SECTION) tells how codes are written: one byte, 255 being followed by a
//   two-byte code (release 12), or two bytes. Numbers are little-endian; integers are signed (a 16-bit flag
//   an ASCII file writes as 65535 reads -1 here), bools one byte, reals eight-byte doubles.
//   Texts and handles end in NUL; chunks are a length byte and the bytes.
// - 999 groups are comments and are skipped.
// - A point is its X group (10-18, 110-112, 210-213, 1010-1013) followed by the Y group (code +
//   10), then optionally the Z group (code + 20); the groups merge into one kPoint group.
// - Reals must be finite. Codes the group-code table does not know, a code without its value,
//   and binary data without the binary title are errors.
class DxfLexer {
public:
    // What next() does with values: convert and check them (kValues), or only pair each code
    // with its value, leaving the value's line (ASCII) or bytes (binary; texts without their
    // NUL) in text, unchecked, and points unmerged (kCodesOnly, for a quick first look at a
    // file). Binary files need the code's value class to find the value's end, so codes the
    // table does not know are errors in both modes.
    enum class Mode { kValues, kCodesOnly };

    // A lexer over the bytes of a file (not owned; they must outlive the lexer and its groups).
    explicit DxfLexer(std::string_view text, Mode mode = Mode::kValues);

    // Reads the next group; false at the end of the text or on an error (failed() tells which).
    bool next(DxfGroup& group);
    // True once a group could not be read; message() then says where and what.
    bool failed() const { return !m_message.empty(); }
    // "line 12: group code 'x' is not a number", "byte 4711: the file ends inside the value of
    // group code 40"; empty while nothing failed.
    const std::wstring& message() const { return m_message; }
    // True for a binary file: positions are byte offsets.
    bool binary() const { return m_binary; }
    // A position of this file (DxfGroup::line, linesRead()) as messages give it: "line 12" for
    // ASCII files, "byte 4711" for binary ones.
    std::wstring where(std::size_t position) const;
    // ASCII files: lines consumed so far. Binary files: the offset reached, in bytes.
    std::size_t linesRead() const;

private:
    enum class Coordinate { kRead, kOtherCode, kEnd, kBadCode, kBadValue };

    void startBinary();
    bool readCode(int& code, std::size_t& position);
    bool readValue(DxfGroup& group);
    bool fail(std::size_t position, const std::wstring& what);
    // The position just past the last byte, for errors about a file that ends too soon.
    std::size_t endPosition() const;

    // ASCII files.
    bool nextLine(std::string_view& line);
    bool readTextCode(int& code, std::size_t& line);
    // Reads a real or integer value written plainly on a line of its own (blanks before it
    // aside) in the walk that finds the line's end; false, reading nothing, for anything else.
    bool readQuickNumber(DxfGroup& group);
    bool convert(DxfGroup& group, std::string_view value);

    // Binary files.
    std::size_t offset() const { return static_cast<std::size_t>(m_pos - m_begin); }
    bool readBinaryCode(int& code, std::size_t& offset);
    // Takes the bytes of a value of class cls; false when the file ends first.
    bool takeBinaryValue(GroupValueClass cls, std::string_view& bytes);
    bool readBinaryValue(DxfGroup& group);
    bool convertBinary(DxfGroup& group, std::string_view bytes);

    // Points: the Y and Z groups after an X group. readCoordinate reads the next group into value
    // when its code is code, and says what it found; position is where that group starts.
    bool readPoint(DxfGroup& group);
    Coordinate readCoordinate(int code, double& value, std::size_t& position);

    const char* m_begin;
    const char* m_pos;
    const char* m_end;
    Mode m_mode;
    bool m_binary = false;
    bool m_oneByteCodes = false;  // binary release-12 files
    std::size_t m_line = 0;
    std::wstring m_message;
};

}  // namespace host
