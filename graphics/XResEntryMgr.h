// The resource manager: every picture of the module's games lives here as a
// reference-counted entry behind a 32-bit handle (serial << 16 | slot, -1 for none),
// made with the asking game's DirectDraw object and shared by file name, where the kind
// allows, only among entries of that same object: a surface of one object cannot be
// blitted onto another's.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/GdiCache.h"
#include "base/TextUtil.h"
#include "plat/com.h"
#include "plat/threads.h"
#include "plat/types.h"
#include "base/GDXObj.h"
#include "base/GGeometry.h"

struct IDirectDraw4;
struct IDirectDrawSurface4;
class XBaseEntry;
class XResScreenScope;

// A game's screen objects as the manager makes and draws that game's entries with them.
struct XResScreen {
  ComPtr<IDirectDraw4> directDraw;
  ComPtr<IDirectDrawSurface4> backBuffer;
  uint32_t colorKey = 0xFFFFFFFFu;
};

class XResEntryMgr : public GDXObj {
 public:
  static constexpr int32_t kNoHandle = -1;

  // The one manager of the module; it lives until the module is unloaded.
  static XResEntryMgr& Global();

  XResEntryMgr();
  XResEntryMgr(const XResEntryMgr&) = delete;
  XResEntryMgr& operator=(const XResEntryMgr&) = delete;
  ~XResEntryMgr() override;

  virtual void Lock();
  virtual void Unlock();

  // Selector 0 blank, 1 text, 2 BMP, 3 TGA, 5 GIF strip, 6 layered; -1 on failure.
  int32_t LoadEntry(int32_t selector, const std::string& name, GSize size, COLORREF colorKey);
  int32_t CreateAvatar(const std::vector<std::string>& parts, GSize size, COLORREF colorKey);
  // 1 when a reference was dropped; 0 for -1, an empty slot or a stale serial.
  BOOL ReleaseEntry(int32_t handle);
  // A counted reference, or null (last result E_UNEXPECTED for a bad slot).
  ComPtr<IDirectDrawSurface4> GetEntrySurface(int32_t handle);
  XBaseEntry* EntryAt(int32_t handle);
  // 1 opaque, 0 transparent, -1 when the pixel cannot be read.
  int32_t IsEntryPixelOpaque(int32_t handle, GPoint pt, int32_t frame);

  // The screen of code that runs in no game's scope: the Set calls and the Default
  // getters reach it. The other getters, and every load, take the innermost scope's
  // screen of the calling thread when there is one (even an empty one: a game without
  // a screen has nothing to make entries with), else this one.
  void SetDirectDraw(IDirectDraw4* directDraw);
  void SetBackBuffer(IDirectDrawSurface4* backBuffer);
  void SetColorKey(uint32_t key);
  IDirectDraw4* DefaultDirectDraw();
  IDirectDrawSurface4* DefaultBackBuffer();
  uint32_t GetColorKey();
  IDirectDraw4* GetDirectDraw();
  IDirectDrawSurface4* GetBackBuffer();
  void CopyBackBuffer(ComPtr<IDirectDrawSurface4>& out);
  BOOL RestoreSurfaces();
  void ReleaseAll();

  // Shared GDI objects (XResEntryMgr_Gdi.cpp): Get adds a reference, Release drops one
  // and deletes the object with the last; Release of an unknown handle does nothing.
  HBITMAP GetCachedBitmap(const std::string& fileName);
  HFONT GetCachedFont(const LOGFONTA* font);
  // A null face is the font list's default face.
  HFONT GetFontByFace(int32_t height, int32_t weight, const char* face);
  HFONT GetFont(int32_t height, int32_t width, int32_t escapement, int32_t orientation, int32_t weight, BYTE italic,
                BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                BYTE pitchAndFamily, const char* face);
  HPEN GetCachedPen(const LOGPEN* pen);
  HPEN GetPen(UINT style, int32_t width, COLORREF color);
  HBRUSH GetCachedBrush(const LOGBRUSH* brush);
  HBRUSH GetBrush(UINT style, COLORREF color, ULONG_PTR hatch);
  HBRUSH GetSolidBrush(COLORREF color);
  int32_t ReleaseBitmap(HBITMAP bitmap);
  int32_t ReleaseFont(HFONT font);
  int32_t ReleasePen(HPEN pen);
  int32_t ReleaseBrush(HBRUSH brush);
  void ClearGdiCaches();
  // Entries in the four caches together, for leak checks.
  size_t GdiCacheSize();

  // The most slots a table holds: slot 0xFFFF is never used, since with serial
  // 0xFFFF its handle would read as "no entry".
  static constexpr size_t kMaxSlots = 0xFFFF;

 private:
  friend class XResScreenScope;
  // Loads the entry with the asking game's object and stores it in the lowest free
  // slot; its handle, or -1.
  int32_t Place(std::unique_ptr<XBaseEntry> entry, COLORREF colorKey);
  int32_t LoadNamed(int32_t selector, const std::string& name, COLORREF colorKey);
  // The entry of that name made with `dd`, with one more reference, as a handle; found
  // is false when there is none.
  int32_t FindShared(const std::string& name, const IDirectDraw4* dd, bool& found);
  XBaseEntry* SlotEntry(int32_t handle);
  // Under the lock: the calling thread's innermost scope's screen, else the default one.
  const XResScreen& CurrentLocked();

  CRITICAL_SECTION lock_{};
  XResScreen default_;
  // The scopes open on every thread, the latest first, under their own lock: the
  // manager's is held across a file's load, and a scope opens with every message of
  // the window's thread.
  CRITICAL_SECTION scopesLock_{};
  XResScreenScope* scopes_ = nullptr;
  std::vector<std::unique_ptr<XBaseEntry>> table_;
  // No slot below it is free. A release only lowers it, so that it never allocates: a
  // widget's destructor gives its entry back.
  size_t lowestFree_ = 0;
  // A name may map to one entry per DirectDraw object.
  std::multimap<std::string, uint16_t, NoCaseLess> names_;
  uint16_t serial_ = 0;
  std::vector<std::unique_ptr<XBitmapGDIEntry>> bitmaps_;
  std::vector<std::unique_ptr<XFontGDIEntry>> fonts_;
  std::vector<std::unique_ptr<XPenGDIEntry>> pens_;
  std::vector<std::unique_ptr<XBrushGDIEntry>> brushes_;
};

// The manager's lock for one scope, taken through the virtual pair so that a derived
// manager sees every hold. The lock is recursive.
class XResEntryLock {
 public:
  explicit XResEntryLock(XResEntryMgr& mgr = XResEntryMgr::Global()) : mgr_(mgr) { mgr_.Lock(); }
  ~XResEntryLock() { mgr_.Unlock(); }
  XResEntryLock(const XResEntryLock&) = delete;
  XResEntryLock& operator=(const XResEntryLock&) = delete;

 private:
  XResEntryMgr& mgr_;
};

// One frame of a game's code on the calling thread: while it lives, what that thread
// loads is made with the game's screen, shared only with entries of the same
// DirectDraw object, and the getters answer the game's screen. Scopes nest (the host
// may start the next game inside a call of the first); the innermost wins. The screen
// is read under the manager's lock at each use, so a rebuild within the frame counts.
class XResScreenScope {
 public:
  explicit XResScreenScope(const XResScreen& screen, XResEntryMgr& mgr = XResEntryMgr::Global());
  ~XResScreenScope();
  XResScreenScope(const XResScreenScope&) = delete;
  XResScreenScope& operator=(const XResScreenScope&) = delete;

 private:
  friend class XResEntryMgr;
  XResEntryMgr& mgr_;
  const XResScreen& screen_;
  DWORD thread_;
  XResScreenScope* next_ = nullptr;
};
