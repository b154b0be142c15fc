// Every length is checked against the bytes left before anything is written or
// read, so a failed call leaves the range and the count as they were.
#include "host/XNetCodec.h"

#include <cstring>

#include "plat/error.h"

namespace {

void PutBig32(BYTE* p, uint32_t v) {
  p[0] = static_cast<BYTE>(v >> 24);
  p[1] = static_cast<BYTE>(v >> 16);
  p[2] = static_cast<BYTE>(v >> 8);
  p[3] = static_cast<BYTE>(v);
}

uint64_t GetBig(const BYTE* p, size_t bytes) {
  uint64_t v = 0;
  for (size_t i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

// A big-endian 32-bit value and `payloadBytes` bytes after it, checked as a whole first.
BYTE* WriteCounted(BYTE* p, uint32_t* remaining, uint32_t count, const void* payload, uint64_t payloadBytes) {
  if (p == nullptr || remaining == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (*remaining < 4 + payloadBytes) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nullptr;
  }
  PutBig32(p, count);
  if (payloadBytes > 0) std::memcpy(p + 4, payload, payloadBytes);
  *remaining -= static_cast<uint32_t>(4 + payloadBytes);
  return p + 4 + payloadBytes;
}

const BYTE* ReadBig(const BYTE* p, uint32_t* remaining, const void* out, size_t bytes, uint64_t& v) {
  if (p == nullptr || remaining == nullptr || out == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (*remaining < bytes) {
    SetLastError(ERROR_SUCCESS);
    return nullptr;
  }
  v = GetBig(p, bytes);
  *remaining -= static_cast<uint32_t>(bytes);
  return p + bytes;
}

}  // namespace

BYTE* WriteNetU32(BYTE* p, uint32_t* remaining, uint32_t value) {
  return WriteCounted(p, remaining, value, nullptr, 0);
}

BYTE* WriteNetString(BYTE* p, uint32_t* remaining, const std::string& text) {
  if (text.size() > 0xFFFFFFFFu) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nullptr;
  }
  return WriteCounted(p, remaining, static_cast<uint32_t>(text.size()), text.data(), text.size());
}

BYTE* WriteNetWString(BYTE* p, uint32_t* remaining, const std::u16string& text) {
  if (text.size() > 0xFFFFFFFFu) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nullptr;
  }
  // Characters go out big-endian like everything else here.
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c >> 8));
    bytes.push_back(static_cast<char>(c & 0xFF));
  }
  return WriteCounted(p, remaining, static_cast<uint32_t>(text.size()), bytes.data(), bytes.size());
}

const BYTE* ReadNetU32(const BYTE* p, uint32_t* remaining, uint32_t* value) {
  uint64_t v = 0;
  const BYTE* next = ReadBig(p, remaining, value, 4, v);
  if (next != nullptr) *value = static_cast<uint32_t>(v);
  return next;
}

const BYTE* ReadNetU32(const BYTE* p, uint32_t* remaining, int32_t* value) {
  uint64_t v = 0;
  const BYTE* next = ReadBig(p, remaining, value, 4, v);
  if (next != nullptr) *value = static_cast<int32_t>(static_cast<uint32_t>(v));
  return next;
}

const BYTE* ReadNetU64(const BYTE* p, uint32_t* remaining, uint64_t* value) {
  uint64_t v = 0;
  const BYTE* next = ReadBig(p, remaining, value, 8, v);
  if (next != nullptr) *value = v;
  return next;
}

const BYTE* ReadNetString(const BYTE* p, uint32_t* remaining, std::string* text) {
  if (p == nullptr || remaining == nullptr || text == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (*remaining < 4 || *remaining - 4 < GetBig(p, 4)) {
    SetLastError(ERROR_SUCCESS);
    return nullptr;
  }
  const auto n = static_cast<uint32_t>(GetBig(p, 4));
  text->assign(reinterpret_cast<const char*>(p + 4), n);
  *remaining -= 4 + n;
  return p + 4 + n;
}

uint16_t ByteSwap16(uint16_t v) { return __builtin_bswap16(v); }
uint32_t ByteSwap32(uint32_t v) { return __builtin_bswap32(v); }
uint64_t ByteSwap64(uint64_t v) { return __builtin_bswap64(v); }

float ByteSwapFloat(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bits = ByteSwap32(bits);
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

double ByteSwapDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  bits = ByteSwap64(bits);
  std::memcpy(&v, &bits, sizeof v);
  return v;
}
