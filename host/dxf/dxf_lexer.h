// The DXF tokenizer: turns the bytes of an ASCII DXF file into groups (a code and its value, the
// value converted by the code's value class, host/db/group_codes.h). Text values point into the
// bytes, which must outlive the lexer and every group it gave out. Nothing is allocated per group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/db/group_codes.h"

namespace host {

// One group of a file.
struct DxfGroup {
    int code = 0;
    GroupValueClass valueClass = GroupValueClass::kUnknown;
    std::size_t line = 0;   // the line of the code, counted from 1
    std::string_view text;  // kText as in the file; kBinary: hex digits; kName: hex handle
    double x = 0.0;         // kReal: the value; kPoint: the coordinates
    double y = 0.0;
    double z = 0.0;
    bool hasZ = false;         // kPoint: the file gave the third coordinate
    std::int64_t integer = 0;  // kInt16, kInt32, kInt64, kBool; kName: the handle (0 for none)
};

// Decisions on what a file may hold:
// - Lines end in LF or CRLF; a UTF-8 byte-order mark at the start is skipped. Blanks (spaces and
//   tabs) around codes and numbers are ignored; text values are kept exactly as written.
// - 999 groups are comments and are skipped.
// - A point is its X group (10-18, 110-112, 210-213, 1010-1013) followed by the Y group (code +
//   10), then optionally the Z group (code + 20); the groups merge into one kPoint group.
// - 16-bit codes take -32768..65535 and 32-bit codes -2^31..2^32-1 (files write flags unsigned);
//   reals must be finite. Handles are 1 to 16 hex digits; binary chunks an even count of them.
// - Codes the group-code table does not know, a code without its value line, and binary DXF
//   files are errors.
class DxfLexer {
public:
    // What next() does with values: convert and check them (kValues), or only pair each code
    // with its value line, leaving the line in text, unchecked, and points unmerged (kCodesOnly,
    // for a quick first look at a file).
    enum class Mode { kValues, kCodesOnly };

    // A lexer over text (not owned; it must outlive the lexer and its groups).
    explicit DxfLexer(std::string_view text, Mode mode = Mode::kValues);

    // Reads the next group; false at the end of the text or on an error (failed() tells which).
    bool next(DxfGroup& group);
    // True once a group could not be read; message() then says where and what.
    bool failed() const { return !m_message.empty(); }
    // "line 12: group code 'x' is not a number"; empty while nothing failed.
    const std::wstring& message() const { return m_message; }
    // Lines consumed so far.
    std::size_t linesRead() const { return m_line; }

private:
    // The next line without its end, or false at the end of the text.
    bool nextLine(std::string_view& line);
    bool readCode(int& code, std::size_t& line);
    bool readValue(std::string_view& value, int code);
    bool convert(DxfGroup& group, std::string_view value);
    bool readPoint(DxfGroup& group);
    bool fail(std::size_t line, const std::wstring& what);

    const char* m_pos;
    const char* m_end;
    Mode m_mode;
    std::size_t m_line = 0;
    std::wstring m_message;
};

}  // namespace host
