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
