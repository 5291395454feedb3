// Lexical layer of the markup engine: the node reader that cuts a document into nodes, the tag
// name and attribute token scanners, and the text encoding and decoding rules. Everything works
// on a text pointer and a length owned by the caller; nothing here allocates except the results
// of describe(), decodeText() and encodeText().
#pragma once

#include <cstdint>
#include <string>

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
    void next(Node& node);
    // Offset of the next node.
    int offset() const { return m_offset; }
    void setOffset(int offset) { m_offset = offset; }

private:
    int readTag(Node& node, int at);
    int readBang(Node& node, int at);
    int readStartTag(Node& node, int at);
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
bool isNameStart(wchar_t c);

// First position in [from, end) holding `a` or `b`, or `end`.
const wchar_t* findEither(const wchar_t* from, const wchar_t* end, wchar_t a, wchar_t b);

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

}  // namespace kestrel::xml
