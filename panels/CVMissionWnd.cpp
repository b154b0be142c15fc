#include "panels/CVMissionWnd.h"

#include <algorithm>

#include "game/CardInfoTable.h"
#include "host/RCUser.h"
#include "panels/PanelText.h"
#include "plat/time.h"
#include "tables/MissionTable.h"
#include "widgets/GVDDSWnd.h"
#include "tables/PanelPaths.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace mission_wnd {

// The cards, shades and capture marks wait at the origin until a mission places them.
constexpr GPoint kUnplaced{0, 0};
constexpr GSize kCardSize{36, 55};
constexpr COLORREF kShadeColour = 0x000000;
constexpr int32_t kShadeLevel = 25;
// Offsets from the panel's position.
constexpr GSize kSpecialOffset{21, 54};
constexpr GSize kMultiplierOffset{98, 65};
constexpr GSize kStateOffset{8, 134};
constexpr GSize kTextOffset{8, 138};
constexpr PanelTextLook kTextLook{{163, 14}, 0xFFFFFF, 12, 400, DT_CENTER};
// The two-card animation plays over the whole table.
constexpr GPoint kTwoCardPoint{0, 0};
// Card layout: the cards start here, two cards further right, and squeeze together
// when more than the row width would not hold them.
constexpr GSize kCardsOffset{21, 54};
constexpr int32_t kPairIndent = 20;
constexpr int32_t kCardStep = 36;
constexpr int32_t kRowWidth = 96;
// A capture mark of the bottom side sits low on its card, one of the top side at its top.
constexpr GSize kMarkOffsets[CVMissionWnd::kScreenSides] = {{0, 33}, {0, 0}};
constexpr int32_t kMaxMultiplier = 11;
constexpr int32_t kStateFrames[] = {0, 1, 2};  // by state + 1
constexpr int32_t kBlinkSteps = 7;
constexpr uint32_t kBlinkStepMs = 500;
// The two-card animation's frame at which the cards are turned up.
constexpr int32_t kRevealFrame = 11;

}  // namespace mission_wnd

namespace {

bool IsTwoCardMission(int32_t id) { return id >= kFirstTwoCardMission && id < kMissionCount; }

void ShowLastFrame(GVQLAniWnd* animation) {
  if (animation->GetFrameCount() > 0) animation->SetFrame(animation->GetFrameCount() - 1);
}

}  // namespace

void CVMissionWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  cards_.fill(nullptr);
  shades_.fill(nullptr);
  for (auto& side : marks_) side.fill(nullptr);
  special_ = state_ = nullptr;
  multiplier_ = twoCard_ = nullptr;
  text_ = nullptr;
  revealed_ = 1;
  active_ = 0;
  hasMultiplier_ = 0;
  missionCards_.clear();
  for (auto& side : taken_) side.fill(0);
  missionState_ = -1;
  blink_ = 0;
  lastBlink_ = 0;
}

int32_t CVMissionWnd::Create(IPanelScene* scene) {
  using namespace mission_wnd;
  SetScene(scene);
  for (int32_t c = 0; c < kCardSlots; ++c) {
    const auto i = static_cast<size_t>(c);
    if (!Adopt(scene->CreateHTWnd(c, CardNormalPicturePath, kCardSize), cards_[i], 0)) return 0;
    if (!Adopt(scene->CreateBoxWnd(kUnplaced, kCardSize, kShadeColour, 0, kShadeLevel), shades_[i], 0)) return 0;
    // A capture mark's frame is the screen side it marks.
    for (int32_t side = 0; side < kScreenSides; ++side) {
      GVPSPWnd*& mark = marks_[static_cast<size_t>(side)][i];
      if (!Adopt(scene->CreatePSPWnd(MissionCaptureMarkPath, kUnplaced, 0), mark, 0)) return 0;
      mark->SetFrame(side);
    }
  }
  const GPoint at = kDefaultPos;
  if (!Adopt(scene->CreatePSPWnd(MissionSpecialMarkPath, at + kSpecialOffset, 0), special_, 0)) return 0;
  if (!Adopt(scene->CreateQLAniWnd(MissionMultiplierAnimPath, at + kMultiplierOffset), multiplier_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(MissionStateMarkPath, at + kStateOffset, 0), state_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, at + kTextOffset, kTextLook), text_, 1)) return 0;
  if (!Adopt(scene->CreateQLAniWnd(MissionTwoCardAnimPath, kTwoCardPoint), twoCard_, 0)) return 0;
  SetRect(GRect(at, kSize));
  Show(0);
  Enable(0);
  return 1;
}

void CVMissionWnd::SetMission(int32_t id, int32_t multiplier, BOOL quiet) {
  using namespace mission_wnd;
  const MissionRow* row = MissionOf(id);
  if (!row || !text_) return;
  text_->SetText(row->text);
  missionCards_.assign(row->cards.begin(), row->cards.begin() + row->cardCount);
  const bool twoCard = IsTwoCardMission(id);
  const BOOL visible = twoCard ? 0 : 1;
  revealed_ = visible;
  if (id == kNoMission || id == kSureMission) {
    special_->SetFrame(id);
    special_->Show(1);
  } else {
    const int32_t n = ShownSlots();
    int32_t dx = kCardStep;
    if (kCardStep * n > kRowWidth && n > 2) dx = kCardStep - (kCardStep * n - kRowWidth) / (n - 1);
    GPoint start = GetPos() + kCardsOffset;
    if (n == 2) start.x += kPairIndent;
    auto card = missionCards_.begin();
    for (int32_t c = 0; c < n; ++c, ++card) {
      const auto i = static_cast<size_t>(c);
      const GPoint at = start + GSize(c * dx, 0);
      Scene()->SetCardOfWidget(cards_[i], *card);
      cards_[i]->SetPos(at);
      cards_[i]->Show(visible);
      shades_[i]->SetPos(at);
      for (int32_t side = 0; side < kScreenSides; ++side)
        marks_[static_cast<size_t>(side)][i]->SetPos(at + kMarkOffsets[side]);
    }
    active_ = 1;
    if (twoCard) twoCard_->Play(1, 0);
  }
  state_->SetFrame(kStateFrames[0]);
  state_->Show(visible);
  text_->Show(visible);
  hasMultiplier_ = multiplier >= 1 && multiplier <= kMaxMultiplier;
  if (hasMultiplier_) {
    multiplier_->SelectAnimation(multiplier - 1);
    if (visible) multiplier_->Play(1, 1);
  }
  if (!quiet && visible) {
    Scene()->PlayPanelEffect(IPanelScene::kEffectMissionNotice);
    StartBlink();
  } else {
    blink_ = 0;
    if (hasMultiplier_) ShowLastFrame(multiplier_);
  }
  Show(1);
  SetDirty(1);
}

void CVMissionWnd::Reset() {
  active_ = 0;
  hasMultiplier_ = 0;
  missionCards_.clear();
  if (IPanelScene* scene = Scene()) {
    for (GVDDSWnd* card : cards_)
      if (card) scene->SetCardOfWidget(card, kNoCard);
  }
  for (auto& seat : taken_) seat.fill(0);
  missionState_ = -1;
  HideAll();
  blink_ = 0;
  Show(0);
  SetDirty(1);
}

void CVMissionWnd::SetMissionState(int32_t state) {
  using namespace mission_wnd;
  missionState_ = state;
  blink_ = 0;
  if (state < -1 || state > 1 || !state_) return;
  state_->SetFrame(kStateFrames[state + 1]);
  state_->Show(1);
  text_->Show(state == -1 ? 1 : 0);
}

void CVMissionWnd::MarkCardTaken(int32_t seat, int32_t card, BOOL exclusive) {
  // The taken marks have a row per seat: any other seat number takes nothing.
  if (!active_ || seat < 0 || seat >= kScreenSides) return;
  const int32_t side = SideOfSeat(seat);
  if (side < 0) return;
  bool matched = false;
  const int32_t n = ShownSlots();
  for (int32_t c = 0; c < n; ++c) {
    const auto i = static_cast<size_t>(c);
    if (Scene()->CardOfWidget(cards_[i]) != card) continue;
    if (exclusive) {
      for (int32_t s = 0; s < kScreenSides; ++s) {
        marks_[static_cast<size_t>(s)][i]->Show(0);
        taken_[static_cast<size_t>(s)][i] = 0;
      }
    }
    shades_[i]->Show(revealed_);
    marks_[static_cast<size_t>(side)][i]->Show(revealed_);
    taken_[static_cast<size_t>(seat)][i] = 1;
    SetDirty(1);
    matched = true;
  }
  if (matched) Scene()->PlayPanelEffect(IPanelScene::kEffectMissionCard);
  const BOOL broken = IsMissionBroken();
  if (broken && missionState_ != 1) {
    SetMissionState(1);
  } else if (!broken && missionState_ == 1) {
    SetMissionState(-1);
  }
}

void CVMissionWnd::RefreshMarks() {
  if (!active_) return;
  for (auto& side : marks_)
    for (GVPSPWnd* mark : side) mark->Show(0);
  const int32_t n = ShownSlots();
  for (int32_t c = 0; c < n; ++c) {
    const auto i = static_cast<size_t>(c);
    if (!cards_[i]->IsVisible()) continue;
    for (int32_t seat = 0; seat < kScreenSides; ++seat) {
      const int32_t side = SideOfSeat(seat);
      if (taken_[static_cast<size_t>(seat)][i] && side >= 0) marks_[static_cast<size_t>(side)][i]->Show(1);
    }
  }
  SetDirty(1);
}

BOOL CVMissionWnd::IsMissionCard(int32_t card) {
  if (!active_ || IsMissionBroken()) return 0;
  return std::find(missionCards_.begin(), missionCards_.end(), card) != missionCards_.end() ? 1 : 0;
}

BOOL CVMissionWnd::IsMissionBroken() const {
  if (!active_) return 0;
  int32_t holders = 0;
  for (size_t seat = 0; seat < kScreenSides; ++seat) {
    const auto& mine = taken_[seat];
    const auto& theirs = taken_[1 - seat];
    for (size_t c = 0; c < kCardSlots; ++c) {
      if (mine[c] && !theirs[c]) {
        ++holders;
        break;
      }
    }
  }
  return holders == kScreenSides ? 1 : 0;
}

void CVMissionWnd::RevealCards() {
  revealed_ = 1;
  const int32_t n = ShownSlots();
  for (int32_t c = 0; c < n; ++c) cards_[static_cast<size_t>(c)]->Show(1);
  for (int32_t seat = 0; seat < kScreenSides; ++seat) {
    if (SideOfSeat(seat) < 0) continue;
    for (int32_t c = 0; c < n; ++c)
      if (taken_[static_cast<size_t>(seat)][static_cast<size_t>(c)]) shades_[static_cast<size_t>(c)]->Show(1);
  }
  Scene()->PlayPanelEffect(IPanelScene::kEffectMissionNotice);
  state_->Show(1);
  text_->Show(1);
  if (hasMultiplier_) multiplier_->Play(1, 1);
  RefreshMarks();
  // The state first: it stops any blink, and the reveal blinks.
  SetMissionState(missionState_);
  StartBlink();
  Show(1);
  SetDirty(1);
}

int32_t CVMissionWnd::Tick() {
  using namespace mission_wnd;
  if (!multiplier_) return 0;
  int32_t changed = multiplier_->IsVisible() && multiplier_->Update() ? 1 : 0;
  const uint32_t now = timeGetTime();
  if (blink_ > 0 && now - lastBlink_ > kBlinkStepMs) {
    lastBlink_ = now;
    state_->Show(state_->IsVisible() ? 0 : 1);
    text_->Show(text_->IsVisible() ? 0 : 1);
    if (--blink_ == 0) {
      state_->Show(1);
      text_->Show(1);
    }
    changed = 1;
  }
  if (twoCard_->IsVisible() && twoCard_->Update()) {
    // Once per mission: a longer animation stays at or past the frame for many ticks.
    if (twoCard_->GetFrame() >= kRevealFrame && !revealed_) RevealCards();
    SetDirty(1);
    return 1;
  }
  if (changed) SetDirty(1);
  return changed;
}

void CVMissionWnd::SetPos(GPoint pt) {
  const GSize delta = pt - GetPos();
  for (GVWnd* child : GetChildren()) child->SetPos(child->GetPos() + delta);
  SetRect(GRect(pt, kSize));
}

int32_t CVMissionWnd::SideOfSeat(int32_t seat) const {
  const int32_t side = Scene()->SeatPlayer(seat).screenPos;
  return side >= 0 && side < kScreenSides ? side : -1;
}

int32_t CVMissionWnd::ShownSlots() const {
  return std::min(static_cast<int32_t>(missionCards_.size()), kCardSlots);
}

void CVMissionWnd::StartBlink() {
  blink_ = mission_wnd::kBlinkSteps;
  lastBlink_ = timeGetTime();
}
