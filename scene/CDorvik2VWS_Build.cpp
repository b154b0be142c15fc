// The scene build: every widget of the table made once, in the order that is also its
// drawing order, on the caller's thread or the loader's. It stops at the first widget
// that cannot be made, and between any two files once the loader is asked to end;
// only a build that loaded everything opens the scene.
#include "base/TextUtil.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/files.h"
#include "scene/CDorvik2VWS.h"
#include "tables/PanelPaths.h"
#include "tables/SceneBuildTable.h"
#include "tables/VocabularyTables.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"

namespace sb = scene_build;

namespace scene_build_steps {

// Starts a sub-animation that loops until it is hidden and shown again.
void LoopHidden(GVQLAniWnd* ani) {
  ani->Play(sb::kLoopForever, 0);
  ani->Show(0);
}

// The card widgets a step makes, handed to the card table however the step ends.
struct CardHandover {
  explicit CardHandover(CCardTable& t) : table(t), widgets(t.GetWidgets()) {}
  ~CardHandover() { table.SetWidgets(widgets); }
  CardHandover(const CardHandover&) = delete;
  CardHandover& operator=(const CardHandover&) = delete;
  CCardTable& table;
  CCardTable::Widgets widgets;
};

}  // namespace scene_build_steps

bool CDorvik2VWS::BuildCancelled() const { return owner_ && owner_->LoaderCancelRequested(); }

template <class M, class W>
bool CDorvik2VWS::Keep(M*& member, W* made) {
  member = made;
  if (!made) return false;
  AddWnd(made);
  // A file is the unit of work: the loader's end is looked at after each.
  return !BuildCancelled();
}

bool CDorvik2VWS::KeepAnimated(GVQLAniWnd*& member, GVQLAniWnd* made) {
  if (!Keep(member, made)) return false;
  AddAnimation(made);
  return true;
}

CVPSPPushBtn* CDorvik2VWS::MakeButton(const sb::Placed& p) { return CreatePSPPushBtn(p.path, p.pos, p.show, p.sets); }

GVTextWnd* CDorvik2VWS::MakeCentredText(const sb::TextStyle& t, GPoint pos) {
  GVTextWnd* text = CreateTextWnd(pos, t.size, std::string(), t.colour, t.fontHeight, t.fontWeight);
  if (text) text->SetTextFormat(sb::kCentred);
  return text;
}

int32_t CDorvik2VWS::BuildSceneUI() {
  built_.loadErrors.clear();
  pvector<CVPSPPushBtn>().swap(built_.buttons);
  // The module's one table, shared with any other game alive: opened, never emptied.
  _QLSRsc_MANAGER_::OpenSpriteResourceManager(sb::kSpriteSlots);
  const bool built = !BuildCancelled() && BuildTableAndBars() && BuildSeats() && BuildCards() && BuildGameFlow() &&
                     BuildBoardAndSigns() && BuildPanelsAndExtras();
  if (!built || BuildCancelled() || !built_.loadErrors.empty()) return 0;
  ready_.store(1, std::memory_order_release);
  return 1;
}

// Steps 3-12: the cloth, the status line, the top and bottom bars and the stake display.
bool CDorvik2VWS::BuildTableAndBars() {
  SceneWidgets& w = built_.widgets;
  if (!Keep(w.background, CreateDDSWnd(FormatString(sb::kBackgroundFormat, options_.skin), sb::kOrigin, 0, 1, 1, 1)))
    return false;
  if (!Keep(w.robotTitle, CreateQLSWnd(sb::kRobotTitle.path, sb::kRobotTitle.pos, sb::kRobotTitle.show))) return false;
  scene_build_steps::CardHandover cards(cardTable_);
  if (!Keep(cards.widgets.deckShadow, CreateQLSWnd(sb::kDeckShadow.path, sb::kDeckShadow.pos, sb::kDeckShadow.show)))
    return false;
  if (!Keep(w.playCountPanel, CreateGFPlayCountWnd())) return false;
  const sb::TextStyle& st = sb::kStatusText;
  if (!Keep(w.statusText, CreateTextWnd(st.pos, st.size, std::string(), st.colour, st.fontHeight, st.fontWeight)))
    return false;
  if (!Keep(w.turnMarker, CreateQLAniWnd(sb::kTurnBlink, sb::kOrigin))) return false;

  if (!Keep(w.titleBarBack, CreateQLSWnd(sb::kTitleBarBack.path, sb::kTitleBarBack.pos, sb::kTitleBarBack.show)))
    return false;
  if (!Keep(w.autoPlaySettingButton, MakeButton(sb::kAutoPlaySettingButton))) return false;
  w.autoPlaySettingButton->Enable(0);
  if (!Keep(w.memoButton, MakeButton(sb::kMemoButton))) return false;
  w.memoButton->Enable(0);
  if (!KeepAnimated(w.memoNotice, CreateQLAniWnd(sb::kMemoNotice.path, sb::kMemoNotice.pos))) return false;
  const std::pair<CVPSPPushBtn**, const sb::Placed*> buttons[] = {
      {&w.captureButton, &sb::kCaptureButton}, {&w.minimiseButton, &sb::kMinimiseButton},
      {&w.maximiseButton, &sb::kMaximiseButton}, {&w.closeButton, &sb::kCloseButton},
      {&w.watchButton, &sb::kWatchButton},     {&w.joinButton, &sb::kJoinButton},
      {&w.optionButton, &sb::kOptionButton},   {&w.vipButton, &sb::kVipButton},
      {&w.exitButton, &sb::kExitButton},       {&w.cancelExitButton, &sb::kCancelExitButton},
  };
  for (const auto& [member, placed] : buttons)
    if (!Keep(*member, MakeButton(*placed))) return false;

  if (!Keep(w.pointMoneyBack,
            CreateQLSWnd(sb::kPointMoneyBack.path, sb::kPointMoneyBack.pos, sb::kPointMoneyBack.show)))
    return false;
  const sb::TextStyle& pm = sb::kPointMoneyText;
  if (!Keep(w.pointMoneyText,
            CreateTextShadowWnd(pm.pos, pm.size, std::string(), pm.colour, pm.fontHeight, pm.fontWeight)))
    return false;
  w.pointMoneyText->SetShadowColor(sb::kPointMoneyShadow);
  w.pointMoneyText->SetTextFormat(sb::kCentred);
  return true;
}

// Steps 13-21: the seat panels, the reveals, the avatars' marks and three panels.
bool CDorvik2VWS::BuildSeats() {
  SceneWidgets& w = built_.widgets;
  for (int32_t side = 0; side < kSeats; ++side) {
    const auto i = static_cast<size_t>(side);
    if (!Keep(w.seatPanels[i], CreateUserInfoWnd(side))) return false;
    if (!Keep(w.scorePanels[i], CreateJumsuInfoWnd(side))) return false;
    w.scorePanels[i]->SetBackWnd(options_.skin);
    if (!Keep(w.cardIcons[i], CreateHTIconWnd(side))) return false;
    if (!Keep(w.bakIcons[i], CreateBakIconWnd(side))) return false;
  }
  if (!KeepAnimated(w.remainCloseAnim, CreateQLAniWnd(sb::kRemainClose, sb::kOrigin))) return false;
  for (int32_t side = 0; side < kSeats; ++side) {
    if (!KeepAnimated(w.remainHoldAnims[static_cast<size_t>(side)],
                      CreateQLAniWnd(sb::kRemainHold, HandSlotPoint(side, 0))))
      return false;
  }
  if (!Keep(w.restrictCaption, CreateRestrictOptionWnd())) return false;
  if (!Keep(w.inviteBack, CreateQLSWnd(sb::kInviteBack.path, sb::kInviteBack.pos, sb::kInviteBack.show))) return false;
  if (!Keep(w.inviteButton, CreatePSPPushBtn(sb::kInviteButton, w.inviteBack->GetPos() + sb::kInviteButtonOffset, 0, 1)))
    return false;
  if (!Keep(w.robotCharacter, CreateQLSWnd(sb::kRobotCharacter, sb::kOrigin, 0))) return false;
  for (int32_t k = 0; k < sb::kRobotAvatars; ++k) {
    if (!Keep(w.robotAvatars[static_cast<size_t>(k)],
              CreateAnimWnd(FormatString(sb::kRobotAvatarFormat, k), sb::kOrigin, sb::kRobotAvatarFrame)))
      return false;
  }
  w.robotAvatar = w.robotAvatars[0];
  for (int32_t side = 0; side < kSeats; ++side) {
    const auto i = static_cast<size_t>(side);
    const GPoint at = sb::kAvatarPoints[i];
    if (!Keep(w.disconnectMarks[i], CreateQLSWnd(sb::kDisconnectMark, at, 0))) return false;
    if (!Keep(w.voiceOffMarks[i], CreateQLSWnd(sb::kVoiceOffMark, sb::kOrigin, 0))) return false;
    GVWnd* voiceOff = w.voiceOffMarks[i];
    voiceOff->SetPos(GPoint(at.x, at.y + sb::kAvatarBoxHeight - voiceOff->GetRect().Height()));
    if (!Keep(w.blacklistMarks[i], CreateQLSWnd(sb::kBlacklistMark, at, 0))) return false;
    if (!Keep(w.firstPlayerIcons[i], CreatePSPWnd(sb::kFirstPlayerIcon, at + sb::kFirstPlayerIconOffset, 0)))
      return false;
  }
  if (!Keep(w.rankingPointPanel, CreateRankingPointWnd())) return false;
  w.rankingPointPanel->Show(0);
  return Keep(w.missionPanel, CreateMissionWnd()) && Keep(w.goBakAlert, CreateGoBakAlertUIWnd());
}

// Steps 22-33: outlines, the fifty cards with their companions and mission icons, the
// looks, shadow and big card, bomb markers, a few flow widgets, pi counters, hand hints
// and the September clip.
bool CDorvik2VWS::BuildCards() {
  const GSize cardSize = CVHTWnd::kLookSizes[CVHTWnd::kMediumLook];
  scene_build_steps::CardHandover cards(cardTable_);
  CardTableWidgets& c = cards.widgets;
  SceneWidgets& w = built_.widgets;
  // An outline that failed is left out and the build goes on; its record fails it.
  for (int32_t slot = 0; slot < CVHTWnd::kFloorMarks; ++slot) {
    GVWnd* outline = CreatePSPWnd(sb::kOutline, kFloorSlotPoints[slot] + sb::kFloorOutlineOffset, 0);
    c.floorOutlines[static_cast<size_t>(slot)] = outline;
    AddWnd(outline);
    if (BuildCancelled()) return false;
  }
  for (int32_t k = 0; k < sb::kHandOutlines; ++k) {
    GVPSPWnd*& outline = c.handOutlines[static_cast<size_t>(k)];
    if (!Keep(outline, CreatePSPWnd(sb::kOutline, sb::kOrigin, 0))) return false;
    if (k == 0)
      outline->SetFrame(sb::kSelectedOutlineFrame);
    else
      outline->SetPos(HandSlotPoint(0, k - 1) + sb::kHandOutlineOffset);
  }
  for (int32_t id = kCardWidgets - 1; id >= 0; --id) {
    const auto i = static_cast<size_t>(id);
    if (!Keep(c.cards[i], CreateHTWnd(id, CardNormalPicturePath, cardSize))) return false;
    if (!Keep(c.companions[i], CreateBoxWnd(sb::kOrigin, cardSize, sb::kCompanionFill, 0, sb::kCompanionBlend)))
      return false;
    GVQLAniWnd* icon = CreateQLAniWnd(sb::kCardIcons, sb::kOrigin);
    if (icon) {
      icon->SelectAnimationByName(sb::kCardMissionIcon);
      scene_build_steps::LoopHidden(icon);
    }
    if (!KeepAnimated(c.missionIcons[i], icon)) return false;
  }
  const char* const lookPaths[] = {CardSmallPicturePath, CardNormalPicturePath, CardHoldPicturePath};
  for (int32_t look = 0; look < 3; ++look) {
    const auto i = static_cast<size_t>(look);
    if (!Keep(c.lookCards[i], CreateHTWnd(look, lookPaths[i], CVHTWnd::kLookSizes[look]))) return false;
    CVHTWnd* card = c.lookCards[i];
    card->SetPos(sb::kOrigin);
    card->home = sb::kOrigin;
    card->Enable(0);
    card->Show(0);
  }
  CVHTWnd* shadow = nullptr;
  if (!Keep(shadow, CreateHTWnd(0, CardShadowPicturePath, cardSize))) return false;
  c.shadow = shadow;
  shadow->SetCard(0);
  shadow->Show(0);
  if (!Keep(c.glow, CreatePSPWnd(sb::kBigCard, sb::kOrigin, 0))) return false;
  for (GVWnd*& marker : c.bombDummies)
    if (!Keep(marker, CreateQLSWnd(sb::kBombDummy, sb::kOrigin, 0))) return false;
  if (!KeepAnimated(w.robotPlayAnim, CreateQLAniWnd(sb::kRobotPlay, sb::kOrigin))) return false;
  if (!Keep(w.playStart, CreateQLSWnd(sb::kPlayStart.path, sb::kPlayStart.pos, sb::kPlayStart.show))) return false;
  w.waitingSprite = w.playStart;
  if (!Keep(w.sunPickAnim, CreateQLAniWnd(sb::kSunPick, sb::kOrigin))) return false;
  for (int32_t side = 0; side < kSeats; ++side) {
    CVCountWnd* counter = CreateCountWnd(side);
    if (!Keep(c.piCounters[static_cast<size_t>(side)], counter)) return false;
    counter->SetTransparency(sb::kPiCounterTransparency);
  }
  for (int32_t slot = 0; slot < sb::kHintSlots; ++slot) {
    for (int32_t h = 0; h < sb::kHintsPerSlot; ++h) {
      const sb::HandHint& hint = sb::kHandHints[static_cast<size_t>(h)];
      GVQLAniWnd* ani = CreateQLAniWnd(hint.path, HandSlotPoint(0, slot));
      if (ani) {
        if (hint.name)
          ani->SelectAnimationByName(hint.name);
        else
          ani->SelectAnimation(hint.index);
        scene_build_steps::LoopHidden(ani);
      }
      GVWnd*& member = c.handHints[static_cast<size_t>(slot)][static_cast<size_t>(h)];
      if (!Keep(member, ani)) return false;
      if (hint.animated) AddAnimation(ani);
    }
  }
  return Keep(c.nineTenClip, CreateQLSWnd(sb::kNineTenClip, sb::kOrigin, 0));
}

// Steps 34-49: auto-play, the event animations, countdown and start, the betting
// group, the combination animations, prompt and result, money notices and the bijou.
bool CDorvik2VWS::BuildGameFlow() {
  scene_build_steps::CardHandover cards(cardTable_);
  CardTableWidgets& c = cards.widgets;
  SceneWidgets& w = built_.widgets;
  if (!Keep(c.autoPlayNotice, CreatePSPWnd(sb::kAutoPlayNotice.path, sb::kAutoPlayNotice.pos, 0))) return false;
  if (!Keep(w.autoPlayCancelButton, MakeButton(sb::kAutoPlayCancelButton))) return false;
  for (size_t k = 0; k < w.eventAnims.size(); ++k)
    if (!KeepAnimated(w.eventAnims[k], CreateQLAniWnd(EffectAnimFiles::Event[k], sb::kOrigin))) return false;
  for (GVQLAniWnd*& notice : w.sunNotices)
    if (!KeepAnimated(notice, CreateQLAniWnd(sb::kSunNotice, sb::kOrigin))) return false;
  if (!KeepAnimated(w.countdownAnim, CreateQLAniWnd(sb::kCountdown, sb::kOrigin))) return false;
  timers_.SetCountdownAnimation(w.countdownAnim);
  if (!KeepAnimated(w.startAnim, CreateQLAniWnd(sb::kStartAnimation, sb::kOrigin))) return false;
  if (!Keep(w.startButton, MakeButton(sb::kStartButton))) return false;
  w.startButton->SetImageSet(0);

  const GPoint base = sb::kBettingBase;
  if (!KeepAnimated(w.bettingBack, CreateQLAniWnd(sb::kBettingBack, base))) return false;
  for (int32_t k = 0; k < sb::kBetButtons; ++k) {
    const auto i = static_cast<size_t>(k);
    const GPoint at(base.x + sb::kBetButtonOffset.cx + sb::kBetButtonPitch * k, base.y + sb::kBetButtonOffset.cy);
    if (!Keep(w.betButtons[i], CreatePSPPushBtn(FormatString(sb::kBetButtonFormat, k), at, 0, sb::kBetButtonSets[i])))
      return false;
    w.betButtons[i]->SetImageSet(0);
  }
  if (!Keep(w.bettingText, MakeCentredText(sb::kBettingText, sb::kBettingText.pos))) return false;
  for (int32_t k = 0; k < sb::kBettingKinds; ++k) {
    if (!KeepAnimated(w.bettingKindAnims[static_cast<size_t>(k)],
                      CreateQLAniWnd(FormatString(sb::kBettingKindFormat, k), sb::kOrigin)))
      return false;
  }
  if (!Keep(w.dieWarning, CreatePSPWnd(sb::kDieWarning.path, sb::kDieWarning.pos, 0))) return false;
  if (!KeepAnimated(w.multiplierAnim, CreateQLAniWnd(sb::kMultiplierAnim.path, sb::kMultiplierAnim.pos))) return false;
  for (size_t k = 0; k < w.comboAnims.size(); ++k)
    if (!KeepAnimated(w.comboAnims[k], CreateQLAniWnd(EffectAnimFiles::Combination[k], sb::kOrigin))) return false;

  if (!Keep(w.observePanel, CreateObserveSystemWnd()) || !Keep(w.notifyPrompt, CreateNotifyWnd())) return false;
  if (!KeepAnimated(w.winnerAnim, CreateQLAniWnd(sb::kWinner, sb::kOrigin))) return false;
  if (!Keep(w.resultPanel, CreateResultWnd())) return false;
  if (!Keep(w.winMoneyLimit, CreatePSPWnd(sb::kWinMoneyLimit.path, sb::kWinMoneyLimit.pos, 0))) return false;
  if (!Keep(w.chanceSprite, CreatePSPWnd(ItemChanceIconPath, sb::kChancePoint, 0))) return false;
  w.chanceSprite->Enable(0);
  w.chanceSprite->Show(0);
  if (!Keep(w.chanceText, MakeCentredText(sb::kChanceText, w.chanceSprite->GetPos() + sb::kChanceTextOffset)))
    return false;
  w.chanceText->Show(0);
  if (!Keep(w.moneyBellNotice, CreateQLAniWnd(sb::kMoneyBellNotice, w.resultPanel->GetPos()))) return false;
  InsertWndAfter(w.resultPanel, w.moneyBellNotice);
  if (!KeepAnimated(w.moneyBellAnim, CreateQLAniWnd(sb::kMoneyBellAnim, sb::kOrigin))) return false;
  if (!Keep(w.moneyBellOtherAnim, CreateQLAniWnd(sb::kMoneyBellOtherAnim, sb::kOrigin))) return false;
  for (int32_t side = 0; side < kSeats; ++side) {
    const auto i = static_cast<size_t>(side);
    const GPoint at = sb::kRefillPoints[i];
    if (!KeepAnimated(w.autoRefillAnims[i], CreateQLAniWnd(sb::kAutoRefill, at))) return false;
    const sb::TextStyle& t = sb::kRefillText;
    if (!Keep(w.autoRefillTexts[i], CreateTextWnd(at + sb::kRefillTextOffset, t.size, std::string(), t.colour,
                                                  t.fontHeight, t.fontWeight)))
      return false;
    w.autoRefillTexts[i]->Show(0);
  }
  if (!Keep(w.bijouPanel, CreateBijouWnd())) return false;
  w.bijouPanel->Show(1);
  return KeepAnimated(w.bijouEffect, CreateQLAniWnd(sb::kBijouEffect.path, sb::kBijouEffect.pos));
}

// The widgets the handlers use beyond the numbered steps, above the table's panels: the
// remaining-cards board with its picture (both hidden; F12 shows the board, drawn full),
// the room banner and its two animations, the deck animation and the no-turn sign.
// Their files are this build's own additions, so a data folder without one leaves that
// widget out (its users all take a missing widget) instead of failing the table; a file
// that is there but does not load fails the build as any other.
bool CDorvik2VWS::BuildBoardAndSigns() {
  const auto present = [this](const char* relPath) {
    return GetFileAttributesA((imageFolder_ + relPath).c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  if (present(sb::kCardBoardPicture)) {
    scene_build_steps::CardHandover cards(cardTable_);
    CardTableWidgets& c = cards.widgets;
    if (!Keep(c.cardStrip, CreateDDSWnd(sb::kCardBoardPicture, sb::kOrigin, 1, 0, 1, sb::kCardBoardCells)))
      return false;
    const GSize board = CCardTable::CardBoardSize(c.cardStrip->GetRect().Size());
    if (!Keep(c.cardBoard, CreateBlankDDSWnd(sb::kCardBoardPoint, board, 0, 0))) return false;
  }
  UpdateCardBoard();
  SceneWidgets& w = built_.widgets;
  if (present(sb::kRoomBanner.path) &&
      !Keep(w.roomBanner, CreateQLSWnd(sb::kRoomBanner.path, sb::kRoomBanner.pos, sb::kRoomBanner.show)))
    return false;
  if (present(sb::kPickBanner) && !KeepAnimated(w.pickBanner, CreateQLAniWnd(sb::kPickBanner, sb::kRoomBanner.pos)))
    return false;
  if (present(sb::kInGameBanner) &&
      !KeepAnimated(w.inGameBanner, CreateQLAniWnd(sb::kInGameBanner, sb::kRoomBanner.pos)))
    return false;
  if (present(sb::kDeckAnimation.path) &&
      !KeepAnimated(w.deckAnim, CreateQLAniWnd(sb::kDeckAnimation.path, sb::kDeckAnimation.pos)))
    return false;
  return !present(sb::kNoTurnSign.path) ||
         Keep(w.noTurnSign, CreateQLSWnd(sb::kNoTurnSign.path, sb::kNoTurnSign.pos, sb::kNoTurnSign.show));
}

// Steps 50-57: promotion banners, the option panel, the popup menu, the level, VIP
// alerts, the on-the-hour animation, the money-limit group and the ticker on top.
bool CDorvik2VWS::BuildPanelsAndExtras() {
  SceneWidgets& w = built_.widgets;
  // Their failures are in the load-error list already, and fail the build at its end.
  promotionMgr_.LoadPromotionAnimations();
  if (BuildCancelled() || !Keep(w.optionPanel, CreateUserOptionWnd())) return false;
  w.optionPanel->SetVolume(EffectVolume());
  w.optionPanel->SetSpeed(options_.speed);
  w.optionPanel->SetStoredChoices(options_.soundEffect, model_.myVoiceSet, options_.skin);
  for (int32_t k = 0; k < sb::kPopupButtons; ++k) {
    CVPSPPushBtn* button = nullptr;
    if (!Keep(button, CreatePSPPushBtn(FormatString(sb::kPopupButtonFormat, k), sb::kOrigin, 0,
                                       sb::kPopupButtonSets[static_cast<size_t>(k)])))
      return false;
    built_.buttons.push_back(button);
  }
  if (!KeepAnimated(w.gameLevelAnim, CreateQLAniWnd(sb::kGameLevel, sb::kOrigin))) return false;
  vipMgr_.CreateWidgets();
  vipMgr_.PlaceWidgetsAfter(CardWidgets().nineTenClip);
  if (BuildCancelled() || !KeepAnimated(w.hourAnimation, CreateQLAniWnd(sb::kNumberOne, sb::kOrigin))) return false;
  if (!Keep(w.moneyLimitTooltip, CreatePSPWnd(MoneyLimitTooltipPath, sb::kMoneyLimitTooltipPoint, 0))) return false;
  if (!KeepAnimated(w.moneyLimitTooltipAnim, CreateQLAniWnd(MoneyLimitTooltipAnimPath, sb::kOrigin))) return false;
  if (!KeepAnimated(w.moneyLimitExplainAnim, CreateQLAniWnd(MoneyLimitExplainAnimPath, sb::kOrigin))) return false;
  CCheckNotice* ticker = CreateCheckNotice();
  if (ticker) ticker->LoadCheckNotice(imageFolder_);
  return Keep(w.noticeTicker, ticker);
}
