// CStringArray: the MFC-style growable array of CString, over std::vector. Indexes are int.
// References returned by element access stay valid until the array's size next changes.
#pragma once

#include <vector>

#include "kestrel/export.h"
#include "kestrel/platform/cstring.h"

// Out-of-range indexes, where MFC asserts, are defined here:
// - const access (GetAt, const operator[]) returns a reference to a shared empty string;
// - non-const access (ElementAt, operator[]) returns a scratch string owned by the array, emptied
//   at each such access, so what is written to it is lost and the array is unchanged;
// - SetAt and RemoveAt change nothing; RemoveAt removes only what lies within the array;
// - InsertAt past the end first grows the array with empty strings, as MFC does; a negative
//   index or a count below 1 changes nothing; SetSize with a negative size changes nothing.
class DRAWHOST_API CStringArray {
public:
    CStringArray() = default;
    CStringArray(const CStringArray&) = default;
    CStringArray(CStringArray&&) noexcept = default;
    CStringArray& operator=(const CStringArray&) = default;
    CStringArray& operator=(CStringArray&&) noexcept = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    // GetSize() - 1; -1 when empty.
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }

    // Appends a copy; returns its index.
    int Add(const CString& text);
    int Add(CString&& text);
    // A shared empty string when out of range.
    const CString& GetAt(int index) const;
    // Ignored when out of range.
    void SetAt(int index, const CString& text);
    // The array's scratch string when out of range.
    CString& ElementAt(int index);
    const CString& operator[](int index) const { return GetAt(index); }
    CString& operator[](int index) { return ElementAt(index); }

    void RemoveAll() { m_items.clear(); }
    // Removes up to `count` elements from `index`.
    void RemoveAt(int index, int count = 1);
    // Inserts `count` copies of `text` before `index`, growing the array when index > size.
    void InsertAt(int index, const CString& text, int count = 1);
    // Truncates or pads with empty strings.
    void SetSize(int newSize);
    // Appends copies of all elements of `other` (which may be this array); returns the old size.
    int Append(const CStringArray& other);
    // Replaces the contents with copies of `other`'s.
    void Copy(const CStringArray& other);

private:
    bool inRange(int index) const { return index >= 0 && index < GetSize(); }

    std::vector<CString> m_items;
    CString m_scratch;
};
