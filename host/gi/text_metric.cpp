// The host's documented font metric (see text_metric.h).
#include "kestrel/host/gi/text_metric.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

constexpr double kNarrow = 0.35;
constexpr double kSpace = 0.5;
constexpr double kNormal = 0.7;
constexpr double kWide = 1.0;
constexpr double kDescent = 0.25;

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace

std::u32string visibleText(std::wstring_view text) {
    std::u32string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 2 >= text.size() || text[i + 1] != L'%') {
            shown.push_back(static_cast<char32_t>(text[i]));
            continue;
        }
        const wchar_t code = text[i + 2];
        switch (code) {
            case L'd':
            case L'D':
                shown.push_back(U'\u00B0');
                break;
            case L'c':
            case L'C':
                shown.push_back(U'\u2300');
                break;
            case L'p':
            case L'P':
                shown.push_back(U'\u00B1');
                break;
            case L'%':
                shown.push_back(U'%');
                break;
            case L'u':
            case L'U':
            case L'o':
            case L'O':
                break;
            default:
                if (!isDigit(code)) {
                    shown.push_back(U'%');
                    continue;  // not a control code: the first percent is a character
                }
                {
                    // %%nnn: up to three digits name one character.
                    std::size_t end = i + 2;
                    unsigned value = 0;
                    while (end < text.size() && end < i + 5 && isDigit(text[end])) {
                        value = value * 10 + static_cast<unsigned>(text[end] - L'0');
                        ++end;
                    }
                    shown.push_back(static_cast<char32_t>(value));
                    i = end - 1;
                    continue;
                }
        }
        i += 2;
    }
    return shown;
}

double advanceOf(char32_t c) {
    static constexpr std::u32string_view kNarrowChars = U"ijlI!|.,:;'`";
    static constexpr std::u32string_view kWideChars = U"mwMW@%";
    if (c == U' ') {
        return kSpace;
    }
    if (kNarrowChars.find(c) != std::u32string_view::npos) {
        return kNarrow;
    }
    if (c >= 0x2E80 || kWideChars.find(c) != std::u32string_view::npos) {
        return kWide;
    }
    return kNormal;
}

bool hasDescender(char32_t c) {
    static constexpr std::u32string_view kDescenders = U"gjpqy,;";
    return kDescenders.find(c) != std::u32string_view::npos;
}

double textAdvance(std::wstring_view text, double height, double widthFactor) {
    double sum = 0.0;
    for (char32_t c : visibleText(text)) {
        sum += advanceOf(c);
    }
    return sum * height * widthFactor;
}

TextBox measureText(std::wstring_view text, double height, double widthFactor, double oblique,
                    bool readControlCodes) {
    const std::u32string shown =
        readControlCodes ? visibleText(text) : std::u32string(text.begin(), text.end());
    TextBox box;
    if (shown.empty()) {
        return box;
    }
    double advance = 0.0;
    bool descends = false;
    for (char32_t c : shown) {
        advance += advanceOf(c);
        descends = descends || hasDescender(c);
    }
    const double width = advance * height * widthFactor;
    const double slant = std::tan(oblique);
    box.minY = descends ? -descentOf(height) : 0.0;
    box.maxY = height;
    box.minX = std::min({0.0, box.minY * slant, box.maxY * slant});
    box.maxX = width + std::max({0.0, box.minY * slant, box.maxY * slant});
    return box;
}

namespace {

// Appends the drawn part of a stack "a/b", "a^b" or "a#b": the wider of its two parts.
void appendStack(std::wstring_view stack, std::wstring& line) {
    const std::size_t split = stack.find_first_of(L"/^#");
    if (split == std::wstring_view::npos) {
        line.append(stack);
        return;
    }
    const std::wstring_view top = stack.substr(0, split);
    const std::wstring_view bottom = stack.substr(split + 1);
    line.append(textAdvance(top, 1.0, 1.0) >= textAdvance(bottom, 1.0, 1.0) ? top : bottom);
}

}  // namespace

std::vector<std::wstring> multilineTextLines(std::wstring_view contents) {
    static constexpr std::wstring_view kCodesToSemicolon = L"fFHWQTACcp";
    static constexpr std::wstring_view kToggles = L"LlOoKk";
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const wchar_t c = contents[i];
        if (c == L'{' || c == L'}') {
            continue;
        }
        if (c != L'\\' || i + 1 >= contents.size()) {
            lines.back().push_back(c);
            continue;
        }
        const wchar_t code = contents[++i];
        if (code == L'P') {
            lines.emplace_back();
        } else if (code == L'~') {
            lines.back().push_back(L' ');
        } else if (code == L'S' || kCodesToSemicolon.find(code) != std::wstring_view::npos) {
            const std::size_t end = contents.find(L';', i + 1);
            const std::size_t stop = end == std::wstring_view::npos ? contents.size() : end;
            if (code == L'S') {
                appendStack(contents.substr(i + 1, stop - i - 1), lines.back());
            }
            i = stop;
        } else if (kToggles.find(code) == std::wstring_view::npos) {
            lines.back().push_back(code);
        }
    }
    return lines;
}

double descentOf(double height) {
    return kDescent * height;
}

}  // namespace host
