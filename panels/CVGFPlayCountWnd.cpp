// The play-count panel's children.
#include "panels/CVGFPlayCountWnd.h"

#include "panels/CVPSPPushBtn.h"
#include "tables/PanelPaths.h"
#include "widgets/GVDDSWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVTextWnd.h"

namespace play_count {

constexpr GPoint kBase(108, 0);
constexpr GSize kPanelSize(67, 21);
// Set 0 without a membership, set 1 with one.
constexpr int32_t kInfoButtonSets = 2;
constexpr GSize kGaugeOffset(4, 16);
constexpr GSize kCountOffset(5, 5);
constexpr GSize kCountSize(36, 14);
constexpr COLORREF kCountColour = 0x00FF00;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;
constexpr UINT kRightAligned = 2;

}  // namespace play_count

void CVGFPlayCountWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  alert_ = nullptr;
  gauge_ = nullptr;
  countText_ = nullptr;
  infoButton_ = nullptr;
  limitNoticeSent_ = 0;
}

int32_t CVGFPlayCountWnd::Create(IPanelScene* scene) {
  using namespace play_count;
  SetScene(scene);
  if (!scene) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(PlayCountInfoButtonPath, kBase, 1, kInfoButtonSets), infoButton_, 1)) return 0;
  // The gauge is one cell of its picture, keyed, and hidden until a count arrives.
  if (!Adopt(scene->CreateDDSWnd(PlayCountGaugePath, kBase + kGaugeOffset, 1, 0, 1, 1), gauge_, 0)) return 0;
  if (!Adopt(scene->CreateTextWnd(kBase + kCountOffset, kCountSize, "", kCountColour, kFontHeight, kFontWeight),
             countText_, 1))
    return 0;
  countText_->SetTextFormat(kRightAligned);
  if (!Adopt(scene->CreateQLAniWnd(PlayCountAlertAnimPath, kBase), alert_, 0)) return 0;
  SetRect(GRect(kBase, kPanelSize));
  Show(0);
  Enable(1);
  return 1;
}

int32_t CVGFPlayCountWnd::Tick() {
  Note("CVGFPlayCountWnd::Tick");
  return 0;
}

void CVGFPlayCountWnd::Reset() { Note("CVGFPlayCountWnd::Reset"); }
