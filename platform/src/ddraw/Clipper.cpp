// The clipper and palette objects.
#include "ddraw/Clipper.h"

#include "core/Faults.h"
#include "ddraw/Display.h"

namespace plat::detail::ddraw {

namespace {
template <class T>
HRESULT AnswerIdentity(T* self, REFIID riid, const IID& own, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown && riid != own) return E_NOINTERFACE;
  self->AddRef();
  *object = self;
  return S_OK;
}
}  // namespace

// Each object counted while it lives, for the leak checks.
Clipper::Clipper() { ++TheDisplay().liveClippers; }
Clipper::~Clipper() { --TheDisplay().liveClippers; }

HRESULT Clipper::QueryInterface(REFIID riid, void** object) {
  return AnswerIdentity(this, riid, IID_IDirectDrawClipper, object);
}
ULONG Clipper::AddRef() { return ++refs_; }
ULONG Clipper::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Clipper::GetHWnd(HWND* hwnd) {
  if (!hwnd) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  *hwnd = hwnd_;
  return DD_OK;
}

HRESULT Clipper::SetHWnd(DWORD flags, HWND hwnd) {
  if (flags != 0) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  hwnd_ = hwnd;
  return DD_OK;
}

Palette::Palette(DWORD caps, const PALETTEENTRY* entries) : caps_(caps) {
  if (entries)
    for (DWORD i = 0; i < kEntries; ++i) entries_[i] = entries[i];
  ++TheDisplay().livePalettes;
}
Palette::~Palette() { --TheDisplay().livePalettes; }

HRESULT Palette::QueryInterface(REFIID riid, void** object) {
  return AnswerIdentity(this, riid, IID_IDirectDrawPalette, object);
}
ULONG Palette::AddRef() { return ++refs_; }
ULONG Palette::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Palette::GetCaps(LPDWORD caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  *caps = caps_;
  return DD_OK;
}

HRESULT Palette::GetEntries(DWORD, DWORD base, DWORD count, LPPALETTEENTRY entries) {
  if (!entries || base >= kEntries || count > kEntries - base) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  for (DWORD i = 0; i < count; ++i) entries[i] = entries_[base + i];
  return DD_OK;
}

HRESULT Palette::SetEntries(DWORD, DWORD base, DWORD count, LPPALETTEENTRY entries) {
  if (!entries || base >= kEntries || count > kEntries - base) return DDERR_INVALIDPARAMS;
  auto lock = LockDisplay();
  for (DWORD i = 0; i < count; ++i) entries_[base + i] = entries[i];
  return DD_OK;
}

HRESULT NewClipper(IDirectDrawClipper** clipper) {
  if (!clipper) return DDERR_INVALIDPARAMS;
  *clipper = nullptr;
  if (ShouldFail("CreateClipper")) return DDERR_OUTOFMEMORY;
  *clipper = new Clipper;
  return DD_OK;
}

}  // namespace plat::detail::ddraw

HRESULT WINAPI DirectDrawCreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  if (flags != 0 || outer) return DDERR_INVALIDPARAMS;
  return plat::detail::ddraw::NewClipper(clipper);
}
