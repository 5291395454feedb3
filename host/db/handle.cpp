// AcDbHandle: conversion from and to hexadecimal text.
#include "kestrel/host/db/handle.h"

#include <cwchar>

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
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring reversed;
    std::uint64_t rest = m_value;
    do {
        reversed.push_back(kDigits[rest & 0xF]);
        rest >>= 4;
    } while (rest != 0);
    return std::wstring(reversed.rbegin(), reversed.rend());
}

bool AcDbHandle::getIntoAsciiBuffer(wchar_t* buffer, std::size_t nBufLen) const {
    const std::wstring hex = text();
    if (buffer == nullptr || nBufLen < hex.size() + 1) {
        return false;
    }
    std::wmemcpy(buffer, hex.c_str(), hex.size() + 1);
    return true;
}
