// The VIP helper settings popup: the player's VIP status card with the play reminder's
// one threshold (minutes, games or money), the reminder switch and the item-mall link.
// A skinned popup over the game window, built on room entry, shown by the "vip" button
// and refreshed by the VIP-state message. Each game's VIP manager owns its view, and the
// view its popup.
#pragma once

#include <cstdint>
#include <string>

#include "panels/SkinnedPopup.h"
#include "plat/user.h"

class CDorvik2VIPMgr;
class IPanelScene;

class CHelperView {
 public:
  static constexpr int32_t kGameNumber = 14;
  // The skinned dialog template room entry builds the popup from.
  static constexpr int32_t kDialogTemplate = skinned_popup::kTemplateId;
  static constexpr int32_t kRobotRoomState = 60;
  static constexpr int64_t kMoneyUnit = 10000;
  static constexpr const char* kAlertValueName = "Helper_Add_Alert";
  static constexpr const char* kMallPage = "mall_top.vnt?ssn=14&method=item";
  // Ends of the dialog besides IDOK and IDCANCEL.
  static constexpr int32_t kEndClose = 250;
  static constexpr int32_t kEndConfirm = 251;

  enum Layer : int32_t { kLayerFace = 0, kLayerOption = 1, kLayerStatus = 2, kLayerMoney = 4 };
  enum Control : int32_t {
    kExit = 1,
    kTextGame = 200,
    kTextRecord = 201,
    kTextMoney = 202,
    kTextMoneyNote = 203,
    kMinutesNone = 220,
    kMinutes30 = 221,
    kMinutes60 = 222,
    kGamesNone = 223,
    kGames30 = 224,
    kGamesOwn = 225,
    kGamesEdit = 226,
    kMoneyNone = 227,
    kMoneyOwn = 228,
    kMoneyHighEdit = 229,  // units of 10000 x 10000
    kMoneyLowEdit = 230,   // units of 10000
    kSwitchOff = 240,
    kSwitchOn = 241,
    kClose = 250,
    kConfirm = 251,
    kViewItem = 252,
    kViewItemNormal = 253,
  };

  // The one threshold the reminder runs on.
  struct Thresholds {
    int32_t minutes = 0;
    int32_t games = 0;
    int64_t money = 0;
    bool operator==(const Thresholds&) const = default;
  };
  // What the last VIP-state message said of this client's play.
  struct UserInfo {
    int32_t playSeconds = 0;
    int32_t wins = 0;
    int32_t losses = 0;
    int64_t firstAmount = 0;
    int64_t secondAmount = 0;
  };

  // `owner` holds the reminder and VIP state the view reads and sets.
  CHelperView(IPanelScene* scene, CDorvik2VIPMgr* owner) : scene_(scene), owner_(owner) { popup_.view = this; }
  // Closes the popup if it is still open.
  ~CHelperView();
  CHelperView(const CHelperView&) = delete;
  CHelperView& operator=(const CHelperView&) = delete;

  // Builds the popup hidden over `parent` (this view's earlier one goes), thresholds cleared and
  // the stored switch loaded; 1, or 0 when the popup cannot be made.
  int32_t ShowGameHelpPopup(int32_t gameType, int32_t templateId, HWND parent);
  // Refreshes the controls from the stored state, then shows or hides and enables the
  // popup; a popup not yet visible first goes to the game window's bottom-right corner.
  void ShowPopupDialog(int32_t show, int32_t enable);
  // The option controls from the kept thresholds and switch.
  void RefillOptionControls();
  // What shows for the VIP-state values (VIP, options offered, service active).
  void UpdatePopupControls(int32_t first, int32_t second, int32_t third);
  void FillUserInfoPopup(int32_t playSeconds, int32_t wins, int32_t losses, int64_t firstAmount,
                         int64_t secondAmount);
  // The switch under the options' key, subkey the game number; the thresholds go to
  // the helper alert either way.
  void LoadHelperAlert(int32_t gameNumber);
  void SaveHelperAlert(int32_t gameNumber);
  // The reminder fired: the games and money thresholds go (the minutes repeat).
  void ClearRememberedSettings();
  // The popup to the game window's bottom-right corner when flag is 1.
  void FollowGameWindow(HWND gameWnd, int32_t flag);
  // Closes and frees this view's popup; harmless when none is open.
  void ClosePopup();
  // The popup's window, null while none is open.
  HWND Popup() const { return popup_.popup; }
  // The popup's description, for a caller that selects it (skinned_popup::Selection).
  skinned_popup::PopupState& OwnPopup() { return popup_; }
  // The popup's command handler (replaces the toolkit's): reaches the view of the
  // popup the command came from.
  static void GameHelpCommand(WPARAM wParam, LPARAM lParam);
  static std::string GetGameTypeName(int32_t gameType);

  const Thresholds& Settings() const { return settings_; }
  const Thresholds& ConfirmedSettings() const { return confirmed_; }
  const UserInfo& KeptUserInfo() const { return userInfo_; }
  int32_t RequestedShown() const { return requestedShown_; }

 private:
  void OnCommand(int32_t id);
  void FollowOptionGroups(int32_t id);
  void Confirm();
  void OpenMallPage();
  void ApplyToAlert();
  void Redraw();

  // The popup and the view it belongs to, for the command handler.
  struct ViewPopup : skinned_popup::PopupState {
    CHelperView* view = nullptr;
  };

  IPanelScene* scene_;
  CDorvik2VIPMgr* owner_;
  ViewPopup popup_;
  HWND gameWnd_ = nullptr;
  int32_t gameType_ = 0;
  Thresholds settings_;
  Thresholds confirmed_;  // taken when the player confirms
  UserInfo userInfo_;
  int32_t requestedShown_ = 0;
};
