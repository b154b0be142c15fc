// Fuzz target: style-tagged chat text cut into runs. Server texts (nicknames, notices)
// reach the cutter inside the game's formats, so any bytes must be safe, and the runs
// together never hold more text than went in.
#include <cstdint>
#include <cstring>
#include <string>

#include "host/CHostLink.h"
#include "plat/codepage.h"

namespace {

// Counts the CP949 bytes of every run the link hands over.
class CountingHost final : public IHostInterface {
 public:
  size_t runBytes = 0;

  int32_t STDMETHODCALLTYPE Send(int32_t, int32_t, const BYTE*, int32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR, BSTR, BSTR*) override { return 0; }
  int32_t STDMETHODCALLTYPE SetText(BSTR, uint32_t, BSTR) override { return 0; }
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR) override { return 0; }
  int32_t STDMETHODCALLTYPE AddText(BSTR text, int32_t, int32_t, int32_t, BSTR face, int32_t) override {
    if (!text || !face) __builtin_trap();
    runBytes += plat::Utf16ToCp949(std::u16string_view(text, SysStringLen(text))).size();
    return 0;
  }
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t, int32_t, int32_t, int32_t) override { return 0; }
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t, int32_t*, void*, int32_t*) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The link takes zero-terminated texts: the input up to its first zero byte.
  const std::string text(reinterpret_cast<const char*>(data), size);
  CountingHost host;
  const CHostLink link(&host, nullptr, CHostLink::kGameNumber);
  link.ShowMarkupText(text.c_str());
  if (host.runBytes > std::strlen(text.c_str())) __builtin_trap();
  return 0;
}
