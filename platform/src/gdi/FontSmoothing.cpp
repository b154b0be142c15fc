// The system's font smoothing setting, kept here beside the text drawing that reads it
// at each run: a change shows in the next text drawn, with fonts already made.
#include "gdi/FontSmoothing.h"

#include <atomic>

#include "plat/error.h"
#include "plat/winuser.h"

namespace plat::detail::gdi {
namespace {

// A fresh system has smoothing on, of the standard (grey) type.
std::atomic<bool> smoothing{true};
std::atomic<UINT> smoothingType{FE_FONTSMOOTHINGSTANDARD};

}  // namespace

bool FontSmoothingOn() { return smoothing.load(std::memory_order_relaxed); }
UINT FontSmoothingType() { return smoothingType.load(std::memory_order_relaxed); }

}  // namespace plat::detail::gdi

using namespace plat::detail::gdi;

BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID param, UINT /*winIni*/) {
  switch (action) {
    case SPI_GETFONTSMOOTHING:
      if (!param) break;
      *static_cast<BOOL*>(param) = FontSmoothingOn() ? TRUE : FALSE;
      return TRUE;
    case SPI_SETFONTSMOOTHING:
      smoothing.store(uiParam != 0, std::memory_order_relaxed);
      return TRUE;
    case SPI_GETFONTSMOOTHINGTYPE:
      if (!param) break;
      *static_cast<UINT*>(param) = FontSmoothingType();
      return TRUE;
    case SPI_SETFONTSMOOTHINGTYPE: {
      const auto type = static_cast<UINT>(reinterpret_cast<UINT_PTR>(param));
      if (type != FE_FONTSMOOTHINGSTANDARD && type != FE_FONTSMOOTHINGCLEARTYPE) break;
      smoothingType.store(type, std::memory_order_relaxed);
      return TRUE;
    }
    default:
      break;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}
