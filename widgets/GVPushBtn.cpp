// The push button: the state machine of the mouse operations, the choice of strip cell
// or layered frame for each state, the strip and frame loaders and the hover text.
#include "widgets/GVPushBtn.h"

#include "graphics/XBaseEntry.h"
#include "plat/gdi.h"
#include "plat/winuser.h"
#include "widgets/GVTextWnd.h"
#include "widgets/GVWS.h"

namespace {

constexpr uint32_t kHitShownAndEnabled = GVWnd::kHitVisible | GVWnd::kHitEnabled;
constexpr size_t kStateCount = 4;
enum StateFrame : size_t { kNormal = 0, kHighlighted = 1, kPressed = 2, kDisabled = 3 };
constexpr int32_t kHoverTextPadding = 6;
constexpr int32_t kHoverTextFontHeight = 14;
constexpr int32_t kHoverTextFontWeight = 400;

BOOL& HoverTextSwitch() {
  static BOOL on = 0;
  return on;
}

}  // namespace

void GVPushBtn::SetHoverTextSwitch(BOOL on) { HoverTextSwitch() = on; }
BOOL GVPushBtn::GetHoverTextSwitch() { return HoverTextSwitch(); }

// ---- Look ----

void GVPushBtn::SetPressed(BOOL pressed) {
  pressed_ = pressed;
  UpdateFrame();
}

void GVPushBtn::SetHighlight(BOOL highlighted) {
  highlighted_ = highlighted;
  UpdateFrame();
}

void GVPushBtn::SetHoverFlag(BOOL hover) { hover_ = hover; }

void GVPushBtn::UpdateFrame() {
  SetDirty(1);
  const BOOL disabled = !IsEnabled();
  if (!stateFrames_.empty()) {
    const size_t state = disabled ? kDisabled : pressed_ ? kPressed : highlighted_ ? kHighlighted : kNormal;
    SelectFrame(stateFrames_[state]);
    return;
  }
  const GSize cell = GetRect().Size();
  const int32_t y = geom::Mul(row_, cell.cy);
  int32_t column;
  switch (columns_) {
    case kFourStates: column = disabled ? 3 : (pressed_ && pointerInside_) ? 2 : highlighted_ ? 1 : 0; break;
    case kTwoStates: column = disabled ? 0 : ((pressed_ && pointerInside_) || highlighted_) ? 1 : 0; break;
    case 1: SetSourceRect(GRect(GPoint(), cell)); return;
    default: return;
  }
  SetSourceRect(GRect(GPoint(geom::Mul(column, cell.cx), y), cell));
}

BOOL GVPushBtn::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  UpdateFrame();
  return GVDDSWnd::Draw(target, clip) ? 1 : 0;
}

void GVPushBtn::Show(BOOL show) {
  GVWnd::Show(show);
  if (!show) ShowHoverText(0);
}

void GVPushBtn::ShowHoverText(BOOL show) {
  if (hoverText_) hoverText_->Show(show);
}

// ---- Mouse ----

BOOL GVPushBtn::OnLButtonDown(UINT, GPoint) {
  if (!IsVisible() || !IsEnabled()) return 0;
  // Inside before the state setters run, so the pressed cell shows at once.
  pointerInside_ = 1;
  SetHighlight(0);
  SetPressed(1);
  return 1;
}

BOOL GVPushBtn::OnLButtonUp(UINT, GPoint pt) {
  const BOOL hit = GVDDSWnd::HitTest(pt.x, pt.y, kHitShownAndEnabled);
  if (!pressed_) return 0;
  pointerInside_ = 1;
  // -1 (a pixel that cannot be read) is a miss.
  const BOOL click = hit > 0 ? 1 : 0;
  SetPressed(0);
  SetHighlight(click);
  return click;
}

BOOL GVPushBtn::OnRButtonDown(UINT, GPoint) { return IsVisible() && IsEnabled() ? 1 : 0; }
BOOL GVPushBtn::OnRButtonUp(UINT, GPoint) { return IsVisible() && IsEnabled() ? 1 : 0; }

BOOL GVPushBtn::OnMouseMove(UINT, GPoint pt) {
  if (!IsVisible() || !IsEnabled()) {
    SetHoverFlag(0);
    SetPressed(0);
    SetHighlight(0);
    return 0;
  }
  if (GVDDSWnd::HitTest(pt.x, pt.y, kHitShownAndEnabled) > 0) {
    pointerInside_ = 1;
    SetHoverFlag(1);
    SetHighlight(1);
    ShowHoverText(1);
    return 1;
  }
  ShowHoverText(0);
  pointerInside_ = 0;
  if (pressed_) {
    // Dragged off while pressed: the highlighted cell until it comes back.
    SetHighlight(1);
  } else {
    SetHoverFlag(0);
    SetHighlight(0);
  }
  return 1;
}

// ---- Pictures ----

BOOL GVPushBtn::LoadImage(const std::string& path, COLORREF colorKey, int32_t rows, int32_t columns) {
  if (rows < 1 || columns < 1) return 0;
  if (!GVDDSWnd::LoadImage(path, colorKey)) return 0;
  fullImage_ = GetSourceRect();
  columns_ = columns;
  rows_ = rows;
  SetRect(GRect(fullImage_.TopLeft(), GSize(fullImage_.Width() / columns, fullImage_.Height() / rows)));
  UpdateFrame();
  return 1;
}

std::array<int32_t, 4> GVPushBtn::WidenStateFrames(const std::vector<int32_t>& f) {
  switch (f.size()) {
    case 1: return {f[0], f[0], f[0], f[0]};
    case 2: return {f[0], f[0], f[1], f[0]};
    case 3: return {f[0], f[1], f[2], f[0]};
    default: return {f.at(0), f.at(1), f.at(2), f.at(3)};
  }
}

BOOL GVPushBtn::LoadPsdFrames(const std::string& path, const std::vector<int32_t>& frames, BOOL wantKey) {
  if (frames.empty() || frames.size() > kStateCount) return 0;
  const std::array<int32_t, 4> states = WidenStateFrames(frames);
  if (!LoadPsd(path, 0, wantKey)) return 0;
  const XBaseEntry* e = GetEntry();
  bool usable = e && e->multiFrame;
  for (int32_t f : states) usable = usable && f >= 0 && f < GetFrameCount();
  if (!usable) {
    GVDDSWnd::ReleaseImage();
    return 0;
  }
  stateFrames_.assign(states.begin(), states.end());
  alphaMode_ = 0;
  SelectFrame(stateFrames_[kNormal]);
  return 1;
}

BOOL GVPushBtn::LoadPsdFrames(const std::string& path, int32_t normal, BOOL wantKey) {
  return LoadPsdFrames(path, std::vector<int32_t>{normal}, wantKey);
}

BOOL GVPushBtn::LoadPsdFrames(const std::string& path, int32_t normal, int32_t active, BOOL wantKey) {
  return LoadPsdFrames(path, std::vector<int32_t>{normal, active}, wantKey);
}

BOOL GVPushBtn::LoadPsdFrames(const std::string& path, int32_t normal, int32_t highlighted, int32_t pressed,
                              BOOL wantKey) {
  return LoadPsdFrames(path, std::vector<int32_t>{normal, highlighted, pressed}, wantKey);
}

BOOL GVPushBtn::LoadPsdFrames(const std::string& path, int32_t normal, int32_t highlighted, int32_t pressed,
                              int32_t disabled, BOOL wantKey) {
  return LoadPsdFrames(path, std::vector<int32_t>{normal, highlighted, pressed, disabled}, wantKey);
}

// ---- Hover text ----

BOOL GVPushBtn::SetTooltip(GVWS* ws, HWND wnd, const std::string& text, COLORREF textColor, uint32_t fill,
                           BOOL below) {
  if (!HoverTextSwitch() || hoverText_ || !ws) return 1;
  SIZE extent{};
  HDC dc = GetDC(wnd);
  if (dc) {
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ReleaseDC(wnd, dc);
  }
  const SIZE size{extent.cx + kHoverTextPadding, extent.cy};
  auto* label = new GVTextWnd;
  if (!label->Create(size, GetColorKey(), kHoverTextFontHeight, kHoverTextFontWeight)) {
    delete label;
    return 0;
  }
  label->SetTextColor(textColor);
  label->SetBkColor(fill);
  label->Show(0);
  label->Enable(0);
  label->SetTextFormat(DT_CENTER | DT_VCENTER);
  label->SetText(text);

  const GRect r = GetRect();
  const int32_t underneath = r.bottom + kHoverTextGap;
  const int32_t above = r.top - kHoverTextGap - size.cy;
  int32_t y;
  if (below) {
    y = underneath + size.cy > kHoverTextBottomLimit ? above : underneath;
  } else {
    y = above < 0 ? underneath : above;
  }
  int32_t x = r.left;
  if (x + size.cx > kHoverTextRightLimit) x = kHoverTextRightLimit - size.cx;
  label->SetPos(GPoint(x, y));
  ws->AddWnd(label);
  hoverText_ = label;
  hoverTextWS_ = ws;
  return 1;
}
