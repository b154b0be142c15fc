// The process-wide font list: the preferred faces in priority order, which of them the
// system has (asked once, on first use), and the default face every font is made in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/gdi_text.h"
#include "plat/threads.h"
#include "plat/types.h"

class GFontList {
 public:
  static constexpr int32_t kNotFound = -1;

  // The module's one list: made with the module's other globals, gone at its unload.
  static GFontList& Global();

  GFontList();
  ~GFontList();
  GFontList(const GFontList&) = delete;
  GFontList& operator=(const GFontList&) = delete;

  // The first installed face in priority order, or "". The system is asked at the
  // first call only, whichever thread makes it (the loader thread may be first).
  std::string GetInstalledFace();
  // The installed face; else the fallback; else "Arial".
  std::string GetDefaultFace(const char* fallback);
  const std::vector<std::string>& GetFaces() const { return faces_; }
  // Valid once GetInstalledFace has run.
  int32_t GetFoundIndex() const { return foundIndex_; }
  BOOL IsEnumerated() const { return enumerated_; }

 private:
  void Enumerate();
  static int CALLBACK OnFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM self);

  CRITICAL_SECTION once_;
  BOOL enumerated_ = 0;
  int32_t foundIndex_ = kNotFound;
  std::vector<std::string> faces_;
  std::vector<uint32_t> installed_;
};

// The global list's installed face, or "".
std::string GetInstalledFontFace();
// The global list's default face.
std::string GetDefaultFontFace(const char* fallback);
// A font in the default face (shows an error box when it cannot be made). Widgets take
// their fonts from the resource manager's font cache instead.
HFONT CreateDefaultFont(int32_t height, int32_t weight);
// An OK box owned by the active window, captioned with the host program's path.
void ShowErrorBox(const char* text);
