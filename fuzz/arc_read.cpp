// Fuzz target of the archive readers and the network-order readers: the first
// bytes choose a sequence of readers that run over the rest. Every successful
// string and array read is written back and read again to the same value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/ArcReadOps.h"
#include "host/ArcReadWrite.h"
#include "host/XNetCodec.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Runs a network-order reader over the buffer's bytes and consumes what it read.
template <class Read>
void ReadNet(IXBuf* buf, Read read) {
  uint32_t left = buf->GetLength();
  const BYTE* start = buf->GetData();
  const BYTE* next = read(start, &left);
  if (next == nullptr) {
    Check(left == buf->GetLength());
    return;
  }
  Check(static_cast<uint32_t>(next - start) + left == buf->GetLength());
  buf->Consume(static_cast<uint32_t>(next - start));
}

void StringRoundTrip(const std::string& s) {
  IXBuf* again = CreateXBuf(nullptr);
  std::string back;
  Check(ArcWrite(again, s) == 1 && ArcRead(back, again) == 1 && back == s && again->GetLength() == 0);
  again->Release();
}

void VariantRoundTrip(const VARIANT& v) {
  IXBuf* again = CreateXBuf(nullptr);
  VARIANT back;
  VariantInit(&back);
  Check(ArcWrite(again, v) == 1 && ArcRead(back, again) == 1);
  Check(back.parray->rgsabound[0].cElements == v.parray->rgsabound[0].cElements);
  Check(std::memcmp(back.parray->pvData, v.parray->pvData, v.parray->rgsabound[0].cElements) == 0);
  VariantClear(&back);
  again->Release();
}

void Apply(uint8_t op, IXBuf* buf) {
  using namespace arc_fuzz;
  switch (op % kOpCount) {
    case kInt16: { int16_t v; ArcRead(v, buf); break; }
    case kUint16: { uint16_t v; ArcRead(v, buf); break; }
    case kInt32: { int32_t v; ArcRead(v, buf); break; }
    case kUint32: { uint32_t v; ArcRead(v, buf); break; }
    case kInt64: { int64_t v; ArcRead(v, buf); break; }
    case kUint64: { uint64_t v; ArcRead(v, buf); break; }
    case kString: {
      std::string s;
      if (ArcRead(s, buf)) StringRoundTrip(s);
      break;
    }
    case kBlob: {
      IXBuf* dest = CreateXBuf(nullptr);
      const uint32_t before = buf->GetLength();
      if (ArcRead(*dest, buf)) Check(dest->GetLength() + 4 == before - buf->GetLength());
      dest->Release();
      break;
    }
    case kVariant:
    case kVariantRaw: {
      VARIANT v;
      VariantInit(&v);
      const bool raw = op % kOpCount == kVariantRaw;
      const uint32_t before = buf->GetLength();
      if (raw ? ArcReadRaw(v, buf) : ArcRead(v, buf)) {
        if (raw) Check(buf->GetLength() == before);
        VariantRoundTrip(v);
      }
      VariantClear(&v);
      break;
    }
    case kModuleString32:
    case kModuleString16: {
      XBufString s;
      if (ArcRead(s, buf, op % kOpCount == kModuleString16 ? XStrCount::k16 : XStrCount::k32)) {
        Check(std::strlen(s.c_str()) == s.Length() && s.Capacity() >= s.Length());
      }
      break;
    }
    case kBstr: {
      BSTR s = nullptr;
      const uint32_t before = buf->GetLength();
      if (ArcRead(s, buf)) Check(SysStringByteLen(s) + 4 == before - buf->GetLength());
      SysFreeString(s);
      break;
    }
    case kNetInt32:
      ReadNet(buf, [](const BYTE* p, uint32_t* left) { int32_t v; return ReadNetU32(p, left, &v); });
      break;
    case kNetUint32:
      ReadNet(buf, [](const BYTE* p, uint32_t* left) { uint32_t v; return ReadNetU32(p, left, &v); });
      break;
    case kNetUint64:
      ReadNet(buf, [](const BYTE* p, uint32_t* left) { uint64_t v; return ReadNetU64(p, left, &v); });
      break;
    case kNetString:
      ReadNet(buf, [](const BYTE* p, uint32_t* left) { std::string s; return ReadNetString(p, left, &s); });
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t ops = data[0] % arc_fuzz::kMaxOps;
  if (size < 1 + ops) return 0;
  IXBuf* buf = CreateXBuf(nullptr);
  if (buf == nullptr) return 0;
  const size_t payload = size - 1 - ops;
  buf->Append(data + 1 + ops, static_cast<uint32_t>(payload));
  Check(buf->GetLength() == payload);
  for (size_t i = 0; i < ops; ++i) Apply(data[1 + i], buf);
  buf->Release();
  return 0;
}
