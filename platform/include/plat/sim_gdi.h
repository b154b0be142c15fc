// Test control of GDI: the simulated screen's format, where fonts come from and which
// faces the font enumeration reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plat/types.h"

namespace plat::sim {

// The screen behind GetDC(NULL): bits per pixel 16 (5-6-5, or 5-5-5 when `rgb555`) or
// 32, and its size. Default 32 bits, 1024 x 768. The screen's pixels are cleared.
void SetScreenFormat(int bitsPerPixel, bool rgb555, int width, int height);
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

// Number of live GDI objects and device contexts (leak checks).
size_t LiveGdiObjects();
size_t LiveDeviceContexts();

}  // namespace plat::sim
