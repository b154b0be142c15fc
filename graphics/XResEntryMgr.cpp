// The resource manager: the entry table with its free slots, serials and shared
// names, the screen objects every entry surface is made with, and the lock that
// keeps a loader thread and the window thread from seeing half a change.
#include "graphics/XResEntryMgr.h"
#include "base/ModuleGlobal.h"

#include <algorithm>

#include "graphics/XBaseEntry.h"
#include "graphics/XGifEntry.h"
#include "graphics/XPsdEntry.h"
#include "graphics/XTgaEntry.h"
#include "base/DDSurfacePixel.h"

namespace {

int32_t MakeHandle(uint16_t serial, size_t slot) {
  return static_cast<int32_t>((static_cast<uint32_t>(serial) << 16) | static_cast<uint32_t>(slot));
}
size_t SlotOf(int32_t handle) { return static_cast<uint32_t>(handle) & 0xFFFFu; }
uint16_t SerialOf(int32_t handle) { return static_cast<uint16_t>(static_cast<uint32_t>(handle) >> 16); }

}  // namespace

namespace {
ModuleGlobal<XResEntryMgr> g_manager;
}  // namespace

XResEntryMgr& XResEntryMgr::Global() { return g_manager.Get(); }

XResEntryMgr::XResEntryMgr() {
  InitializeCriticalSection(&lock_);
  ReleaseAll();
}

XResEntryMgr::~XResEntryMgr() {
  ReleaseAll();
  DeleteCriticalSection(&lock_);
}

void XResEntryMgr::Lock() { EnterCriticalSection(&lock_); }
void XResEntryMgr::Unlock() { LeaveCriticalSection(&lock_); }

int32_t XResEntryMgr::Place(std::unique_ptr<XBaseEntry> entry, COLORREF colorKey) {
  entry->refCount = 1;
  DDObject dd;
  {
    // The reference is taken under the lock: a hand-over may drop the manager's own
    // the moment the lock is free.
    XResEntryLock hold(*this);
    entry->serial = ++serial_;
    dd = directDraw_;
  }
  const HRESULT hr = entry->Load(dd, colorKey);
  SetLastResult(hr);
  if (FAILED(hr)) return kNoHandle;
  XResEntryLock hold(*this);
  size_t slot;
  if (freeSlots_.empty()) {
    if (table_.size() >= kMaxSlots) {
      SetLastResult(E_OUTOFMEMORY);
      return kNoHandle;
    }
    slot = table_.size();
    table_.push_back(nullptr);
  } else {
    slot = freeSlots_.front();
    freeSlots_.erase(freeSlots_.begin());
  }
  const uint16_t serial = entry->serial;
  table_[slot] = std::move(entry);
  return MakeHandle(serial, slot);
}

int32_t XResEntryMgr::FindShared(const std::string& name, bool& found) {
  auto it = names_.find(name);
  found = it != names_.end();
  if (!found) return kNoHandle;
  XBaseEntry* e = it->second < table_.size() ? table_[it->second].get() : nullptr;
  if (!e) return kNoHandle;
  ++e->refCount;
  return MakeHandle(e->serial, it->second);
}

int32_t XResEntryMgr::LoadNamed(int32_t selector, const std::string& name, COLORREF colorKey) {
  XResEntryLock hold(*this);
  bool found = false;
  const int32_t shared = FindShared(name, found);
  if (found) return shared;
  std::unique_ptr<XBaseEntry> entry;
  if (selector == 3) {
    entry = XTgaEntry::Named(name);
  } else if (selector == 6) {
    entry = XPsdEntry::Named(name);
  } else {
    auto bitmap = std::make_unique<XBitmapEntry>();
    bitmap->kind = kEntryBitmap;
    bitmap->SetFileName(name);
    entry = std::move(bitmap);
  }
  entry->colorKey = colorKey;
  const int32_t handle = Place(std::move(entry), colorKey);
  if (handle != kNoHandle) names_.emplace(name, static_cast<uint16_t>(SlotOf(handle)));
  return handle;
}

int32_t XResEntryMgr::LoadEntry(int32_t selector, const std::string& name, GSize size, COLORREF colorKey) {
  switch (selector) {
    case 0: {
      if (!GetDirectDraw()) return kNoHandle;
      auto entry = std::make_unique<XNormalEntry>();
      entry->kind = kEntryNormal;
      entry->size = size;
      entry->colorKey = colorKey;
      return Place(std::move(entry), colorKey);
    }
    case 1: {
      auto entry = std::make_unique<XTextEntry>();
      entry->kind = kEntryText;
      entry->size = size;
      entry->colorKey = colorKey;
      return Place(std::move(entry), colorKey);
    }
    case 2:
    case 3:
    case 6: return LoadNamed(selector, name, colorKey);
    case 5: {
      {
        XResEntryLock hold(*this);
        bool found = false;
        const int32_t shared = FindShared(name, found);
        if (found) return shared;
      }
      // Decoded outside the lock, and never entered in the name map: every request
      // for a name no file entry holds makes its own strip.
      auto entry = std::make_unique<XGifEntry>();
      entry->kind = kEntryFrames;
      entry->size = size;
      entry->colorKey = colorKey;
      entry->SetPartNames({name});
      return Place(std::move(entry), colorKey);
    }
    default: return kNoHandle;
  }
}

BOOL XResEntryMgr::ReleaseEntry(int32_t handle) {
  if (handle == kNoHandle) return 0;
  XResEntryLock hold(*this);
  XBaseEntry* e = SlotEntry(handle);
  if (!e || e->serial != SerialOf(handle)) return 0;
  if (--e->refCount > 0) return 1;
  const size_t slot = SlotOf(handle);
  e->surface = nullptr;
  auto at = std::lower_bound(freeSlots_.begin(), freeSlots_.end(), static_cast<uint16_t>(slot));
  if (at == freeSlots_.end() || *at != slot) freeSlots_.insert(at, static_cast<uint16_t>(slot));
  if (e->kind == kEntryBitmap || e->kind == kEntryTga || e->kind == kEntryLayered) {
    if (const std::string* n = e->FileName()) names_.erase(*n);
  }
  table_[slot].reset();
  return 1;
}

XBaseEntry* XResEntryMgr::SlotEntry(int32_t handle) {
  const size_t slot = SlotOf(handle);
  return slot < table_.size() ? table_[slot].get() : nullptr;
}

XBaseEntry* XResEntryMgr::EntryAt(int32_t handle) {
  // The loader thread may be growing the table.
  XResEntryLock hold(*this);
  return SlotEntry(handle);
}

ComPtr<IDirectDrawSurface4> XResEntryMgr::GetEntrySurface(int32_t handle) {
  XResEntryLock hold(*this);
  XBaseEntry* e = SlotEntry(handle);
  if (!e) {
    SetLastResult(E_UNEXPECTED);
    return nullptr;
  }
  return e->DisplaySurface();
}

int32_t XResEntryMgr::IsEntryPixelOpaque(int32_t handle, GPoint pt, int32_t frame) {
  XResEntryLock hold(*this);
  XBaseEntry* e = SlotEntry(handle);
  if (!e) {
    SetLastResult(E_UNEXPECTED);
    return 0;
  }
  if (e->colorKey == kNoColorKey) return 1;
  DDSurface* s = e->GetSurfaceRef(frame);
  if (!s || !*s) return -1;
  if (!GetSurfaceRectOf(*s).PtInRect(pt.x, pt.y)) return -1;
  DWORD value = 0;
  const HRESULT hr = GetSurfacePixel(*s, pt.x, pt.y, &value);
  SetLastResult(hr);
  if (FAILED(hr)) return -1;
  // Keys name colour bits only: a 32-bit picture may carry an alpha byte above them
  // (a transparent TGA or layered pixel is FF 00 FF FF), and a white opaque pixel is
  // all ones.
  constexpr DWORD kColourBits = 0x00FFFFFFu;
  return (value & kColourBits) == (GetColorKey() & kColourBits) ? 0 : 1;
}

void XResEntryMgr::SetDirectDraw(IDirectDraw4* directDraw) {
  XResEntryLock hold(*this);
  if (directDraw_.Get() != directDraw) directDraw_ = ComPtr<IDirectDraw4>(directDraw);
}

void XResEntryMgr::SetBackBuffer(IDirectDrawSurface4* backBuffer) {
  XResEntryLock hold(*this);
  if (backBuffer_.Get() != backBuffer) backBuffer_ = ComPtr<IDirectDrawSurface4>(backBuffer);
}

void XResEntryMgr::SetColorKey(uint32_t key) {
  XResEntryLock hold(*this);
  colorKey_ = key;
}

uint32_t XResEntryMgr::GetColorKey() {
  XResEntryLock hold(*this);
  return colorKey_;
}

IDirectDraw4* XResEntryMgr::GetDirectDraw() {
  XResEntryLock hold(*this);
  return directDraw_.Get();
}

IDirectDrawSurface4* XResEntryMgr::GetBackBuffer() {
  XResEntryLock hold(*this);
  return backBuffer_.Get();
}

void XResEntryMgr::CopyBackBuffer(ComPtr<IDirectDrawSurface4>& out) {
  XResEntryLock hold(*this);
  out = backBuffer_;
}

BOOL XResEntryMgr::RestoreSurfaces() { return 1; }

void XResEntryMgr::ReleaseAll() {
  XResEntryLock hold(*this);
  directDraw_ = nullptr;
  backBuffer_ = nullptr;
  // Entries may release other entries as they go (an avatar its parts): they find an
  // empty table instead of one being torn down under them.
  auto doomed = std::move(table_);
  table_.clear();
  doomed.clear();
  freeSlots_.clear();
  names_.clear();
  colorKey_ = kNoColorKey;
  serial_ = 0;
  ClearGdiCaches();
}
