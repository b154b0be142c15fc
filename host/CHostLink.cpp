// The host link: styled chat runs, events, play state, player list and sending.
// Every BSTR lives only for its call; nothing here lets an exception out, because
// the callers are window-procedure handlers and a host's process would end.
#include "host/CHostLink.h"
#include "base/ModuleGlobal.h"

#include <atomic>
#include <cstring>
#include <new>

#include "host/HostPostLedger.h"
#include "host/IXBuf.h"
#include "host/XBufLock.h"
#include "host/GameCommand.h"
#include "host/ScopedBstr.h"
#include "base/TextUtil.h"
#include "plat/codepage.h"

namespace {

// The code's characters plus the terminator.
constexpr uint32_t kStyleCodeBuffer = CHostLink::kStyleCodeChars + 1;

struct RunStyle {
  int32_t firstFlag;
  int32_t weight;
  int32_t colourIndex;
  int32_t fourthFlag;
};

constexpr RunStyle kPlainRun = {0, CHostLink::kWeightNormal, 0, 0};

RunStyle ParseStyleCode(const char* code) {
  return RunStyle{code[0] == '1' ? 1 : 0, code[1] == '1' ? CHostLink::kWeightBold : CHostLink::kWeightNormal,
                  code[2] - '0', code[3] == '1' ? 1 : 0};
}

// The colour index sits above bit 16 whatever its sign (a non-digit gives a
// negative index, passed on as the host reads it).
int32_t ColourBits(int32_t colourIndex) { return static_cast<int32_t>(static_cast<uint32_t>(colourIndex) << 16); }

// One lock for every link: held only while fields are copied or filled, never
// across a call into the host, which may come back into the module or block.
ModuleGlobal<XBufLock> g_linkLock;
XBufLock& LinkLock() { return g_linkLock.Get(); }

// Constant-initialised: counts the fills of the module's life, the first being 1.
constinit std::atomic<uint32_t> g_lastGame{0};

}  // namespace

void CHostLink::MakeGlobals() {
  LinkLock();
  host_posts::MakeGlobals();
}

void CHostLink::Fill(IHostInterface* host, HWND hostWnd, int32_t gameNumber) {
  XBufLockGuard guard(LinkLock());
  host_ = host;
  hostWnd_ = hostWnd;
  gameNumber_ = gameNumber;
  game_ = g_lastGame.fetch_add(1, std::memory_order_relaxed) + 1;
}

void CHostLink::Cut() {
  XBufLockGuard guard(LinkLock());
  host_ = nullptr;
  hostWnd_ = nullptr;
}

BOOL CHostLink::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND wnd;
  uint32_t game;
  {
    XBufLockGuard guard(LinkLock());
    wnd = hostWnd_;
    game = game_;
  }
  return wnd ? host_posts::Post(game, wnd, message, wParam, lParam) : FALSE;
}

void CHostLink::TakeBackPosts(std::span<const UINT> messages) const {
  HWND wnd;
  uint32_t game;
  {
    XBufLockGuard guard(LinkLock());
    wnd = hostWnd_;
    game = game_;
  }
  if (wnd) host_posts::TakeBack(game, wnd, messages);
}

IHostInterface* CHostLink::Host() const {
  XBufLockGuard guard(LinkLock());
  return host_;
}

HWND CHostLink::HostWindow() const {
  XBufLockGuard guard(LinkLock());
  return hostWnd_;
}

int32_t CHostLink::GameNumber() const {
  XBufLockGuard guard(LinkLock());
  return gameNumber_;
}

int32_t CopyBetween(const char* text, char open, char close, char* out, uint32_t outSize) {
  if (!text || !out) return -1;
  const char* first = std::strchr(text, open);
  if (!first || open == '\0') return -1;
  const char* last = close == '\0' ? nullptr : std::strchr(first + 1, close);
  if (!last) return -1;
  const size_t chars = static_cast<size_t>(last - first - 1);
  if (chars + 1 > outSize) return -1;
  std::memcpy(out, first + 1, chars);
  out[chars] = '\0';
  return static_cast<int32_t>(last - text + 1);
}

bool CHostLink::SendTextRun(std::string_view run, int32_t firstFlag, int32_t weight, int32_t colourIndex,
                            int32_t fourthFlag) const {
  IHostInterface* const host = Host();
  if (!host) return false;
  try {
    ScopedBstr text = ScopedBstr::FromMultiByte(run);
    ScopedBstr face = ScopedBstr::FromMultiByte("");
    if (!text || !face) return false;
    const int32_t style = (fourthFlag != 0 ? 1 : 0) | ColourBits(colourIndex);
    host->AddText(text.Get(), weight, style, 0, face.Get(), firstFlag);
    return true;
  } catch (...) {
    return false;
  }
}

bool CHostLink::SendStyledText(const char* text, int32_t firstFlag, int32_t weight, int32_t colourIndex,
                               const char* face) const {
  IHostInterface* const host = Host();
  if (!host) return false;
  try {
    ScopedBstr textBstr = ScopedBstr::FromMultiByte(text ? text : "");
    ScopedBstr faceBstr = ScopedBstr::FromMultiByte(face ? face : "");
    if (!textBstr || !faceBstr) return false;
    host->AddText(textBstr.Get(), weight, ColourBits(colourIndex), 0, faceBstr.Get(), firstFlag);
    return true;
  } catch (...) {
    return false;
  }
}

void CHostLink::ShowMarkupText(const char* text) const {
  IHostInterface* const host = Host();
  if (!host || !text) return;
  try {
    const char* rest = text;
    size_t remaining = std::strlen(rest);
    while (remaining > 0) {
      char code[kStyleCodeBuffer] = {};
      const int32_t next = CopyBetween(rest, kStyleQuote, kStyleQuote, code, kStyleCodeBuffer);
      if (next < 0 || std::strlen(code) != kStyleCodeChars) {
        SendTextRun(std::string_view(rest, remaining), kPlainRun.firstFlag, kPlainRun.weight,
                    kPlainRun.colourIndex, kPlainRun.fourthFlag);
        return;
      }
      const char* open = std::strchr(rest, kStyleQuote);
      const RunStyle style = ParseStyleCode(code);
      if (!SendTextRun(std::string_view(rest, static_cast<size_t>(open - rest)), style.firstFlag, style.weight,
                       style.colourIndex, style.fourthFlag)) {
        return;
      }
      rest += next;
      remaining -= static_cast<size_t>(next);
    }
  } catch (...) {
  }
}

int32_t CHostLink::Send(const BYTE* data, uint32_t length) const {
  IHostInterface* const host = Host();
  if (!host || length > static_cast<uint32_t>(INT32_MAX)) return 0;
  try {
    return host->Send(dorvik2_api::kSendChannel, dorvik2_api::kSendKind, data, static_cast<int32_t>(length));
  } catch (...) {
    return IHostInterface::kSendFailed;
  }
}

int32_t CHostLink::NotifyEvent(uint32_t userNo, int32_t code, void* data, int32_t* value) const {
  IHostInterface* const host = Host();
  if (!host) return 0;
  try {
    int32_t ownValue = 0;
    return host->NotifyEvent(userNo, &code, data, value ? value : &ownValue);
  } catch (...) {
    return 0;
  }
}

void CHostLink::SetPlayState(uint32_t state) const {
  IHostInterface* const host = Host();
  if (!host) return;
  try {
    host->SetPlayState(state);
  } catch (...) {
  }
}

bool CHostLink::SetPlayerList(const std::vector<int32_t>& userNos) const {
  IHostInterface* const host = Host();
  if (!host) return false;
  try {
    std::vector<std::string> items;
    items.reserve(userNos.size());
    for (int32_t n : userNos) items.push_back(FormatString("%ld", n));
    BSTR list = nullptr;
    if (!JoinToBstr(list, items)) return false;
    ScopedBstr owned(list);
    host->SetPlayerList(owned.Get());
    return true;
  } catch (...) {
    return false;
  }
}

void CHostLink::SetText(uint32_t code, std::string_view text, std::string_view secondText) const {
  IHostInterface* const host = Host();
  if (!host) return;
  try {
    ScopedBstr first = ScopedBstr::FromMultiByte(text);
    ScopedBstr second = ScopedBstr::FromMultiByte(secondText);
    if (first && second) host->SetText(first.Get(), code, second.Get());
  } catch (...) {
  }
}

bool CHostLink::GetAvatar(std::string_view userKey, std::string_view avatarKey, std::string& out) const {
  IHostInterface* const host = Host();
  if (!host) return false;
  try {
    ScopedBstr user = ScopedBstr::FromMultiByte(userKey);
    ScopedBstr avatar = ScopedBstr::FromMultiByte(avatarKey);
    if (!user || !avatar) return false;
    ScopedBstr answer;
    if (host->GetAvatar(user.Get(), avatar.Get(), answer.Out()) != 1 || !answer) return false;
    out = WideToMultiByte(std::u16string_view(plat::AsUtf16(answer.Get()), SysStringLen(answer.Get())));
    return true;
  } catch (...) {
    return false;
  }
}

void CHostLink::RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height) const {
  IHostInterface* const host = Host();
  if (!host) return;
  try {
    host->RequestScreenMode(fullScreen, width, height, 0);
  } catch (...) {
  }
}

int32_t JoinToBstr(BSTR& holder, const std::vector<std::string>& items) {
  SysFreeString(holder);
  holder = nullptr;
  try {
    std::string joined;
    for (const std::string& item : items) {
      joined += item;
      joined += '|';
    }
    holder = ScopedBstr::FromMultiByte(joined).Release();
  } catch (...) {
    holder = nullptr;
  }
  return holder ? 1 : 0;
}

int32_t SendGameCommand(const GameCommand& command, const CHostLink& link) {
  if (!link.Host()) return 0;
  IXBuf* buf = CreateXBuf(nullptr);
  if (!buf) return 0;
  int32_t sent = 0;
  if (WriteGameCommand(command, buf)) {
    sent = link.Send(buf->GetData(), buf->GetLength()) == IHostInterface::kSendFailed ? 0 : 1;
  }
  buf->Release();
  return sent;
}
