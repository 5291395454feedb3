// CString: the MFC-style wide string of the whole interface, a thin wrapper over std::wstring.
// Lengths and offsets count wchar_t units (32-bit here, one unit per character). Nothing throws
// except std::bad_alloc; out-of-range arguments are clamped as MFC does, never undefined.
#pragma once

#include <cstdarg>
#include <string>
#include <type_traits>
#include <utility>

#include "kestrel/export.h"

// Decisions where MFC asserts or leaves the behaviour open:
// - GetAt / operator[] outside [0, GetLength()) return L'\0'; SetAt outside it changes nothing.
// - Find with a negative start returns -1; Find of an empty substring returns the start when
//   the start is within [0, GetLength()]. Replace of an empty or null pattern replaces nothing.
// - Compare orders by wchar_t value over the whole length (embedded nulls included) and returns
//   -1, 0 or 1. CompareNoCase maps each unit through towlower first: locale-independent for
//   ASCII, the C library's simple case mapping of the current LC_CTYPE otherwise.
// - Format reads the arguments as printf does with the MFC meaning of the conversions: %s and %c
//   take wide text and a wide character, %hs, %S, %hc and %C take narrow ones (narrow text is
//   UTF-8, bad bytes become U+FFFD), %ls and %lc are wide; %I64 and %I32 are accepted as sizes.
//   %n writes nothing and consumes its argument; an unknown conversion is copied as written.
//   A null string argument prints "(null)"; numbers use the C locale ('.' always); widths and
//   precisions above 1000000 count as 1000000.
class DRAWHOST_API CString {
public:
    CString() = default;
    // A null pointer gives the empty string.
    CString(const wchar_t* text);
    // Copies `length` units of `text` (embedded nulls kept); null or negative length gives "".
    CString(const wchar_t* text, int length);
    // Narrow text is UTF-8; invalid sequences become U+FFFD; null gives "".
    CString(const char* utf8);
    // `repeat` copies of `ch`; a negative count gives "".
    explicit CString(wchar_t ch, int repeat = 1);
    CString(const std::wstring& text) : m_str(text) {}
    CString(std::wstring&& text) noexcept : m_str(std::move(text)) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    // A null pointer assigns the empty string.
    CString& operator=(const wchar_t* text);
    CString& operator=(wchar_t ch);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    // L'\0' outside the string.
    wchar_t GetAt(int index) const;
    // Ignored outside the string.
    void SetAt(int index, wchar_t ch);
    // Any integer index; L'\0' outside the string. A template so that s[i] with a size_t index
    // picks this member instead of the built-in subscript through the pointer conversion.
    template <typename Index>
    requires std::is_integral_v<Index> wchar_t operator[](Index index) const {
        return std::cmp_greater_equal(index, 0) && std::cmp_less(index, m_str.size())
                   ? m_str[static_cast<std::size_t>(index)]
                   : L'\0';
    }
    // Null-terminated; valid until the string is next modified.
    const wchar_t* GetString() const { return m_str.c_str(); }
    operator const wchar_t*() const { return m_str.c_str(); }

    // Substring from `first` to the end; a negative first counts as 0, past the end gives "".
    CString Mid(int first) const;
    // At most `count` units from `first`; both are clamped into the string.
    CString Mid(int first, int count) const;
    // The first `count` units (all when count exceeds the length, "" when negative).
    CString Left(int count) const;
    // The last `count` units (all when count exceeds the length, "" when negative).
    CString Right(int count) const;

    // Index of the first `ch` at or after `start`, or -1.
    int Find(wchar_t ch, int start = 0) const;
    // Index of the first occurrence of `sub` at or after `start`, or -1 (null `sub` gives -1).
    int Find(const wchar_t* sub, int start = 0) const;
    // Index of the last `ch`, or -1.
    int ReverseFind(wchar_t ch) const;
    // Index of the first unit that is one of `chars`, or -1 (null gives -1).
    int FindOneOf(const wchar_t* chars) const;

    // Number of units replaced; 0 when oldCh equals newCh.
    int Replace(wchar_t oldCh, wchar_t newCh);
    // Replaces non-overlapping occurrences left to right; null `newText` counts as "".
    // Returns the number replaced (0 for a null or empty `oldText`).
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    // Removes every `ch`; returns how many were removed.
    int Remove(wchar_t ch);
    // Inserts at `index` clamped into [0, GetLength()]; returns the new length.
    int Insert(int index, wchar_t ch);
    int Insert(int index, const wchar_t* text);
    // Deletes up to `count` units from `index` (both clamped); returns the new length.
    int Delete(int index, int count = 1);

    // Trimming removes iswspace blanks, one given unit, or any unit of a set (null set: none).
    CString& Trim();
    CString& Trim(wchar_t target);
    CString& Trim(const wchar_t* targets);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t target);
    CString& TrimLeft(const wchar_t* targets);
    CString& TrimRight();
    CString& TrimRight(wchar_t target);
    CString& TrimRight(const wchar_t* targets);

    // -1, 0 or 1; null `other` compares as "".
    int Compare(const wchar_t* other) const;
    int Compare(const CString& other) const;
    // -1, 0 or 1 after towlower of each unit; null `other` compares as "".
    int CompareNoCase(const wchar_t* other) const;
    int CompareNoCase(const CString& other) const;
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // printf-style formatting with the MFC conversions above; a null format gives "".
    // A CString or std::wstring argument is passed as its text, as MFC code expects of %s;
    // any other class type is refused at compile time.
    template <typename... Args>
    void Format(const wchar_t* format, const Args&... args) {
        formatVarargs(false, format, formatArgument(args)...);
    }
    template <typename... Args>
    void AppendFormat(const wchar_t* format, const Args&... args) {
        formatVarargs(true, format, formatArgument(args)...);
    }
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormatV(const wchar_t* format, va_list args);

    // A writable buffer of at least minLength + 1 units, the current text first and the rest
    // zero. Valid until ReleaseBuffer or the next modification; write at most minLength units
    // and the terminator.
    wchar_t* GetBuffer(int minLength = 0);
    // Sets the length to `newLength` (clamped to the buffer), or to the first null when -1.
    void ReleaseBuffer(int newLength = -1);
    // Reserves room for `length` units without changing the text.
    void Preallocate(int length);

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    // The underlying text, for code that works on std::wstring without copying.
    const std::wstring& str() const { return m_str; }
    // Moves the text out, leaving this string empty.
    std::wstring takeStr();

private:
    static const wchar_t* formatArgument(const CString& text) { return text.GetString(); }
    static const wchar_t* formatArgument(const std::wstring& text) { return text.c_str(); }
    template <typename T>
    static const T& formatArgument(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>, "Format takes C types and strings");
        return value;
    }
    void formatVarargs(bool append, const wchar_t* format, ...);

    std::wstring m_str;
};

DRAWHOST_API CString operator+(const CString& left, const CString& right);
DRAWHOST_API CString operator+(CString&& left, const CString& right);
DRAWHOST_API CString operator+(const CString& left, const wchar_t* right);
DRAWHOST_API CString operator+(CString&& left, const wchar_t* right);
DRAWHOST_API CString operator+(const wchar_t* left, const CString& right);
DRAWHOST_API CString operator+(const CString& left, wchar_t right);
DRAWHOST_API CString operator+(CString&& left, wchar_t right);

inline bool operator==(const CString& left, const CString& right) {
    return left.str() == right.str();
}
inline bool operator==(const CString& left, const wchar_t* right) {
    return left.Compare(right) == 0;
}
inline bool operator!=(const CString& left, const CString& right) {
    return !(left == right);
}
inline bool operator!=(const CString& left, const wchar_t* right) {
    return !(left == right);
}
inline bool operator<(const CString& left, const CString& right) {
    return left.str() < right.str();
}
