// CStringArray over std::vector<CString>; every index is checked before it reaches the vector.
#include "kestrel/platform/cstring_array.h"

#include <algorithm>

int CStringArray::Add(const CString& text) {
    m_items.push_back(text);
    return GetUpperBound();
}

int CStringArray::Add(CString&& text) {
    m_items.push_back(std::move(text));
    return GetUpperBound();
}

const CString& CStringArray::GetAt(int index) const {
    static const CString kEmpty;
    return inRange(index) ? m_items[static_cast<std::size_t>(index)] : kEmpty;
}

void CStringArray::SetAt(int index, const CString& text) {
    if (inRange(index)) {
        m_items[static_cast<std::size_t>(index)] = text;
    }
}

CString& CStringArray::ElementAt(int index) {
    if (inRange(index)) {
        return m_items[static_cast<std::size_t>(index)];
    }
    m_scratch.Empty();
    return m_scratch;
}

void CStringArray::RemoveAt(int index, int count) {
    if (!inRange(index) || count < 1) {
        return;
    }
    const auto first = m_items.begin() + index;
    m_items.erase(first, first + std::min(count, GetSize() - index));
}

void CStringArray::InsertAt(int index, const CString& text, int count) {
    if (index < 0 || count < 1) {
        return;
    }
    if (index > GetSize()) {
        const CString copy(text);  // growing may move the element that `text` refers to
        SetSize(index);
        m_items.insert(m_items.end(), static_cast<std::size_t>(count), copy);
        return;
    }
    m_items.insert(m_items.begin() + index, static_cast<std::size_t>(count), text);
}

void CStringArray::SetSize(int newSize) {
    if (newSize >= 0) {
        m_items.resize(static_cast<std::size_t>(newSize));
    }
}

int CStringArray::Append(const CStringArray& other) {
    const int oldSize = GetSize();
    if (&other == this) {
        m_items.reserve(m_items.size() * 2);
        std::copy_n(m_items.begin(), oldSize, std::back_inserter(m_items));
    } else {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    }
    return oldSize;
}

void CStringArray::Copy(const CStringArray& other) {
    if (&other != this) {
        m_items = other.m_items;
    }
}
