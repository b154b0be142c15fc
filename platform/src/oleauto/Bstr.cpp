// BSTR allocation: one block holding the 4-byte length, the content and a zero
// char16_t after it (two zero bytes right after the last byte, even for an odd length).
#include "plat/oleauto.h"

#include <cstdlib>
#include <cstring>

#include "core/Faults.h"

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);
constexpr size_t kTerminator = sizeof(OLECHAR);
// The length prefix is 32 bits and the whole block must stay addressable by it.
constexpr size_t kMaxBytes = 0xFFFFFFFFu - kPrefix - 2 * kTerminator;

// The size arrives in 64 bits: twice a 32-bit count of characters passes a 32-bit size_t.
BSTR Allocate(const void* content, uint64_t requested) {
  if (requested > kMaxBytes || plat::detail::ShouldFail("SysAllocString")) return nullptr;
  const auto bytes = static_cast<size_t>(requested);
  // Rounded up to whole char16_t, so the last character read through the BSTR is in
  // the block even for an odd byte length.
  const size_t block = kPrefix + ((bytes + 1) & ~size_t{1}) + kTerminator;
  auto* base = static_cast<unsigned char*>(std::malloc(block));
  if (!base) return nullptr;
  const uint32_t length = static_cast<uint32_t>(bytes);
  std::memcpy(base, &length, kPrefix);
  unsigned char* text = base + kPrefix;
  if (content)
    std::memcpy(text, content, bytes);
  else
    std::memset(text, 0, bytes);
  std::memset(text + bytes, 0, block - kPrefix - bytes);
  return reinterpret_cast<BSTR>(text);
}

size_t CharCount(LPCOLESTR text) {
  size_t n = 0;
  while (text[n]) ++n;
  return n;
}

}  // namespace

BSTR SysAllocString(LPCOLESTR text) {
  if (!text) return nullptr;
  return Allocate(text, uint64_t{CharCount(text)} * sizeof(OLECHAR));
}

BSTR SysAllocStringLen(LPCOLESTR text, UINT chars) {
  return Allocate(text, uint64_t{chars} * sizeof(OLECHAR));
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT byteCount) { return Allocate(bytes, byteCount); }

INT SysReAllocString(BSTR* bstr, LPCOLESTR text) {
  if (!bstr) return FALSE;
  return SysReAllocStringLen(bstr, text, text ? static_cast<UINT>(CharCount(text)) : 0);
}

INT SysReAllocStringLen(BSTR* bstr, LPCOLESTR text, UINT chars) {
  if (!bstr) return FALSE;
  // Copied before the old string goes: `text` may point into it.
  BSTR fresh = Allocate(text, uint64_t{chars} * sizeof(OLECHAR));
  if (!fresh) return FALSE;
  SysFreeString(*bstr);
  *bstr = fresh;
  return TRUE;
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(reinterpret_cast<unsigned char*>(bstr) - kPrefix);
}

UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  uint32_t length;
  std::memcpy(&length, reinterpret_cast<const unsigned char*>(bstr) - kPrefix, kPrefix);
  return length;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
