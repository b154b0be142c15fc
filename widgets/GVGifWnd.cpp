// The GIF widget's load.
#include "widgets/GVGifWnd.h"

#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "widgets/DDSurfaceUtil.h"

BOOL GVGifWnd::LoadGif(const std::string& name, int32_t value) {
  XResEntryMgr& mgr = XResEntryMgr::Global();
  const COLORREF key = mgr.GetColorKey();
  ReplaceImage(mgr.LoadEntry(kGifSelector, name, GSize(), key));
  if (!HasImage()) return 0;
  const DDSurface surface = GetSurface();
  if (!surface) {
    SetLastResult(E_FAIL);
    return 0;
  }
  SIZE size{};
  const HRESULT hr = QuerySurfaceSize(surface, &size);
  SetLastResult(hr);
  if (FAILED(hr)) return 0;
  // The source too, or the surface widget would draw nothing.
  source_ = GRect(GPoint(), GSize(size));
  SetRect(source_);
  SetColorKey(key);
  value_ = value;
  return 1;
}
