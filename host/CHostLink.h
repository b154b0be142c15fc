// The module's one link to the host: the host's callback interface and window as
// window creation left them, and every call the game makes on the host. Style-tagged
// message texts are cut here into the styled runs of the host's chat area.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dorvik2Api.h"
#include "plat/oleauto.h"
#include "plat/types.h"

struct GameCommand;

class CHostLink {
 public:
  static constexpr int32_t kGameNumber = 14;
  static constexpr int32_t kWeightNormal = 400;
  static constexpr int32_t kWeightBold = 700;
  // A style code is four characters between back-quotes: first flag, bold, colour
  // digit, fourth flag ("`1120`").
  static constexpr char kStyleQuote = '`';
  static constexpr uint32_t kStyleCodeChars = 4;

  // The link that window creation fills and the scene and panels use. The loader
  // thread reads it too, so Fill and every read of the fields hold one lock; a call
  // goes to the host as the link stood when the call began.
  static CHostLink& Global();
  // Makes the link's lock, a global of the module (the link itself is plain data).
  static void MakeGlobals();

  constexpr CHostLink() = default;
  constexpr CHostLink(IHostInterface* host, HWND hostWnd, int32_t gameNumber)
      : host_(host), hostWnd_(hostWnd), gameNumber_(gameNumber) {}

  void Fill(IHostInterface* host, HWND hostWnd, int32_t gameNumber);
  // Clears the link when it still holds this host and window: a game that ends after
  // the host has made another one leaves the new game's link alone.
  void Release(IHostInterface* host, HWND hostWnd);
  IHostInterface* Host() const;
  HWND HostWindow() const;
  int32_t Reserved() const { return reserved_; }
  int32_t GameNumber() const;

  // Writes a style-tagged text as runs: each code styles the run before it, text
  // after the last code goes out plain, and a code of other than four characters
  // sends the rest unchanged. A run that cannot be converted ends the text.
  void ShowMarkupText(const char* text) const;
  // One run: AddText(run, weight, fourth flag | colour << 16, 0, "", first flag).
  // false when nothing reached the host (no host, or no BSTR).
  bool SendTextRun(std::string_view run, int32_t firstFlag, int32_t weight, int32_t colourIndex,
                   int32_t fourthFlag) const;
  // One run without markup in the given face: AddText(text, weight, colour << 16, 0,
  // face, first flag).
  bool SendStyledText(const char* text, int32_t firstFlag, int32_t weight, int32_t colourIndex,
                      const char* face) const;

  // The host's other services; each answers 0 (or false) when there is no host.
  // Send: the host's result, IHostInterface::kSendFailed when the command was lost.
  int32_t Send(const BYTE* data, uint32_t length) const;
  // The event's result; the host may write back into *value (null: a value of 0) and data.
  int32_t NotifyEvent(uint32_t userNo, int32_t code, void* data, int32_t* value) const;
  void SetPlayState(uint32_t state) const;
  // The list "n|n|...|" of user numbers.
  bool SetPlayerList(const std::vector<int32_t>& userNos) const;
  void SetText(uint32_t code, std::string_view text, std::string_view secondText) const;
  // true with `out` set when the host has the avatar.
  bool GetAvatar(std::string_view userKey, std::string_view avatarKey, std::string& out) const;
  void RequestScreenMode(int32_t fullScreen, int32_t width, int32_t height) const;

 private:
  IHostInterface* host_ = nullptr;
  HWND hostWnd_ = nullptr;
  int32_t reserved_ = 0;  // the record's third field; nothing writes or reads it
  int32_t gameNumber_ = 0;
};

// Copies the characters between the first `open` and the next `close` into `out`,
// zero-terminated, and gives the index just past `close`; -1 (out untouched) when
// either is missing or the characters and the terminator need more than outSize bytes.
int32_t CopyBetween(const char* text, char open, char close, char* out, uint32_t outSize);

// Replaces `holder` by a BSTR of the items, each followed by '|'. 1, or 0 with the
// holder null when no BSTR could be allocated.
int32_t JoinToBstr(BSTR& holder, const std::vector<std::string>& items);

// Writes the command into a pooled buffer and hands it to the host. 1 when the host
// took it; 0 when there is no host or no buffer, the command could not be written,
// or the host's Send reported it lost. Nothing is queued or retried.
int32_t SendGameCommand(const GameCommand& command, const CHostLink& link);
