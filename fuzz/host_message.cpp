// Fuzz target of the host message reader: any block reads without harm, the
// message copies and destroys cleanly, and a complete message writes back to
// exactly the bytes the reader consumed.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/HostMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) {
    return 0;
  }
  IXBuf* in = CreateXBuf(nullptr);
  if (in == nullptr) {
    return 0;
  }
  in->Append(data, static_cast<uint32_t>(size));

  HostMessage msg;
  const int result = ReadHostMessage(msg, in);
  const uint32_t consumed = static_cast<uint32_t>(size) - in->GetLength();
  in->Release();

  HostMessage copy(msg);
  DestroyHostMessage(msg);

  if (result == 1) {
    IXBuf* out = CreateXBuf(nullptr);
    if (out == nullptr) {
      return 0;
    }
    const bool same = WriteHostMessage(copy, out) == 1 && out->GetLength() == consumed &&
                      std::memcmp(out->GetData(), data, consumed) == 0;
    out->Release();
    if (!same) {
      std::abort();
    }
  }
  return 0;
}
