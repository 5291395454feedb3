// AcArray<T>: the host's growable array of values, indexed by int.
// An index outside [0, length) (or outside [0, length] for insertAt) is a programming error: it
// aborts the process with a message naming the call, in every build type, instead of touching
// memory.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <type_traits>
#include <utility>
#include <vector>

// Reports an index outside [0, size) for the named call and aborts; never returns.
[[noreturn]] inline void hostIndexFailure(const char* where, long long index, long long size) {
    std::fprintf(stderr, "%s: index %lld out of range (size %lld)\n", where, index, size);
    std::fflush(stderr);
    std::abort();
}

// Aborts through hostIndexFailure unless 0 <= index < size.
inline void hostCheckIndex(const char* where, long long index, long long size) {
    if (index < 0 || index >= size) {
        hostIndexFailure(where, index, size);
    }
}

// Values are kept contiguously; references and pointers into the array (at, asArrayPtr, begin)
// stay valid until the next call that changes its length. Lengths are int as in the host SDK;
// setLogicalLength value-initialises new elements. growLength is accepted for the SDK's
// constructor shape; growth follows std::vector.
template <class T>
class AcArray {
    static_assert(!std::is_same_v<T, bool>, "AcArray<bool> is not supported; use AcArray<char>");

public:
    // Creates an empty array with room for physicalLength elements.
    explicit AcArray(int physicalLength = 0, int growLength = 8) {
        if (physicalLength > 0) {
            m_items.reserve(static_cast<size_t>(physicalLength));
        }
    }

    // Appends value; returns the index it got.
    int append(const T& value) {
        m_items.push_back(value);
        return length() - 1;
    }
    // Appends value by move; returns the index it got.
    int append(T&& value) {
        m_items.push_back(std::move(value));
        return length() - 1;
    }
    // Appends every element of other (other may be *this); returns *this.
    AcArray& append(const AcArray& other) {
        if (&other == this) {
            std::vector<T> copy(m_items);
            m_items.insert(m_items.end(), copy.begin(), copy.end());
        } else {
            m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        }
        return *this;
    }

    // Inserts value before index (index == length appends); aborts outside [0, length].
    AcArray& insertAt(int index, const T& value) {
        hostCheckIndex("AcArray::insertAt", index, length() + 1);
        m_items.insert(m_items.begin() + index, value);
        return *this;
    }

    // Removes the element at index; aborts outside [0, length).
    AcArray& removeAt(int index) {
        hostCheckIndex("AcArray::removeAt", index, length());
        m_items.erase(m_items.begin() + index);
        return *this;
    }
    // Removes the first element equal to value at or after start; false when there is none.
    bool remove(const T& value, int start = 0) {
        int index = -1;
        if (!find(value, index, start)) {
            return false;
        }
        removeAt(index);
        return true;
    }
    // Removes the first element; aborts when empty.
    AcArray& removeFirst() { return removeAt(0); }
    // Removes the last element; aborts when empty.
    AcArray& removeLast() {
        hostCheckIndex("AcArray::removeLast", length() - 1, length());
        m_items.pop_back();
        return *this;
    }
    // Removes every element; the physical length stays.
    AcArray& removeAll() {
        m_items.clear();
        return *this;
    }
    // Removes the elements from startIndex to endIndex inclusive; aborts on a bad range.
    AcArray& removeSubArray(int startIndex, int endIndex) {
        hostCheckIndex("AcArray::removeSubArray", startIndex, length());
        hostCheckIndex("AcArray::removeSubArray", endIndex, length());
        if (endIndex >= startIndex) {
            m_items.erase(m_items.begin() + startIndex, m_items.begin() + endIndex + 1);
        }
        return *this;
    }

    // Element access; each aborts outside [0, length).
    T& at(int index) {
        hostCheckIndex("AcArray::at", index, length());
        return m_items[static_cast<size_t>(index)];
    }
    const T& at(int index) const {
        hostCheckIndex("AcArray::at", index, length());
        return m_items[static_cast<size_t>(index)];
    }
    T& operator[](int index) { return at(index); }
    const T& operator[](int index) const { return at(index); }
    // Replaces the element at index; aborts outside [0, length).
    AcArray& setAt(int index, const T& value) {
        at(index) = value;
        return *this;
    }
    // First and last element; abort when empty.
    T& first() { return at(0); }
    const T& first() const { return at(0); }
    T& last() { return at(length() - 1); }
    const T& last() const { return at(length() - 1); }

    int length() const { return static_cast<int>(m_items.size()); }
    int logicalLength() const { return length(); }
    // Grows (value-initialised elements) or shrinks to n elements; aborts when n < 0.
    AcArray& setLogicalLength(int n) {
        if (n < 0) {
            hostIndexFailure("AcArray::setLogicalLength", n, 0);
        }
        m_items.resize(static_cast<size_t>(n));
        return *this;
    }
    int physicalLength() const { return static_cast<int>(m_items.capacity()); }
    // Reserves room for n elements; never drops elements (n below length is ignored).
    AcArray& setPhysicalLength(int n) {
        if (n > 0) {
            m_items.reserve(static_cast<size_t>(n));
        }
        return *this;
    }
    bool isEmpty() const { return m_items.empty(); }

    // True when an element equal to value sits at or after start.
    bool contains(const T& value, int start = 0) const {
        int index = -1;
        return find(value, index, start);
    }
    // Index of the first element equal to value at or after start, in foundAt; false (foundAt
    // untouched) when there is none. A start outside the array finds nothing.
    bool find(const T& value, int& foundAt, int start = 0) const {
        for (int i = std::max(start, 0); i < length(); ++i) {
            if (m_items[static_cast<size_t>(i)] == value) {
                foundAt = i;
                return true;
            }
        }
        return false;
    }
    // Index of the first element equal to value, or -1.
    int find(const T& value) const {
        int index = -1;
        find(value, index);
        return index;
    }

    // Reverses the order of the elements.
    AcArray& reverse() {
        std::reverse(m_items.begin(), m_items.end());
        return *this;
    }
    // Exchanges the elements at i and j; aborts when either is out of range.
    AcArray& swap(int i, int j) {
        std::swap(at(i), at(j));
        return *this;
    }

    // The contiguous elements, or nullptr when empty; valid until the length changes.
    T* asArrayPtr() { return m_items.empty() ? nullptr : m_items.data(); }
    const T* asArrayPtr() const { return m_items.empty() ? nullptr : m_items.data(); }

    bool operator==(const AcArray& other) const { return m_items == other.m_items; }
    bool operator!=(const AcArray& other) const { return !(*this == other); }

    // Range-for support.
    T* begin() { return m_items.data(); }
    T* end() { return m_items.data() + m_items.size(); }
    const T* begin() const { return m_items.data(); }
    const T* end() const { return m_items.data() + m_items.size(); }

private:
    std::vector<T> m_items;
};
