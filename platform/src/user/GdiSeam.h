// Where GDI plugs into the window system. Until device contexts, brushes and
// regions exist, paint DCs are placeholders that remember their window and clip,
// and only system-colour brushes have a known colour.
#pragma once

#include <optional>
#include <string>

#include "plat/types.h"

namespace plat::detail {

HDC AcquireWindowDc(HWND hwnd, const RECT& clip);
void ReleaseWindowDc(HDC hdc);
HWND WindowOfDc(HDC hdc);
std::optional<RECT> DcClip(HDC hdc);
// The window owned this region and no longer needs it.
void ReleaseOwnedRegion(HRGN region);
// Colour of a brush when known: system-colour brushes (COLOR_x + 1).
std::optional<COLORREF> BrushColour(HBRUSH brush);
COLORREF SystemColour(int index);
// Average character width and height of a dialog font, for dialog units.
void DialogFontUnits(const std::string& face, int32_t points, int* x, int* y);

}  // namespace plat::detail
