// The decision prompt panel: the questions and notices of a turn with their texts,
// buttons and cards, in the middle of the table.
#pragma once

#include <array>
#include <cstdint>

#include "panels/CVPanelWnd.h"

class CVNotifyWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kCards = 4;
  static constexpr GSize kSize{191, 222};
  static constexpr int32_t kLayouts = 3;
  static constexpr GPoint kLayoutBases[kLayouts] = {{432, 196}, {259, 138}, {259, 138}};

  using CVPanelWnd::CVPanelWnd;
  // The children at layout 0, the panel hidden and taking input; 0 at the first child
  // that cannot be made.
  int32_t Create(IPanelScene* scene);
  int32_t Tick();
  void Close();

  GVQLAniWnd* TitleAnimation() const { return title_; }
  GVQLSWnd* CardSide(int32_t i) const { return sides_.at(static_cast<size_t>(i)); }
  GVDDSWnd* CardImage(int32_t i) const { return cards_.at(static_cast<size_t>(i)); }
  GVQLAniWnd* EffectAnimation() const { return effect_; }
  GVTextWnd* TextLine(int32_t line) const;  // 1..3
  CVPSPPushBtn* YesButton() const { return yes_; }
  CVPSPPushBtn* NoButton() const { return no_; }
  GVQLSWnd* SideMoneyMark() const { return sideMark_; }
  int32_t Mode() const { return mode_; }
  int32_t LayoutIndex() const { return layout_; }

 private:
  void InitMembers() override;

  GVWnd* tracked_ = nullptr;
  GVQLAniWnd* title_ = nullptr;
  std::array<GVQLSWnd*, kCards> sides_{};
  std::array<GVDDSWnd*, kCards> cards_{};
  GVQLAniWnd* effect_ = nullptr;
  GVTextWnd* line1_ = nullptr;
  GVTextWnd* line2_ = nullptr;
  CVPSPPushBtn* yes_ = nullptr;
  CVPSPPushBtn* no_ = nullptr;
  GVQLSWnd* sideMark_ = nullptr;
  GVTextWnd* line3_ = nullptr;
  int32_t mode_ = -1;
  int32_t layout_ = 0;
};
