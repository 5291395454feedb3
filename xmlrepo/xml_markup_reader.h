// Lexical layer of the markup engine: the node reader that cuts a document into nodes (defined
// inline below, as the parser's inner loop), the tag name and attribute token scanners, and the
// text encoding and decoding rules. Everything works on a text pointer and a length owned by the
// caller; nothing here allocates except the results of describe(), decodeText() and encodeText().
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstdint>
#include <string>
#include <string_view>

#include "kestrel/xmlrepo/xml_markup_index.h"

namespace kestrel::xml {

// Node types; the values are part of the engine's interface.
constexpr int kNodeEndTag = 0;
constexpr int kNodeElement = 1;
constexpr int kNodeText = 2;
constexpr int kNodeWhitespace = 4;
constexpr int kNodeCData = 8;
constexpr int kNodeProcessing = 16;
constexpr int kNodeComment = 32;
constexpr int kNodeDocType = 64;
constexpr int kNodeLoneEndTag = 128;
constexpr int kNodeNodeError = 32768;
constexpr int kNodeError = -1;
constexpr int kNodeDocumentEnd = -2;

// Node flag: the start tag ends in "/>".
constexpr int kNodeEmptyElement = 0x10000;

// Why an error node is one; describe() turns it into the message.
enum class NodeProblem : std::uint8_t {
    kNone,
    kTagNameCharacter,
    kCommentTag,
    kTag,
    kBangTag,
    kUnterminatedElementTag,
    kUnterminatedEndTag,
    kUnterminatedCData,
    kUnterminatedProcessing,
    kUnterminatedComment,
    kUnterminatedDoctype,
    kUnterminatedTag,
    kStartTagTooLong,
    kEndTagTooLong,
};

// One node: [start, start + length) of the text; for start and end tags the tag name's place.
struct Node {
    int type = kNodeDocumentEnd;
    int start = 0;
    int length = 0;
    int flags = 0;
    int nameStart = 0;
    int nameLength = 0;
    NodeProblem problem = NodeProblem::kNone;
};

// Reads one node after another from an offset. The text must stay unchanged while in use.
class NodeReader {
public:
    NodeReader(const wchar_t* text, int length, int offset)
        : m_text(text), m_length(length), m_offset(offset) {}

    // Fills `node` with the node at the current offset and moves past it.
    [[gnu::always_inline]] inline void next(Node& node);
    // Offset of the next node.
    int offset() const { return m_offset; }
    void setOffset(int offset) { m_offset = offset; }

private:
    [[gnu::always_inline]] inline int readTag(Node& node, int at);
    int readBang(Node& node, int at);
    [[gnu::always_inline]] inline int readStartTag(Node& node, int at);
    int readDocType(Node& node, int at);
    int fail(Node& node, NodeProblem problem, int from);
    int unterminated(Node& node, NodeProblem problem);
    int textEnd(int from) const;

    const wchar_t* m_text;
    int m_length;
    int m_offset;
};

// The message of an error node (empty for other nodes); offsets are those of the node's "<".
std::wstring describe(const Node& node);

inline bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

// A code unit that can start a tag name: A-Z, "_", ":", or anything from "a" (0x61) up.
inline bool isNameStart(wchar_t c);

// First position in [from, end) holding `a`, `b` or `c`, or `end`.
inline const wchar_t* findAny(const wchar_t* from, const wchar_t* end, wchar_t a, wchar_t b,
                              wchar_t c);
// First position in [from, end) holding `a` or `b`, or `end`.
inline const wchar_t* findEither(const wchar_t* from, const wchar_t* end, wchar_t a, wchar_t b);

// Equality of `length` code units, A-Z folded to a-z when `ignoreCase`.
bool sameName(const wchar_t* a, const wchar_t* b, int length, bool ignoreCase);

// Whether the searched `name` designates the token [token, token + tokenLength): the token's
// length in code units of `name` equal it, and `name` ends there or goes on with one of " =/[]".
bool nameMatches(const wchar_t* name, const wchar_t* token, int tokenLength, bool ignoreCase);

// The tag name of the element whose "<" is at `at`, as element searches read it: whitespace
// after "<" skipped, up to one of " \t\n\r<>=\\/?!" or `end`; never shorter than one unit.
void searchName(const wchar_t* text, int end, int at, int& nameStart, int& nameLength);

// One attribute of a start tag or processing instruction, as offsets into the text.
struct Attribute {
    int nameStart = 0;
    int nameLength = 0;
    bool hasEquals = false;  // an "=" follows the name
    int valueStart = 0;      // the value without its quotes
    int valueLength = 0;
    int rawStart = 0;  // the value with its quotes; empty after "=" with no value
    int rawEnd = 0;
};

// Walks the attributes of the tag in [from, end), `from` being just after "<" (or "<?"); the
// first token, the tag name, is skipped.
class AttributeScanner {
public:
    AttributeScanner(const wchar_t* text, int from, int end);
    // The next attribute; false at the end of the tag.
    bool next(Attribute& attribute);
    // Offset where the tag's closing "/", ">" or "?" token starts, or the end; valid once next()
    // has returned false.
    int tagEnd() const { return m_tagEnd; }

private:
    struct Token {
        int first = 0;
        int last = 0;  // inclusive
        bool quoted = false;
    };
    bool read(bool valuePosition, Token& token);
    bool isMark(const Token& token, wchar_t mark) const;

    const wchar_t* m_text;
    int m_end;
    int m_offset;
    int m_tagEnd;
};

// Decodes the five named entities and decimal or hexadecimal character references; anything
// else, and a reference to 0, is kept as written.
std::wstring decodeText(const wchar_t* text, int length);

// Write options of the encoder (the engine's kWrite... constants).
constexpr int kEncodeCData = 1;
constexpr int kEncodeReferences = 8;
constexpr int kEncodeQuotes = 0x100;

// Escapes "<", "&", ">" (and quotes with kEncodeQuotes) or wraps the text in CDATA sections.
std::wstring encodeText(const wchar_t* text, int length, int options);

// --- Node reader, inline so that the parser's loop compiles into one piece ---------------------

inline unsigned unit(wchar_t c) {
    return static_cast<unsigned>(c);
}

inline bool isQuote(wchar_t c) {
    return c == L'"' || c == L'\'';
}

inline bool isNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || unit(c) >= L'a' || c == L'_' || c == L':';
}

// Ends a tag name as the node reader reads it.
inline bool endsTagName(wchar_t c) {
    return unit(c) <= L'>' && (isSpace(c) || c == L'/' || c == L'>');
}

inline const wchar_t* findAny(const wchar_t* from, const wchar_t* end, wchar_t a, wchar_t b,
                              wchar_t c) {
    const wchar_t* p = from;
#if defined(__SSE2__)
    static_assert(sizeof(wchar_t) == 4, "the vector scan compares 32-bit code units");
    const __m128i va = _mm_set1_epi32(a);
    const __m128i vb = _mm_set1_epi32(b);
    const __m128i vc = _mm_set1_epi32(c);
    auto hits = [&](const wchar_t* at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(x, va), _mm_cmpeq_epi32(x, vb)),
                            _mm_cmpeq_epi32(x, vc));
    };
    auto first = [](const wchar_t* at, int mask) {
        return at + __builtin_ctz(static_cast<unsigned>(mask)) / 4;
    };
    // Spans inside tags are short: a few single vectors before the unrolled loop for text.
    for (int k = 0; k < 4 && end - p >= 4; ++k, p += 4) {
        if (const int mask = _mm_movemask_epi8(hits(p))) {
            return first(p, mask);
        }
    }
    while (end - p >= 16) {
        const __m128i h0 = hits(p);
        const __m128i h1 = hits(p + 4);
        const __m128i h2 = hits(p + 8);
        const __m128i h3 = hits(p + 12);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(h0, h1), _mm_or_si128(h2, h3))) != 0) {
            for (const __m128i& h : {h0, h1, h2, h3}) {
                if (const int mask = _mm_movemask_epi8(h)) {
                    return first(p, mask);
                }
                p += 4;
            }
        }
        p += 16;
    }
    while (end - p >= 4) {
        if (const int mask = _mm_movemask_epi8(hits(p))) {
            return first(p, mask);
        }
        p += 4;
    }
#endif
    for (; p < end; ++p) {
        if (*p == a || *p == b || *p == c) {
            return p;
        }
    }
    return end;
}

inline const wchar_t* findEither(const wchar_t* from, const wchar_t* end, wchar_t a, wchar_t b) {
    return findAny(from, end, a, b, b);
}

inline void NodeReader::next(Node& node) {
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

inline int NodeReader::textEnd(int from) const {
    const wchar_t* p = findEither(m_text + from, m_text + m_length, L'<', L'>');
    const int at = static_cast<int>(p - m_text);
    if (at == m_length || *p == L'<') {
        return at;
    }
    return at + 1;
}

inline int NodeReader::fail(Node& node, NodeProblem problem, int from) {
    node.type = kNodeError;
    node.problem = problem;
    return textEnd(from);
}

inline int NodeReader::unterminated(Node& node, NodeProblem problem) {
    node.type = kNodeError;
    node.problem = problem;
    return m_length;
}

// Offset of the first ">" at or after `from` that no quoted value holds, or -1.
inline int closingBracket(const wchar_t* text, int length, int from) {
    const wchar_t* end = text + length;
    const wchar_t* p = text + from;
    wchar_t quote = 0;  // the quote of the value being read, or 0
#if defined(__SSE2__)
    // Sixteen units at a time: a bit mask of the ">" and quotes among them, walked bit by bit.
    const __m128i vgt = _mm_set1_epi32(L'>');
    const __m128i vdq = _mm_set1_epi32(L'"');
    const __m128i vsq = _mm_set1_epi32(L'\'');
    auto marks = [&](const __m128i* at, __m128i value) {
        const __m128i lo = _mm_packs_epi32(_mm_cmpeq_epi32(_mm_loadu_si128(at), value),
                                           _mm_cmpeq_epi32(_mm_loadu_si128(at + 1), value));
        const __m128i hi = _mm_packs_epi32(_mm_cmpeq_epi32(_mm_loadu_si128(at + 2), value),
                                           _mm_cmpeq_epi32(_mm_loadu_si128(at + 3), value));
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lo, hi)));
    };
    for (; end - p >= 16; p += 16) {
        const __m128i* at = reinterpret_cast<const __m128i*>(p);
        const unsigned gt = marks(at, vgt);
        const unsigned dq = marks(at, vdq);
        const unsigned sq = marks(at, vsq);
        for (unsigned all = gt | dq | sq; all != 0; all &= all - 1) {
            const unsigned bit = all & (0u - all);
            if (quote != 0) {
                if ((quote == L'"' ? dq : sq) & bit) {
                    quote = 0;
                }
            } else if (gt & bit) {
                return static_cast<int>(p - text) + __builtin_ctz(bit);
            } else {
                quote = (dq & bit) ? L'"' : L'\'';
            }
        }
    }
#endif
    for (; p < end; ++p) {
        if (quote != 0) {
            quote = *p == quote ? 0 : quote;
        } else if (*p == L'>') {
            return static_cast<int>(p - text);
        } else if (isQuote(*p)) {
            quote = *p;
        }
    }
    return -1;
}

// Offset just past the first `closer` (two or three units ending in ">") that starts at or after
// `from`, or -1.
inline int closingMark(const wchar_t* text, int length, int from, std::wstring_view closer) {
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

inline int NodeReader::readTag(Node& node, int at) {
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
        // Most end tags close right after the name.
        const wchar_t* close = q < m_length && m_text[q] == L'>'
                                   ? m_text + q
                                   : findEither(m_text + q, m_text + m_length, L'>', L'>');
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

inline int NodeReader::readStartTag(Node& node, int at) {
    node.type = kNodeElement;
    int q = at + 1;
    while (q < m_length && !endsTagName(m_text[q])) {
        ++q;
    }
    node.nameStart = at + 1;
    node.nameLength = q - (at + 1);
    const int close = q < m_length && m_text[q] == L'>' ? q : closingBracket(m_text, m_length, q);
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

inline int NodeReader::readBang(Node& node, int at) {
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

inline int NodeReader::readDocType(Node& node, int at) {
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

}  // namespace kestrel::xml
