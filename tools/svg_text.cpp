// Text codes to plain text: one pass over the characters, copying what is shown.
#include "tools/svg_text.h"

#include <cwctype>

namespace {

bool isDigits(const std::wstring& text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return false;
    }
    for (std::size_t i = at; i < at + count; ++i) {
        if (!std::iswdigit(text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::wstring plainText(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 2 >= text.size() || text[i + 1] != L'%') {
            out += text[i];
            continue;
        }
        const wchar_t code = static_cast<wchar_t>(std::towlower(text[i + 2]));
        i += 2;
        switch (code) {
            case L'c':
                out += L'\u2300';
                break;
            case L'd':
                out += L'\u00b0';
                break;
            case L'p':
                out += L'\u00b1';
                break;
            case L'%':
                out += L'%';
                break;
            case L'u':
            case L'o':
                break;
            default:
                if (isDigits(text, i, 3)) {
                    out += static_cast<wchar_t>(std::stoi(text.substr(i, 3)));
                    i += 2;
                } else {
                    out += L"%%";
                    out += text[i];
                }
        }
    }
    return out;
}

std::vector<std::wstring> mtextParagraphs(const std::wstring& contents) {
    std::vector<std::wstring> paragraphs(1);
    const std::size_t size = contents.size();
    for (std::size_t i = 0; i < size; ++i) {
        const wchar_t c = contents[i];
        if (c == L'{' || c == L'}') {
            continue;
        }
        if (c == L'\n') {
            paragraphs.emplace_back();
            continue;
        }
        if (c == L'^' && i + 1 < size) {
            const wchar_t next = contents[++i];
            if (next == L'J') {
                paragraphs.emplace_back();
            } else {
                paragraphs.back() += next == L'I' ? L'\t' : next == L' ' ? L'^' : next;
            }
            continue;
        }
        if (c != L'\\' || i + 1 >= size) {
            paragraphs.back() += c;
            continue;
        }
        const wchar_t code = contents[++i];
        switch (code) {
            case L'P':
            case L'X':
            case L'N':
                paragraphs.emplace_back();
                break;
            case L'~':
                paragraphs.back() += L'\u00a0';
                break;
            case L'\\':
            case L'{':
            case L'}':
                paragraphs.back() += code;
                break;
            case L'L':
            case L'l':
            case L'O':
            case L'o':
            case L'K':
            case L'k':
                break;
            case L'U':
                if (i + 1 < size && contents[i + 1] == L'+') {
                    const std::wstring hex = contents.substr(i + 2, 4);
                    if (hex.size() == 4 && hex.find_first_not_of(L"0123456789abcdefABCDEF") ==
                                               std::wstring::npos) {
                        paragraphs.back() += static_cast<wchar_t>(std::stoi(hex, nullptr, 16));
                        i += 5;
                        break;
                    }
                }
                paragraphs.back() += code;
                break;
            case L'S': {
                const std::size_t end = contents.find(L';', i + 1);
                std::wstring stacked = contents.substr(i + 1, end == std::wstring::npos
                                                                    ? std::wstring::npos
                                                                    : end - i - 1);
                for (wchar_t& s : stacked) {
                    if (s == L'^' || s == L'#') {
                        s = L'/';
                    }
                }
                paragraphs.back() += stacked;
                i = end == std::wstring::npos ? size : end;
                break;
            }
            case L'f':
            case L'F':
            case L'H':
            case L'C':
            case L'c':
            case L'T':
            case L'Q':
            case L'W':
            case L'A':
            case L'p': {
                const std::size_t end = contents.find(L';', i + 1);
                i = end == std::wstring::npos ? size : end;
                break;
            }
            default:
                paragraphs.back() += L'\\';
                paragraphs.back() += code;
        }
    }
    return paragraphs;
}

std::vector<std::wstring> wrapped(const std::wstring& paragraph, int maxChars) {
    if (maxChars < 1) {
        return {paragraph};
    }
    std::vector<std::wstring> lines(1);
    std::size_t start = 0;
    while (start <= paragraph.size()) {
        std::size_t end = paragraph.find(L' ', start);
        if (end == std::wstring::npos) {
            end = paragraph.size();
        }
        const std::wstring word = paragraph.substr(start, end - start);
        std::wstring& line = lines.back();
        if (!line.empty() && line.size() + 1 + word.size() > static_cast<std::size_t>(maxChars)) {
            lines.push_back(word);
        } else {
            line += (line.empty() ? L"" : L" ") + word;
        }
        start = end + 1;
    }
    return lines;
}
