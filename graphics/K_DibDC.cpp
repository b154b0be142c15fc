// Borrowing and returning the DCs of an image conversion.
#include "graphics/K_DibDC.h"

HDC K_DibDC::Select(HBITMAP bitmap) {
  if (!m_windowDC || !bitmap) return nullptr;
  if (!m_memoryDC) {
    m_memoryDC = CreateCompatibleDC(m_windowDC);
    if (!m_memoryDC) return nullptr;
  }
  HGDIOBJ old = SelectObject(m_memoryDC, bitmap);
  if (!old || old == HGDI_ERROR) return nullptr;
  if (!m_oldBitmap) m_oldBitmap = old;
  return m_memoryDC;
}

void K_DibDC::Release() {
  if (m_memoryDC) {
    // The selected bitmap must be out of the DC before its owner can delete it.
    if (m_oldBitmap) SelectObject(m_memoryDC, m_oldBitmap);
    DeleteDC(m_memoryDC);
  }
  if (m_windowDC) ::ReleaseDC(m_window, m_windowDC);
  m_memoryDC = m_windowDC = nullptr;
  m_oldBitmap = nullptr;
}
