// host::DxfTextDecoder: turns the text values of a DXF file into wide text. Files before release
// 2007 (AC1021) hold their texts in the ANSI code page $DWGCODEPAGE names, later ones in UTF-8; in
// both, \U+ and \M+ escapes stand for characters and carets for control characters. A decoder
// holds conversion descriptors of the C library's iconv: use it from one thread at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace host {

// Decisions:
// - Release: $ACADVER AC1021 or later means UTF-8; an earlier, missing or unreadable one means a
//   code page.
// - Code page: $DWGCODEPAGE is read whatever its case and separators ("ANSI_1252", "ansi-1252",
//   "Ansi 1252"). ANSI_n, DOSn, CPn, WINDOWS-n, IBMn and a bare n name code page n; ISO8859-n,
//   MACINTOSH, BIG5 (950), GB2312 and GBK (936), KSC5601 (949), JOHAB (1361) and UTF8 are known
//   too. A missing $DWGCODEPAGE or "ASCII" means windows-1252, the format's default. Any other
//   name, or one the C library cannot convert, also reads as windows-1252, and codePageKnown()
//   answers false so that the reader can say so.
// - UTF-8 before release 2007: with a single-byte code page, a value that is valid UTF-8 and not
//   plain ASCII is read as UTF-8. Programs that write UTF-8 into older releases are common, and
//   text in a single-byte code page almost never forms valid multi-byte UTF-8 by chance. Values
//   in a double-byte code page (932, 936, 949, 950, 1361) are always decoded in it: their byte
//   pairs often happen to be valid UTF-8.
// - Bytes that do not decode become U+FFFD (one per byte in a code page, one per maximal invalid
//   sequence in UTF-8) and decode() answers false; nothing is refused.
// - Escapes are read after the bytes are decoded, since the second byte of a double-byte
//   character may be that of '\' or '^'. \U+XXXX is the code point XXXX (four hex digits); a high
//   surrogate whose escape is followed by that of a low one gives one character. \M+NXXXX is the
//   two bytes XXXX in the code page N names (1: 932 Japanese, 2: 950 Traditional Chinese, 3: 949
//   Korean, 4: 1361 Johab, 5: 936 Simplified Chinese); bytes that do not decode there give
//   U+FFFD as above. ^@ to ^_ are the control characters 0 to 31 (^J a line feed, ^I a tab).
//   Anything else, a malformed escape or the escape of a lone surrogate among them, stays as
//   written.
class DxfTextDecoder {
public:
    // A decoder for a file whose header gives these $ACADVER and $DWGCODEPAGE texts (empty when
    // the header lacks them).
    DxfTextDecoder(std::string_view release, std::string_view codePage);
    ~DxfTextDecoder();
    DxfTextDecoder(const DxfTextDecoder&) = delete;
    DxfTextDecoder& operator=(const DxfTextDecoder&) = delete;

    // Decodes one text value into out, replacing its former content; false when some bytes did
    // not decode and were replaced by U+FFFD. Plain ASCII values without escapes are only
    // widened.
    bool decode(std::string_view bytes, std::wstring& out);
    // False when $DWGCODEPAGE names a code page that cannot be converted (texts then read as
    // windows-1252).
    bool codePageKnown() const { return m_codePageKnown; }

private:
    struct Converters;

    bool decodeNonAscii(std::string_view bytes, std::wstring& out);
    // Replaces the escapes and carets of text in place; false when an escape's bytes did not
    // decode.
    bool unescape(std::wstring& text);
    // The characters of a \M+ escape at the start of rest into chars; the escape's length, or 0
    // when rest does not start with one.
    std::size_t multiByteEscape(std::wstring_view rest, std::wstring& chars, bool& exact);

    std::unique_ptr<Converters> m_converters;
    bool m_utf8 = false;
    bool m_detectUtf8 = false;  // single-byte code page: valid non-ASCII UTF-8 reads as UTF-8
    bool m_codePageKnown = true;
};

}  // namespace host
