// The VIP manager: the VIP state, the combination alert (three icons on each seat panel
// and the cards each alert watches) and the play reminder (an alarm and two texts). Its
// widgets belong to the scene's widget list.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "host/RoomRecords.h"
#include "panels/CHelperView.h"
#include "panels/HelperAlert.h"
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
  static constexpr int32_t kHandMarks = 10;
  static constexpr int32_t kComboEffect = 53;
  static constexpr uint32_t kTextsAfterMs = 500;
  static constexpr uint32_t kDisplayMs = 5000;
  // The card lists the alert watches.
  enum ComboList : int32_t { kBrightCards, kFiveBirds, kRedPoemRibbons, kBlueRibbons, kPlainRibbons, kComboLists };
  // The room's VIP values the user-info popup shows.
  using RoomValues = CHelperView::UserInfo;

  explicit CDorvik2VIPMgr(IPanelScene* scene) : scene_(scene) {}
  virtual ~CDorvik2VIPMgr() = default;
  // The handler of the VIP-state message.
  void OnVipState(VipStateMsg& msg);
  // The alert icons, the alarm and its texts on the table, then the card lists; 0 when
  // a widget cannot be made.
  int32_t CreateWidgets();
  // The alert icons go directly after `ref` in the drawing order, in their own order.
  void PlaceWidgetsAfter(GVWnd* ref);
  // Forgets the widgets once the scene's widget list has deleted them.
  void ForgetWidgets();

  // Icons and hand marks for my seat while I play.
  void RefreshComboAlert();
  void UpdateComboIcons(int32_t mySeat, int32_t enabled);
  void ShowHandComboWarnings(int32_t mySeat, int32_t enabled);
  void HideComboIcons();
  void HideAlertIcons() { HideComboIcons(); }

  // The reminder after every game (money won this game), and its display per tick.
  void OnGameResult(int64_t won);
  void Tick();
  // The game-help popup (the VIP helper settings).
  CHelperView& HelperView() { return helperView_; }
  // This game's reminder and VIP state: another table's results count in its own.
  HelperAlert& Alert() { return alert_; }
  HelperAlert::VipState& Vip() { return vip_; }

  GVQLAniWnd* AlertIcon(int32_t i) const { return i >= 0 && i < kAlertIcons ? icons_[size_t(i)] : nullptr; }
  GVQLAniWnd* Alarm() const { return alarm_; }
  GVTextWnd* AlarmText(int32_t i) const { return i >= 0 && i < kAlarmTexts ? texts_[size_t(i)] : nullptr; }
  const std::vector<int32_t>& ComboCards(ComboList list) const { return comboCards_[size_t(list)]; }
  const RoomValues& StoredRoomValues() const { return roomValues_; }
  uint32_t DisplayStart() const { return displayStart_; }

 private:
  struct Split {
    std::vector<int32_t> mine, others, open;
  };
  // The cards of a list in `seat`'s pile of `kind`, in the other seat's, and elsewhere.
  Split SplitComboCards(int32_t seat, int32_t kind, const std::vector<int32_t>& list);
  bool IsMonthClosed(int32_t mySeat, int32_t month);
  int32_t CountLiveCards(int32_t mySeat, const std::vector<int32_t>& open);
  // The opponent's near combinations as flag bits, and the months of the open cards
  // that still count for them.
  int32_t ComboFlags(int32_t mySeat, std::vector<int32_t>* liveMonths);
  void SetSeatComboIcons(int32_t slot, int32_t flags);
  bool AlertApplies(int32_t mySeat);
  void HideHandMarks();
  void PlaceTexts();

  IPanelScene* scene_;
  std::array<GVQLAniWnd*, kAlertIcons> icons_{};
  GVQLAniWnd* alarm_ = nullptr;
  std::array<GVTextWnd*, kAlarmTexts> texts_{};
  uint32_t displayStart_ = 0;  // 0: no reminder shown
  std::array<std::vector<int32_t>, kComboLists> comboCards_;
  RoomValues roomValues_;
  HelperAlert alert_;
  HelperAlert::VipState vip_;
  CHelperView helperView_{scene_, this};
};
