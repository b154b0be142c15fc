#include "panels/CVQLATextWnd.h"

#include "plat/codepage.h"
#include "plat/time.h"
#include "widgets/GVQLAniWnd.h"

CVQLATextWnd::~CVQLATextWnd() {
  for (GVQLAniWnd*& c : chars_) {
    delete c;
    c = nullptr;
  }
}

int32_t CVQLATextWnd::Create(IPanelScene* scene, const std::string& relPath, GPoint pos, GSize size,
                             int32_t charWidth, int32_t lineHeight, int32_t spacing, int32_t alignment) {
  for (GVQLAniWnd*& c : chars_) {
    c = scene->CreateQLAniWnd(relPath, pos);
    if (!c) return 0;
  }
  SetRect(GRect(pos, size));
  charWidth_ = charWidth;
  lineHeight_ = lineHeight;
  spacing_ = spacing;
  alignment_ = alignment;
  return 1;
}

void CVQLATextWnd::SetText(const std::string& text) {
  for (GVQLAniWnd* c : chars_) {
    if (c) c->Stop();
  }
  next_ = -1;
  std::u16string wide = plat::Cp949ToUtf16(text);
  if (wide.size() > size_t{kMaxChars}) wide.resize(kMaxChars);
  count_ = static_cast<int32_t>(wide.size());
  const GRect row = GetRect();
  const int32_t used = count_ * charWidth_ + (count_ - 1) * spacing_;
  int32_t x = row.left;
  if (alignment_ == kAlignRight) x = row.right - used;
  if (alignment_ == kAlignCentre) x = row.left + ((row.Width() - used) >> 1);
  for (int32_t i = 0; i < count_; ++i) {
    GVQLAniWnd* c = chars_[static_cast<size_t>(i)];
    if (!c) continue;
    c->SelectAnimationByName(plat::Utf16ToCp949(wide.substr(static_cast<size_t>(i), 1)).c_str());
    c->SetPos(GPoint(x, row.top));
    x += charWidth_ + spacing_;
  }
}

void CVQLATextWnd::Play(BOOL holdLastFrame, BOOL allAtOnce, int32_t intervalMs) {
  allAtOnce_ = allAtOnce;
  interval_ = intervalMs;
  lastStart_ = timeGetTime();
  if (allAtOnce) {
    for (int32_t i = 0; i < count_; ++i) {
      if (GVQLAniWnd* c = chars_[static_cast<size_t>(i)]) c->Play(1, holdLastFrame);
    }
  } else {
    next_ = count_ - 1;
  }
  Show(1);
  SetDirty(1);
}

int32_t CVQLATextWnd::Tick() {
  BOOL advanced = 0;
  for (GVQLAniWnd* c : chars_) {
    if (c && c->IsVisible() && c->Update()) advanced = 1;
  }
  const uint32_t now = timeGetTime();
  if (!allAtOnce_ && next_ >= 0 && now - lastStart_ >= static_cast<uint32_t>(interval_)) {
    if (GVQLAniWnd* c = chars_[static_cast<size_t>(next_)]) c->Play(1, 1);
    lastStart_ = now;
    --next_;
    SetDirty(1);
    return 2;
  }
  if (!advanced) return 0;
  SetDirty(1);
  return 1;
}

BOOL CVQLATextWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  for (GVQLAniWnd* c : chars_) {
    if (c && c->IsVisible()) c->Draw(target, clip);
  }
  return 1;
}
