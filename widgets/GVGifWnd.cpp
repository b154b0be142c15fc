// The GIF widget's load.
#include "widgets/GVGifWnd.h"

#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "base/DDSurfaceUtil.h"

BOOL QueryLoadedSurfaceSize(GVDDSWnd& widget, SIZE* size) {
  const DDSurface surface = widget.GetSurface();
  const HRESULT hr = surface ? QuerySurfaceSize(surface, size) : E_FAIL;
  widget.SetLastResult(hr);
  return SUCCEEDED(hr) ? 1 : 0;
}

BOOL GVGifWnd::LoadGif(const std::string& name, int32_t value) {
  XResEntryMgr& mgr = XResEntryMgr::Global();
  const COLORREF key = mgr.GetColorKey();
  ReplaceImage(mgr.LoadEntry(kGifSelector, name, GSize(), key));
  if (!HasImage()) return 0;
  SIZE size{};
  if (!QueryLoadedSurfaceSize(*this, &size)) return 0;
  // The source too, or the surface widget would draw nothing.
  source_ = GRect(GPoint(), GSize(size));
  SetRect(source_);
  SetColorKey(key);
  value_ = value;
  return 1;
}
