// A game's link to the host: the host's callback interface and window as the game's
// window creation left them, and every call the game makes on the host. Each game has
// its own, cut at the game's end, so an ended game reaches no host. Style-tagged
// message texts are cut here into the styled runs of the host's chat area.
#pragma once

#include <cstdint>
#include <span>
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

  // A game's loader thread reads its link too, so Fill, Cut and every read of the
  // fields hold one lock; a call goes to the host as the link stood when it began.
  // Makes that lock, a global of the module (a link itself is plain data).
  static void MakeGlobals();

  constexpr CHostLink() = default;
  constexpr CHostLink(IHostInterface* host, HWND hostWnd, int32_t gameNumber)
      : host_(host), hostWnd_(hostWnd), gameNumber_(gameNumber) {}

  // Each fill makes the link a new game's, whose posts the take-back tells apart.
  void Fill(IHostInterface* host, HWND hostWnd, int32_t gameNumber);
  // From here on every call reaches nothing and answers as without a host.
  void Cut();
  // Posts to the host window as this game; FALSE once cut (or without a window).
  BOOL Post(UINT message, WPARAM wParam, LPARAM lParam) const;
  // Takes this game's posts of these numbers still queued for the host window back
  // where each is the first queued of its number, leaving every other message where it
  // is (a post of the game behind another of its number stays).
  void TakeBackPosts(std::span<const UINT> messages) const;
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
  uint32_t game_ = 0;  // which game of the module's life filled the link last
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
