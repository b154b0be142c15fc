// Values are assembled byte by byte, so the layout is little-endian whatever the
// machine. Writers reserve their whole size first: a value is written completely
// or not at all.
#include "host/ArcReadWrite.h"

#include <cstring>
#include <limits>

#include "plat/error.h"

namespace {

template <class T>
int32_t ReadLittle(T& value, IXBuf* buf) {
  if (buf->GetLength() < sizeof(T)) return 0;
  const BYTE* p = buf->GetData();
  std::make_unsigned_t<T> v = 0;
  for (size_t i = sizeof(T); i-- > 0;) v = static_cast<std::make_unsigned_t<T>>((v << 8) | p[i]);
  value = static_cast<T>(v);
  buf->Consume(sizeof(T));
  return 1;
}

// Appends the parts in order after reserving room for all of them; 0 with
// nothing written when the buffer cannot take them.
int32_t AppendAll(IXBuf* buf, std::initializer_list<std::pair<const void*, uint64_t>> parts) {
  uint64_t total = 0;
  for (const auto& part : parts) total += part.second;
  if (total > std::numeric_limits<uint32_t>::max()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const uint32_t before = buf->GetLength();
  if (!buf->Reserve(static_cast<uint32_t>(total))) return 0;
  for (const auto& part : parts) buf->Append(part.first, static_cast<uint32_t>(part.second));
  return buf->GetLength() - before == total ? 1 : 0;
}

template <class T>
int32_t WriteLittle(IXBuf* buf, T value) {
  BYTE bytes[sizeof(T)];
  auto v = static_cast<std::make_unsigned_t<T>>(value);
  for (BYTE& b : bytes) {
    b = static_cast<BYTE>(v & 0xFF);
    if constexpr (sizeof(T) > 1) v = static_cast<std::make_unsigned_t<T>>(v >> 8);
  }
  return AppendAll(buf, {{bytes, sizeof bytes}});
}

// Reads a count and checks that that many bytes follow; the count stays consumed
// either way, so a caller never allocates from a count the data cannot back.
template <class Count>
int32_t ReadCounted(IXBuf* buf, uint32_t& n) {
  Count count;
  if (!ReadLittle(count, buf)) return 0;
  n = count;
  return buf->GetLength() >= n ? 1 : 0;
}

bool IsByteArray(const VARIANT& v) { return v.vt == (VT_ARRAY | VT_UI1); }

// A byte array from the buffer's next n bytes (not consumed), into a cleared variant.
int32_t FillByteArray(VARIANT& value, IXBuf* buf, uint32_t n) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, n);
  if (array == nullptr) return 0;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) {
    SafeArrayDestroy(array);
    return 0;
  }
  if (n > 0) std::memcpy(data, buf->GetData(), n);
  SafeArrayUnaccessData(array);
  value.vt = VT_ARRAY | VT_UI1;
  value.parray = array;
  return 1;
}

void ClearIfSet(VARIANT& value) {
  if (value.vt != VT_EMPTY) VariantClear(&value);
}

// Writes the bytes of a one-dimensional byte array, with or without its count.
int32_t WriteByteArray(IXBuf* buf, SAFEARRAY* array, bool counted) {
  if (SafeArrayGetDim(array) != 1) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  const int64_t elements = int64_t{upper} - lower + 1;
  const uint32_t n = elements > 0 ? static_cast<uint32_t>(elements) : 0;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return 0;
  int32_t ok;
  if (counted) {
    BYTE count[4] = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16),
                     static_cast<BYTE>(n >> 24)};
    ok = AppendAll(buf, {{count, sizeof count}, {data, n}});
  } else {
    ok = AppendAll(buf, {{data, n}});
  }
  SafeArrayUnaccessData(array);
  return ok;
}

}  // namespace

int32_t ArcWrite(IXBuf* buf, int8_t value) { return WriteLittle(buf, value); }
int32_t ArcWrite(IXBuf* buf, uint8_t value) { return WriteLittle(buf, value); }
int32_t ArcRead(int16_t& value, IXBuf* buf) { return ReadLittle(value, buf); }
int32_t ArcRead(uint16_t& value, IXBuf* buf) { return ReadLittle(value, buf); }
int32_t ArcRead(int32_t& value, IXBuf* buf) { return ReadLittle(value, buf); }
int32_t ArcRead(uint32_t& value, IXBuf* buf) { return ReadLittle(value, buf); }
int32_t ArcWrite(IXBuf* buf, int32_t value) { return WriteLittle(buf, value); }
int32_t ArcWrite(IXBuf* buf, uint32_t value) { return WriteLittle(buf, value); }
int32_t ArcRead(int64_t& value, IXBuf* buf) { return ReadLittle(value, buf); }
int32_t ArcRead(uint64_t& value, IXBuf* buf) { return ReadLittle(value, buf); }
int32_t ArcWrite(IXBuf* buf, int64_t value) { return WriteLittle(buf, value); }
int32_t ArcWrite(IXBuf* buf, uint64_t value) { return WriteLittle(buf, value); }

int32_t ArcRead(std::string& value, IXBuf* buf) {
  uint32_t n = 0;
  if (!ReadCounted<uint32_t>(buf, n)) return 0;
  if (n == 0) {
    value.clear();
    return 1;
  }
  value.assign(reinterpret_cast<const char*>(buf->GetData()), n);
  buf->Consume(n);
  return 1;
}

int32_t ArcWrite(IXBuf* buf, const std::string& value) {
  if (value.size() > std::numeric_limits<uint32_t>::max()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto n = static_cast<uint32_t>(value.size());
  BYTE count[4] = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16),
                   static_cast<BYTE>(n >> 24)};
  return AppendAll(buf, {{count, sizeof count}, {value.data(), n}});
}

int32_t ArcRead(IXBuf& dest, IXBuf* buf) {
  if (&dest == buf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  uint32_t n = 0;
  if (!ReadCounted<uint32_t>(buf, n)) return 0;
  const uint32_t before = dest.GetLength();
  dest.Append(buf->GetData(), n);
  if (dest.GetLength() - before != n) return 0;
  buf->Consume(n);
  return 1;
}

int32_t ArcWrite(IXBuf* buf, IXBuf* source) {
  const uint32_t n = source->GetLength();
  const uint32_t before = buf->GetLength();
  // Reserve first and take the source's data only afterwards: the source may be
  // this very buffer, whose block could move. (n is far below 4 GB: buffers are
  // capped at the largest block class.)
  if (!buf->Reserve(n + 4)) return 0;
  if (!ArcWrite(buf, n)) return 0;
  buf->Append(source->GetData(), n);
  if (buf->GetLength() - before != uint64_t{n} + 4) return 0;
  return 1;
}

int32_t ArcRead(VARIANT& value, IXBuf* buf) {
  ClearIfSet(value);
  uint32_t n = 0;
  if (!ReadCounted<uint32_t>(buf, n)) return 0;
  if (!FillByteArray(value, buf, n)) return 0;
  buf->Consume(n);
  return 1;
}

int32_t ArcWrite(IXBuf* buf, const VARIANT& value) {
  if (!IsByteArray(value)) {
    SetLastError(ERROR_INVALID_DATA);
    return 0;
  }
  return WriteByteArray(buf, value.parray, true);
}

int32_t ArcReadRaw(VARIANT& value, IXBuf* buf) {
  ClearIfSet(value);
  return FillByteArray(value, buf, buf->GetLength());
}

int32_t ArcWriteRaw(IXBuf* buf, const VARIANT& value) {
  if (!IsByteArray(value)) {
    SetLastError(ERROR_BAD_FORMAT);
    return 0;
  }
  return WriteByteArray(buf, value.parray, false);
}

int32_t ArcRead(BSTR& value, IXBuf* buf) {
  if (value != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  uint32_t n = 0;
  if (!ReadCounted<uint32_t>(buf, n)) return 0;
  BSTR text = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(buf->GetData()), n);
  if (text == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return 0;
  }
  value = text;
  buf->Consume(n);
  return 1;
}

int32_t ArcRead(XBufString& value, IXBuf* buf, XStrCount count) {
  uint32_t n = 0;
  const int32_t present = count == XStrCount::k16 ? ReadCounted<uint16_t>(buf, n) : ReadCounted<uint32_t>(buf, n);
  if (!present || !value.Assign(buf->GetData(), n)) return 0;
  buf->Consume(n);
  return 1;
}
