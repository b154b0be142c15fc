// The text widget: keeps the text, font, colour and format and hands each change to
// its text entry, which draws the text on its surface; the surface is then drawn
// like any surface widget's picture.
#include "widgets/GVTextWnd.h"

#include "graphics/XBaseEntry.h"
#include "graphics/XResEntryMgr.h"

namespace {

constexpr int32_t kSelectorText = 1;

}  // namespace

GVTextWnd::~GVTextWnd() {
  if (font_) XResEntryMgr::Global().ReleaseFont(font_);
}

void GVTextWnd::ReleaseImage() {
  text_.clear();
  GVDDSWnd::ReleaseImage();
}

XTextEntry* GVTextWnd::TextEntry() {
  XBaseEntry* e = GetEntry();
  return e && e->kind == kEntryText ? static_cast<XTextEntry*>(e) : nullptr;
}

void GVTextWnd::MarkDirty() {
  SetDirty(1);
  SetDrawnRect(GetRect());
}

BOOL GVTextWnd::Create(SIZE size, COLORREF colorKey, int32_t fontHeight, int32_t fontWeight) {
  ReplaceImage(XResEntryMgr::Global().LoadEntry(kSelectorText, std::string(), GSize(size), colorKey));
  if (!HasImage()) return 0;
  if (!SetFont(fontHeight, fontWeight)) return 0;
  size_ = size;
  source_ = GRect(GPoint(), size_);
  SIZE actual{};
  const HRESULT hr = QuerySurfaceSize(GetSurface(), &actual);
  if (FAILED(hr)) {
    SetLastResult(E_FAIL);
    return 0;
  }
  SetRect(source_);
  SetColorKey(colorKey);
  XResEntryLock hold;
  if (XTextEntry* e = TextEntry()) e->textColor = textColor_;
  return 1;
}

BOOL GVTextWnd::CreateFromPsdFrame(const std::string& path, int32_t frame, int32_t fontHeight, int32_t fontWeight,
                                   BOOL wantKey) {
  // Without a readable layered picture there is no frame to take the place of.
  if (!LoadPsd(path, 0, wantKey)) {
    GVDDSWnd::ReleaseImage();
    return 0;
  }
  GPoint offset;
  GSize frameSize;
  {
    XResEntryLock hold;
    const XBaseEntry* e = GetEntry();
    if (!e || !e->multiFrame || frame < 0 || static_cast<size_t>(frame) >= e->frames.size()) {
      GVDDSWnd::ReleaseImage();
      return 0;
    }
    offset = GetFrameOffset(frame);
    frameSize = GetFrameSize(frame);
  }
  SetRect(GRect(offset, frameSize));
  source_ = GRect(GPoint(), frameSize);
  SetDirty(1);
  XResEntryMgr& manager = XResEntryMgr::Global();
  const COLORREF key = wantKey ? manager.GetColorKey() : kNoColorKey;
  // The layered entry was only needed for the frame's place: the text entry takes its
  // handle, and the layered one goes back.
  ReplaceImage(manager.LoadEntry(kSelectorText, std::string(), frameSize, key));
  if (!HasImage()) return 0;
  size_ = frameSize;
  if (!SetFont(fontHeight, fontWeight)) {
    GVDDSWnd::ReleaseImage();
    return 0;
  }
  SetColorKey(key);
  XResEntryLock hold;
  if (XTextEntry* e = TextEntry()) e->textColor = textColor_;
  return 1;
}

BOOL GVTextWnd::SetText(const std::string& text) {
  MarkDirty();
  text_ = text;
  XResEntryLock hold;
  if (XTextEntry* e = TextEntry()) e->SetText(text_);
  return 1;
}

void GVTextWnd::SetTextColor(COLORREF color) {
  MarkDirty();
  textColor_ = color;
  XResEntryLock hold;
  if (XTextEntry* e = TextEntry()) {
    e->textColor = color;
    e->SetText(text_);
  }
}

void GVTextWnd::SetTextFormat(UINT format) {
  MarkDirty();
  format_ = format;
  XResEntryLock hold;
  if (XTextEntry* e = TextEntry()) e->format = format;
}

BOOL GVTextWnd::SetFont(int32_t height, int32_t weight) {
  XResEntryMgr& manager = XResEntryMgr::Global();
  if (font_) manager.ReleaseFont(font_);
  // The text is drawn onto its entry's surface filled with the transparent key: edges
  // the system smoothed would mix the glyphs with the key and show as its colour round
  // the text on screen, so the font asks for hard edges whatever the system's setting.
  font_ = manager.GetFont(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                          VARIABLE_PITCH, nullptr);
  {
    // The entry must never keep the font just given back: it may have been deleted.
    XResEntryLock hold;
    if (XTextEntry* e = TextEntry()) e->font = font_;
  }
  if (!font_) return 0;
  MarkDirty();
  return 1;
}

BOOL GVTextWnd::SetSize(SIZE size) {
  if (GSize(size) == size_) return 1;
  {
    XResEntryLock hold;
    XTextEntry* e = TextEntry();
    if (!e || FAILED(e->Resize(GSize(size)))) return 0;
  }
  size_ = size;
  source_ = GRect(GPoint(), size_);
  MarkDirty();
  return 1;
}
