// The avatar entry: part loading and ordering, its keyed surface, and the release of
// its parts when it goes.
#include "graphics/XAvatarEntry.h"

#include "graphics/AvatarLayerOrder.h"
#include "base/GDDSurfaceDesc.h"
#include "graphics/XResEntryMgr.h"
#include "plat/files.h"
#include "plat/handle.h"

namespace {

constexpr int32_t kNoPart = -1;

bool CanOpenForReading(const std::string& name) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

XAvatarEntry::~XAvatarEntry() {
  for (int32_t part : parts_)
    if (part != kNoPart) manager_.ReleaseEntry(part);
}

int XAvatarEntry::LoadParts(const std::vector<std::string>& names) {
  SetPartNames(names);
  parts_.clear();
  const COLORREF key = manager_.GetColorKey();
  for (const std::string& name : names) {
    if (name.empty() || !CanOpenForReading(name)) {
      parts_.push_back(kNoPart);
      continue;
    }
    parts_.push_back(manager_.LoadEntry(kGifSelector, name, GSize(), key));
  }
  SortParts(parts_);
  return 1;
}

int XAvatarEntry::SortParts(std::vector<int32_t>& handles) {
  if (handles.empty() || handles.size() > size_t(kMaxParts)) return 0;
  if (handles.size() > 1) handles = InAvatarLayerOrder(handles);
  return 1;
}

HRESULT XAvatarEntry::SetColorKey(COLORREF key) {
  if (!surface) return S_FALSE;
  const HRESULT hr = SetSurfaceColorKey(surface, key);
  if (SUCCEEDED(hr)) colorKey = key;
  return hr;
}

HRESULT XAvatarEntry::Load(DDObject newDd, COLORREF key) {
  dd = newDd;
  surface = nullptr;
  HRESULT hr = CreateOffscreenSurface(dd, surface, size);
  if (FAILED(hr)) return hr;
  SetColorKey(key);
  hr = FillSurfaceRect(surface, nullptr, colorKey, 0);
  if (key != 0xFFFFFFFFu) {
    hr = SetSurfaceColorKey(surface, key);
    if (FAILED(hr)) return hr;
  }
  GDDSurfaceDesc desc;
  desc.dwFlags = DDSD_PIXELFORMAT;
  bitDepth = SUCCEEDED(surface->GetPixelFormat(&desc.ddpfPixelFormat)) ? desc.GetBitDepth() : 0;
  return hr;
}
