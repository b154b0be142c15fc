// The decision prompt panel: the questions and notices of a turn with their texts,
// buttons and cards, in the middle of the table. It answers through the scene's
// senders, by F1/F2 or a click, and then asks the scene to hide it.
#pragma once

#include <array>
#include <cstdint>
#include <list>

#include "panels/CVPanelWnd.h"

class CVNotifyWnd : public CVPanelWnd {
 public:
  static constexpr int32_t kCards = 4;
  static constexpr GSize kSize{191, 222};
  static constexpr int32_t kLayouts = 3;
  static constexpr GPoint kLayoutBases[kLayouts] = {{432, 196}, {259, 138}, {259, 138}};
  static constexpr int32_t kNoMode = -1;
  // The mode ranges of the three show operations, and the one mode of the mission.
  static constexpr int32_t kFirstCardMode = 0, kLastCardMode = 5;
  static constexpr int32_t kFirstPromptMode = 6, kLastPromptMode = 20;
  static constexpr int32_t kMissionMode = 9;
  static constexpr UINT kYesKey = 0x70;  // F1
  static constexpr UINT kNoKey = 0x71;   // F2

  using CVPanelWnd::CVPanelWnd;
  // The children at layout 0, the panel hidden and taking input; 0 at the first child
  // that cannot be made.
  int32_t Create(IPanelScene* scene);
  // Cards for modes 0..5: 0 for another mode, more than four cards or a card outside
  // 0..49 (the old prompt is closed all the same). Mode 4 sorts the caller's list.
  int32_t ShowNotice(int32_t mode, std::list<int32_t>& cards);
  // Modes 6..20; 0 and nothing changes for another mode.
  int32_t ShowNotifyPrompt(int32_t mode, int32_t n, int64_t amount, int32_t yesSetBase, int32_t otherAmount,
                           BOOL showSideMark);
  // Mode 9 with the mission's two cards; 0 for another mode or a mission without a pair.
  int32_t ShowMissionSuccess(int32_t mode, int32_t missionCode, int64_t reward);
  // 1 when it was open: every child hidden, the card images home on their backs.
  int32_t Close();
  void SetButtonLayout(int32_t index);
  // The scene's 50 ms step: 1 (and dirty) when the title or effect animation advanced.
  int32_t TickAnimation();
  int32_t Tick() { return TickAnimation(); }

  BOOL OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;

  GVQLAniWnd* TitleAnimation() const { return title_; }
  GVQLSWnd* CardSide(int32_t i) const { return sides_.at(static_cast<size_t>(i)); }
  GVDDSWnd* CardImage(int32_t i) const { return cards_.at(static_cast<size_t>(i)); }
  // The card image i shows (50: none).
  int32_t CardOfImage(int32_t i) const { return cardIds_.at(static_cast<size_t>(i)); }
  GVQLAniWnd* EffectAnimation() const { return effect_; }
  GVTextWnd* TextLine(int32_t line) const;  // 1..3
  CVPSPPushBtn* YesButton() const { return yes_; }
  CVPSPPushBtn* NoButton() const { return no_; }
  GVQLSWnd* SideMoneyMark() const { return sideMark_; }
  int32_t Mode() const { return mode_; }
  int32_t LayoutIndex() const { return layout_; }

 private:
  void InitMembers() override;
  void Layout();
  // The title shows the mode's sub-animation, looping.
  void PlayTitle(int32_t mode);
  void ShowButtons(int32_t yesSet, int32_t noSet, BOOL enabled);
  void ShowLine(GVTextWnd* line, const std::string& text);
  void ShowCard(int32_t i, GPoint at, int32_t card);
  // The current mode's answer (yes or no) sent and the prompt hidden; false when the
  // mode has none or its card image holds no card.
  bool Answer(bool yes);
  bool AnswerWithCard(int32_t image);

  GVWnd* tracked_ = nullptr;
  GVQLAniWnd* title_ = nullptr;
  std::array<GVQLSWnd*, kCards> sides_{};
  std::array<GVDDSWnd*, kCards> cards_{};
  std::array<int32_t, kCards> cardIds_{};
  GVQLAniWnd* effect_ = nullptr;
  GVTextWnd* line1_ = nullptr;
  GVTextWnd* line2_ = nullptr;
  CVPSPPushBtn* yes_ = nullptr;
  CVPSPPushBtn* no_ = nullptr;
  GVQLSWnd* sideMark_ = nullptr;
  GVTextWnd* line3_ = nullptr;
  int32_t mode_ = kNoMode;
  int32_t layout_ = 0;
};
