// The formatter behind CString::Format. Each conversion is parsed, its argument read with the
// type the conversion names, numbers printed by snprintf in the C locale and texts padded here,
// so that narrow text is always UTF-8 whatever the process locale is.
#include "kestrel/platform/wide_format.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string_view>

#include "kestrel/platform/utf8.h"
#include "platform/c_locale.h"

namespace {

// Holds the argument list by value so that helpers can advance it through a reference.
struct Arguments {
    va_list list;
};

enum class Size { Default, Char, Short, Long, LongLong, IntMax, SizeT, PtrDiff, LongDouble };

struct Directive {
    std::string flags;
    int width = -1;
    int precision = -1;
    Size size = Size::Default;
    wchar_t conversion = 0;
};

bool isDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

int parseNumber(const wchar_t*& p) {
    long long value = 0;
    while (isDigit(*p)) {
        value = std::min<long long>(value * 10 + (*p++ - L'0'), kMaxFormatField);
    }
    return static_cast<int>(value);
}

void parseWidth(const wchar_t*& p, Directive& directive, Arguments& args) {
    if (*p == L'*') {
        ++p;
        const int width = va_arg(args.list, int);
        if (width < 0) {
            directive.flags += '-';
        }
        directive.width = static_cast<int>(std::min<long long>(std::llabs(width), kMaxFormatField));
    } else if (isDigit(*p)) {
        directive.width = parseNumber(p);
    }
}

void parsePrecision(const wchar_t*& p, Directive& directive, Arguments& args) {
    if (*p != L'.') {
        return;
    }
    ++p;
    if (*p == L'*') {
        ++p;
        const int precision = va_arg(args.list, int);
        directive.precision = precision < 0 ? -1 : std::min(precision, kMaxFormatField);
    } else {
        directive.precision = parseNumber(p);
    }
}

bool startsWith(const wchar_t* p, std::wstring_view prefix) {
    return std::wstring_view(p, wcsnlen(p, prefix.size())) == prefix;
}

void parseSize(const wchar_t*& p, Directive& directive) {
    struct Modifier {
        std::wstring_view text;
        Size size;
    };
    // Longer spellings first, so that "ll" is not read as "l".
    static constexpr Modifier kModifiers[] = {
        {L"hh", Size::Char},     {L"ll", Size::LongLong},  {L"I64", Size::LongLong},
        {L"I32", Size::Default}, {L"h", Size::Short},      {L"l", Size::Long},
        {L"w", Size::Long},      {L"L", Size::LongDouble}, {L"j", Size::IntMax},
        {L"z", Size::SizeT},     {L"t", Size::PtrDiff},    {L"I", Size::PtrDiff},
    };
    for (const Modifier& modifier : kModifiers) {
        if (startsWith(p, modifier.text)) {
            p += modifier.text.size();
            directive.size = modifier.size;
            return;
        }
    }
}

// The narrow printf format for one numeric conversion, width and precision spelled out.
std::string numericFormat(const Directive& directive) {
    static constexpr const char* kSizeText[] = {"", "hh", "h", "l", "ll", "j", "z", "t", "L"};
    std::string format = "%" + directive.flags;
    if (directive.width >= 0) {
        format += std::to_string(directive.width);
    }
    if (directive.precision >= 0) {
        format += "." + std::to_string(directive.precision);
    }
    format += kSizeText[static_cast<int>(directive.size)];
    format += static_cast<char>(directive.conversion);
    return format;
}

template <typename Value>
void appendNumber(std::wstring& out, const Directive& directive, Value value) {
    const std::string format = numericFormat(directive);
    const int length = std::snprintf(nullptr, 0, format.c_str(), value);
    if (length <= 0) {
        return;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format.c_str(), value);
    out.append(text.begin(), text.end());  // printf output in the C locale is ASCII
}

void appendSigned(std::wstring& out, const Directive& directive, Arguments& args) {
    switch (directive.size) {
        case Size::Long:
            return appendNumber(out, directive, va_arg(args.list, long));
        case Size::LongLong:
            return appendNumber(out, directive, va_arg(args.list, long long));
        case Size::IntMax:
            return appendNumber(out, directive, va_arg(args.list, std::intmax_t));
        case Size::SizeT:
        case Size::PtrDiff:
            return appendNumber(out, directive, va_arg(args.list, std::ptrdiff_t));
        default:
            return appendNumber(out, directive, va_arg(args.list, int));
    }
}

void appendUnsigned(std::wstring& out, const Directive& directive, Arguments& args) {
    switch (directive.size) {
        case Size::Long:
            return appendNumber(out, directive, va_arg(args.list, unsigned long));
        case Size::LongLong:
            return appendNumber(out, directive, va_arg(args.list, unsigned long long));
        case Size::IntMax:
            return appendNumber(out, directive, va_arg(args.list, std::uintmax_t));
        case Size::SizeT:
        case Size::PtrDiff:
            return appendNumber(out, directive, va_arg(args.list, std::size_t));
        default:
            return appendNumber(out, directive, va_arg(args.list, unsigned int));
    }
}

void appendReal(std::wstring& out, const Directive& directive, Arguments& args) {
    if (directive.size == Size::LongDouble) {
        appendNumber(out, directive, va_arg(args.list, long double));
    } else {
        Directive plain = directive;
        plain.size = Size::Default;  // %lf means double as well
        appendNumber(out, plain, va_arg(args.list, double));
    }
}

// Appends `text` cut to the precision and padded with blanks to the width.
void appendPadded(std::wstring& out, const Directive& directive, std::wstring_view text) {
    if (directive.precision >= 0) {
        text = text.substr(0, static_cast<std::size_t>(directive.precision));
    }
    const std::size_t padding = directive.width > 0
                                    ? static_cast<std::size_t>(directive.width) -
                                          std::min<std::size_t>(text.size(), directive.width)
                                    : 0;
    const bool left = directive.flags.find('-') != std::string::npos;
    if (!left) {
        out.append(padding, L' ');
    }
    out.append(text);
    if (left) {
        out.append(padding, L' ');
    }
}

bool isNarrow(const Directive& directive) {
    return directive.size == Size::Short || directive.conversion == L'S' ||
           directive.conversion == L'C';
}

void appendText(std::wstring& out, const Directive& directive, Arguments& args) {
    if (isNarrow(directive)) {
        const char* narrow = va_arg(args.list, const char*);
        appendPadded(out, directive, narrow ? utf8ToWide(narrow) : std::wstring(L"(null)"));
    } else {
        const wchar_t* wide = va_arg(args.list, const wchar_t*);
        appendPadded(out, directive, wide ? std::wstring_view(wide) : std::wstring_view(L"(null)"));
    }
}

void appendCharacter(std::wstring& out, Directive directive, Arguments& args) {
    directive.precision = -1;
    if (isNarrow(directive)) {
        const char narrow = static_cast<char>(va_arg(args.list, int));
        appendPadded(out, directive, utf8ToWide(std::string_view(&narrow, 1)));
    } else {
        const wchar_t wide = static_cast<wchar_t>(va_arg(args.list, wint_t));
        appendPadded(out, directive, std::wstring_view(&wide, 1));
    }
}

// Formats the conversion that `p` points at (just after its '%'); returns false when the
// conversion is unknown and nothing was appended.
bool appendConversion(std::wstring& out, const wchar_t*& p, Arguments& args) {
    Directive directive;
    while (*p && std::wcschr(L"-+ #0", *p)) {
        directive.flags += static_cast<char>(*p++);
    }
    parseWidth(p, directive, args);
    parsePrecision(p, directive, args);
    parseSize(p, directive);
    directive.conversion = *p;
    if (!directive.conversion) {
        return false;
    }
    ++p;
    switch (directive.conversion) {
        case L'd':
        case L'i':
            appendSigned(out, directive, args);
            return true;
        case L'u':
        case L'o':
        case L'x':
        case L'X':
            appendUnsigned(out, directive, args);
            return true;
        case L'f':
        case L'F':
        case L'e':
        case L'E':
        case L'g':
        case L'G':
        case L'a':
        case L'A':
            appendReal(out, directive, args);
            return true;
        case L'p':
            directive.size = Size::Default;
            appendNumber(out, directive, va_arg(args.list, void*));
            return true;
        case L's':
        case L'S':
            appendText(out, directive, args);
            return true;
        case L'c':
        case L'C':
            appendCharacter(out, directive, args);
            return true;
        case L'n':
            va_arg(args.list, void*);
            return true;
        default:
            return false;
    }
}

// Switches the calling thread to the C locale for the lifetime of the object.
class CLocaleScope {
public:
    CLocaleScope() : m_previous(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(m_previous); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_previous;
};

}  // namespace

void appendFormatted(std::wstring& out, const wchar_t* format, va_list list) {
    if (!format) {
        return;
    }
    CLocaleScope locale;
    Arguments args;
    va_copy(args.list, list);
    const wchar_t* p = format;
    while (*p) {
        const wchar_t* percent = std::wcschr(p, L'%');
        if (!percent) {
            out.append(p);
            break;
        }
        out.append(p, percent);
        p = percent + 1;
        if (*p == L'%') {
            out += L'%';
            ++p;
        } else if (!appendConversion(out, p, args)) {
            out.append(percent, p);
        }
    }
    va_end(args.list);
}
