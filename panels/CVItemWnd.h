// The item panel: items reserved from the result panel with their prices. It sits
// below the result panel, which moves it with its own layout.
#pragma once

#include <array>
#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVItemWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kChoiceRows = 3;
  static constexpr GSize kSize{300, 92};

  using CVPanelWnd::CVPanelWnd;
  // The children at (0, 0) + their offsets, the panel hidden and taking input; 0 at
  // the first child that cannot be made.
  int32_t Create(IPanelScene* scene);
  // The panel and its children move together; the tip waits hidden for the pointer.
  void SetPos(GPoint pt) override;

  static constexpr int32_t kItemOffer = 0;     // reserved by ReserveItem
  static constexpr int32_t kFirstKindItem = 1;  // ReserveItemOfKind's items 1..4
  static constexpr int32_t kLastKindItem = 4;
  // Tell the host, post the chat notice, and show the highest item reserved so far on
  // the table's chance icon. Nothing at all for a seat outside 0..1 or an amount class
  // outside 0..4, for a non-zero second argument of ReserveItem or an item outside
  // 1..4 of ReserveItemOfKind.
  void ReserveItem(int32_t seat, int32_t zero, int32_t amountClass);
  void ReserveItemOfKind(int32_t seat, int32_t item, int32_t amountClass);
  // 0 with nothing reserved; else the icon, its caption and the panel shown.
  BOOL Open();
  // The icon, its caption, the panel and its children hidden, nothing reserved.
  BOOL Close();
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;

  GVQLSWnd* Background() const { return back_; }
  GVPSPWnd* ChoiceMark(int32_t row) const { return marks_.at(static_cast<size_t>(row)); }
  GVTextWnd* ChoiceText(int32_t row) const { return texts_.at(static_cast<size_t>(row)); }
  GVBoxWnd* TipBox() const { return tipBox_; }
  GVTextWnd* TipText() const { return tipText_; }
  CVPSPPushBtn* WithdrawButton() const { return withdraw_; }
  int32_t ItemIndex() const { return itemIndex_; }

 private:
  void InitMembers() override;
  void LayoutChildren();
  void Reserve(int32_t seat, int32_t item, int32_t amountClass);

  GVWnd* tracked_ = nullptr;
  GVQLSWnd* back_ = nullptr;
  std::array<GVPSPWnd*, kChoiceRows> marks_{};
  std::array<GVTextWnd*, kChoiceRows> texts_{};
  GVBoxWnd* tipBox_ = nullptr;
  GVTextWnd* tipText_ = nullptr;
  CVPSPPushBtn* withdraw_ = nullptr;
  int32_t itemIndex_ = -1;
  // The withdrawal offer: made and laid out, switched on by nothing yet.
  BOOL offer_ = 0;
  std::array<int64_t, kChoiceRows> amounts_{};
  std::array<BOOL, kChoiceRows> available_{};
  int32_t selected_ = 0;
};
