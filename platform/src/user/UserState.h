// The window system's shared state: classes, window records, per-thread queues,
// window timers, focus, capture, cursor and input state. One lock guards it all;
// window procedures are always called with the lock released.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/HandleTable.h"
#include "plat/dialogs.h"
#include "plat/sim_user.h"
#include "plat/winuser.h"

namespace plat::detail::user {

struct ThreadQueue;

struct WindowClass {
  std::string name;
  std::string key;  // lower case: class names are case-insensitive
  ATOM atom = 0;
  bool system = false;  // found from any instance
  WNDCLASSA wc{};
};

struct DialogData {
  DLGPROC proc = nullptr;
  LONG_PTR msgResult = 0;
  LONG_PTR user = 0;
  bool ended = false;
  INT_PTR result = 0;
  bool modal = false;
  HWND disabledOwner = nullptr;  // the owner a modal loop disabled and must enable again
  int defaultId = 0;  // 0: none declared, Enter gives IDOK
  HWND savedFocus = nullptr;
  int unitX = 0, unitY = 0;  // base units of the template's font, for MapDialogRect
};

struct ControlData {
  UINT check = BST_UNCHECKED;
  bool pushed = false;
  bool tracking = false;  // mouse pressed on the button and captured
  size_t anchor = 0;      // edit selection: anchor and caret, byte offsets
  size_t caret = 0;
  size_t limit = 30000;
  int pendingLead = -1;  // first byte of a double-byte character typed in two WM_CHARs
  HBRUSH lastBrush = nullptr;  // what the parent answered to WM_CTLCOLOR*
  HFONT font = nullptr;
};

struct Window : Object {
  HWND hwnd = nullptr;
  std::shared_ptr<WindowClass> cls;
  std::shared_ptr<ThreadQueue> queue;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;
  HWND owner = nullptr;
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect{};                 // screen coordinates; client = window
  WNDPROC proc = nullptr;
  LONG_PTR userData = 0;
  std::map<std::string, HANDLE> props;
  std::vector<uint8_t> extra;
  RECT update{};
  bool erase = false;
  HRGN region = nullptr;
  std::vector<uint32_t> pixels;  // backing store, XRGB, width x height
  bool destroying = false;
  bool isDialog = false;
  DialogData dialog;
  ControlData control;
  std::vector<MSG> postLog;

  int Width() const { return rect.right - rect.left; }
  int Height() const { return rect.bottom - rect.top; }
};

struct SentMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  bool done = false;
};

struct ThreadQueue : std::enable_shared_from_this<ThreadQueue> {
  std::thread::id thread;
  DWORD threadId = 0;  // as GetCurrentThreadId answers on that thread
  std::deque<MSG> posted;
  // Incoming cross-thread sends and the queue of the thread waiting for each.
  std::deque<std::pair<std::shared_ptr<SentMessage>, std::shared_ptr<ThreadQueue>>> sent;
  bool quit = false;
  int quitCode = 0;
  DWORD changed = 0;  // wake bits that arrived since the thread last looked
  std::condition_variable cv;
  DWORD lastTime = 0;
  POINT lastPos{};
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  uint64_t due;
  TIMERPROC proc;
  std::shared_ptr<ThreadQueue> queue;
  bool signalled = false;  // seen by a look at the queue since it became due
};

struct ClickMemory {
  HWND hwnd = nullptr;
  UINT button = 0;
  uint64_t time = 0;
  POINT pt{};
  bool valid = false;
};

struct UserState {
  std::mutex mutex;
  std::vector<std::shared_ptr<WindowClass>> classes;
  ATOM nextAtom = 0xC000;
  std::vector<HWND> topLevel;  // z-order, topmost first
  std::map<std::thread::id, std::shared_ptr<ThreadQueue>> queues;
  std::vector<Timer> timers;
  UINT_PTR nextThreadTimerId = 0x7F00;
  HWND focus = nullptr;
  HWND capture = nullptr;
  HWND active = nullptr;
  HCURSOR cursor = nullptr;
  int cursorCount = 0;
  POINT cursorPos{};
  uint8_t keys[256] = {};      // as injected (GetAsyncKeyState)
  uint8_t syncKeys[256] = {};  // as of the key messages retrieved so far (GetKeyState)
  int desktopWidth = 1024;
  int desktopHeight = 768;
  ClickMemory lastClick;
  std::vector<sim::DragRequest> drags;
  std::vector<sim::MessageBoxCall> messageBoxes;
  std::vector<sim::ShellExecuteCall> shellExecutes;
  int messageBoxAnswer = IDOK;
};

UserState& State();
std::unique_lock<std::mutex> Lock();

// Window record of a live handle, or null.
std::shared_ptr<Window> Find(HWND hwnd);
// Same, and sets ERROR_INVALID_WINDOW_HANDLE when there is none.
std::shared_ptr<Window> FindOrFail(HWND hwnd);
// The calling thread's queue, made on first use.
std::shared_ptr<ThreadQueue> CurrentQueue();
bool OwnedByCaller(const Window& w);

// Case-insensitive key of a class or property name.
std::string LowerKey(const char* name);

// Screen rectangle of a window's client area (= its window rectangle).
RECT ClientOrigin(const Window& w);
bool PointInRect(const RECT& r, POINT p);
bool RectEmpty(const RECT& r);
RECT RectUnion(const RECT& a, const RECT& b);
RECT RectIntersect(const RECT& a, const RECT& b);

// Visible with every ancestor visible. Caller holds the lock.
bool VisibleLocked(const Window& w);
// The top-level window above `hwnd` (itself when top-level). Caller holds the lock.
HWND RootLocked(HWND hwnd);
// True when `hwnd` is `ancestor` or lies below it. Caller holds the lock.
bool IsSelfOrDescendantLocked(HWND ancestor, HWND hwnd);

// Sets wake bits on a queue and wakes its waiters (and the clock's). Caller holds the lock.
void Wake(ThreadQueue& q, DWORD bits);
// Appends a posted message (records it for the tests too). Caller holds the lock.
void PostLocked(const std::shared_ptr<Window>& w, ThreadQueue& q, HWND hwnd, UINT msg, WPARAM wParam,
                LPARAM lParam);
DWORD InputWakeBit(UINT msg);

// Calls the window's current procedure on this thread.
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs incoming cross-thread sends of the calling thread's queue; true if any ran.
bool ServeSentMessages(ThreadQueue& q);

// Makes `hwnd`'s top-level window (null: none) the caller's active window, sending what
// the old and new ones hear (WM_ACTIVATE, and WM_ACTIVATEAPP to the thread's top-level
// windows when the program gains or loses activation); the default procedure's answer
// to WM_ACTIVATE moves the keyboard focus.
void ActivateWindow(HWND hwnd);
// When `leaving` (hidden or on its way out) is the active window, hands activation to its
// owner or the highest other window that can take it, or to none.
void ActivateAnotherWindow(HWND leaving);


}  // namespace plat::detail::user
