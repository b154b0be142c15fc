#include "panels/CVDorvik2BijouWnd.h"

#include <limits>
#include <string>

#include "host/RCUser.h"
#include "panels/CVQLATextWnd.h"
#include "plat/time.h"
#include "tables/PanelPaths.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace bijou_wnd {

// Offsets from the base; the kind animation plays where the kind picture stands, and
// the gain animation where the gain text rises.
constexpr GSize kBackOffset{0, 0};
constexpr GSize kKindOffset{27, 10};
constexpr GSize kDigitsOffset{69, 35};
constexpr GSize kDigitsSize{44, 14};
constexpr int32_t kDigitSpacing = 0;
constexpr GSize kGainOffset{20, 30};
constexpr GSize kGainSize{80, 30};
constexpr GSize kGainCharSize{20, 30};
constexpr int32_t kGainSpacing = -2;
constexpr int32_t kGainCentred = 1;
constexpr const char* kGainAnimation = "dama";
constexpr int32_t kMemberCap = 5000;
constexpr int32_t kCap = 1200;
constexpr int32_t kKinds = 5;  // kinds 1..5; kind 0 shows none
constexpr int32_t kNoKindAnimation = 4;
constexpr int32_t kGainIntervalMs = 50;
// The gain animation rises beside the gain text's first character.
constexpr int32_t kGainAnimLeft = 20;
constexpr int32_t kCountdownSteps = 7;
constexpr uint32_t kCountdownStepMs = 300;

// n added to a count the server keeps feeding, stopping at the largest count.
int32_t SaturatingAdd(int32_t count, int32_t n) {
  return count > std::numeric_limits<int32_t>::max() - n ? std::numeric_limits<int32_t>::max() : count + n;
}

}  // namespace bijou_wnd

void CVDorvik2BijouWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  back_ = full_ = kindPicture_ = nullptr;
  kindAnim_ = gainAnim_ = nullptr;
  digits_ = nullptr;
  gainText_ = nullptr;
  active_ = pendingA_ = pendingB_ = 0;
  countdown_ = count_ = gained_ = 0;
  member_ = 1;
  stepTime_ = 0;
}

int32_t CVDorvik2BijouWnd::Create(IPanelScene* scene) {
  using namespace bijou_wnd;
  SetScene(scene);
  const GPoint b = kBase;
  if (!Adopt(scene->CreatePSPWnd(BijouBackPath, b + kBackOffset, 0), back_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(BijouFullPicturePath, b + kBackOffset, 0), full_, 0)) return 0;
  if (!Adopt(scene->CreateQLAniWnd(BijouKindAnimPath, b + kKindOffset), kindAnim_, 0)) return 0;
  if (!Adopt(scene->CreatePSPWnd(BijouKindPicturePath, b + kKindOffset, 0), kindPicture_, 0)) return 0;
  if (!Adopt(scene->CreatePSPNumberWnd(BijouCountDigitsPath, b + kDigitsOffset, kDigitsSize,
                                       GVPSPNumberWnd::kRightAligned, kDigitSpacing, 0),
             digits_, 0))
    return 0;
  if (!Adopt(scene->CreateQLATextWnd(BijouGainTextPath, b + kGainOffset, kGainSize, kGainCharSize, kGainSpacing,
                                     kGainCentred),
             gainText_, 0))
    return 0;
  if (!Adopt(scene->CreateQLAniWnd(BijouGainAnimPath, b + kGainOffset), gainAnim_, 0)) return 0;
  gainAnim_->SelectAnimationByName(kGainAnimation);
  SetRect(GRect(b, kSize));
  Show(0);
  return 1;
}

int32_t CVDorvik2BijouWnd::Cap() const { return member_ ? bijou_wnd::kMemberCap : bijou_wnd::kCap; }

int32_t CVDorvik2BijouWnd::HideAll() {
  pendingA_ = pendingB_ = 0;
  CVPanelWnd::HideAll();
  return Scene() ? Scene()->ShowPromotionBanner(0) : 0;
}

int32_t CVDorvik2BijouWnd::Start(BOOL active, int32_t kind, int32_t count, int32_t /*flag*/) {
  HideAll();
  active_ = active;
  count_ = count;
  gained_ = 0;
  if (!active) {
    SetDirty(1);
    return 1;
  }
  const RCUser& me = Scene()->MyUserRecord();
  member_ = me.itemMoney.at(ITEM_MONEY_MEMBER_A) != 0 || me.itemMoney.at(ITEM_MONEY_MEMBER_B) > 0 ? 1 : 0;
  if (count_ < Cap()) {
    if (count_ < 0 || kind < 0 || kind > bijou_wnd::kKinds) return 0;
    digits_->SetNumber(0);
    digits_->Show(1);
    if (kind > 0) {
      kindPicture_->SetFrame(kind - 1);
      kindPicture_->Show(1);
    }
    back_->Show(1);
  } else {
    count_ = Cap();
    full_->Show(1);
  }
  SetDirty(1);
  return 1;
}

int32_t CVDorvik2BijouWnd::AddCount(int32_t n) {
  using namespace bijou_wnd;
  if (count_ >= Cap() || !active_ || n < 0) return 0;
  count_ = SaturatingAdd(count_, n);
  gained_ = SaturatingAdd(gained_, n);
  gainText_->SetText("+" + std::to_string(n));
  gainText_->Play(0, 1, kGainIntervalMs);
  if (member_) {
    const GPoint first = gainText_->CharCount() > 0 ? gainText_->Char(0)->GetPos() : GPoint(0, 0);
    gainAnim_->SetPos(first - GSize(kGainAnimLeft, 0));
    gainAnim_->Play(1, 0);
  }
  digits_->SetNumber(gained_);
  digits_->Show(1);
  SetDirty(1);
  return 1;
}

void CVDorvik2BijouWnd::ShowKind(int32_t kind) {
  using namespace bijou_wnd;
  if (count_ >= Cap() || kind < 0 || kind > kKinds) return;
  if (kind == 0) {
    kindAnim_->SelectAnimation(kNoKindAnimation);
    kindAnim_->Play(1, 0);
    kindPicture_->Show(0);
    return;
  }
  kindPicture_->SetFrame(kind - 1);
  kindPicture_->Show(1);
  kindAnim_->SelectAnimation(kind - 1);
  kindAnim_->Play(1, 0);
}

int32_t CVDorvik2BijouWnd::StartCountdown(BOOL a, BOOL b) {
  if (count_ >= Cap() || !active_) return 0;
  if (a) pendingA_ = 1;
  if (b) pendingB_ = 1;
  if (a || b) countdown_ = bijou_wnd::kCountdownSteps;
  SetDirty(1);
  return 1;
}

int32_t CVDorvik2BijouWnd::Update() {
  if (!active_ || !kindAnim_) return 0;
  // Each advances on every tick, whatever the others did.
  const BOOL kindMoved = kindAnim_->IsVisible() && kindAnim_->Update();
  const BOOL textMoved = gainText_->IsVisible() && gainText_->Tick() != 0;
  const BOOL gainMoved = gainAnim_->IsVisible() && gainAnim_->Update();
  const int32_t changed = kindMoved || textMoved || gainMoved ? 1 : 0;
  if (!pendingA_ && !pendingB_) {
    if (changed) SetDirty(1);
    return changed;
  }
  if (countdown_ < 1) {
    pendingA_ = pendingB_ = 0;
    if (count_ >= Cap()) {
      HideAll();
      full_->Show(1);
    }
  } else if (const uint32_t now = timeGetTime(); now - stepTime_ > bijou_wnd::kCountdownStepMs) {
    --countdown_;
    stepTime_ = now;
  }
  SetDirty(1);
  return 1;
}
