// The command senders: every answer of the player becomes one game command, sent only
// in the turn phase that waits for it and only by a seated player. They read the game
// through the scene's public face and change nothing of it but what a send implies.
#pragma once

#include <cstdint>
#include <string>

#include "host/GameCommand.h"

class CDorvik2VWS;

class CSceneSenders {
 public:
  explicit CSceneSenders(CDorvik2VWS& scene) : scene_(scene) {}
  CSceneSenders(const CSceneSenders&) = delete;
  CSceneSenders& operator=(const CSceneSenders&) = delete;

  // Each: 1 when the command reached the host, 0 when refused or lost.
  int32_t SendGameCommand(const GameCommand& command);
  int32_t SendMyVoice();
  int32_t SendPlay(int32_t flag);
  int32_t SendObserve();
  int32_t SendLeave();
  int32_t SendKick(int32_t targetUserNo);
  int32_t SendOptionChange(int32_t code, int32_t value);
  int32_t SendStakeVoteAnswer(int32_t answer);
  int32_t SendStart();
  int32_t SendSunPick(int32_t pick, int32_t timedOut);
  int32_t SendFourOfMonthAnswer(int32_t answer);
  int32_t SendPlayCard(int32_t card, int32_t timedOut);
  int32_t SendPickFloorCard(int32_t card, int32_t timedOut);
  int32_t SendShakeAnswer(int32_t answer, int32_t timedOut);
  int32_t Send9TenAnswer(int32_t answer, int32_t timedOut);
  int32_t SendGoOrStopAnswer(int32_t answer, int32_t timedOut);
  int32_t SendUnused17(int32_t a, int32_t b, int64_t c);
  int32_t SendResultDone();
  int32_t SendPromotionRequest(int32_t kind, int32_t value);
  // GC_HOST_VALUES, then GC_RESULT_DONE; the first command's result.
  int32_t SendHostValues(int32_t id, int64_t a, int64_t b);
  int32_t SendBetChoice(int32_t button);
  // Keeps the state and tells the server.
  int32_t SendObserveMode(int32_t state);
  int32_t SendNumberKey(int32_t phrase);
  void SendAutoPlay(int32_t on);
  void SendTimeoutCount(int32_t count);
  void SendHostNoticeAck();
  int32_t SendTextLine(const std::string& text);
  // Host event 22 with the 8-byte amount, in mode 3 while seated and for an amount
  // above 0; then the result panel closes.
  void RequestItem(int64_t amount);
  // GC_LEAVE up to three times while seated; otherwise, or when all were lost, mode
  // 1, play state 3 and WM_GAME_CLOSE reason 1.
  void RequestExit();

 private:
  // An answer in the turn phase that waits for it, by a seated player.
  bool MayAnswer(int32_t phase) const;
  // Counts a timed-out play against this client and warns, then hands over to
  // auto-play at the second one.
  void CountTimedOutPlay();

  CDorvik2VWS& scene_;
};
