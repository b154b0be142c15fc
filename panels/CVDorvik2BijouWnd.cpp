#include "panels/CVDorvik2BijouWnd.h"

#include "panels/CVQLATextWnd.h"
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

}  // namespace bijou_wnd

int32_t CVDorvik2BijouWnd::Tick() {
  Note("CVDorvik2BijouWnd::Tick");
  return 0;
}

void CVDorvik2BijouWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  back_ = full_ = kindPicture_ = nullptr;
  kindAnim_ = gainAnim_ = nullptr;
  digits_ = nullptr;
  gainText_ = nullptr;
  active_ = pendingA_ = pendingB_ = 0;
  countdown_ = count_ = gained_ = 0;
  member_ = 1;
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
