#include "panels/CVNotifyWnd.h"

#include <algorithm>
#include <iterator>

#include "base/TextUtil.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/PanelMouseRouting.h"
#include "panels/PanelText.h"
#include "tables/MissionTable.h"
#include "tables/PanelPaths.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVQLSWnd.h"

namespace notify_wnd {

using Sender = IPanelScene::PromptSender;

// Offsets from the layout's base. The third line takes the first one's place: the
// go-or-stop prompt of the last turn writes there instead.
constexpr GSize kTitleOffset{0, 0};
constexpr GSize kEffectOffset{0, 0};
constexpr GSize kLine1Offset{5, 92};
constexpr GSize kLine2Offset{5, 105};
constexpr GSize kLine3Offset = kLine1Offset;
constexpr GSize kYesOffset{17, 103};
constexpr GSize kNoOffset{101, 103};
constexpr GSize kSideMarkOffset{0, 172};
constexpr int32_t kYesSets = 12;
constexpr int32_t kNoSets = 4;
constexpr PanelTextLook kWhiteLine{{181, 14}, 0xFFFFFF, 12, 400, DT_CENTER};
constexpr PanelTextLook kYellowLine{{181, 14}, 0x00FFFF, 12, 400, DT_CENTER};
// The card images start at the deck point; the card sides wait at the origin until a
// prompt places them.
constexpr GSize kCardSize{36, 55};
constexpr GPoint kUnplaced{0, 0};
constexpr int32_t kNoCardId = 50;
constexpr int32_t kCardIds = 50;

// Sounds (the scene's effect ids): the notice chime, the looping tension of a go or
// stop, the button click.
constexpr int32_t kNoticeEffect = 27;
constexpr int32_t kGoOrStopEffect = 25;
constexpr int32_t kClickEffect = 19;
constexpr bool IsGoOrStopMode(int32_t mode) { return mode == 16 || mode == 19 || mode == 20; }
constexpr bool HasLoopingEffect(int32_t mode) { return mode == 10 || IsGoOrStopMode(mode); }

// ---- The answers: mode -> the sender and its yes / no values ----
// By card: yes and no are card images, whose cards are the values.
struct AnswerRow {
  int32_t mode;
  Sender sender;
  int32_t yes, no;
  bool byCard;
};
constexpr AnswerRow kAnswers[] = {
    {3, Sender::kFourOfMonth, 1, 0, false},  {5, Sender::kPickFloorCard, 0, 1, true},  // card images 1, 2
    {15, Sender::kShake, 1, 0, false},       {16, Sender::kGoOrStop, 1, 0, false},
    {19, Sender::kGoOrStop, 1, 0, false},    {20, Sender::kGoOrStop, 1, 0, false},
    {17, Sender::kNineTen, 1, 0, false},     {18, Sender::kStakeVote, 1, 0, false},
};
const AnswerRow* AnswerOf(int32_t mode) {
  const auto it = std::find_if(std::begin(kAnswers), std::end(kAnswers), [mode](const AnswerRow& r) {
    return r.mode == mode;
  });
  return it == std::end(kAnswers) ? nullptr : &*it;
}

// ---- ShowNotifyPrompt's modes 6..20 ----
enum class Text { kNone, kFirstBbuck, kNthBbuck, kSuccess, kStopIfLosing, kGoOrStop, kNineTen, kStake, kGoOrStopLine3 };
constexpr int32_t kNoEffect = -1;
struct PromptRow {
  Text text;
  int32_t layout;
  int32_t effect;  // the effect animation's sub-animation
};
constexpr PromptRow kPrompts[] = {
    {Text::kNone, 2, 0},          {Text::kFirstBbuck, 1, 1},    {Text::kNthBbuck, 1, 1},
    {Text::kSuccess, 1, 2},       {Text::kStopIfLosing, 2, 0},  {Text::kNone, 2, 0},
    {Text::kNone, 0, 2},          {Text::kNone, 0, 3},          {Text::kNone, 0, 3},
    {Text::kNone, 0, kNoEffect},  {Text::kGoOrStop, 0, kNoEffect}, {Text::kNineTen, 0, kNoEffect},
    {Text::kStake, 0, kNoEffect}, {Text::kGoOrStop, 0, kNoEffect}, {Text::kGoOrStopLine3, 0, kNoEffect},
};
static_assert(std::size(kPrompts) == CVNotifyWnd::kLastPromptMode - CVNotifyWnd::kFirstPromptMode + 1);
constexpr int32_t kFirstButtonMode = 15;
constexpr int32_t kGoOrStopNoSet = 1;

constexpr const char* kFirstBbuckText = "(첫뻑: %s냥)";
constexpr const char* kNthBbuckText = "(%d번째: %s냥)";
constexpr const char* kSuccessText = "(성공: %s냥)";
constexpr const char* kStopMoneyText = "(스톱시 %s)";
constexpr const char* kCurrentPointsText = "(현재 %d점)";
constexpr const char* kStakeText = "(%s -> %s)";
constexpr const char* kNineTenDoubleText = "옮길 경우 멍따(x2) 실패!";
constexpr const char* kNineTenGoText = "옮길 경우 '고'(7점->6점)불가!";
constexpr int32_t kNineTenDoubleN = 7;
constexpr int32_t kNineTenGoN = 18;
constexpr uint32_t kMoneyGroups = 2;

// ---- ShowNotice's modes 0..5 ----
struct NoticeRow {
  int32_t layout;
  int32_t offsetX;
  int32_t top;      // the cards' top below the title
  int32_t yesSet;   // -1: no buttons
  int32_t noSet;
  BOOL enabled;
};
constexpr int32_t kNoButtons = -1;
constexpr NoticeRow kNotices[] = {
    {1, -4, 115, kNoButtons, 0, 0}, {1, 0, 115, kNoButtons, 0, 0}, {1, 0, 115, kNoButtons, 0, 0},
    {0, 0, 93, 11, 3, 1},           {1, 0, 105, kNoButtons, 0, 0}, {0, 0, 105, 10, 2, 0},
};
constexpr int32_t kFourOfMonthMode = 3;
constexpr int32_t kPickFloorCardMode = 5;
constexpr int32_t kSortedMode = 4;
constexpr int32_t kSidesMode = 0;
constexpr int32_t kRowWidth = 192;
constexpr int32_t kGaps[] = {0, 0, 36, 12, 3};  // by the number of cards

// ---- ShowMissionSuccess ----
constexpr int32_t kMissionLayout = 1;
constexpr GSize kMissionCardsOffset{58, 114};
constexpr int32_t kMissionCardStep = 39;

}  // namespace notify_wnd

GVTextWnd* CVNotifyWnd::TextLine(int32_t line) const {
  switch (line) {
    case 1:
      return line1_;
    case 2:
      return line2_;
    case 3:
      return line3_;
    default:
      return nullptr;
  }
}

void CVNotifyWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  title_ = effect_ = nullptr;
  sides_.fill(nullptr);
  cards_.fill(nullptr);
  cardIds_.fill(notify_wnd::kNoCardId);
  line1_ = line2_ = line3_ = nullptr;
  yes_ = no_ = nullptr;
  sideMark_ = nullptr;
  mode_ = kNoMode;
  layout_ = 0;
}

// Every child starts hidden: a prompt shows only what its mode asks for.
int32_t CVNotifyWnd::Create(IPanelScene* scene) {
  using namespace notify_wnd;
  SetScene(scene);
  cardIds_.fill(kNoCardId);
  const GPoint b = kLayoutBases[layout_];
  if (!Adopt(scene->CreateQLAniWnd(PromptTitleAnimPath, b + kTitleOffset), title_, 0)) return 0;
  for (int32_t c = 0; c < kCards; ++c) {
    const auto i = static_cast<size_t>(c);
    if (!Adopt(scene->CreateQLSWnd(PromptCardSidePath, kUnplaced, 0), sides_[i], 0)) return 0;
    if (!Adopt(scene->CreateHTWnd(c, CardNormalPicturePath, kCardSize), cards_[i], 0)) return 0;
  }
  if (!Adopt(scene->CreateQLAniWnd(PromptEffectAnimPath, b + kEffectOffset), effect_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kLine1Offset, kWhiteLine), line1_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kLine2Offset, kYellowLine), line2_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kLine3Offset, kWhiteLine), line3_, 0)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(PromptYesButtonPath, b + kYesOffset, 0, kYesSets), yes_, 0)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(PromptNoButtonPath, b + kNoOffset, 0, kNoSets), no_, 0)) return 0;
  if (!Adopt(scene->CreateQLSWnd(PromptSideMoneyMarkPath, b + kSideMarkOffset, 0), sideMark_, 0)) return 0;
  SetRect(GRect(b, kSize));
  Show(0);
  Enable(1);
  return 1;
}

void CVNotifyWnd::SetButtonLayout(int32_t index) {
  if (index == layout_ || index < 0 || index >= kLayouts) return;
  layout_ = index;
  Layout();
}

void CVNotifyWnd::Layout() {
  using namespace notify_wnd;
  const GPoint b = kLayoutBases[layout_];
  const std::pair<GVWnd*, GSize> placed[] = {{title_, kTitleOffset}, {effect_, kEffectOffset},
                                             {line1_, kLine1Offset}, {line2_, kLine2Offset},
                                             {line3_, kLine3Offset}, {yes_, kYesOffset},
                                             {no_, kNoOffset},       {sideMark_, kSideMarkOffset}};
  for (const auto& [child, offset] : placed) {
    if (child) child->SetPos(b + offset);
  }
  SetRect(GRect(b, kSize));
}

int32_t CVNotifyWnd::Close() {
  if (!IsVisible()) return 0;
  IPanelScene* scene = Scene();
  if (scene && notify_wnd::HasLoopingEffect(mode_)) scene->StopSceneEffect(notify_wnd::kGoOrStopEffect);
  HideAll();
  for (int32_t c = 0; c < kCards; ++c) {
    const auto i = static_cast<size_t>(c);
    if (scene && cards_[i]) scene->ShowCardOnWidget(cards_[i], notify_wnd::kNoCardId);
    cardIds_[i] = notify_wnd::kNoCardId;
  }
  tracked_ = nullptr;
  Show(0);
  SetDirty(1);
  return 1;
}

void CVNotifyWnd::PlayTitle(int32_t mode) {
  if (!title_) return;
  title_->SelectAnimation(mode);
  title_->Play(-1, 0);
}

void CVNotifyWnd::ShowButtons(int32_t yesSet, int32_t noSet, BOOL enabled) {
  const std::pair<CVPSPPushBtn*, int32_t> buttons[] = {{yes_, yesSet}, {no_, noSet}};
  for (const auto& [button, set] : buttons) {
    if (!button) continue;
    button->SetImageSet(set);
    button->Show(1);
    button->Enable(enabled);
  }
}

void CVNotifyWnd::ShowLine(GVTextWnd* line, const std::string& text) {
  if (!line) return;
  line->SetText(text);
  line->Show(1);
}

int32_t CVNotifyWnd::ShowNotifyPrompt(int32_t mode, int32_t n, int64_t amount, int32_t yesSetBase,
                                      int32_t otherAmount, BOOL showSideMark) {
  using namespace notify_wnd;
  if (mode < kFirstPromptMode || mode > kLastPromptMode) return 0;
  Close();
  PlayTitle(mode);
  if (IPanelScene* scene = Scene()) scene->PlaySceneEffect(HasLoopingEffect(mode) ? kGoOrStopEffect : kNoticeEffect);
  const PromptRow& row = kPrompts[mode - kFirstPromptMode];
  const std::string money = FormatMoney(amount, kMoneyGroups);
  const std::string goOrStop =
      amount >= 0 ? FormatString(kStopMoneyText, money.c_str()) : FormatString(kCurrentPointsText, n);
  switch (row.text) {
    case Text::kNone:
      break;
    case Text::kFirstBbuck:
      ShowLine(line1_, FormatString(kFirstBbuckText, FormatInt64(amount).c_str()));
      break;
    case Text::kNthBbuck:
      ShowLine(line1_, FormatString(kNthBbuckText, n, FormatInt64(amount).c_str()));
      break;
    case Text::kSuccess:
      ShowLine(line1_, FormatString(kSuccessText, FormatInt64(amount).c_str()));
      break;
    case Text::kStopIfLosing:
      if (amount < 0) ShowLine(line1_, FormatString(kStopMoneyText, money.c_str()));
      break;
    case Text::kGoOrStop:
      ShowLine(line1_, goOrStop);
      if (showSideMark && sideMark_) sideMark_->Show(1);
      break;
    case Text::kGoOrStopLine3:
      ShowLine(line3_, goOrStop);
      break;
    case Text::kNineTen:
      if (n == kNineTenDoubleN) ShowLine(line1_, kNineTenDoubleText);
      if (n == kNineTenGoN) ShowLine(line1_, kNineTenGoText);
      break;
    case Text::kStake:
      ShowLine(line2_, FormatString(kStakeText, FormatMoney(otherAmount, kMoneyGroups).c_str(), money.c_str()));
      break;
  }
  SetButtonLayout(row.layout);
  if (row.effect != kNoEffect && effect_) {
    effect_->SelectAnimation(row.effect);
    effect_->Play(-1, 0);
  }
  if (mode >= kFirstButtonMode) {
    const bool goOrStopMode = IsGoOrStopMode(mode);
    ShowButtons(goOrStopMode ? yesSetBase + 1 : 0, goOrStopMode ? kGoOrStopNoSet : 0, 1);
  }
  mode_ = mode;
  Show(1);
  SetDirty(1);
  return 1;
}

void CVNotifyWnd::ShowCard(int32_t i, GPoint at, int32_t card) {
  const auto c = static_cast<size_t>(i);
  cardIds_[c] = card;
  GVDDSWnd* image = cards_[c];
  if (!image) return;
  image->SetPos(at);
  if (IPanelScene* scene = Scene()) scene->ShowCardOnWidget(image, card);
  image->Show(1);
}

int32_t CVNotifyWnd::ShowNotice(int32_t mode, std::list<int32_t>& cards) {
  using namespace notify_wnd;
  if (mode < kFirstCardMode || mode > kLastCardMode) return 0;
  Close();
  PlayTitle(mode);
  if (IPanelScene* scene = Scene()) scene->PlaySceneEffect(kNoticeEffect);
  const NoticeRow& row = kNotices[mode];
  SetButtonLayout(row.layout);
  bool buttons = row.yesSet != kNoButtons;
  if (mode == kFourOfMonthMode) {
    IPanelScene* scene = Scene();
    const int32_t seat = scene ? scene->GetSeatOfUser(scene->MyUserNo()) : -1;
    buttons = seat >= 0 && !scene->IsRobotSeat(seat);
  }
  if (buttons) ShowButtons(row.yesSet, row.noSet, row.enabled);
  if (mode == kSortedMode) cards.sort();
  const auto n = static_cast<int32_t>(cards.size());
  if (n > kCards) return 0;
  if (std::any_of(cards.begin(), cards.end(), [](int32_t id) { return id < 0 || id >= kCardIds; })) return 0;
  const int32_t gap = kGaps[n];
  const GPoint title = title_ ? title_->GetPos() : kLayoutBases[layout_];
  GPoint at(title.x + row.offsetX + (kRowWidth - kCardSize.cx * n - (n - 1) * gap) / 2, title.y + row.top);
  int32_t i = 0;
  for (const int32_t id : cards) {
    if (mode == kSidesMode && sides_[static_cast<size_t>(i)]) {
      sides_[static_cast<size_t>(i)]->SetPos(GPoint(at.x + kCardSize.cx, at.y));
      sides_[static_cast<size_t>(i)]->Show(1);
    }
    ShowCard(i++, at, id);
    at.x += kCardSize.cx + gap;
  }
  mode_ = mode;
  Show(1);
  SetDirty(1);
  return 1;
}

int32_t CVNotifyWnd::ShowMissionSuccess(int32_t mode, int32_t missionCode, int64_t reward) {
  using namespace notify_wnd;
  if (mode != kMissionMode) return 0;
  Close();
  PlayTitle(kMissionMode);
  ShowLine(line1_, FormatString(kSuccessText, FormatInt64(reward).c_str()));
  SetButtonLayout(kMissionLayout);
  // The two-card missions' pairs are the mission table's own cards.
  const MissionRow* mission = missionCode >= kFirstTwoCardMission ? MissionOf(missionCode) : nullptr;
  if (!mission) return 0;
  const GPoint start = (title_ ? title_->GetPos() : kLayoutBases[layout_]) + kMissionCardsOffset;
  for (int32_t i = 0; i < 2; ++i) {
    ShowCard(i, GPoint(start.x + i * kMissionCardStep, start.y), mission->cards[static_cast<size_t>(i)]);
  }
  mode_ = kMissionMode;
  Show(1);
  SetDirty(1);
  return 1;
}

int32_t CVNotifyWnd::TickAnimation() {
  bool advanced = false;
  for (GVQLAniWnd* animation : {title_, effect_}) {
    if (animation && animation->IsVisible() && animation->Update()) advanced = true;
  }
  if (!advanced) return 0;
  SetDirty(1);
  return 1;
}

bool CVNotifyWnd::Answer(bool yes) {
  const notify_wnd::AnswerRow* row = notify_wnd::AnswerOf(mode_);
  if (!row) return false;
  if (row->byCard) return AnswerWithCard(yes ? row->yes : row->no);
  IPanelScene* scene = Scene();
  if (!scene) return false;
  scene->SendPromptAnswer(row->sender, yes ? row->yes : row->no);
  scene->HideNotifyPrompt();
  return true;
}

// Only a real card is offered: an image left without one answers nothing.
bool CVNotifyWnd::AnswerWithCard(int32_t image) {
  const int32_t card = cardIds_.at(static_cast<size_t>(image));
  IPanelScene* scene = Scene();
  if (!scene || card < 0 || card >= notify_wnd::kCardIds) return false;
  scene->SendPromptAnswer(IPanelScene::PromptSender::kPickFloorCard, card);
  scene->HideNotifyPrompt();
  return true;
}

BOOL CVNotifyWnd::OnKeyDown(UINT key, UINT, UINT) {
  if (!IsVisible()) return 0;
  if (key == kYesKey && yes_ && yes_->IsVisible()) Answer(true);
  if (key == kNoKey && no_ && no_->IsVisible()) Answer(false);
  return 0;
}

BOOL CVNotifyWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  panel_mouse::Release r;
  if (!panel_mouse::BeginRelease(*this, tracked_, keyFlags, pt, r)) return 0;
  IPanelScene* scene = Scene();
  if (r.current == yes_ || r.current == no_) {
    const bool yes = r.current == yes_;
    if (r.current->OnLButtonUp(keyFlags, pt)) {
      Answer(yes);
      if (scene) scene->PlaySceneEffect(notify_wnd::kClickEffect);
    }
    SetDirty(1);
    return 1;
  }
  for (int32_t image = 0; image < 2; ++image) {
    if (r.current != cards_[static_cast<size_t>(image)]) continue;
    if (r.current->OnLButtonUp(keyFlags, pt)) {
      if (mode_ == notify_wnd::kPickFloorCardMode) AnswerWithCard(image);
      if (scene) scene->PlaySceneEffect(notify_wnd::kClickEffect);
    }
    SetDirty(1);
    return 1;
  }
  return panel_mouse::ReleaseOnOther(*this, r, keyFlags, pt);
}

BOOL CVNotifyWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  return panel_mouse::RouteMouseMove(*this, tracked_, keyFlags, pt);
}
