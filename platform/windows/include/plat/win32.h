// The one place the Windows side decides how the system's own headers are seen by the
// module: every plat header of this side comes here first.
#pragma once

// The module's std::min and std::max, not the headers' macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Distinct handle types, as the module's overloads and the headless side expect.
#ifndef STRICT
#define STRICT
#endif
// The interfaces of the component headers as C++ classes.
#undef CINTERFACE

#include <windows.h>

// The module calls the A and W functions by their own names; the generic names that
// <windows.h> turns into macros would otherwise rename the module's members
// (GWnd::DefWindowProc would become DefWindowProcA and call itself), its methods
// (XDib::DrawText, the widgets' LoadImage, the module's DecryptFile) and its variables
// (`near`, `far`).
#undef DecryptFile
#undef DefWindowProc
#undef DrawText
#undef LoadImage
#undef near
#undef far
#undef FAR
#undef NEAR
#define FAR
#define NEAR
