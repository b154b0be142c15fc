// Why this client is refused or sent away, and the small notices that share that
// outlet: the room state, kick reservations, the entry limit, the notice text, the
// scene string, chat macros and two host events.
#include <algorithm>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "plat/crt.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/ExitReasons.h"
#include "tables/StakeLabels.h"
#include "widgets/GVWnd.h"

namespace scene_exit {

constexpr int32_t kAlertEffect = scene_effects::kBoxNotify;
constexpr int32_t kClosedEffect = scene_effects::kRoomExit;
constexpr int32_t kKickedEvent = 26;
constexpr int32_t kClosingCounterEvent = 1;
constexpr uint32_t kClosedTextEvent = 23;
constexpr uint32_t kMoneyCapOfferEvent = 39;
constexpr int64_t kMoneyCapOfferLimit = 500'000'000'000;
constexpr int32_t kRoyalItem = ITEM_MONEY_ROYAL;
constexpr int32_t kNoticeEvent = 0;
constexpr int32_t kEntryLimitEvent = 2;
constexpr int32_t kHostEvent70 = 70;
constexpr int32_t kHostEvent75 = 75;
constexpr int32_t kKickReserved = 1;
constexpr int32_t kKickCancelled = 2;
constexpr uint32_t kKickBoxMs = 3000;
constexpr const char* kKickReservedText = "님의 강제퇴장 예약. ";
constexpr const char* kKickCancelledText = "님의 강제퇴장 예약 취소. ";
constexpr int32_t kEntryLimitBox = 1;
constexpr int32_t kEntryLimitGone = 3;
constexpr uint32_t kEntryLimitBoxMs = 5000;
constexpr const char* kEntryLimitGoneNotice =
    "입장 금액`1110` 제한이 없는`0111` 방으로 자동 변경되었습니다! `0010`";

// The box text of a row, empty when the row shows none here.
std::string BoxText(const exit_reasons::Row& row, const std::string& text, const CDorvik2VWS& scene) {
  using exit_reasons::TextRule;
  switch (row.textRule) {
    case TextRule::kNone:
      return {};
    case TextRule::kFixed:
      return row.text;
    case TextRule::kRobotRoomOnly:
      return scene.Model().room.roomState == exit_reasons::kRobotRoomState ? row.text : std::string();
    case TextRule::kInGameOnly:
      return scene.IsInGame() ? row.text : std::string();
    case TextRule::kStakeLabel:
      return FormatString(row.text, StakeLabel(atoi(text.c_str())));
    case TextRule::kWithText:
      return FormatString(row.text, text.c_str());
    case TextRule::kMoneyShort: {
      std::string box;
      if (_atoi64(text.c_str()) <= 0) {
        const std::string minimum =
            FormatMoney(scene.Model().gameInfo.entryMinMoney, exit_reasons::kMoneyShortPrefixGroups);
        box = FormatString(exit_reasons::kMoneyShortPrefix, minimum.c_str());
      }
      return box + row.text;
    }
  }
  return {};
}

}  // namespace scene_exit

void CDorvik2VWS::OnExitReason(int32_t reason, const std::string& text, int32_t leaveFlag) {
  using exit_reasons::Outcome;
  if (reason > exit_reasons::kQuietReasonMax) PlayEffect(scene_exit::kAlertEffect, 0);
  const exit_reasons::Row& row = exit_reasons::RowOf(reason);
  const CHostLink& link = HostLink();
  if (row.kickedNotice) link.NotifyEvent(static_cast<uint32_t>(MyUserNo()), scene_exit::kKickedEvent, nullptr, nullptr);
  const std::string box = scene_exit::BoxText(row, text, *this);
  if (!box.empty()) ShowNoticeBox(box, row.boxMs);

  const bool robotRoom = model_.room.roomState == exit_reasons::kRobotRoomState;
  int32_t code = exit_reasons::kCloseCodeLeft;
  switch (row.outcome) {
    case Outcome::kObserveUnlessLeaving:
      if (leaveFlag) break;
      [[fallthrough]];
    case Outcome::kObserve:
      RefreshObserverPanel(1);
      MarkDirty();
      return;
    case Outcome::kClose0:
      break;
    case Outcome::kClose1:
      code = exit_reasons::kCloseCodeEnded;
      break;
    case Outcome::kClose1InRobotRoom:
      if (robotRoom) code = exit_reasons::kCloseCodeEnded;
      break;
    case Outcome::kClose6InAntiLeave:
      if (IsInGame() && model_.antiLeave) code = exit_reasons::kCloseCodeAntiLeave;
      break;
  }
  if (!robotRoom && code == exit_reasons::kCloseCodeEnded) link.SetText(scene_exit::kClosedTextEvent, "", "");
  if (owner_ && !closing_) owner_->PostToHostWindow(code);
  PlayEffect(scene_exit::kClosedEffect, 0);
  if (model_.closingCounter > 0) {
    int32_t counter = model_.closingCounter;
    link.NotifyEvent(static_cast<uint32_t>(MyUserNo()), scene_exit::kClosingCounterEvent, nullptr, &counter);
  }
  const auto& shown = model_.moneyCapNotices.byKind;
  const bool capNotice = std::any_of(shown.begin(), shown.end(), [](int32_t flag) { return flag != 0; });
  const RCUser& me = model_.myUser;
  if (capNotice && (me.itemMoney.at(static_cast<size_t>(scene_exit::kRoyalItem)) <= 0 ||
                    me.money + me.safeMoney < scene_exit::kMoneyCapOfferLimit)) {
    link.SetText(scene_exit::kMoneyCapOfferEvent, FormatString("%ld", CHostLink::kGameNumber), "");
  }
}

void CDorvik2VWS::OnRoomState(RoomStateMsg& msg) {
  model_.room.roomState = msg.roomState;
  if (WidgetsLive()) UpdateCardBoard();
  if (GVWnd* title = built_.widgets.robotTitle) {
    title->Show(msg.roomState == exit_reasons::kRobotRoomState ? 1 : 0);
    MarkWidgetDirty(title);
  }
  OnExitReason(msg.reason, msg.reasonText, 0);
  MarkDirty();
}

void CDorvik2VWS::OnKickReserved(KickReserveMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.requesterUserNo);
  if (seat == PITable::kNoSeat) return;
  PlayerInfo& requester = model_.room.seats.Player(seat);
  requester.money = msg.requesterMoney;
  if (CVUserInfoWnd* panel = SeatPanelOf(seat)) panel->SetMoney(msg.requesterMoney, requester.extraAmount);
  AppendMoneyRecord();
  MarkDirty();
  if (msg.requesterUserNo != MyUserNo()) return;
  if (msg.kind != scene_exit::kKickReserved && msg.kind != scene_exit::kKickCancelled) return;
  std::string box = " " + msg.targetNickname;
  std::vector<int32_t>& list = model_.game.kickReservations;
  if (msg.kind == scene_exit::kKickReserved) {
    PlayEffect(scene_exit::kAlertEffect, 0);
    box += scene_exit::kKickReservedText;
    list.push_back(msg.targetUserNo);
  } else {
    box += scene_exit::kKickCancelledText;
    list.erase(std::remove(list.begin(), list.end(), msg.targetUserNo), list.end());
  }
  SendPlayerList();
  ShowNoticeBox(box, scene_exit::kKickBoxMs);
}

void CDorvik2VWS::OnEntryLimitRemoved(EntryLimitMsg& msg) {
  PlayEffect(scene_exit::kAlertEffect, 0);
  if (msg.kind == scene_exit::kEntryLimitBox) {
    if (msg.userNo == MyUserNo() && msg.showFlag) ShowNoticeBox(msg.text, scene_exit::kEntryLimitBoxMs);
  } else if (msg.kind == scene_exit::kEntryLimitGone) {
    HostLink().ShowMarkupText(scene_exit::kEntryLimitGoneNotice);
    HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), scene_exit::kEntryLimitEvent, nullptr, nullptr);
  }
  MarkDirty();
}

void CDorvik2VWS::OnNoticeText(NoticeTextMsg& msg) {
  // The server's text is data: it never becomes a format.
  std::string text = FormatString("%s", msg.text.c_str());
  int32_t length = static_cast<int32_t>(text.size());
  HostLink().NotifyEvent(0, scene_exit::kNoticeEvent, text.data(), &length);
}

void CDorvik2VWS::OnSceneString(SceneStringMsg& msg) {
  model_.room.sceneText = msg.sceneText;
  model_.room.playerCount = msg.sceneNumber;
}

void CDorvik2VWS::OnChatMacro(ChatMacroMsg& msg) {
  if (GetSeatOfUser(msg.userNo) != PITable::kNoSeat) SendChatMacro(msg.phrase, msg.userNo);
}

void CDorvik2VWS::OnHostEvent70(HostEvent70Msg& msg) {
  int32_t value = msg.value;
  HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), scene_exit::kHostEvent70, nullptr, &value);
}

void CDorvik2VWS::OnHostEvent75(NoFieldsMsg&) {
  int32_t value = 0;
  HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), scene_exit::kHostEvent75, nullptr, &value);
}
