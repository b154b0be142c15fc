// The host's top bar and its local buttons, the chat macros, auto-play, the kick
// request and the money notices: what the host's clicks start and what the game's
// state shows there.
#include <algorithm>
#include <iterator>

#include "base/SaturatingSum.h"
#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "panels/CHelperView.h"
#include "panels/SkinnedPopup.h"
#include "plat/user.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/StakeLabels.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace top_bar {

constexpr int32_t kButtonStateEvent = 45;
constexpr int32_t kChatPhraseEvent = 57;
constexpr int32_t kMoneyRecordEvent = 31;
constexpr int32_t kNoImageSet = -1;
constexpr int32_t kConfirmEffect = scene_effects::kClick;
constexpr int32_t kKickEffect = scene_effects::kBoxNotify;
constexpr int32_t kMoneyBellEffect = scene_effects::kMoneyBell;
constexpr int32_t kMyResultEffect = scene_effects::kThreeGoWin;
constexpr int32_t kOtherResultEffect = scene_effects::kThreeGoLose;
constexpr uint32_t kMillisPerSecond = 1000;
constexpr uint32_t kMacroPauseMs = 2000;
constexpr uint32_t kRefillShowMs = 3000;
constexpr uint32_t kShortBoxMs = 3000;
constexpr uint32_t kQuestionBoxMs = 5000;
constexpr COLORREF kHeadingColour = 0xCF7F00;
constexpr uint32_t kMoneyGroups = 2;
constexpr int64_t kKickCostPoints = 7;
constexpr int32_t kFastSpeedKind = 2;
constexpr int32_t kFastestChoice = 4;
constexpr int32_t kRoomStateClosing = 60;

// The words the host's top bar names its buttons by; "macro" has no local button.
constexpr const char* kWords[] = {"observe", "play", "exit", "cancelexit", "option", "vip", "macro"};
enum Word : int32_t { kObserve, kPlay, kExit, kCancelExit, kOption, kVip, kMacro, kNoWord };

struct Macro {
  const char* phrase;
  int32_t myCue;
  int32_t otherCue;
};
constexpr Macro kMacros[] = {
    {".....", 10050, 10051},
    {"안녕하세요. ^^/", 10037, 10037},
    {"축하합니다! ^^*", 10038, 10038},
    {"죄송합니다. T^T", 10039, 10039},
    {"조금만 빨리 부탁드립니다. ^^;", 10040, 10040},
    {"안녕히계세요. (__)", 10041, 10041},
    {"좋았어!! ^o^", 10042, 10043},
    {"슬프다.... T^T", 10044, 10045},
    {"한번만 봐주세요. _(__)_", 10046, 10047},
    {"^ㅠ^", 10048, 10049},
};

constexpr const char* kAutoPlayOff = "자동치기`1131` 기능을 `0030`종료`0130`합니다.`0030`";
constexpr const char* kAutoPlayOn = "자동치기`1131` 진행중 입니다.`0030`";
// Seconds auto-play waits before it answers, by turn phase.
constexpr int32_t kAutoPlayLimits[] = {0, 2, 2, 1, 0, 0, 2, 0, 1, 2, 0, 2, 0, 0, 2, 2, 0, 10};
constexpr int32_t kAutoPlayImageSetOn = 1;
constexpr int32_t kAutoPlayImageSetOff = 0;

constexpr const char* kKickNoMoney = " 강제퇴장 비용(도르빅 머니)이 부족하여 강제퇴장 시킬 수 없습니다. ";
// The money text brings its own unit (냥): the line adds none, or it would read twice.
constexpr const char* kKickQuestion = " 도르빅 머니 %s이 강제퇴장 비용으로 지불됩니다. \n 강제퇴장 시키겠습니까? ";
constexpr const char* kKickFailed = " 강제퇴장 요청이 실패했습니다.";


constexpr const char* kMoneyRecordFormat = "|%ld=%I64i,%I64i|";
constexpr const char* kMoneyBellLine =
    "축하합니다!`1120` 10판마다 `0020`'떴다!머니벨'`0121` 도르빅머니를 드립니다!\n    도르빅머니 `0020`%s`0121`이 "
    "지급되었습니다.`0020`";
constexpr int32_t kBellAmounts[] = {0, 200000, 400000};  // by sub-animation; others play 0
constexpr int32_t kAutoRefillAmounts[] = {200000, 300000};  // by sub-animation
constexpr const char* kPcRoomRefill = "벤타’PC방 리필`1130` +%s`0131`, ";
constexpr const char* kAutoRefill = "자동리필`1130` +%s`0131`, ";
constexpr const char* kRefillsLeftLine = "리필이 `0030`%ld회`0131` 남았습니다.`0030`";
constexpr const char* kNoRefillLine = "남은 리필이 없습니다.`0030`";
constexpr const char* kRefillsLeftLabel = "남은 리필 %ld회";
constexpr const char* kNoRefillLabel = "남은 리필 없음";

Word WordOf(const std::string& word) {
  for (int32_t i = 0; i < kNoWord; ++i)
    if (word == kWords[i]) return static_cast<Word>(i);
  return kNoWord;
}

int32_t StateOf(int32_t shown, int32_t enabled) {
  if (!shown) return CDorvik2VWS::kButtonHidden;
  return enabled ? CDorvik2VWS::kButtonEnabled : CDorvik2VWS::kButtonDisabled;
}

}  // namespace top_bar

namespace tb = top_bar;

// ---- Buttons -----------------------------------------------------------------------------
void CDorvik2VWS::SetButtonState(const std::string& word, int32_t shown, int32_t enabled, int32_t imageSet) {
  const tb::Word which = tb::WordOf(word);
  std::string data = which == tb::kNoWord ? std::string() : word;
  int32_t value = tb::StateOf(shown, enabled);
  HostLink().NotifyEvent(static_cast<uint32_t>(model_.myUser.userNo), tb::kButtonStateEvent, data.data(),
                                  &value);
  if (!WidgetsLive()) return;
  const SceneWidgets& w = built_.widgets;
  CVPSPPushBtn* const buttons[] = {w.watchButton, w.joinButton, w.exitButton, w.cancelExitButton,
                                   w.optionButton, w.vipButton, nullptr};
  CVPSPPushBtn* button = which == tb::kNoWord ? nullptr : buttons[which];
  if (!button) return;
  // An image set the button lacks (or -1) keeps the one it shows.
  if (imageSet != tb::kNoImageSet) button->SetImageSet(imageSet);
  button->Show(shown ? 1 : 0);
  button->Enable(enabled ? 1 : 0);
  MarkWidgetDirty(button);
}

void CDorvik2VWS::UpdatePlayButtons(int32_t show) {
  const char* play = tb::kWords[tb::kPlay];
  const char* observe = tb::kWords[tb::kObserve];
  if (!show || model_.room.roomState == tb::kRoomStateClosing) {
    SetButtonState(play, 0, 0);
    SetButtonState(observe, 0, 0);
  } else if (IsSeated(RCUser::kNoUser)) {
    const int32_t reserved = GetPlayerByUserNo(MyUserNo()).observeReserved;
    SetButtonState(play, reserved ? 1 : 0, reserved ? 1 : 0);
    SetButtonState(observe, reserved ? 0 : 1, reserved ? 0 : 1);
  } else {
    SetButtonState(observe, 0, 0);
    const int32_t free = HasSeatWithoutUser();
    SetButtonState(play, 1, free);
    if (CVObserveSystemWnd* panel = ObservePanel()) panel->SetButtonState(1, free);
  }
  SetFullRedraw();
  MarkDirty();
}

void CDorvik2VWS::UpdateExitButtons(int32_t show) {
  const char* exitWord = tb::kWords[tb::kExit];
  const char* cancel = tb::kWords[tb::kCancelExit];
  if (!show) {
    SetButtonState(exitWord, 0, 0);
    SetButtonState(cancel, 0, 0);
  } else if (IsSeated(RCUser::kNoUser) && GetPlayerByUserNo(MyUserNo()).exitReserved) {
    SetButtonState(exitWord, 0, 0);
    SetButtonState(cancel, 1, 1);
  } else {
    SetButtonState(exitWord, 1, 1);
    SetButtonState(cancel, 0, 0);
  }
  SetFullRedraw();
  MarkDirty();
}

void CDorvik2VWS::ShowVipButton() {
  SetButtonState(tb::kWords[tb::kVip], 1, 1);
  PlayEffect(tb::kConfirmEffect, 0);
}

int32_t CDorvik2VWS::ShowVipButtonIfOpen() {
  vipMgr_.HelperView().ShowPopupDialog(1, 1);
  // Before the room built the popup there is nothing to open, and the button stays.
  const HWND popup = vipMgr_.HelperView().Popup();
  if (!popup || !IsWindowVisible(popup)) return 0;
  // Held down while the popup is up; the popup's closing gives it back.
  SetButtonState(tb::kWords[tb::kVip], 1, 0);
  PlayEffect(tb::kConfirmEffect, 0);
  MarkDirty();
  return 1;
}

void CDorvik2VWS::FollowHelperPopup(HWND gameWnd, int32_t fullScreen) {
  vipMgr_.HelperView().FollowGameWindow(gameWnd, fullScreen);
}

int32_t CDorvik2VWS::OpenOptionPanel() {
  CVUserOptionWnd* panel = WidgetsLive() ? built_.widgets.optionPanel : nullptr;
  if (!panel) return 0;
  if (model_.room.speedKind == tb::kFastSpeedKind) {
    // A fast room locks the speed at its fastest, for this sitting only.
    options_.speed = tb::kFastestChoice;
    panel->SetSpeedChoice(tb::kFastestChoice);
  }
  if (!panel->Open(model_.myUser.gender)) return 0;
  SetButtonState(tb::kWords[tb::kOption], 1, 0);
  PlayEffect(tb::kConfirmEffect, 0);
  MarkDirty();
  return 1;
}

void CDorvik2VWS::OnHostButton(const std::string& word, int32_t value) {
  const int32_t seat = GetSeatOfUser(MyUserNo());
  switch (tb::WordOf(word)) {
    case tb::kObserve:
      if (seat != PITable::kNoSeat && !ConfirmAntiLeave(GetPlayer(seat).observeReserved)) return;
      SendObserve();
      return;
    case tb::kPlay:
      if (model_.sceneMode == kModeWaiting || (model_.sceneMode == kModePlaying && seat == PITable::kNoSeat))
        SendPlay(0);
      else if (model_.sceneMode == kModePlaying || model_.sceneMode == kModeResult)
        SendObserve();
      return;
    case tb::kExit:
    case tb::kCancelExit:
      if (seat != PITable::kNoSeat && !ConfirmAntiLeave(GetPlayer(seat).exitReserved)) return;
      RequestExit();
      return;
    case tb::kOption:
      OpenOptionPanel();
      return;
    case tb::kMacro:
      SendNumberKey(value);
      return;
    case tb::kVip:
      ShowVipButtonIfOpen();
      return;
    case tb::kNoWord:
      return;
  }
}

// ---- Chat macros and auto-play ----------------------------------------------------------
void CDorvik2VWS::SetMacroSetting(int32_t flag) {
  model_.cannedPhrase = flag;
  SetMacroButtonEnabled(flag);
  if (!flag && gameWnd_) SetTimer(gameWnd_, CSceneTimers::kLastTimer, tb::kMacroPauseMs, nullptr);
}

void CDorvik2VWS::SendChatMacro(int32_t index, int32_t speakerUserNo) {
  if (index < 0 || index >= static_cast<int32_t>(std::size(tb::kMacros))) return;
  const tb::Macro& macro = tb::kMacros[index];
  const bool mine = speakerUserNo == MyUserNo();
  if (!IsMutedUser(speakerUserNo)) {
    const int32_t seat = GetSeatOfUser(speakerUserNo);
    PlayVoice(mine ? macro.myCue : macro.otherCue, seat == PITable::kNoSeat ? -1 : seat);
  }
  if (!mine) return;
  std::string text = macro.phrase;
  int32_t length = static_cast<int32_t>(text.size());
  HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), tb::kChatPhraseEvent, text.data(), &length);
  SetMacroSetting(0);
}

int32_t CDorvik2VWS::AutoPlayLimitSeconds(int32_t phase) {
  return phase >= 0 && phase < static_cast<int32_t>(std::size(tb::kAutoPlayLimits)) ? tb::kAutoPlayLimits[phase] : 0;
}

void CDorvik2VWS::SetAutoPlay(int32_t on) {
  on = on ? 1 : 0;
  SceneWidgets& w = built_.widgets;
  const bool live = WidgetsLive();
  if (on != model_.autoPlay) {
    const int32_t phase = timers_.Phase();
    const bool restart = (phase != kPhaseNone && model_.turnUserNo == MyUserNo()) || phase == kPhaseFourOfMonth;
    const int64_t left = timers_.Countdown();
    int64_t seconds = left + 1;
    if (on) {
      HostLink().ShowMarkupText(tb::kAutoPlayOn);
      if (live && w.autoPlaySettingButton) w.autoPlaySettingButton->SetHighlight(1);
      const int32_t limit = AutoPlayLimitSeconds(phase);
      if (left >= limit) seconds = limit;
    } else {
      HostLink().ShowMarkupText(tb::kAutoPlayOff);
    }
    // The countdown's seconds come from the host: held to what the window timer takes.
    const int64_t ms = std::clamp<int64_t>(seconds, 0, UINT32_MAX / tb::kMillisPerSecond) * tb::kMillisPerSecond;
    if (restart) timers_.RearmTurn(phase, static_cast<uint32_t>(ms));
  }
  model_.autoPlay = on;
  if (live) {
    if (w.autoPlaySettingButton)
      w.autoPlaySettingButton->SetImageSet(on ? tb::kAutoPlayImageSetOn : tb::kAutoPlayImageSetOff);
    if (w.autoPlayCancelButton) w.autoPlayCancelButton->Show(on);
    if (GVWnd* notice = CardWidgets().autoPlayNotice) notice->Show(on);
    SetFullRedraw();
  }
  MarkDirty();
}

// ---- Kick ---------------------------------------------------------------------------------
void CDorvik2VWS::RequestKick(int32_t userNo) {
  if (MyUserNo() != model_.tableOwnerUserNo || userNo < 0 || !IsSeated(userNo)) return;
  const std::vector<int32_t>& kicks = model_.game.kickReservations;
  if (std::find(kicks.begin(), kicks.end(), userNo) != kicks.end() || model_.sceneMode == kModeResult) return;
  // 64-bit: the largest money per point times seven does not fit 32 bits.
  const int64_t cost = int64_t(model_.room.option.moneyPerPoint) * tb::kKickCostPoints;
  PlayEffect(tb::kKickEffect, 0);
  if (!owner_) return;
  // Through the scene's box helper, which notes each box's text in the trace.
  if (model_.myUser.money < cost) {
    ShowMsgBox(tb::kKickNoMoney, ISceneOwner::kMsgBoxOk, tb::kShortBoxMs, std::string(), tb::kHeadingColour);
    return;
  }
  const std::string question = FormatString(tb::kKickQuestion, FormatMoney(cost, tb::kMoneyGroups).c_str());
  // Only a Yes pays: a box that could not be shown (-1) is no consent.
  if (ShowMsgBox(question, ISceneOwner::kMsgBoxYesNo, tb::kQuestionBoxMs, std::string(), tb::kHeadingColour) !=
      ISceneOwner::kMsgBoxYes)
    return;
  if (model_.sceneMode == kModeResult || (model_.sceneMode == kModePlaying && !model_.kickAllowed)) {
    ShowMsgBox(tb::kKickFailed, ISceneOwner::kMsgBoxOk, tb::kShortBoxMs, std::string(), tb::kHeadingColour);
    return;
  }
  SendKick(userNo);
}

// ---- Status, stake and refresh ----------------------------------------------------------
std::string CDorvik2VWS::StakeLabel(int32_t index) { return ::StakeLabel(index); }

void CDorvik2VWS::SetStatusText(const std::string& text) {
  model_.statusText = text;
  // Before the scene is ready the text waits: the build shows it empty.
  if (WidgetsLive() && built_.widgets.statusText) {
    built_.widgets.statusText->SetText(text);
    MarkWidgetDirty(built_.widgets.statusText);
  }
}

void CDorvik2VWS::PostHostRefresh() {
  if (closing_) return;
  HostLink().Post(WM_GAME_ENTER_KEY, 0, 0);
}

void CDorvik2VWS::PlayResultEffect(int32_t seat) {
  StopEffect(tb::kMyResultEffect);
  StopEffect(tb::kOtherResultEffect);
  const int32_t mySeat = GetSeatOfUser(MyUserNo());
  if (!IsReady() || mySeat == PITable::kNoSeat) return;
  PlayEffect(seat == mySeat ? tb::kMyResultEffect : tb::kOtherResultEffect, 1);
}

// ---- Money notices ----------------------------------------------------------------------
void CDorvik2VWS::AppendMoneyRecord() {
  std::string text;
  for (int32_t seat = 0; seat < kSeats; ++seat) {
    const PlayerInfo& p = GetPlayer(seat);
    if (p.userNo < 0 || p.screenPos == PlayerInfo::kNoScreenPos) continue;
    text += FormatString(tb::kMoneyRecordFormat, p.userNo, p.money, p.totalMoney);
  }
  if (text.empty()) return;
  int32_t length = static_cast<int32_t>(text.size());
  HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), tb::kMoneyRecordEvent, text.data(), &length);
}

void CDorvik2VWS::ShowSeatMoney(int32_t seat) {
  const int32_t side = SideOfSeat(seat);
  if (!WidgetsLive() || side < 0 || side >= kSeats) return;
  CVUserInfoWnd* panel = built_.widgets.seatPanels[static_cast<size_t>(side)];
  if (!panel) return;
  const PlayerInfo& p = GetPlayer(seat);
  panel->SetMoney(p.money, p.extraAmount);
  MarkWidgetDirty(panel);
}

void CDorvik2VWS::MoneyBellNotice(const std::list<MoneyNoticeEntry>& entries) {
  const SceneWidgets& w = built_.widgets;
  for (const MoneyNoticeEntry& e : entries) {
    const int32_t seat = GetSeatOfUser(e.userNo);
    if (seat == PITable::kNoSeat) break;
    PlayerInfo& p = GetPlayer(seat);
    p.money = SaturatingSum(p.money, e.amount);
    ShowSeatMoney(seat);
    if (e.userNo != MyUserNo()) continue;
    if (WidgetsLive() && w.moneyBellAnim && w.moneyBellNotice) {
      const auto* at = std::find(std::begin(tb::kBellAmounts), std::end(tb::kBellAmounts), e.amount);
      w.moneyBellAnim->SelectAnimation(at == std::end(tb::kBellAmounts) ? 0 : int32_t(at - std::begin(tb::kBellAmounts)));
      w.moneyBellAnim->Play(1, 0);
      w.moneyBellAnim->Show(1);
      w.moneyBellNotice->Show(1);
    }
    PlayEffect(tb::kMoneyBellEffect, 0);
    p.moneyBellCount = e.count;
    HostLink().ShowMarkupText(
        FormatString(tb::kMoneyBellLine, FormatMoney(e.amount, tb::kMoneyGroups).c_str()).c_str());
  }
  AppendMoneyRecord();
}

void CDorvik2VWS::RefillNotice(int32_t kind, const std::list<MoneyNoticeEntry>& entries) {
  const SceneWidgets& w = built_.widgets;
  const bool live = WidgetsLive();
  for (const MoneyNoticeEntry& e : entries) {
    const int32_t seat = GetSeatOfUser(e.userNo);
    if (seat == PITable::kNoSeat) continue;
    PlayerInfo& p = GetPlayer(seat);
    p.money = SaturatingSum(p.money, e.amount);
    p.refillsLeft = e.count;
    ShowSeatMoney(seat);
    // The amount decides: every refill notice has a PC-room kind, automatic ones too.
    const auto* automatic = std::find(std::begin(tb::kAutoRefillAmounts), std::end(tb::kAutoRefillAmounts), e.amount);
    const bool isAutomatic = automatic != std::end(tb::kAutoRefillAmounts);
    const int32_t sub = isAutomatic ? int32_t(automatic - std::begin(tb::kAutoRefillAmounts)) : kind;
    const std::string money = FormatMoney(e.amount, tb::kMoneyGroups);
    std::string line = FormatString(isAutomatic ? tb::kAutoRefill : tb::kPcRoomRefill, money.c_str());
    line += e.count > 0 ? FormatString(tb::kRefillsLeftLine, e.count) : std::string(tb::kNoRefillLine);
    const int32_t side = SideOfSeat(seat);
    if (live && side >= 0 && side < kSeats) {
      GVQLAniWnd* anim = w.autoRefillAnims[static_cast<size_t>(side)];
      GVTextWnd* label = w.autoRefillTexts[static_cast<size_t>(side)];
      if (anim) {
        anim->SelectAnimation(sub);
        anim->Play(1, 0);
        anim->Show(1);
      }
      if (label) {
        label->SetText(e.count > 0 ? FormatString(tb::kRefillsLeftLabel, e.count) : std::string(tb::kNoRefillLabel));
        label->Show(1);
      }
    }
    if (e.userNo == MyUserNo()) HostLink().ShowMarkupText(line.c_str());
  }
  AppendMoneyRecord();
  WaitPumpingMessages(tb::kRefillShowMs);
  if (!WidgetsLive()) return;
  for (GVQLAniWnd* anim : w.autoRefillAnims)
    if (anim) anim->Stop();
}

