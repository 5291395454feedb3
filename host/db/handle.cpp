// AcDbHandle: conversion from and to hexadecimal text.
#include "kestrel/host/db/handle.h"

#include <bit>
#include <cwchar>
#include <iterator>

namespace {

constexpr std::size_t kMaxDigits = 16;

int digitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return -1;
}

}  // namespace

AcDbHandle::AcDbHandle(const wchar_t* hexText) {
    fromText(hexText, *this);
}

bool AcDbHandle::fromText(const wchar_t* hexText, AcDbHandle& handle) {
    if (hexText == nullptr || *hexText == L'\0' || std::wcslen(hexText) > kMaxDigits) {
        return false;
    }
    std::uint64_t value = 0;
    for (const wchar_t* c = hexText; *c != L'\0'; ++c) {
        const int digit = digitValue(*c);
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    handle.m_value = value;
    return true;
}

std::wstring AcDbHandle::text() const {
    wchar_t digits[kMaxDigits + 1];
    getIntoAsciiBuffer(digits, std::size(digits));
    return digits;
}

bool AcDbHandle::getIntoAsciiBuffer(wchar_t* buffer, std::size_t nBufLen) const {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    const std::size_t length = m_value == 0 ? 1 : (std::bit_width(m_value) + 3) / 4;
    if (buffer == nullptr || nBufLen < length + 1) {
        return false;
    }
    std::uint64_t rest = m_value;
    buffer[length] = L'\0';
    for (std::size_t i = length; i-- > 0; rest >>= 4) {
        buffer[i] = kDigits[rest & 0xF];
    }
    return true;
}
