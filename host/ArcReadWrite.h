// Archive operations: how every record and command reads and writes its fields
// through IXBuf. Integers are little-endian; strings and blobs carry a 32-bit byte
// count. Readers return 1, or 0 when fewer bytes remain than the value needs (a
// count already read stays consumed); writers return 1, or 0 when the buffer could
// not grow by what they wrote (then nothing was written).
#pragma once

#include <string>

#include "host/IXBuf.h"
#include "host/XBufString.h"
#include "plat/oleauto.h"

int32_t ArcWrite(IXBuf* buf, int8_t value);
int32_t ArcWrite(IXBuf* buf, uint8_t value);
int32_t ArcRead(int16_t& value, IXBuf* buf);
int32_t ArcRead(uint16_t& value, IXBuf* buf);

// The 32-bit forms. A `long` is int64_t on this platform (8 bytes) and so takes
// the 64-bit forms below; 32-bit fields are declared int32_t or uint32_t.
int32_t ArcRead(int32_t& value, IXBuf* buf);
int32_t ArcRead(uint32_t& value, IXBuf* buf);
int32_t ArcWrite(IXBuf* buf, int32_t value);
int32_t ArcWrite(IXBuf* buf, uint32_t value);

int32_t ArcRead(int64_t& value, IXBuf* buf);
int32_t ArcRead(uint64_t& value, IXBuf* buf);
int32_t ArcWrite(IXBuf* buf, int64_t value);
int32_t ArcWrite(IXBuf* buf, uint64_t value);

// Embedded zero bytes are kept.
int32_t ArcRead(std::string& value, IXBuf* buf);
int32_t ArcWrite(IXBuf* buf, const std::string& value);

// A blob: the count, then the bytes appended to `dest` (which must not be `buf`).
int32_t ArcRead(IXBuf& dest, IXBuf* buf);
int32_t ArcWrite(IXBuf* buf, IXBuf* source);

// Byte-array variants (VT_ARRAY | VT_UI1, one dimension). The counted forms carry
// the count; the raw reader takes every remaining byte without consuming it.
// Writers: ERROR_INVALID_DATA (counted) or ERROR_BAD_FORMAT (raw) for another type.
int32_t ArcRead(VARIANT& value, IXBuf* buf);
int32_t ArcWrite(IXBuf* buf, const VARIANT& value);
int32_t ArcReadRaw(VARIANT& value, IXBuf* buf);
int32_t ArcWriteRaw(IXBuf* buf, const VARIANT& value);

// A byte-length BSTR of the counted bytes. The destination must be null
// (ERROR_INVALID_PARAMETER otherwise, nothing read): the reader never frees.
int32_t ArcRead(BSTR& value, IXBuf* buf);

// Module strings: the text ends at the first zero byte among the counted bytes.
enum class XStrCount { k32, k16 };
int32_t ArcRead(XBufString& value, IXBuf* buf, XStrCount count = XStrCount::k32);
