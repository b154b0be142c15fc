// The VIP manager: the VIP state, the combination alert (three icons on each seat panel
// and the cards each alert watches) and the play reminder (an alarm and two texts). Its
// widgets belong to the scene's widget list.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/RoomRecords.h"
#include "panels/IPanelScene.h"

class GVQLAniWnd;
class GVTextWnd;
class GVWnd;

class CDorvik2VIPMgr {
 public:
  // Three per panel slot (0 the lower seat panel, 1 the upper): bright count, five
  // birds, ribbon sets.
  static constexpr int32_t kIconsPerSlot = 3;
  static constexpr int32_t kAlertIcons = 2 * kIconsPerSlot;
  static constexpr int32_t kAlarmTexts = 2;
  // The card lists the alert watches.
  enum ComboList : int32_t { kBrightCards, kFiveBirds, kRedPoemRibbons, kBlueRibbons, kPlainRibbons, kComboLists };

  explicit CDorvik2VIPMgr(IPanelScene* scene) : scene_(scene) {}
  // The handler of the VIP-state message.
  void OnVipState(VipStateMsg& msg);
  // The alert icons, the alarm and its texts on the table, then the card lists; 0 when
  // a widget cannot be made.
  int32_t CreateWidgets();
  // The alert icons go directly after `ref` in the drawing order, in their own order.
  void PlaceWidgetsAfter(GVWnd* ref);
  // The per-tick step of the combination alert.
  void Tick();
  void HideAlertIcons();
  void CloseHelpPopup();

  GVQLAniWnd* AlertIcon(int32_t i) const { return i >= 0 && i < kAlertIcons ? icons_[size_t(i)] : nullptr; }
  GVQLAniWnd* Alarm() const { return alarm_; }
  GVTextWnd* AlarmText(int32_t i) const { return i >= 0 && i < kAlarmTexts ? texts_[size_t(i)] : nullptr; }
  const std::vector<int32_t>& ComboCards(ComboList list) const { return comboCards_[size_t(list)]; }

 private:
  void Note(const char* call) const {
    if (scene_) TraceCall(scene_->Trace(), call);
  }
  IPanelScene* scene_;
  std::array<GVQLAniWnd*, kAlertIcons> icons_{};
  GVQLAniWnd* alarm_ = nullptr;
  std::array<GVTextWnd*, kAlarmTexts> texts_{};
  std::array<std::vector<int32_t>, kComboLists> comboCards_;
};
