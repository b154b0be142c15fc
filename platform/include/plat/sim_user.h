// Test control of the window system: input injected as a person would make it,
// what the module showed and asked for (posted messages, drag requests, message
// boxes, pixels), and the virtual clock advanced with the window thread pumping.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/types.h"
#include "plat/winuser.h"

namespace plat::sim {

// ---- Desktop ------------------------------------------------------------------
// Size of the simulated desktop (default 1024 x 768).
void SetDesktopSize(int width, int height);
// Destroys every window, timer and multimedia timer and clears focus, capture,
// cursor, key state and the records below; for test isolation.
void ResetWindowSystem();

// ---- Input (coordinates are client coordinates of `hwnd`) -----------------------
enum class MouseButton { Left, Right, Middle };
void MouseMove(HWND hwnd, int x, int y);
void MouseDown(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
void MouseUp(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
void Click(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
// Two clicks in a row; the second press becomes a double click for CS_DBLCLKS classes.
void DoubleClick(HWND hwnd, int x, int y, MouseButton button = MouseButton::Left);
// Key messages go to the focus window (else the active window). While VK_MENU is down,
// keys arrive as WM_SYSKEYDOWN / WM_SYSKEYUP.
void KeyDown(int vk, uint32_t repeat = 1);
void KeyUp(int vk);
void PressKey(int vk);
// Types CP949 text: characters with a key of their own are pressed (with shift as
// needed); the rest arrive as WM_CHAR bytes.
void TypeText(std::string_view cp949);
// Posts an IME message (WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, ...) to the focus window.
void ImeMessage(UINT msg, WPARAM wParam, LPARAM lParam);
// The application gains or loses activation: WM_ACTIVATEAPP to every top-level
// window, WM_ACTIVATE to the active one.
void ActivateApp(bool active);
// WM_ACTIVATE (state WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE) to one window.
void ActivateWindow(HWND hwnd, WORD state);

// ---- What the module did --------------------------------------------------------
// Every message posted to `hwnd` since its creation or the last clear (queued or not).
std::vector<MSG> PostedMessages(HWND hwnd);
void ClearPostedMessages(HWND hwnd);
// Left presses on a caption (WM_NCLBUTTONDOWN with HTCAPTION) that DefWindowProc met.
struct DragRequest {
  HWND hwnd;
  POINT screen;
};
std::vector<DragRequest> DragRequests();
void ClearDragRequests();
struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};
std::vector<MessageBoxCall> MessageBoxCalls();
void ClearMessageBoxCalls();
// ShellExecuteA requests (null texts are kept as empty ones, `hasVerb` tells them apart
// for the verb).
struct ShellExecuteCall {
  HWND owner;
  bool hasVerb;
  std::string verb;
  std::string file;
  std::string parameters;
  std::string directory;
  int show;
};
std::vector<ShellExecuteCall> ShellExecuteCalls();
void ClearShellExecuteCalls();
// The answer MessageBoxA gives from now on.
void SetMessageBoxAnswer(int answer);
// Focus and capture of any thread, the cursor shown.
HWND FocusWindow();
HWND CaptureWindow();
HCURSOR CurrentCursor();
// What a window shows: its backing store with its visible children on top,
// 32-bit XRGB pixels, rows top-down.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
WindowImage ReadWindow(HWND hwnd);
// The region a window owns (null when none).
HRGN WindowRegion(HWND hwnd);
// timeBeginPeriod calls not yet balanced by timeEndPeriod, and live multimedia timers.
int TimerPeriodBalance();
size_t LiveMultimediaTimers();
// Runs on the thread about to run a multimedia timer's callback, with the timer's id,
// as part of the callback: a kill that waits for the callback waits for the hook too.
// It may block. An empty hook removes it; ResetWindowSystem removes it too.
using MultimediaCallbackHook = std::function<void(UINT timerId)>;
void SetMultimediaCallbackHook(MultimediaCallbackHook hook);
// Windows not yet destroyed, of every thread (leak checks).
size_t LiveWindows();

// ---- Modal loops ----------------------------------------------------------------
// Runs on the window thread each time a modal dialog's loop is about to wait for a
// message (its queue is empty), with that dialog. It may read the dialog and inject
// input; when it does nothing, the loop waits and virtual time runs on to the next
// due timer. A modal dialog opened by the hook calls it again with the inner dialog.
// An empty hook removes it; ResetWindowSystem removes it too.
using ModalHook = std::function<void(HWND dialog)>;
void SetModalHook(ModalHook hook);

// ---- Time -------------------------------------------------------------------------
// Moves virtual time forward by `ms`, stopping at each due window timer, multimedia
// timer and waiting thread's deadline in turn; at each step what fell due runs, then
// the calling (window) thread's messages are pumped until it is idle. (The bounded
// real-time wait for other threads and the fatal-error hook are in sim_kernel.h.)
void Advance(uint32_t ms);
}  // namespace plat::sim
