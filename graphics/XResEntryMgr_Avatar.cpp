// The resource manager's avatar entries: parts loaded as GIF entries before the avatar
// is placed (each load takes the lock for itself), then the avatar's own surface.
#include "base/GDDSurfaceDesc.h"
#include "graphics/XAvatarEntry.h"
#include "graphics/XResEntryMgr.h"

int32_t XResEntryMgr::CreateAvatar(const std::vector<std::string>& parts, GSize size, COLORREF colorKey) {
  auto entry = std::make_unique<XAvatarEntry>(*this);
  entry->kind = kEntryFrames;
  entry->size = size;
  entry->colorKey = colorKey;
  if (!entry->LoadParts(parts)) return kNoHandle;
  XAvatarEntry* avatar = entry.get();
  const int32_t handle = Place(std::move(entry), colorKey);
  if (handle == kNoHandle) return kNoHandle;
  GDDSurfaceDesc desc;
  const HRESULT hr = GetSurfaceDesc(avatar->surface, &desc);
  {
    XResEntryLock hold(*this);
    SetLastResult(hr);
  }
  if (FAILED(hr)) {
    // Placed already: give the slot back (the avatar's parts go with it).
    ReleaseEntry(handle);
    return kNoHandle;
  }
  avatar->bitDepth = desc.GetBitDepth();
  return handle;
}
