// The device contexts an image conversion borrows: a window's DC (the screen's for no
// window) and a memory DC compatible with it holding one bitmap. Everything is given
// back in the reverse order when the holder goes.
#pragma once

#include "plat/gdi.h"
#include "plat/winuser.h"

class K_DibDC {
 public:
  explicit K_DibDC(HWND window = nullptr) : m_window(window), m_windowDC(::GetDC(window)) {}
  ~K_DibDC() { Release(); }
  K_DibDC(const K_DibDC&) = delete;
  K_DibDC& operator=(const K_DibDC&) = delete;

  HDC WindowDC() const { return m_windowDC; }
  // A memory DC with `bitmap` selected, or null. A second call selects into the same DC.
  HDC Select(HBITMAP bitmap);
  // Restores the memory DC's first bitmap, deletes it and releases the window's DC.
  void Release();

 private:
  HWND m_window;
  HDC m_windowDC;
  HDC m_memoryDC = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
};
