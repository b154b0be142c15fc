// The resource manager's GDI object caches: one list per kind, searched from the front,
// shared by key and counted. The lock is the manager's own, since the loader thread
// makes text widgets while the window thread draws and releases them.
#include <algorithm>
#include <cstring>

#include "graphics/XResEntryMgr.h"
#include "base/GFontList.h"

namespace {

// A found entry is not made again, so a handle deleted behind the cache's back stays.
template <class Entry>
typename Entry::HandleType GetShared(std::vector<std::unique_ptr<Entry>>& list, const typename Entry::KeyType& key) {
  for (auto& e : list) {
    if (Entry::KeyEquals(e->key, key)) {
      ++e->refCount;
      return e->handle;
    }
  }
  auto made = std::make_unique<Entry>();
  made->key = key;
  if (!made->Create()) return nullptr;
  made->refCount = 1;
  list.push_back(std::move(made));
  return list.back()->handle;
}

template <class Entry>
int32_t ReleaseShared(std::vector<std::unique_ptr<Entry>>& list, typename Entry::HandleType handle) {
  auto it = std::find_if(list.begin(), list.end(), [&](const auto& e) { return e->handle == handle; });
  if (it == list.end()) return 0;
  if ((*it)->refCount-- <= 1) list.erase(it);
  return 0;
}

}  // namespace

bool XFontGDIEntry::KeyEquals(const LOGFONTA& a, const LOGFONTA& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool XPenGDIEntry::KeyEquals(const LOGPEN& a, const LOGPEN& b) {
  return a.lopnStyle == b.lopnStyle && a.lopnWidth.x == b.lopnWidth.x && a.lopnWidth.y == b.lopnWidth.y &&
         a.lopnColor == b.lopnColor;
}

bool XBrushGDIEntry::KeyEquals(const LOGBRUSH& a, const LOGBRUSH& b) {
  return a.lbStyle == b.lbStyle && a.lbColor == b.lbColor && a.lbHatch == b.lbHatch;
}

bool XBitmapGDIEntry::KeyEquals(const std::string& a, const std::string& b) { return CompareNoCase(a, b) == 0; }

HBITMAP XBitmapGDIEntry::Load(const std::string& fileName) { return LoadBmpFile(fileName); }

HBITMAP XResEntryMgr::GetCachedBitmap(const std::string& fileName) {
  XResEntryLock hold(*this);
  return GetShared(bitmaps_, fileName);
}

HFONT XResEntryMgr::GetCachedFont(const LOGFONTA* font) {
  if (!font) return nullptr;
  XResEntryLock hold(*this);
  return GetShared(fonts_, *font);
}

HFONT XResEntryMgr::GetFontByFace(int32_t height, int32_t weight, const char* face) {
  return GetFont(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, face);
}

HFONT XResEntryMgr::GetFont(int32_t height, int32_t width, int32_t escapement, int32_t orientation, int32_t weight,
                            BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                            BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, const char* face) {
  // Zero-filled, so the bytes after the face's terminator match between callers.
  LOGFONTA lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = outPrecision;
  lf.lfClipPrecision = clipPrecision;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = pitchAndFamily;
  const std::string name = face ? std::string(face) : GetDefaultFontFace(nullptr);
  std::memcpy(lf.lfFaceName, name.data(), std::min<size_t>(name.size(), LF_FACESIZE - 1));
  return GetCachedFont(&lf);
}

HPEN XResEntryMgr::GetCachedPen(const LOGPEN* pen) {
  if (!pen) return nullptr;
  XResEntryLock hold(*this);
  return GetShared(pens_, *pen);
}

HPEN XResEntryMgr::GetPen(UINT style, int32_t width, COLORREF color) {
  LOGPEN lp{};
  lp.lopnStyle = style;
  lp.lopnWidth.x = width;
  lp.lopnColor = color;
  return GetCachedPen(&lp);
}

HBRUSH XResEntryMgr::GetCachedBrush(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  XResEntryLock hold(*this);
  return GetShared(brushes_, *brush);
}

HBRUSH XResEntryMgr::GetBrush(UINT style, COLORREF color, ULONG_PTR hatch) {
  const LOGBRUSH lb{style, color, hatch};
  return GetCachedBrush(&lb);
}

HBRUSH XResEntryMgr::GetSolidBrush(COLORREF color) { return GetBrush(BS_SOLID, color, 0); }

int32_t XResEntryMgr::ReleaseBitmap(HBITMAP bitmap) {
  XResEntryLock hold(*this);
  return ReleaseShared(bitmaps_, bitmap);
}

int32_t XResEntryMgr::ReleaseFont(HFONT font) {
  XResEntryLock hold(*this);
  return ReleaseShared(fonts_, font);
}

int32_t XResEntryMgr::ReleasePen(HPEN pen) {
  XResEntryLock hold(*this);
  return ReleaseShared(pens_, pen);
}

int32_t XResEntryMgr::ReleaseBrush(HBRUSH brush) {
  XResEntryLock hold(*this);
  return ReleaseShared(brushes_, brush);
}

void XResEntryMgr::ClearGdiCaches() {
  XResEntryLock hold(*this);
  bitmaps_.clear();
  fonts_.clear();
  pens_.clear();
  brushes_.clear();
}

size_t XResEntryMgr::GdiCacheSize() {
  XResEntryLock hold(*this);
  return bitmaps_.size() + fonts_.size() + pens_.size() + brushes_.size();
}
