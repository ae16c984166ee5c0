// The result codes, text types and class contexts of COM, with the values
// the published interfaces give them.
#pragma once

#include "win32/types.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPCLSID = CLSID*;

constexpr HRESULT MakeHresult(std::uint32_t code) noexcept { return static_cast<HRESULT>(code); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT NOERROR = 0;
constexpr HRESULT E_NOINTERFACE = MakeHresult(0x80004002);
constexpr HRESULT E_POINTER = MakeHresult(0x80004003);
constexpr HRESULT E_FAIL = MakeHresult(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = MakeHresult(0x8007000E);
constexpr HRESULT E_INVALIDARG = MakeHresult(0x80070057);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeHresult(0x80040111);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHresult(0x80040154);
constexpr HRESULT CO_E_NOTINITIALIZED = MakeHresult(0x800401F0);
constexpr HRESULT CO_E_CLASSSTRING = MakeHresult(0x800401F3);
constexpr HRESULT CO_E_DLLNOTFOUND = MakeHresult(0x800401F8);
constexpr HRESULT CO_E_ERRORINDLL = MakeHresult(0x800401F9);

constexpr bool SUCCEEDED(HRESULT result) noexcept { return result >= 0; }
constexpr bool FAILED(HRESULT result) noexcept { return result < 0; }

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
