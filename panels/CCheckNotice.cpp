// Reading the host's notice text into the ticker's state, and the ticker's resources.
#include "panels/CCheckNotice.h"

#include "base/TextUtil.h"
#include "plat/time.h"
#include "tables/PanelPaths.h"
#include "widgets/GVSpriteSupport.h"

namespace {

constexpr char kFieldSeparator = '#';
constexpr char kValueSeparator = '=';

constexpr GRect kStripRect(0, 0, 800, 17);
constexpr GPoint kHeadPos(0, 0);
// The first of two digits stands left of the second.
constexpr GPoint kFirstDigitPos(-7, 0);
constexpr GPoint kSecondDigitPos(0, 0);
// The line scrolls through (96, 5)-(274, 17).
constexpr GRect kLineRect(96, 5, 274, 17);
constexpr int32_t kScrollMs = 4000;
constexpr int32_t kLineSprite = 0;

// Sub-animations of the set: the heads by type and look, the digits 0..9 from 1, the
// short-time single digits 0..4 from 14, and the warning sequence.
constexpr int32_t kHeadType0 = 11;
constexpr int32_t kHeadType0Short = 13;
constexpr int32_t kHeadType1 = 0;
constexpr int32_t kHeadType1Short = 12;
constexpr int32_t kDigitBase = 1;
constexpr int32_t kShortDigitBase = 14;
// A single-digit time below this shows in the short-time look.
constexpr int32_t kShortTimeBelow = 5;
constexpr int32_t kWarningIntro = 24;
constexpr int32_t kFirstWarningLoop = 26;
constexpr int32_t kWarningOutro = 25;
constexpr int32_t kSecondWarningLoop = 27;
constexpr int32_t kMaxTimeDigits = 2;
constexpr int32_t kPlayOnce = 1;
constexpr int32_t kPlayForever = -1;

// One or two ASCII digits; anything else would index the set with a non-digit.
bool IsTimeValue(const std::string& time) {
  if (time.empty() || time.size() > size_t(kMaxTimeDigits)) return false;
  for (char c : time)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

int32_t CCheckNotice::Create(IPanelScene* scene) {
  scene_ = scene;
  SetRect(kStripRect);
  Show(1);
  Enable(0);
  return 1;
}

int32_t CCheckNotice::LoadCheckNotice(std::string imageFolder) {
  const int32_t animations = animations_.Load((imageFolder + CheckNoticeAnimPath).c_str());
  headPos_ = kHeadPos;
  firstDigitPos_ = kFirstDigitPos;
  secondDigitPos_ = kSecondDigitPos;
  line_.Clear();
  line_.Set(kLineRect.left, kLineRect.top, kLineRect.Width(), kLineRect.Height(), kScrollMs, 0, 0);
  const int32_t line =
      line_.AddSpriteLine((imageFolder + CheckNoticeLinePath).c_str(), kLineSprite, kLineRect.Width(), kScrollMs);
  return animations && line >= 0 ? 1 : 0;
}

std::string CCheckNotice::FieldValue(std::string_view notice, std::string_view name) {
  size_t start = 0;
  while (start < notice.size()) {
    const size_t end = notice.find(kFieldSeparator, start);
    const std::string_view field = notice.substr(start, end == std::string_view::npos ? end : end - start);
    if (!field.empty()) {
      const size_t eq = field.find(kValueSeparator);
      const std::string_view namePart = eq == std::string_view::npos ? field : field.substr(0, eq);
      if (namePart.find(name) != std::string_view::npos) {
        return std::string(eq == std::string_view::npos ? field : field.substr(eq + 1));
      }
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return std::string();
}

std::string CCheckNotice::ParseNoticeText(std::string notice) {
  shown_ = 0;
  stage_ = kStageNone;
  time_ = 0;
  timeDigits_ = 0;
  const std::string type = FieldValue(notice, "TYPE");
  if (type.empty()) return std::string();
  const std::string time = FieldValue(notice, "TIME");
  if (!IsTimeValue(time)) return std::string();
  type_ = LeadingInt32(type);
  time_ = LeadingInt32(time);
  timeDigits_ = static_cast<int32_t>(time.size());
  const bool shortLook = timeDigits_ < kMaxTimeDigits && time_ < kShortTimeBelow;
  if (type_ == 0) Bind(head_, shortLook ? kHeadType0Short : kHeadType0);
  if (type_ == 1) Bind(head_, shortLook ? kHeadType1Short : kHeadType1);
  if (timeDigits_ >= kMaxTimeDigits) {
    Bind(firstDigit_, time[0] - '0' + kDigitBase);
    Bind(secondDigit_, time[1] - '0' + kDigitBase);
    firstDigit_.Play(kPlayOnce);
  } else {
    // An earlier notice's tens digit must not stand beside this one.
    firstDigit_.Stop();
    Bind(secondDigit_, time_ + (time_ < kShortTimeBelow ? kShortDigitBase : kDigitBase));
  }
  secondDigit_.Play(kPlayOnce);
  if (time_ <= kWarningTimeLimit) {
    Bind(warningIntro_, kWarningIntro);
    Bind(firstWarningLoop_, kFirstWarningLoop);
    Bind(warningOutro_, kWarningOutro);
    Bind(secondWarningLoop_, kSecondWarningLoop);
    stage_ = kStageHeadWithWarning;
  } else {
    stage_ = kStageHeadOnly;
  }
  head_.Play(kPlayOnce);
  shown_ = 1;
  return FieldValue(notice, "MSG");
}

void CCheckNotice::Bind(K_Animation& player, int32_t index) {
  const bool inSet = index >= 0 && index < animations_.GetAnimationCount();
  player.SetRsc(inSet ? animations_.GetSubAnimation(index) : nullptr);
}

void CCheckNotice::StopNotice() {
  shown_ = 0;
  for (int32_t p = 0; p < kPlayers; ++p) EditPlayer(Player(p)).Stop();
  line_.SeekEnd();
  stage_ = kStageNone;
}

void CCheckNotice::UpdateNotice(uint32_t now) {
  if (!shown_) return;
  if (stage_ & kStageHeadBits) {
    head_.Step(now);
    firstDigit_.Step(now);
    secondDigit_.Step(now);
    if (head_.IsAtRest()) {
      stage_ = kStageIntro;
      warningIntro_.Play(kPlayOnce);
    }
  }
  if (!(stage_ & kStageWarning)) return;
  if (stage_ & kStageIntroBit) {
    warningIntro_.Step(now);
    if (warningIntro_.IsAtRest()) {
      stage_ = kStageLoops;
      firstWarningLoop_.Play(kPlayForever);
      secondWarningLoop_.Play(kPlayForever);
      line_.Start();
    }
  }
  if (stage_ & kStageLoopBit) {
    firstWarningLoop_.Step(now);
    secondWarningLoop_.Step(now);
    // Without a line the loops run until the notice is stopped.
    if (line_.HasLines() && line_.Update(now, 0, 0) == CScroll_Text::kAllDone) {
      stage_ = kStageOutro;
      warningOutro_.Play(kPlayOnce);
      firstWarningLoop_.Stop();
      secondWarningLoop_.Stop();
    }
  }
  if (stage_ & kStageOutroBit) {
    warningOutro_.Step(now);
    if (warningOutro_.IsAtRest()) {
      stage_ = kStageNone;
      shown_ = 0;
    }
  }
}

void CCheckNotice::DrawNotice(K_Dib& target) {
  if (!shown_) return;
  if (stage_ & kStageHeadBits) {
    DrawPlayer(kHead, target, headPos_);
    DrawPlayer(kFirstDigit, target, firstDigitPos_);
    DrawPlayer(kSecondDigit, target, secondDigitPos_);
  }
  if (!(stage_ & kStageWarning)) return;
  DrawPlayer(kIntro, target, headPos_);
  DrawPlayer(kFirstLoop, target, headPos_);
  if (stage_ & kStageLoopBit) line_.Draw(&target);
  DrawPlayer(kSecondLoop, target, headPos_);
  DrawPlayer(kOutro, target, headPos_);
}

void CCheckNotice::DrawPlayer(Player p, K_Dib& target, GPoint at) {
  K_Animation& player = EditPlayer(p);
  if (player.CurrentFrame() < 0) return;
  player.Draw(target, at.x, at.y, 0);
}

BOOL CCheckNotice::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  // The shown flag, not the widget's visibility, decides: the strip stays visible.
  if (!shown_) return 1;
  GVSpriteCanvas canvas(target, clip);
  UpdateNotice(timeGetTime());
  if (canvas.Image()) DrawNotice(*canvas.Image());
  SetDirty(1);
  return 1;
}

const K_Animation& CCheckNotice::PlayerOf(Player p) const {
  switch (p) {
    case kHead: return head_;
    case kFirstDigit: return firstDigit_;
    case kSecondDigit: return secondDigit_;
    case kIntro: return warningIntro_;
    case kFirstLoop: return firstWarningLoop_;
    case kSecondLoop: return secondWarningLoop_;
    default: return warningOutro_;
  }
}

int32_t CCheckNotice::BoundIndex(Player p) {
  const K_Animation_RSC* bound = PlayerOf(p).GetRsc();
  for (int32_t i = 0; bound && i < animations_.GetAnimationCount(); ++i)
    if (animations_.GetSubAnimation(i) == bound) return i;
  return -1;
}
