// The VIP helper settings popup: its layers and controls, the VIP state it shows, the
// threshold groups that keep one reminder at a time, and the switch it stores.
#include "panels/CHelperView.h"

#include <array>

#include "base/TextUtil.h"
#include "host/RCRoomData.h"
#include "panels/CDorvik2VIPMgr.h"
#include "panels/HelperAlert.h"
#include "panels/IPanelScene.h"
#include "panels/SkinnedPopup.h"
#include "plat/crt.h"
#include "plat/shell.h"

namespace helper_view {

using V = CHelperView;
namespace sp = skinned_popup;

constexpr const char* kBackground = "VIP\\bg_gamehelp.bmp";
constexpr int32_t kPopupX = 503, kPopupY = 232;

struct LayerSpec {
  int32_t key, x, y;
  const char* path;
  const char* robotRoomPath;  // null: the same picture in a robot room
  int32_t shown;
};
constexpr LayerSpec kLayers[] = {
    {V::kLayerFace, 12, 214, "VIP\\bg_gamehelp_dorvik.bmp", nullptr, 1},
    {V::kLayerOption, 12, 214, "VIP\\img_dorvik_option.bmp", nullptr, 0},
    {V::kLayerStatus, 10, 42, "VIP\\img_dorvik_normal.bmp", "VIP\\img_torong_robot.bmp", 0},
    {V::kLayerMoney, 146, 187, "VIP\\img_money_dorvik.bmp", nullptr, 0},
};

constexpr int32_t kTextWidth = 174, kTextHeight = 12;
struct Place {
  int32_t id, x, y;
};
constexpr Place kTexts[] = {
    {V::kTextGame, 85, 51}, {V::kTextRecord, 85, 66}, {V::kTextMoney, 85, 84}, {V::kTextMoneyNote, 85, 99}};

// The option controls, in the order that keeps each radio group together: a radio
// starts its group when it is the first of its row.
enum class Kind { Radio, Edit };
struct OptionSpec {
  Kind kind;
  int32_t id, x, y, width, height;
  int32_t groupStart;
};
constexpr int32_t kRadioSide = 20;
constexpr OptionSpec kOptions[] = {
    {Kind::Radio, V::kMinutesNone, 85, 145, kRadioSide, kRadioSide, 1},
    {Kind::Radio, V::kMinutes30, 132, 145, kRadioSide, kRadioSide, 0},
    {Kind::Radio, V::kMinutes60, 196, 145, kRadioSide, kRadioSide, 0},
    {Kind::Radio, V::kGamesNone, 85, 167, kRadioSide, kRadioSide, 1},
    {Kind::Radio, V::kGames30, 132, 167, kRadioSide, kRadioSide, 0},
    {Kind::Radio, V::kGamesOwn, 196, 167, kRadioSide, kRadioSide, 0},
    {Kind::Edit, V::kGamesEdit, 212, 168, 30, 15, 0},
    {Kind::Radio, V::kMoneyNone, 85, 189, kRadioSide, kRadioSide, 1},
    {Kind::Radio, V::kMoneyOwn, 132, 189, kRadioSide, kRadioSide, 0},
    {Kind::Edit, V::kMoneyHighEdit, 147, 190, 28, 15, 0},
    {Kind::Edit, V::kMoneyLowEdit, 195, 190, 28, 15, 0},
    {Kind::Radio, V::kSwitchOff, 85, 238, kRadioSide, kRadioSide, 1},
    {Kind::Radio, V::kSwitchOn, 132, 238, kRadioSide, kRadioSide, 0},
};
constexpr int32_t kEditMin = 0, kEditMax = 9999;
struct Group {
  int32_t first, last;
};
constexpr Group kMinutesGroup{V::kMinutesNone, V::kMinutes60};
constexpr Group kGamesGroup{V::kGamesNone, V::kGamesOwn};
constexpr Group kMoneyGroup{V::kMoneyNone, V::kMoneyOwn};
constexpr Group kSwitchGroup{V::kSwitchOff, V::kSwitchOn};
constexpr Group kGroups[] = {kMinutesGroup, kGamesGroup, kMoneyGroup, kSwitchGroup};

struct ButtonSpec {
  int32_t id, x, y;
  const char* path;
};
constexpr ButtonSpec kButtons[] = {
    {V::kViewItem, 17, 253, "VIP\\btn_view_item.bmp"},
    {V::kViewItemNormal, 26, 198, "VIP\\btn_view_item_normal.bmp"},
    {V::kExit, 241, 12, "VIP\\btn_exit.bmp"},
    {V::kConfirm, 86, 312, "VIP\\btn_conform.bmp"},
    {V::kClose, 138, 312, "VIP\\btn_close.bmp"},
};

constexpr int32_t kFontHeight = 12;
struct Look {
  int32_t id;
  bool coloured;
  BYTE red, green, blue;
};
constexpr Look kLooks[] = {
    {V::kTextGame, true, 255, 255, 255},   {V::kTextRecord, true, 255, 255, 255},
    {V::kTextMoney, true, 255, 255, 255},  {V::kTextMoneyNote, true, 255, 255, 255},
    {V::kGamesEdit, true, 0, 0, 0},        {V::kMoneyHighEdit, true, 0, 0, 0},
    {V::kMoneyLowEdit, true, 0, 0, 0},     {V::kViewItem, false, 0, 0, 0},
    {V::kViewItemNormal, false, 0, 0, 0},
};

// The threshold each choice stands for.
struct Choice {
  int32_t id, value;
};
constexpr int32_t kMinutesPreset = 30, kMinutesLong = 60;
constexpr Choice kMinuteChoices[] = {{V::kMinutesNone, 0}, {V::kMinutes30, kMinutesPreset}, {V::kMinutes60, kMinutesLong}};
constexpr int32_t kGamesPreset = 30;

// What choosing a threshold does to the other groups: one kind of reminder at a time.
// Ids of 0 stand for none.
struct GroupRule {
  int32_t id;
  std::array<int32_t, 2> enable;
  std::array<int32_t, 3> disable;
  std::array<Choice, 2> select;  // {group's first id, id selected}
};
constexpr std::array<int32_t, 3> kAllEdits = {V::kGamesEdit, V::kMoneyHighEdit, V::kMoneyLowEdit};
constexpr std::array<int32_t, 3> kMoneyEdits = {V::kMoneyHighEdit, V::kMoneyLowEdit, 0};
constexpr Choice kNoMinutes{V::kMinutesNone, V::kMinutesNone};
constexpr Choice kNoGames{V::kGamesNone, V::kGamesNone};
constexpr Choice kNoMoney{V::kMoneyNone, V::kMoneyNone};
constexpr GroupRule kGroupRules[] = {
    {V::kMinutes30, {}, kAllEdits, {kNoGames, kNoMoney}},
    {V::kMinutes60, {}, kAllEdits, {kNoGames, kNoMoney}},
    {V::kGamesNone, {}, {V::kGamesEdit}, {}},
    {V::kGames30, {}, kAllEdits, {kNoMinutes, kNoMoney}},
    {V::kGamesOwn, {V::kGamesEdit}, kMoneyEdits, {kNoMinutes, kNoMoney}},
    {V::kMoneyNone, {}, kMoneyEdits, {}},
    {V::kMoneyOwn, {V::kMoneyHighEdit, V::kMoneyLowEdit}, {V::kGamesEdit}, {kNoMinutes, kNoGames}},
};

// The radios and edits the options value shows, and the status texts.
constexpr int32_t kOptionRadios[] = {V::kMinutesNone, V::kMinutes30, V::kMinutes60, V::kGamesNone,
                                     V::kGames30,     V::kGamesOwn,  V::kMoneyNone, V::kMoneyOwn};
struct EditGate {
  int32_t edit, radio;  // the edit is enabled only while the radio is checked
};
constexpr EditGate kEditGates[] = {
    {V::kGamesEdit, V::kGamesOwn}, {V::kMoneyHighEdit, V::kMoneyOwn}, {V::kMoneyLowEdit, V::kMoneyOwn}};

struct GameTitle {
  int32_t type;
  const char* title;
};
constexpr GameTitle kGameTitles[] = {{1, "도르빅"}, {14, "무렉"}, {19, "타라몬"}, {24, "세리카"}, {43, "파닐로"}};
constexpr const char* kNoTitle = "-";
constexpr const char* kPlayTimeText = "%s/%d시간%d분";
constexpr const char* kRecordText = "%d승%d패(%I64d판)";
constexpr const char* kGainText = "(+%s)";
constexpr const char* kAmountText = "(%s)";
constexpr int32_t kSecondsPerHour = 3600, kHoursPerDay = 24, kSecondsPerMinute = 60, kMinutesPerHour = 60;
// An edit's text is read up to this many characters.
constexpr int32_t kEditTextMax = 256;

int32_t ReadNumber(int32_t id) {
  std::array<char, kEditTextMax + 1> text{};
  sp::GetChildText(id, static_cast<int32_t>(text.size()), text.data());
  return plat::crt::atoi(text.data());
}

bool ChoiceChecked(int32_t id) { return sp::IsChecked(id) == 1; }

}  // namespace helper_view

CHelperView::~CHelperView() { ClosePopup(); }

void CHelperView::FollowGameWindow(HWND gameWnd, int32_t flag) {
  skinned_popup::Selection own(popup_);
  FollowParentWindow(gameWnd, flag);
}

void CHelperView::ClosePopup() {
  skinned_popup::Selection own(popup_);
  DestroyPopupDialog();
}

std::string CHelperView::GetGameTypeName(int32_t gameType) {
  for (const auto& t : helper_view::kGameTitles)
    if (t.type == gameType) return t.title;
  return helper_view::kNoTitle;
}

int32_t CHelperView::ShowGameHelpPopup(int32_t gameType, int32_t templateId, HWND parent) {
  using namespace helper_view;
  sp::Selection own(popup_);
  gameType_ = gameType;
  DestroyPopupDialog();
  owner_->Alert().Set(0, 0, 0);
  settings_ = {};
  confirmed_ = {};
  popup_.handlers = sp::DefaultHandlers();
  popup_.handlers.onCommand = &GameHelpCommand;
  gameWnd_ = parent;
  requestedShown_ = 0;
  if (scene_) sp::SetImageFolder(scene_->SceneImageFolder());

  const bool robotRoom = scene_ && scene_->RoomRecord().roomState == kRobotRoomState;
  for (const LayerSpec& l : kLayers)
    sp::AddBackImage(l.key, l.x, l.y, robotRoom && l.robotRoomPath ? l.robotRoomPath : l.path, l.shown);
  for (const Place& t : kTexts) sp::AddStatic(t.id, t.x, t.y, kTextWidth, kTextHeight);
  if (!robotRoom) {
    for (const OptionSpec& o : kOptions) {
      if (o.kind == Kind::Radio)
        sp::AddRadio(o.id, o.x, o.y, o.width, o.height, o.groupStart, 1, 0);
      else
        sp::AddEdit(o.id, o.x, o.y, o.width, o.height, 1, kEditMin, kEditMax, ES_RIGHT);
    }
  }
  for (const ButtonSpec& b : kButtons) sp::AddImageButton(b.id, b.x, b.y, b.path, 0);
  for (const Group& g : kGroups) sp::AddRadioGroup(g.first, g.last);
  if (!sp::CreateSkinnedPopup(templateId, kPopupX, kPopupY, parent, kBackground, &sp::SkinDialogProc)) return 0;
  for (const Look& look : kLooks) {
    sp::SetChildFont(look.id, kFontHeight, 0);
    if (look.coloured) sp::SetChildTextColor(look.id, look.red, look.green, look.blue);
  }
  LoadHelperAlert(kGameNumber);
  RefillOptionControls();
  return 1;
}

void CHelperView::ShowPopupDialog(int32_t show, int32_t enable) {
  skinned_popup::Selection own(popup_);
  const auto& service = owner_->Vip().service;
  UpdatePopupControls(service[0], service[1], service[2]);
  RefillOptionControls();
  const skinned_popup::PopupState& s = popup_;
  if (s.popup) {
    if (!IsWindowVisible(s.popup)) {
      RECT host{}, own{};
      GetWindowRect(s.parent, &host);
      GetWindowRect(s.popup, &own);
      skinned_popup::MovePopup(host.right - (own.right - own.left), host.bottom - (own.bottom - own.top), 0);
    }
    ShowWindow(s.popup, show == 1 ? SW_SHOW : SW_HIDE);
    EnableWindow(s.popup, enable);
  }
  requestedShown_ = show;
}

void CHelperView::RefillOptionControls() {
  skinned_popup::Selection own(popup_);
  using namespace helper_view;
  const int32_t minutesChoice =
      settings_.minutes == 0 ? kMinutesNone : settings_.minutes == kMinutesPreset ? kMinutes30 : kMinutes60;
  sp::SelectRadio(kMinutesGroup.first, kMinutesGroup.last, minutesChoice);

  sp::SetChildText(kGamesEdit, FormatString("%d", settings_.games).c_str());
  const int32_t gamesChoice =
      settings_.games == 0 ? kGamesNone : settings_.games == kGamesPreset ? kGames30 : kGamesOwn;
  sp::SelectRadio(kGamesGroup.first, kGamesGroup.last, gamesChoice);
  sp::EnableChild(kGamesEdit, gamesChoice == kGamesOwn);

  const int64_t units = settings_.money / kMoneyUnit;
  sp::SetChildText(kMoneyHighEdit, FormatString("%I64d", units / kMoneyUnit).c_str());
  sp::SetChildText(kMoneyLowEdit, FormatString("%I64d", units % kMoneyUnit).c_str());
  const bool money = settings_.money != 0;
  sp::SelectRadio(kMoneyGroup.first, kMoneyGroup.last, money ? kMoneyOwn : kMoneyNone);
  sp::EnableChild(kMoneyHighEdit, money);
  sp::EnableChild(kMoneyLowEdit, money);

  // Confirm reads the switch from these two: neither checked would turn it off.
  sp::SelectRadio(kSwitchGroup.first, kSwitchGroup.last,
                  owner_->Vip().alertSwitch == 1 ? kSwitchOn : kSwitchOff);
}

void CHelperView::UpdatePopupControls(int32_t first, int32_t second, int32_t third) {
  skinned_popup::Selection own(popup_);
  using namespace helper_view;
  if (first != 0) {
    sp::SetBackImageShown(kLayerMoney, 1);
    sp::SetBackImageShown(kLayerStatus, 0);
    sp::ShowChild(kViewItemNormal, 0);
  } else {
    second = third = 0;
    sp::SetBackImageShown(kLayerMoney, 0);
    sp::SetBackImageShown(kLayerStatus, 1);
    sp::ShowChild(kViewItemNormal, 1);
  }
  // The status picture stays as the first value left it.
  sp::SetBackImageShown(kLayerOption, third == 0 ? 1 : 0);
  sp::ShowChild(kViewItem, third == 0 ? 1 : 0);
  for (const Place& t : kTexts) {
    sp::ShowChild(t.id, first == 1 ? 1 : 0);
    sp::EnableChild(t.id, first);
  }
  for (int32_t id : kOptionRadios) {
    sp::ShowChild(id, second == 1 ? 1 : 0);
    sp::EnableChild(id, second);
  }
  for (const EditGate& g : kEditGates) {
    sp::ShowChild(g.edit, second == 1 ? 1 : 0);
    sp::EnableChild(g.edit, ChoiceChecked(g.radio) ? 1 : 0);
  }
  for (int32_t id : {kSwitchOff, kSwitchOn}) {
    sp::ShowChild(id, third == 1 ? 1 : 0);
    sp::EnableChild(id, third);
  }
  Redraw();
}

void CHelperView::FillUserInfoPopup(int32_t playSeconds, int32_t wins, int32_t losses, int64_t firstAmount,
                                    int64_t secondAmount) {
  skinned_popup::Selection own(popup_);
  using namespace helper_view;
  userInfo_ = {playSeconds, wins, losses, firstAmount, secondAmount};
  const int32_t hours = playSeconds / kSecondsPerHour % kHoursPerDay;
  const int32_t minutes = playSeconds / kSecondsPerMinute % kMinutesPerHour;
  sp::SetChildText(kTextGame, FormatString(kPlayTimeText, GetGameTypeName(gameType_).c_str(), hours, minutes).c_str());
  // Counted in 64 bits: two large counts must not wrap.
  sp::SetChildText(kTextRecord, FormatString(kRecordText, wins, losses, int64_t{wins} + losses).c_str());
  sp::SetChildText(kTextMoney, FormatMoney(firstAmount, 0).c_str());
  const char* note = secondAmount > 0 ? kGainText : kAmountText;
  sp::SetChildText(kTextMoneyNote, FormatString(note, FormatMoney(secondAmount, 0).c_str()).c_str());
  Redraw();
}

void CHelperView::LoadHelperAlert(int32_t gameNumber) {
  uint32_t value = 0;
  int32_t& alertSwitch = owner_->Vip().alertSwitch;
  alertSwitch = 0;
  if (scene_ && scene_->ReadSettingDword(FormatString("%d", gameNumber), kAlertValueName, &value) &&
      static_cast<int32_t>(value) > 0)
    alertSwitch = static_cast<int32_t>(value);
  ApplyToAlert();
}

void CHelperView::SaveHelperAlert(int32_t gameNumber) {
  if (scene_)
    scene_->SaveSettingDword(FormatString("%d", gameNumber), kAlertValueName,
                             static_cast<uint32_t>(owner_->Vip().alertSwitch));
  ApplyToAlert();
}

void CHelperView::ApplyToAlert() { owner_->Alert().Set(settings_.minutes, settings_.games, settings_.money); }

void CHelperView::ClearRememberedSettings() {
  settings_.games = confirmed_.games = 0;
  settings_.money = confirmed_.money = 0;
}

void CHelperView::Redraw() {
  if (HWND popup = popup_.popup) InvalidateRect(popup, nullptr, TRUE);
}

void CHelperView::GameHelpCommand(WPARAM wParam, LPARAM) {
  // Installed only on a view's own popup, so the selected popup is a ViewPopup; a late
  // command after the popup went does nothing.
  auto& popup = static_cast<ViewPopup&>(skinned_popup::State());
  if (!popup.view || !popup.popup) return;
  popup.view->OnCommand(LOWORD(wParam));
}

void CHelperView::OnCommand(int32_t id) {
  if (id == kExit) {
    if (scene_) scene_->ShowVipButton();
    return;  // the dialog procedure ends the dialog
  }
  if (skinned_popup::Child* c = skinned_popup::FindChild(id); c && c->hwnd) {
    if (c->IsCheckBox() && !c->IsAutomatic()) skinned_popup::SetCheck(id, skinned_popup::IsChecked(id) ? 0 : 1);
    if (c->IsRadio()) {
      if (!c->IsAutomatic() && c->groupFirst) skinned_popup::SelectRadio(c->groupFirst, c->groupLast, id);
      if (skinned_popup::IsChecked(id)) FollowOptionGroups(id);
    }
  }
  switch (id) {
    case kClose:
      if (scene_) scene_->ShowVipButton();
      EndDialog(popup_.popup, kEndClose);
      break;
    case kConfirm: Confirm(); break;
    case kViewItem:
    case kViewItemNormal: OpenMallPage(); break;
    default: break;
  }
}

void CHelperView::FollowOptionGroups(int32_t id) {
  using namespace helper_view;
  for (const GroupRule& rule : kGroupRules) {
    if (rule.id != id) continue;
    for (int32_t e : rule.enable)
      if (e) sp::EnableChild(e, 1);
    for (int32_t d : rule.disable)
      if (d) sp::EnableChild(d, 0);
    for (const Choice& s : rule.select) {
      for (const Group& g : kGroups)
        if (s.id && g.first == s.id) sp::SelectRadio(g.first, g.last, s.value);
    }
  }
}

void CHelperView::Confirm() {
  using namespace helper_view;
  Thresholds chosen;
  for (const Choice& c : kMinuteChoices)
    if (ChoiceChecked(c.id)) chosen.minutes = c.value;
  if (ChoiceChecked(kGames30)) chosen.games = kGamesPreset;
  if (ChoiceChecked(kGamesOwn)) chosen.games = ReadNumber(kGamesEdit);
  if (ChoiceChecked(kMoneyOwn))
    chosen.money = (int64_t{ReadNumber(kMoneyHighEdit)} * kMoneyUnit + ReadNumber(kMoneyLowEdit)) * kMoneyUnit;
  settings_ = chosen;
  confirmed_ = chosen;
  // Without the switch's radios (a robot room) the stored switch stays.
  if (ChoiceChecked(kSwitchOff)) owner_->Vip().alertSwitch = 0;
  if (ChoiceChecked(kSwitchOn)) owner_->Vip().alertSwitch = 1;
  EndDialog(popup_.popup, kEndConfirm);
  SaveHelperAlert(kGameNumber);
  if (owner_) owner_->RefreshComboAlert();
  if (scene_) scene_->ShowVipButton();
}

void CHelperView::OpenMallPage() {
  if (!scene_) return;
  const std::string address = scene_->PortalPageAddress(kMallPage);
  ShellExecuteA(gameWnd_, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
}
