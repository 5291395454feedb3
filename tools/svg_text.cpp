// Text codes to plain text: one pass over the characters, copying what is shown.
#include "tools/svg_text.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <utility>

#include "tools/svg_colours.h"

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

namespace {

// The style in effect inside one level of braces.
struct RunStyle {
    double scale = 1.0;
    bool bold = false;
    bool italic = false;
    std::string colour;
};

// A font code's arguments ("Arial|b1|i0|c0|p34"): bold and italic; an empty family name
// changes nothing.
void fontCode(const std::wstring& code, RunStyle& style) {
    if (code.empty() || code[0] == L'|') {
        return;
    }
    style.bold = code.find(L"|b1") != std::wstring::npos;
    style.italic = code.find(L"|i1") != std::wstring::npos;
}

// A colour code's argument: a palette index (rgb false; 0 and 256 are the text's own colour)
// or a true colour of bytes 0xBBGGRR; the colour in effect when it does not read as a number.
std::string colourCode(const std::wstring& code, bool rgb, const std::string& current) {
    if (code.empty() || !isDigits(code, 0, code.size()) || code.size() > 10) {
        return current;
    }
    const unsigned long long value = std::stoull(code);
    if (!rgb) {
        return value >= 1 && value <= 255   ? paletteColour(static_cast<int>(value))
               : value == 0 || value == 256 ? std::string()
                                            : current;
    }
    return rgbColour(static_cast<unsigned>(value), static_cast<unsigned>(value >> 8),
                     static_cast<unsigned>(value >> 16));
}

}  // namespace

std::vector<MTextParagraph> mtextParagraphs(const std::wstring& contents, double height) {
    std::vector<MTextParagraph> paragraphs(1);
    std::vector<RunStyle> styles(1);  // the style in effect in each open brace group
    const std::size_t size = contents.size();
    const auto newParagraph = [&](bool newColumn = false) {
        paragraphs.push_back({{}, styles.back().scale, newColumn});
    };
    // Appends shown text, the paragraph taking the largest scale its characters are set in.
    const auto add = [&](const std::wstring& text) {
        MTextParagraph& last = paragraphs.back();
        const RunStyle& style = styles.back();
        last.scale = last.runs.empty() ? style.scale : std::max(last.scale, style.scale);
        if (last.runs.empty() || last.runs.back().bold != style.bold ||
            last.runs.back().italic != style.italic || last.runs.back().colour != style.colour) {
            last.runs.push_back({L"", style.bold, style.italic, style.colour});
        }
        last.runs.back().text += text;
    };
    // The argument of the code at i, up to its ';' (the rest of the text when it has none);
    // i moves to the ';'.
    const auto argument = [&](std::size_t& i) {
        const std::size_t end = contents.find(L';', i + 1);
        const std::wstring code =
            contents.substr(i + 1, end == std::wstring::npos ? std::wstring::npos : end - i - 1);
        i = end == std::wstring::npos ? size : end;
        return code;
    };
    for (std::size_t i = 0; i < size; ++i) {
        const wchar_t c = contents[i];
        if (c == L'{') {
            styles.push_back(styles.back());
            continue;
        }
        if (c == L'}') {
            if (styles.size() > 1) {
                styles.pop_back();
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
        RunStyle& style = styles.back();
        switch (code) {
            case L'P':
            case L'X':
                newParagraph();
                break;
            case L'N':
                newParagraph(true);
                break;
            case L'H':
                style.scale = heightCode(argument(i), style.scale, height);
                break;
            case L'f':
            case L'F':
                fontCode(argument(i), style);
                break;
            case L'C':
            case L'c':
                style.colour = colourCode(argument(i), code == L'c', style.colour);
                break;
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
                std::wstring stacked = argument(i);
                for (wchar_t& s : stacked) {
                    if (s == L'^' || s == L'#') {
                        s = L'/';
                    }
                }
                add(stacked);
                break;
            }
            case L'T':
            case L'Q':
            case L'W':
            case L'A':
            case L'p':
                argument(i);
                break;
            default:
                add(std::wstring(1, L'\\'));
                add(std::wstring(1, code));
        }
    }
    return paragraphs;
}

std::vector<std::vector<MTextRun>> wrapped(const std::vector<MTextRun>& runs, int maxChars) {
    std::wstring text;
    for (const MTextRun& run : runs) {
        text += run.text;
    }
    // The lines as [begin, end) of text: greedy, a word at a time.
    std::vector<std::pair<std::size_t, std::size_t>> lines{{0, 0}};
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(L' ', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        auto& line = lines.back();
        if (maxChars >= 1 && line.second > line.first &&
            end - line.first > static_cast<std::size_t>(maxChars)) {
            lines.emplace_back(start, end);
        } else {
            line.second = end;
        }
        start = end + 1;
    }
    std::vector<std::vector<MTextRun>> pieces;
    for (const auto& [begin, end] : lines) {
        std::vector<MTextRun>& line = pieces.emplace_back();
        std::size_t at = 0;  // where the run starts in text
        for (const MTextRun& run : runs) {
            const std::size_t from = std::max(at, begin);
            const std::size_t to = std::min(at + run.text.size(), end);
            if (from < to) {
                line.push_back(run);
                line.back().text = run.text.substr(from - at, to - from);
            }
            at += run.text.size();
        }
    }
    return pieces;
}
