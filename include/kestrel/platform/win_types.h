// The Windows integer and pointer type names that platform entry points take.
#pragma once

using BOOL = int;
using DWORD = unsigned int;
using LPVOID = void*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
