// What the card table asks of the scene around it: sounds and voice lines, the nested
// wait that paces a move, the redraw, the widget list's drawing order, the mission
// panel's part of a capture, and the seats' screen sides. Tests give it a host of their own.
#pragma once

#include <cstdint>

#include "game/CardInfoTable.h"

class GVWS;
class GVWnd;

class ICardTableHost {
 public:
  virtual ~ICardTableHost() = default;

  virtual void PlayCardEffect(int32_t effect) = 0;
  virtual void PlayCardVoice(int32_t cue, int32_t seat) = 0;
  // One frame or pause of a move: time passes, input and timers are served.
  virtual void WaitWhileCardsMove(uint32_t ms) = 0;
  virtual void MarkCardsDirty() = 0;
  virtual void RedrawCards() = 0;
  // The list whose order is the drawing order; it owns every card widget.
  virtual GVWS& CardWndList() = 0;
  // The lowest widget that must stay above every card (the panels over the table): a
  // card brought to the front rises to just beneath it. Null: the very top.
  virtual GVWnd* CardCeiling() { return nullptr; }
  // The remaining-cards board, when the table has one.
  virtual GVWnd* RemainingCardsBoard() = 0;
  // The mission panel's part of a capture: the seat took the card, an exclusive capture
  // from the other seat.
  virtual void NoteMissionCard(int32_t seat, FlowerCard card, int32_t exclusive) = 0;
  // The floor's mission cards wear their marks again (or, with 0, none does).
  virtual void ShowMissionCardMarks(int32_t show) = 0;
  // The seat's screen side (0 bottom, 1 top, -1 none).
  virtual int32_t SideOfSeat(int32_t seat) = 0;
  // This client holds the seat and no robot plays it: its cards are known.
  virtual bool IsMyHumanSeat(int32_t seat) = 0;
};
