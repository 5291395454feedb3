// The node reader, the tag name and attribute token rules, and the entity encoding of the markup
// engine. Code units are compared as unsigned values, so any wchar_t is just a character here.
#include "xmlrepo/xml_markup_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <string_view>

#include "xmlrepo/xml_markup_index.h"

namespace kestrel::xml {
namespace {

unsigned unit(wchar_t c) {
    return static_cast<unsigned>(c);
}

bool isQuote(wchar_t c) {
    return c == L'"' || c == L'\'';
}

// Ends a tag name as the node reader reads it.
bool endsTagName(wchar_t c) {
    return unit(c) <= L'>' && (isSpace(c) || c == L'/' || c == L'>');
}

// Ends a tag name as element searches read it.
bool endsSearchName(wchar_t c) {
    return unit(c) <= L'?' ? (isSpace(c) || c == L'<' || c == L'>' || c == L'=' || c == L'/' ||
                              c == L'?' || c == L'!')
                           : c == L'\\';
}

wchar_t fold(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

bool isAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

int hexValue(wchar_t c) {
    if (isDigit(c)) {
        return c - L'0';
    }
    const wchar_t lower = fold(c);
    return lower >= L'a' && lower <= L'f' ? lower - L'a' + 10 : -1;
}

}  // namespace

bool isNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || unit(c) >= L'a' || c == L'_' || c == L':';
}

const wchar_t* findEither(const wchar_t* from, const wchar_t* end, wchar_t a, wchar_t b) {
    const wchar_t* p = from;
#if defined(__SSE2__)
    static_assert(sizeof(wchar_t) == 4, "the vector scan compares 32-bit code units");
    const __m128i va = _mm_set1_epi32(a);
    const __m128i vb = _mm_set1_epi32(b);
    auto hits = [&](const wchar_t* at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return _mm_or_si128(_mm_cmpeq_epi32(x, va), _mm_cmpeq_epi32(x, vb));
    };
    while (end - p >= 16) {
        const __m128i h0 = hits(p);
        const __m128i h1 = hits(p + 4);
        const __m128i h2 = hits(p + 8);
        const __m128i h3 = hits(p + 12);
        const __m128i any = _mm_or_si128(_mm_or_si128(h0, h1), _mm_or_si128(h2, h3));
        if (_mm_movemask_epi8(any) != 0) {
            const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(h0)) |
                                  static_cast<unsigned>(_mm_movemask_epi8(h1)) << 16;
            if (mask != 0) {
                return p + __builtin_ctz(mask) / 4;
            }
            const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(h2)) |
                                  static_cast<unsigned>(_mm_movemask_epi8(h3)) << 16;
            return p + 8 + __builtin_ctz(high) / 4;
        }
        p += 16;
    }
    while (end - p >= 4) {
        const int mask = _mm_movemask_epi8(hits(p));
        if (mask != 0) {
            return p + __builtin_ctz(static_cast<unsigned>(mask)) / 4;
        }
        p += 4;
    }
#endif
    for (; p < end; ++p) {
        if (*p == a || *p == b) {
            return p;
        }
    }
    return end;
}

bool sameName(const wchar_t* a, const wchar_t* b, int length, bool ignoreCase) {
    if (!ignoreCase) {
        return std::wstring_view(a, length) == std::wstring_view(b, length);
    }
    for (int i = 0; i < length; ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

bool nameMatches(const wchar_t* name, const wchar_t* token, int tokenLength, bool ignoreCase) {
    for (int i = 0; i < tokenLength; ++i) {
        if (name[i] == L'\0' || !sameName(name + i, token + i, 1, ignoreCase)) {
            return false;
        }
    }
    const wchar_t next = name[tokenLength];
    return next == L'\0' || next == L' ' || next == L'=' || next == L'/' || next == L'[' ||
           next == L']';
}

void searchName(const wchar_t* text, int end, int at, int& nameStart, int& nameLength) {
    int p = at + 1;
    while (p < end && isSpace(text[p])) {
        ++p;
    }
    nameStart = p;
    while (p < end && !endsSearchName(text[p])) {
        ++p;
    }
    nameLength = p > nameStart ? p - nameStart : (nameStart < end ? 1 : 0);
}

// --- Node reader -------------------------------------------------------------------------------

void NodeReader::next(Node& node) {
    const int at = m_offset;
    node.start = at;
    node.flags = 0;
    node.nameStart = 0;
    node.nameLength = 0;
    node.problem = NodeProblem::kNone;
    if (at >= m_length) {
        node.type = kNodeDocumentEnd;
        node.length = 0;
        return;
    }
    int end;
    if (m_text[at] == L'<') {
        end = readTag(node, at);
    } else {
        int q = at;
        while (q < m_length && isSpace(m_text[q])) {
            ++q;
        }
        if (q > at && (q == m_length || m_text[q] == L'<')) {
            node.type = kNodeWhitespace;
            end = q;
        } else {
            node.type = kNodeText;
            end = textEnd(q);
        }
    }
    m_offset = end;
    node.length = end - at;
}

int NodeReader::textEnd(int from) const {
    const wchar_t* p = findEither(m_text + from, m_text + m_length, L'<', L'>');
    const int at = static_cast<int>(p - m_text);
    if (at == m_length || *p == L'<') {
        return at;
    }
    return at + 1;
}

int NodeReader::fail(Node& node, NodeProblem problem, int from) {
    node.type = kNodeError;
    node.problem = problem;
    return textEnd(from);
}

int NodeReader::unterminated(Node& node, NodeProblem problem) {
    node.type = kNodeError;
    node.problem = problem;
    return m_length;
}

// Offset of the first ">" at or after `from` that no quoted value holds, or -1.
static int closingBracket(const wchar_t* text, int length, int from) {
    for (int q = from; q < length; ++q) {
        const wchar_t c = text[q];
        if (unit(c) > L'>') {
            continue;
        }
        if (c == L'>') {
            return q;
        }
        if (isQuote(c)) {
            const wchar_t* close = findEither(text + q + 1, text + length, c, c);
            if (close == text + length) {
                return -1;
            }
            q = static_cast<int>(close - text);
        }
    }
    return -1;
}

// Offset just past the first `closer` (two or three units ending in ">") that starts at or after
// `from`, or -1.
static int closingMark(const wchar_t* text, int length, int from, std::wstring_view closer) {
    const int before = static_cast<int>(closer.size()) - 1;
    if (from + before >= length) {
        return -1;
    }
    const wchar_t* end = text + length;
    for (const wchar_t* p = text + from + before; p < end; ++p) {
        p = findEither(p, end, L'>', L'>');
        if (p == end) {
            break;
        }
        if (std::wstring_view(p - before, before) == closer.substr(0, before)) {
            return static_cast<int>(p - text) + 1;
        }
    }
    return -1;
}

int NodeReader::readTag(Node& node, int at) {
    if (at + 1 >= m_length) {
        return unterminated(node, NodeProblem::kUnterminatedTag);
    }
    const wchar_t c = m_text[at + 1];
    if (c == L'/') {
        node.type = kNodeEndTag;
        int q = at + 2;
        while (q < m_length && !endsTagName(m_text[q])) {
            ++q;
        }
        node.nameStart = at + 2;
        node.nameLength = q - (at + 2);
        const wchar_t* close = findEither(m_text + q, m_text + m_length, L'>', L'>');
        if (close == m_text + m_length) {
            return unterminated(node, NodeProblem::kUnterminatedEndTag);
        }
        const int end = static_cast<int>(close - m_text) + 1;
        if (end - at > ElementRecord::kMaxEndTag) {
            node.type = kNodeError;
            node.problem = NodeProblem::kEndTagTooLong;
        }
        return end;
    }
    if (c == L'!') {
        return readBang(node, at);
    }
    if (c == L'?') {
        node.type = kNodeProcessing;
        const int end = closingMark(m_text, m_length, at + 2, L"?>");
        return end < 0 ? unterminated(node, NodeProblem::kUnterminatedProcessing) : end;
    }
    if (isNameStart(c)) {
        return readStartTag(node, at);
    }
    return fail(node, NodeProblem::kTagNameCharacter, at + 1);
}

int NodeReader::readStartTag(Node& node, int at) {
    node.type = kNodeElement;
    int q = at + 1;
    while (q < m_length && !endsTagName(m_text[q])) {
        ++q;
    }
    node.nameStart = at + 1;
    node.nameLength = q - (at + 1);
    const int close = closingBracket(m_text, m_length, q);
    if (close < 0) {
        return unterminated(node, NodeProblem::kUnterminatedElementTag);
    }
    const int slash = close - 1;
    if (m_text[slash] == L'/' &&
        (slash == q || isSpace(m_text[slash - 1]) || isQuote(m_text[slash - 1]))) {
        node.flags = kNodeEmptyElement;
    }
    if (close + 1 - at > ElementRecord::kMaxStartTag) {
        node.type = kNodeError;
        node.problem = NodeProblem::kStartTagTooLong;
    }
    return close + 1;
}

int NodeReader::readBang(Node& node, int at) {
    if (at + 2 >= m_length) {
        return unterminated(node, NodeProblem::kUnterminatedTag);
    }
    const wchar_t c = m_text[at + 2];
    if (c == L'-' || c == L'[') {
        if (at + 3 >= m_length) {
            return unterminated(node, NodeProblem::kUnterminatedTag);
        }
        const bool comment = c == L'-';
        if (m_text[at + 3] != (comment ? L'-' : L'C')) {
            return fail(node, comment ? NodeProblem::kCommentTag : NodeProblem::kTag, at + 1);
        }
        node.type = comment ? kNodeComment : kNodeCData;
        const int end = comment ? closingMark(m_text, m_length, at + 4, L"-->")
                                : closingMark(m_text, m_length, at + 3, L"]]>");
        if (end < 0) {
            return unterminated(node, comment ? NodeProblem::kUnterminatedComment
                                              : NodeProblem::kUnterminatedCData);
        }
        return end;
    }
    if (c == L'D') {
        return readDocType(node, at);
    }
    if (c == L'E' || c == L'A' || c == L'N') {
        node.type = kNodeDocType;
        const wchar_t* close = findEither(m_text + at + 3, m_text + m_length, L'>', L'>');
        if (close == m_text + m_length) {
            return unterminated(node, NodeProblem::kUnterminatedTag);
        }
        return static_cast<int>(close - m_text) + 1;
    }
    return fail(node, NodeProblem::kBangTag, at + 1);
}

int NodeReader::readDocType(Node& node, int at) {
    node.type = kNodeDocType;
    const wchar_t* end = m_text + m_length;
    int q = at + 3;
    for (;;) {
        const wchar_t* p = findEither(m_text + q, end, L'<', L'>');
        if (p == end) {
            break;
        }
        const int pos = static_cast<int>(p - m_text);
        if (*p == L'>') {
            return pos + 1;
        }
        // An inner declaration's ">" returns to the outer declaration; other inner tags do not
        // nest, so their ">" ends the whole declaration.
        if (pos + 1 < m_length && m_text[pos + 1] == L'!') {
            const int close = closingBracket(m_text, m_length, pos + 2);
            if (close < 0) {
                break;
            }
            q = close + 1;
        } else {
            q = pos + 1;
        }
    }
    return unterminated(node, NodeProblem::kUnterminatedDoctype);
}

std::wstring describe(const Node& node) {
    const wchar_t* incorrect = nullptr;
    const wchar_t* unterminatedWhat = nullptr;
    const wchar_t* tooLong = nullptr;
    switch (node.problem) {
        case NodeProblem::kNone:
            return {};
        case NodeProblem::kTagNameCharacter:
            incorrect = L"tag name character";
            break;
        case NodeProblem::kCommentTag:
            incorrect = L"comment tag";
            break;
        case NodeProblem::kTag:
            incorrect = L"tag";
            break;
        case NodeProblem::kBangTag:
            incorrect = L"! tag";
            break;
        case NodeProblem::kUnterminatedElementTag:
            unterminatedWhat = L"Element tag";
            break;
        case NodeProblem::kUnterminatedEndTag:
            unterminatedWhat = L"Element end tag";
            break;
        case NodeProblem::kUnterminatedCData:
            unterminatedWhat = L"CDATA Section";
            break;
        case NodeProblem::kUnterminatedProcessing:
            unterminatedWhat = L"Processing instruction";
            break;
        case NodeProblem::kUnterminatedComment:
            unterminatedWhat = L"Comment";
            break;
        case NodeProblem::kUnterminatedDoctype:
            unterminatedWhat = L"Doctype";
            break;
        case NodeProblem::kUnterminatedTag:
            unterminatedWhat = L"tag";
            break;
        case NodeProblem::kStartTagTooLong:
            tooLong = L"Element tag";
            break;
        case NodeProblem::kEndTagTooLong:
            tooLong = L"Element end tag";
            break;
    }
    const std::wstring offset = std::to_wstring(node.start);
    if (incorrect) {
        return std::wstring(L"Incorrect ") + incorrect + L" at offset " + offset;
    }
    if (unterminatedWhat) {
        return unterminatedWhat + (L" at offset " + offset) + L" unterminated";
    }
    return tooLong + (L" at offset " + offset) + L" too long";
}

// --- Attributes --------------------------------------------------------------------------------

AttributeScanner::AttributeScanner(const wchar_t* text, int from, int end)
    : m_text(text), m_end(end), m_offset(from), m_tagEnd(end) {
    Token name;
    read(false, name);
}

bool AttributeScanner::read(bool valuePosition, Token& token) {
    while (m_offset < m_end && isSpace(m_text[m_offset])) {
        ++m_offset;
    }
    if (m_offset >= m_end) {
        return false;
    }
    const wchar_t c = m_text[m_offset];
    if (isQuote(c)) {
        const wchar_t* close = findEither(m_text + m_offset + 1, m_text + m_end, c, c);
        token.first = m_offset + 1;
        token.last = static_cast<int>(close - m_text) - 1;
        token.quoted = true;
        m_offset = close < m_text + m_end ? token.last + 2 : m_end;
        return true;
    }
    int q = m_offset;
    while (q < m_end) {
        const wchar_t u = m_text[q];
        const bool stop = valuePosition
                              ? isSpace(u) || u == L'>'
                              : isSpace(u) || u == L'=' || u == L'>' || u == L'/' || u == L'?';
        if (stop) {
            break;
        }
        ++q;
    }
    if (q == m_offset) {
        q = m_offset + 1;
    }
    token.first = m_offset;
    token.last = q - 1;
    token.quoted = false;
    m_offset = q;
    return true;
}

bool AttributeScanner::isMark(const Token& token, wchar_t mark) const {
    return !token.quoted && token.first == token.last && m_text[token.first] == mark;
}

bool AttributeScanner::next(Attribute& attribute) {
    Token token;
    for (;;) {
        if (!read(false, token)) {
            m_tagEnd = m_end;
            return false;
        }
        if (isMark(token, L'/') || isMark(token, L'>') || isMark(token, L'?')) {
            m_tagEnd = token.first;
            m_offset = token.first;
            return false;
        }
        if (token.quoted) {
            continue;
        }
        if (isMark(token, L'=')) {
            // A value without a name: skip it, but not the ">" that may end the tag.
            const int save = m_offset;
            Token value;
            if (read(true, value) && isMark(value, L'>')) {
                m_offset = save;
            }
            continue;
        }
        break;
    }
    attribute = Attribute();
    attribute.nameStart = token.first;
    attribute.nameLength = token.last - token.first + 1;
    int save = m_offset;
    Token equals;
    if (!read(false, equals) || !isMark(equals, L'=')) {
        m_offset = save;
        return true;
    }
    attribute.hasEquals = true;
    save = m_offset;
    Token value;
    if (!read(true, value) || isMark(value, L'>')) {
        m_offset = save;
        attribute.valueStart = attribute.rawStart = attribute.rawEnd = save;
        return true;
    }
    attribute.valueStart = value.first;
    attribute.valueLength = value.last - value.first + 1;
    attribute.rawStart = value.quoted ? value.first - 1 : value.first;
    attribute.rawEnd = m_offset;
    return true;
}

// --- Entities ----------------------------------------------------------------------------------

namespace {

// Decodes the reference at text[i] == '&' into `out`; returns the offset after it, or i when
// nothing is recognised there.
int decodeReference(const wchar_t* text, int length, int i, std::wstring& out) {
    static constexpr struct {
        std::wstring_view name;
        wchar_t value;
    } kNamed[] = {
        {L"lt;", L'<'}, {L"amp;", L'&'}, {L"gt;", L'>'}, {L"apos;", L'\''}, {L"quot;", L'"'}};
    const std::wstring_view rest(text + i + 1, static_cast<std::size_t>(length - i - 1));
    for (const auto& named : kNamed) {
        if (rest.substr(0, named.name.size()) == named.name) {
            out += named.value;
            return i + 1 + static_cast<int>(named.name.size());
        }
    }
    if (rest.empty() || rest[0] != L'#') {
        return i;
    }
    int mark = i + 1;  // the number sign, or the x after it
    const bool hex = mark + 1 < length && text[mark + 1] == L'x';
    if (hex) {
        ++mark;
    }
    int semicolon = -1;
    for (int j = mark + 1; j <= mark + 7 && j < length; ++j) {
        if (text[j] == L';') {
            semicolon = j;
            break;
        }
    }
    if (semicolon < 0) {
        return i;
    }
    std::uint32_t value = 0;
    for (int j = mark + 1; j < semicolon; ++j) {
        const int digit = hex ? hexValue(text[j]) : (isDigit(text[j]) ? text[j] - L'0' : -1);
        if (digit < 0) {
            break;
        }
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    // A code unit holds any character, so only values no character has are cut to 16 bits.
    if (value > 0x10FFFF) {
        value &= 0xFFFF;
    }
    if (value == 0) {
        return i;
    }
    out += static_cast<wchar_t>(value);
    return semicolon + 1;
}

bool startsReference(const wchar_t* text, int length, int i) {
    auto nameUnit = [](wchar_t c) {
        return isAsciiLetter(c) || isDigit(c) || c == L'_' || c == L':' || c == L'-' || c == L'.' ||
               unit(c) >= 128;
    };
    int j = i + 1;
    if (j >= length) {
        return false;
    }
    const wchar_t first = text[j];
    if (!(isAsciiLetter(first) || first == L'#' || first == L'_' || first == L':' ||
          unit(first) >= 128)) {
        return false;
    }
    for (++j; j < length && nameUnit(text[j]); ++j) {
    }
    return j < length && text[j] == L';';
}

}  // namespace

std::wstring decodeText(const wchar_t* text, int length) {
    std::wstring out;
    out.reserve(static_cast<std::size_t>(length));
    int i = 0;
    while (i < length) {
        const wchar_t* amp = findEither(text + i, text + length, L'&', L'&');
        const int at = static_cast<int>(amp - text);
        out.append(text + i, text + at);
        if (at == length) {
            break;
        }
        const int after = decodeReference(text, length, at, out);
        if (after == at) {
            out += L'&';
            i = at + 1;
        } else {
            i = after;
        }
    }
    return out;
}

std::wstring encodeText(const wchar_t* text, int length, int options) {
    std::wstring out;
    const std::wstring_view source(text, static_cast<std::size_t>(length));
    if (options & kEncodeCData) {
        out.reserve(source.size() + 12);
        out += L"<![CDATA[";
        std::size_t from = 0;
        for (std::size_t split; (split = source.find(L"]]>", from)) != std::wstring_view::npos;
             from = split + 3) {
            out.append(source.substr(from, split - from));
            out += L"]]]]><![CDATA[>";
        }
        out.append(source.substr(from));
        out += L"]]>";
        return out;
    }
    out.reserve(source.size());
    for (int i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        switch (c) {
            case L'<':
                out += L"&lt;";
                break;
            case L'>':
                out += L"&gt;";
                break;
            case L'&':
                if ((options & kEncodeReferences) && startsReference(text, length, i)) {
                    out += c;
                } else {
                    out += L"&amp;";
                }
                break;
            case L'\'':
                out += (options & kEncodeQuotes) ? L"&apos;" : L"'";
                break;
            case L'"':
                out += (options & kEncodeQuotes) ? L"&quot;" : L"\"";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace kestrel::xml
