// Scoped GDI resources for the sprite library's drawing steps: a window's device
// context held until the step ends, a memory DC that puts its own bitmap back before
// it is deleted, and an owned GDI object deleted at the end.
#pragma once

#include "plat/gdi.h"
#include "plat/winuser.h"

// GetDC for the length of a scope; no window = the screen.
class KK_WindowDC {
 public:
  explicit KK_WindowDC(HWND window = nullptr) : m_window(window), m_dc(GetDC(window)) {}
  ~KK_WindowDC() {
    if (m_dc) ReleaseDC(m_window, m_dc);
  }
  KK_WindowDC(const KK_WindowDC&) = delete;
  KK_WindowDC& operator=(const KK_WindowDC&) = delete;
  HDC Get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }

 private:
  HWND m_window;
  HDC m_dc;
};

// A memory DC compatible with `like` (null: the screen). Bitmaps selected into it are
// released again when it ends, so their owners may delete them afterwards.
class KK_MemoryDC {
 public:
  explicit KK_MemoryDC(HDC like = nullptr) : m_dc(CreateCompatibleDC(like)) {}
  ~KK_MemoryDC() {
    if (!m_dc) return;
    if (m_original) SelectObject(m_dc, m_original);
    DeleteDC(m_dc);
  }
  KK_MemoryDC(const KK_MemoryDC&) = delete;
  KK_MemoryDC& operator=(const KK_MemoryDC&) = delete;
  HDC Get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }

  // False when there is no DC or bitmap, or the bitmap is held by another DC.
  bool Select(HBITMAP bitmap) {
    if (!m_dc || !bitmap) return false;
    HGDIOBJ previous = SelectObject(m_dc, bitmap);
    if (!previous) return false;
    if (!m_original) m_original = previous;
    return true;
  }

 private:
  HDC m_dc;
  HGDIOBJ m_original = nullptr;
};

// Owns one GDI object (bitmap, brush, ...) and deletes it when it ends or is reset.
template <class H>
class KK_GdiObject {
 public:
  explicit KK_GdiObject(H object = nullptr) : m_object(object) {}
  ~KK_GdiObject() { Reset(); }
  KK_GdiObject(const KK_GdiObject&) = delete;
  KK_GdiObject& operator=(const KK_GdiObject&) = delete;
  KK_GdiObject(KK_GdiObject&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
  KK_GdiObject& operator=(KK_GdiObject&& other) noexcept {
    if (this != &other) {
      Reset(other.m_object);
      other.m_object = nullptr;
    }
    return *this;
  }
  H Get() const { return m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  void Reset(H object = nullptr) {
    if (m_object) DeleteObject(m_object);
    m_object = object;
  }

 private:
  H m_object;
};
