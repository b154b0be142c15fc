// Test control of GDI: the simulated screen's pixels, where fonts come from and which
// faces the font enumeration reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"

namespace plat::sim {

// The screen behind GetDC(NULL) is the display: its format is the desktop format
// (SetDesktopFormat in sim_display.h), its size the desktop's (SetDesktopSize in
// sim_user.h), or the exclusive mode's while one is set.
// Reads one pixel of the simulated screen as a COLORREF (CLR_INVALID outside).
COLORREF ScreenPixel(int x, int y);

// Folders (UTF-8 paths) holding the Korean faces (gulim.ttf, dotum.ttf, batang.ttf)
// and the Latin faces (DejaVuSans.ttf, DejaVuSans-Bold.ttf); "" restores the defaults
// (the Debian font packages' folders).
void SetFontFolders(const std::string& koreanFolder, const std::string& latinFolder);
// The face names (CP949) that EnumFontFamiliesExA reports, in order; an empty list
// restores the default (the Korean names first, then the English ones).
void SetReportedFontFaces(const std::vector<std::string>& faces);
std::vector<std::string> DefaultReportedFontFaces();

// The texts DrawTextA drew into the window through its window DCs (BeginPaint, GetDC),
// in order, CP949 as given; the most recent few thousand. Gone with the window.
std::vector<std::string> DrawnTexts(HWND hwnd);

// While set, every text run fills each character's cell (its advance by the font's
// height) with kTextCellMark instead of drawing its glyphs: a run with it set shows,
// against one without, the places where text is drawn, wherever the text goes after.
inline constexpr COLORREF kTextCellMark = 0x005BE713;  // RGB(0x13, 0xE7, 0x5B)
void SetTextCellsMarked(bool marked);

// Number of live GDI objects and device contexts (leak checks).
size_t LiveGdiObjects();
size_t LiveDeviceContexts();

}  // namespace plat::sim
