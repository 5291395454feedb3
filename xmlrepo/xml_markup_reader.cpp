// The node reader, the tag name and attribute token rules, and the entity encoding of the markup
// engine. Code units are compared as unsigned values, so any wchar_t is just a character here.
#include "xmlrepo/xml_markup_reader.h"

#include <string_view>

namespace kestrel::xml {
namespace {

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
