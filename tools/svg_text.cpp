// Text codes to plain text: one pass over the characters, copying what is shown.
#include "tools/svg_text.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
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

namespace {

// The scale a height code sets (the text between \H and ';'), from the scale in effect; that
// scale when the code does not read as a positive number.
double heightCode(const std::wstring& code, double current, double height) {
    const bool relative = !code.empty() && (code.back() == L'x' || code.back() == L'X');
    wchar_t* end = nullptr;
    const std::wstring number = relative ? code.substr(0, code.size() - 1) : code;
    const double value = std::wcstod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() || !(value > 0) ||
        !std::isfinite(value) || (!relative && !(height > 0))) {
        return current;
    }
    return relative ? current * value : value / height;
}

}  // namespace

std::vector<MTextParagraph> mtextParagraphs(const std::wstring& contents, double height) {
    std::vector<MTextParagraph> paragraphs(1);
    std::vector<double> scales{1.0};  // the scale in effect in each open brace group
    const std::size_t size = contents.size();
    const auto newParagraph = [&] { paragraphs.push_back({L"", scales.back()}); };
    // Appends shown text, the paragraph taking the largest scale its characters are set in.
    const auto add = [&](const std::wstring& text) {
        MTextParagraph& last = paragraphs.back();
        last.scale = last.text.empty() ? scales.back() : std::max(last.scale, scales.back());
        last.text += text;
    };
    for (std::size_t i = 0; i < size; ++i) {
        const wchar_t c = contents[i];
        if (c == L'{') {
            scales.push_back(scales.back());
            continue;
        }
        if (c == L'}') {
            if (scales.size() > 1) {
                scales.pop_back();
            }
            continue;
        }
        if (c == L'\n') {
            newParagraph();
            continue;
        }
        if (c == L'^' && i + 1 < size) {
            const wchar_t next = contents[++i];
            if (next == L'J') {
                newParagraph();
            } else {
                add(std::wstring(1, next == L'I' ? L'\t' : next == L' ' ? L'^' : next));
            }
            continue;
        }
        if (c != L'\\' || i + 1 >= size) {
            add(std::wstring(1, c));
            continue;
        }
        const wchar_t code = contents[++i];
        switch (code) {
            case L'P':
            case L'X':
            case L'N':
                newParagraph();
                break;
            case L'H': {
                const std::size_t end = contents.find(L';', i + 1);
                scales.back() =
                    heightCode(contents.substr(i + 1, end == std::wstring::npos ? 0 : end - i - 1),
                               scales.back(), height);
                i = end == std::wstring::npos ? size : end;
                break;
            }
            case L'~':
                add(std::wstring(1, L'\u00a0'));
                break;
            case L'\\':
            case L'{':
            case L'}':
                add(std::wstring(1, code));
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
                    if (hex.size() == 4 &&
                        hex.find_first_not_of(L"0123456789abcdefABCDEF") == std::wstring::npos) {
                        add(std::wstring(1, static_cast<wchar_t>(std::stoi(hex, nullptr, 16))));
                        i += 5;
                        break;
                    }
                }
                add(std::wstring(1, code));
                break;
            case L'S': {
                const std::size_t end = contents.find(L';', i + 1);
                std::wstring stacked = contents.substr(
                    i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1);
                for (wchar_t& s : stacked) {
                    if (s == L'^' || s == L'#') {
                        s = L'/';
                    }
                }
                add(stacked);
                i = end == std::wstring::npos ? size : end;
                break;
            }
            case L'f':
            case L'F':
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
                add(std::wstring(1, L'\\'));
                add(std::wstring(1, code));
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
