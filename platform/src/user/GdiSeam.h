// Where GDI plugs into the window system: window DCs over the backing store clipped to
// the paint area and the window region, brush colours for erasing, window regions
// for hit tests, and dialog units from the template font.
#pragma once

#include <optional>
#include <string>

#include "plat/types.h"

namespace plat::detail {

HDC AcquireWindowDc(HWND hwnd, const RECT& clip);
void ReleaseWindowDc(HDC hdc);
HWND WindowOfDc(HDC hdc);
std::optional<RECT> DcClip(HDC hdc);
// The window is gone: so is the record of the texts drawn into it.
void ForgetDrawnTexts(HWND hwnd);
// The window owned this region and no longer needs it.
void ReleaseOwnedRegion(HRGN region);
// Whether a window region holds a point (window coordinates); a bad region holds none.
bool RegionContains(HRGN region, POINT point);
// Colour of a brush when known: system-colour brushes (COLOR_x + 1).
std::optional<COLORREF> BrushColour(HBRUSH brush);
COLORREF SystemColour(int index);
// Draws a control's text in its font (null: the DC's own) inside its client
// rectangle, with the text colour and background mode already in the DC.
void DrawWindowText(HDC hdc, HWND hwnd, HFONT font, UINT format);
// Average character width and height of a dialog font, for dialog units.
void DialogFontUnits(const std::string& face, int32_t points, int* x, int* y);

}  // namespace plat::detail
