// The scene's input: keys that play hand cards, answer prompts and start a game; the
// press and release routing with the drag strip and the seat menu; the table's buttons;
// hover highlighting and the cursor.
#include <algorithm>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/VocabularyTables.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_input {

constexpr UINT kEnter = 13;
constexpr UINT kSpace = 32;
constexpr UINT kF1 = 112;
constexpr UINT kF2 = 113;
constexpr UINT kF3 = 114;
constexpr UINT kF11 = 122;
constexpr UINT kF12 = 123;
constexpr UINT kDigit0 = '0';
constexpr UINT kDigit9 = '9';
// Key-up letters picking positions 1..10.
constexpr UINT kPickLetters[] = {'Q', 'W', 'E', 'R', 'T', 'A', 'S', 'D', 'F', 'G'};
constexpr int32_t kDummyOnlyKey = 11;
constexpr int32_t kNormalCursor = 1;
constexpr int32_t kClickCursor = 2;
constexpr uint32_t kVisibleWidgets = 1;
constexpr int32_t kMenuEntries = 4;
constexpr int32_t kMenuBottom = 520;
constexpr int32_t kMemoEvent = 50;
constexpr int32_t kCaptureEvent = 9;
constexpr int32_t kInviteEvent = 15;
constexpr int32_t kClickEffect = scene_effects::kClick;
constexpr int32_t kTextToUser = 3;
constexpr int32_t kUserInfo = 1;
constexpr int32_t kMacroOff = 0;
constexpr const char* kRecordText = "%ld승 %ld패";
constexpr const char* kAntiLeaveCaption = "먹튀방지옵션";
constexpr const char* kAntiLeaveText =
    "판수를 모두 채우면 나갈수 있지만 그렇지 않으면 획득하신 금액을\n상대방에게 모두 돌려줘야 합니다. \n"
    "(최대머니소지 제한에 묶여 있는 사용자도 원금에서 차감합니다.)";
constexpr COLORREF kAntiLeaveColour = 0xCF7F00;
constexpr int32_t kYesNoBox = 1;
constexpr int32_t kAnswerYes = 1;
// The room states whose seats may stand at the money limit.
constexpr int32_t kMoneyLimitFirstState = 5;
constexpr int32_t kMoneyLimitLastState = 10;
// The betting explanation by button: die, call, half (by its image set).
constexpr int32_t kDieExplanation = 6;
constexpr int32_t kCallExplanation = 0;
constexpr int32_t kHalfExplanationBase = 2;
constexpr size_t kCallButton = 0;
constexpr size_t kHalfButton = 1;
constexpr size_t kDieButton = 2;
constexpr int32_t kDieWarningAbove = 9;
constexpr int32_t kLoopForever = -1;

// Back to its resting look before the window changes under it.
void ReleaseButton(CVPSPPushBtn* button) {
  button->SetHoverState(0);
  button->SetPressed(0);
  button->SetHighlight(0);
}

}  // namespace scene_input

// ---- Keys ----------------------------------------------------------------------------------
BOOL CDorvik2VWS::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  using namespace scene_input;
  const SceneWidgets& w = built_.widgets;
  auto visible = [](GVWnd* wnd) { return wnd && wnd->IsVisible(); };
  const bool resultShown = model_.sceneMode == kModeResult && visible(w.resultPanel);
  if (key == kEnter) {
    PostHostRefresh();
  } else if (key == kSpace) {
    const bool startShown = visible(w.startButton);
    if ((model_.sceneMode == kModeWaiting && startShown) ||
        (model_.sceneMode == kModePlaying && startShown && HasRobotPlayer())) {
      SendStart();
    } else if (resultShown) {
      w.resultPanel->OnKeyDown(key, repeat, flags);
    }
  } else if (key == kF1 || key == kF2) {
    if (model_.handPick) {
      PickHandCardByKey(static_cast<int32_t>(key - kF1) + 1);
    } else if (visible(w.notifyPrompt)) {
      w.notifyPrompt->OnKeyDown(key, repeat, flags);
    } else if (key == kF1 && resultShown) {
      w.resultPanel->OnKeyDown(key, repeat, flags);
    }
  } else if (key >= kF3 && key <= kF11) {
    PickHandCardByKey(static_cast<int32_t>(key - kF1) + 1);
  } else if (key == kF12) {
    if (GVWnd* board = CardWidgets().cardBoard) {
      const bool seated = IsSeated(RCUser::kNoUser);
      board->Show(seated ? !board->IsVisible() : 0);
      MarkDirty();
    }
  } else if (key >= kDigit0 && key <= kDigit9) {
    SendNumberKey(static_cast<int32_t>(key - kDigit0));
  }
  // The focus widget (the chat line) still gets every key.
  GVWS::OnKeyDown(key, repeat, flags);
  return 0;
}

BOOL CDorvik2VWS::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  for (size_t i = 0; i < std::size(scene_input::kPickLetters); ++i) {
    if (scene_input::kPickLetters[i] == key) PickHandCardByKey(static_cast<int32_t>(i) + 1);
  }
  GVWS::OnKeyUp(key, repeat, flags);
  return 0;
}

BOOL CDorvik2VWS::OnImeStartComposition(WPARAM wParam, LPARAM lParam) {
  GVWnd* focus = GetFocusWnd();
  return IsInputEnabled() && focus ? focus->OnImeStartComposition(wParam, lParam) : 0;
}
BOOL CDorvik2VWS::OnImeComposition(WPARAM wParam, LPARAM lParam) {
  GVWnd* focus = GetFocusWnd();
  return IsInputEnabled() && focus ? focus->OnImeComposition(wParam, lParam) : 0;
}
BOOL CDorvik2VWS::OnImeEndComposition(WPARAM wParam, LPARAM lParam) {
  GVWnd* focus = GetFocusWnd();
  return IsInputEnabled() && focus ? focus->OnImeEndComposition(wParam, lParam) : 0;
}

int32_t CDorvik2VWS::OnSetFocus(HWND) { return 0; }
int32_t CDorvik2VWS::OnKillFocus(HWND) {
  if (IsReady()) OpenSeatMenu(0, RCUser::kNoUser, GPoint());
  return 0;
}
int32_t CDorvik2VWS::OnUserMessage100() { return 0; }

// ---- Pointer ---------------------------------------------------------------------------------
bool CDorvik2VWS::PassesPointer(const GVWnd* wnd) const {
  const SceneWidgets& w = built_.widgets;
  if (wnd == w.background || wnd == w.noticeTicker) return true;
  for (int32_t side = 0; side < kSeats; ++side) {
    if (wnd == w.seatPanels[static_cast<size_t>(side)] || wnd == w.avatars[static_cast<size_t>(side)]) return true;
  }
  const auto& markers = CardWidgets().bombDummies;
  return std::find(markers.begin(), markers.end(), wnd) != markers.end();
}

GVWnd* CDorvik2VWS::WidgetAtPoint(GPoint pt) {
  for (GVWnd* wnd : GetWndList()) {
    if (PassesPointer(wnd)) continue;
    // The option panel's own hit test reaches past its face.
    if (wnd == built_.widgets.optionPanel && !kOptionPanelHitRect.PtInRect(pt.x, pt.y)) continue;
    if (wnd->HitTest(pt.x, pt.y, scene_input::kVisibleWidgets)) return wnd;
  }
  return nullptr;
}

void CDorvik2VWS::SetCursorKind(int32_t kind) {
  cursors_.kind = kind;
  SetCursor(kind == scene_input::kClickCursor ? cursors_.click : cursors_.normal);
}

BOOL CDorvik2VWS::OnLButtonDown(UINT keyFlags, GPoint pt) {
  if (!IsInputEnabled()) return 0;
  if (gameWnd_) SetFocus(gameWnd_);
  if (!GetCursor()) OnMouseMove(keyFlags, pt);
  BOOL result = owner_ && owner_->FullScreen() ? 1 : 0;
  // A press in the top strip that nothing takes drags the host window: no capture.
  if (!DragStripRect.PtInRect(pt.x, pt.y)) {
    if (gameWnd_) SetCapture(gameWnd_);
    result = 1;
  }
  GVWnd* wnd = WidgetAtPoint(pt);
  if (!wnd) {
    for (int32_t side = 0; side < kSeats; ++side) {
      CVUserInfoWnd* panel = built_.widgets.seatPanels[static_cast<size_t>(side)];
      GVWnd* avatar = built_.widgets.avatars[static_cast<size_t>(side)];
      const bool onPanel = panel && panel->GetRect().PtInRect(pt.x, pt.y);
      const bool onAvatar = avatar && avatar->GetRect().PtInRect(pt.x, pt.y);
      if (!onPanel && !onAvatar) continue;
      int32_t userNo = onPanel ? panel->UserNo() : RCUser::kNoUser;
      if (!onPanel) {
        for (int32_t seat = 0; seat < kSeats; ++seat) {
          if (SideOfSeat(seat) == side) userNo = model_.room.seats.Player(seat).userNo;
        }
      }
      OpenSeatMenu(1, userNo, pt);
      return 1;
    }
    return result;
  }
  const pvector<CVPSPPushBtn>& menu = built_.buttons;
  for (CVPSPPushBtn* entry : menu) {
    if (entry == wnd) return wnd->OnLButtonDown(keyFlags, pt) ? 1 : 0;
  }
  OpenSeatMenu(0, RCUser::kNoUser, pt);
  if (model_.handPick) {
    const int32_t floorMode = GetPhase() == kPhaseSunPick ? 1 : 0;
    if (HandCardAt(wnd, floorMode) && HighlightHandCards(wnd, 1, floorMode)) {
      MarkDirty();
      return 1;
    }
  }
  if (wnd->OnLButtonDown(keyFlags, pt)) {
    MarkWidgetDirty(wnd);
    return 1;
  }
  return result;
}

BOOL CDorvik2VWS::OnLButtonDblClk(UINT keyFlags, GPoint pt) {
  if (!IsInputEnabled()) return 0;
  // No widget of the table wants a double click; without this its second press would
  // be lost and the release after it would click nothing.
  GVWnd* wnd = WidgetAtPoint(pt);
  if (wnd && wnd->OnLButtonDblClk(keyFlags, pt)) return 1;
  return OnLButtonDown(keyFlags, pt);
}

BOOL CDorvik2VWS::OnLButtonUp(UINT keyFlags, GPoint pt) {
  if (!IsInputEnabled()) return 0;
  ReleaseCapture();
  GVWnd* hover = GetHoverWnd();
  GVWnd* wnd = WidgetAtPoint(pt);
  const int32_t floorMode = GetPhase() == kPhaseSunPick ? 1 : 0;
  const pvector<CVPSPPushBtn>& menu = built_.buttons;
  if (!wnd) {
    if (model_.handPick) {
      ResetHandCards(floorMode);
      MarkDirty();
    }
    const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
    if (seat != PITable::kNoSeat && model_.turnUserNo == model_.myUser.userNo && Seat(seat).bombDummyCount > 0) {
      for (GVWnd* marker : CardWidgets().bombDummies) {
        if (marker && marker->IsVisible() && marker->GetRect().PtInRect(pt.x, pt.y)) {
          marker->Show(0);
          PickHandCardByKey(scene_input::kDummyOnlyKey);
        }
      }
    }
    if (model_.seatMenuUser != RCUser::kNoUser && menu.size() >= scene_input::kMenuEntries) {
      GRect span;
      GRectUnion(span, menu[0]->GetRect(), menu[scene_input::kMenuEntries - 1]->GetRect());
      if (!span.PtInRect(pt.x, pt.y)) OpenSeatMenu(0, RCUser::kNoUser, pt);
    }
    if (hover) hover->OnLButtonUp(keyFlags, pt);
    return 0;
  }
  SetHoverWnd(wnd);
  if (hover && hover != wnd) {
    hover->OnLButtonUp(keyFlags, pt);
    MarkDirty();
  }
  if (cursors_.kind != scene_input::kNormalCursor) SetCursorKind(scene_input::kNormalCursor);
  for (size_t i = 0; i < menu.size() && i < scene_input::kMenuEntries; ++i) {
    if (menu[i] != wnd || model_.seatMenuUser == RCUser::kNoUser) continue;
    if (wnd->OnLButtonUp(keyFlags, pt)) OnSeatMenuCommand(static_cast<int32_t>(i));
    return 0;
  }
  OnTableButtonUp(wnd, keyFlags, pt, floorMode);
  return 0;
}

void CDorvik2VWS::OnTableButtonUp(GVWnd* wnd, UINT keyFlags, GPoint pt, int32_t floorMode) {
  using namespace scene_input;
  const SceneWidgets& w = built_.widgets;
  const int32_t me = model_.myUser.userNo;
  const auto myNo = static_cast<uint32_t>(me);
  // The betting buttons send on a release over an enabled one; the sender disables
  // all three, so a showing gives one choice.
  if (model_.sceneMode == kModePlaying && !model_.handPick) {
    for (size_t i = 0; i < w.betButtons.size(); ++i) {
      if (w.betButtons[i] != wnd) continue;
      if (wnd->IsEnabled() && wnd->IsVisible()) SendBetChoice(static_cast<int32_t>(i));
      if (wnd->OnLButtonUp(keyFlags, pt)) MarkDirty();
      return;
    }
  }
  const bool isButton = wnd == w.memoButton || wnd == w.captureButton || wnd == w.minimiseButton ||
                        wnd == w.maximiseButton || wnd == w.joinButton || wnd == w.watchButton ||
                        wnd == w.startButton || wnd == w.autoPlaySettingButton || wnd == w.autoPlayCancelButton ||
                        wnd == w.exitButton || wnd == w.cancelExitButton || wnd == w.closeButton ||
                        wnd == w.inviteButton || wnd == w.optionButton || wnd == w.vipButton;
  if (isButton) {
    if (!wnd->OnLButtonUp(keyFlags, pt)) return;
    MarkDirty();
    const int32_t seat = GetSeatOfUser(me);
    if (wnd == w.memoButton) {
      HostLink().NotifyEvent(myNo, kMemoEvent, nullptr, nullptr);
    } else if (wnd == w.captureButton) {
      HostLink().NotifyEvent(myNo, kCaptureEvent, nullptr, nullptr);
    } else if (wnd == w.minimiseButton) {
      ReleaseButton(w.minimiseButton);
      HostLink().Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (wnd == w.maximiseButton) {
      ReleaseButton(w.maximiseButton);
      const int32_t fullScreen = owner_ && owner_->FullScreen() ? 1 : 0;
      w.maximiseButton->SetImageSet(fullScreen ? 0 : 1);
      HostLink().RequestScreenMode(fullScreen ? 0 : 1, GetSize().cx, GetSize().cy);
    } else if (wnd == w.joinButton) {
      if (model_.sceneMode == kModeWaiting) SendPlay(0);
      else if (model_.sceneMode == kModePlaying) IsSeated(RCUser::kNoUser) ? SendObserve() : SendPlay(0);
      else if (model_.sceneMode == kModeResult) SendObserve();
    } else if (wnd == w.watchButton) {
      if (ConfirmAntiLeave(seat == PITable::kNoSeat ? 0 : model_.room.seats.Player(seat).observeReserved)) SendObserve();
    } else if (wnd == w.startButton) {
      SendStart();
    } else if (wnd == w.autoPlaySettingButton || wnd == w.autoPlayCancelButton) {
      const int32_t on = wnd == w.autoPlaySettingButton ? !model_.autoPlay : 0;
      SetAutoPlay(on);
      SendAutoPlay(on);
      if (seat != PITable::kNoSeat) model_.room.seats.Player(seat).timeoutCount = 0;
      SendTimeoutCount(0);
    } else if (wnd == w.exitButton || wnd == w.cancelExitButton || wnd == w.closeButton) {
      if (ConfirmAntiLeave(seat == PITable::kNoSeat ? 0 : model_.room.seats.Player(seat).exitReserved)) RequestExit();
    } else if (wnd == w.inviteButton) {
      if (model_.sceneMode == kModeWaiting && w.robotAvatar && !w.robotAvatar->IsVisible()) {
        HostLink().NotifyEvent(myNo, kInviteEvent, nullptr, nullptr);
        PlayEffect(kClickEffect, 0);
      }
    } else if (wnd == w.optionButton) {
      // As the host's own option button: the panel, the host's button held, the click.
      OpenOptionPanel();
    } else {
      ShowVipButtonIfOpen();
    }
    return;
  }
  if (model_.sceneMode == kModePlaying) {
    if (floorMode && PickSunCard(wnd)) return MarkDirty();
    if (model_.turnUserNo == me && PlayClickedCard(wnd)) return MarkDirty();
  }
  if (wnd->OnLButtonUp(keyFlags, pt)) MarkDirty();
}

BOOL CDorvik2VWS::OnMouseMove(UINT keyFlags, GPoint pt) {
  using namespace scene_input;
  if (!IsInputEnabled()) return 0;
  GVWnd* hover = GetHoverWnd();
  GVWnd* wnd = WidgetAtPoint(pt);
  const int32_t floorMode = GetPhase() == kPhaseSunPick ? 1 : 0;
  const bool seated = IsSeated(RCUser::kNoUser) != 0;
  if (seated) ShowMoneyLimitTooltip(pt);
  // The table's buttons are PSP buttons, not GVPushBtn: their click cursor comes from
  // the hover change below.
  int32_t kind = kNormalCursor;
  if (!wnd) {
    for (GVWnd* avatar : built_.widgets.avatars) {
      if (avatar && avatar->GetRect().PtInRect(pt.x, pt.y)) kind = kClickCursor;
    }
  } else if (seated && model_.handPick) {
    const bool deckCard = !model_.game.deck.empty() && CardWndById(model_.game.deck.front()) == wnd &&
                          Seat(GetSeatOfUser(model_.myUser.userNo)).bombDummyCount > 0;
    if (HandCardAt(wnd, 0) || deckCard) kind = kClickCursor;
  }
  SetCursorKind(kind);
  if (model_.handPick && HighlightHandCards(wnd, (keyFlags & MK_LBUTTON) ? 1 : 0, floorMode)) MarkDirty();
  if (keyFlags & MK_LBUTTON) {
    if (hover && hover->OnMouseMove(keyFlags, pt)) MarkWidgetDirty(hover);
    return 0;
  }
  // Every move over a button, not only the first onto it: the cursor set above is the
  // normal one, and only the button's answer brings the click cursor back.
  if (wnd) {
    if (wnd->OnMouseMove(keyFlags, pt) && cursors_.kind == kNormalCursor) SetCursorKind(kClickCursor);
    MarkWidgetDirty(wnd);
  }
  if (seated) ShowBettingHover(wnd);
  if (hover && hover != wnd) {
    hover->OnMouseMove(keyFlags, pt);
    MarkDirty();
  }
  if (!wnd) {
    SetHoverWnd(nullptr);
    return 0;
  }
  if (wnd == hover || !wnd->IsHover()) return 0;
  SetHoverWnd(wnd);
  return 0;
}

void CDorvik2VWS::ShowMoneyLimitTooltip(GPoint pt) {
  using namespace scene_input;
  const SceneWidgets& w = built_.widgets;
  const int32_t state = model_.room.roomState;
  if (state < kMoneyLimitFirstState || state > kMoneyLimitLastState || HasRobotPlayer() || !w.moneyLimitTooltip) return;
  const bool wasShown = w.moneyLimitTooltip->IsVisible();
  GVWnd* mark = w.moneyLimitTooltipAnim;
  const bool over = mark && mark->IsVisible() && mark->GetRect().PtInRect(pt.x, pt.y);
  w.moneyLimitTooltip->Show(over ? 1 : 0);
  if (over || wasShown) MarkWidgetDirty(w.moneyLimitTooltip);
}

void CDorvik2VWS::ShowBettingHover(GVWnd* wnd) {
  using namespace scene_input;
  const SceneWidgets& w = built_.widgets;
  GVQLAniWnd* explain = w.moneyLimitExplainAnim;
  if (!explain) return;
  auto show = [&](int32_t animation) {
    if (explain->IsVisible() && explain->GetAnimationIndex() == animation) return;
    explain->SelectAnimation(animation);
    explain->Play(kLoopForever, 0);
    MarkWidgetDirty(explain);
  };
  if (wnd && wnd == w.betButtons[kCallButton]) {
    show(kCallExplanation);
  } else if (wnd && wnd == w.betButtons[kHalfButton]) {
    show(kHalfExplanationBase * w.betButtons[kHalfButton]->ImageSet() + kHalfExplanationBase);
  } else if (wnd && wnd == w.betButtons[kDieButton]) {
    show(kDieExplanation);
    const int32_t seat = GetSeatOfUser(model_.myUser.userNo);
    if (w.dieWarning && seat != PITable::kNoSeat && DieWarningValue(model_.room.seats.Player(seat)) > kDieWarningAbove) {
      w.dieWarning->Show(1);
      MarkWidgetDirty(w.dieWarning);
    }
  } else {
    if (w.dieWarning && w.dieWarning->IsVisible()) {
      w.dieWarning->Show(0);
      MarkDirty();
    }
    // The odd animations are not the buttons' own: they stay.
    if (explain->IsVisible() && explain->GetAnimationIndex() % 2 == 0) {
      explain->Stop();
      MarkDirty();
    }
  }
}

// ---- Seat menu and the anti-leave question ---------------------------------------------------
void CDorvik2VWS::OpenSeatMenu(int32_t show, int32_t userNo, GPoint pt) {
  using namespace scene_input;
  const pvector<CVPSPPushBtn>& menu = built_.buttons;
  for (CVPSPPushBtn* entry : menu) {
    entry->Show(0);
    entry->Enable(0);
  }
  if (!show || userNo < 0 || menu.size() < kMenuEntries) {
    model_.seatMenuUser = RCUser::kNoUser;
    MarkDirty();
    return;
  }
  model_.seatMenuUser = userNo;
  const int32_t me = model_.myUser.userNo;
  const bool other = userNo != me;
  const bool userSeated = IsSeated(userNo) != 0;
  menu[0]->Show(1);
  menu[0]->Enable(1);
  menu[1]->Show(1);
  menu[1]->Enable(other);
  menu[2]->Show(1);
  menu[2]->SetImageSet(0);
  bool kick = other && model_.tableOwnerUserNo == me && IsSeated(RCUser::kNoUser);
  if ((IsInGame() && model_.antiLeave && userSeated) || (model_.sceneMode == kModePlaying && !model_.kickAllowed)) {
    kick = false;
  }
  if (model_.sceneMode == kModeResult && !ListContains(model_.game.kickReservations, userNo)) kick = false;
  menu[2]->Enable(kick);
  menu[3]->Show(1);
  menu[3]->Enable(userSeated);
  if (!menu[3]->SetImageSet(IsMutedUser(userNo) ? 1 : 0)) menu[3]->SetImageSet(0);
  // Stacked down from the point, lifted so that the last ends by the menu bottom.
  int32_t height = 0;
  for (int32_t i = 0; i < kMenuEntries; ++i) height += menu[static_cast<size_t>(i)]->GetRect().Height();
  int32_t y = std::min(pt.y, kMenuBottom - height);
  for (int32_t i = 0; i < kMenuEntries; ++i) {
    CVPSPPushBtn* entry = menu[static_cast<size_t>(i)];
    entry->SetPos(GPoint(pt.x, y));
    y += entry->GetRect().Height();
  }
  MarkDirty();
}

void CDorvik2VWS::OnSeatMenuCommand(int32_t command) {
  using namespace scene_input;
  const int32_t userNo = model_.seatMenuUser;
  if (userNo != RCUser::kNoUser) {
    const int32_t seat = GetSeatOfUser(userNo);
    const PlayerInfo* p = seat == PITable::kNoSeat ? nullptr : &model_.room.seats.Player(seat);
    const std::string id = p ? p->userId : std::string();
    if (command == 0 && p) {
      SendHostTextEvent(kUserInfo, id, FormatString(kRecordText, p->wins, p->losses));
    } else if (command == 1 && p) {
      SendHostTextEvent(kTextToUser, id, std::string());
    } else if (command == 2) {
      RequestKick(userNo);
    } else if (command == 3) {
      const int32_t side = seat == PITable::kNoSeat ? -1 : SideOfSeat(seat);
      // A user who left since the menu opened has no seat panel to mark.
      GVWnd* mark = side >= 0 && side < kSeats ? built_.widgets.voiceOffMarks[static_cast<size_t>(side)] : nullptr;
      if (!IsMutedUser(userNo)) {
        if (mark) mark->Show(1);
        AddMutedUser(userNo);
        model_.cannedPhrase = kMacroOff;
        SetMacroButtonEnabled(0);
      } else {
        if (mark) mark->Show(0);
        RemoveMutedUser(userNo);
        if (options_.soundEffect && !sound_.HasMutedUsers()) {
          model_.cannedPhrase = 1;
          SetMacroButtonEnabled(1);
        }
      }
    }
  }
  OpenSeatMenu(0, RCUser::kNoUser, GPoint());
}

int32_t CDorvik2VWS::ConfirmAntiLeave(int32_t exempt) {
  using namespace scene_input;
  const bool ask = !HasRobotPlayer() && model_.sceneMode > kModeWaiting && IsSeated(RCUser::kNoUser) && !exempt &&
                   IsAntiLeaveGame();
  if (!ask) return 1;
  return ShowMsgBox(kAntiLeaveText, kYesNoBox, 0, kAntiLeaveCaption, kAntiLeaveColour) == kAnswerYes ? 1 : 0;
}
