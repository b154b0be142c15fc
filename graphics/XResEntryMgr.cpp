// The resource manager: the entry table with its free slots, serials and shared
// names, the screens entries are made with (each game's, by the scope its code runs
// in), and the lock that keeps a loader thread and the window thread from seeing half
// a change.
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
  InitializeCriticalSection(&scopesLock_);
  ReleaseAll();
}

XResEntryMgr::~XResEntryMgr() {
  ReleaseAll();
  DeleteCriticalSection(&scopesLock_);
  DeleteCriticalSection(&lock_);
}

void XResEntryMgr::Lock() { EnterCriticalSection(&lock_); }
void XResEntryMgr::Unlock() { LeaveCriticalSection(&lock_); }

XResScreenScope::XResScreenScope(const XResScreen& screen, XResEntryMgr& mgr)
    : mgr_(mgr), screen_(screen), thread_(GetCurrentThreadId()) {
  EnterCriticalSection(&mgr_.scopesLock_);
  next_ = mgr_.scopes_;
  mgr_.scopes_ = this;
  LeaveCriticalSection(&mgr_.scopesLock_);
}

XResScreenScope::~XResScreenScope() {
  EnterCriticalSection(&mgr_.scopesLock_);
  for (XResScreenScope** at = &mgr_.scopes_; *at; at = &(*at)->next_) {
    if (*at != this) continue;
    *at = next_;
    break;
  }
  LeaveCriticalSection(&mgr_.scopesLock_);
}

const XResScreen& XResEntryMgr::CurrentLocked() {
  // Only this thread opens or closes its own scopes, so the one found stays open while
  // the caller, on this thread, uses it.
  const DWORD me = GetCurrentThreadId();
  const XResScreen* found = &default_;
  EnterCriticalSection(&scopesLock_);
  for (const XResScreenScope* s = scopes_; s; s = s->next_) {
    if (s->thread_ != me) continue;
    found = &s->screen_;
    break;
  }
  LeaveCriticalSection(&scopesLock_);
  return *found;
}

int32_t XResEntryMgr::Place(std::unique_ptr<XBaseEntry> entry, COLORREF colorKey) {
  entry->refCount = 1;
  DDObject dd;
  {
    // The reference is taken under the lock: a hand-over may drop the screen's own the
    // moment the lock is free.
    XResEntryLock hold(*this);
    entry->serial = ++serial_;
    dd = CurrentLocked().directDraw;
  }
  const HRESULT hr = entry->Load(dd, colorKey);
  // The result is the manager's, which another thread's load sets too: under the lock.
  XResEntryLock hold(*this);
  SetLastResult(hr);
  if (FAILED(hr)) return kNoHandle;
  // Whatever the kind kept, the entry is the asking game's: sharing goes by this.
  entry->dd = dd;
  size_t slot = lowestFree_;
  while (slot < table_.size() && table_[slot]) ++slot;
  if (slot == table_.size()) {
    if (table_.size() >= kMaxSlots) {
      SetLastResult(E_OUTOFMEMORY);
      return kNoHandle;
    }
    table_.push_back(nullptr);
  }
  lowestFree_ = slot + 1;
  const uint16_t serial = entry->serial;
  table_[slot] = std::move(entry);
  return MakeHandle(serial, slot);
}

int32_t XResEntryMgr::FindShared(const std::string& name, const IDirectDraw4* dd, bool& found) {
  found = false;
  const auto [first, last] = names_.equal_range(name);
  for (auto it = first; it != last; ++it) {
    XBaseEntry* e = it->second < table_.size() ? table_[it->second].get() : nullptr;
    if (!e || e->dd.Get() != dd) continue;
    found = true;
    ++e->refCount;
    return MakeHandle(e->serial, it->second);
  }
  return kNoHandle;
}

int32_t XResEntryMgr::LoadNamed(int32_t selector, const std::string& name, COLORREF colorKey) {
  XResEntryLock hold(*this);
  bool found = false;
  const int32_t shared = FindShared(name, CurrentLocked().directDraw.Get(), found);
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
        const int32_t shared = FindShared(name, CurrentLocked().directDraw.Get(), found);
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
  lowestFree_ = std::min(lowestFree_, slot);
  if (e->kind == kEntryBitmap || e->kind == kEntryTga || e->kind == kEntryLayered) {
    if (const std::string* n = e->FileName()) {
      const auto [first, last] = names_.equal_range(*n);
      for (auto it = first; it != last; ++it) {
        if (it->second != slot) continue;
        names_.erase(it);
        break;
      }
    }
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
  if (default_.directDraw.Get() != directDraw) default_.directDraw = ComPtr<IDirectDraw4>(directDraw);
}

void XResEntryMgr::SetBackBuffer(IDirectDrawSurface4* backBuffer) {
  XResEntryLock hold(*this);
  if (default_.backBuffer.Get() != backBuffer) default_.backBuffer = ComPtr<IDirectDrawSurface4>(backBuffer);
}

void XResEntryMgr::SetColorKey(uint32_t key) {
  XResEntryLock hold(*this);
  default_.colorKey = key;
}

IDirectDraw4* XResEntryMgr::DefaultDirectDraw() {
  XResEntryLock hold(*this);
  return default_.directDraw.Get();
}

IDirectDrawSurface4* XResEntryMgr::DefaultBackBuffer() {
  XResEntryLock hold(*this);
  return default_.backBuffer.Get();
}

uint32_t XResEntryMgr::GetColorKey() {
  XResEntryLock hold(*this);
  return CurrentLocked().colorKey;
}

IDirectDraw4* XResEntryMgr::GetDirectDraw() {
  XResEntryLock hold(*this);
  return CurrentLocked().directDraw.Get();
}

IDirectDrawSurface4* XResEntryMgr::GetBackBuffer() {
  XResEntryLock hold(*this);
  return CurrentLocked().backBuffer.Get();
}

void XResEntryMgr::CopyBackBuffer(ComPtr<IDirectDrawSurface4>& out) {
  XResEntryLock hold(*this);
  out = CurrentLocked().backBuffer;
}

BOOL XResEntryMgr::RestoreSurfaces() { return 1; }

void XResEntryMgr::ReleaseAll() {
  XResEntryLock hold(*this);
  default_ = XResScreen{};
  // Entries may release other entries as they go (an avatar its parts): they find an
  // empty table instead of one being torn down under them.
  auto doomed = std::move(table_);
  table_.clear();
  doomed.clear();
  lowestFree_ = 0;
  names_.clear();
  serial_ = 0;
  ClearGdiCaches();
}
