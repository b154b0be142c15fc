// The anti-leave panel's children.
#include "panels/CVRestrictOptionWnd.h"

#include "tables/PanelPaths.h"
#include "widgets/GVQLSWnd.h"
#include "widgets/GVTextWnd.h"

namespace restrict_option {

constexpr GPoint kBase(537, 141);
constexpr GSize kPanelSize(89, 49);
constexpr GSize kCaptionOffset(20, 23);
constexpr GSize kCaptionSize(54, 16);
constexpr COLORREF kCaptionColour = 0x99FFFE;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 400;
constexpr UINT kCentred = 1;

}  // namespace restrict_option

void CVRestrictOptionWnd::InitMembers() {
  CVPanelWnd::InitMembers();
  back_ = nullptr;
  caption_ = nullptr;
}

int32_t CVRestrictOptionWnd::Create(IPanelScene* scene) {
  using namespace restrict_option;
  SetScene(scene);
  if (!scene) return 0;
  // The back shows only with the room's anti-leave state.
  if (!Adopt(scene->CreateQLSWnd(AntiLeaveBackPath, kBase, 0), back_, 0)) return 0;
  if (!Adopt(scene->CreateTextWnd(kBase + kCaptionOffset, kCaptionSize, "", kCaptionColour, kFontHeight, kFontWeight),
             caption_, 1))
    return 0;
  caption_->SetTextFormat(kCentred);
  SetRect(GRect(kBase, kPanelSize));
  Show(0);
  Enable(0);
  return 1;
}

void CVRestrictOptionWnd::Close() { Note("CVRestrictOptionWnd::Close"); }
