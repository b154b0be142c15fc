#include "panels/CVCountWnd.h"

#include "base/TextUtil.h"
#include "widgets/GVTextWnd.h"

namespace count_wnd {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontWeight = 700;
constexpr UINT kCentred = 1;

}  // namespace count_wnd

CVCountWnd::~CVCountWnd() { delete text_; }

int32_t CVCountWnd::Create(IPanelScene* scene) {
  text_ = scene->CreateTextWnd(GPoint(0, 0), kTextSize, "", count_wnd::kWhite, count_wnd::kFontHeight,
                               count_wnd::kFontWeight);
  if (!text_) return 0;
  text_->SetTextFormat(count_wnd::kCentred);
  return 1;
}

void CVCountWnd::SetPos(GPoint pt) {
  GVDDSWnd::SetPos(pt);
  if (text_) text_->SetPos(pt + kTextOffset);
}

void CVCountWnd::SetCount(int32_t n) {
  const bool shown = n >= 1;
  if (text_) text_->SetText(shown ? FormatString("%d", n) : std::string());
  Show(shown ? 1 : 0);
  SetDirty(1);
}

BOOL CVCountWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  if (!GVDDSWnd::Draw(target, clip)) return 0;
  return text_ && text_->Draw(target, clip) > 0 ? 1 : 0;
}
