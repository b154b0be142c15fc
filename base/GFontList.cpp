// The font list: asks the system once which preferred faces it has, and names the
// first; the default-font helpers and the error box built on it.
#include "base/GFontList.h"

#include <cstring>

#include "plat/dialogs.h"
#include "plat/gdi.h"
#include "plat/module.h"
#include "plat/winuser.h"
#include "base/ModuleGlobal.h"

namespace {
constexpr const char* kLastResortFace = "Arial";
constexpr DWORD kCaptionChars = 256;
}  // namespace

namespace {
ModuleGlobal<GFontList> g_fontList;
}  // namespace

GFontList& GFontList::Global() { return g_fontList.Get(); }

GFontList::GFontList() : faces_{"굴림", "돋움체", "Gulim", "Dotumche", kLastResortFace}, installed_(faces_.size(), 0) {
  InitializeCriticalSection(&once_);
}

GFontList::~GFontList() { DeleteCriticalSection(&once_); }

std::string GFontList::GetInstalledFace() {
  // The system's lock, not the C++ runtime's: the runtime's thread library keeps
  // handles of its own that outlive an unloaded module.
  EnterCriticalSection(&once_);
  if (!enumerated_) Enumerate();
  LeaveCriticalSection(&once_);
  return foundIndex_ == kNotFound ? std::string() : faces_[static_cast<size_t>(foundIndex_)];
}

int CALLBACK GFontList::OnFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM self) {
  auto* list = reinterpret_cast<GFontList*>(self);
  const size_t length = strnlen(font->lfFaceName, LF_FACESIZE);
  for (size_t i = 0; i < list->faces_.size(); ++i) {
    const std::string& face = list->faces_[i];
    if (face.size() == length && std::memcmp(face.data(), font->lfFaceName, length) == 0) list->installed_[i] = 1;
  }
  return 1;
}

void GFontList::Enumerate() {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetWindowDC(desktop);
  if (dc) {
    LOGFONTA every{};
    every.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc, &every, OnFace, reinterpret_cast<LPARAM>(this), 0);
    ReleaseDC(desktop, dc);
  }
  enumerated_ = 1;
  for (size_t i = 0; i < installed_.size(); ++i) {
    if (installed_[i]) {
      foundIndex_ = static_cast<int32_t>(i);
      break;
    }
  }
}

std::string GetInstalledFontFace() { return GFontList::Global().GetInstalledFace(); }

std::string GFontList::GetDefaultFace(const char* fallback) {
  std::string face = GetInstalledFace();
  if (!face.empty()) return face;
  return fallback ? fallback : kLastResortFace;
}

std::string GetDefaultFontFace(const char* fallback) { return GFontList::Global().GetDefaultFace(fallback); }

HFONT CreateDefaultFont(int32_t height, int32_t weight) {
  const std::string face = GetDefaultFontFace(nullptr);
  HFONT font = CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, face.c_str());
  if (!font) ShowErrorBox("CreateDefaultFont");
  return font;
}

void ShowErrorBox(const char* text) {
  char caption[kCaptionChars + 1] = {};
  GetModuleFileNameA(nullptr, caption, kCaptionChars);
  MessageBoxA(GetActiveWindow(), text, caption, MB_OK);
}
