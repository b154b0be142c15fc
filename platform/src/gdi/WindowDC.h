// What the windows layer asks of GDI: DCs over a window's backing store or over the
// simulated screen (GetDC, GetWindowDC, BeginPaint), brush colours, regions for
// SetWindowRgn and hit tests, and dialog base units from the template font.
#pragma once

#include <optional>
#include <string>

#include "gdi/PixelBuffer.h"
#include "gdi/Region.h"
#include "plat/types.h"

namespace plat::detail::gdi {

// A DC drawing into `backing` (XRGB rows; null: the simulated screen), clipped to
// `clip` (DC coordinates: the paint area, the window region). The backing memory must
// stay valid until CloseWindowDC.
HDC OpenWindowDC(HWND hwnd, const PixelBuffer* backing, const Region& clip);
// False for a DC that is not a window or screen DC.
bool CloseWindowDC(HDC hdc);
// The window a window DC draws into (null for the screen or another kind of DC).
HWND WindowOfDC(HDC hdc);
// DrawTextA notes each text it draws into a window (CP949, as given); the record goes
// with the window.
void NoteDrawnText(HDC hdc, std::string text);
void ForgetDrawnTexts(HWND hwnd);
// The bounding box of a window or screen DC's clip.
std::optional<RECT> ClipBoxOfDC(HDC hdc);
bool CopyRegion(HRGN region, Region& out);
// The colour a solid brush paints; none for hollow or unknown brushes.
std::optional<COLORREF> SolidBrushColour(HBRUSH brush);
// Average character width (of the 52 Latin letters, rounded) and cell height of a
// font of `points` at 96 dots per inch.
void DialogBaseUnits(const std::string& face, int32_t points, int* x, int* y);

}  // namespace plat::detail::gdi
