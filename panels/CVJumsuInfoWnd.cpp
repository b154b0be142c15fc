#include "panels/CVJumsuInfoWnd.h"

#include <limits>
#include <string>

#include "base/TextUtil.h"
#include "plat/time.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"

namespace jumsu_info_wnd {

constexpr int64_t kLargeFormScore = 7;
constexpr int32_t kLargeFormMultiplier = 2;
// The total and its placeholder together fill this many digit places.
constexpr size_t kTotalPlaces = 7;
constexpr int32_t kPlaceholderDigit = 8;
// The sign sits left of the multiplier's digits, one digit place per missing digit.
constexpr int32_t kSignPlaces = 5;
constexpr int32_t kSignStep = 7;
constexpr int32_t kSignDrop = 1;
// Blink phases: highlight B over the even phases up to kLastBPhase, A between, and
// the blink ends at kEndPhase.
constexpr uint32_t kLastBPhase = 4;
constexpr uint32_t kEndPhase = 9;
constexpr int32_t kLabelSmallFrame = 0;
constexpr int32_t kLabelLargeFrame = 1;

// The length of a number as the layer's "%ld" writes it. A value beyond 32 bits has
// ten digits or more, so it needs no exact count here.
size_t DecimalLength(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return std::numeric_limits<int32_t>::digits10 + 1;
  return FormatString("%ld", static_cast<int32_t>(value)).size();
}

int64_t Eights(size_t count) {
  int64_t value = 0;
  for (size_t i = 0; i < count; ++i) value = value * 10 + kPlaceholderDigit;
  return value;
}

}  // namespace jumsu_info_wnd

void CVJumsuInfoWnd::InitMembers() {
  CVSeatPanelWnd::InitMembers();
  numbers_.fill(nullptr);
  sprites_.fill(nullptr);
  skin_ = 0;
  lastScore_ = 0;
  blinkStart_ = 0;
  blinking_ = 0;
}

int32_t CVJumsuInfoWnd::Create(IPanelScene* scene, int32_t screenPos) {
  if (!BeginCreate(scene, screenPos)) return 0;
  const GPoint base = kBases[screenPos];
  for (const ChildRow& row : kChildren) {
    const GPoint pos = base + row.offsets[screenPos];
    const auto slot = static_cast<size_t>(row.slot);
    const bool made = row.number
                          ? Adopt(scene->CreatePSPNumberWnd(*row.path, pos, row.size, row.style, row.spacing, 0),
                                  numbers_.at(slot), 0)
                          : Adopt(scene->CreatePSPWnd(*row.path, pos, 0), sprites_.at(slot), 0);
    if (!made) return 0;
  }
  numbers_[kPlaceholder]->SetBlendLevel(kPlaceholderBlend);
  FinishCreate(base, kSize);
  return 1;
}

void CVJumsuInfoWnd::Update(const CHTUser& seat) {
  const int64_t score = int64_t{seat.points} + seat.goCount;
  const int32_t multiplier = seat.multiplier;
  int64_t total = 0;
  // Outside data: a product beyond 64 bits wraps instead of being undefined.
  __builtin_mul_overflow(score, int64_t{multiplier}, &total);
  for (const Number n : {kSmall, kLarge, kHighlightA, kHighlightB}) {
    if (numbers_[n]) numbers_[n]->SetNumber(score);
  }
  if (numbers_[kMultiplier]) numbers_[kMultiplier]->SetNumber(multiplier);
  if (numbers_[kTotal]) numbers_[kTotal]->SetNumber(total);
  HideAll();
  if (score <= 0) {
    blinking_ = 0;
  } else if (score >= jumsu_info_wnd::kLargeFormScore && multiplier >= jumsu_info_wnd::kLargeFormMultiplier) {
    ShowLargeForm(total);
  } else {
    ShowSmallForm(score);
  }
  lastScore_ = score;
  if (multiplier > 1) ShowMultiplier(multiplier);
  SetDirty(1);
}

void CVJumsuInfoWnd::ShowLargeForm(int64_t total) {
  ShowNumber(kLarge, 1);
  if (sprites_[kLabel]) sprites_[kLabel]->SetFrame(jumsu_info_wnd::kLabelLargeFrame);
  ShowSprite(kTotalBack, 1);
  const size_t length = jumsu_info_wnd::DecimalLength(total);
  if (length < jumsu_info_wnd::kTotalPlaces) {
    if (numbers_[kPlaceholder]) numbers_[kPlaceholder]->SetNumber(jumsu_info_wnd::Eights(jumsu_info_wnd::kTotalPlaces - length));
    ShowNumber(kPlaceholder, 1);
  }
  ShowNumber(kTotal, 1);
  // The large form never blinks.
  blinking_ = 0;
  ShowNumber(kHighlightA, 0);
  ShowNumber(kHighlightB, 0);
  ShowSprite(kLabel, 1);
}

void CVJumsuInfoWnd::ShowSmallForm(int64_t score) {
  ShowNumber(kSmall, 1);
  if (sprites_[kLabel]) sprites_[kLabel]->SetFrame(jumsu_info_wnd::kLabelSmallFrame);
  if (score > lastScore_) {
    blinking_ = 1;
    blinkStart_ = timeGetTime();
  }
  ShowSprite(kLabel, 1);
}

void CVJumsuInfoWnd::ShowMultiplier(int32_t multiplier) {
  GVPSPNumberWnd* digits = numbers_[kMultiplier];
  GVPSPWnd* sign = sprites_[kSign];
  if (!digits || !sign) return;
  const GPoint p = digits->GetPos();
  const auto missing = jumsu_info_wnd::kSignPlaces - static_cast<int32_t>(jumsu_info_wnd::DecimalLength(multiplier));
  sign->SetPos(GPoint(p.x + missing * jumsu_info_wnd::kSignStep, p.y + jumsu_info_wnd::kSignDrop));
  sign->Show(1);
  digits->Show(1);
}

int32_t CVJumsuInfoWnd::TickBlink() {
  if (!blinking_) return 0;
  // Unsigned: the difference stays right across the clock's 32-bit wrap.
  const uint32_t phase = (timeGetTime() - blinkStart_) / kBlinkPhaseMs;
  if (phase <= jumsu_info_wnd::kLastBPhase && phase % 2 == 0) {
    ShowNumber(kHighlightA, 0);
    ShowNumber(kHighlightB, 1);
  } else {
    ShowNumber(kHighlightB, 0);
    ShowNumber(kHighlightA, phase < jumsu_info_wnd::kEndPhase ? 1 : 0);
    if (phase >= jumsu_info_wnd::kEndPhase) blinking_ = 0;
  }
  SetDirty(1);
  return 1;
}

void CVJumsuInfoWnd::ResetScore() {
  HideAll();
  lastScore_ = 0;
  blinking_ = 0;
  blinkStart_ = 0;
  SetDirty(1);
}

void CVJumsuInfoWnd::ShowNumber(Number n, BOOL show) {
  if (GVPSPNumberWnd* w = numbers_.at(static_cast<size_t>(n))) w->Show(show);
}

void CVJumsuInfoWnd::ShowSprite(Sprite s, BOOL show) {
  if (GVPSPWnd* w = sprites_.at(static_cast<size_t>(s))) w->Show(show);
}
