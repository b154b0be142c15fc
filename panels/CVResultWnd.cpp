#include "panels/CVResultWnd.h"

#include <algorithm>
#include <limits>

#include "base/TextUtil.h"
#include "game/CGameModel.h"
#include "host/ResultRecords.h"
#include "panels/CVItemWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/PanelMouseRouting.h"
#include "panels/PanelText.h"
#include "tables/PanelPaths.h"
#include "tables/VocabularyTables.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace result_wnd {

// Kind 0 (folded or no breakdown); kind k of 1..9 is the row-less layout with k rows
// added: the base rises half a row per row while the lower children sink a whole row.
constexpr ResultLayout kFolded{{210, 111}, {0, 0}, {0, 0}, {9, 174}, {95, 205}, {0, 247}};
constexpr ResultLayout kNoRows{{210, 107}, {48, 176}, {166, 176}, {9, 207}, {95, 238}, {0, 280}};
constexpr int32_t kRowHeight = 18;
constexpr int32_t kBaseRisePerRow = 9;
constexpr ResultLayout kInstantWin{{210, 71}, {0, 0}, {0, 0}, {9, 267}, {95, 298}, {0, 340}};

// Offsets from the base.
constexpr GSize kBackOffset{0, 39};
constexpr GSize kIconOffset{1, 0};
constexpr GSize kHeadlineOffset{9, 81};
constexpr GSize kMoneyOffset{9, 116};
constexpr GSize kNoteOffset{9, 138};
constexpr GSize kCategoryRow0{48, 170};
constexpr GSize kMultiplierRow0{166, 170};
constexpr GSize kExpandOffset{131, 157};
constexpr GSize kAutoStartOffset{178, 48};
constexpr int32_t kExpandSets = 2;
constexpr int32_t kOkSets = 1;
constexpr int32_t kAutoStartSets = 2;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kMoneyColour = 0x68F5FF;
constexpr COLORREF kRowColour = 0xD6D6D6;
constexpr PanelTextLook kHeadlineLook{{261, 20}, kWhite, 16, 700, DT_CENTER};
constexpr PanelTextLook kMoneyLook{{261, 14}, kMoneyColour, 14, 700, DT_CENTER};
constexpr PanelTextLook kNoteLook{{261, 11}, kWhite, 11, 400, DT_CENTER};
constexpr PanelTextLook kLabelLook{{64, 12}, kRowColour, 12, 400, DT_LEFT};
constexpr PanelTextLook kValueLook{{64, 12}, kRowColour, 12, 400, DT_RIGHT};
constexpr PanelTextLook kMoneyLineLook{{261, 14}, kWhite, 14, 700, DT_CENTER};

GSize RowOffset(GSize row0, int32_t r) { return row0 + GSize(0, kRowHeight * r); }

// The mark sits just above the money text, wherever the layout puts it.
constexpr int32_t kWinMoneyLimitX = 471;
constexpr int32_t kWinMoneyLimitRise = 7;

constexpr UINT kKeySpace = 0x20;
constexpr UINT kKeyF1 = 0x70;
constexpr int32_t kClickEffect = 19;
constexpr int32_t kWinnerEffect = 28;
constexpr int32_t kLoserEffect = 29;
constexpr int32_t kGreatWinnerEffect = 30;
constexpr int32_t kGreatLoserEffect = 31;
constexpr int64_t kGreatMultiplier = 4;
constexpr int32_t kFourOfMonthVoice = 10030;
constexpr int32_t kThirdPuckVoice = 10024;
constexpr int32_t kDrawVoice = 10028;
constexpr int32_t kWinIconFrame = 0;
constexpr int32_t kLossIconFrame = 1;

enum EndType : int32_t { kNormalEnd = 0, kFourOfMonth = 1, kThirdPuck = 2, kForfeit = 3, kDrawEnd = 4 };
constexpr int32_t kFourOfMonthKind = 10;
constexpr int32_t kThirdPuckKind = 11;

// Rooms whose wins count against the win-money limit, and the room of a time-limited
// robot item, where a robot game shows no note at all.
constexpr int32_t kLimitRoomFirst = 5;
constexpr int32_t kLimitRoomLast = 10;
constexpr int32_t kRobotItemRoom = 60;

constexpr const char* kWinSuffix = "님 승리!";
constexpr const char* kLossSuffix = "님 패배!";
constexpr const char* kForfeitWinSuffix = "님 기권승!";
constexpr const char* kForfeitLossSuffix = "님 기권패!";
constexpr const char* kDrawHeadline = "무승부";
constexpr const char* kDrawHeadlineTail = "입니다!";
constexpr const char* kRobotNote = "(로봇 플레이시 머니 변동 없음)";
constexpr const char* kFundWhole = "(이벤트 기금 적립: %d%%)";
constexpr const char* kFundTenths = "(이벤트 기금 적립: %0.1f%%)";
constexpr int32_t kFundRateUnit = 10;  // the rate comes in tenths of a percent
constexpr const char* kPointsFormat = "%d점";
constexpr const char* kTimesFormat = "%d배";
constexpr const char* kTimesUnit = "배";
constexpr const char* kPointsUnit = "점";
constexpr const char* kMoneyPrefix = "점%s냥 x ";
constexpr int32_t kMoneyPrecision = 2;

// The first column's categories in the order of their rows; the go points follow.
struct CategoryRow {
  int32_t category;
  const char* label;
};
constexpr CategoryRow kCategoryRows[] = {
    {SCORE_GODORI, "고도리"}, {SCORE_RED_RIBBONS, "홍단"}, {SCORE_BLUE_RIBBONS, "청단"},
    {SCORE_GRASS_RIBBONS, "초단"}, {SCORE_BRIGHTS, "광"}, {SCORE_ANIMALS, "십"},
    {SCORE_RIBBONS, "오"}, {SCORE_JUNK, "피"},
};
constexpr const char* kGoLabel = "고";
constexpr const char* kMissionLabel = "미션";
constexpr const char* kShakeLabel = "흔듦";
constexpr const char* kDrawLabel = "무승부";
constexpr const char* kMeongttaLabel = "멍따";
constexpr const char* kBrightPenaltyLabel = "광박";
constexpr const char* kJunkPenaltyLabel = "피박";
constexpr int32_t kPenaltyFactor = 2;

// The server's exponents are trusted no further than 2^30, so that no product of
// them can wrap into a zero divisor or a negative multiplier.
constexpr int32_t kMaxExponent = 30;
int64_t PowerOfTwo(int32_t exponent) { return int64_t{1} << std::clamp(exponent, 0, kMaxExponent); }
int64_t SaturatingProduct(int64_t a, int64_t b) {
  int64_t out = 0;
  if (__builtin_mul_overflow(a, b, &out)) {
    return (a < 0) != (b < 0) ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  }
  return out;
}
std::string Times(int64_t factor) { return FormatInt64(factor) + kTimesUnit; }

}  // namespace result_wnd

ResultLayout CVResultWnd::LayoutOf(int32_t kind) {
  using namespace result_wnd;
  if (kind >= 1 && kind < kInstantKinds) {
    const GSize down(0, kRowHeight * kind);
    ResultLayout l = kNoRows;
    l.base -= GSize(0, kBaseRisePerRow * kind);
    l.pointSum += down, l.totalMultiplier += down, l.moneyLine += down, l.okButton += down, l.itemPanel += down;
    return l;
  }
  if (kind >= kInstantKinds && kind < kKindCount) return kInstantWin;
  return kFolded;
}


void CVResultWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  back_ = nullptr;
  winLose_ = nullptr;
  headline_ = moneyText_ = note_ = nullptr;
  categoryLabels_.fill(nullptr);
  categoryValues_.fill(nullptr);
  pointSum_ = nullptr;
  multiplierLabels_.fill(nullptr);
  multiplierValues_.fill(nullptr);
  totalText_ = moneyLine_ = nullptr;
  expand_ = ok_ = autoStart_ = nullptr;
  itemPanel_ = nullptr;
  totalMultiplier_ = 1;
  layoutKind_ = 0;
  rowCount_ = 0;
  expanded_ = 1;
}

// The breakdown's two columns, label before value in each row; a label and its value
// share the row's point and differ in alignment.
int32_t CVResultWnd::CreateRows(IPanelScene& scene, GPoint base) {
  using namespace result_wnd;
  struct Column {
    GSize row0;
    std::array<GVTextWnd*, kRows>& labels;
    std::array<GVTextWnd*, kRows>& values;
  };
  const Column columns[] = {{kCategoryRow0, categoryLabels_, categoryValues_},
                            {kMultiplierRow0, multiplierLabels_, multiplierValues_}};
  for (const Column& c : columns) {
    for (int32_t r = 0; r < kRows; ++r) {
      const GPoint at = base + RowOffset(c.row0, r);
      const auto i = static_cast<size_t>(r);
      if (!Adopt(CreatePanelText(scene, at, kLabelLook), c.labels[i], 1)) return 0;
      if (!Adopt(CreatePanelText(scene, at, kValueLook), c.values[i], 1)) return 0;
    }
  }
  return 1;
}

int32_t CVResultWnd::Create(IPanelScene* scene) {
  using namespace result_wnd;
  SetScene(scene);
  const ResultLayout l = LayoutOf(layoutKind_);
  const GPoint b = l.base;
  if (!Adopt(scene->CreateQLAniWnd(ResultBackAnimPath, b + kBackOffset), back_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(ResultWinLoseIconPath, b + kIconOffset, 0), winLose_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kHeadlineOffset, kHeadlineLook), headline_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kMoneyOffset, kMoneyLook), moneyText_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + kNoteOffset, kNoteLook), note_, 1)) return 0;
  if (!CreateRows(*scene, b)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + l.pointSum, kValueLook), pointSum_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + l.totalMultiplier, kValueLook), totalText_, 1)) return 0;
  if (!Adopt(CreatePanelText(*scene, b + l.moneyLine, kMoneyLineLook), moneyLine_, 1)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(ResultExpandButtonPath, b + kExpandOffset, 0, kExpandSets), expand_, 0)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(ResultOkButtonPath, b + l.okButton, 0, kOkSets), ok_, 0)) return 0;
  if (!Adopt(scene->CreateItemWnd(), itemPanel_, 0)) return 0;
  itemPanel_->SetPos(b + l.itemPanel);
  if (!Adopt(scene->CreatePSPPushBtn(ResultAutoStartButtonPath, b + kAutoStartOffset, 0, kAutoStartSets), autoStart_,
             0))
    return 0;
  SetRect(GRect(b, kSize));
  Show(0);
  Enable(1);
  // The folding choice of an earlier session, read once; the expand button keeps it.
  LoadExpandState(1);
  return 1;
}

// ---- Showing a result ---------------------------------------------------------------------

bool CVResultWnd::MeSeated() const {
  IPanelScene* scene = Scene();
  const int32_t me = scene ? scene->MyUserNo() : RCUser::kNoUser;
  return me != RCUser::kNoUser && scene->GetSeatOfUser(me) >= 0;
}

bool CVResultWnd::RobotPlays() const {
  IPanelScene* scene = Scene();
  return scene && (scene->IsRobotSeat(0) || scene->IsRobotSeat(1));
}

void CVResultWnd::ShowText(GVTextWnd* text, const std::string& value) {
  if (!text) return;
  text->SetText(value);
  text->Show(1);
}

template <class F>
void CVResultWnd::ForEachRowText(F f) {
  for (size_t r = 0; r < static_cast<size_t>(kRows); ++r) {
    for (GVTextWnd* t : {categoryLabels_[r], categoryValues_[r], multiplierLabels_[r], multiplierValues_[r]}) f(t);
  }
}

void CVResultWnd::Reset() {
  totalMultiplier_ = 1;
  layoutKind_ = 0;
  rowCount_ = 0;
  if (itemPanel_) itemPanel_->Close();
  if (!IsVisible()) return;
  HideAll();
  auto clear = [](GVTextWnd* t) {
    if (t) t->SetText("");
  };
  for (GVTextWnd* t : {headline_, moneyText_, note_, pointSum_, totalText_, moneyLine_}) clear(t);
  ForEachRowText(clear);
  if (Scene())
    if (GVWnd* mark = Scene()->WinMoneyLimitMark()) mark->Show(0);
  Show(0);
  SetDirty(1);
}

BOOL CVResultWnd::ShowResult(const GameResultMsg* msg) {
  using namespace result_wnd;
  if (!msg) return 0;
  Reset();
  IPanelScene* scene = Scene();
  if (!scene) return 0;
  const WinInfo& win = msg->winInfo;
  int32_t shownSeat = -1;
  int32_t outcome = kDraw;
  if (msg->endType != kDrawEnd) {
    if (win.winnerSeat != 0 && win.winnerSeat != 1) return 0;
    shownSeat = win.winnerSeat;
    outcome = kWin;
    const int32_t loser = 1 - win.winnerSeat;
    const int32_t me = scene->MyUserNo();
    if (me != RCUser::kNoUser && scene->Model().room.seats.Player(loser).userNo == me) {
      shownSeat = loser;
      outcome = kLoss;
    }
  }
  const int64_t money = shownSeat >= 0 ? msg->moneyChange.at(static_cast<size_t>(shownSeat)) : 0;
  auto headline = [&](int32_t o) { FormatResultHeadline(shownSeat, money, o, msg->winMoneyLimit, msg->eventFundRate); };
  auto winnerVoice = [&](int32_t voice) {
    if (!scene->IsRobotSeat(win.winnerSeat)) scene->PlayVoice(voice, win.winnerSeat);
  };
  switch (msg->endType) {
    case kNormalEnd:
      SetResultKind(0);
      headline(outcome);
      FormatScoreBreakdown(*msg);
      break;
    case kFourOfMonth:
    case kThirdPuck:
      SetResultKind(msg->endType == kFourOfMonth ? kFourOfMonthKind : kThirdPuckKind);
      headline(outcome);
      FormatMoneyLine(*msg);
      winnerVoice(msg->endType == kFourOfMonth ? kFourOfMonthVoice : kThirdPuckVoice);
      break;
    case kForfeit:
      SetResultKind(0);
      outcome = outcome == kWin ? kForfeitWin : kForfeitLoss;
      headline(outcome);
      FormatMoneyLine(*msg);
      break;
    case kDrawEnd: {
      SetResultKind(0);
      FormatResultHeadline(-1, 0, kDraw, msg->winMoneyLimit, msg->eventFundRate);
      const int32_t mySeat = scene->GetSeatOfUser(scene->MyUserNo());
      const int32_t seat = MeSeated() ? mySeat : 0;
      if (!scene->IsRobotSeat(seat)) scene->PlayVoice(kDrawVoice, seat);
      break;
    }
    default:
      return 0;
  }
  if (ok_) ok_->Show(1);
  const bool great = totalMultiplier_ >= kGreatMultiplier;
  if (outcome == kWin) scene->PlaySceneEffect(great ? kGreatWinnerEffect : kWinnerEffect);
  if (outcome == kLoss) scene->PlaySceneEffect(great ? kGreatLoserEffect : kLoserEffect);
  Show(1);
  SetDirty(1);
  return 1;
}

void CVResultWnd::FormatResultHeadline(int32_t seat, int64_t money, int32_t outcome, BOOL winMoneyLimit,
                                       int32_t eventFundRate) {
  using namespace result_wnd;
  IPanelScene* scene = Scene();
  if (!scene) return;
  std::string name;
  if (seat == 0 || seat == 1) {
    name = scene->IsRobotSeat(seat) ? std::string(RobotPlayerName) : scene->Model().room.seats.Player(seat).nickname;
  }
  std::string fund;
  if (outcome == kWin || outcome == kForfeitWin) {
    fund = eventFundRate % kFundRateUnit == 0 ? FormatString(kFundWhole, eventFundRate / kFundRateUnit)
                                              : FormatString(kFundTenths, eventFundRate * (1.0 / kFundRateUnit));
  }
  std::string moneyText = FormatMoney(money, kMoneyPrecision);
  if ((outcome == kWin || outcome == kForfeitWin) && money > 0) moneyText = "+" + moneyText;
  const bool seated = MeSeated();
  const bool robot = RobotPlays();
  const int32_t roomState = scene->Model().room.roomState;
  auto icon = [&](int32_t frame) {
    if (!seated || !winLose_) return;
    winLose_->SetFrame(frame);
    winLose_->Show(1);
  };
  switch (outcome) {
    case kWin: {
      ShowText(headline_, name + kWinSuffix);
      icon(kWinIconFrame);
      ShowText(moneyText_, moneyText);
      if (robot) fund = roomState == kRobotItemRoom ? std::string() : std::string(kRobotNote);
      ShowText(note_, fund);
      if (winMoneyLimit && roomState >= kLimitRoomFirst && roomState <= kLimitRoomLast && !robot)
        if (GVWnd* mark = scene->WinMoneyLimitMark()) mark->Show(1);
      UpdateOptionToggle(1, 1);
      break;
    }
    case kLoss:
      ShowText(headline_, name + kLossSuffix);
      icon(kLossIconFrame);
      ShowText(moneyText_, moneyText);
      if (robot && roomState != kRobotItemRoom) ShowText(note_, kRobotNote);
      UpdateOptionToggle(1, 0);
      break;
    case kDraw:
      ShowText(headline_, std::string(kDrawHeadline) + kDrawHeadlineTail);
      UpdateOptionToggle(1, scene->Model().firstPlayerUserNo == scene->MyUserNo());
      break;
    case kForfeitWin:
      ShowText(headline_, name + kForfeitWinSuffix);
      icon(kWinIconFrame);
      ShowText(moneyText_, moneyText);
      ShowText(note_, fund);
      UpdateOptionToggle(1, 1);
      break;
    case kForfeitLoss:
      ShowText(headline_, name + kForfeitLossSuffix);
      icon(kLossIconFrame);
      ShowText(moneyText_, moneyText);
      UpdateOptionToggle(1, 0);
      break;
    default:
      break;
  }
}

void CVResultWnd::SetRow(bool category, int32_t row, const std::string& label, const std::string& value) {
  const auto r = static_cast<size_t>(row);
  (category ? categoryLabels_ : multiplierLabels_)[r]->SetText(label);
  (category ? categoryValues_ : multiplierValues_)[r]->SetText(value);
}

std::string CVResultWnd::MoneyPerPointPrefix() const {
  const CGameModel& model = Scene()->Model();
  const int64_t perPoint = int64_t{model.room.option.moneyPerPoint} * int64_t{model.stakeFactor};
  return FormatString(result_wnd::kMoneyPrefix, FormatInt64(perPoint).c_str());
}

void CVResultWnd::FormatScoreBreakdown(const GameResultMsg& msg) {
  using namespace result_wnd;
  IPanelScene* scene = Scene();
  if (!scene) return;
  const WinInfo& win = msg.winInfo;
  // A row's points and the sum are 64-bit: the server's values are not bounded.
  int32_t r = 0;
  int64_t sum = 0;
  auto category = [&](const char* label, int32_t points) {
    if (points <= 0 || r >= kRows) return;
    SetRow(true, r++, label, FormatString(kPointsFormat, points));
    sum += points;
  };
  for (const CategoryRow& row : kCategoryRows) category(row.label, win.categoryPoints.at(size_t(row.category)));
  category(kGoLabel, win.goPoints);
  if (sum != 0) pointSum_->SetText(FormatInt64(sum) + kPointsUnit);

  int32_t q = 0;
  int64_t total = 1;
  auto multiplier = [&](const char* label, int64_t factor) {
    if (q >= kRows) return;
    SetRow(false, q++, label, Times(factor));
    total = SaturatingProduct(total, factor);
  };
  if (win.missionMult > 1) {
    if (q < kRows) SetRow(false, q++, kMissionLabel, FormatString(kTimesFormat, win.missionMult));
    total = win.missionMult;
  }
  if (win.shakeExp > 0) multiplier(kShakeLabel, PowerOfTwo(win.shakeExp));
  if (msg.drawCount > 0) multiplier(kDrawLabel, PowerOfTwo(msg.drawCount));
  if (win.goExp > 0) multiplier(kGoLabel, PowerOfTwo(win.goExp));
  if (win.meongttaExp > 0) multiplier(kMeongttaLabel, PowerOfTwo(win.meongttaExp));
  for (const PenaltyRow& p : msg.penalties) {
    // Only a seat of the table with a place on the screen owes a penalty.
    if (p.seat != 0 && p.seat != 1) continue;
    if (scene->Model().room.seats.Player(p.seat).screenPos == PlayerInfo::kNoScreenPos) continue;
    if (p.gwangBak) multiplier(kBrightPenaltyLabel, kPenaltyFactor);
    if (p.piBak) multiplier(kJunkPenaltyLabel, kPenaltyFactor);
  }
  if (total > 1) {
    totalMultiplier_ = total;
    totalText_->SetText(Times(total));
  }
  ShowText(moneyLine_, MoneyPerPointPrefix() + FormatInt64(SaturatingProduct(total, sum)) + kPointsUnit);
  rowCount_ = std::max(r, q);
  SetResultKind(LoadExpandState(0) ? rowCount_ : 0);
  if (expand_) expand_->Show(1);
}

void CVResultWnd::FormatMoneyLine(const GameResultMsg& msg) {
  using namespace result_wnd;
  if (!Scene()) return;
  const int32_t draws = msg.drawCount;
  const int64_t m = PowerOfTwo(draws);
  const int64_t points = msg.winInfo.totalPoints / m;
  const std::string prefix = MoneyPerPointPrefix();
  ShowText(moneyLine_, draws > 0 ? prefix + kDrawLabel + Times(m) + " x " + FormatInt64(points) + kPointsUnit
                                 : prefix + FormatInt64(points) + kPointsUnit);
}

// ---- Layout ---------------------------------------------------------------------------------

void CVResultWnd::SetResultKind(int32_t kind) {
  using namespace result_wnd;
  layoutKind_ = kind;
  if (back_) {
    back_->SelectAnimation(kind);
    back_->Play(1, 1);
  }
  const bool unfolded = kind >= 1 && kind < kInstantKinds;
  for (int32_t r = 0; r < kRows; ++r) {
    const auto i = static_cast<size_t>(r);
    const BOOL show = unfolded && r < rowCount_;
    for (GVTextWnd* t : {categoryLabels_[i], categoryValues_[i], multiplierLabels_[i], multiplierValues_[i]})
      if (t) t->Show(show);
  }
  if (pointSum_) pointSum_->Show(unfolded);
  if (totalText_) totalText_->Show(unfolded);
  if (expand_) expand_->SetImageSet(unfolded ? 1 : 0);
  if (moneyLine_) moneyLine_->SetTextColor(unfolded ? kMoneyColour : kWhite);
  Layout();
}

void CVResultWnd::Layout() {
  using namespace result_wnd;
  const ResultLayout l = LayoutOf(layoutKind_);
  const GPoint b = l.base;
  struct Place {
    GVWnd* wnd;
    GSize offset;
  };
  const Place places[] = {
      {back_, kBackOffset},          {winLose_, kIconOffset},         {headline_, kHeadlineOffset},
      {moneyText_, kMoneyOffset},    {note_, kNoteOffset},            {expand_, kExpandOffset},
      {pointSum_, l.pointSum},       {totalText_, l.totalMultiplier}, {moneyLine_, l.moneyLine},
      {ok_, l.okButton},             {itemPanel_, l.itemPanel},       {autoStart_, kAutoStartOffset},
  };
  for (const Place& p : places)
    if (p.wnd) p.wnd->SetPos(b + p.offset);
  for (int32_t r = 0; r < kRows; ++r) {
    const auto i = static_cast<size_t>(r);
    for (GVTextWnd* t : {categoryLabels_[i], categoryValues_[i]})
      if (t) t->SetPos(b + RowOffset(kCategoryRow0, r));
    for (GVTextWnd* t : {multiplierLabels_[i], multiplierValues_[i]})
      if (t) t->SetPos(b + RowOffset(kMultiplierRow0, r));
  }
  if (Scene())
    if (GVWnd* mark = Scene()->WinMoneyLimitMark())
      mark->SetPos(GPoint(kWinMoneyLimitX, b.y + kMoneyOffset.cy - kWinMoneyLimitRise));
  SetRect(GRect(b, kSize));
}

void CVResultWnd::SetItemPanelShown(BOOL) {
  Layout();
  SetDirty(1);
}

void CVResultWnd::UpdateOptionToggle(BOOL show, BOOL enable) {
  IPanelScene* scene = Scene();
  if (!scene || !autoStart_ || !MeSeated() || RobotPlays() || scene->Model().AntiLeaveHolds()) return;
  autoStart_->SetImageSet(scene->Model().autoStart ? 1 : 0);
  autoStart_->Enable(enable);
  autoStart_->Show(show);
}

// ---- The stored folding choice ---------------------------------------------------------------

BOOL CVResultWnd::LoadExpandState(BOOL reload) {
  if (reload && Scene()) {
    uint32_t value = 0;
    expanded_ = Scene()->ReadOptionDword(kExpandValue, &value) ? (value != 0 ? 1 : 0) : 1;
  }
  return expanded_;
}

void CVResultWnd::SaveExpandState(BOOL expanded) {
  expanded_ = expanded ? 1 : 0;
  if (Scene()) Scene()->SaveOptionDword(kExpandValue, static_cast<uint32_t>(expanded_));
}

// ---- Input ----------------------------------------------------------------------------------

BOOL CVResultWnd::OnKeyDown(UINT key, UINT, UINT) {
  using namespace result_wnd;
  if ((key == kKeySpace || key == kKeyF1) && ok_ && ok_->IsVisible() && Scene()) {
    Scene()->SendResultDone();
    Scene()->CloseResultWnd();
  }
  return 0;
}

BOOL CVResultWnd::OnLButtonUp(UINT keyFlags, GPoint pt) {
  using namespace result_wnd;
  auto isButton = [this](GVWnd* w) { return w == expand_ || w == ok_ || w == autoStart_; };
  auto onRelease = [this](GVWnd* w, BOOL clicked) {
    IPanelScene* scene = Scene();
    if (!clicked || !scene) return true;
    if (w == expand_) {
      if (expand_->ImageSet() == 0) {
        expand_->SetImageSet(1);
        SetResultKind(rowCount_);
        SaveExpandState(1);
      } else {
        expand_->SetImageSet(0);
        SetResultKind(0);
        SaveExpandState(0);
      }
      scene->PlaySceneEffect(kClickEffect);
    } else if (w == ok_) {
      scene->SendResultDone();
      scene->CloseResultWnd();
      scene->PlaySceneEffect(kClickEffect);
    } else {
      int32_t& autoStart = scene->Model().autoStart;
      autoStart = autoStart ? 0 : 1;
      autoStart_->SetImageSet(autoStart);
    }
    return true;
  };
  return panel_mouse::RouteButtonUp(*this, tracked_, keyFlags, pt, isButton, onRelease);
}

BOOL CVResultWnd::OnMouseMove(UINT keyFlags, GPoint pt) {
  return panel_mouse::RouteMouseMove(*this, tracked_, keyFlags, pt);
}
