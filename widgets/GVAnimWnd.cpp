// The animated image widget: loading the strip and stepping through its cells.
#include "widgets/GVAnimWnd.h"

#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "widgets/GVGifWnd.h"

BOOL GVAnimWnd::LoadGif(const std::string& path, GSize frameSize, COLORREF colorKey) {
  ReplaceImage(XResEntryMgr::Global().LoadEntry(kGifSelector, path, frameSize, colorKey));
  if (!HasImage()) return 0;
  source_ = GRect(GPoint(), frameSize);
  SIZE size{};
  if (!QueryLoadedSurfaceSize(*this, &size)) return 0;
  SetRect(source_);
  SetColorKey(colorKey);
  return 1;
}

void GVAnimWnd::ShowCell(int32_t frame) {
  const int32_t width = source_.Width(), height = source_.Height();
  SetSourceRect(GRect(GPoint(width * frame, 0), GSize(width, height)));
}

BOOL GVAnimWnd::Rewind() {
  SetDirty(1);
  shownFrame_ = nextFrame_ = elapsed_ = 0;
  const XBaseEntry* entry = GetEntry();
  frameDelay_ = EntryDelayCount(entry) > 0 ? EntryFrameDelay(entry, 0) : 0;
  ShowCell(0);
  return 1;
}

BOOL GVAnimWnd::Stop(BOOL rewind) {
  playMode_ = kStopped;
  if (rewind) Rewind();
  return 1;
}

BOOL GVAnimWnd::AdvanceFrame() {
  if (playMode_ == kStopped || !IsVisible()) return 0;
  SetDirty(1);
  elapsed_ += step_;
  if (elapsed_ <= frameDelay_) return 0;
  const XBaseEntry* entry = GetEntry();
  if (nextFrame_ >= EntryFrameCount(entry)) {
    nextFrame_ = 0;
    if (playMode_ == kOnceToLast || playMode_ == kOnceToFirst) {
      const bool selectFirst = playMode_ == kOnceToFirst;
      playMode_ = kStopped;
      Show(hideAtEnd_ ? 0 : 1);
      if (!selectFirst) return 0;
    }
  }
  shownFrame_ = nextFrame_++;
  elapsed_ = 0;
  ShowCell(shownFrame_);
  if (shownFrame_ >= EntryDelayCount(entry)) return 0;
  frameDelay_ = EntryFrameDelay(entry, shownFrame_);
  return 1;
}
