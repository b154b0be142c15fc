// Room entry, the seats and the observers: who enters, sits, leaves, disconnects or
// reserves an exit, which robot takes the second seat, the players' avatars, voices
// and levels, and the whole table for a player coming back into a running game. My
// own seat is always drawn at the bottom.
#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "base/SaturatingSum.h"
#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "panels/CVUserInfoWnd.h"
#include "plat/crt.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "scene/SceneWidgetOps.h"
#include "tables/ExitReasons.h"
#include "tables/VocabularyTables.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_room {

constexpr int32_t kEntryObserver = 0;
constexpr int32_t kEntrySeated = 1;
constexpr int32_t kEntryRejoin = 2;
constexpr int32_t kMinUserNo = 1;
constexpr int32_t kObserverPlayState = 3;
constexpr int32_t kPlayerPlayState = 4;
constexpr int32_t kSeatRequestFlag = 1;
constexpr int32_t kJoinFlag = 0;
constexpr int32_t kFastSpeedKind = 2;
constexpr int32_t kFastCardSpeed = 4;
constexpr int32_t kAntiLeaveStates[2] = {8, 10};
constexpr int32_t kAntiLeaveLevels[2] = {1, 3};
constexpr uint32_t kQuestionMs = 5000;
constexpr uint32_t kJoinRefusedBoxMs = 5000;
constexpr uint32_t kVersionBoxMs = 5000;
constexpr int32_t kBijouKinds = 5;
// In a robot room the stake display (its back and its text) stands under the robot
// title; other rooms have it at its built place.
constexpr GPoint kRobotStakeBack{14, 217};
constexpr GPoint kRobotStakeText{14, 220};

constexpr int32_t kEnterEffect = scene_effects::kRoomJoin;
constexpr int32_t kJoinEffect = scene_effects::kGameJoin;
constexpr int32_t kLeaveEffect = scene_effects::kGameExit;
constexpr int32_t kDisconnectEffect = scene_effects::kDisconnect;
constexpr int32_t kSeatStateEffect = scene_effects::kBoxNotify;
constexpr int32_t kWelcomeVoice = 10033;

constexpr int32_t kNoticeEvent = 0;
// The room's notice goes to the host under no user.
constexpr uint32_t kNoticeUserNo = 0;
constexpr int32_t kJoinedEvent = 4;
constexpr int32_t kSeatsChangedEvent = 72;
constexpr int32_t kLeftEvent = 5;
// The seat buttons and the anti-leave caption refresh shown; the caption counts the
// games played against the room's.
constexpr int32_t kShown = 1;
constexpr int32_t kCountDown = 1;
constexpr int32_t kHostTextEvent = 62;
constexpr int32_t kHostTextMax = 256;

constexpr const char* kOldVersionText =
    "현재 실행중인 무렉 파일은 최신 버전이 아닙니다.\n재실행하시면 최신버전을 다운 받을 수 있습니다.";
constexpr const char* kDailyLimitLine = "%s`1111`(%s)님은 오늘 `0010`%ld판`0111` 이상 플레이할 수 없습니다.`0010`";
constexpr const char* kUsedUpLine = "%s`1111`님은 오늘의 `0010`도르빅 판수`0110`를 모두 사용하셨습니다.`0010`";
constexpr const char* kFastAntiLeaveQuestion = "먹튀방지방 및 게임속도가 빠른 방입니다. 참여하시겠습니까?";
constexpr const char* kAntiLeaveQuestion = "먹튀방지 방입니다. 참여하시겠습니까?";
constexpr const char* kAntiLeaveSuffix = "\n(판수를 채우거나 올인시 먹튀방지옵션이 해제됩니다.)";
constexpr const char* kFastQuestion = "게임속도가 빠른 방입니다. 참여하시겠습니까?";
constexpr const char* kIdCheckText = "게임에 참여할 수 없습니다.\n아이디를 확인해 주세요.";
constexpr const char* kRobotAvatarFormat = "Avatar\\robot2_avatar%d.gif";
constexpr const char* kRobotRoomName = "토롱로봇";
constexpr int32_t kDailyLimitReason = 207;

// Join results.
constexpr int32_t kJoined = 0;
constexpr int32_t kTooLittleMoney = 1;
constexpr int32_t kNoSeatLeft = 2;
constexpr int32_t kTooMuchMoney = 3;
constexpr int32_t kIdCheck = 4;
constexpr int32_t kNoSeatReason = 13;
constexpr int32_t kTooMuchMoneyReason = 16;
constexpr int32_t kTooLittleMoneyReason = 10;

// Seat states.
constexpr int32_t kPlayOn = 0;
constexpr int32_t kPlayOff = 1;
constexpr int32_t kExitOn = 2;
constexpr int32_t kExitOff = 3;
constexpr int32_t kDisconnectedStates[2] = {2, 3};
constexpr int32_t kDisconnected = 1;

constexpr int32_t kCardIds = CCardTable::kCardWidgets;

constexpr bool Within(int32_t v, const int32_t (&range)[2]) { return v >= range[0] && v <= range[1]; }

bool AntiLeaveRoom(const RCRoomData& room) {
  return Within(room.roomState, kAntiLeaveStates) && Within(room.antiLeaveLevel, kAntiLeaveLevels);
}

// The local auto-play setting button only: the host's top bar has no such word.
void EnableAutoPlayButton(const CDorvik2VWS& scene, int32_t enabled) {
  if (CVPSPPushBtn* button = scene.IsReady() ? scene.Widgets().autoPlaySettingButton : nullptr) {
    button->Enable(enabled);
    button->SetDirty(1);
  }
}

// A seat change told to the host with no data.
void TellHost(const CDorvik2VWS& scene, int32_t code) {
  int32_t value = 0;
  scene.HostLink().NotifyEvent(static_cast<uint32_t>(scene.MyUserNo()), code, nullptr, &value);
}

}  // namespace scene_room

// ---- Helpers the handlers share ------------------------------------------------------------
int32_t CDorvik2VWS::ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                                COLORREF headingColour) {
  if (!owner_ || closing_) return -1;
  return owner_->ShowMsgBox(body, type, autoCloseMs, heading, headingColour);
}

CVUserInfoWnd* CDorvik2VWS::SeatPanelOf(int32_t seat) {
  if (!WidgetsLive() || seat < 0 || seat >= kSeats) return nullptr;
  const int32_t side = model_.room.seats.Player(seat).screenPos;
  if (side < 0 || side >= kSeats) return nullptr;
  return built_.widgets.seatPanels[static_cast<size_t>(side)];
}

void CDorvik2VWS::PlaceOwnerAndKickMarks() {
  for (CVUserInfoWnd* panel : built_.widgets.seatPanels) {
    if (!panel || !WidgetsLive()) continue;
    for (auto mark : {CVUserInfoWnd::kLeaderA, CVUserInfoWnd::kLeaderB}) {
      if (GVWnd* w = panel->LeaderMarkOf(mark)) w->Show(0);
    }
  }
  // An empty first seat has no owner: a stale one would let a leaver start games.
  model_.firstSeatUserNo = model_.room.seats.Player(0).userNo;
  auto showMark = [this](int32_t seat, CVUserInfoWnd::LeaderMark mark) {
    if (CVUserInfoWnd* panel = SeatPanelOf(seat)) {
      if (GVWnd* w = panel->LeaderMarkOf(mark)) w->Show(1);
    }
  };
  if (model_.firstSeatUserNo != RCUser::kNoUser) showMark(0, CVUserInfoWnd::kLeaderA);
  const int32_t kickSeat = GetSeatOfUser(model_.tableOwnerUserNo);
  if (kickSeat != PITable::kNoSeat) showMark(kickSeat, CVUserInfoWnd::kLeaderB);
}

void CDorvik2VWS::PlaceStakeDisplay(GPoint back, GPoint text) {
  if (!WidgetsLive()) return;
  if (GVWnd* w = built_.widgets.pointMoneyBack) w->SetPos(back);
  if (GVWnd* w = built_.widgets.pointMoneyText) w->SetPos(text);
  MarkDirty();
}

void CDorvik2VWS::SendHostTextLine() {
  // The host may fill all 256 bytes without a terminator: one more zero byte stays.
  std::array<char, scene_room::kHostTextMax + 1> buffer{};
  int32_t size = scene_room::kHostTextMax;
  HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), scene_room::kHostTextEvent, buffer.data(), &size);
  model_.hostText.assign(buffer.data(), std::find(buffer.begin(), buffer.end() - 1, '\0'));
  SendTextLine(model_.hostText);
}

// ---- Room entry ----------------------------------------------------------------------------
void CDorvik2VWS::OnRoomEnter(RoomEnterMsg& msg) {
  using namespace scene_room;
  if (msg.clientVersion != kClientVersion) {
    ShowNoticeBox(kOldVersionText, kVersionBoxMs);
    if (owner_) owner_->PostToHostWindow(exit_reasons::kCloseCodeLeft);
    return;
  }
  model_.myUser = msg.myUser;
  if (model_.myUser.userNo < kMinUserNo) {
    if (owner_) owner_->PostToHostWindow(exit_reasons::kCloseCodeLeft);
    return;
  }
  const CHostLink& link = HostLink();
  model_.room.Reset();
  model_.room = msg.room;
  // The scene's mode is the room record's: the entry's seat request below reads it.
  model_.sceneMode = model_.room.sceneMode;
  model_.gameInfo = msg.gameInfo;
  const int32_t bijouKind = (msg.bijouKind % kBijouKinds + kBijouKinds) % kBijouKinds;
  // The settlements count their tickets from the room's starting count.
  model_.bijouCounts.count = msg.bijouCount;
  if (CVDorvik2BijouWnd* bijou = WidgetsLive() ? built_.widgets.bijouPanel : nullptr) {
    bijou->Start(1, bijouKind, msg.bijouCount, msg.bijouFlag);
  }
  promotionMgr_.OnRoomEntry(msg);
  promotionMgr_.SetBannerFlag(1);
  if (!msg.bijouFlag) promotionMgr_.ShowBanner(1);

  // The built place unless a robot room's dressing succeeds below.
  PlaceStakeDisplay(scene_build::kPointMoneyBack.pos, scene_build::kPointMoneyText.pos);
  if (model_.room.roomState == exit_reasons::kRobotRoomState && WidgetsLive()) {
    SceneWidgets& w = built_.widgets;
    if (w.robotCharacter) w.robotCharacter->Show(1);
    // A robot room without its robots cannot be played: a missing picture ends the
    // entry here, before the seat request, the tick and the host's text.
    bool loaded = true;
    std::array<GVAnimWnd*, scene_build::kRobotAvatars> made{};
    for (int32_t k = 0; k < scene_build::kRobotAvatars && loaded; ++k) {
      GVAnimWnd* avatar =
          CreateAnimWnd(FormatString(kRobotAvatarFormat, k), scene_build::kOrigin, scene_build::kRobotAvatarFrame);
      loaded = avatar != nullptr;
      if (!avatar) break;
      if (w.seatPanels[0]) InsertWndBefore(w.seatPanels[0], avatar);
      else AddWnd(avatar);
      made[static_cast<size_t>(k)] = avatar;
    }
    if (!loaded) return;
    for (GVAnimWnd* old : w.robotAvatars) {
      if (old) old->Show(0);
    }
    w.robotAvatars = made;
    w.robotAvatar = made[0];
    PlaceStakeDisplay(kRobotStakeBack, kRobotStakeText);
    if (w.robotCharacter) w.robotCharacter->Show(0);
    LayOutPlayCount(false);
  }

  model_.room.option.moneyPerPoint = msg.stakePerPoint;
  ShowMoneyPerPoint();
  AssignScreenPositions();
  model_.tableOwnerUserNo = msg.ownerUserNo;
  PlaceOwnerAndKickMarks();

  std::string notice = FormatString("%s", msg.noticeText.c_str());
  int32_t noticeLength = static_cast<int32_t>(notice.size());
  link.NotifyEvent(kNoticeUserNo, kNoticeEvent, notice.data(), &noticeLength);
  if (msg.dailyPlayLimit > 0) {
    link.ShowMarkupText(FormatString(kDailyLimitLine, model_.myUser.nickname.c_str(), model_.myUser.userId.c_str(),
                                     msg.dailyPlayLimit)
                            .c_str());
  }

  switch (msg.entryKind) {
    case kEntryObserver:
      RefreshSeatPanels(kSeats);
      LoadAvatars();
      PlayEffect(kEnterEffect, 0);
      if (model_.sceneMode == kModeWaiting) {
        UpdatePlayButtons(kShown);
        // A watcher starts no game: no start intro may be left running for him.
        PlayPromotionIntro(0, 0);
      }
      UpdateExitButtons(kShown);
      OptionsSummaryText();
      link.SetPlayState(kObserverPlayState);
      SendPlay(kSeatRequestFlag);
      RefreshObserverPanel(1);
      break;
    case kEntrySeated: {
      RefreshSeatPanels(kSeats);
      LoadAvatars();
      const bool antiLeave = AntiLeaveRoom(model_.room);
      const bool fast = model_.room.speedKind == kFastSpeedKind;
      std::string question;
      if (antiLeave) question = std::string(fast ? kFastAntiLeaveQuestion : kAntiLeaveQuestion) + kAntiLeaveSuffix;
      else if (fast) question = kFastQuestion;
      const bool ask = msg.confirmFlag && (HasRobotPlayer() || model_.sceneMode == kModeWaiting) && !question.empty();
      // Only a No (also the question's time-out) leaves; a box that could not be shown
      // (-1) took no answer, and the player entered to play.
      const bool joins = !ask || ShowMsgBox(question, ISceneOwner::kMsgBoxYesNo, kQuestionMs, std::string(),
                                            kNoticeBoxColour) != ISceneOwner::kMsgBoxNo;
      if (joins) {
        SendPlay(kJoinFlag);
      } else {
        RequestExit();
      }
      OptionsSummaryText();
      link.SetPlayState(kObserverPlayState);
      break;
    }
    case kEntryRejoin:
      SendMyVoice();
      OptionsSummaryText();
      link.SetPlayState(kPlayerPlayState);
      break;
    default:
      // An entry this client does not know: nothing of the room is shown.
      if (owner_) owner_->PostToHostWindow(exit_reasons::kCloseCodeLeft);
      return;
  }

  promotionMgr_.ShowEventNotice(msg.entryKind);
  if (WidgetsLive() && built_.widgets.gameLevelAnim) built_.widgets.gameLevelAnim->Play(1, FALSE);
  if (CVUserOptionWnd* options = WidgetsLive() ? built_.widgets.optionPanel : nullptr) options->SetRoomOptions();
  MarkDirty();
  StartGameTimer(kTickTimer, kPhaseNone);

  if (model_.room.speedKind == kFastSpeedKind) {
    options_.speed = kFastCardSpeed;
    ApplySpeed();
  }
  if (msg.entryUserNo == MyUserNo()) model_.itemOfferMade = 0;
  SetMacroSetting(1);
  // A wait above (the question box, a notice) may have served the game's end: the scene
  // is torn down then, and a pop-up made now would outlive the game, owned by the host's
  // frame and closed by no one.
  if (IsReady())
    vipMgr_.HelperView().ShowGameHelpPopup(CHelperView::kGameNumber, CHelperView::kDialogTemplate, gameWnd_);
  SendHostTextLine();
}

// ---- A seat's whole record -----------------------------------------------------------------
void CDorvik2VWS::OnPlayerInfo(PlayerInfoMsg& msg) {
  using namespace scene_room;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == PITable::kNoSeat) return;
  model_.sceneMode = msg.sceneMode;
  model_.room.seats.Player(seat) = msg.player;
  AssignScreenPositions();
  if (msg.userNo != MyUserNo()) {
    RefreshSeatPanels(seat);
    LoadSeatAvatar(seat);
  } else {
    model_.myUser = model_.room.seats.Player(seat);
    promotionMgr_.SetTicketLevel(model_.myUser);
    if (msg.sceneMode == kModePlaying) {
      const CardList& hand = model_.game.seats.at(static_cast<size_t>(seat)).hand;
      std::vector<int32_t> ids(msg.handCards.begin(), msg.handCards.end());
      std::sort(ids.begin(), ids.end());
      const bool idsValid = std::adjacent_find(ids.begin(), ids.end()) == ids.end() &&
                            std::all_of(ids.begin(), ids.end(), [](int32_t id) { return id >= 0 && id < kCardIds; });
      if (hand.size() != ids.size() || static_cast<int32_t>(ids.size()) != msg.handCount || !idsValid) {
        if (owner_) owner_->PostToHostWindow(exit_reasons::kCloseCodeLeft);
        return;
      }
      for (size_t i = 0; i < ids.size(); ++i) {
        if (CVHTWnd* card = CardWndById(hand[i])) card->SetCard(ids[i]);
      }
    }
    RefreshSeatPanels(kSeats);
    LoadAvatars();
    if (IsSeated(RCUser::kNoUser)) {
      SetAutoPlay(0);
      EnableAutoPlayButton(*this, 1);
      if (IsBannerRoom()) PlayInGameBanner();
    }
  }
  PlayEffect(kJoinEffect, 0);
  if (MyUserNo() == model_.tableOwnerUserNo && !msg.kickList.empty()) {
    model_.game.kickReservations.assign(msg.kickList.begin(), msg.kickList.end());
    SendPlayerList();
  }
  MarkDirty();
  SendHostTextLine();
}

// ---- Joins and leaves ----------------------------------------------------------------------
void CDorvik2VWS::OnJoinGame(JoinGameMsg& msg) {
  using namespace scene_room;
  if (AntiLeaveRoom(model_.room)) model_.antiLeave = msg.antiLeave;
  if (msg.result == kJoined && msg.seat >= 0 && msg.seat < kSeats) {
    ShowStartButton(0);
    const bool mine = msg.userNo == MyUserNo();
    PlayerInfo& player = model_.room.seats.Player(msg.seat);
    player = msg.player;
    if (mine) {
      model_.myUser = player;
      if (CVObserveSystemWnd* panel = ObservePanel()) panel->Show(0);
    }
    // A robot seated under its robot number hands the turn to the user the record names.
    if (player.connState < RCUser::kNoUser && player.connState == model_.turnUserNo) model_.turnUserNo = player.userNo;
    AssignScreenPositions();
    model_.tableOwnerUserNo = msg.ownerUserNo;
    PlaceOwnerAndKickMarks();
    UpdateExitButtons(kShown);
    UpdatePlayButtons(kShown);
    ShowWidgetPair(0);
    if (mine) {
      RefreshSeatPanels(kSeats);
      LoadAvatars();
      RelayoutSeats();
      model_.gamesPlayed = SaturatingSum32(model_.myUser.wins, model_.myUser.losses);
      if (msg.promoStart == 1) {
        PlayPromotionIntro(msg.promoStart, 0);
        if (HasSeatWithoutUser()) ShowWidgetPair(1);
      }
      if (IsSeated(RCUser::kNoUser)) {
        SetAutoPlay(0);
        EnableAutoPlayButton(*this, 0);
      }
    } else {
      RefreshSeatPanels(msg.seat);
      LoadSeatAvatar(msg.seat);
    }
    const int32_t ownerSeat = GetSeatOfUser(model_.tableOwnerUserNo);
    if (GetSeatOfUser(msg.userNo) != PITable::kNoSeat && msg.userNo != model_.tableOwnerUserNo &&
        ownerSeat != PITable::kNoSeat) {
      PlayVoice(kWelcomeVoice, ownerSeat);
    }
    if (model_.firstSeatUserNo == MyUserNo()) {
      if (model_.sceneMode == kModeWaiting) {
        if (HasSeatWithoutUser()) ShowStartButton(1);
      } else {
        StartGameTimer(CSceneTimers::kLastKilledTimer, kPhaseNone);
      }
    }
    if (CVRestrictOptionWnd* caption = AntiLeaveCaption()) caption->Update(kShown, kCountDown);
    PlayEffect(kJoinEffect, 0);
    if (AntiLeaveRoom(model_.room) && model_.antiLeave) model_.antiLeaveNotice = 0;
    TellHost(*this, kJoinedEvent);
    TellHost(*this, kSeatsChangedEvent);
    MarkDirty();
    SendHostTextLine();
    return;
  }
  switch (msg.result) {
    case kTooLittleMoney:
      OnExitReason(kTooLittleMoneyReason, FormatString("%I64i", msg.money), 1);
      break;
    case kNoSeatLeft:
      OnExitReason(kNoSeatReason, std::string(), 0);
      break;
    case kTooMuchMoney:
      OnExitReason(kTooMuchMoneyReason, std::string(), 0);
      break;
    case kIdCheck:
      ShowNoticeBox(kIdCheckText, kJoinRefusedBoxMs);
      break;
    default:
      break;
  }
  UpdatePlayButtons(kShown);
}

void CDorvik2VWS::OnLeaveGame(LeaveGameMsg& msg) {
  using namespace scene_room;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == PITable::kNoSeat) return;
  const PlayerInfo& leaver = model_.room.seats.Player(seat);
  const std::string nickname = msg.nickname.empty() ? leaver.nickname : msg.nickname;
  bool swapped = false;
  if (RemovePlayer(msg.userNo)) {
    TellHost(*this, kLeftEvent);
    ShowStartButton(0);
    UpdateExitButtons(kShown);
    UpdatePlayButtons(kShown);
    ShowWidgetPair(0);
    if (GetPhase() == kPhaseStakeVote) {
      HideNotifyPrompt();
      StopGameTimer(kTurnTimer);
    }
    std::vector<int32_t>& kicks = model_.game.kickReservations;
    if (MyUserNo() == model_.tableOwnerUserNo &&
        std::find(kicks.begin(), kicks.end(), msg.userNo) != kicks.end()) {
      kicks.erase(std::remove(kicks.begin(), kicks.end(), msg.userNo), kicks.end());
      SendPlayerList();
    }
    PITable& seats = model_.room.seats;
    if (seats.Player(0).userNo == RCUser::kNoUser && seats.Player(1).userNo != RCUser::kNoUser) {
      swapped = seats.SwapSeatsIfSecond(seats.Player(1).userNo) != 0;
      if (swapped) std::swap(model_.game.seats[0], model_.game.seats[1]);
    }
  }
  AssignScreenPositions();
  PlaceOwnerAndKickMarks();
  ShowMoneyPerPoint();
  if (msg.userNo == MyUserNo()) {
    RefreshSeatPanels(kSeats);
    LoadAvatars();
    RelayoutSeats();
    CVRestrictOptionWnd* caption = AntiLeaveCaption();
    if (caption && model_.sceneMode == kModeWaiting && AntiLeaveRoom(model_.room)) caption->Update(kShown, kCountDown);
    SetAutoPlay(0);
    EnableAutoPlayButton(*this, 0);
    MarkDirty();
    OnExitReason(msg.reason, msg.reasonText, 0);
    return;
  }
  PlayEffect(kLeaveEffect, 0);
  if (swapped) {
    RefreshSeatPanels(kSeats);
    LoadAvatars();
  } else {
    RefreshSeatPanels(seat);
    RemoveAvatar(seat);
  }
  if (model_.firstSeatUserNo == MyUserNo() && model_.sceneMode == kModeWaiting) {
    if (CVRestrictOptionWnd* caption = AntiLeaveCaption()) caption->Update(kShown, kCountDown);
    ShowStartButton(1);
    ShowWidgetPair(0);
    if (HasSeatWithoutUser()) ShowWidgetPair(1);
  }
  if (msg.reason == kDailyLimitReason) {
    HostLink().ShowMarkupText(FormatString(kUsedUpLine, nickname.c_str()).c_str());
  }
  MarkDirty();
}

// ---- Seat states, connections and the small per-user records -------------------------------
void CDorvik2VWS::OnUserDisconnected(UserConnStateMsg& msg) {
  using namespace scene_room;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == PITable::kNoSeat || !Within(msg.connState, kDisconnectedStates)) return;
  PlayerInfo& player = model_.room.seats.Player(seat);
  player.connState = kDisconnected;
  if (model_.sceneMode == kModePlaying) ++player.disconnectCount;
  RemoveAvatar(seat);
  const int32_t side = player.screenPos;
  if (WidgetsLive() && side >= 0 && side < kSeats) {
    if (GVWnd* mark = built_.widgets.disconnectMarks[static_cast<size_t>(side)]) {
      mark->Show(1);
      MarkWidgetDirty(mark);
    }
  }
  PlayEffect(kDisconnectEffect, 0);
  MarkDirty();
}

void CDorvik2VWS::OnSeatState(SeatStateMsg& msg) {
  using namespace scene_room;
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == PITable::kNoSeat) return;
  PlayEffect(kSeatStateEffect, 0);
  PlayerInfo& player = model_.room.seats.Player(seat);
  CVUserInfoWnd* panel = SeatPanelOf(seat);
  switch (msg.kind) {
    case kPlayOn:
    case kPlayOff:
      player.observeReserved = msg.kind == kPlayOn ? 1 : 0;
      player.exitReserved = 0;
      if (panel) panel->SetObserveReservedMark(player.observeReserved);
      break;
    case kExitOn:
    case kExitOff:
      player.observeReserved = 0;
      player.exitReserved = msg.kind == kExitOn ? 1 : 0;
      if (panel) panel->SetExitReservedMark(player.exitReserved);
      break;
    default:
      return;
  }
  if (msg.userNo == MyUserNo()) {
    UpdatePlayButtons(kShown);
    UpdateExitButtons(kShown);
  }
  MarkDirty();
}

void CDorvik2VWS::OnUserAvatar(UserAvatarMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat != PITable::kNoSeat) model_.room.seats.Player(seat).avatarKey = msg.avatarKey;
}

void CDorvik2VWS::OnUserVoice(UserVoiceMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == PITable::kNoSeat) return;
  model_.room.seats.Player(seat).voiceSet = msg.voiceSet;
  if (msg.userNo == MyUserNo()) {
    model_.myVoiceSet = msg.voiceSet;
    // The panel's OK compares its voice with mine: an old one there would go back out.
    if (CVUserOptionWnd* options = WidgetsLive() ? built_.widgets.optionPanel : nullptr) options->SetVoice(msg.voiceSet);
  }
}

void CDorvik2VWS::OnUserLevel(UserLevelMsg& msg) {
  for (const UserLevelEntry& entry : msg.entries) {
    const int32_t seat = GetSeatOfUser(entry.userNo);
    if (seat == PITable::kNoSeat) continue;
    PlayerInfo& player = model_.room.seats.Player(seat);
    player.levelValue1 = entry.levelValue1;
    player.levelValue2 = entry.levelValue2;
    player.level = entry.level;
    RefreshSeatPanels(seat);
  }
}

void CDorvik2VWS::OnMyUserInfo(RCUser& msg) {
  model_.myUser = msg;
  if (CVObserveSystemWnd* panel = ObservePanel()) {
    panel->Refresh();
    MarkWidgetDirty(panel);
  }
}

void CDorvik2VWS::OnTimeoutCount(TimeoutCountMsg& msg) {
  const int32_t seat = GetSeatOfUser(msg.userNo);
  if (seat == PITable::kNoSeat || msg.userNo == MyUserNo()) return;
  PlayerInfo& player = model_.room.seats.Player(seat);
  if (player.timeoutCount != msg.count) player.timeoutCount = msg.count;
}

// ---- Robots --------------------------------------------------------------------------------
void CDorvik2VWS::OnRobotSeat(RobotSeatMsg& msg) {
  using namespace scene_room;
  constexpr int32_t kRobotSeat = 1;
  if (msg.count == 0) return;
  PlayerInfo& player = model_.room.seats.Player(kRobotSeat);
  const bool robotRoom = model_.room.roomState == exit_reasons::kRobotRoomState;
  if (msg.joins) {
    player.Reset();
    player.connState = msg.robotUserNo;
    player.userNo = msg.robotUserNo;
    player.nickname.clear();
    if (robotRoom) {
      player.money = msg.money;
      player.extraAmount = msg.money;
      player.nickname = kRobotRoomName;
    }
  } else if (!robotRoom && player.connState == msg.robotUserNo) {
    if (player.userNo == msg.robotUserNo) player.Reset();
    else player.connState = 0;
  }
  AssignScreenPositions();
  RefreshSeatPanels(kRobotSeat);
  LoadSeatAvatar(kRobotSeat);
  if (GVQLAniWnd* anim = WidgetsLive() ? built_.widgets.robotPlayAnim : nullptr) {
    if (!robotRoom && HasRobotPlayer()) anim->Play(-1, FALSE);
    else anim->Stop();
  }
  if (!msg.joins && model_.firstSeatUserNo == MyUserNo()) {
    if (HasSeatWithoutUser() || !HasRobotPlayer()) ShowStartButton(1);
    CVRestrictOptionWnd* caption = AntiLeaveCaption();
    if (caption && AntiLeaveRoom(model_.room)) caption->Update(kShown, kCountDown);
  }
  PlayPromotionIntro(0, 0);
  MarkDirty();
}

// ---- A running game handed back ------------------------------------------------------------
namespace scene_room {

constexpr int32_t kSnapshotMissions[2] = {0, 38};
constexpr int32_t kMissionShownAfterTurns = 2;
constexpr int32_t kAllSeatsMission = 1;  // every seat succeeds at once: the panel keeps its state
constexpr int32_t kMissionPanelIdle = 0;
constexpr int32_t kHandCap = CVHTWnd::kHandMarks;  // the hand's slots
constexpr int32_t kBothSeatScores = 2;

// The ids of one of the record's lists that may still take a widget: a card id, not
// yet given to another list, each widget lying in one list only.
std::vector<FlowerCard> FreshCardIds(const std::list<int32_t>& ids, std::set<int32_t>& taken) {
  std::vector<FlowerCard> out;
  for (int32_t id : ids) {
    if (id < 0 || id >= kCardIds || !taken.insert(id).second) continue;
    out.push_back(id);
  }
  return out;
}

}  // namespace scene_room

void CDorvik2VWS::OnGameSnapshot(GameDataTableMsg& msg) {
  using namespace scene_room;
  if (msg.userNo != MyUserNo() || model_.sceneMode < kModePlaying) return;
  const GameDataTable& t = msg.table;
  scene_widgets::ShowWnd(WidgetsLive() ? built_.widgets.waitingSprite : nullptr, 0);
  PlayPromotionIntro(0, 0);
  model_.turnUserNo = t.turnUser;
  model_.game.turnCount = t.turnCount;
  // No mission while the piles are laid again: their cards are marked once, below,
  // against the snapshot's own mission.
  model_.game.missionMode = CGameInfo::kNoMission;
  model_.game.missionId = t.missionId;
  model_.game.missionMultiplier = t.missionMult;

  // Every widget back in the deck; the lists below take theirs from its front.
  cardTable_.ResetWidgets();
  model_.floor.Reset();
  for (int32_t k = 0; k < COpenInfo::kSlots; ++k) {
    COpen& slot = model_.floor.slots.at(static_cast<size_t>(k));
    slot.x = CCardTable::kFloorSlotPoints[k].x;
    slot.y = CCardTable::kFloorSlotPoints[k].y;
  }
  model_.game.capturedPerMonth.fill(0);
  model_.game.deck.clear();
  for (int32_t w = 0; w < kCardIds; ++w) model_.game.deck.push_back(w);

  for (int32_t s = 0; s < kSeats; ++s) {
    const PlayerData& data = t.players.at(static_cast<size_t>(s));
    CHTUser& seat = Seat(s);
    seat.hand.clear();
    for (auto& pile : seat.captured) pile.clear();
    seat.goCount = data.goCount;
    seat.points = data.points;
    seat.puckCount = data.puckCount;
    seat.shakeCount = data.shakeBombCount;
    seat.gameCounters[0] = data.antiLeaveCount1;
    seat.gameCounters[1] = data.antiLeaveCount2;
    seat.missionAchieved = data.missionSuccess;
  }
  model_.game.CountAchievedMissions();
  RefreshSeatScores(kBothSeatScores);
  model_.antiLeave = t.antiLeaveFlag;
  CVRestrictOptionWnd* caption = AntiLeaveCaption();
  if (caption && AntiLeaveRoom(model_.room)) caption->Update(kShown, kCountDown);

  std::set<int32_t> taken;
  for (int32_t s = 0; s < kSeats; ++s) {
    const PlayerData& data = t.players.at(static_cast<size_t>(s));
    for (int32_t kind = PILE_GWANG; kind < PILE_KIND_COUNT; ++kind) {
      AddDeckCardsToPile(s, kind, FreshCardIds(data.piles.at(static_cast<size_t>(kind)), taken));
    }
    // My own ids come with my seat's record; until then every hand lies face down.
    DealDummyCards(s, std::clamp(data.handCount, 0, kHandCap));
  }
  const bool mission = t.missionId >= kSnapshotMissions[0] && t.missionId <= kSnapshotMissions[1];
  if (CVMissionWnd* panel = mission && WidgetsLive() ? built_.widgets.missionPanel : nullptr) {
    if (t.turnCount > kMissionShownAfterTurns) {
      panel->Reset();
      panel->SetMission(t.missionId, t.missionMult, 1);
    }
    const bool succeeded = std::any_of(t.players.begin(), t.players.end(),
                                       [](const PlayerData& p) { return p.missionSuccess != 0; });
    if (succeeded && t.missionId != kAllSeatsMission) panel->SetMissionState(kMissionPanelIdle);
  }
  model_.game.missionMode = CGameInfo::kMissionSet;
  if (mission) MarkCapturedMissionCards();

  std::vector<std::array<int32_t, 2>> bonusPairs;
  for (const BonusPair& p : t.bonusPairs) bonusPairs.push_back({p.month, p.cardId});
  if (!PlaceFloorCards(FreshCardIds(t.floorCards, taken), bonusPairs, 0, t.lastFloorCard)) {
    if (owner_) owner_->PostToHostWindow(exit_reasons::kCloseCodeLeft);
    return;
  }
  StackDeck(0);
  PlayDeckAnimation();
  model_.nineTenFlag = t.nineTenFlag;
  model_.game.nineTenChoice = t.nineTenFlag;
  for (int32_t s = 0; s < kSeats; ++s) {
    ShowNineTenClip(s, t.nineTenFlag ? 0 : 1);
    ComputeScoreMultiplier(s, t.nineTenFlag);
  }
  RefreshSeatScores(kBothSeatScores);
  // The record's base multiplier is the money per point's second factor, not the
  // doubling exponent of a stake vote: the multipliers keep the game's own exponent.
  model_.stakeFactor = t.baseMultiplier;
  const int32_t turnSeat = GetSeatOfUser(t.turnUser);
  const int32_t side = turnSeat >= 0 ? SideOfSeat(turnSeat) : -1;
  if (side >= 0 && side < kSeats && WidgetsLive()) {
    if (GVQLAniWnd* marker = built_.widgets.turnMarker) {
      marker->SelectAnimation(side);
      marker->Play(-1, 0);
    }
    if (GVQLAniWnd* countdown = timers_.CountdownAnimation()) countdown->SetPos(kCountdownPoints[side]);
  }
  // A second record that names the turn takes the sign away again.
  ShowNoTurnSign(side >= 0 && side < kSeats ? 0 : 1);
  UpdateExitButtons(kShown);
  UpdatePlayButtons(kShown);
  if (model_.sceneMode == kModePlaying) {
    StartGameTimer(kBlinkTimer, kPhaseNone);
    model_.game.inProgress = 1;
  }
  if (GVQLAniWnd* anim = WidgetsLive() ? built_.widgets.robotPlayAnim : nullptr) {
    if (model_.room.roomState != exit_reasons::kRobotRoomState && HasRobotPlayer()) anim->Play(-1, FALSE);
    else anim->Stop();
  }
  MarkDirty();
}
