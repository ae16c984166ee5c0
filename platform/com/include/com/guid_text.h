// Class identifiers as text: "{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}".
#pragma once

#include "com/com_types.h"

// Upper-case text in braces, 38 characters and a terminator, allocated with
// CoTaskMemAlloc (free it with CoTaskMemFree). E_OUTOFMEMORY, with `text`
// null, when that allocation fails; E_INVALIDARG for a null `text`.
HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
// Braced text in either case. CO_E_CLASSSTRING for anything else, with
// `clsid` cleared; E_INVALIDARG for a null `clsid`.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
