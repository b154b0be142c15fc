#include "panels/CVItemWnd.h"

#include "panels/CVPSPPushBtn.h"
#include "panels/PanelText.h"
#include "tables/PanelPaths.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLSWnd.h"

namespace item_wnd {

// Offsets from the panel's position; row r of the choice lies kRowStep x r lower.
constexpr GSize kMarkOffset{112, 20};
constexpr GSize kTextOffset{125, 22};
constexpr int32_t kRowStep = 17;
constexpr GSize kButtonOffset{192, 26};
constexpr int32_t kButtonSets = 1;
constexpr PanelTextLook kChoiceLook{{65, 12}, 0x7BF6F8, 12, 400, DT_LEFT};
constexpr PanelTextLook kTipLook{{12, 12}, 0x000000, 12, 400, DT_CENTER};
constexpr GSize kTipBoxSize{16, 16};
constexpr COLORREF kTipBoxColour = 0xE1FFFF;
constexpr int32_t kSolidFill = 0;  // a level below 1 fills without blending

GSize RowOffset(GSize offset, int32_t row) { return offset + GSize(0, kRowStep * row); }

}  // namespace item_wnd

void CVItemWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  tracked_ = nullptr;
  back_ = nullptr;
  marks_.fill(nullptr);
  texts_.fill(nullptr);
  tipBox_ = nullptr;
  tipText_ = nullptr;
  withdraw_ = nullptr;
  itemIndex_ = -1;
  offer_ = 0;
  amounts_.fill(0);
  available_.fill(0);
  selected_ = 0;
}

int32_t CVItemWnd::Create(IPanelScene* scene) {
  using namespace item_wnd;
  SetScene(scene);
  const GPoint origin(0, 0);
  if (!Adopt(scene->CreateQLSWnd(ItemBackPath, origin, 0), back_, 0)) return 0;
  for (int32_t r = 0; r < kChoiceRows; ++r) {
    const auto i = static_cast<size_t>(r);
    if (!Adopt(scene->CreatePSPWnd(ItemChoiceMarkPath, origin + RowOffset(kMarkOffset, r), 0), marks_[i], 0)) return 0;
    marks_[i]->Enable(1);
    if (!Adopt(CreatePanelText(*scene, origin + RowOffset(kTextOffset, r), kChoiceLook), texts_[i], 1)) return 0;
  }
  if (!Adopt(scene->CreateBoxWnd(origin, kTipBoxSize, kTipBoxColour, 0, kSolidFill), tipBox_, 0)) return 0;
  if (!Adopt(CreatePanelText(*scene, origin, kTipLook), tipText_, 1)) return 0;
  if (!Adopt(scene->CreatePSPPushBtn(ItemWithdrawButtonPath, origin + kButtonOffset, 0, kButtonSets), withdraw_, 0))
    return 0;
  SetRect(GRect(origin, kSize));
  Show(0);
  Enable(1);
  return 1;
}

void CVItemWnd::SetPos(GPoint pt) {
  GVWnd::SetPos(pt);
  LayoutChildren();
}

void CVItemWnd::LayoutChildren() {
  using namespace item_wnd;
  const GPoint at = GetPos();
  if (back_) back_->SetPos(at);
  for (int32_t r = 0; r < kChoiceRows; ++r) {
    const auto i = static_cast<size_t>(r);
    if (marks_[i]) marks_[i]->SetPos(at + RowOffset(kMarkOffset, r));
    if (texts_[i]) texts_[i]->SetPos(at + RowOffset(kTextOffset, r));
  }
  if (withdraw_) withdraw_->SetPos(at + kButtonOffset);
  if (tipBox_) tipBox_->Show(0);
  if (tipText_) tipText_->Show(0);
}
