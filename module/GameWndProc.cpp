// The game window's message table: until the scene is ready only painting is the
// window's own; afterwards keys, IME, timers and the mouse go to the scene, and a left
// press that nothing in the game takes drags the host window.
#include "module/CDorvik2Wnd.h"
#include "host/Dorvik2Messages.h"
#include "scene/CDorvik2VWS.h"

namespace {

// Game ticks until the stored sound volume is applied again after an activation.
constexpr int32_t kVolumeReapplyTicks = 20;

UINT LowWord(LPARAM lParam) { return static_cast<uint32_t>(lParam) & 0xFFFFu; }
UINT HighWord(LPARAM lParam) { return static_cast<uint32_t>(lParam) >> 16; }

}  // namespace

BOOL CDorvik2Wnd::GameWndProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // Read afresh for every message: the loader thread sets the ready flag.
  CDorvik2VWS* scene = scene_;
  const bool ready = scene && scene->IsReady();
  if (!ready && message != WM_PAINT) return GWnd::WindowProc(message, wParam, lParam, result);

  const auto key = static_cast<UINT>(wParam);
  // Sign-extended: a captured drag left of or above the window arrives negative, so a
  // slider dragged out of the window keeps its knob at the near end.
  const GPoint pt = GPoint::FromMessageParam(lParam);
  switch (message) {
    case WM_PAINT: OnPaint(wParam); break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
      scene->SetFullRedraw();
      scene->MarkDirty();
      scene->SetVolumeCountdown(kVolumeReapplyTicks);
      break;
    case WM_SETFOCUS: scene->OnSetFocus(reinterpret_cast<HWND>(wParam)); break;
    case WM_KILLFOCUS: scene->OnKillFocus(reinterpret_cast<HWND>(wParam)); break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: scene->OnKeyDown(key, LowWord(lParam), HighWord(lParam)); break;
    case WM_KEYUP: scene->OnKeyUp(key, LowWord(lParam), HighWord(lParam)); break;
    case WM_CHAR: scene->OnChar(key, LowWord(lParam), HighWord(lParam)); break;
    case WM_IME_STARTCOMPOSITION: scene->OnImeStartComposition(wParam, lParam); break;
    case WM_IME_ENDCOMPOSITION: scene->OnImeEndComposition(wParam, lParam); break;
    case WM_IME_COMPOSITION: scene->OnImeComposition(wParam, lParam); break;
    case WM_TIMER:
    case WM_GAME_DISPATCH: return HostLinkGate(message, wParam, result);
    case WM_MOUSEMOVE: scene->OnMouseMove(key, pt); break;
    case WM_LBUTTONDOWN:
      if (!scene->OnLButtonDown(key, pt)) PostToHost(WM_NCLBUTTONDOWN, HTCAPTION, lParam);
      break;
    case WM_LBUTTONUP: scene->OnLButtonUp(key, pt); break;
    case WM_LBUTTONDBLCLK: scene->OnLButtonDblClk(key, pt); break;
    case WM_RBUTTONDOWN: scene->OnRButtonDown(key, pt); break;
    case WM_RBUTTONUP: scene->OnRButtonUp(key, pt); break;
    case WM_GAME_SCREEN_READY: OnScreenReady(static_cast<int32_t>(wParam)); break;
    case WM_GAME_IGNORED: scene->OnUserMessage100(); break;
    default: return GWnd::WindowProc(message, wParam, lParam, result);
  }
  if (result) *result = 0;
  return 1;
}
