// The number widget: the glyph string built from the value and the format flags, and
// the row of glyph sprites laid out inside the widget.
#include "widgets/GVPSPNumberWnd.h"

#include <climits>
#include <string>

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Dib.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "plat/crt.h"
#include "plat/ddraw.h"
#include "widgets/GVSpriteSupport.h"

namespace rm = _QLSRsc_MANAGER_;

namespace {

constexpr int32_t kDigitsPerThousandsGroup = 3;
constexpr int32_t kDigitsPerUnitGroup = 4;
constexpr uint32_t kBlendFlags = 1;  // the effect mode that blends at the level

bool FitsInInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

}  // namespace

GVPSPNumberWnd::~GVPSPNumberWnd() { GVPSPNumberWnd::ReleaseImage(); }

void GVPSPNumberWnd::ReleaseImage() {
  gv_sprite::ReleaseHeld(*this);
  value_ = 0;
  glyphs_.fill(0);
  glyphCount_ = 0;
  glyphBase_ = 0;
  glyphWidth_ = glyphHeight_ = 0;
  spacing_ = 0;
  style_ = 0;
  level_ = 0;
  GVWnd::ReleaseImage();
}

ComPtr<IDirectDrawSurface4> GVPSPNumberWnd::GetSurface() { return nullptr; }

int32_t GVPSPNumberWnd::Load(const char* fileName, int32_t x, int32_t y, int32_t w, int32_t h) {
  uint32_t handle = rm::LoadSpriteResourceByName(fileName);
  if (handle && !rm::GetSpriteSet(handle)) {
    rm::ReleaseSpriteResource(handle);
    handle = 0;
  }
  gv_sprite::ReplaceHeld(*this, handle);
  if (!handle) return 0;
  const KK_LLESprite* first = rm::GetSpriteSet(handle)->GetFrame(0);
  glyphWidth_ = first->FullWidth();
  glyphHeight_ = first->FullHeight();
  GVWnd::SetRect(GRect(x, y, geom::Add(x, w), geom::Add(y, h)));
  glyphBase_ = 0;
  return 1;
}

int32_t GVPSPNumberWnd::ChangeSprite(const char* fileName, int32_t glyphBase) {
  const uint32_t handle = rm::LoadSpriteResourceByName(fileName);
  if (!handle) return 0;
  if (!rm::GetSpriteSet(handle)) {
    rm::ReleaseSpriteResource(handle);
    return 0;
  }
  gv_sprite::ReplaceHeld(*this, handle);
  glyphBase_ = -1;
  SetGlyphBase(glyphBase);
  if (glyphBase_ == -1) SetGlyphBase(0);
  return 1;
}

void GVPSPNumberWnd::SetGlyphBase(int32_t base) {
  const uint32_t h = gv_sprite::HeldHandle(*this);
  const K_Sprite* set = h ? rm::GetSpriteSet(h) : nullptr;
  if (base == glyphBase_ || !set) return;
  if (base >= 0 && base < set->GetFrameCount()) {
    const KK_LLESprite* s = set->GetFrame(base);
    glyphBase_ = base;
    glyphWidth_ = s->FullWidth();
    glyphHeight_ = s->FullHeight();
  }
  SetDirty(1);
}

void GVPSPNumberWnd::SetNumber(int64_t value) {
  value_ = value;
  BuildGlyphs();
}

void GVPSPNumberWnd::SetStyle(uint32_t flags, int32_t spacing) {
  const bool formatChanged = ((flags ^ style_) & kFormatBits) != 0;
  style_ = flags;
  spacing_ = spacing;
  if (formatChanged) {
    BuildGlyphs();
  } else {
    SetDirty(1);
  }
}

void GVPSPNumberWnd::SetBlendLevel(int32_t level) {
  level_ = level;
  SetDirty(1);
}

void GVPSPNumberWnd::BuildGlyphs() {
  const std::string text = plat::FormatString("%I64i", value_);
  int32_t n = 0;
  // The longest string (a minus, 19 digits, 6 separators, the unit) is far below the
  // limit; the check keeps the terminator in place whatever the flags.
  auto add = [&](int32_t glyph) {
    if (size_t(n) + 1 < kMaxGlyphs) glyphs_[size_t(n++)] = int8_t(glyph);
  };
  size_t first = 0;
  if (!text.empty() && text[0] == '-') {
    add(kGlyphMinus);
    first = 1;
  } else if ((style_ & kPlusSign) && value_ > 0) {
    add(kGlyphPlus);
  }
  const int32_t digits = int32_t(text.size() - first);
  for (int32_t i = 0; i < digits; ++i) {
    add(text[first + size_t(i)] - '0');
    // Groups are counted from the right: a mark follows each digit that has a whole
    // number of groups after it.
    const int32_t after = digits - 1 - i;
    if (after == 0) continue;
    if (style_ & kThousands) {
      if (after % kDigitsPerThousandsGroup == 0) add(kGlyphSeparator);
    } else if (style_ & kUnitGroups) {
      if (after % kDigitsPerUnitGroup == 0) add(kGlyphUnit + after / kDigitsPerUnitGroup);
    }
  }
  if (style_ & kTrailingUnit) add(kGlyphUnit);
  glyphs_[size_t(n)] = 0;
  glyphCount_ = n;
  SetDirty(1);
}

BOOL GVPSPNumberWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  const uint32_t h = gv_sprite::HeldHandle(*this);
  if (!IsVisible() || !target || glyphHeight_ == 0 || glyphWidth_ == 0 || !h || level_ >= kHiddenLevel) return 1;
  const K_Sprite* set = rm::GetSpriteSet(h);
  const GRect r = GetRect();
  GRect area;
  if (!set || !GRectIntersection(area, clip, r).HasArea()) return 1;
  GVSpriteCanvas canvas(target, area);
  K_Dib_Draw* image = canvas.Image();
  if (!image) return 1;

  int64_t y = r.top;
  if (style_ & kMiddle) {
    y = r.top + ((int64_t(r.bottom) - r.top - glyphHeight_) >> 1);
  } else if (style_ & kBottom) {
    y = int64_t(r.bottom) - glyphHeight_;
  }
  const int64_t step = int64_t(glyphWidth_) + spacing_;
  const uint32_t flags = level_ > 0 ? kBlendFlags : 0;
  auto draw = [&](int32_t i, int64_t x) {
    if (!FitsInInt32(x) || !FitsInInt32(y)) return;
    const KK_LLESprite* s = set->GetFrame(glyphBase_ + glyphs_[size_t(i)]);
    image->DrawSprite(int32_t(x), int32_t(y), *s, flags, level_, 0);
  };
  if (style_ & kRightAligned) {
    int64_t x = int64_t(r.right) - glyphWidth_;
    for (int32_t i = glyphCount_ - 1; i >= 0; --i, x -= step) draw(i, x);
  } else {
    int64_t x = r.left;
    // An arithmetic shift: a row wider than the widget starts left of it.
    if (style_ & kCentred) x = r.left + ((int64_t(r.right) - step * glyphCount_ - r.left + spacing_) >> 1);
    for (int32_t i = 0; i < glyphCount_; ++i, x += step) draw(i, x);
  }
  SetDirty(0);
  return 1;
}
