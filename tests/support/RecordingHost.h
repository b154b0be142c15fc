// A host callback that records every call the module makes as a transcript line (texts
// as UTF-8, sent bytes in hex) and answers as a test scripts it. Calls may come from
// the loader thread, so recording and scripting are locked.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/Dorvik2Api.h"

namespace testing_support {

enum class HostSlot { Send, GetAvatar, SetText, SetPlayState, SetPlayerList, AddText, RequestScreenMode, NotifyEvent };

struct HostCall {
  HostSlot slot;
  // Text arguments in order, as UTF-8 ("(null)" for a null pointer). NotifyEvent's
  // data is here as it is shown: a quoted text, hex bytes, "(buffer)" or "(null)".
  std::vector<std::string> texts;
  // Send's bytes in hex, "0C 00 00 00".
  std::string bytes;
  // The transcript line, e.g. AddText("abc", 400, 0x10001, 0, "", 1).
  std::string line;
  // The thread the module called from (the loader's during a threaded build).
  std::thread::id thread;
  const std::string& ToString() const { return line; }
};

class RecordingHost : public IHostInterface {
 public:
  int32_t STDMETHODCALLTYPE Send(int32_t channel, int32_t kind, const BYTE* data, int32_t length) override;
  int32_t STDMETHODCALLTYPE GetAvatar(BSTR userKey, BSTR avatarKey, BSTR* out) override;
  int32_t STDMETHODCALLTYPE SetText(BSTR text, uint32_t code, BSTR secondText) override;
  int32_t STDMETHODCALLTYPE SetPlayState(uint32_t state) override;
  int32_t STDMETHODCALLTYPE SetPlayerList(BSTR userNumbers) override;
  int32_t STDMETHODCALLTYPE AddText(BSTR text, int32_t weight, int32_t style, int32_t reserved, BSTR face, int32_t firstFlag) override;
  int32_t STDMETHODCALLTYPE RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height, int32_t reserved) override;
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override;
  std::vector<HostCall> Calls() const;
  std::vector<HostCall> CallsTo(HostSlot slot) const;
  std::vector<std::string> Transcript() const;
  std::vector<std::string> SentBytes() const;
  // Top-bar button states (event 45) that went out without a button word: a host has
  // no button to set for them.
  std::vector<std::string> WordlessButtonStates() const;
  void Clear();
  // Send answers these results in turn, then `fallback`.
  void ScriptSendResults(std::vector<int32_t> results, int32_t fallback = 0);
  // GetAvatar for this user key answers 1 with the text (UTF-8); unknown keys answer 0.
  void ScriptAvatar(const std::string& userKeyUtf8, const std::string& avatarUtf8);
  // NotifyEvent for `code` answers `result`, writes `valueBack` into *value when set
  // and copies `dataBack` (CP949 bytes, terminated, at most *value bytes) into data;
  // `fillWhole` writes up to *value bytes of it with no terminator, as a careless host may.
  struct EventAnswer {
    int32_t result = 0;
    bool writeValue = false;
    int32_t valueBack = 0;
    bool writeData = false;
    std::string dataBack;
    bool fillWhole = false;
  };
  void ScriptEvent(int32_t code, EventAnswer answer);
 private:
  void Record(HostSlot slot, std::vector<std::string> texts, const std::string& args, std::string bytes = "");
  mutable std::mutex mutex_;
  std::vector<HostCall> calls_;
  std::deque<int32_t> sendResults_;
  int32_t sendFallback_ = 0;
  std::map<std::string, std::string> avatars_;
  std::map<int32_t, EventAnswer> events_;
};

}  // namespace testing_support
