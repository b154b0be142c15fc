// OLE Automation strings. A BSTR points at UTF-16 text that is preceded by its length
// in bytes (4 bytes) and always followed by a zero char16_t, so it can hold any bytes,
// an odd count included. VARIANT and SAFEARRAY come with it, from variant.h.
#pragma once

#include "plat/types.h"

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// All allocators answer null when memory runs out (fault "SysAllocString" forces it
// for each of them). Null text gives null from SysAllocString; the Len variants then
// give zeroed content of the requested length.
BSTR SysAllocString(LPCOLESTR text);
BSTR SysAllocStringLen(LPCOLESTR text, UINT chars);
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT byteCount);
// Replace *bstr by a new copy of `text`; FALSE (and *bstr kept) when allocation fails.
INT SysReAllocString(BSTR* bstr, LPCOLESTR text);
INT SysReAllocStringLen(BSTR* bstr, LPCOLESTR text, UINT chars);
void SysFreeString(BSTR bstr);
// Characters (byte length / 2, rounded down) and bytes; 0 for null.
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

#include "plat/variant.h"
