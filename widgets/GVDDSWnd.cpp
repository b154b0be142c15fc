// The surface widget's picture handling: loading and replacing entries, frames of a
// layered picture, the source rectangle, blend settings and the pixel hit test.
// Drawing lives in GVDDSWndDraw.cpp.
#include "widgets/GVDDSWnd.h"

#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"
#include "base/TextUtil.h"
#include "base/DDSurfacePixel.h"

namespace {

constexpr int32_t kSelectorBlank = 0;
constexpr int32_t kSelectorBitmap = 2;
constexpr int32_t kSelectorTga = 3;
constexpr int32_t kSelectorLayered = 6;
constexpr int32_t kTypeBmp = 0;
constexpr int32_t kTypeTga = 1;
constexpr int32_t kTypePsd = 2;
constexpr int32_t kFullOpacity = 100;

bool ValidFrame(const XBaseEntry& e, int32_t frame) {
  return frame >= 0 && static_cast<size_t>(frame) < e.frames.size();
}

template <class T>
T FrameValue(const std::vector<T>& values, int32_t frame) {
  return frame >= 0 && static_cast<size_t>(frame) < values.size() ? values[static_cast<size_t>(frame)] : T();
}

// Floor modulo: tiles are aligned to multiples of their size also left of 0.
int32_t PositiveMod(int32_t v, int32_t m) {
  const int32_t r = v % m;
  return r < 0 ? r + m : r;
}

}  // namespace

int32_t GetImageFileType(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) return -1;
  const std::string ext = path.substr(dot + 1);
  static const char* const kTypes[] = {"BMP", "TGA", "PSD"};
  for (int32_t i = 0; i < 3; ++i)
    if (CompareNoCase(ext, kTypes[i]) == 0) return i;
  return -1;
}

// ---- Entries ----

XBaseEntry* GVDDSWnd::GetEntry() {
  if (!HasImage()) return nullptr;
  XBaseEntry* e = XResEntryMgr::Global().EntryAt(GetImage());
  // A stale handle (its slot reused by another entry) must not reach that entry.
  if (!e || e->serial != static_cast<uint16_t>(static_cast<uint32_t>(GetImage()) >> 16)) return nullptr;
  return e;
}

void GVDDSWnd::ReleaseImage() {
  if (HasImage()) {
    XResEntryMgr::Global().ReleaseEntry(GetImage());
    SetImage(kNoImage);
  }
  frame_ = kNoFrame;
  GVWnd::ReleaseImage();
}

void GVDDSWnd::ReplaceImage(int32_t handle) {
  // The caller loaded the new entry before the old one goes, so reloading the same
  // file shares the entry instead of decoding it again.
  GVDDSWnd::ReleaseImage();
  SetImage(handle);
}

ComPtr<IDirectDrawSurface4> GVDDSWnd::GetSurface() { return DrawnSurface(nullptr); }

ComPtr<IDirectDrawSurface4> GVDDSWnd::DrawnSurface(const std::vector<uint8_t>** alpha) {
  XResEntryLock hold;
  XBaseEntry* e = GetEntry();
  if (alpha) *alpha = nullptr;
  if (!e) return nullptr;
  if (!e->multiFrame) {
    if (alpha) *alpha = &e->alpha;
    return e->surface;
  }
  DDSurface* s = e->GetSurfaceRef(frame_);
  if (!s) return nullptr;
  if (alpha && static_cast<size_t>(frame_) < e->frameAlpha.size()) *alpha = &e->frameAlpha[static_cast<size_t>(frame_)];
  return *s;
}

BOOL GVDDSWnd::AdoptSurfaceRect() {
  const DDSurface surface = GetSurface();
  if (!surface) {
    SetLastResult(E_FAIL);
    return 0;
  }
  source_ = GetSurfaceRectOf(surface);
  SetRect(source_);
  return 1;
}

BOOL GVDDSWnd::LoadImage(const std::string& path, COLORREF colorKey) {
  switch (GetImageFileType(path)) {
    case kTypeTga: return LoadTga(path);
    case kTypePsd: return LoadPsd(path, 0, colorKey != kNoColorKey);
    default: break;
  }
  ReplaceImage(XResEntryMgr::Global().LoadEntry(kSelectorBitmap, path, GSize(), colorKey));
  if (!HasImage() || !AdoptSurfaceRect()) return 0;
  SetColorKey(colorKey);
  return 1;
}

BOOL GVDDSWnd::LoadTga(const std::string& path) {
  ReplaceImage(XResEntryMgr::Global().LoadEntry(kSelectorTga, path, GSize(), kNoColorKey));
  if (!HasImage() || !AdoptSurfaceRect()) return 0;
  const XBaseEntry* e = GetEntry();
  alphaMode_ = e && e->hasAlpha ? 1 : 0;
  SetColorKey(kNoColorKey);
  return 1;
}

BOOL GVDDSWnd::LoadPsd(const std::string& path, int32_t, BOOL wantKey) {
  XResEntryMgr& mgr = XResEntryMgr::Global();
  // Transparent layer pixels are stored as the screen key: the frames need it as their
  // own key for the hardware blits, and the entry for the pixel hit test.
  const COLORREF key = wantKey ? mgr.GetColorKey() : kNoColorKey;
  ReplaceImage(mgr.LoadEntry(kSelectorLayered, path, GSize(), key));
  if (!HasImage()) return 0;
  const XBaseEntry* e = GetEntry();
  if (e && e->multiFrame) {
    SelectFrame(0);
    if (!GetSurface()) {
      SetLastResult(E_FAIL);
      return 0;
    }
  } else if (!AdoptSurfaceRect()) {
    return 0;
  }
  SetColorKey(key);
  frameOffsetMode_ = 1;
  SetPos(GetAnchor());
  return 1;
}

BOOL GVDDSWnd::CreateBlank(SIZE size, COLORREF colorKey) {
  ReplaceImage(XResEntryMgr::Global().LoadEntry(kSelectorBlank, std::string(), GSize(size), colorKey));
  if (!HasImage()) return 0;
  source_ = GRect(GPoint(), GSize(size));
  SIZE actual{};
  if (FAILED(QuerySurfaceSize(GetSurface(), &actual))) return 0;
  SetRect(GRect(GPoint(), GSize(actual)));
  SetColorKey(colorKey);
  return 1;
}

// ---- Frames ----

void GVDDSWnd::SelectFrame(int32_t frame) {
  GSize size;
  GPoint offset;
  {
    XResEntryLock hold;
    const XBaseEntry* e = GetEntry();
    if (!e || !e->multiFrame || !ValidFrame(*e, frame)) return;
    frame_ = frame;
    size = FrameValue(e->frameSizes, frame);
    if (frameOffsetMode_) offset = FrameValue(e->frameOffsets, frame);
  }
  SetRect(GRect(GetAnchor() + offset, size));
  source_ = GRect(GPoint(), size);
  SetDirty(1);
}

int32_t GVDDSWnd::GetFrameCount() {
  XResEntryLock hold;
  const XBaseEntry* e = GetEntry();
  if (!e) return 0;
  return e->multiFrame ? static_cast<int32_t>(e->frames.size()) : 1;
}

GPoint GVDDSWnd::GetFrameOffset(int32_t frame) {
  XResEntryLock hold;
  const XBaseEntry* e = GetEntry();
  const int32_t f = frame == kNoFrame ? frame_ : frame;
  if (!e || !e->multiFrame) return GPoint();
  return FrameValue(e->frameOffsets, f);
}

GSize GVDDSWnd::GetFrameSize(int32_t frame) {
  XResEntryLock hold;
  const XBaseEntry* e = GetEntry();
  if (!e) return GSize();
  if (!e->multiFrame) return e->size;
  return FrameValue(e->frameSizes, frame == kNoFrame ? frame_ : frame);
}

void GVDDSWnd::SetFrameOffsetMode(BOOL on) {
  frameOffsetMode_ = on;
  SetPos(GetAnchor());
}

void GVDDSWnd::SetPos(GPoint pt) {
  SetAnchor(pt);
  GSize size;
  GPoint offset;
  bool framed = false;
  {
    XResEntryLock hold;
    const XBaseEntry* e = GetEntry();
    if (frame_ != kNoFrame && e && e->multiFrame) {
      framed = true;
      size = FrameValue(e->frameSizes, frame_);
      if (frameOffsetMode_) offset = FrameValue(e->frameOffsets, frame_);
    }
  }
  if (framed) {
    SetRect(GRect(pt + offset, size));
  } else {
    SetRect(GRect(pt, GetRect().Size()));
  }
}

// ---- Source rectangle and blending ----

void GVDDSWnd::SetSourceRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  SetDirty(1);
  source_.SetRect(left, top, right, bottom);
}

void GVDDSWnd::SetStripFrame(int32_t n) {
  const GSize cell = GetRect().Size();
  source_ = GRect(GPoint(0, geom::Mul(n, cell.cy)), cell);
  SetDirty(1);
}

void GVDDSWnd::SetOpacity(int32_t percent) {
  if (percent < 0) percent = 0;
  if (percent > kFullOpacity) percent = kFullOpacity;
  blendLevel_ = static_cast<uint32_t>((kFullOpacity - percent) * static_cast<int32_t>(kMaxBlendLevel) / kFullOpacity);
}

void GVDDSWnd::SetBlendLevel(uint32_t level) { blendLevel_ = level < kMaxBlendLevel ? level : kMaxBlendLevel; }

// ---- Hit test ----

BOOL GVDDSWnd::HitTest(int32_t x, int32_t y, uint32_t flags) {
  const BOOL base = GVWnd::HitTest(x, y, flags);
  if (base != 1 || !source_.HasArea() || !HasImage()) return base;
  const GRect r = GetRect();
  GPoint p = source_.TopLeft();
  switch (drawMode_) {
    case kDrawStretch:
      p += GSize(static_cast<int32_t>(int64_t{x - r.left} * source_.Width() / r.Width()),
                 static_cast<int32_t>(int64_t{y - r.top} * source_.Height() / r.Height()));
      break;
    case kDrawTile: p += GSize(PositiveMod(x, source_.Width()), PositiveMod(y, source_.Height())); break;
    default: p += GSize(x - r.left, y - r.top); break;
  }
  return XResEntryMgr::Global().IsEntryPixelOpaque(GetImage(), p, frame_);
}
