// CString operations over the wrapped std::wstring. Arguments are clamped into the string
// before any std::wstring call, so no call here can throw std::out_of_range.
#include "kestrel/platform/cstring.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "kestrel/platform/utf8.h"
#include "kestrel/platform/wide_format.h"

namespace {

std::wstring_view viewOf(const wchar_t* text) {
    return text ? std::wstring_view(text) : std::wstring_view();
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

int clampInt(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

}  // namespace

CString::CString(const wchar_t* text) : m_str(viewOf(text)) {}

CString::CString(const wchar_t* text, int length) {
    if (text && length > 0) {
        m_str.assign(text, static_cast<std::size_t>(length));
    }
}

CString::CString(const char* utf8) : m_str(utf8 ? utf8ToWide(utf8) : std::wstring()) {}

CString::CString(wchar_t ch, int repeat)
    : m_str(static_cast<std::size_t>(std::max(repeat, 0)), ch) {}

CString& CString::operator=(const wchar_t* text) {
    m_str.assign(viewOf(text));
    return *this;
}

CString& CString::operator=(wchar_t ch) {
    m_str.assign(1, ch);
    return *this;
}

wchar_t CString::GetAt(int index) const {
    return (*this)[index];
}

void CString::SetAt(int index, wchar_t ch) {
    if (index >= 0 && index < GetLength()) {
        m_str[static_cast<std::size_t>(index)] = ch;
    }
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    const int start = clampInt(first, 0, GetLength());
    const int length = clampInt(count, 0, GetLength() - start);
    return CString(m_str.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length)));
}

CString CString::Left(int count) const {
    return Mid(0, count);
}

CString CString::Right(int count) const {
    const int length = clampInt(count, 0, GetLength());
    return Mid(GetLength() - length, length);
}

int CString::Find(wchar_t ch, int start) const {
    if (start < 0 || start >= GetLength()) {
        return -1;
    }
    const std::size_t at = m_str.find(ch, static_cast<std::size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const {
    if (!sub || start < 0 || start > GetLength()) {
        return -1;
    }
    const std::size_t at = m_str.find(sub, static_cast<std::size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const {
    const std::size_t at = m_str.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const wchar_t* chars) const {
    if (!chars || !*chars) {
        return -1;
    }
    const std::size_t at = m_str.find_first_of(chars);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(wchar_t oldCh, wchar_t newCh) {
    if (oldCh == newCh) {
        return 0;
    }
    int count = 0;
    for (wchar_t& unit : m_str) {
        if (unit == oldCh) {
            unit = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText) {
    const std::wstring_view from = viewOf(oldText);
    if (from.empty()) {
        return 0;
    }
    const std::wstring_view to = viewOf(newText);
    std::size_t at = m_str.find(from);
    if (at == std::wstring::npos) {
        return 0;
    }
    // Built into a new string so that the cost stays linear however many matches there are.
    std::wstring result;
    result.reserve(m_str.size());
    std::size_t done = 0;
    int count = 0;
    for (; at != std::wstring::npos; at = m_str.find(from, done)) {
        result.append(m_str, done, at - done).append(to);
        done = at + from.size();
        ++count;
    }
    result.append(m_str, done);
    m_str = std::move(result);
    return count;
}

int CString::Remove(wchar_t ch) {
    const auto removed = std::erase(m_str, ch);
    return static_cast<int>(removed);
}

int CString::Insert(int index, wchar_t ch) {
    return Insert(index, std::wstring(1, ch).c_str());
}

int CString::Insert(int index, const wchar_t* text) {
    const int at = clampInt(index, 0, GetLength());
    m_str.insert(static_cast<std::size_t>(at), viewOf(text));
    return GetLength();
}

int CString::Delete(int index, int count) {
    const int at = clampInt(index, 0, GetLength());
    const int length = clampInt(count, 0, GetLength() - at);
    m_str.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(length));
    return GetLength();
}

namespace {

bool isBlank(wchar_t ch) {
    return std::iswspace(static_cast<wint_t>(ch)) != 0;
}

template <typename Pred>
void trimLeftWhere(std::wstring& text, Pred drop) {
    const auto keep = std::find_if_not(text.begin(), text.end(), drop);
    text.erase(text.begin(), keep);
}

template <typename Pred>
void trimRightWhere(std::wstring& text, Pred drop) {
    const auto keep = std::find_if_not(text.rbegin(), text.rend(), drop);
    text.erase(keep.base(), text.end());
}

auto oneOf(const wchar_t* targets) {
    return [set = viewOf(targets)](wchar_t ch) { return set.find(ch) != std::wstring_view::npos; };
}

auto equalTo(wchar_t target) {
    return [target](wchar_t ch) { return ch == target; };
}

}  // namespace

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::Trim(wchar_t target) {
    return TrimRight(target).TrimLeft(target);
}

CString& CString::Trim(const wchar_t* targets) {
    return TrimRight(targets).TrimLeft(targets);
}

CString& CString::TrimLeft() {
    trimLeftWhere(m_str, isBlank);
    return *this;
}

CString& CString::TrimLeft(wchar_t target) {
    trimLeftWhere(m_str, equalTo(target));
    return *this;
}

CString& CString::TrimLeft(const wchar_t* targets) {
    trimLeftWhere(m_str, oneOf(targets));
    return *this;
}

CString& CString::TrimRight() {
    trimRightWhere(m_str, isBlank);
    return *this;
}

CString& CString::TrimRight(wchar_t target) {
    trimRightWhere(m_str, equalTo(target));
    return *this;
}

CString& CString::TrimRight(const wchar_t* targets) {
    trimRightWhere(m_str, oneOf(targets));
    return *this;
}

int CString::Compare(const wchar_t* other) const {
    return sign(std::wstring_view(m_str).compare(viewOf(other)));
}

int CString::Compare(const CString& other) const {
    return sign(m_str.compare(other.m_str));
}

namespace {

wchar_t lower(wchar_t ch) {
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
}

wchar_t upper(wchar_t ch) {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(ch)));
}

int compareNoCase(std::wstring_view left, std::wstring_view right) {
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t a = lower(left[i]);
        const wchar_t b = lower(right[i]);
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}

}  // namespace

int CString::CompareNoCase(const wchar_t* other) const {
    return compareNoCase(m_str, viewOf(other));
}

int CString::CompareNoCase(const CString& other) const {
    return compareNoCase(m_str, other.m_str);
}

CString& CString::MakeUpper() {
    std::transform(m_str.begin(), m_str.end(), m_str.begin(), upper);
    return *this;
}

CString& CString::MakeLower() {
    std::transform(m_str.begin(), m_str.end(), m_str.begin(), lower);
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

void CString::formatVarargs(bool append, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    if (append) {
        AppendFormatV(format, args);
    } else {
        FormatV(format, args);
    }
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args) {
    // Formatted aside first: an argument may be this string's own text.
    std::wstring result;
    appendFormatted(result, format, args);
    m_str = std::move(result);
}

void CString::AppendFormatV(const wchar_t* format, va_list args) {
    std::wstring result = m_str;
    appendFormatted(result, format, args);
    m_str = std::move(result);
}

wchar_t* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) {
        m_str.resize(static_cast<std::size_t>(minLength));
    }
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
    const std::size_t length = newLength < 0
                                   ? std::min(m_str.find(L'\0'), m_str.size())
                                   : std::min(static_cast<std::size_t>(newLength), m_str.size());
    m_str.resize(length);
}

void CString::Preallocate(int length) {
    if (length > 0) {
        m_str.reserve(static_cast<std::size_t>(length));
    }
}

CString& CString::operator+=(const CString& text) {
    m_str += text.m_str;
    return *this;
}

CString& CString::operator+=(const wchar_t* text) {
    m_str += viewOf(text);
    return *this;
}

CString& CString::operator+=(wchar_t ch) {
    m_str += ch;
    return *this;
}

std::wstring CString::takeStr() {
    std::wstring text = std::move(m_str);
    m_str.clear();
    return text;
}

namespace {

template <typename Right>
CString concat(const CString& left, const Right& right) {
    CString result(left);
    result += right;
    return result;
}

}  // namespace

CString operator+(const CString& left, const CString& right) {
    return concat(left, right);
}

CString operator+(CString&& left, const CString& right) {
    return std::move(left += right);
}

CString operator+(const CString& left, const wchar_t* right) {
    return concat(left, right);
}

CString operator+(CString&& left, const wchar_t* right) {
    return std::move(left += right);
}

CString operator+(const wchar_t* left, const CString& right) {
    return concat(CString(left), right);
}

CString operator+(const CString& left, wchar_t right) {
    return concat(left, right);
}

CString operator+(CString&& left, wchar_t right) {
    return std::move(left += right);
}
