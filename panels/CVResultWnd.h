// The result panel: the headline, the money that moved and the score breakdown of a
// game, with the item panel below it. The panel grows with the breakdown: its layout
// kind picks its top-left point and the places of its lower children.
#pragma once

#include <array>
#include <cstdint>

#include "panels/CVPanelWnd.h"

struct GameResultMsg;

// Where a layout kind puts the panel (base, screen point) and its lower children
// (offsets from the base).
struct ResultLayout {
  GPoint base;
  GSize pointSum, totalMultiplier, moneyLine, okButton, itemPanel;
};

class CVResultWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kRows = 9;          // per column of the breakdown
  static constexpr int32_t kInstantKinds = 10;  // 1..9 unfolded rows; 10, 11 the instant wins
  static constexpr int32_t kKindCount = 12;
  static constexpr GSize kSize{300, 520};

  using CVPanelWnd::CVPanelWnd;
  // The children at the points of the layout kind, the panel hidden and taking input;
  // 0 at the first child that cannot be made.
  int32_t Create(IPanelScene* scene);
  // Prepares for a new result: the item panel closed, and an open panel emptied and
  // hidden.
  void Reset();

  // Outcomes of the headline.
  enum Outcome : int32_t { kWin = 0, kLoss = 1, kDraw = 2, kForfeitWin = 3, kForfeitLoss = 4 };
  static constexpr const char* kExpandValue = "ResultWnd_Expand";
  // 0, showing nothing, for a null record, an unknown end type or a winner seat
  // outside 0..1; every result resets the panel first.
  BOOL ShowResult(const GameResultMsg* msg);
  // 1..9: the breakdown unfolded with that many rows; 10, 11 the instant wins; other
  // kinds fold it.
  void SetResultKind(int32_t kind);
  void Layout();
  void SetItemPanelShown(BOOL shown);
  void UpdateOptionToggle(BOOL show, BOOL enable);
  // The cached folding choice, read again from the options key when `reload` is set
  // (unreadable: expanded).
  BOOL LoadExpandState(BOOL reload);
  void SaveExpandState(BOOL expanded);
  void FormatResultHeadline(int32_t seat, int64_t money, int32_t outcome, BOOL winMoneyLimit, int32_t eventFundRate);
  void FormatScoreBreakdown(const GameResultMsg& msg);
  void FormatMoneyLine(const GameResultMsg& msg);

  // Space or F1 while the OK button shows: the result is done. Always 0.
  BOOL OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
  // The points of a kind; kinds outside 0..11 lie as kind 0.
  static ResultLayout LayoutOf(int32_t kind);

  GVQLAniWnd* Background() const { return back_; }
  GVPSPWnd* WinLoseIcon() const { return winLose_; }
  GVTextWnd* Headline() const { return headline_; }
  GVTextWnd* MoneyText() const { return moneyText_; }
  GVTextWnd* NoteText() const { return note_; }
  GVTextWnd* CategoryLabel(int32_t r) const { return categoryLabels_.at(static_cast<size_t>(r)); }
  GVTextWnd* CategoryValue(int32_t r) const { return categoryValues_.at(static_cast<size_t>(r)); }
  GVTextWnd* MultiplierLabel(int32_t r) const { return multiplierLabels_.at(static_cast<size_t>(r)); }
  GVTextWnd* MultiplierValue(int32_t r) const { return multiplierValues_.at(static_cast<size_t>(r)); }
  GVTextWnd* PointSum() const { return pointSum_; }
  GVTextWnd* TotalMultiplierText() const { return totalText_; }
  GVTextWnd* MoneyLine() const { return moneyLine_; }
  CVPSPPushBtn* ExpandButton() const { return expand_; }
  CVPSPPushBtn* OkButton() const { return ok_; }
  CVItemWnd* ItemPanel() const { return itemPanel_; }
  CVPSPPushBtn* AutoStartToggle() const { return autoStart_; }
  int32_t LayoutKind() const { return layoutKind_; }
  int32_t RowCount() const { return rowCount_; }
  int64_t TotalMultiplier() const { return totalMultiplier_; }
  BOOL Expanded() const { return expanded_; }

 private:
  void InitMembers() override;
  int32_t CreateRows(IPanelScene& scene, GPoint base);
  template <class F>
  void ForEachRowText(F f);
  void SetRow(bool category, int32_t row, const std::string& label, const std::string& value);
  void ShowText(GVTextWnd* text, const std::string& value);
  // 1 when this client holds a seat; 1 when a robot plays either seat.
  bool MeSeated() const;
  bool RobotPlays() const;
  // "점<money per point x stake factor>냥 x ".
  std::string MoneyPerPointPrefix() const;

  GVWnd* tracked_ = nullptr;
  GVQLAniWnd* back_ = nullptr;
  GVPSPWnd* winLose_ = nullptr;
  GVTextWnd* headline_ = nullptr;
  GVTextWnd* moneyText_ = nullptr;
  GVTextWnd* note_ = nullptr;
  std::array<GVTextWnd*, kRows> categoryLabels_{};
  std::array<GVTextWnd*, kRows> categoryValues_{};
  GVTextWnd* pointSum_ = nullptr;
  std::array<GVTextWnd*, kRows> multiplierLabels_{};
  std::array<GVTextWnd*, kRows> multiplierValues_{};
  GVTextWnd* totalText_ = nullptr;
  GVTextWnd* moneyLine_ = nullptr;
  CVPSPPushBtn* expand_ = nullptr;
  CVPSPPushBtn* ok_ = nullptr;
  CVItemWnd* itemPanel_ = nullptr;
  CVPSPPushBtn* autoStart_ = nullptr;
  // 64-bit: the server's exponents multiply it, and the money line multiplies it again.
  int64_t totalMultiplier_ = 1;
  int32_t layoutKind_ = 0;
  int32_t rowCount_ = 0;
  // The player's folding choice; counts as expanded until the stored one is read.
  BOOL expanded_ = 1;
};
